// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "common/numeric_text.h"
#include "common/ui/popup_refreshing_combo.h"
#include "common/ui/qt_messages.h"
#include "analysis/display_plane.h"
#include "project/workbench_fields.h"
#include "workbench/project_commands.h"
#include "data/comp_data_module.h"
#include "data/table_browse.h"
#include "data/table_text.h"
#include "workbench/settings.h"
#include "workbench/workbench_rules.h"
#include "workbench/workbench_session.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolButton;

namespace ampvane {


// The estimator windows and the wiring wizard the workbench has openers for (buttons, menu items and
// tool buttons); the program connects each to its window.
enum class WorkbenchTool {
    TestData, CatalogData, MotorDesigner, PropConstant, FanCoefficient, FanPitch, LiftCoefficient, WiringWizard
};

// What the workbench needs from the program around it.
struct WorkbenchEnvironment {
    Settings* settings = nullptr;     // the options; owned by the program, outlives the window
    std::filesystem::path dataFolder; // value lists
    NumberLocale locale;
    // Where messages and questions go; null: message boxes over the workbench.
    MessageSink* messages = nullptr;
    Prompter* prompter = nullptr;
    bool moreThan256Colours = true;
    // Imports a table text file (a table kind, or every table) with its summary; empty while the
    // program has no table import, which keeps the update commands disabled.
    // Imports a table text file with the caller's rules; the program adds the user's decimal separator.
    std::function<void(const std::string& file, const TableImportOptions& options)> importTableText;
    // The component tables; null: the project commands stay disabled.
    TCompDataModule* tables = nullptr;
    // Opens the component browser on the project table near `current`; returns the project picked,
    // nullopt when the browser closed without a choice. Null: a plain list of the stored projects.
    std::function<std::optional<std::string>(DbfTable& projects, const std::string& current)> browseProjects;
    // Opens the component browser on a kind's table below a name field (kept in step with the choice);
    // returns the record chosen, nullopt when the browser closed without a choice. Null: Open does nothing.
    std::function<std::optional<std::string>(ComponentTableKind, const std::string& current, QWidget* below)>
        browseComponent;
    // The options dialog; null: the Options command stays disabled.
    std::function<void()> showOptions;
    // Hooks of the other subsystems into the project commands (see ProjectContext).
    std::function<bool(WorkbenchFields& fields, ComponentTableKind kind, std::string_view name)> applyGeneric;
    std::function<void(const std::string& wizardInfo)> restoreWizardAnswers;
};

// The Update menu's and tool bar's online commands, which the program connects; each starts disabled.
struct WorkbenchOnlineActions {
    std::vector<QAction*> updateAll;       // the menu item and the tool button
    std::array<QAction*, 8> updateTable{}; // Projects, Motors, Cells, Filters, Propeller and Fan Drive
                                           // Systems, Speed Controls, Airframes
    std::vector<QAction*> contribute, getContributed;
    QAction* technicalSupport = nullptr;
};

// The main window: one power system and airframe as text fields in six groups, bound to a
// WorkbenchFields object; the rules that keep the fields consistent live in the core.
class TParameterInputForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TParameterInputForm(WorkbenchEnvironment environment, QWidget* parent = nullptr);
    ~TParameterInputForm() override;

    const WorkbenchFields& Fields() const { return fields_; }
    // Replaces every field (a loaded project) and shows it; the rule states follow the new texts.
    void SetFields(const WorkbenchFields& fields);
    // Shows the fields again after a change made through Fields().
    WorkbenchFields& EditFields() { return fields_; }
    void ShowFields();

    // The program's settings, data folder and locale, for the tool windows.
    const WorkbenchEnvironment& Environment() const { return env_; }
    // The units the fields are typed in, from the options.
    WorkbenchUnits Units() const;
    // After the options changed the units: converts the fields from the old units and renews the labels.
    void UnitsChanged(const WorkbenchUnits& previous);
    void RenewUnitLabels();

