// SPDX-License-Identifier: GPL-3.0-or-later
#include "result_windows.h"
#include "workbench/ui/parameter_input_form.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <QToolButton>
#include <QWheelEvent>

#include <fstream>
#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/report_builder.h"
#include "analysis/report_export.h"
#include "analysis/propeller_files.h"
#include "model/measured_propeller.h"
#include "analysis/ui/report_form.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "online/exchange_server.h"
#include "workbench/compute_input.h"
#include "workbench/ui/sample_fields.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
using testing::RecordingMessages;
using testing::TempDir;

class WorkbenchWindow : public ::testing::Test {
protected:
    WorkbenchWindow() {
        std::ofstream(folder.file("PropConst.lst")) << "APC Sport|1.31\nRev Up|0\n";
        std::ofstream(folder.file("GearboxEff.lst")) << "Spur gears|95.5\n";
        settings.useHeating = false;
        WorkbenchEnvironment env;
        env.settings = &settings;
        env.dataFolder = folder.path();
        env.messages = &messages;
        env.prompter = &messages;
        form = std::make_unique<TParameterInputForm>(env);
        results = new ResultWindows({env.settings, env.locale, env.messages, env.prompter}, *form);
    }

    template <class W>
    W* Find(const char* name) {
        W* widget = form->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* Edit(C id) { return qobject_cast<QLineEdit*>(form->Control(id)); }
    QString Label(const char* name) { return Find<QLabel>(name)->text(); }

    void LoadSample() {
        WorkbenchFields fields;
        testing::FillSample(fields);
        form->SetFields(fields);
    }

    TempDir folder;
    Settings settings;
    RecordingMessages messages;
    std::unique_ptr<TParameterInputForm> form;
    ResultWindows* results = nullptr; // owned by the form
};

// The online commands are typed members the program connects; until then each is disabled.
TEST_F(WorkbenchWindow, OnlineCommandsAreActionsForTheProgramToConnect) {
    const WorkbenchOnlineActions& online = form->OnlineActions();
    std::vector<QAction*> all(online.updateTable.begin(), online.updateTable.end());
    for (const auto* list : {&online.updateAll, &online.contribute, &online.getContributed}) {
        EXPECT_EQ(list->size(), 2u); // the menu item and the tool button
        all.insert(all.end(), list->begin(), list->end());
    }
    all.push_back(online.technicalSupport);
    for (QAction* action : all) {
        ASSERT_NE(action, nullptr);
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
    }
    EXPECT_EQ(online.updateTable[7], Find<QAction>("UpdateAirframesItem"));
}

TEST_F(WorkbenchWindow, EveryControlIsNamedAndCarriesItsFieldNumber) {
    for (const WorkbenchControlInfo& info : WorkbenchControls()) {
        const QString name = QString::fromUtf8(info.name.data(), static_cast<qsizetype>(info.name.size()));
        QWidget* widget = form->findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr) << info.name;
        EXPECT_EQ(widget, form->Control(info.id));
        if (info.kind == ControlKind::Edit || info.kind == ControlKind::ComboBox) {
            EXPECT_EQ(widget->property("fieldNumber").toInt(), info.fieldNumber) << info.name;
            if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && info.maxLength > 0) {
                EXPECT_EQ(edit->maxLength(), info.maxLength) << info.name;
            }
        }
        if (info.hidden) {
            EXPECT_FALSE(widget->isVisibleTo(form.get())) << info.name;
        }
    }
    for (const char* name : {"ComputeButton", "CancelButton", "HelpButton", "LoadMotorButton", "SaveDriveButton",
                             "ClearAirframeButton", "PropConstButton", "FanCoeffButton", "PitchButton", "CLButton",
                             "TestDataInputButton", "CatalogDataButton", "BuildMotorButton"})
        Find<QPushButton>(name);
    for (int i = 0; i < kCountButtonCount; ++i)
        Find<QToolButton>(std::string(CountButtonName(static_cast<CountButton>(i))).c_str());
    EXPECT_EQ(Find<QPushButton>("ComputeButton")->text(), QStringLiteral(" Comp&ute Report..."));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ampvane 8.09 Workbench - Untitled[*]"));
    EXPECT_EQ(Edit(C::GearRatioFromEdit)->text(), QStringLiteral("2.38"));
    // Features not built yet are present and disabled.
    EXPECT_FALSE(Find<QPushButton>("LoadMotorButton")->isEnabled());
    EXPECT_FALSE(Find<QAction>("OptionsToolButton")->isEnabled());
    EXPECT_TRUE(Find<QAction>("ComputeToolButton")->isEnabled());
    EXPECT_EQ(Find<QAction>("SelectPropellerToolButton")->toolTip(), QStringLiteral("Select Propeller Drive Sytems"));
}

