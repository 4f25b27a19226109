// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/ui/tool_windows.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QPrinter>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "../../data/table_test_support.h"
#include "analysis/propeller_files.h"
#include "data/comp_data_module.h"
#include "model/measured_propeller.h"
#include "data/table_text.h"
#include "common/ui/typing_messages.h"
#include "help/ui/help_viewer.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "tools/ui/airfoil_forms.h"
#include "tools/ui/drive_tool_forms.h"
#include "tools/ui/motor_tool_forms.h"
#include "tools/tool_fields.h"
#include "tools/ui/wiring_wizard_form.h"
#include "data/ui/table_browser.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
using testing::RecordingMessages;
using testing::TempDir;

class ToolWindows : public ::testing::Test {
protected:
    ToolWindows() {
        std::ofstream(folder.file("GearboxEff.lst")) << "Spur gears|92.5\n";
        std::ofstream(folder.file("PropConst.lst")) << "APC Sport|1.31\n";
        std::ofstream(folder.file("ThrustConst.lst")) << "APC Sport|0.95\n";
        std::ofstream(folder.file("Airfoil.lst")) << "Plate|-3|0\nClark Y|11.7|3.4\n";
        ToolEnvironment env;
        env.session = &session;
        env.dataFolder = folder.path();
        env.showOptions = [this] {
            ++optionsShown;
            settings.elevation = "1500";
        };
        // The program's motor browser: the component browser on the motor table.
        env.browseMotor = [this](QLineEdit* nameEdit) {
            TTableBrowser browser(nameEdit->window());
            const BrowserUnits units{settings.measurementMode, settings.forceInNewtons, {}};
            return browser.BrowseTable(*browsed, ComponentTableKind::Motor, nameEdit, 0, units, messages, messages);
        };
        tools = new TToolWindows(env, owner);
    }

