// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "model/fan.h"
#include "model/propeller.h"
#include "support/recording_messages.h"
#include "tools/drive_estimators.h"
#include "tools/tool_fields.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;

std::string Exact(double v) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

PropConstantInput PropTest() {
    PropConstantInput input;
    input.bench.motor = {1000, 1, 0.1};
    input.terminalVoltage = "10";
    input.motorCurrent = "10";
    input.diameter = "10";
    input.pitch = "6";
    input.rpm = "8000";
    return input;
}

TEST(PropConstantEstimator, WorkedExamples) {
    RecordingMessages messages;
    PropConstantInput input = PropTest();
    auto r = ComputePropConstants(input, {}, messages);
    EXPECT_EQ(r.powerConstant, "0.58");
    EXPECT_NEAR(*r.powerConstantValue, 1.31 * 72 / 163.74, 1e-4);
    EXPECT_EQ(r.thrustConstant, "");
    EXPECT_FALSE(r.ApplyEnabled());
    EXPECT_TRUE(r.estimateEnabled);

    input.gearRatio = "2"; // the default gearbox efficiency: Pw = 9·8000·2/1000·0.95
    r = ComputePropConstants(input, {}, messages);
    EXPECT_NEAR(*r.powerConstantValue, 1.31 * 136.8 / 163.74, 1e-4);

    input = PropTest();
    input.thrust = "15";
    r = ComputePropConstants(input, {}, messages);
    ASSERT_TRUE(r.thrustConstantValue);
    EXPECT_TRUE(r.ApplyEnabled());

    input.thrust = "100000"; // no thrust constant gives that much thrust from 72 W
    r = ComputePropConstants(input, {}, messages);
    EXPECT_EQ(r.warning, kInconsistentInputText);
    EXPECT_EQ(r.thrustConstant, "");
    EXPECT_EQ(r.powerConstant, "0.58");

    input = PropTest();
    input.rpm = "3000"; // far too slow for this power: Kp beyond 4
    r = ComputePropConstants(input, {}, messages);
    EXPECT_EQ(r.warning, kOutOfRangeText);
    EXPECT_FALSE(r.ApplyEnabled());
}

TEST(PropConstantEstimator, SpeedEstimateFollowsUntilTyped) {
    RecordingMessages messages;
    PropConstantInput input = PropTest();
    input.rpm.clear();
    PropConstantChanged(input, false, {}, messages);
    EXPECT_EQ(input.rpm, "9000"); // 1000·(10 − 10·0.1)
    EXPECT_TRUE(input.rpmEstimated);
    input.motorCurrent = "20";
    PropConstantChanged(input, false, {}, messages);
    EXPECT_EQ(input.rpm, "8000");
    input.rpm = "7000";
    PropConstantChanged(input, true, {}, messages);
    input.motorCurrent = "10";
    PropConstantChanged(input, false, {}, messages);
    EXPECT_EQ(input.rpm, "7000");
    EXPECT_FALSE(input.rpmEstimated);
    // I ≤ Io or I·Rm ≥ V: no estimate.
    input.motorCurrent = "0.5";
    EXPECT_FALSE(EstimatePropRpm(input, {}, messages));
    input.motorCurrent = "100";
    EXPECT_FALSE(EstimatePropRpm(input, {}, messages));
}

// A gear ratio of 0 would divide the speed estimate by zero and give no power at all: it is refused
// with the field message instead, and no estimate is written.
TEST(PropConstantEstimator, GearRatioZeroIsAFieldError) {
    RecordingMessages messages;
    messages.Expect("The value in the Gear Ratio field is too small. It must be at least 0.01.")
        .Expect("The value in the Gear Ratio field is too small. It must be at least 0.01.");
    PropConstantInput input = PropTest();
    input.rpm.clear();
    input.gearRatio = "0";
    const auto r = PropConstantChanged(input, false, {}, messages);
    EXPECT_EQ(input.rpm, "");
    EXPECT_EQ(r.powerConstant, "");
    EXPECT_EQ(r.warning, "");
    EXPECT_FALSE(EstimatePropRpm(input, {}, messages));
}