    // The widget bound to a control.
    QWidget* Control(WorkbenchControl id) const;
    // Open, New and Save of a component group, as the group's buttons, menus and tool buttons do them.
    void OpenComponentClick(ComponentGroup group);
    void NewComponentClick(ComponentGroup group);
    void SaveComponentClick(ComponentGroup group);
    // Enables the AmpvaneWizard menu item and tool button, which then run `open`.
    void SetWizardCommand(std::function<void()> open);
    // What Compute Report does with the gathered input (the program opens the report's window, owned by
    // `owner`; `forOpinion` as for ComputeReportFor); until it is set, Compute Report only checks the input.
    using ReportCommand = std::function<void(const DisplayPlane& plane, const AnalysisOptions& options,
                                             bool forOpinion, QWidget* owner)>;
    void SetReportCommand(ReportCommand open) { reportCommand_ = std::move(open); }
    // Enables the tool's buttons, menu items and tool buttons, which then run `open`.
    void SetToolCommand(WorkbenchTool tool, std::function<void()> open);

    const WorkbenchOnlineActions& OnlineActions() const { return onlineActions_; }
    // Gathers and checks the whole analysis input as Compute Report does (its messages shown, the focus
    // back on a wrong field); false when it cannot be computed.
    bool ValidateForCommand();

    // The session the window shows; the other windows and the program work through it.
    WorkbenchSession& Session() { return session_; }

    // The project commands on this window's fields; each shows the fields again afterwards.
    bool SaveProjectCommand(bool askName);
    bool ConfirmDiscardOrSaveCommand();
    void NewProjectCommand();
    // New without the unsaved-changes question, for a caller that has asked it already.
    void NewProjectWithoutAsking();
    void OpenProjectCommand();
    void LoadStartupProjectCommand();
    void CopyProjectCommand();
    void PasteProjectCommand();
    void OpenRecentProject(const std::string& name);
    // The "Save Project As" window: the name typed, nullopt on Cancel.
    std::optional<std::string> AskProjectName(const std::string& current);
    // Closing without the unsaved-changes question (the "exit" command line parameter).
    void CloseWithoutQuestion();

    // Compute Report for another window (the search wizard's In-flight... and Opinion...): the report
    // windows open over `over`, so that they are in front of it and usable while it is modal, and
    // `forOpinion` ends a single combination in its opinion.
    void ComputeReportFor(bool forOpinion, QWidget* over);
    // The drive's measured-propeller list: none, then the stored ones, on the project's choice.
    void FillMeasuredPropellers();

public slots:
    void ComputeButtonClick();

signals:
    // The user closed the window: the program records the default project and writes the configuration.
    void Closing();
    // The window has closed (after Closing, or without it for "exit"): the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct UnitLabelSet;

    void BuildMenus();
    void BuildToolBar();
    QWidget* BuildMotorGroup();
    QWidget* BuildBatteryGroup();
    QWidget* BuildFilterGroup();
    QWidget* BuildDriveGroup();
    QWidget* BuildSpeedControlGroup();
    QWidget* BuildAirframeGroup();
    QWidget* BuildHiddenFields();

    QGroupBox* MakeGroup(WorkbenchControl id, const QString& title);
    // A group's grid with its name field on the first row.
    QGridLayout* NameRowGrid(QGroupBox* group, WorkbenchControl nameId, const char* label, QLabel** caption = nullptr,
                             int nameSpan = 3);
    // Label, edit and unit on one row of a grid; returns the label.
    QLabel* FieldRow(QGridLayout* grid, int row, const char* label, WorkbenchControl id, QLabel* unit);
    // Tags a widget with its control, for the field-number order and the event handlers.
    static void MarkControl(QWidget* widget, WorkbenchControl id);
    QLineEdit* MakeEdit(WorkbenchControl id);
    QComboBox* MakeValueListCombo(WorkbenchControl id, std::string_view listFile);
    QCheckBox* MakeCheckBox(WorkbenchControl id, const QString& caption);
    QLabel* MakeLabel(const QString& text, QWidget* buddy = nullptr, const QString& name = {});
    QLabel* MakeUnitLabel(const QString& text, const QString& name = {});
    QPushButton* MakeButton(const QString& caption, const QString& name, bool enabled);
    // Registers an opener of a tool window for SetToolCommand.
    QPushButton* ToolOpener(WorkbenchTool tool, QPushButton* button);
    QAction* ToolOpener(WorkbenchTool tool, QAction* action);
    QWidget* MakeCountButtons(CountButton plus, CountButton minus);
    QWidget* ComponentButtons(const QString& open, const QString& save, const QString& clear);