TEST_F(WorkbenchWindow, MenusAndToolBarCarryTheirCaptionsShortcutsAndHints) {
    // Caption and shortcut of every item, menu by menu; the recent projects are hidden until kept.
    const auto itemsOf = [this](const char* menuName) {
        QStringList items;
        for (QAction* action : Find<QMenu>(menuName)->actions()) {
            if (action->isSeparator() || action->objectName().startsWith(QStringLiteral("Recent"))) continue;
            const QString keys = action->shortcut().toString();
            items << (keys.isEmpty() ? action->text() : action->text() + QLatin1Char('|') + keys);
        }
        return items.join(QLatin1Char(';'));
    };
    EXPECT_EQ(itemsOf("ProjectMenu"),
              QStringLiteral("&New...|Ctrl+N;&Open...|Ctrl+O;&Save|Ctrl+S;Save &As...;C&opy Project|Ctrl+Alt+C;"
                             "P&aste Project|Ctrl+Alt+V;&AmpvaneWizard...|Ctrl+W;&Wiring Wizard...|Ctrl+Alt+W;E&xit|Ctrl+Q"));
    EXPECT_EQ(itemsOf("EditMenu"), QStringLiteral("Cu&t|Ctrl+X;&Copy|Ctrl+C;&Paste|Ctrl+V"));
    EXPECT_EQ(itemsOf("MotorMenu"), QStringLiteral("&New;&Open...;&Save;Motor &Designer...;Enter &Test Data...;"
                                                   "Enter &Catalog Data..."));
    EXPECT_EQ(itemsOf("BatteryMenu"), QStringLiteral("&New;&Open...;&Save"));
    EXPECT_EQ(itemsOf("FilterMenu"), QStringLiteral("&New;&Open...;&Save;&Use Filter"));
    EXPECT_EQ(itemsOf("DriveSystemMenu"), QStringLiteral("&New;&Open...;&Save;&Propeller;&Ducted Fan;"
                                                         "Pitch &Calculator...;Co&efficient Estimator...;"
                                                         "Constant &Estimator..."));
    EXPECT_EQ(itemsOf("SpeedControlMenu"), QStringLiteral("&New;&Open...;&Save"));
    EXPECT_EQ(itemsOf("AirframeMenu"), QStringLiteral("&New;&Open...;&Save;&Coefficient Calculator..."));
    EXPECT_EQ(Find<QAction>("OptionsItem")->text(), QStringLiteral("&Options"));
    EXPECT_EQ(itemsOf("UpdateMenu"),
              QStringLiteral("Update &All...;&Projects...;&Motors...;&Cells...;&Filters...;Propeller &Drive Systems...;"
                             "Fan D&rive Systems...;&Speed Controls...;&Airframes...;C&ontribute Your Data...;"
                             "&Get Contributed Data..."));
    QString help = itemsOf("HelpMenu");
    help.replace(Find<QAction>("VisitOurWebSite1")->text(), QStringLiteral("<site>"));
    EXPECT_EQ(help, QStringLiteral("&Help Topics...;&Introduction...;&Quick Tutorial...;What's &New?...;"
                                   "The Ampvane&Wizard...;Tips and Tric&ks...;&Frequently Asked Questions...;"
                                   "In-Depth &Tutorial (web)...;<site>;Tip of the &Day...;"
                                   "&E-mail Technical Support...;&About Ampvane..."));

    QStringList hints;
    for (QAction* action : Find<QToolBar>("ToolBar")->actions())
        if (!action->isSeparator()) hints << action->toolTip();
    ASSERT_EQ(hints.size(), 24);
    EXPECT_EQ(hints[17], QStringLiteral("Update All from %1").arg(QString::fromUtf8(kDefaultServer)));
    hints[17] = QStringLiteral("<update all>");
    EXPECT_EQ(hints.join(QLatin1Char(';')),
              QStringLiteral("New Project;Open Project;Save Project;Save Project As;AmpvaneWizard;Wiring Wizard;"
                             "Select Motor;Motor Designer;Enter Test Data;Enter Catalog Data;Select Cell Type;"
                             "Select Filter;Select Propeller Drive Sytems;Select Fan Drive System;"
                             "Select Speed Control;Select Airframe;Options;<update all>;Contribute Your Data;"
                             "Get User Contributed Data;Help;Tips And Tricks;Frequently Asked Questions;"
                             "Compute Report"));
    EXPECT_EQ(Find<QToolBar>("ToolBar")->actions().indexOf(Find<QAction>("UpdateAllToolButton")),
              Find<QToolBar>("ToolBar")->actions().indexOf(Find<QAction>("OptionsToolButton")) + 2);
}