    template <class W>
    W* In(QWidget* window, const char* name) {
        W* widget = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Type(QWidget* window, const char* name, const char* text) {
        QLineEdit* edit = In<QLineEdit>(window, name);
        edit->clear();
        QTest::keyClicks(edit, QString::fromUtf8(text));
    }
    void Click(QWidget* window, const char* name) { QTest::mouseClick(In<QPushButton>(window, name), Qt::LeftButton); }
    const std::string& Field(C id) { return session.Fields().Text(id); }
    void SetField(C id, const char* text) { session.Fields().SetText(id, text); }

    TempDir folder;
    Settings settings;
    RecordingMessages messages;
    WorkbenchSession session{&settings, nullptr, {}, messages, messages};
    QWidget owner;
    int optionsShown = 0;
    TToolWindows* tools = nullptr;
    TCompDataModule* browsed = nullptr; // the tables the motor browser looks through
};

TEST_F(ToolWindows, HelpShowsEachWindowsTopic) {
    const std::pair<QWidget*, int> windows[] = {
        {&tools->TestData(), 214},      {&tools->CatalogData(), 215},    {&tools->MotorDesigner(), 216},
        {&tools->PropConstant(), 236},  {&tools->FanCoefficient(), 235}, {&tools->FanPitch(), 234},
        {&tools->LiftCoefficient(), 264}, {&tools->WiringWizard(), 93},
    };
    for (auto [window, topic] : windows) {
        window->show();
        Click(window, "HelpButton");
        EXPECT_EQ(CurrentHelpTopic(), topic) << window->objectName().toStdString();
        ASSERT_NE(HelpViewerWindow(), nullptr);
        EXPECT_EQ(HelpViewerWindow()->CurrentPage(), QStringLiteral("Ampvane_%1.htm").arg(topic));
        window->close();
    }
    // F1 on a control with a page of its own.
    EXPECT_EQ(HelpTopicOf(In<QWidget>(&tools->WiringWizard(), "PrintButton")), 932);
    EXPECT_EQ(HelpTopicOf(In<QWidget>(&tools->LiftCoefficient(), "FuselageGroupItem0")), 2642);
    CloseHelpWindows();
}

TEST_F(ToolWindows, TestDataTypedAndApplied) {
    auto& form = tools->TestData();
    form.show();
    const char* values[6][2] = {{"FreeRunningVoltageEdit", "7.2"}, {"FreeRunningCurrentEdit", "1.5"},
                                {"FreeRunningRPMEdit", "16000"},   {"UnderLoadVoltageEdit", "6.0"},
                                {"UnderLoadCurrentEdit", "12"},    {"UnderLoadRPMEdit", "11000"}};
    for (auto& [name, text] : values) Type(&form, name, text);
    EXPECT_EQ(In<QLineEdit>(&form, "MotorConstantEdit")->text(), QStringLiteral("2267"));
    In<QRadioButton>(&form, "BestEfficiencyRadioButton")->click();
    EXPECT_EQ(In<QLineEdit>(&form, "IdleCurrentEdit")->text(), QStringLiteral("0.030"));
    Click(&form, "ApplyButton");
    EXPECT_EQ(Field(C::MotorConstantEdit), "2267");
    EXPECT_EQ(Field(C::IdleCurrentEdit), "0.030");
    EXPECT_EQ(Field(C::ArmatureResistanceEdit), "0.096");

    // Hostile texts: a message, the results cleared, Apply and OK off, the workbench untouched.
    SetField(C::MotorConstantEdit, "1000");
    for (const char* hostile : {"abc", "1e400", "-1", "0", ""}) {
        if (*hostile && std::string(hostile) != "0") messages.AllowAny();
        Type(&form, "UnderLoadCurrentEdit", hostile);
        EXPECT_TRUE(In<QLineEdit>(&form, "MotorConstantEdit")->text().isEmpty()) << hostile;
        EXPECT_FALSE(In<QPushButton>(&form, "ApplyButton")->isEnabled());
        EXPECT_FALSE(In<QPushButton>(&form, "OKButton")->isEnabled());
        Click(&form, "ApplyButton");
        EXPECT_EQ(Field(C::MotorConstantEdit), "1000");
    }
    Click(&form, "CancelButton");
    EXPECT_FALSE(form.isVisible());
}

TEST_F(ToolWindows, CatalogFillsTheThirdCurrent) {
    auto& form = tools->CatalogData();
    form.show();
    Type(&form, "NominalVoltageEdit", "7.2");
    Type(&form, "FreeRunningRPMEdit", "14000");
    Type(&form, "StallCurrentEdit", "60");
    Type(&form, "MaxEfficiencyCurrentEdit", "12");
    QLineEdit* idle = In<QLineEdit>(&form, "IdleCurrentEdit");
    EXPECT_EQ(idle->text(), QStringLiteral("2.40"));
    EXPECT_TRUE(idle->isReadOnly());
    Click(&form, "OKButton");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Field(C::MotorConstantEdit), "2029");
    EXPECT_EQ(Field(C::IdleCurrentEdit), "2.40");
    EXPECT_EQ(Field(C::ArmatureResistanceEdit), "0.125");
}

TEST_F(ToolWindows, DesignerTakesTheWorkbenchMotor) {
    SetField(C::MotorNameEdit, "Speed 400");
    SetField(C::MotorConstantEdit, "1000");
    SetField(C::IdleCurrentEdit, "1.5");
    SetField(C::ArmatureResistanceEdit, "0.1");
    SetField(C::MotorWeightEdit, "5.5");
    auto& form = tools->MotorDesigner();
    form.show();
    EXPECT_EQ(In<QLineEdit>(&form, "MotorNameEdit")->text(), QStringLiteral("Speed 400"));
    Type(&form, "MotorWindingsEdit", "10");
    Type(&form, "WireGaugeEdit", "20");
    Type(&form, "NewMotorWindingsEdit", "8");
    Type(&form, "NewMotorNameEdit", "Speed 400 8T");
    EXPECT_EQ(In<QLabel>(&form, "NewWireGaugeLabel")->text(), QStringLiteral("Gauge (19.0):"));
    Click(&form, "ApplyButton");
    EXPECT_EQ(Field(C::MotorNameEdit), "Speed 400 8T");
    EXPECT_EQ(Field(C::MotorConstantEdit), "1286");
    EXPECT_EQ(Field(C::IdleCurrentEdit), "2.04");
    EXPECT_EQ(Field(C::ArmatureResistanceEdit), "0.064");
    EXPECT_EQ(Field(C::MotorWeightEdit), "5.5");
}