    void FieldEdited(WorkbenchControl id, const QString& text);
    void CheckBoxClicked(WorkbenchControl id, bool checked);
    void CountButtonClicked(CountButton button);
    void DrivePageChanged(int page);
    void ValueListOpening(WorkbenchControl id);
    void ValueListItemChosen(WorkbenchControl id, int index);
    void GearboxEfficiencyLeft();
    // Gathers the analysis input for a command; after a field's message the focus goes back to that
    // field with its text selected, so the correction can be typed at once.
    bool GatherForCommand(DisplayPlane& plane, AnalysisOptions& options);
    void ReturnToField(std::optional<WorkbenchControl> field);
    // The exchange server's site ("http://host[:port]/"), from the options' "server".
    QString WebSite() const;
    void RestrictionFieldEntered(WorkbenchControl id);
    void ShowNamePopup(WorkbenchControl id, const QPoint& position);
    void UpdateCoefficientLines();
    void UpdateDrivePageView();
    void UpdateTitle();
    void FillRecentMenu();
    void ProjectChanged();
    void EditCommand(int command);
    void ConnectComponentCommands();
    MessageSink& Messages();
    Prompter& Questions();

    WorkbenchEnvironment env_;
    QtMessages boxes_;
    WorkbenchSession session_;
    WorkbenchFields& fields_; // the session's
    bool showing_ = false; // widgets are being brought in line with the fields
    std::array<QWidget*, kWorkbenchControlCount> controls_{};
    std::map<std::string, QLabel*> labels_;
    std::vector<QLabel*> weightLabels_, lengthLabels_, fanLabels_;
    QLabel* propSizeLabels_[2] = {};
    QLabel* areaLabel_ = nullptr;
    QLabel* thrustLabel_ = nullptr;
    QLabel* speedLabels_[2] = {};
    QLabel* pitchRatioLabel_ = nullptr;
    QLabel* pitchRatioUnit_ = nullptr;
    std::vector<QLabel*> airframeLabels_;
    std::array<QLabel*, 8> coeffLabels_{};
    QScrollArea* restrictionBox_ = nullptr;
    QScrollArea* coeffBox_ = nullptr;
    QTabWidget* drivePages_ = nullptr;
    PopupRefreshingCombo* measuredPropeller_ = nullptr;
    QPushButton* pitchButton_ = nullptr;
    QPushButton* computeButton_ = nullptr;
    QPlainTextEdit* clipBuffer_ = nullptr;
    std::map<WorkbenchControl, QPushButton*> saveButtons_;
    QAction* useFilterAction_ = nullptr;
    QAction* propellerAction_ = nullptr;
    QAction* fanAction_ = nullptr;
    QAction* propConstAction_ = nullptr;
    QAction* fanPitchAction_ = nullptr;
    QAction* fanCoeffAction_ = nullptr;
    // The gearbox efficiency item chosen whose value replaces its label when the field is left.
    std::optional<std::string> pendingGearboxValue_;
    std::map<WorkbenchControl, std::vector<double>> listValues_;
    int restrictionRowHeight_ = 0;
    bool placed_ = false;
    bool componentCommands_ = false; // loading and saving components
    WorkbenchOnlineActions onlineActions_;
    ReportCommand reportCommand_;
    bool closeWithoutQuestion_ = false;
    QMenu* projectMenu_ = nullptr;
    std::array<QAction*, kRecentProjectCount> recentActions_{};
    QAction* recentSeparator_ = nullptr;
    std::vector<std::pair<WorkbenchTool, QPushButton*>> toolButtons_;
    std::vector<std::pair<WorkbenchTool, QAction*>> toolActions_;
};

} // namespace ampvane