TEST_F(WorkbenchWindow, TypingStoresTheFieldAndSetsItsMarks) {
    QTest::keyClicks(Edit(C::MotorConstantEdit), "1200");
    EXPECT_EQ(form->Fields().Text(C::MotorConstantEdit), "1200");
    EXPECT_TRUE(form->Fields().ProjectModified());
    EXPECT_TRUE(form->Fields().GroupModified(ComponentGroup::Motor));
    EXPECT_FALSE(form->Fields().GroupModified(ComponentGroup::Cell));

    // A restriction ticks "Use It" and the menu item with it.
    QTest::keyClicks(Edit(C::MaxCurrentEdit), "30");
    EXPECT_TRUE(Find<QCheckBox>("UseFilterCheckBox")->isChecked());
    EXPECT_TRUE(Find<QAction>("UseFilterItem")->isChecked());
    Find<QAction>("UseFilterItem")->trigger();
    EXPECT_FALSE(form->Fields().Checked(C::UseFilterCheckBox));
    EXPECT_FALSE(Find<QCheckBox>("UseFilterCheckBox")->isChecked());
}

TEST_F(WorkbenchWindow, EditMenuActsOnTheFocusedFieldDropDownsIncluded) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QApplication::clipboard()->setText(QStringLiteral("1.25"));

    auto* constant = Find<QComboBox>("PropConstantEdit");
    constant->setFocus();
    QApplication::processEvents();
    Find<QAction>("PasteItem")->trigger();
    EXPECT_EQ(constant->currentText(), QStringLiteral("1.25"));
    EXPECT_EQ(form->Fields().Text(C::PropConstantEdit), "1.25");
    EXPECT_TRUE(form->Fields().GroupModified(ComponentGroup::Drive));

    // Cut takes the selection out of the field and the stored text alike.
    QLineEdit* weight = Edit(C::MotorWeightEdit);
    weight->setFocus();
    QApplication::processEvents();
    Find<QAction>("PasteItem")->trigger();
    weight->selectAll();
    Find<QAction>("CutItem")->trigger();
    EXPECT_EQ(form->Fields().Text(C::MotorWeightEdit), "");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1.25"));
}