TEST_F(ToolWindows, PropellerConstantsInMetricWorkbench) {
    settings.measurementMode = AllMetric;
    SetField(C::MotorConstantEdit, "1000");
    SetField(C::IdleCurrentEdit, "1");
    SetField(C::ArmatureResistanceEdit, "0.1");
    auto& form = tools->PropConstant();
    form.show();
    In<QRadioButton>(&form, "InButton1")->setChecked(true);
    In<QRadioButton>(&form, "InButton2")->setChecked(true);
    In<QRadioButton>(&form, "OzButton1")->setChecked(true);
    Type(&form, "GearRatioEdit", ""); // the workbench's 2.38 came in with the propeller
    Type(&form, "TerminalVoltageEdit", "10");
    Type(&form, "MotorCurrentEdit", "10");
    EXPECT_EQ(In<QLineEdit>(&form, "RPMEdit")->text(), QStringLiteral("9000"));
    EXPECT_EQ(In<QLabel>(&form, "RPMLabel")->text(), QStringLiteral("rpm (estimated)"));
    Type(&form, "PropDiameterEdit", "10");
    Type(&form, "PropPitchEdit", "6");
    Type(&form, "RPMEdit", "8000");
    EXPECT_EQ(In<QLabel>(&form, "RPMLabel")->text(), QStringLiteral("rpm"));
    Type(&form, "ThrustEdit", "15");
    const QString power = In<QLineEdit>(&form, "PowerConstEdit")->text();
    EXPECT_FALSE(power.isEmpty());
    Click(&form, "ApplyButton");
    EXPECT_EQ(Field(C::PropellerDiameterFromEdit), "25.4");
    EXPECT_EQ(Field(C::PropellerPitchFromEdit), "15.25");
    EXPECT_EQ(Field(C::PropConstantEdit), power.toStdString());

    // The list update stores the name with a capital and refuses a separator in it.
    QComboBox* name = In<QComboBox>(&form, "PropellerNameEdit");
    name->setEditText(QStringLiteral("wood 10x6"));
    Click(&form, "AddToListButton");
    EXPECT_EQ(name->currentText(), QStringLiteral("Wood 10x6"));
    std::ifstream list(folder.file("PropConst.lst"));
    std::string contents((std::istreambuf_iterator<char>(list)), {});
    EXPECT_NE(contents.find("Wood 10x6|" + power.toStdString()), std::string::npos);
    messages.Expect(std::string(kListNameMessage));
    name->setEditText(QStringLiteral("bad|name"));
    Click(&form, "AddToListButton");

    // "C&hange..." goes through the options; the conditions and the constants follow them.
    Click(&form, "OptionsButton");
    EXPECT_EQ(optionsShown, 1);
    EXPECT_EQ(In<QLabel>(&form, "ElevationLabel")->text(), QStringLiteral("Elev: 1500 m"));
    EXPECT_NE(In<QLineEdit>(&form, "PowerConstEdit")->text(), power);
}

// "From measured data": the two-constant model written out as data gives back its own constants, from a
// file or from the Propellers folder; a file without a size asks for one in the window's words.
TEST_F(ToolWindows, PropellerConstantsFittedToMeasuredData) {
    const double rpms[] = {3000, 6000, 9000}, js[] = {0, 0.2, 0.4, 0.6};
    MeasuredPropeller model = TabulateTwoConstantModel(10, 6, 2, 1, 0.95, rpms, js);
    model.Name = "Model 10x6";
    std::filesystem::create_directories(folder.file("Propellers"));
    std::ofstream(folder.file("model.avprop")) << WritePropellerText(model);
    std::ofstream(folder.file("Propellers/Model 10x6.avprop")) << WritePropellerText(model);
    const QByteArray previous = qgetenv("AMPVANE_DATA_DIR");
    qputenv("AMPVANE_DATA_DIR", QByteArray::fromStdString(folder.path().string()));
    auto& form = tools->PropConstant();
    form.show();
    In<QRadioButton>(&form, "CMButton1")->setChecked(true);
    In<QRadioButton>(&form, "InButton2")->setChecked(true);

    form.FromDataFiles({folder.file("model.avprop")});
    EXPECT_EQ(In<QLineEdit>(&form, "PowerConstEdit")->text(), QStringLiteral("1.31"));
    EXPECT_EQ(In<QLineEdit>(&form, "ThrustConstEdit")->text(), QStringLiteral("0.95"));
    EXPECT_EQ(In<QLineEdit>(&form, "PropDiameterEdit")->text(), QStringLiteral("25.4"));
    EXPECT_EQ(In<QLineEdit>(&form, "PropPitchEdit")->text(), QStringLiteral("6"));
    EXPECT_TRUE(In<QLabel>(&form, "FitNoteLabel")->text().startsWith(QStringLiteral("Fitted to 3 static points of")));
    Click(&form, "ApplyButton");
    EXPECT_EQ(Field(C::PropConstantEdit), "1.31");
    EXPECT_EQ(Field(C::ThrustConstantEdit), "0.95");
    EXPECT_EQ(Field(C::PropellerDiameterFromEdit), "10");

    Type(&form, "PropDiameterEdit", "");
    const std::string csv = folder.file("bench.csv");
    std::ofstream(csv) << "rpm,J,CT,CP\n5000,0,0.1,0.05\n5000,0.3,0.07,0.045\n";
    messages.Expect(csv + ": the diameter is written nowhere; type it in the Diameter field.");
    form.FromDataFiles({csv});
    EXPECT_TRUE(In<QLineEdit>(&form, "PowerConstEdit")->text().isEmpty());

    QComboBox* stored = In<QComboBox>(&form, "StoredPropellerComboBox");
    form.hide();
    form.show(); // the list is read on showing
    ASSERT_EQ(stored->count(), 2);
    emit stored->activated(1);
    EXPECT_EQ(In<QLineEdit>(&form, "ThrustConstEdit")->text(), QStringLiteral("0.95"));
    if (previous.isEmpty()) qunsetenv("AMPVANE_DATA_DIR");
    else qputenv("AMPVANE_DATA_DIR", previous);
}

