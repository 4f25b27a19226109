// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "wizard/wizard_search.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace ampvane {

// The search's progress: shows the stage and the bar of a WizardSearchControl that a worker
// advances, and cancels it when closed by any means.
class TWizardProgressForm : public QDialog {
    Q_OBJECT

public:
    explicit TWizardProgressForm(QWidget* parent = nullptr);

    // Follows the control until Detach; clears nothing in it.
    void Attach(WizardSearchControl* control);
    void Detach();
    void Refresh();
    QPushButton* CancelButton() const { return cancelButton_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    WizardSearchControl* control_ = nullptr;
    QLabel* progressLabel_;
    QProgressBar* progressBar_;
    QPushButton* cancelButton_;
    QTimer* timer_;
};

} // namespace ampvane