TEST_F(WorkbenchWindow, InvalidFieldShowsItsMessageAndOpensNoReport) {
    LoadSample();
    Edit(C::MotorConstantEdit)->clear();
    QTest::keyClicks(Edit(C::MotorConstantEdit), "12x");
    messages.Expect("The value in the Motor Constant field is invalid.");
    QTest::mouseClick(Find<QPushButton>("ComputeButton"), Qt::LeftButton);
    EXPECT_TRUE(results->Reports().empty());
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].kind, MessageKind::Error);
    // The failed field has the focus with its text selected: typing replaces it.
    const auto focusedWithSelection = [&](C id) {
        EXPECT_EQ(form->focusWidget(), Edit(id)) << ControlInfo(id).name;
        EXPECT_EQ(Edit(id)->selectedText(), Edit(id)->text()) << ControlInfo(id).name;
    };
    focusedWithSelection(C::MotorConstantEdit);

    QTest::keyClicks(Edit(C::MotorConstantEdit), "2350");
    EXPECT_EQ(Edit(C::MotorConstantEdit)->text(), "2350");
    Edit(C::NumberOfCellsToEdit)->clear();
    QTest::keyClicks(Edit(C::NumberOfCellsToEdit), "5");
    Find<QPushButton>("ComputeButton")->setFocus();
    messages.Expect("The value in the Maximum Number of Series Cells field is too small. It must be at least 6.");
    form->ComputeButtonClick();
    EXPECT_TRUE(results->Reports().empty());
    focusedWithSelection(C::NumberOfCellsToEdit);

    // A restriction below its box's fold is scrolled into view as well.
    QTest::keyClicks(Edit(C::NumberOfCellsToEdit), "7");
    form->resize(form->minimumSizeHint());
    QTest::keyClicks(Edit(C::MaxRPMEdit), "0");
    messages.Expect("The value in the Maximum Motor RPM field is too small. It must be at least 1.");
    form->ComputeButtonClick();
    focusedWithSelection(C::MaxRPMEdit);
    auto* box = Find<QScrollArea>("RestrictionScrollBox");
    const QPoint at = Edit(C::MaxRPMEdit)->mapTo(box->viewport(), QPoint(0, 0));
    EXPECT_TRUE(box->viewport()->rect().contains(at)) << at.y() << " in " << box->viewport()->height();
}

// The search wizard's Opinion...: a single combination's report ends in its opinion, and every window
// it opens stands over the (modal) window that asked, so that it is in front and usable.
TEST_F(WorkbenchWindow, ComputeForAnotherWindowOpensOverItAndEndsInTheOpinion) {
    WorkbenchFields single;
    testing::FillSample(single);
    for (C to : {C::NumberOfCellsToEdit, C::PropellerDiameterToEdit, C::PropellerPitchToEdit}) single.SetText(to, "");
    form->SetFields(single);
    QWidget asking;
    asking.show();
    messages.AllowAny();
    form->ComputeReportFor(true, &asking);
    ASSERT_EQ(results->Reports().size(), 1u);
    TReportForm* report = results->Reports().front();
    EXPECT_EQ(report->parentWidget(), &asking);
    ASSERT_EQ(report->Children().size(), 1u);
    const TReportForm* inFlight = report->Children().front();
    EXPECT_EQ(inFlight->parentWidget(), &asking);
    EXPECT_FALSE(inFlight->isHidden());
    EXPECT_EQ(inFlight->OpinionWindows().size(), 1u);
}