// Motor tables holding a bench motor and a motor whose name states its winding.
struct MotorTables {
    MotorTables() {
        testing::MakeEmptyTables(folder.path().string());
        module.OpenComponentTables();
        TableImportOptions options;
        ImportTableTextFrom(module,
                            "Begin Ampvane8 Motor Table\nMOTORNAME\tMOTORSTANT\tIDLECRRENT\tARMATTANCE\tWEIGHT\n"
                            "Bench Motor\t1000\t1\t0.1\t6\nModel 25 12T #22\t1000\t1.5\t0.1\t6\n"
                            "End Ampvane8 Motor Table\n",
                            "motors", options, quiet);
    }
    // Clicks the window's button and, in the browser it opens, chooses the first motor found by `search`.
    static void ChooseMotor(QWidget* window, const char* button, const char* search) {
        QTimer::singleShot(0, window, [search] {
            QWidget* browser = QApplication::activeModalWidget();
            ASSERT_NE(browser, nullptr);
            QTest::keyClicks(browser->findChild<QLineEdit*>(QStringLiteral("SearchEdit")), search);
            QTest::mouseClick(browser->findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
        });
        QTest::mouseClick(window->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    }
    TempDir folder;
    NullMessageSink quiet;
    TCompDataModule module{{folder.path().string(), ""}, quiet};
};

TEST_F(ToolWindows, TestMotorPickedInTheBrowser) {
    MotorTables tables;
    browsed = &tables.module;
    auto& form = tools->PropConstant();
    form.SetComponentData(&tables.module);
    form.show();
    Type(&form, "GearRatioEdit", "");
    Type(&form, "TerminalVoltageEdit", "10");
    Type(&form, "MotorCurrentEdit", "10");
    MotorTables::ChooseMotor(&form, "LoadMotorButton", "Bench");
    EXPECT_EQ(In<QLineEdit>(&form, "MotorNameEdit")->text(), QStringLiteral("Bench Motor"));
    EXPECT_EQ(form.Bench().motor.Kv, 1000);
    EXPECT_EQ(In<QLineEdit>(&form, "RPMEdit")->text(), QStringLiteral("9000")); // 1000·(10 − 10·0.1)
}

TEST_F(ToolWindows, DesignerBaselinePickedInTheBrowser) {
    MotorTables tables;
    settings.measurementMode = AllMetric;
    browsed = &tables.module;
    auto& form = tools->MotorDesigner();
    EXPECT_FALSE(In<QPushButton>(&form, "LoadMotorButton")->isEnabled());
    form.SetComponentData(&tables.module);
    ASSERT_TRUE(In<QPushButton>(&form, "LoadMotorButton")->isEnabled());
    form.show();
    Type(&form, "NewMotorWindingsEdit", "8");
    Type(&form, "NewMotorNameEdit", "Model 25 8T");
    MotorTables::ChooseMotor(&form, "LoadMotorButton", "Model");
    EXPECT_EQ(In<QLineEdit>(&form, "MotorNameEdit")->text(), QStringLiteral("Model 25 12T #22"));
    EXPECT_EQ(In<QLineEdit>(&form, "MotorWindingsEdit")->text(), QStringLiteral("12"));
    EXPECT_EQ(In<QLineEdit>(&form, "WireGaugeEdit")->text(), QStringLiteral("22"));
    EXPECT_EQ(In<QLineEdit>(&form, "MotorWeightEdit")->text(), QStringLiteral("170")); // 6 oz in g
    EXPECT_EQ(In<QLineEdit>(&form, "NewMotorConstantEdit")->text(), QStringLiteral("1579")); // 1000·(8/12)^−1.126
    Click(&form, "OKButton");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Field(C::MotorNameEdit), "Model 25 8T");
    EXPECT_EQ(Field(C::MotorConstantEdit), "1579");
}

TEST_F(ToolWindows, FanToolsWriteTheFanFields) {
    settings.temperature = "32"; // sea level at 0 °C: density ratio 1
    settings.pressure = "29.92";
    session.Fields().SetDrivePage(kDuctedFanPage);
    SetField(C::FanDiameterEdit, "3.5");
    SetField(C::HubDiameterEdit, "1.5");
    SetField(C::MotorConstantEdit, "3000");
    SetField(C::IdleCurrentEdit, "3");
    SetField(C::ArmatureResistanceEdit, "0.05");
    auto& fan = tools->FanCoefficient();
    fan.show();
    EXPECT_EQ(In<QLineEdit>(&fan, "FanDiameterEdit")->text(), QStringLiteral("3.5"));
    Type(&fan, "MotorCurrentEdit", "30");
    Type(&fan, "RPMEdit", "30000");
    Type(&fan, "ThrustEdit", "32");
    Type(&fan, "EffluxVelocityEdit", "100");
    Click(&fan, "OKButton");
    EXPECT_EQ(Field(C::FanPitchEdit), "3.52");
    EXPECT_EQ(Field(C::FanThrustCoeffEdit), "0.679");
    EXPECT_EQ(Field(C::FanPowerCoeffEdit), "0.462");

    auto& pitch = tools->FanPitch();
    pitch.show();
    Type(&pitch, "RotorDiameterEdit", "2.5");
    Type(&pitch, "BladeAngleEdit", "30");
    Click(&pitch, "ApplyButton");
    EXPECT_EQ(Field(C::FanPitchEdit), "4.53");
    Type(&pitch, "BladeAngleEdit", "89");
    EXPECT_FALSE(In<QPushButton>(&pitch, "OKButton")->isEnabled());
}

TEST_F(ToolWindows, LiftCoefficientsChangeTheAirframeLines) {
    SetField(C::WingSpanEdit, "60");
    SetField(C::WingAreaEdit, "500");
    tools->CLButtonClick();
    auto& form = tools->LiftCoefficient();
    EXPECT_EQ(In<QLabel>(&form, "ThicknessIndicator")->text(), QStringLiteral("12.0%"));
    EXPECT_EQ(In<QSlider>(&form, "AngleOfAttackSlider")->value(), 2);
    In<QSlider>(&form, "AngleOfAttackSlider")->setValue(8);
    In<QRadioButton>(&form, "LandingGearGroupItem0")->click();
    In<QRadioButton>(&form, "SurfaceFinishGroupItem0")->click();
    In<QRadioButton>(&form, "ProtrusionGroupItem0")->click();
    In<QRadioButton>(&form, "FuselageGroupItem0")->click();
    Click(&form, "ApplyButton");
    EXPECT_EQ(Field(C::AirfoilInfoEdit), "1180822");
    EXPECT_EQ(Field(C::DragInfoEdit), "1111");
    EXPECT_FALSE(form.AirfoilPicture().isNull());

    form.AirfoilList().Reload();
    form.AirfoilList().List()->setCurrentRow(0);
    form.AirfoilList().AirfoilListBoxClick();
    form.AirfoilList().OKButtonClick();
    EXPECT_TRUE(In<QCheckBox>(&form, "NoAirfoilCheckBox")->isChecked());
    EXPECT_EQ(In<QSlider>(&form, "ThicknessSlider")->value(), 6);
    Click(&form, "CancelButton");
    EXPECT_EQ(Field(C::AirfoilInfoEdit), "1180822");
}

TEST_F(ToolWindows, WiringWizardAppliesCounts) {
    SetField(C::ParallelCellsFromEdit, "2");
    SetField(C::ParallelMotorsEdit, "2");
    SetField(C::SeriesMotorsEdit, "2");
    SetField(C::NumberOfCellsToEdit, "8");
    auto& form = tools->WiringWizard();
    form.show();
    EXPECT_EQ(form.State(), (WiringState{2, 1, 2, 2, false, true, true, false}));
    In<QSlider>(&form, "NumESCsSlider")->setValue(2);
    In<QSlider>(&form, "NumSeriesMotorsTimesESCsSlider")->setValue(3);
    EXPECT_TRUE(In<QLabel>(&form, "ErrorLabel")->isVisibleTo(&form));
    EXPECT_FALSE(In<QPushButton>(&form, "SaveButton")->isEnabled());
    In<QSlider>(&form, "NumSeriesMotorsTimesESCsSlider")->setValue(4);
    EXPECT_FALSE(In<QLabel>(&form, "ErrorLabel")->isVisibleTo(&form));
    Click(&form, "ApplyButton");
    EXPECT_EQ(Field(C::MultipleESCsEdit), "2");
    EXPECT_EQ(Field(C::ParallelMotorsEdit), "4");
    EXPECT_EQ(Field(C::SeriesMotorsEdit), "2");
    EXPECT_EQ(Field(C::WireWizInfoEdit), "-1;3;2;");
    const QImage diagram = form.Diagram();
    EXPECT_EQ(diagram.width(), 541);
    EXPECT_EQ(diagram.height(), 281);
    for (const char* name : {"wiring.png", "wiring.jpeg", "wiring.gif"}) {
        EXPECT_EQ(form.SaveDiagram(folder.file(name)), "");
        std::ifstream saved(folder.file(name), std::ios::binary);
        char magic[2] = {};
        saved.read(magic, 2);
        const std::string head(magic, 2);
        EXPECT_EQ(head, std::string(name).ends_with("png") ? "\x89P" : std::string(name).ends_with("jpeg") ? "\xFF\xD8" : "BM")
            << name;
    }
}

TEST_F(ToolWindows, WiringDiagramPrintsOnOnePage) {
    auto& form = tools->WiringWizard();
    form.show();
    In<QSlider>(&form, "NumBatteriesSlider")->setValue(6);
    In<QSlider>(&form, "NumSeriesMotorsTimesESCsSlider")->setValue(4);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(folder.file("wiring.pdf")));
    form.PrintDiagram(printer);
    std::ifstream pdf(folder.file("wiring.pdf"), std::ios::binary);
    const std::string contents((std::istreambuf_iterator<char>(pdf)), {});
    ASSERT_TRUE(contents.starts_with("%PDF"));
    std::size_t pages = 0;
    for (std::size_t at = contents.find("/Type /Page"); at != std::string::npos;
         at = contents.find("/Type /Page", at + 1))
        if (contents.compare(at, 12, "/Type /Pages") != 0) ++pages;
    EXPECT_EQ(pages, 1u);
    EXPECT_NE(contents.find("/Subtype /Image"), std::string::npos);
}

