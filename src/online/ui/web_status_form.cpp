// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/ui/web_status_form.h"

#include "common/ui/qt_text.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace ampvane {

namespace {
// The bar works in int; large byte counts are scaled into its range.
int BarValue(std::int64_t value) { return static_cast<int>(std::min<std::int64_t>(value, 1 << 30)); }
} // namespace

TWebStatusForm::TWebStatusForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WebStatusForm"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setAlignment(Qt::AlignCenter);
    StatusLabel->setMinimumWidth(420);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    layout->addWidget(StatusLabel);
    layout->addWidget(ProgressBar);
    layout->addWidget(CancelButton, 0, Qt::AlignHCenter);
    connect(CancelButton, &QPushButton::clicked, this, [this] { cancelled_ = true; });
}

void TWebStatusForm::ShowStatus(std::string_view caption) {
    cancelled_ = false;
    setWindowTitle(Q(caption));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    show();
    QApplication::processEvents();
}

void TWebStatusForm::HideStatus() { hide(); }

void TWebStatusForm::SetStatusText(std::string_view text, bool resetBar) {
    StatusLabel->setText(Q(text));
    if (resetBar) ProgressBar->setValue(0);
    StatusLabel->repaint();
}

void TWebStatusForm::SetProgress(std::int64_t position, std::int64_t maximum) {
    if (maximum >= 0) ProgressBar->setMaximum(BarValue(maximum));
    ProgressBar->setValue(position == -2 ? ProgressBar->maximum() : BarValue(std::min<std::int64_t>(position, ProgressBar->maximum())));
}

bool TWebStatusForm::Poll() {
    QApplication::processEvents();
    return cancelled_;
}

} // namespace ampvane
