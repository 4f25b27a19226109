// SPDX-License-Identifier: GPL-3.0-or-later
#include "wizard/ui/ampvane_wizard_form.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "analysis/analysis_input.h"
#include "project/project_text.h"
#include "analysis/report_builder.h"
#include "analysis/report_export.h"
#include "common/file_write.h"
#include "support/command_run.h"
#include "data/comp_data_module.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "data/ui/component_browsing.h"
#include "wizard/ui/wizard_progress_form.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;
using testing::TempDir;

class WizardWindow : public ::testing::Test {
protected:
    WizardWindow() {
        NullMessageSink quiet;
        const std::string shipped = std::string(AMPVANE_BINARY_DIR) + "/app/Initial";
        tables = std::make_unique<TCompDataModule>(TCompDataModule::Folders{dir.file("Ampvane 8"), shipped}, quiet);
        tables->OpenComponentTables();
        env.tables = tables.get();
        env.settings = &settings;
        env.dataFolder = tables->dataFolder();
        env.messages = &messages;
        env.prompter = &messages;
        session.SetTables(tables.get());
        session.changed = [this] { ++shown; };
        env.session = &session;
        env.computeReport = [this](bool opinion) { computed.push_back(opinion); };
        env.threads = 2;
        form = std::make_unique<TAmpvaneWizardForm>(env);
        form->show();
    }

    WizardAnswers Sport() {
        WizardAnswers a = form->Answers();
        a.planeName = "Sport 60";
        a.level = WizardLevel::Sport;
        a.wingSpan = "60";
        a.wingArea = "600";
        a.emptyWeight = "40";
        return a;
    }

    TempDir dir;
    std::unique_ptr<TCompDataModule> tables;
    WizardEnvironment env;
    Settings settings;
    RecordingMessages messages;
    WorkbenchSession session{&settings, nullptr, NumberLocale{}, messages, messages};
    WorkbenchFields& fields = session.Fields();
    int shown = 0;
    std::vector<bool> computed;
    std::unique_ptr<TAmpvaneWizardForm> form;
};