// A red status label keeps its line while hidden, so that the window never grows under the mouse; each
// window opens near its owner, wholly on the screen.
TEST_F(ToolWindows, StatusLinesAreKeptAndWindowsOpenNearTheirOwner) {
    owner.setGeometry(30, 20, 300, 200);
    struct Case {
        QWidget* (*window)(TToolWindows&);
        const char* label;
    };
    const Case cases[] = {
        {[](TToolWindows& t) -> QWidget* { return &t.PropConstant(); }, "WarningLabel"},
        {[](TToolWindows& t) -> QWidget* { return &t.TestData(); }, "PoorDataLabel"},
        {[](TToolWindows& t) -> QWidget* { return &t.TestData(); }, "BadDataLabel"},
        {[](TToolWindows& t) -> QWidget* { return &t.CatalogData(); }, "BadDataLabel"},
        {[](TToolWindows& t) -> QWidget* { return &t.MotorDesigner(); }, "WarningLabel"},
        {[](TToolWindows& t) -> QWidget* { return &t.WiringWizard(); }, "ErrorLabel"},
    };
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const Case& c : cases) {
        QWidget* window = c.window(*tools);
        EXPECT_TRUE(screen.contains(window->geometry())) << c.label;
        EXPECT_EQ(window->geometry().x(), std::min(owner.geometry().x() + 40, screen.right() + 1 - window->width()))
            << c.label;
        window->show();
        QLabel* label = In<QLabel>(window, c.label);
        label->hide();
        const int hidden = window->sizeHint().height();
        label->show();
        EXPECT_EQ(window->sizeHint().height(), hidden) << c.label;
        window->close();
    }
}