// The drive's Measured list offers the stored measured propellers; a choice marks the project and goes
// into its text; a project naming one this data folder lacks still shows it (and its report says so).
TEST_F(WorkbenchWindow, MeasuredPropellerIsChosenFromTheStoredOnes) {
    const std::string data = folder.file("data");
    std::filesystem::create_directories(data + "/Propellers");
    const double rpms[] = {2000, 30000}, js[] = {0, 0.2, 0.4, 0.6, 0.8, 1.0};
    MeasuredPropeller wood = TabulateTwoConstantModel(10, 6, 2, 1, 0.95, rpms, js);
    wood.Name = "Wood 10x6";
    std::ofstream(data + "/Propellers/Wood 10x6.avprop") << WritePropellerText(wood);
    std::ofstream(data + "/Propellers/notes.txt") << "not a propeller\n";
    const QByteArray previous = qgetenv("AMPVANE_DATA_DIR");
    qputenv("AMPVANE_DATA_DIR", QByteArray::fromStdString(data));
    LoadSample();
    form->EditFields().ClearMarks();
    auto* measured = Find<QComboBox>("MeasuredPropellerComboBox");
    form->FillMeasuredPropellers();
    ASSERT_EQ(measured->count(), 2);
    EXPECT_EQ(measured->currentIndex(), 0);
    emit measured->activated(1);
    EXPECT_EQ(form->Fields().MeasuredPropeller(), "Wood 10x6");
    EXPECT_TRUE(form->Fields().ProjectModified());
    EXPECT_NE(form->Session().ProjectText().find("MeasuredPropeller=Wood 10x6"), std::string::npos);
    EXPECT_EQ(measured->currentText(), "Wood 10x6");
    EXPECT_TRUE(form->Fields().GroupModified(ComponentGroup::Drive));
    // What the measured curves replace is greyed and not read: Compute works with it empty or wrong.
    const auto greyed = [&](const char* name) { return !Find<QWidget>(name)->isEnabled(); };
    for (const char* name : {"PropellerDiameterFromEdit", "PropellerPitchToEdit", "PropConstantEdit",
                             "ThrustConstantEdit", "PropellerBladesEdit"})
        EXPECT_TRUE(greyed(name)) << name;
    EXPECT_FALSE(greyed("GearRatioFromEdit"));
    WorkbenchFields typed = form->Fields();
    typed.SetText(WorkbenchControl::PropellerDiameterFromEdit, "");
    typed.SetText(WorkbenchControl::PropConstantEdit, "abc");
    form->SetFields(typed);
    form->ComputeButtonClick();
    ASSERT_EQ(results->Reports().size(), 1u);
    EXPECT_NE(results->Reports().front()->windowTitle().indexOf(QStringLiteral("Untitled (propeller Wood 10x6 from")), -1)
        << results->Reports().front()->windowTitle().toStdString();
    emit measured->activated(0);
    EXPECT_EQ(form->Fields().MeasuredPropeller(), "");
    EXPECT_FALSE(greyed("PropConstantEdit"));

    WorkbenchFields other = form->Fields();
    other.SetMeasuredPropeller("Oak 11x7");
    form->SetFields(other);
    EXPECT_EQ(measured->currentText(), "Oak 11x7");
    messages.Expect("There is no measured propeller named \"Oak 11x7\" in the Propellers folder.");
    form->ComputeButtonClick();
    EXPECT_EQ(results->Reports().size(), 1u);
    if (previous.isEmpty()) qunsetenv("AMPVANE_DATA_DIR");
    else qputenv("AMPVANE_DATA_DIR", previous);
}

TEST_F(WorkbenchWindow, ComputeOpensAReportWhoseCellsAreTheCoresGrid) {
    LoadSample();
    QTest::mouseClick(Find<QPushButton>("ComputeButton"), Qt::LeftButton);
    ASSERT_EQ(results->Reports().size(), 1u);
    const TReportForm* report = results->Reports().front();
    EXPECT_FALSE(report->isHidden());

    // The same input through the core alone.
    RecordingMessages quiet;
    DisplayPlane plane;
    AnalysisOptions options;
    ASSERT_TRUE(GatherAnalysisInput(form->Fields(), AnalysisOptionsInputFrom(settings), plane, options, NumberLocale{},
                                    quiet, quiet));
    Report expected;
    expected.Settings = ReportSettingsFrom(settings, NumberLocale{});
    ASSERT_EQ(BuildStaticReport(expected, options, plane, quiet, quiet), ReportOutcome::Shown);

    const ReportGrid& shown = report->Grid();
    ASSERT_EQ(shown.RowCount(), expected.Grid.RowCount());
    ASSERT_EQ(shown.Columns.size(), expected.Grid.Columns.size());
    EXPECT_GT(shown.RowCount(), 1);
    for (int r = 0; r < shown.RowCount() + 2; ++r)
        for (int c = 0; c < static_cast<int>(shown.Columns.size()); ++c)
            EXPECT_EQ(shown.Cell(r, c), expected.Grid.Cell(r, c)) << r << "," << c;
    EXPECT_EQ(report->windowTitle().toStdString(), expected.Grid.Caption);
    // Gathering left the workbench as it was.
    EXPECT_EQ(form->Fields().Text(C::MotorConstantEdit), "2350");
}

