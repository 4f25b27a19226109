// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "online/support_request.h"
#include "online/ui/online_commands.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ampvane {

// "Contact Technical Support": a message posted to the exchange server, its progress in the status
// line at the bottom.
class TSupportForm final : public QDialog, public TransferView {
    Q_OBJECT

public:
    TSupportForm(const OnlineEnvironment& environment, OnlineContext context, QWidget* parent = nullptr);

    QLabel* Label5 = nullptr;
    QLineEdit* FromEdit = nullptr;
    QLineEdit* SubjectEdit = nullptr;
    QPlainTextEdit* BodyMemo = nullptr;
    QCheckBox* AttachProjectCheckBox = nullptr;
    QPushButton* SendButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QLabel* StatusPanel = nullptr;

    void FormShow();
    void FieldsChanged(bool fromChanged);
    void SendButtonClick();

    void ShowStatus(std::string_view) override {}
    void HideStatus() override {}
    void SetStatusText(std::string_view text, bool resetBar) override;
    void SetProgress(std::int64_t, std::int64_t) override {}
    bool Poll() override;

private:
    const OnlineEnvironment& env_;
    OnlineContext context_;
    bool edited_ = false;
};

} // namespace ampvane
