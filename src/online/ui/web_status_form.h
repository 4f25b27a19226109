// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "online/web_update.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace ampvane {

// The small modeless window that shows one transfer's progress. Cancel stops the transfer at once.
class TWebStatusForm : public QDialog, public TransferView {
    Q_OBJECT

public:
    explicit TWebStatusForm(QWidget* parent = nullptr);

    void ShowStatus(std::string_view caption) override;
    void HideStatus() override;
    void SetStatusText(std::string_view text, bool resetBar) override;
    void SetProgress(std::int64_t position, std::int64_t maximum) override;
    bool Poll() override;

    QLabel* StatusLabel = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* CancelButton = nullptr;

private:
    bool cancelled_ = false;
};

// The contribution's status window: the same window under its own name.
class TContribStatusForm final : public TWebStatusForm {
    Q_OBJECT

public:
    using TWebStatusForm::TWebStatusForm;
};

} // namespace ampvane
