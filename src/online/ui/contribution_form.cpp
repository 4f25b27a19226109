// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/ui/contribution_form.h"

#include "common/ui/qt_text.h"
#include "help/help_topics.h"
#include "help/ui/help_viewer.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/numeric_text.h"
#include "common/text_escape.h"

namespace ampvane {

namespace {
constexpr int kHelpTopic = kContributionHelpTopic;
} // namespace

TContributionForm::TContributionForm(const OnlineEnvironment& environment, OnlineContext context, QWidget* parent)
    : QDialog(parent), env_(environment), context_(std::move(context)) {
    setObjectName(QStringLiteral("ContributionForm"));
    setWindowTitle(tr("Contribute Your Data"));
    fields_ = env_.fields ? env_.fields() : WorkbenchFields();
    kinds_ = ContributionKinds(fields_.DrivePage());
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(tr("Components to contribute:"), this);
    auto* boxes = new QVBoxLayout(group);
    for (std::size_t i = 0; i < kinds_.size(); ++i) {
        CheckBoxes[i] = new QCheckBox(group);
        CheckBoxes[i]->setObjectName(Q(kinds_[i].checkBoxName));
        boxes->addWidget(CheckBoxes[i]);
        connect(CheckBoxes[i], &QCheckBox::clicked, this, &TContributionForm::CheckBoxClick);
    }
    layout->addWidget(group);
    auto* form = new QFormLayout;
    NameEdit = new QLineEdit(this);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    EMailEdit = new QLineEdit(this);
    EMailEdit->setObjectName(QStringLiteral("EMailEdit"));
    form->addRow(tr("&Name:"), NameEdit);
    form->addRow(tr("&E-mail:"), EMailEdit);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    OKButton = buttons->addButton(tr("C&ontribute..."), QDialogButtonBox::AcceptRole);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    buttons->addButton(QDialogButtonBox::Cancel);
    buttons->addButton(NewHelpButton(this, kHelpTopic), QDialogButtonBox::HelpRole);
    layout->addWidget(buttons);
    connect(NameEdit, &QLineEdit::textEdited, this, &TContributionForm::NameEditChange);
    connect(EMailEdit, &QLineEdit::textEdited, this, &TContributionForm::NameEditChange);
    connect(OKButton, &QPushButton::clicked, this, &TContributionForm::OKButtonClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    FormShow();
}

void TContributionForm::FormShow() {
    for (std::size_t i = 0; i < kinds_.size(); ++i) {
        const std::string name(TrimText(fields_.Text(kinds_[i].nameControl)));
        CheckBoxes[i]->setText(Q("&" + std::string(kinds_[i].kindName) + ": " + DoubleAmpersands(name)));
        CheckBoxes[i]->setChecked(false);
        CheckBoxes[i]->setEnabled(!name.empty());
    }
    const ContributorIdentity identity = env_.contributor ? env_.contributor() : ContributorIdentity{};
    NameEdit->setText(Q(identity.name));
    EMailEdit->setText(Q(identity.email));
    OKButton->setEnabled(false);
    edited_ = false;
}

void TContributionForm::CheckBoxClick() {
    bool any = false;
    for (QCheckBox* box : CheckBoxes) any = any || box->isChecked();
    OKButton->setEnabled(any && !NameEdit->text().trimmed().isEmpty());
}

void TContributionForm::NameEditChange() {
    edited_ = true;
    CheckBoxClick();
}

void TContributionForm::OKButtonClick() {
    const std::string name(TrimText(S(NameEdit->text())));
    const std::string email(TrimText(S(EMailEdit->text())));
    if (edited_ && env_.storeContributor) env_.storeContributor({name, email});
    const ContributionUnits units = env_.units ? env_.units() : ContributionUnits{};
    int count = 0;
    for (QCheckBox* box : CheckBoxes) count += box->isChecked() ? 1 : 0;
    int index = 0;
    for (std::size_t i = 0; i < kinds_.size(); ++i) {
        if (!CheckBoxes[i]->isChecked()) continue;
        const std::string target = ContributionTarget(ContributionPairs(fields_, kinds_[i].base, name, email, units));
        if (!SendContribution(context_, target, kinds_[i].kindName, kHelpTopic, count, ++index)) break;
    }
    accept();
}

} // namespace ampvane