// What keeps the constants from being computed is said: the gearbox efficiency is held to the
// workbench's range with its message, and a motor without a no-load current is named as the reason.
TEST(PropConstantEstimator, RefusalsSayWhy) {
    struct Case {
        const char* gearRatio;
        const char* efficiency;
        double Io;
        const char* message; // nullptr: none
        const char* warning;
        bool constants;
    };
    const Case cases[] = {
        {"2", "150", 1, "The value in the Gearbox Efficiency field is too large. It must be at most 100.", "", false},
        {"2", "49", 1, "The value in the Gearbox Efficiency field is too small. It must be at least 50.", "", false},
        {"2", "abc", 1, "The value in the Gearbox Efficiency field is invalid.", "", false},
        {"2", "92.5", 1, nullptr, "", true},
        {"2", "", 1, nullptr, "", true},
        {"", "150", 1, nullptr, "", true}, // no gearbox: the efficiency is not used
        {"", "", 0, nullptr, "Motor's No-load Current is 0!", false},
    };
    for (const Case& c : cases) {
        RecordingMessages messages;
        if (c.message) messages.Expect(c.message);
        PropConstantInput input = PropTest();
        input.gearRatio = c.gearRatio;
        input.gearboxEfficiency = c.efficiency;
        input.bench.motor.Io = c.Io;
        const auto r = ComputePropConstants(input, {}, messages);
        EXPECT_EQ(r.warning, c.warning) << c.gearRatio << " " << c.efficiency;
        EXPECT_EQ(!r.powerConstant.empty(), c.constants) << c.gearRatio << " " << c.efficiency;
    }
}

// "Estimate RPM" is enabled exactly when pressing it writes a speed, for both estimators.
TEST(BenchTestEstimators, EstimateButtonFollowsTheEstimate) {
    std::mt19937 random(11);
    const char* texts[] = {"", "0", "-2", "0.5", "1", "5", "10", "12", "60", "abc"};
    const double constants[] = {0, 0.05, 0.1, 1, 1000};
    const char* gears[] = {"", "0", "2", "3.5"};
    const auto pick = [&](auto& list) { return list[random() % std::size(list)]; };
    int enabled = 0;
    for (int n = 0; n < 4000; ++n) {
        RecordingMessages messages;
        messages.AllowAny();
        PropConstantInput prop = PropTest();
        prop.bench.motor = {pick(constants), pick(constants), pick(constants)};
        prop.terminalVoltage = pick(texts);
        prop.motorCurrent = pick(texts);
        prop.gearRatio = pick(gears);
        const bool propEstimate = EstimatePropRpm(prop, {}, messages).has_value();
        EXPECT_EQ(ComputePropConstants(prop, {}, messages).estimateEnabled, propEstimate)
            << prop.terminalVoltage << " V " << prop.motorCurrent << " A gear " << prop.gearRatio;
        FanCoefficientInput fan;
        fan.bench = prop.bench;
        fan.terminalVoltage = prop.terminalVoltage;
        fan.motorCurrent = prop.motorCurrent;
        const bool fanEstimate = EstimateFanRpm(fan, {}, messages).has_value();
        EXPECT_EQ(ComputeFanCoefficients(fan, {}, messages).estimateEnabled, fanEstimate);
        enabled += propEstimate + fanEstimate;
    }
    EXPECT_GT(enabled, 200);
    EXPECT_LT(enabled, 4000);
}

