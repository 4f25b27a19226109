// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

#include <filesystem>
#include <functional>
#include <tuple>
#include <initializer_list>
#include <QWidget>

#include "common/ui/qt_messages.h"
#include "common/ui/qt_text.h"
#include "common/ui/typing_messages.h"
#include "common/numeric_text.h"
#include "workbench/workbench_rules.h"
#include "workbench/workbench_session.h"

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;

namespace ampvane {

class TCompDataModule;
struct Settings;

// What every estimator window works on: the workbench session it reads and writes, and the parts of
// the program around it.
struct ToolEnvironment {
    WorkbenchSession* session = nullptr;
    std::filesystem::path dataFolder; // value lists
    std::function<void()> showOptions; // the options dialog; null: its button stays disabled
    bool moreThan256Colours = true;
    // The component browser on the motor table, opened below the name field; true when a motor was
    // chosen (the table stands on it). Null: no browser.
    std::function<bool(QLineEdit* nameEdit)> browseMotor;
};

// What every estimator window shares: it is modeless and created once, it recomputes on every
// keystroke, writes into the workbench only on Apply, and OK is Apply followed by close. Help and F1
// show the window's help topic.
class TToolForm : public QWidget {
    Q_OBJECT

public:
    TToolForm(const ToolEnvironment& environment, const QString& title, int helpTopic, QWidget* parent = nullptr);

    // Apply writes the results into the workbench through its session.
    virtual void ApplyButtonClick() = 0;
    // The component tables, for choosing a motor in the browser; null: no browser.
    virtual void SetComponentData(TCompDataModule* data) { data_ = data; }
    void OKButtonClick();
    void CancelButtonClick() { close(); }

protected:
    // OK, Apply, Cancel and Help in one row.
    QHBoxLayout* ButtonRow(const QString& applyCaption = QStringLiteral("&Apply"));
    // A labelled input edit whose every change runs the handler.
    QLineEdit* InputEdit(QGridLayout* grid, int row, int column, const QString& label, const QString& name,
                         const QString& unit = {});
    // A read-only result edit with the button-face colour.
    QLineEdit* ResultEdit(QGridLayout* grid, int row, int column, const QString& label, const QString& name,
                          const QString& unit = {});
    // "Motor Constant:", "No-load Current:" and "Resistance:" from the row on, as inputs or results,
    // named MotorConstantEdit, IdleCurrentEdit and ArmatureResistanceEdit after the prefix.
    std::tuple<QLineEdit*, QLineEdit*, QLineEdit*> MotorConstantEdits(QGridLayout* grid, int row, bool results,
                                                 const QString& prefix = {});
    // Runs the handler after every change the user makes in one of the edits.
    // What the handler reports while the user types shows when the field is left or the value used.
    template <class Handler>
    void OnEdited(std::initializer_list<QLineEdit*> edits, Handler handler) {
        for (QLineEdit* edit : edits)
            connect(edit, &QLineEdit::textChanged, this, [this, edit, handler] {
                if (!loading_) typing_->Typed(edit, handler);
            });
    }
    QLabel* StatusLabel(const QString& text, const QString& name);
    void SetApplyEnabled(bool enabled);
    void SetReadOnlyLook(QLineEdit* edit, bool readOnly);
    // Sets an edit's text without running its change handler.
    void SetQuietly(QLineEdit* edit, const std::string& text);

    // Lets the user choose a motor in the component browser opened under the edit; on a choice the
    // motor table stands on it. False without tables or without a choice.
    bool BrowseMotor(QLineEdit* nameEdit);
    bool CanBrowseMotor() const { return data_ && env_.browseMotor; }

    MessageSink& Messages();
    Prompter& Questions();
    const NumberLocale& Locale() const;
    WorkbenchUnits Units() const;
    const Settings& Options() const; // the program's options (defaults when the workbench has none)
    // The workbench's fields as they are, and Apply's way of writing into them.
    const WorkbenchFields& Fields() const;
    void ApplyToWorkbench(const std::function<void(WorkbenchFields&)>& apply);
    const ToolEnvironment& Environment() const { return env_; }

    ToolEnvironment env_;
    TCompDataModule* data_ = nullptr;
    QtMessages boxes_;
    TypingMessages* typing_ = nullptr;
    bool loading_ = false; // fields are being filled; their change handlers do nothing
    QPushButton* okButton_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
};


} // namespace ampvane
