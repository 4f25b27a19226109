// SPDX-License-Identifier: GPL-3.0-or-later
#include "wizard/ui/wizard_progress_form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ampvane {

TWizardProgressForm::TWizardProgressForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WizardProgressForm"));
    setWindowTitle(tr("AmpvaneWizard Progress"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    progressLabel_ = new QLabel(this);
    progressLabel_->setObjectName(QStringLiteral("ProgressLabel"));
    progressLabel_->setMinimumWidth(320);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("ProgressBar"));
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    layout->addWidget(progressLabel_);
    layout->addWidget(progressBar_);
    layout->addWidget(cancelButton_, 0, Qt::AlignHCenter);
    connect(cancelButton_, &QPushButton::clicked, this, &TWizardProgressForm::close);
    timer_ = new QTimer(this);
    timer_->setInterval(50);
    connect(timer_, &QTimer::timeout, this, &TWizardProgressForm::Refresh);
}

void TWizardProgressForm::Attach(WizardSearchControl* control) {
    control_ = control;
    Refresh();
    timer_->start();
}

void TWizardProgressForm::Detach() {
    timer_->stop();
    Refresh();
    control_ = nullptr;
}

void TWizardProgressForm::Refresh() {
    if (!control_) return;
    progressLabel_->setText(QString::fromStdString(control_->ProgressText()));
    const auto maximum = control_->Maximum();
    progressBar_->setRange(0, static_cast<int>(std::max<std::int64_t>(maximum, 1)));
    progressBar_->setValue(static_cast<int>(std::min(control_->Position(), std::max<std::int64_t>(maximum, 1))));
}

void TWizardProgressForm::closeEvent(QCloseEvent* event) {
    if (control_) control_->Cancel();
    QDialog::closeEvent(event);
}

void TWizardProgressForm::reject() {
    if (control_) control_->Cancel();
    QDialog::reject();
}

} // namespace ampvane