// Typing is never interrupted: the lenient-read warning waits until the field is left (or the value is
// used), keeps its text, and the field is marked meanwhile; each estimator that recomputes as it goes.
TEST_F(ToolWindows, TheLenientWarningWaitsUntilTheFieldIsLeft) {
    struct Case {
        QWidget* (*window)(TToolWindows&);
        const char* field;
    };
    const Case cases[] = {
        {[](TToolWindows& t) -> QWidget* { return &t.TestData(); }, "UnderLoadCurrentEdit"},
        {[](TToolWindows& t) -> QWidget* { return &t.CatalogData(); }, "NominalVoltageEdit"},
        {[](TToolWindows& t) -> QWidget* { return &t.PropConstant(); }, "TerminalVoltageEdit"},
        {[](TToolWindows& t) -> QWidget* { return &t.FanCoefficient(); }, "EffluxVelocityEdit"},
        {[](TToolWindows& t) -> QWidget* { return &t.FanPitch(); }, "RotorDiameterEdit"},
    };
    for (const Case& c : cases) {
        QWidget* window = c.window(*tools);
        window->show();
        QApplication::setActiveWindow(window);
        QLineEdit* edit = In<QLineEdit>(window, c.field);
        edit->setFocus();
        ASSERT_TRUE(edit->hasFocus()) << c.field;
        edit->clear();
        const std::size_t before = messages.messages().size();
        QTest::keyClicks(edit, QStringLiteral("1x5"));
        EXPECT_EQ(edit->text(), QStringLiteral("1x5")) << c.field;
        EXPECT_EQ(messages.messages().size(), before) << c.field << ": shown while typing";
        EXPECT_TRUE(TypingMessages::Marked(edit)) << c.field;
        messages.Expect("There is an invalid numeric value (1x5) in one of the fields. Using 0.0 instead.");
        edit->clearFocus(); // the field is left
        EXPECT_EQ(messages.messages().size(), before + 1) << c.field;
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_FALSE(TypingMessages::Marked(edit)) << c.field;
        window->close();
    }
}

