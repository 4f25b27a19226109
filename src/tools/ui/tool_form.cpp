// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/ui/tool_form.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "help/ui/help_viewer.h"

namespace ampvane {

TToolForm::TToolForm(const ToolEnvironment& environment, const QString& title, int helpTopic, QWidget* parent)
    : QWidget(parent, Qt::Window), env_(environment), boxes_(this),
      typing_(new TypingMessages(environment.session->Messages(), environment.session->Locale(), this)) {
    setWindowTitle(title);
    SetHelpTopic(this, helpTopic);
}

void TToolForm::OKButtonClick() {
    typing_->Release();
    ApplyButtonClick();
    close();
}

QHBoxLayout* TToolForm::ButtonRow(const QString& applyCaption) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    const auto button = [&](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        row->addWidget(b);
        return b;
    };
    okButton_ = button(QStringLiteral("OK"), "OKButton");
    applyButton_ = button(applyCaption, "ApplyButton");
    cancelButton_ = button(QStringLiteral("Cancel"), "CancelButton");
    helpButton_ = button(QStringLiteral("&Help"), "HelpButton");
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &TToolForm::OKButtonClick);
    connect(applyButton_, &QPushButton::clicked, this, [this] {
        typing_->Release();
        ApplyButtonClick();
    });
    connect(cancelButton_, &QPushButton::clicked, this, &TToolForm::CancelButtonClick);
    connect(helpButton_, &QPushButton::clicked, this, [this] { ShowHelpTopic(HelpTopicOf(this)); });
    return row;
}

QLineEdit* TToolForm::InputEdit(QGridLayout* grid, int row, int column, const QString& label, const QString& name,
                                const QString& unit) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(edit);
    grid->addWidget(caption, row, column);
    grid->addWidget(edit, row, column + 1);
    if (!unit.isEmpty()) grid->addWidget(new QLabel(unit, this), row, column + 2);
    return edit;
}

QLineEdit* TToolForm::ResultEdit(QGridLayout* grid, int row, int column, const QString& label, const QString& name,
                                 const QString& unit) {
    QLineEdit* edit = InputEdit(grid, row, column, label, name, unit);
    edit->setMaxLength(20);
    SetReadOnlyLook(edit, true);
    return edit;
}

std::tuple<QLineEdit*, QLineEdit*, QLineEdit*> TToolForm::MotorConstantEdits(QGridLayout* grid, int row, bool results,
                                                                     const QString& prefix) {
    const auto make = results ? &TToolForm::ResultEdit : &TToolForm::InputEdit;
    return {(this->*make)(grid, row, 0, QStringLiteral("Motor Constant:"), prefix + QStringLiteral("MotorConstantEdit"),
                          QStringLiteral("rpm/V")),
            (this->*make)(grid, row + 1, 0, QStringLiteral("No-load Current:"), prefix + QStringLiteral("IdleCurrentEdit"),
                          QStringLiteral("A")),
            (this->*make)(grid, row + 2, 0, QStringLiteral("Resistance:"),
                          prefix + QStringLiteral("ArmatureResistanceEdit"), QStringLiteral("\u03A9"))};
}

QLabel* TToolForm::StatusLabel(const QString& text, const QString& name) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(red);
    label->setAlignment(Qt::AlignCenter);
    // Its line is kept while it is hidden, so that the window never grows under the mouse.
    label->setMinimumHeight(QFontMetrics(bold).height());
    QSizePolicy policy = label->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    label->setSizePolicy(policy);
    label->hide();
    return label;
}

void TToolForm::SetApplyEnabled(bool enabled) {
    applyButton_->setEnabled(enabled);
    okButton_->setEnabled(enabled);
}

void TToolForm::SetReadOnlyLook(QLineEdit* edit, bool readOnly) {
    edit->setReadOnly(readOnly);
    QPalette palette = QApplication::palette();
    if (readOnly) palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    else palette.setColor(QPalette::Base, Qt::white);
    edit->setPalette(palette);
}

void TToolForm::SetQuietly(QLineEdit* edit, const std::string& text) {
    const bool was = loading_;
    loading_ = true;
    edit->setText(Q(text));
    loading_ = was;
}

bool TToolForm::BrowseMotor(QLineEdit* nameEdit) {
    if (!data_ || !env_.browseMotor) return false;
    return env_.browseMotor(nameEdit);
}

const Settings& TToolForm::Options() const { return env_.session->Options(); }
MessageSink& TToolForm::Messages() { return typing_->Sink(); }
Prompter& TToolForm::Questions() { return env_.session->Questions(); }
const NumberLocale& TToolForm::Locale() const { return env_.session->Locale(); }
WorkbenchUnits TToolForm::Units() const { return env_.session->Units(); }
const WorkbenchFields& TToolForm::Fields() const { return env_.session->Fields(); }

void TToolForm::ApplyToWorkbench(const std::function<void(WorkbenchFields&)>& apply) {
    env_.session->ApplyToolResult(apply);
}

} // namespace ampvane
