// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <array>

#include "online/ui/online_commands.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace ampvane {

// "Contribute Your Data": chooses components of the current project and sends each to the server.
class TContributionForm final : public QDialog {
    Q_OBJECT

public:
    TContributionForm(const OnlineEnvironment& environment, OnlineContext context, QWidget* parent = nullptr);

    std::array<QCheckBox*, 6> CheckBoxes{};
    QLineEdit* NameEdit = nullptr;
    QLineEdit* EMailEdit = nullptr;
    QPushButton* OKButton = nullptr;

    void FormShow();
    void CheckBoxClick();
    void NameEditChange();
    void OKButtonClick();

private:
    const OnlineEnvironment& env_;
    OnlineContext context_;
    WorkbenchFields fields_;
    std::vector<ContributionKind> kinds_;
    bool edited_ = false;
};

} // namespace ampvane
