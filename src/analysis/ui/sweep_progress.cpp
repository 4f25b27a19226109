// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ui/sweep_progress.h"

#include <QApplication>
#include <QProgressDialog>

#include <algorithm>

namespace ampvane {

namespace {
constexpr const char* kSweepProgressText = "Computing the report...";
// A sweep that would take longer than this shows its progress and can be cancelled.
constexpr int kSweepProgressDelayMs = 1000;
constexpr int kSweepProgressSteps = 1000;
} // namespace

SweepProgress::SweepProgress(QWidget* owner, MessageSink& messages, Prompter& questions)
    : dialog_(new QProgressDialog(QApplication::translate("TReportForm", kSweepProgressText),
                                  QApplication::translate("TReportForm", "Cancel"), 0, kSweepProgressSteps, owner)),
      messages_(messages), questions_(questions) {
    dialog_->setObjectName(QStringLiteral("SweepProgress"));
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(kSweepProgressDelayMs);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setValue(0);
}

SweepProgress::~SweepProgress() { delete dialog_; }

bool SweepProgress::Step(std::uint64_t done, std::uint64_t total) {
    dialog_->setValue(static_cast<int>(done * kSweepProgressSteps / std::max<std::uint64_t>(total, 1)));
    return !dialog_->wasCanceled();
}

void SweepProgress::Close() {
    dialog_->reset();
    dialog_->hide();
}

void SweepProgress::Restart() {
    // Shown again only when what follows takes a while in its turn.
    dialog_->setValue(0);
}

void SweepProgress::Report(const Message& message) {
    Close();
    QApplication::setOverrideCursor(Qt::ArrowCursor); // over the sweep's wait cursor
    messages_.Report(message);
    QApplication::restoreOverrideCursor();
    Restart();
}

Button SweepProgress::Ask(const Message& message) {
    Close();
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const Button answer = questions_.Ask(message);
    QApplication::restoreOverrideCursor();
    Restart();
    return answer;
}

} // namespace ampvane