// Static points solved by the propeller model give the constants back: the estimator's shaft power
// (I − Io)·N·G/Kv·ηg is the model's exactly, and the power constant inverts the absorbed power at the
// solved speed. The speed is the root of a quadratic, whose cancellation costs a few digits: the
// allowed error is 1e-9 relative.
TEST(PropConstantEstimator, GeneratedDrivesComeBack) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> kv(500, 3000), io(0.3, 3), rm(0.01, 0.2), diameter(5, 20),
        pitchRatio(0.4, 1.0), kp(0.8, 2.5), tc(0.9, 1.3), cells(2, 8);
    int checked = 0;
    for (int n = 0; n < 3000; ++n) {
        const double Kv = kv(random), Io = io(random), Rm = rm(random), D = diameter(random),
                     P = D * pitchRatio(random), KpUser = kp(random), Tc = tc(random);
        const int Sc = static_cast<int>(cells(random));
        const bool geared = n % 2 == 1;
        const double G = geared ? 3.5 : 1, eta = geared ? 0.9 : 1, sigma = 0.95;
        const PropDriveSolution s = SolvePropDrive(Sc, 1, 1, false, 20, 0, sigma, Tc, KpUser / 1.31, 2, 1, 1, 1, 0, P,
                                                   D, eta, G, 0.005, 0.01, 1.2, 0, Rm, Io, Kv);
        if (s.Failed || s.Rpm < 100 || s.MotorCurrent <= Io) continue;
        const PropThrustResult thrust = PropThrust(Tc, KpUser / 1.31, s.OutputPower, 0, sigma, s.Rpm, P, D);
        PropConstantInput input;
        input.bench = {"Test", {Kv, Io, Rm}, sigma, 95};
        input.terminalVoltage = Exact(s.MotorVoltage);
        input.motorCurrent = Exact(s.MotorCurrent);
        input.diameter = Exact(D);
        input.pitch = Exact(P);
        input.rpm = Exact(s.Rpm);
        input.thrust = Exact(thrust.Thrust);
        if (geared) {
            input.gearRatio = "3.5";
            input.gearboxEfficiency = "90";
        }
        RecordingMessages messages;
        const auto r = ComputePropConstants(input, {}, messages);
        ASSERT_TRUE(r.powerConstantValue);
        EXPECT_NEAR(*r.powerConstantValue / KpUser, 1, 1e-9);
        ASSERT_TRUE(r.thrustConstantValue) << r.warning;
        EXPECT_NEAR(*r.thrustConstantValue / Tc, 1, 1e-9);
        ++checked;
    }
    EXPECT_GT(checked, 2000);
}

// Fan test points from the fan model: the efflux is taken at the pitch speed and the exhaust with the
// swept annulus's area (De² = Df² − Dh²), where the estimator's relations are the model's inverted.
TEST(FanCoefficientEstimator, GeneratedFansComeBack) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> kv(1500, 6000), io(0.5, 4), rm(0.01, 0.1), df(2, 5), hub(0.25, 0.45),
        pitch(2, 5), ct(0.5, 1.2), cp(0.3, 1.0);
    int checked = 0;
    for (int n = 0; n < 3000; ++n) {
        const double Kv = kv(random), Io = io(random), Rm = rm(random), Df = df(random), Dh = Df * hub(random),
                     Pf = pitch(random), Ct = ct(random), Cp = cp(random), sigma = 0.97;
        const auto s = SolveFanDrive(4, 1, 1, false, 20, 0, sigma, Cp, 1, 1, 0, Pf, Dh, Df, 0.005, 0.01, 1.2, 0, Rm,
                                     Io, Kv);
        if (s.Failed || s.Rpm < 100 || s.MotorCurrent <= Io) continue;
        const double De = std::sqrt(Df * Df - Dh * Dh);
        const double T = FanThrust(Ct, 0, sigma, s.Rpm, 1, 1, Pf, 0, De, 0, De, Df).Thrust;
        FanCoefficientInput input;
        input.bench = {"Test", {Kv, Io, Rm}, sigma, 95};
        input.terminalVoltage = Exact(s.MotorVoltage);
        input.motorCurrent = Exact(s.MotorCurrent);
        input.fanDiameter = Exact(Df);
        input.hubDiameter = Exact(Dh);
        input.rpm = Exact(s.Rpm);
        input.thrust = Exact(T);
        input.effluxVelocity = Exact(Pf * s.Rpm * 0.000947);
        RecordingMessages messages;
        const auto r = ComputeFanCoefficients(input, {}, messages);
        ASSERT_TRUE(r.pitchValue && r.thrustCoeffValue && r.powerCoeffValue);
        EXPECT_NEAR(*r.pitchValue / Pf, 1, 1e-9);
        EXPECT_NEAR(*r.thrustCoeffValue / Ct, 1, 1e-9);
        // The model's speed is where its false-position search stopped (the estimate moving by less than
        // 0.01 rpm), not the exact balance: the constant comes back up to the power imbalance left there.
        const double motor = FanMotorPower(1, 1, 1, 0.005, 0.01, 1.2, 1, 4, Rm, Io, Kv, s.Rpm);
        const double fan = FanAbsorbedPower(sigma, Cp, 0, Pf, Dh, Df, s.Rpm);
        EXPECT_NEAR(*r.powerCoeffValue / Cp, 1, std::fabs(motor / fan - 1) + 1e-9);
        ++checked;
    }
    EXPECT_GT(checked, 2000);
}

