// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/ui/support_form.h"

#include "common/ui/qt_text.h"
#include "help/ui/help_viewer.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "online/exchange_server.h"

namespace ampvane {

TSupportForm::TSupportForm(const OnlineEnvironment& environment, OnlineContext context, QWidget* parent)
    : QDialog(parent), env_(environment), context_(std::move(context)) {
    setObjectName(QStringLiteral("SupportForm"));
    setWindowTitle(tr("Contact Technical Support"));
    context_.view = this;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(12);
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(tr("Contact Technical Support:"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(group);
    Label5 = new QLabel(Q(kSupportAddress), group);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setFont(fixed);
    FromEdit = new QLineEdit(group);
    FromEdit->setObjectName(QStringLiteral("FromEdit"));
    FromEdit->setFont(fixed);
    SubjectEdit = new QLineEdit(group);
    SubjectEdit->setObjectName(QStringLiteral("SubjectEdit"));
    SubjectEdit->setFont(fixed);
    auto* fromLabel = new QLabel(tr("&From:"), group);
    fromLabel->setBuddy(FromEdit);
    auto* subjectLabel = new QLabel(tr("&Subject:"), group);
    subjectLabel->setBuddy(SubjectEdit);
    grid->addWidget(new QLabel(tr("To:"), group), 0, 0);
    grid->addWidget(Label5, 0, 1);
    grid->addWidget(fromLabel, 1, 0);
    grid->addWidget(FromEdit, 1, 1);
    grid->addWidget(new QLabel(tr("(your e-mail address)"), group), 1, 2);
    grid->addWidget(subjectLabel, 2, 0);
    grid->addWidget(SubjectEdit, 2, 1, 1, 2);
    layout->addWidget(group);
    auto* messageGroup = new QGroupBox(tr("&Message:"), this);
    messageGroup->setObjectName(QStringLiteral("GroupBox2"));
    auto* messageLayout = new QVBoxLayout(messageGroup);
    BodyMemo = new QPlainTextEdit(messageGroup);
    BodyMemo->setObjectName(QStringLiteral("BodyMemo"));
    BodyMemo->setFont(fixed);
    BodyMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    messageLayout->addWidget(BodyMemo);
    layout->addWidget(messageGroup, 1);
    AttachProjectCheckBox = new QCheckBox(tr("&Automatically attach current project to e-mail sent to support"), this);
    AttachProjectCheckBox->setObjectName(QStringLiteral("AttachProjectCheckBox"));
    layout->addWidget(AttachProjectCheckBox);
    auto* buttons = new QHBoxLayout;
    SendButton = new QPushButton(tr("S&end"), this);
    SendButton->setObjectName(QStringLiteral("SendButton"));
    SendButton->setDefault(true);
    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    buttons->addStretch();
    buttons->addWidget(SendButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(NewHelpButton(this, kSupportHelpTopic));
    buttons->addStretch();
    layout->addLayout(buttons);
    StatusPanel = new QLabel(this);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(StatusPanel);

    connect(FromEdit, &QLineEdit::textChanged, this, [this] { FieldsChanged(true); });
    connect(SubjectEdit, &QLineEdit::textChanged, this, [this] { FieldsChanged(false); });
    connect(BodyMemo, &QPlainTextEdit::textChanged, this, [this] { FieldsChanged(false); });
    connect(SendButton, &QPushButton::clicked, this, &TSupportForm::SendButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    FormShow();
}

void TSupportForm::FormShow() {
    const ContributorIdentity identity = env_.contributor ? env_.contributor() : ContributorIdentity{};
    FromEdit->setText(Q(identity.email));
    edited_ = false;
    SubjectEdit->clear();
    BodyMemo->clear();
    AttachProjectCheckBox->setChecked(true);
    SendButton->setEnabled(false);
    StatusPanel->clear();
    edited_ = false;
    (FromEdit->text().isEmpty() ? FromEdit : SubjectEdit)->setFocus();
}

void TSupportForm::FieldsChanged(bool fromChanged) {
    if (fromChanged) edited_ = true;
    SendButton->setEnabled(SupportRequestComplete(S(FromEdit->text()), S(SubjectEdit->text()), S(BodyMemo->toPlainText())));
}

void TSupportForm::SendButtonClick() {
    if (edited_ && env_.storeContributor && env_.contributor) {
        ContributorIdentity identity = env_.contributor();
        identity.email = S(FromEdit->text());
        env_.storeContributor(identity);
    }
    SupportRequest request;
    request.from = S(FromEdit->text());
    request.subject = S(SubjectEdit->text());
    // The memo's line breaks travel as CR LF.
    request.message = S(BodyMemo->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
    request.attachProject = AttachProjectCheckBox->isChecked();
    if (request.attachProject && env_.projectText) request.projectText = env_.projectText();
    request.system = CurrentSystemVersion();
    SendButton->setEnabled(false);
    const SupportOutcome outcome = SendSupportRequest(context_, request);
    FieldsChanged(false);
    if (outcome == SupportOutcome::Accepted) accept();
    if (!PlausibleEmailAddress(request.from)) {
        FromEdit->setFocus();
        FromEdit->selectAll();
    }
}

void TSupportForm::SetStatusText(std::string_view text, bool) {
    StatusPanel->setText(Q(text));
    StatusPanel->repaint();
}

bool TSupportForm::Poll() {
    QApplication::processEvents();
    return false;
}

} // namespace ampvane