TEST_F(WorkbenchWindow, UnitLabelsFollowTheOptionsAndFieldsConvert) {
    EXPECT_EQ(Label("OzLabel1"), QStringLiteral("oz"));
    EXPECT_EQ(Label("SqInLabel1"), QStringLiteral("sq.in"));
    EXPECT_EQ(Label("MPHLabel2"), QStringLiteral("mph"));
    EXPECT_EQ(Label("InLabel1"), QStringLiteral("in"));

    QTest::keyClicks(Edit(C::MotorWeightEdit), "10");
    form->EditFields().ClearMarks();
    const WorkbenchUnits before = form->Units();
    settings.measurementMode = AllMetric;
    settings.forceInNewtons = true;
    form->UnitsChanged(before);
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(Label(QStringLiteral("OzLabel%1").arg(i).toLatin1().constData()), QStringLiteral("g")) << i;
    EXPECT_EQ(Label("SqInLabel1"), QString::fromUtf8("dm \xC2\xB2"));
    EXPECT_EQ(Label("ThrustLabel"), QStringLiteral("N"));
    EXPECT_EQ(Label("MPHLabel1"), QStringLiteral("m/s"));
    EXPECT_EQ(Label("InLabel2"), QStringLiteral("cm"));
    EXPECT_EQ(Label("WingSpanEditUnit"), QStringLiteral("cm"));
    EXPECT_EQ(Edit(C::MotorWeightEdit)->text(), QStringLiteral("283"));
    EXPECT_FALSE(form->Fields().ProjectModified());

    const WorkbenchUnits metric = form->Units();
    settings.measurementMode = MetricInchProps;
    form->UnitsChanged(metric);
    EXPECT_EQ(Label("InLabel1"), QStringLiteral("in"));
    EXPECT_EQ(Label("OzLabel3"), QStringLiteral("g"));
    EXPECT_EQ(Label("ThrustLabel"), QStringLiteral("N"));
}

TEST_F(WorkbenchWindow, CountButtonsAndKeysStepTheCellCounts) {
    QTest::mouseClick(Find<QToolButton>("NumCellsFromPlusButton"), Qt::LeftButton);
    EXPECT_EQ(Edit(C::NumberOfCellsFromEdit)->text(), QStringLiteral("1"));
    EXPECT_EQ(Edit(C::NumberOfCellsToEdit)->text(), QStringLiteral("1"));
    QTest::mouseClick(Find<QToolButton>("NumCellsToPlusButton"), Qt::LeftButton);
    EXPECT_EQ(Edit(C::NumberOfCellsToEdit)->text(), QStringLiteral("2"));

    QLineEdit* parallelTo = Edit(C::ParallelCellsToEdit);
    parallelTo->setFocus();
    QTest::keyClicks(parallelTo, "+=+");
    EXPECT_EQ(parallelTo->text(), QStringLiteral("3")); // the keys are buttons, not typed
    EXPECT_EQ(Edit(C::ParallelCellsFromEdit)->text(), QStringLiteral("1")); // filled once, when empty
    QTest::keyClicks(Edit(C::ParallelCellsFromEdit), "_");
    EXPECT_EQ(Edit(C::ParallelCellsFromEdit)->text(), QStringLiteral("1"));
    QTest::keyClicks(Edit(C::ParallelCellsFromEdit), "+");
    EXPECT_EQ(Edit(C::ParallelCellsFromEdit)->text(), QStringLiteral("2"));
    QTest::mouseClick(Find<QToolButton>("ParallelCellsToMinusButton"), Qt::LeftButton);
    QTest::mouseClick(Find<QToolButton>("ParallelCellsToMinusButton"), Qt::LeftButton);
    EXPECT_EQ(parallelTo->text(), QStringLiteral("1"));
    EXPECT_EQ(Edit(C::ParallelCellsFromEdit)->text(), QStringLiteral("1"));
    // Other keys are typed as usual.
    QTest::keyClicks(Edit(C::MotorConstantEdit), "-5");
    EXPECT_EQ(Edit(C::MotorConstantEdit)->text(), QStringLiteral("-5"));
}