TEST(FanCoefficientEstimator, WorkedExamples) {
    RecordingMessages messages;
    FanCoefficientInput input;
    input.bench.motor = {3000, 3, 0.05};
    input.fanDiameter = "3.5";
    input.hubDiameter = "1.5";
    input.rpm = "30000";
    input.effluxVelocity = "100";
    input.thrust = "32";
    auto r = ComputeFanCoefficients(input, {}, messages);
    EXPECT_EQ(r.fanPitch, "3.52");
    EXPECT_EQ(r.thrustCoeff, "0.679"); // without any motor data
    EXPECT_EQ(r.powerCoeff, "");
    input.motorCurrent = "30";
    r = ComputeFanCoefficients(input, {}, messages);
    EXPECT_EQ(r.powerCoeff, "0.462");
    EXPECT_TRUE(r.ApplyEnabled());
    input.workbenchMetric = true;
    EXPECT_EQ(ComputeFanCoefficients(input, {}, messages).fanPitch, "8.94");
    input.hubDiameter = "3.5";
    r = ComputeFanCoefficients(input, {}, messages);
    EXPECT_EQ(r.fanPitch, "8.94");
    EXPECT_FALSE(r.ApplyEnabled());

    // Diameters are held to the workbench's lengths in their unit; a refused one gives no coefficients.
    struct Refusal {
        const char *fan, *hub;
        LengthUnit unit;
        const char* message;
    };
    for (const Refusal& c :
         {Refusal{"-3.5", "1.5", LengthUnit::Inch, "The value in the Fan Diameter field is too small. It must be at least 0.1."},
          Refusal{"-9", "4", LengthUnit::Centimetre,
                  "The value in the Fan Diameter field is too small. It must be at least 0.254."},
          Refusal{"3.5", "-1.5", LengthUnit::Inch,
                  "The value in the Fan Hub Diameter field is too small. It must be at least 0.1."},
          Refusal{"300", "4", LengthUnit::Centimetre,
                  "The value in the Fan Diameter field is too large. It must be at most 254."}}) {
        messages.Expect(c.message);
        input.fanDiameter = c.fan;
        input.hubDiameter = c.hub;
        input.fanDiameterUnit = input.hubDiameterUnit = c.unit;
        r = ComputeFanCoefficients(input, {}, messages);
        EXPECT_EQ(r.thrustCoeff, "") << c.fan << " " << c.hub;
        EXPECT_EQ(r.powerCoeff, "") << c.fan << " " << c.hub;
    }
}

TEST(FanPitchCalculator, AngleOrBladeSize) {
    RecordingMessages messages;
    auto r = ComputeFanPitch({"2.5", "30", "", ""}, {}, messages);
    EXPECT_EQ(r.pitch, "4.53");
    EXPECT_TRUE(r.angleEnabled);
    EXPECT_FALSE(r.sizeEnabled);
    r = ComputeFanPitch({"2.5", "", "2", "1"}, {}, messages);
    EXPECT_EQ(r.pitch, "3.93");
    EXPECT_FALSE(r.angleEnabled);
    EXPECT_NEAR(*r.angle, 26.57, 0.005);
    // From 89 degrees on the angle is red and gives no pitch.
    for (const char* angle : {"89", "89.5"}) {
        r = ComputeFanPitch({"2.5", angle, "", ""}, {}, messages);
        EXPECT_EQ(r.pitch, "") << angle;
        EXPECT_FALSE(r.ApplyEnabled()) << angle;
        EXPECT_TRUE(r.angleRed) << angle;
    }
    EXPECT_FALSE(ComputeFanPitch({"2.5", "88.9", "", ""}, {}, messages).angleRed);
}