TEST_F(WizardWindow, WalkThePagesSearchSortAndAccept) {
    EXPECT_EQ(form->windowTitle(), "Ampvane 8.09 AmpvaneWizard - Start Here");
    auto* back = form->findChild<QPushButton*>("BackButton");
    auto* next = form->findChild<QPushButton*>("NextButton");
    EXPECT_TRUE(back->isHidden());
    form->SetAnswers(Sport());
    for (int page = 1; page < 9; ++page) {
        QTest::mouseClick(next, Qt::LeftButton);
        EXPECT_EQ(form->CurrentPage(), page);
    }
    EXPECT_EQ(next->text(), "Fi&nish");
    EXPECT_EQ(form->windowTitle(), "Ampvane 8.09 AmpvaneWizard - Battery Restrictions");
    QTest::mouseClick(next, Qt::LeftButton); // the search
    ASSERT_EQ(form->CurrentPage(), 9);
    EXPECT_FALSE(form->AnswersChanged());
    auto* grid = form->findChild<QTableWidget*>("ResultsGrid");
    ASSERT_GT(grid->rowCount(), 0);
    EXPECT_EQ(grid->item(0, 4)->text(), "1.000");
    EXPECT_TRUE(form->findChild<QLabel*>("ResultsLabel")->text().startsWith("The AmpvaneWizard has analysed "));

    // Sorting by the battery column, then back by rating descending.
    grid->horizontalHeader()->sectionClicked(1);
    const auto& rows = form->Rows();
    for (std::size_t r = 1; r < rows.size(); ++r)
        EXPECT_LE(std::stoi(rows[r - 1].cells[1]), std::stoi(rows[r].cells[1]));
    form->SortResults(4, true);
    EXPECT_EQ(grid->item(0, 4)->text(), "1.000");

    // Accepting the best result fills the workbench.
    grid->selectRow(0);
    const TResultObject best = form->Rows()[0].result;
    ASSERT_TRUE(form->AcceptResult(0, false));
    EXPECT_TRUE(form->Accepted());
    EXPECT_EQ(fields.Text(WorkbenchControl::MotorNameEdit), best.motorName);
    EXPECT_EQ(fields.Text(WorkbenchControl::NumberOfCellsFromEdit), std::to_string(best.series));
    EXPECT_TRUE(fields.Text(WorkbenchControl::DriveSystemNameEdit).starts_with("Generic "));
    EXPECT_EQ(fields.Text(WorkbenchControl::AirframeNameEdit), "Sport 60");
    EXPECT_EQ(fields.Text(WorkbenchControl::WizardInfoEdit), SaveWizardInfo(form->Answers()));
    // Saving asks only about what the acceptance made new: the generic drive and speed control and the
    // new plane; the motor and the cell come from the tables as they are stored.
    for (ComponentGroup g : {ComponentGroup::Motor, ComponentGroup::Cell, ComponentGroup::Filter})
        EXPECT_FALSE(fields.GroupModified(g)) << static_cast<int>(g);
    for (ComponentGroup g : {ComponentGroup::Drive, ComponentGroup::SpeedControl, ComponentGroup::Airframe})
        EXPECT_TRUE(fields.GroupModified(g)) << static_cast<int>(g);
    EXPECT_GT(shown, 0);
    form->InflightOpinionClick(true);
    EXPECT_EQ(computed, std::vector<bool>{true});
    // With unsaved changes on the workbench, In-flight... asks first; Cancel keeps the project.
    session.Fields().SetText(WorkbenchControl::MotorWeightEdit, "9");
    messages.ExpectQuestion("The \"" + session.Fields().ProjectName() +
                                "\" project has not been saved. Do you wish to save it?",
                            CancelButton);
    form->InflightOpinionClick(false);
    EXPECT_EQ(computed, std::vector<bool>{true});
    EXPECT_EQ(session.Fields().Text(WorkbenchControl::MotorWeightEdit), "9");

    form->CopyOneOrMoreResults(false);
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QString::fromStdString(best.motorName)));
    const std::string csv = dir.file("results.csv");
    ASSERT_TRUE(form->SaveResults(csv, 1));
    messages.Expect("The file \"" + dir.file("no/such/folder.txt") +
                    "\" could not be opened for writing. Another application may have it open, or the disk might not be writable.");
    EXPECT_FALSE(form->SaveResults(dir.file("no/such/folder.txt"), 1));
}

TEST_F(WizardWindow, SelectMotorAndCellInTheBrowser) {
    EXPECT_FALSE(form->findChild<QPushButton*>(QStringLiteral("LoadMotorButton"))->isEnabled()); // no browser
    WizardEnvironment browsing = env;
    browsing.browse = ComponentBrowsing(*tables, [] { return BrowserUnits{}; }, messages, messages);
    TAmpvaneWizardForm wizard(browsing);
    wizard.show();
    // Clicks the button and, in the browser it opens, searches and presses the named button.
    const auto select = [&](const char* button, const char* search, const char* choice) {
        QTimer::singleShot(0, &wizard, [search, choice] {
            QWidget* browser = QApplication::activeModalWidget();
            ASSERT_NE(browser, nullptr);
            QTest::keyClicks(browser->findChild<QLineEdit*>(QStringLiteral("SearchEdit")), search);
            QTest::mouseClick(browser->findChild<QPushButton*>(QString::fromLatin1(choice)), Qt::LeftButton);
        });
        auto* b = wizard.findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_TRUE(b->isEnabled());
        b->click();
    };
    select("LoadMotorButton", "Orvix 1306", "OkButton");
    EXPECT_EQ(wizard.Answers().motorName, "Orvix 1306-3100kv Outrunner");
    EXPECT_EQ(wizard.findChild<QLineEdit*>(QStringLiteral("MotorNameEdit"))->text(),
              QStringLiteral("Orvix 1306-3100kv Outrunner"));
    select("LoadCellButton", "Vanecell NiCd N", "CancelButton");
    EXPECT_EQ(wizard.Answers().cellName, "");
    select("LoadCellButton", "Vanecell NiCd N", "OkButton");
    EXPECT_EQ(wizard.Answers().cellName, "Vanecell NiCd N-500/8C");
    EXPECT_TRUE(wizard.AnswersChanged());
}