TEST_F(WorkbenchWindow, ChemistryAndBrushlessRulesShowInTheWindow) {
    auto* chemistry = Find<QComboBox>("CellTypeComboBox");
    chemistry->setCurrentIndex(chemistry->findText(QStringLiteral("LiPo")));
    emit chemistry->textActivated(QStringLiteral("LiPo"));
    EXPECT_EQ(Edit(C::CellVoltageEdit)->text(), QStringLiteral("3.7"));
    EXPECT_TRUE(Edit(C::CellVoltageEdit)->isReadOnly());
    chemistry->setCurrentIndex(0);
    emit chemistry->textActivated(QString());
    EXPECT_FALSE(Edit(C::CellVoltageEdit)->isReadOnly());
    EXPECT_EQ(Edit(C::CellVoltageEdit)->text(), QStringLiteral("3.7"));

    auto* outRunner = Find<QCheckBox>("MotorOutRunnerCheckBox");
    EXPECT_FALSE(outRunner->isEnabled());
    QTest::mouseClick(Find<QCheckBox>("MotorBrushlessCheckBox"), Qt::LeftButton);
    EXPECT_TRUE(outRunner->isEnabled());
    QTest::mouseClick(outRunner, Qt::LeftButton);
    EXPECT_TRUE(outRunner->isChecked());
    QTest::mouseClick(Find<QCheckBox>("MotorBrushlessCheckBox"), Qt::LeftButton);
    EXPECT_FALSE(outRunner->isChecked());
    EXPECT_FALSE(outRunner->isEnabled());

    QTest::mouseClick(Find<QCheckBox>("ESCBrushlessCheckBox"), Qt::LeftButton);
    EXPECT_TRUE(Find<QCheckBox>("ESCHighRateCheckBox")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("ESCHighRateCheckBox")->isEnabled());
}

TEST_F(WorkbenchWindow, DrivePageSwitchesPitchButtonAndPitchRatio) {
    auto* pages = Find<QTabWidget>("DriveSystemPages");
    form->EditFields().ClearMarks();
    pages->setCurrentIndex(kDuctedFanPage);
    EXPECT_EQ(form->Fields().DrivePage(), kDuctedFanPage);
    EXPECT_TRUE(form->Fields().ProjectModified());
    EXPECT_FALSE(Find<QPushButton>("PitchButton")->isHidden());
    EXPECT_FALSE(Edit(C::MaxPitchRatioEdit)->isEnabled());
    EXPECT_TRUE(Find<QAction>("DuctedFanItem")->isChecked());
    EXPECT_FALSE(Find<QAction>("ConstantEstimatorItem")->isVisible());
    Find<QAction>("PropellerItem")->trigger();
    EXPECT_EQ(pages->currentIndex(), kPropellerPage);
    EXPECT_TRUE(Find<QPushButton>("PitchButton")->isHidden());
    EXPECT_TRUE(Edit(C::MaxPitchRatioEdit)->isEnabled());
}