TEST(DriveTools, ApplyConvertsLengthsToTheWorkbenchUnit) {
    RecordingMessages messages;
    PropConstantInput input = PropTest();
    input.thrust = "15";
    const auto r = ComputePropConstants(input, {}, messages);
    WorkbenchFields fields;
    fields.SetText(WorkbenchControl::PropellerDiameterToEdit, "12");
    ApplyPropConstants(input, r, {true, true, false}, fields, {}, messages);
    EXPECT_EQ(fields.Text(WorkbenchControl::PropellerDiameterFromEdit), "25.4");
    EXPECT_EQ(fields.Text(WorkbenchControl::PropellerPitchFromEdit), "15.25");
    EXPECT_EQ(fields.Text(WorkbenchControl::PropellerDiameterToEdit), "");
    EXPECT_EQ(fields.Text(WorkbenchControl::PropConstantEdit), r.powerConstant);
    EXPECT_EQ(fields.Text(WorkbenchControl::ThrustConstantEdit), r.thrustConstant);
}

// A list line is "name|value": a name that carries the separator or a line break would corrupt the
// list for every later reader, so it is refused.
TEST(DriveTools, ListNamesCannotBreakTheLists) {
    RecordingMessages messages;
    PropConstantResult result;
    result.powerConstant = "1,25";
    result.thrustConstant = "0,95";
    const auto lines = PropListEntryLines("wood 10x6", result, {','}, messages);
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->name, "Wood 10x6");
    EXPECT_EQ(lines->powerLine, "Wood 10x6|1.25");
    EXPECT_EQ(lines->thrustLine, "Wood 10x6|0.95");
    for (const char* name : {"wood|10x6", "wood\n10x6", "a\rb"}) {
        messages.Expect(std::string(kListNameMessage));
        EXPECT_FALSE(PropListEntryLines(name, result, {}, messages));
    }
}

TEST(DriveTools, HostileFieldTexts) {
    const char* hostile[] = {"", "abc", "1e400", "-1", "0", "1e300"};
    for (int field = 0; field < 8; ++field) {
        for (const char* text : hostile) {
            RecordingMessages messages;
            messages.AllowAny();
            PropConstantInput input = PropTest();
            input.thrust = "15";
            std::string* fields[] = {&input.terminalVoltage, &input.motorCurrent, &input.diameter,
                                     &input.pitch,           &input.rpm,          &input.thrust,
                                     &input.gearRatio,       &input.gearboxEfficiency};
            *fields[field] = text;
            const auto r = PropConstantChanged(input, field == 4, {}, messages);
            for (const std::string& shown : {r.powerConstant, r.thrustConstant, input.rpm})
                EXPECT_EQ(shown.find_first_of("ni"), std::string::npos) << field << " " << text << " " << shown;
            WorkbenchFields workbench;
            const WorkbenchFields before = workbench;
            ApplyPropConstants(input, r, {}, workbench, {}, messages);
            if (!r.ApplyEnabled()) {
                EXPECT_EQ(workbench, before);
            }
        }
    }
    for (int field = 0; field < 7; ++field) {
        for (const char* text : hostile) {
            RecordingMessages messages;
            messages.AllowAny();
            FanCoefficientInput input;
            input.bench.motor = {3000, 3, 0.05};
            input.terminalVoltage = "8";
            input.motorCurrent = "30";
            input.fanDiameter = "3.5";
            input.hubDiameter = "1.5";
            input.rpm = "30000";
            input.effluxVelocity = "100";
            input.thrust = "32";
            std::string* fields[] = {&input.terminalVoltage, &input.motorCurrent, &input.fanDiameter,
                                     &input.hubDiameter,     &input.rpm,          &input.thrust,
                                     &input.effluxVelocity};
            *fields[field] = text;
            const auto r = FanCoefficientChanged(input, field == 4, {}, messages);
            for (const std::string& shown : {r.fanPitch, r.thrustCoeff, r.powerCoeff})
                EXPECT_EQ(shown.find_first_of("ni"), std::string::npos) << field << " " << text << " " << shown;
        }
    }
    for (int field = 0; field < 4; ++field) {
        for (const char* text : hostile) {
            RecordingMessages messages;
            messages.AllowAny();
            FanPitchInput input{"2.5", "30", "", ""};
            std::string* fields[] = {&input.rotorDiameter, &input.bladeAngle, &input.bladeWidth, &input.bladeHeight};
            *fields[field] = text;
            const auto r = ComputeFanPitch(input, {}, messages);
            EXPECT_EQ(r.pitch.find_first_of("ni"), std::string::npos) << r.pitch;
        }
    }
}

} // namespace
} // namespace ampvane