TEST_F(WizardWindow, CancelStopsTheSearchWithItsMessage) {
    form->SetAnswers(Sport());
    form->SetCurrentPage(3);
    QObject::connect(form.get(), &TAmpvaneWizardForm::SearchStarting, form.get(),
                     [this] { form->ProgressForm()->CancelButton()->click(); });
    messages.Expect("Power system search interrupted.");
    form->SetCurrentPage(9);
    EXPECT_EQ(form->CurrentPage(), 3);
    EXPECT_TRUE(form->AnswersChanged());
    EXPECT_TRUE(form->Rows().empty());
    EXPECT_FALSE(form->ProgressForm()->isVisible());
}

TEST_F(WizardWindow, FailedCheckTurnsToItsPage) {
    WizardAnswers a = Sport();
    a.wingArea = "";
    form->SetAnswers(a);
    messages.Expect("The wing area must be specified, and can be at most 10000 sq.in (645.1 dm ²).");
    form->SetCurrentPage(9);
    EXPECT_EQ(form->CurrentPage(), 2);
    EXPECT_EQ(messages.messages().back().helpTopic, 900);
}

// The report computed from an accepted result agrees with the wizard's own figures for the chosen
// combination: the wizard sizes the propeller with a constant of 1 at the flying-time current, the
// workbench's generic propeller has 1.31, so the report runs at a somewhat higher current.
TEST_F(WizardWindow, AcceptedResultsReportWhatTheWizardFound) {
    struct Case {
        const char* name;
        WizardLevel level;
        const char *span, *area, *weight;
        int motors;
    };
    const Case cases[] = {
        {"Park flyer", WizardLevel::Trainer, "36", "250", "9", 1},
        {"Glider", WizardLevel::Sailplane, "100", "750", "40", 1},
        {"Heavy twin", WizardLevel::Sport, "80", "1000", "120", 2},
    };
    messages.AllowAny();
    for (const Case& c : cases) {
        WizardAnswers a = Sport();
        a.planeName = c.name;
        a.level = c.level;
        a.wingSpan = c.span;
        a.wingArea = c.area;
        a.emptyWeight = c.weight;
        a.motors = c.motors;
        form->SetAnswers(a);
        form->SetCurrentPage(0);
        form->SetCurrentPage(9);
        ASSERT_FALSE(form->Rows().empty()) << c.name;
        const TResultObject best = form->Rows()[0].result;
        fields = EmptyWorkbenchFields();
        ASSERT_TRUE(form->AcceptResult(0, false));
        AnalysisOptionsInput options;
        options.elevation = settings.elevation;
        options.temperature = settings.temperature;
        options.pressure = settings.pressure;
        const auto input = GatherAnalysisInput(fields, options, {}, messages, messages);
        ASSERT_TRUE(input) << c.name << ": " << (messages.empty() ? "" : messages.texts().back());
        Report report;
        BuildStaticReport(report, input->options, input->plane, messages, messages);
        ASSERT_GT(report.Grid.RowCount(), 0) << c.name;
        ASSERT_FALSE(report.Options.Metric); // the values below are in imperial display units
        const auto value = [&](ReportColumn quantity) { return report.Grid.Value(0, report.Grid.Position(quantity)); };
        const struct {
            double MotorCurrent, Thrust;
        } row{value(ReportColumn::MotorCurrent), value(ReportColumn::Thrust)};
        EXPECT_EQ(value(ReportColumn::Cells), best.series);
        // The report's motor current is that of all motors in parallel; the wizard's that of one.
        const int parallelMotors = best.wiring == 2 ? c.motors : best.wiring == 3 ? 2 : 1;
        const double currentRatio = row.MotorCurrent / parallelMotors / best.current;
        const double thrustRatio = row.Thrust / best.thrust;
        std::printf("%s: %s, %dx%s, %gx%g gear %g: wizard %.2f A %.1f oz, report %.2f A %.1f oz (x%.2f, x%.2f)\n",
                    c.name, best.motorName.c_str(), best.series, best.battery.shortName.c_str(), best.diameter,
                    best.pitch, best.gearRatio, best.current, best.thrust, row.MotorCurrent / parallelMotors, row.Thrust, currentRatio,
                    thrustRatio);
        EXPECT_GT(currentRatio, 0.7) << c.name;
        EXPECT_LT(currentRatio, 1.4) << c.name;
        EXPECT_GT(thrustRatio, 0.7) << c.name;
        EXPECT_LT(thrustRatio, 1.4) << c.name;
    }
}

} // namespace
} // namespace ampvane

