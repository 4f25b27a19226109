// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <array>
#include <vector>

#include "online/ui/online_commands.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabBar;

namespace ampvane {

// "User Contributed Data Browser": per component kind, the components others contributed; the ticked
// ones are imported into the tables.
class TContributionBrowserForm final : public QDialog {
    Q_OBJECT

public:
    TContributionBrowserForm(const OnlineEnvironment& environment, OnlineContext context, QWidget* parent = nullptr);
    ~TContributionBrowserForm() override;

    QTabBar* TabControl1 = nullptr;
    QListWidget* CheckListBox1 = nullptr;
    QCheckBox* Only30DaysCheckBox = nullptr;
    std::array<QPushButton*, 3> ColumnLabels{}; // Description, Date, Contributor
    QPushButton* AddButton = nullptr;
    QLabel* DetailLinkLabel = nullptr;

    void FormShow();
    void Only30DaysCheckBoxClick();
    void TabControl1Change(int tab);
    void SaveTicks();
    void SortBy(ContributedSort sort);
    void AddButtonClick();
    // The downloaded file of a tab.
    std::string TabFile(int tab) const;

private:
    void FillList();
    void DeleteDownloads();

    const OnlineEnvironment& env_;
    OnlineContext context_;
    std::array<bool, 7> downloaded_{};
    int current_ = -1;
    bool ticksChanged_ = false;
    std::vector<std::string> lines_;
    std::vector<ContributedEntry> entries_; // in list order
};

} // namespace ampvane