// Units beside the fields the calculator and the measurements take: the workbench's length unit.
TEST_F(ToolWindows, LengthUnitsBesideThePitchAndMeasurementFields) {
    for (const bool metric : {false, true}) {
        settings.measurementMode = metric ? AllMetric : 0;
        const QString unit = metric ? QStringLiteral("cm") : QStringLiteral("in");
        auto& pitch = tools->FanPitch();
        pitch.show();
        for (int i = 1; i <= 4; ++i)
            EXPECT_EQ(In<QLabel>(&pitch, QStringLiteral("LengthUnitLabel%1").arg(i).toLatin1().constData())->text(), unit);
        pitch.close();
        auto& lift = tools->LiftCoefficient();
        lift.show();
        QTimer::singleShot(0, &lift, [&] {
            QWidget* measurements = QApplication::activeModalWidget();
            ASSERT_NE(measurements, nullptr);
            EXPECT_EQ(measurements->findChild<QLabel*>(QStringLiteral("ChordUnit"))->text(), unit);
            static_cast<QDialog*>(measurements)->reject();
        });
        Click(&lift, "BitBtn1"); // "From Measurements..."
        lift.close();
    }
    auto& wiring = tools->WiringWizard();
    wiring.show();
    In<QSlider>(&wiring, "NumESCsSlider")->setValue(3);
    EXPECT_EQ(In<QLabel>(&wiring, "NumESCsCount")->text(), QStringLiteral("3"));
    EXPECT_EQ(In<QLabel>(&wiring, "NumSeriesMotorsTimesESCsCount")->text(),
              QString::number(In<QSlider>(&wiring, "NumSeriesMotorsTimesESCsSlider")->value()));
}

} // namespace
} // namespace ampvane