namespace ampvane {
namespace {

// Accepting a search result in the window and with ampvane-cli's wizard --apply, over the same tables
// and the same project, gives the same project text byte for byte, and the same report.
TEST(WizardWindowAndTerminal, AcceptTheSameResultIntoTheSameProjectAndReport) {
    TempDir dir;
    const std::string data = dir.file("Ampvane 8");
    std::string sample;
    ASSERT_TRUE(ReadWholeFile(std::string(AMPVANE_SOURCE_DIR) + "/app/cli/sample_project.txt", sample));
    ASSERT_EQ(WriteFileAtomically(dir.file("project.txt"), sample), "");
    const auto cli = [&](const std::string& arguments) {
        const testing::CommandRun run = testing::RunCommand(testing::ProgramLine(AMPVANE_CLI, arguments, data));
        EXPECT_EQ(run.status, 0) << arguments << ": " << run.err;
        return run.out;
    };
    const std::string q = testing::ShellQuote(dir.file("project.txt"));
    const std::string cliProject = cli("wizard " + q + " --apply 1");
    ASSERT_EQ(WriteFileAtomically(dir.file("accepted.txt"), cliProject), "");
    const std::string cliReport = cli("report " + testing::ShellQuote(dir.file("accepted.txt")) + " --format csv");

    // The window, on the tables the terminal's run left in the data folder.
    RecordingMessages messages;
    messages.AllowAny();
    TCompDataModule tables({data, std::string(AMPVANE_BINARY_DIR) + "/app/Initial"}, messages);
    tables.OpenComponentTables();
    Settings settings;
    WorkbenchSession session(&settings, &tables, NumberLocale{}, messages, messages);
    ASSERT_TRUE(session.TakeProjectText(sample));
    WizardEnvironment env;
    env.tables = &tables;
    env.settings = &settings;
    env.dataFolder = tables.dataFolder();
    env.messages = &messages;
    env.prompter = &messages;
    env.session = &session;
    env.threads = 2;
    TAmpvaneWizardForm form(env);
    form.show(); // copies the plane and the answers from the workbench
    form.SetCurrentPage(9);
    ASSERT_FALSE(form.Rows().empty());
    ASSERT_TRUE(form.AcceptResult(0, false));
    EXPECT_EQ(session.ProjectText(), cliProject);

    auto report = session.ComputeReport();
    ASSERT_TRUE(report);
    // The same date and time in the footer, so that the whole text compares.
    const std::string footer = "Generated by Ampvane 8.09, ";
    const auto at = cliReport.find(footer);
    ASSERT_NE(at, std::string::npos);
    ReportExportSettings exported;
    exported.GeneratedAt = cliReport.substr(at + footer.size(), cliReport.find('.', at + footer.size()) - at - footer.size());
    EXPECT_EQ(ReportCsv(report->Grid, exported), cliReport);
}

} // namespace
} // namespace ampvane