TEST_F(WorkbenchWindow, ValueListItemsReplaceTheirLabelsByValues) {
    auto* constant = Find<QComboBox>("PropConstantEdit");
    constant->showPopup();
    constant->hidePopup();
    ASSERT_EQ(constant->count(), 2);
    EXPECT_EQ(constant->itemText(0), QStringLiteral("APC Sport"));
    constant->setCurrentIndex(0);
    emit constant->activated(0);
    EXPECT_EQ(constant->currentText(), QStringLiteral("1.31"));
    EXPECT_EQ(form->Fields().Text(C::PropConstantEdit), "1.31");
    EXPECT_TRUE(form->Fields().GroupModified(ComponentGroup::Drive));

    // The Rev Up item needs a pitch.
    messages.Expect(std::string(kRevUpNeedsPitchMessage));
    constant->setCurrentIndex(1);
    emit constant->activated(1);
    EXPECT_EQ(constant->currentText(), QString());

    // The gearbox efficiency keeps its label until the field is left.
    auto* efficiency = Find<QComboBox>("GearboxEfficiencyEdit");
    efficiency->showPopup();
    efficiency->hidePopup();
    efficiency->setCurrentIndex(0);
    emit efficiency->activated(0);
    EXPECT_EQ(form->Fields().Text(C::GearboxEfficiencyEdit), "Spur gears");
    emit efficiency->lineEdit()->editingFinished();
    EXPECT_EQ(form->Fields().Text(C::GearboxEfficiencyEdit), "95.5");
    EXPECT_EQ(efficiency->currentText(), QStringLiteral("95.5"));

    // Compute from the tool bar, which keeps the focus in the field, takes the value, not the label.
    LoadSample();
    efficiency->showPopup();
    efficiency->hidePopup();
    efficiency->setCurrentIndex(0);
    emit efficiency->activated(0);
    EXPECT_EQ(form->Fields().Text(C::GearboxEfficiencyEdit), "Spur gears");
    Find<QAction>("ComputeToolButton")->trigger();
    EXPECT_EQ(form->Fields().Text(C::GearboxEfficiencyEdit), "95.5");
    EXPECT_EQ(results->Reports().size(), 1u);
}

TEST_F(WorkbenchWindow, EnteringARestrictionScrollsItsBox) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto* box = Find<QScrollArea>("RestrictionScrollBox");
    // At the default size every row shows; in a window made smaller the box scrolls.
    EXPECT_EQ(box->verticalScrollBar()->maximum(), 0);
    box->setMinimumHeight(0);
    box->setMaximumHeight(box->height() / 3);
    QApplication::processEvents();
    Edit(C::MaxPitchRatioEdit)->setFocus();
    QApplication::processEvents();
    const int sixRows = box->verticalScrollBar()->value();
    EXPECT_GT(sixRows, 0);
    Edit(C::MaxCurrentEdit)->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(box->verticalScrollBar()->value(), 0);
    Edit(C::MaxRPMEdit)->setFocus(); // field number 305: one row
    QApplication::processEvents();
    EXPECT_GT(box->verticalScrollBar()->value(), 0);
    EXPECT_LT(box->verticalScrollBar()->value(), sixRows);
}

TEST_F(WorkbenchWindow, WheelScrollsOnlyTheBoxOfTheFocusedGroup) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto* restrictions = Find<QScrollArea>("RestrictionScrollBox")->verticalScrollBar();
    auto* coefficients = Find<QScrollArea>("CoeffScrollBox")->verticalScrollBar();
    const auto wheelDown = [this](QWidget* over) {
        const QPointF at(5, 5);
        QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &wheel);
    };
    Edit(C::MaxCurrentEdit)->setFocus();
    QApplication::processEvents();
    restrictions->setValue(0);
    wheelDown(Edit(C::MotorNameEdit));
    EXPECT_EQ(restrictions->value(), std::min(12, restrictions->maximum()));
    EXPECT_EQ(coefficients->value(), 0);

    Edit(C::WingSpanEdit)->setFocus();
    QApplication::processEvents();
    wheelDown(Edit(C::MaxCurrentEdit));
    EXPECT_EQ(coefficients->value(), std::min(8, coefficients->maximum()));

    Edit(C::MotorNameEdit)->setFocus(); // field 100: nothing scrolls
    QApplication::processEvents();
    const int before = coefficients->value();
    wheelDown(Find<QComboBox>("PropConstantEdit"));
    EXPECT_EQ(coefficients->value(), before);
    EXPECT_EQ(Find<QComboBox>("PropConstantEdit")->currentText(), QString());
}

TEST_F(WorkbenchWindow, CloseAnnouncesItselfForTheConfiguration) {
    int closings = 0;
    QObject::connect(form.get(), &TParameterInputForm::Closing, [&closings] { ++closings; });
    form->show();
    Find<QAction>("ExitItem")->trigger();
    EXPECT_EQ(closings, 1);
    EXPECT_FALSE(form->isVisible());
}

} // namespace
} // namespace ampvane
