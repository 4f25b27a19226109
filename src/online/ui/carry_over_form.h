// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <array>
#include <filesystem>

#include "online/carry_over.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace ampvane {

// "Updating Ampvane Database...": carries the previous version's own components over when it is first
// shown, ticking each table as it is done and listing every record copied.
class TUpdateForm final : public QDialog {
    Q_OBJECT
public:
    TUpdateForm(std::filesystem::path previousFolder, TCompDataModule& tables, QWidget* parent = nullptr);

    // The carry-over itself; runs once per window (showing the window runs it).
    void RunCarryOver();
    const CarryOverResult& Result() const { return result_; }

    QPlainTextEdit* Memo;
    std::array<QCheckBox*, kComponentTableCount> TableBoxes{};
    QPushButton* CloseButton;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::filesystem::path previousFolder_;
    TCompDataModule& tables_;
    CarryOverResult result_;
    bool ran_ = false;
};

} // namespace ampvane
