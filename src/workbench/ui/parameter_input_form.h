#pragma once

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
#include "analysis/ui/qt_messages.h"
#include "analysis/workbench_fields.h"
#include "workbench/settings.h"
#include "workbench/workbench_rules.h"

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

class TOnlineCommands;
class TReportForm;

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
    std::function<void(const std::string& file, std::optional<int> table, int helpTopic)> importTableText;
};

// The main window: one power system and airframe as text fields in six groups, bound to a
// WorkbenchFields object; the rules that keep the fields consistent live in the core.
class TParameterInputForm : public QMainWindow {
    Q_OBJECT

public:
    // The online commands (updates, contributions, support); the browser's Update button uses them too.
    TOnlineCommands* OnlineCommands() const { return online_; }

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
    // Enables the AmpvaneWizard menu item and tool button, which then run `open`.
    void SetWizardCommand(std::function<void()> open);

    // The open report windows (static ones; in-flight reports are their children).
    std::vector<TReportForm*> Reports() const;

public slots:
    void ComputeButtonClick();

signals:
    // The user closed the window: the program records the default project and writes the configuration.
    void Closing();
    void ReportOpened(ampvane::TReportForm* report);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct UnitLabelSet;

    void BuildMenus();
    void InstallOnlineCommands();
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
    QLineEdit* MakeEdit(WorkbenchControl id);
    QComboBox* MakeValueListCombo(WorkbenchControl id, std::string_view listFile);
    QCheckBox* MakeCheckBox(WorkbenchControl id, const QString& caption);
    QLabel* MakeLabel(const QString& text, QWidget* buddy = nullptr, const QString& name = {});
    QLabel* MakeUnitLabel(const QString& text, const QString& name = {});
    QPushButton* MakeButton(const QString& caption, const QString& name, bool enabled);
    QWidget* MakeCountButtons(CountButton plus, CountButton minus);
    QWidget* ComponentButtons(const QString& open, const QString& save, const QString& clear);

    void FieldEdited(WorkbenchControl id, const QString& text);
    void CheckBoxClicked(WorkbenchControl id, bool checked);
    void CountButtonClicked(CountButton button);
    void DrivePageChanged(int page);
    void ValueListOpening(WorkbenchControl id);
    void ValueListItemChosen(WorkbenchControl id, int index);
    void GearboxEfficiencyLeft();
    void RestrictionFieldEntered(WorkbenchControl id);
    void ShowNamePopup(WorkbenchControl id, const QPoint& position);
    void UpdateCoefficientLines();
    void UpdateDrivePageView();
    void UpdateTitle();
    void EditCommand(int command);
    MessageSink& Messages();
    Prompter& Questions();

    WorkbenchEnvironment env_;
    QtMessages boxes_;
    WorkbenchFields fields_;
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
    std::vector<QPointer<TReportForm>> reports_;
    int restrictionRowHeight_ = 0;
    bool placed_ = false;
    bool componentCommands_ = false; // loading and saving components
    TOnlineCommands* online_ = nullptr;
};

} // namespace ampvane
