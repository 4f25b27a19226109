// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/ui/qt_messages.h"
#include "project/workbench_fields.h"
#include "common/numeric_text.h"
#include "wizard/wizard_accept.h"
#include "wizard/wizard_answers.h"
#include "wizard/wizard_results.h"
#include "wizard/ui/wizard_progress_form.h"
#include "wizard/wizard_search.h"
#include "workbench/settings.h"
#include "workbench/workbench_rules.h"
#include "workbench/workbench_session.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace ampvane {

class TCompDataModule;

// What the wizard needs from the program around it: the tables, the options and the workbench.
struct WizardEnvironment {
    TCompDataModule* tables = nullptr;
    Settings* settings = nullptr;
    std::filesystem::path dataFolder; // "WizardCells.lst", "Manufacturer.lst"
    NumberLocale locale;
    MessageSink* messages = nullptr; // null: message boxes over the wizard
    Prompter* prompter = nullptr;
    // The workbench session a result is accepted into (its fields, options and tables).
    WorkbenchSession* session = nullptr;
    // Compute Report on the workbench; true asks the report for the opinion afterwards.
    std::function<void(bool opinion)> computeReport;
    // The component browser on a table: the chosen name, or nullopt. Absent: the Select buttons stay disabled.
    std::function<std::optional<std::string>(ComponentTableKind, const std::string& current, QWidget* below)> browse;
    // Help topics.
    std::function<void(int context)> showHelp;
    unsigned threads = 0; // search workers; 0: every core
};

// AmpvaneWizard: nine question pages and the results, over a WizardAnswers object.
class TAmpvaneWizardForm : public QDialog {
    Q_OBJECT

public:
    explicit TAmpvaneWizardForm(WizardEnvironment environment, QWidget* parent = nullptr);
    ~TAmpvaneWizardForm() override;

    const WizardAnswers& Answers() const { return answers_; }
    void SetAnswers(const WizardAnswers& answers); // marks the answers changed
    // A project opened on the workbench brings back the answers it remembers (before the first showing
    // nothing is needed: showing copies them from the workbench).
    void RestoreAnswers(const std::string& wizardInfo);
    bool AnswersChanged() const { return answersChanged_; }
    bool Accepted() const { return acceptedMark_; }
    const std::vector<WizardRow>& Rows() const { return rows_; }
    const WizardSearchResult& LastSearch() const { return search_; }
    int CurrentPage() const;
    void SetCurrentPage(int page);
    TWizardProgressForm* ProgressForm() const { return progress_; }
    // After a project was loaded into the workbench.
    void ReturnToFirstPage() { SetCurrentPage(0); }

    // Commands (also reached from the buttons).
    void ImportButtonClick();
    void ClearButtonClick();
    void SortResults(int column, bool descending);
    // Applies a data row (from 0) to the workbench; false when nothing was applied.
    bool AcceptResult(int row, bool closeAfter);
    void InflightOpinionClick(bool opinion);
    // The results as the Save command writes them: all rows, or the selected one.
    std::string ResultsText(WizardOutputStyle style, bool allRows) const;
    bool SaveResults(const std::string& fileName, int filterIndex);
    void CopyOneOrMoreResults(bool allRows);

signals:
    // The search is about to start on the workers (the progress window is up).
    void SearchStarting();

protected:
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void BuildPages();
    QWidget* BuildStartPage();
    QWidget* BuildPerformancePage();
    QWidget* BuildModelPage();
    QWidget* BuildAirfoilPage();
    QWidget* BuildThicknessPage();
    QWidget* BuildFieldPage();
    QWidget* BuildMotorPage();
    QWidget* BuildGearPage();
    QWidget* BuildBatteryPage();
    QWidget* BuildResultsPage();
    QRadioButton* Radio(QButtonGroup* group, int id, const QString& caption, const char* name);
    QLineEdit* Edit(const char* name);
    QComboBox* UnitBox(const char* name, const QStringList& units);

    void ShowAnswers();
    void ReadAnswers();
    void ParameterChanged();
    void AirframeParameterChanged();
    void WizardPagesChange(int page);
    void UpdateNavigation();
    void UpdateCaption();
    void UpdateChoicePanels();
    void SearchPowerSystems();
    void FillGrid();
    void LoadLists();
    void ShowResultsMenu(const QPoint& position);
    MessageSink& Messages();

    WizardEnvironment env_;
    QtMessages boxes_;
    WizardAnswers answers_;
    bool answersChanged_ = true;
    bool planeChanged_ = false;
    bool acceptedMark_ = false;
    std::string acceptedProject_; // the workbench's project text right after the last acceptance
    bool shownOnce_ = false;
    bool showing_ = false;
    bool searching_ = false;
    int previousPage_ = 0;
    WizardDatabase db_;
    std::vector<CellEntry> cells_;
    std::vector<std::string> prefixes_;
    std::vector<std::string> manufacturers_;
    std::optional<WizardSearchSettings> settings_;
    WizardSearchResult search_;
    std::vector<WizardRow> rows_;
    double bestRating_ = 0;
    int sortColumn_ = kResultColumns - 1;
    bool sortDescending_ = false;
    std::string storedMessage_;
    std::string focusControl_;

    QTabWidget* pages_ = nullptr;
    QPointer<TWizardProgressForm> progress_;
    QButtonGroup *motorsGroup_, *levelGroup_, *timeGroup_, *airfoilGroup_, *thicknessGroup_, *motorGroup_,
        *driveGroup_, *sizeGroup_, *batteryGroup_;
    QLineEdit *planeName_, *span_, *area_, *weight_, *elevation_, *pressure_, *temperature_, *motorName_,
        *specificGear_, *diameter_, *pitch_, *cellName_, *series_, *parallel_;
    QComboBox *spanUnit_, *areaUnit_, *weightUnit_, *elevationUnit_, *pressureUnit_, *temperatureUnit_, *propUnit_,
        *manufacturer_, *maxCells_;
    QWidget *advancedPanel_, *manufacturerPanel_, *motorPanel_, *gearPanel_, *sizePanel_, *cellPanel_,
        *maxCellsPanel_;
    QPushButton *advancedButton_, *loadMotorButton_, *loadCellButton_, *backButton_, *nextButton_, *acceptButton_;
    QCheckBox* startupBox_;
    QLabel* resultsLabel_;
    QTableWidget* grid_;
    QMenu* popup_;
};

} // namespace ampvane
