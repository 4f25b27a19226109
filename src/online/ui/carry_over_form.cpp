// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/ui/carry_over_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "help/help_topics.h"
#include "help/ui/help_viewer.h"

namespace ampvane {

TUpdateForm::TUpdateForm(std::filesystem::path previousFolder, TCompDataModule& tables, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      previousFolder_(std::move(previousFolder)), tables_(tables) {
    setObjectName(QStringLiteral("UpdateForm"));
    setWindowTitle(tr("Updating Ampvane Database..."));
    SetHelpTopic(this, kCarryOverHelpTopic);
    auto* layout = new QHBoxLayout(this);
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setMinimumWidth(260);
    layout->addWidget(Memo, 1);
    auto* side = new QVBoxLayout;
    auto* panel = new QGroupBox(this);
    auto* boxes = new QVBoxLayout(panel);
    for (std::size_t i = 0; i < TableBoxes.size(); ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(CarryOverTables()[i].checkCaption.data(),
                                                    static_cast<qsizetype>(CarryOverTables()[i].checkCaption.size())),
                                  panel);
        box->setTristate(true);
        box->setAttribute(Qt::WA_TransparentForMouseEvents); // progress, not a choice
        box->setFocusPolicy(Qt::NoFocus);
        boxes->addWidget(box);
        TableBoxes[i] = box;
    }
    side->addWidget(panel);
    side->addStretch(1);
    CloseButton = new QPushButton(tr("Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    side->addWidget(CloseButton);
    layout->addLayout(side);
    resize(560, 320);
}

void TUpdateForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Once the window is on the screen, so its progress is seen.
    if (!ran_) QTimer::singleShot(0, this, &TUpdateForm::RunCarryOver);
}

void TUpdateForm::RunCarryOver() {
    if (ran_) return;
    ran_ = true;
    Memo->clear();
    CloseButton->setEnabled(false);
    CarryOverProgress progress;
    progress.tableStarted = [this](int t) {
        TableBoxes[static_cast<std::size_t>(t)]->setCheckState(Qt::PartiallyChecked);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    progress.tableDone = [this](int t) { TableBoxes[static_cast<std::size_t>(t)]->setCheckState(Qt::Checked); };
    progress.line = [this](const std::string& line) { Memo->appendPlainText(QString::fromStdString(line)); };
    result_ = CarryOverPreviousVersion(previousFolder_, tables_, progress);
    if (result_.previousFound) setWindowTitle(tr("Ampvane Update Complete"));
    CloseButton->setEnabled(true);
    CloseButton->setFocus();
}

} // namespace ampvane
