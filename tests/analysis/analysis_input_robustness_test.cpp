// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/analysis_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/recording_messages.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
using testing::RecordingMessages;

WorkbenchFields ValidWorkbench(int page) {
    WorkbenchFields fields;
    fields.SetText(C::MotorConstantEdit, "1200");
    fields.SetText(C::IdleCurrentEdit, "1.5");
    fields.SetText(C::ArmatureResistanceEdit, "0.1");
    fields.SetText(C::PropellerDiameterFromEdit, "10");
    fields.SetText(C::PropellerPitchFromEdit, "6");
    fields.SetText(C::FanDiameterEdit, "3");
    fields.SetText(C::FanPitchEdit, "2.5");
    fields.SetText(C::HubDiameterEdit, "1");
    fields.SetText(C::WingAreaEdit, "500");
    fields.SetText(C::WingSpanEdit, "60");
    fields.SetText(C::EmptyWeightEdit, "40");
    fields.SetDrivePage(page);
    return fields;
}

bool Finite(std::initializer_list<double> values) {
    for (const double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

bool AllFinite(const PlaneDesc& p) {
    const MotorDesc8& m = p.Motor;
    const CellDesc8& c = p.Cell;
    const FilterDesc& f = p.Filter;
    const ESCDesc& e = p.ESC;
    const AirframeDesc& a = p.Airframe;
    for (const double slot : p.Drive.Slot)
        if (!std::isfinite(slot)) return false;
    return Finite({m.MotorConstant, m.IdleCurrent, m.ArmatureResistance, m.Weight, m.HeatingFactor, c.Capacity,
                   c.Voltage, c.CRating, c.Resistance, c.Weight, f.MaxCurrent, f.MaxPowerLoss, f.MinEfficiency,
                   f.MinThrust, f.MinSpeed, f.MaxSpeed, f.MinRunTime, f.MaxPitchRatio, f.MaxMotorRPM, p.Drive.Weight,
                   e.Resistance, e.MaxCurrent, e.Weight, a.WingSpan, a.WingArea, a.EmptyWeight, a.AspectRatio,
                   a.Thickness, a.Camber, a.AngleOfAttack, a.Cd, a.CdProfile, a.CdInduced, a.CdParasitic, a.Cl,
                   a.ClMax, a.MaxLiftToDrag, a.ClOpt});
}

bool AllFinite(const AnalysisOptions& o) {
    return Finite({o.Elevation, o.Pressure, o.Temperature, o.TemperatureC, o.DensityRatio});
}

const std::vector<std::string>& HostileTexts() {
    static const std::vector<std::string> texts = {
        "", "   ", "1,5", "1.5.2", "1e400", "-1e400", "1e-400", "nan", "NaN", "inf", "-inf", "-0", "-",
        "0x1p3", "1e", "\t7\n", "\xC3\xA9\xE2\x82\xAC", "12\xC2\xA0", std::string(10000, '9'),
        std::string(10000, 'x'), "0." + std::string(9998, '0'), std::string("1\0" "2", 3), "99999999999",
        "-2147483649", "1e308", "-1e308"};
    return texts;
}

// Every text in every field, on both drive pages and in the imperial and all-metric modes: gathering
// either succeeds with finite numbers or stops with exactly one message; nothing crashes.
TEST(GatherAnalysisInputRobustness, HostileTextInEveryField) {
    for (const int page : {kPropellerPage, kDuctedFanPage}) {
        for (const int mode : {0, 3}) {
            AnalysisOptionsInput options;
            options.measurementMode = mode;
            for (const WorkbenchControlInfo& control : WorkbenchControls()) {
                if (control.kind != ControlKind::Edit && control.kind != ControlKind::ComboBox) continue;
                for (const std::string& text : HostileTexts()) {
                    WorkbenchFields fields = ValidWorkbench(page);
                    fields.SetText(control.id, text);
                    RecordingMessages messages;
                    messages.AllowAny();
                    const auto input = GatherAnalysisInput(fields, options, {}, messages, messages);
                    const std::string where = std::string(control.name) + " = \"" + text.substr(0, 20) + "\"";
                    if (input) {
                        EXPECT_TRUE(AllFinite(input->plane.asTyped)) << where;
                        EXPECT_TRUE(AllFinite(input->options)) << where;
                        EXPECT_TRUE(AllFinite(ConvertToInternalUnits(input->plane, input->options))) << where;
                        // Only the hidden airfoil codes may warn and still go on.
                        for (const Message& m : messages.messages())
                            EXPECT_EQ(m.kind, MessageKind::Warning) << where << ": " << m.text;
                    } else {
                        EXPECT_EQ(messages.messages().size(), 1u) << where;
                    }
                }
            }
        }
    }
}

TEST(GatherAnalysisInputRobustness, HostileFlyingFieldTexts) {
    for (const std::string& text : HostileTexts()) {
        for (const int mode : {0, 1, 3}) {
            AnalysisOptionsInput options;
            options.measurementMode = mode;
            options.elevation = text;
            options.pressure = text;
            options.temperature = text;
            options.gearboxEfficiency = text;
            RecordingMessages messages;
            messages.AllowAny();
            const auto input = GatherAnalysisInput(ValidWorkbench(kPropellerPage), options, {}, messages, messages);
            if (input) {
                EXPECT_TRUE(AllFinite(input->options)) << text.substr(0, 20);
                EXPECT_GT(input->options.DensityRatio, 0) << text.substr(0, 20);
            } else {
                ASSERT_FALSE(messages.empty());
                const std::string& message = messages.messages().back().text;
                EXPECT_TRUE(message == NoAirDensityMessage("Field Elevation") ||
                            message == NoAirDensityMessage("Sea Level Pressure") ||
                            message == NoAirDensityMessage("Air Temperature"))
                    << message;
            }
        }
    }
}

TEST(GatherAnalysisInputRobustness, NumbersThatOverflowAreRefusedNotInfinite) {
    WorkbenchFields fields = ValidWorkbench(kPropellerPage);
    fields.SetText(C::MotorConstantEdit, "1e400");
    RecordingMessages messages;
    messages.Expect("The value in the Motor Constant field is invalid.");
    EXPECT_FALSE(GatherAnalysisInput(fields, {}, {}, messages, messages));

    fields = ValidWorkbench(kPropellerPage);
    fields.SetText(C::MotorWeightEdit, "1e-400"); // too small to represent: zero
    RecordingMessages quiet;
    const auto input = GatherAnalysisInput(fields, {}, {}, quiet, quiet);
    ASSERT_TRUE(input);
    EXPECT_EQ(input->plane.asTyped.Motor.Weight, 0);
}

} // namespace
} // namespace ampvane
