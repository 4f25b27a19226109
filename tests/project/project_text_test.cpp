// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/project_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "analysis/analysis_input.h"
#include "analysis/report_builder.h"
#include "common/file_write.h"
#include "common/unit_conversion.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;

std::string Fixture(const std::string& name) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile((testing::TestDataDir() / "project" / name).string(), text)) << name;
    return text;
}

struct Pasted {
    WorkbenchFields fields = EmptyWorkbenchFields();
    AnalysisOptionsInput options;
    bool read = false;
};

Pasted Paste(std::string_view text, RecordingMessages& messages, NumberLocale locale = {}) {
    Pasted pasted;
    pasted.read = ReadProjectText(text, pasted.fields, pasted.options, locale, messages);
    return pasted;
}

TEST(ProjectText, WrittenInTheFixedOrderWithGroupHeadings) {
    WorkbenchFields fields = EmptyWorkbenchFields();
    fields.SetProjectName("Spectra");
    fields.SetText(WorkbenchControl::GearRatioToEdit, "2.38");
    fields.SetText(WorkbenchControl::ParallelCellsFromEdit, "2");
    fields.SetText(WorkbenchControl::TempConfigNameEdit, "never written");
    fields.SetChecked(WorkbenchControl::ESCHighRateCheckBox, true);
    fields.SetDrivePage(kDuctedFanPage);
    AnalysisOptionsInput options;
    options.measurementMode = 1;
    options.elevation = "1200";
    options.pressure = "";
    options.temperature = "21,5";
    options.accountForHeating = false;
    const std::string text = WriteProjectText(fields, options, NumberLocale{',', ':'});
    EXPECT_EQ(text.rfind("Begin Ampvane Project\nSpectra\n\nMetricMode=1\nNewtons=N\nElevation=1200,0\n"
                         "Pressure=101,3\nTemperature=21,5\nUseTemp=0\n\nDrive System:\n"
                         "PropellerRadioButton=N\nDuctedFanRadioButton=Y\nGearRatioToEdit=2.38\n",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("\nParallelCellsEdit=2\n"), std::string::npos);
    EXPECT_EQ(text.find("TempConfigNameEdit"), std::string::npos);
    EXPECT_NE(text.find("\n\nSpeed Control:\nESCNameEdit=\n"), std::string::npos);
    EXPECT_NE(text.find("ESCHighRateCheckBox=Y\n"), std::string::npos);
    EXPECT_NE(text.find("\nMaxRPMEdit=\nUseFilterCheckBox=N\n\nEnd Ampvane Project\n"), std::string::npos);
}

TEST(ProjectText, CopyThenPasteGivesTheSameFieldsNameAndConditions) {
    RecordingMessages messages;
    const Pasted sample = Paste(Fixture("imperial.avp"), messages);
    ASSERT_TRUE(sample.read);
    const std::string copied = WriteProjectText(sample.fields, sample.options);
    const Pasted again = Paste(copied, messages);
    ASSERT_TRUE(again.read);
    for (const WorkbenchControlInfo& info : WorkbenchControls()) {
        EXPECT_EQ(again.fields.Text(info.id), sample.fields.Text(info.id)) << info.name;
        EXPECT_EQ(again.fields.Checked(info.id), sample.fields.Checked(info.id)) << info.name;
    }
    EXPECT_EQ(again.fields.ProjectName(), "Imperial Spectra");
    EXPECT_EQ(again.fields.DrivePage(), kPropellerPage);
    EXPECT_EQ(again.options.measurementMode, 0);
    EXPECT_EQ(again.options.pressure, "29.92");
    EXPECT_EQ(again.options.temperature, "59");
    EXPECT_TRUE(again.options.accountForHeating);
    EXPECT_EQ(WriteProjectText(again.fields, again.options), copied);
}

TEST(ProjectText, ReadingRules) {
    RecordingMessages messages;
    messages.Expect(InvalidMeasurementModeMessage("7", 2));
    messages.Expect("There is an invalid numeric value (abc) in one of the fields. Using 0 instead.");
    const Pasted pasted = Paste("junk before\r\n   Begin Ampvane Project  \r\n  My Plane \r\nMetricMode=2\r\n"
                                "MetricMode=7\r\nNewtons=Y\r\nElevation=99999\r\nPressure=100,5\r\n"
                                "Temperature=20\r\nUseTemp=abc\r\nCellVoltageEdit=1,25\r\nMotorNameEdit=A=B\r\n"
                                "ESCHighRateCheckBox=y\r\nMotorBrushlessCheckBox=Y\r\nNoSuchControl=5\r\n"
                                "no equals sign here\r\nParallelCellsEdit=3\r\nDuctedFanRadioButton=Y\r\n"
                                " End Ampvane Project \r\nCellNameEdit=after the end\r\n",
                                messages);
    ASSERT_TRUE(pasted.read);
    EXPECT_EQ(pasted.fields.ProjectName(), "My Plane");
    EXPECT_EQ(pasted.options.measurementMode, 2); // 7 is no mode
    EXPECT_TRUE(pasted.options.newtons);
    EXPECT_EQ(pasted.options.elevation, "");      // out of range: unchanged
    EXPECT_EQ(pasted.options.pressure, "100.5");  // kPa is in range in mode 2
    EXPECT_EQ(pasted.options.temperature, "20");
    EXPECT_FALSE(pasted.options.accountForHeating);
    EXPECT_EQ(pasted.fields.Text(WorkbenchControl::CellVoltageEdit), "1.25");
    EXPECT_EQ(pasted.fields.Text(WorkbenchControl::MotorNameEdit), "A=B");
    EXPECT_FALSE(pasted.fields.Checked(WorkbenchControl::ESCHighRateCheckBox));
    EXPECT_TRUE(pasted.fields.Checked(WorkbenchControl::MotorBrushlessCheckBox));
    EXPECT_EQ(pasted.fields.Text(WorkbenchControl::ParallelCellsFromEdit), "3");
    EXPECT_EQ(pasted.fields.DrivePage(), kDuctedFanPage);
    EXPECT_EQ(pasted.fields.Text(WorkbenchControl::CellNameEdit), "");
}

// The flying conditions are in the units of the mode the block finally declares, wherever its line
// stands; a mode line that names no mode is reported and changes nothing.
TEST(ProjectText, FlyingConditionsReadInTheFinalMode) {
    struct Case {
        const char* lines;
        int mode;
        const char* elevation;
        const char* pressure;
        const char* temperature;
        const char* badMode; // the value of a mode line that must be reported, keeping `mode`
    };
    const Case cases[] = {
        {"MetricMode=3\nPressure=101\nMetricMode=", 3, "", "101", "", ""},
        {"Pressure=101\nTemperature=20\nElevation=9000\nMetricMode=3", 3, "9000", "101", "20", nullptr},
        {"MetricMode=0\nElevation=30000\nPressure=29.92\nTemperature=59\nUseTemp=1\nMetricMode=1", 1, "30000", "",
         "", nullptr},
        {"MetricMode=3\nElevation=30000\nMetricMode=0", 0, "30000", "", "", nullptr},
        {"MetricMode=2\nMetricMode= 9 \nPressure=100", 2, "", "100", "", "9"},
    };
    for (const Case& c : cases) {
        RecordingMessages messages;
        if (c.badMode) messages.Expect(InvalidMeasurementModeMessage(c.badMode, c.mode));
        const Pasted pasted = Paste(std::string("Begin Ampvane Project\nName\n") + c.lines + "\n", messages);
        ASSERT_TRUE(pasted.read);
        EXPECT_EQ(pasted.options.measurementMode, c.mode) << c.lines;
        EXPECT_EQ(pasted.options.elevation, c.elevation) << c.lines;
        EXPECT_EQ(pasted.options.pressure, c.pressure) << c.lines;
        EXPECT_EQ(pasted.options.temperature, c.temperature) << c.lines;
    }
    EXPECT_EQ(InvalidMeasurementModeMessage("", 3),
              "The measurement mode () in the project text is not 0, 1, 2 or 3. The mode 3 is kept.");
}

// A stream is read a line at a time: what comes before the block is passed over, not kept.
TEST(ProjectText, StreamReadGivesTheSameProjectAsText) {
    RecordingMessages messages;
    const std::string text = std::string(100000, '\n') + Fixture("metric.avp");
    const Pasted fromText = Paste(text, messages);
    std::istringstream stream(text);
    Pasted fromStream;
    fromStream.read = ReadProjectText(stream, fromStream.fields, fromStream.options, {}, messages);
    ASSERT_TRUE(fromStream.read);
    EXPECT_EQ(WriteProjectText(fromStream.fields, fromStream.options),
              WriteProjectText(fromText.fields, fromText.options));
    std::istringstream empty("Begin Ampvane Project");
    EXPECT_FALSE(ReadProjectText(empty, fromStream.fields, fromStream.options, {}, messages));
}

TEST(ProjectText, TextWithoutABeginLineChangesNothing) {
    RecordingMessages messages;
    EXPECT_TRUE(Paste("\xEF\xBB\xBF" "Begin Ampvane Project\nName\n", messages).read);
    for (const std::string_view text : {std::string_view(""), std::string_view("MotorNameEdit=x\n"),
                                        std::string_view("Begin Ampvane Project"),
                                        std::string_view("Begin Ampvane Projects\nName\n")}) {
        const Pasted pasted = Paste(text, messages);
        EXPECT_FALSE(pasted.read) << text;
        EXPECT_EQ(pasted.fields, EmptyWorkbenchFields());
        EXPECT_EQ(pasted.options.measurementMode, 0);
    }
}

TEST(ProjectText, BinaryAndHugeInputNeverBreakTheReader) {
    RecordingMessages messages;
    messages.AllowAny();
    std::uint32_t state = 12345;
    std::string noise;
    for (int i = 0; i < 200000; ++i) {
        state = state * 1664525u + 1013904223u;
        noise += static_cast<char>(state >> 24);
        if (i % 5000 == 0) noise += "\nMotorConstantEdit=\xFF\x00\x01" + std::string(1, '\0') + "\n";
    }
    const std::string text = "Begin Ampvane Project\n\xC3\x28 name\n" + noise + "\nMetricMode=" +
                             std::string(100000, '9') + "\nWingAreaEdit=" + std::string(1000000, '1') + "\n";
    const Pasted pasted = Paste(text, messages);
    EXPECT_TRUE(pasted.read);
    EXPECT_EQ(pasted.options.measurementMode, 0);
    // Whatever was pasted, gathering turns it into messages, never into a bad record.
    const auto input = GatherAnalysisInput(pasted.fields, pasted.options, {}, messages, messages);
    if (input) {
        EXPECT_TRUE(std::isfinite(input->plane.asTyped.Airframe.WingArea));
        EXPECT_TRUE(std::isfinite(input->plane.asTyped.Motor.MotorConstant));
    }
}

// Both fixtures describe the same power system, one typed in imperial units and one all metric.
TEST(ProjectText, ImperialAndAllMetricProjectsGiveTheSamePhysics) {
    RecordingMessages messages;
    const auto build = [&](const std::string& name) {
        const Pasted pasted = Paste(Fixture(name), messages);
        EXPECT_TRUE(pasted.read);
        const auto input = GatherAnalysisInput(pasted.fields, pasted.options, {}, messages, messages);
        EXPECT_TRUE(input);
        Report report;
        BuildStaticReport(report, input->options, input->plane, messages, messages);
        return report;
    };
    const Report imperial = build("imperial.avp");
    const Report metric = build("metric.avp");
    ASSERT_EQ(imperial.Grid.RowCount(), 18);
    ASSERT_EQ(metric.Grid.RowCount(), imperial.Grid.RowCount());
    EXPECT_NEAR(metric.Options.DensityRatio, imperial.Options.DensityRatio, 1e-4);
    const auto near = [](double a, double b) { return std::fabs(a - b) <= 2e-4 * std::max(1.0, std::fabs(b)); };
    // Each metric value is brought back to the imperial display unit: cm, g (or N), m/s per ft/min.
    const double perOunce = metric.Options.Newtons ? kNewtonsPerOunce : kGramsPerOunce;
    const std::pair<ReportColumn, double> quantities[] = {
        {ReportColumn::Diameter, kCentimetresPerInch}, {ReportColumn::MotorCurrent, 1}, {ReportColumn::DriveRpm, 1},
        {ReportColumn::Thrust, perOunce}, {ReportColumn::Weight, kGramsPerOunce}, {ReportColumn::RateOfClimb, 0.00508}};
    for (int r = 0; r < imperial.Grid.RowCount(); ++r) {
        const auto value = [r](const Report& report, ReportColumn quantity) {
            return report.Grid.Value(r, report.Grid.Position(quantity));
        };
        for (const auto& [quantity, scale] : quantities) {
            const double a = value(imperial, quantity), b = value(metric, quantity) / scale;
            EXPECT_TRUE(near(b, a)) << r << " " << ReportColumnKey(quantity) << ": " << b << " " << a;
        }
        EXPECT_EQ(static_cast<int>(value(metric, ReportColumn::RunTime)) / 10,
                  static_cast<int>(value(imperial, ReportColumn::RunTime)) / 10) << r;
    }
    // The displays differ only in units.
    EXPECT_EQ(metric.Grid.Columns[metric.Grid.Position(ReportColumn::Weight)].Header1, "   (g)");
    EXPECT_EQ(metric.Grid.Columns[metric.Grid.Position(ReportColumn::Diameter)].Header1, "(cm)");
}

} // namespace
} // namespace ampvane
