// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's project commands, through its session.

#include "workbench/ui/parameter_input_form.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "common/ui/qt_text.h"
#include "data/name_lookup.h"
#include "workbench/ui/workbench_texts.h"

namespace ampvane {

namespace {
using C = WorkbenchControl;
} // namespace

// ---- project commands ------------------------------------------------------------------------------

// The session has applied the rule states of a loaded or new project and shown its fields.
void TParameterInputForm::ProjectChanged() { RenewUnitLabels(); }

bool TParameterInputForm::SaveProjectCommand(bool askName) {
    if (!env_.tables || !env_.settings) return false;
    GearboxEfficiencyLeft();
    return session_.SaveProject(askName);
}

bool TParameterInputForm::ConfirmDiscardOrSaveCommand() {
    if (!env_.tables || !env_.settings) return true;
    return session_.ConfirmDiscardOrSave();
}

void TParameterInputForm::NewProjectCommand() {
    if (!env_.tables || !env_.settings || !ConfirmDiscardOrSaveCommand()) return;
    NewProjectWithoutAsking();
}

void TParameterInputForm::NewProjectWithoutAsking() {
    if (!env_.tables || !env_.settings) return;
    session_.NewProject();
    ProjectChanged();
    Control(C::MotorNameEdit)->setFocus();
}

void TParameterInputForm::OpenProjectCommand() {
    if (!env_.tables || !env_.settings || !ConfirmDiscardOrSaveCommand()) return;
    DbfTable* projects = env_.tables->AmpvaneTable();
    if (!projects) return;
    std::optional<std::string> picked;
    if (env_.browseProjects) {
        picked = env_.browseProjects(*projects, fields_.ProjectName());
    } else {
        QStringList names;
        for (const std::string& name : ProjectNames(*projects)) names << Q(name);
        bool ok = false;
        const int current = std::max(0, static_cast<int>(names.indexOf(Q(fields_.ProjectName()))));
        const QString name = QInputDialog::getItem(this, QStringLiteral("Open Project"), QStringLiteral("&Project:"),
                                                   names, current, false, &ok);
        if (ok && !name.isEmpty()) picked = S(name);
    }
    if (!picked) return;
    session_.OpenProject(*picked);
    ProjectChanged();
}

void TParameterInputForm::OpenRecentProject(const std::string& name) {
    if (!env_.tables || !env_.settings || !ConfirmDiscardOrSaveCommand()) return;
    session_.OpenProject(name);
    ProjectChanged();
}

void TParameterInputForm::LoadStartupProjectCommand() {
    if (!env_.tables || !env_.settings) return;
    session_.LoadStartupProject();
    ProjectChanged();
}

void TParameterInputForm::CopyProjectCommand() {
    if (!env_.tables || !env_.settings) return;
    GearboxEfficiencyLeft();
    std::optional<WorkbenchControl> failed;
    const auto text = session_.CopyProject(&failed);
    if (!text) return ReturnToField(failed);
    clipBuffer_->setPlainText(Q(*text));
    QApplication::clipboard()->setText(clipBuffer_->toPlainText());
}

void TParameterInputForm::PasteProjectCommand() {
    if (!env_.tables || !env_.settings) return;
    clipBuffer_->setPlainText(QApplication::clipboard()->text());
    if (session_.PasteProject(S(clipBuffer_->toPlainText()))) ProjectChanged();
}

void TParameterInputForm::FillRecentMenu() {
    const Settings defaults;
    const Settings& settings = env_.settings ? *env_.settings : defaults;
    DbfTable* projects = env_.tables ? env_.tables->AmpvaneTable() : nullptr;
    const auto shown = ShownRecentProjects(settings.recentProjects, [projects](std::string_view name) {
        return projects && FindComponentByName(*projects, name);
    });
    for (std::size_t i = 0; i < recentActions_.size(); ++i) {
        QAction* action = recentActions_[i];
        const bool visible = i < shown.size();
        action->setVisible(visible);
        if (visible) {
            action->setText(Q(shown[i].caption));
            action->setData(Q(shown[i].name));
        }
    }
    recentSeparator_->setVisible(!shown.empty());
}

std::optional<std::string> TParameterInputForm::AskProjectName(const std::string& current) {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SaveProjectAsForm"));
    dialog.setWindowTitle(QStringLiteral("Save Project As"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* row = new QHBoxLayout;
    auto* edit = new QLineEdit(Q(current), &dialog);
    edit->setObjectName(QStringLiteral("ProjectNameEdit"));
    edit->setMaxLength(40);
    edit->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 24);
    edit->selectAll();
    auto* label = new QLabel(QStringLiteral("Project &Name:"), &dialog);
    label->setBuddy(edit);
    row->addWidget(label);
    row->addWidget(edit, 1);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* save = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("SaveButton"));
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    layout->addWidget(buttons);
    const auto enable = [save, edit] { save->setEnabled(!edit->text().trimmed().isEmpty()); };
    enable();
    connect(edit, &QLineEdit::textChanged, &dialog, enable);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return S(edit->text());
}

MessageSink& TParameterInputForm::Messages() { return session_.Messages(); }
Prompter& TParameterInputForm::Questions() { return session_.Questions(); }

} // namespace ampvane
