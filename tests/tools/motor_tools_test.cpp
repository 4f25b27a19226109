// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "model/electric_chain.h"
#include "support/recording_messages.h"
#include "tools/motor_designer.h"
#include "tools/motor_from_catalog.h"
#include "tools/motor_from_tests.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;

std::string Exact(double v) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

TestDataInput Points(std::string v1, std::string i1, std::string n1, std::string v2, std::string i2, std::string n2,
                     bool best = false) {
    return {v1, i1, n1, v2, i2, n2, best};
}

TEST(MotorFromTests, WorkedExamples) {
    struct Case {
        TestDataInput input;
        const char *kv, *io, *rm;
        bool poor, bad;
    };
    const Case cases[] = {
        {Points("7.2", "1.5", "16000", "6.0", "12", "11000"), "2267", "1.500", "0.096", false, false},
        {Points("7.2", "1.5", "16000", "6.0", "12", "11000", true), "2267", "0.030", "0.096", false, false},
        {Points("7.2", "10", "14000", "7.0", "10.5", "13500"), "2143", "10.000", "0.067", true, false},
        {Points("7.2", "1.5", "16000", "7.0", "12", "11000"), "2312", "1.500", "0.187", false, false},
        {Points("7.2", "1.5", "11000", "7.2", "12", "16000"), "", "", "", false, true},
        {Points("7.2", "1.5", "16000", "7.2", "1.5", "16000"), "", "", "", true, false},
        {Points("7.2", "", "16000", "6.0", "12", "11000"), "", "", "", false, false},
        {Points("7.2", "1.5", "0", "6.0", "12", "11000"), "", "", "", false, false},
    };
    for (const Case& c : cases) {
        RecordingMessages messages;
        const TestDataResult r = ComputeMotorFromTests(c.input, {}, messages);
        EXPECT_EQ(r.motorConstant, c.kv) << c.input.freeRunningRpm;
        EXPECT_EQ(r.idleCurrent, c.io);
        EXPECT_EQ(r.armatureResistance, c.rm);
        EXPECT_EQ(r.poorData, c.poor);
        EXPECT_EQ(r.badData, c.bad);
        EXPECT_EQ(r.ApplyEnabled(), *c.kv != 0);
    }
}

TEST(MotorFromTests, RangeMessageNamesTheFieldByTheRadioChoice) {
    RecordingMessages messages;
    messages.Expect("The value in the Free Running Current field is too large. It must be at most 1000.")
        .Expect("The value in the Best Efficiency Current field is too large. It must be at most 1000.");
    auto input = Points("7.2", "1001", "16000", "6.0", "12", "11000");
    EXPECT_FALSE(ComputeMotorFromTests(input, {}, messages).ApplyEnabled());
    input.bestEfficiency = true;
    EXPECT_FALSE(ComputeMotorFromTests(input, {}, messages).ApplyEnabled());
}

// The two-point inversion is exact algebra, so generated motors come back to rounding error.
TEST(MotorFromTests, GeneratedMotorsComeBack) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> kv(200, 5000), io(0.1, 5), logRm(std::log(0.005), std::log(1.0)),
        share(0.2, 0.8);
    for (int n = 0; n < 3000; ++n) {
        const double Kv = kv(random), Io = io(random), Rm = std::exp(logRm(random));
        const double V1 = std::min(40.0, 90000 / Kv);
        const double V2 = V1 * 0.8;
        for (bool best : {false, true}) {
            const double I1 = best ? MaxEfficiencyCurrent(V1, Rm, Io) : Io;
            const double I2 = Io + share(random) * (V2 / Rm - Io);
            if (I1 > 1000 || I2 > 1000 || I2 <= Io) continue;
            const TestDataInput input{Exact(V1), Exact(I1), Exact(MotorRpm(V1, I1, Rm, Kv)),
                                      Exact(V2), Exact(I2), Exact(MotorRpm(V2, I2, Rm, Kv)), best};
            RecordingMessages messages;
            const TestDataResult r = ComputeMotorFromTests(input, {}, messages);
            ASSERT_TRUE(r.constants) << Kv << " " << Io << " " << Rm;
            EXPECT_NEAR(r.constants->Kv / Kv, 1, 1e-9);
            EXPECT_NEAR(r.constants->Io / Io, 1, 1e-9);
            EXPECT_NEAR(r.constants->Rm / Rm, 1, 1e-9);
        }
    }
}

TEST(MotorFromTests, ApplyWritesOnlyTheShownTexts) {
    WorkbenchFields fields;
    fields.SetText(WorkbenchControl::IdleCurrentEdit, "3");
    ApplyMotorConstants("2267", "", "0.096", fields);
    EXPECT_EQ(fields.Text(WorkbenchControl::MotorConstantEdit), "2267");
    EXPECT_EQ(fields.Text(WorkbenchControl::IdleCurrentEdit), "3");
    EXPECT_EQ(fields.Text(WorkbenchControl::ArmatureResistanceEdit), "0.096");
    EXPECT_TRUE(fields.GroupModified(ComponentGroup::Motor));
}

CatalogDataInput Catalog(std::string v, std::string n0, std::string ie, std::string is, std::string io) {
    return {v, n0, ie, is, io, CatalogCurrent::None};
}

TEST(MotorFromCatalog, ThirdCurrentFilledAndReleased) {
    RecordingMessages messages;
    auto input = Catalog("7.2", "14000", "12", "60", "");
    CompleteCatalogCurrents(input, CatalogCurrent::Stall, {}, messages);
    EXPECT_EQ(input.idleCurrent, "2.40");
    EXPECT_EQ(input.computed, CatalogCurrent::Idle);
    auto r = ComputeMotorFromCatalog(input, {}, messages);
    EXPECT_EQ(r.armatureResistance, "0.125");
    EXPECT_EQ(r.motorConstant, "2029");
    EXPECT_TRUE(CatalogApplyEnabled(input, r));

    input.stallCurrent.clear(); // releases the computed no-load current
    CompleteCatalogCurrents(input, CatalogCurrent::Stall, {}, messages);
    EXPECT_EQ(input.idleCurrent, "");
    EXPECT_EQ(input.computed, CatalogCurrent::None);
    r = ComputeMotorFromCatalog(input, {}, messages);
    EXPECT_EQ(r.motorConstant, "1944");
    EXPECT_EQ(r.armatureResistance, "");
    EXPECT_FALSE(CatalogApplyEnabled(input, r));

    auto other = Catalog("7.2", "14000", "", "60", "2.4");
    CompleteCatalogCurrents(other, CatalogCurrent::Idle, {}, messages);
    EXPECT_EQ(other.maxEfficiencyCurrent, "12.00");
    EXPECT_EQ(other.computed, CatalogCurrent::MaxEfficiency);
}

TEST(MotorFromCatalog, LimitsAndImpossibleCurrents) {
    RecordingMessages messages;
    messages.Expect("The value in the Current at Max Efficiency field is too large. It must be at most 1000.");
    EXPECT_EQ(ComputeMotorFromCatalog(Catalog("7.2", "14000", "", "5000", "2"), {}, messages).armatureResistance,
              "0.001");
    ComputeMotorFromCatalog(Catalog("7.2", "14000", "5000", "", ""), {}, messages);
    // No-load current at or above the stall current: no resistance, Kv = N0 / V.
    auto r = ComputeMotorFromCatalog(Catalog("7.2", "14000", "", "2", "3"), {}, messages);
    EXPECT_EQ(r.motorConstant, "1944");
    EXPECT_EQ(r.armatureResistance, "");
    // Io = Ie²/Is at half the stall current or more: V − Io·Rm ≤ 0, no motor has these figures.
    auto impossible = Catalog("7.2", "14000", "50", "60", "");
    CompleteCatalogCurrents(impossible, CatalogCurrent::MaxEfficiency, {}, messages);
    r = ComputeMotorFromCatalog(impossible, {}, messages);
    EXPECT_TRUE(r.inconsistent);
    EXPECT_EQ(r.motorConstant, "");
    EXPECT_FALSE(CatalogApplyEnabled(impossible, r));
}

// Apply (and OK) only for a no-load current that reads as a valid current and makes a motor: one
// counted missing ("0.00", above 1000 A, not a number) or at half the stall current and beyond
// (where V − Io·Rm is no longer positive) leaves the workbench alone.
TEST(MotorFromCatalog, ApplyOnlyForAMotorThatExists) {
    struct Case {
        const char* idle;
        bool apply, inconsistent;
        const char* message;
    };
    const Case cases[] = {
        {"2.4", true, false, nullptr},
        {"0.00", false, false, nullptr},
        {"1500", false, false, "The value in the No-load Current field is too large. It must be at most 1000."},
        {"abc", false, false, "There is an invalid numeric value (abc) in one of the fields. Using 0.0 instead."},
        {"29.99", true, false, nullptr},
        {"30", false, true, nullptr},
        {"45", false, true, nullptr},
        {"60", false, false, nullptr},
    };
    for (const Case& c : cases) {
        RecordingMessages messages;
        if (c.message) messages.Expect(c.message);
        const auto input = Catalog("7.2", "14000", "", "60", c.idle);
        const auto r = ComputeMotorFromCatalog(input, {}, messages);
        EXPECT_EQ(CatalogApplyEnabled(input, r), c.apply) << c.idle;
        EXPECT_EQ(r.inconsistent, c.inconsistent) << c.idle;
    }
}

// Catalogue figures of a motor at voltage V: N0 = Kv·(V − Io·Rm), Is = V/Rm + Io. Given Is and Io
// the constants come back exactly. Given Is and the model's maximum-efficiency current √(Io·V/Rm)
// instead, the filled-in Io = Ie²/Is is Io / (1 + Io·Rm/V): the catalogue relation Ie² = Is·Io
// counts the no-load current into the stall current, so that route is allowed a relative error of
// Io·Rm/V (plus the two decimals the filled-in current is shown with).
TEST(MotorFromCatalog, GeneratedMotorsComeBack) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> kv(200, 5000), io(0.1, 5), logRm(std::log(0.005), std::log(1.0));
    for (int n = 0; n < 3000; ++n) {
        const double Kv = kv(random), Io = io(random), Rm = std::exp(logRm(random));
        const double V = std::min(40.0, 90000 / Kv);
        const double Is = V / Rm + Io;
        if (Is > 10000 || 2 * Io >= Is) continue;
        RecordingMessages messages;
        auto input = Catalog(Exact(V), Exact(Kv * (V - Io * Rm)), "", Exact(Is), Exact(Io));
        CompleteCatalogCurrents(input, CatalogCurrent::Idle, {}, messages);
        const auto r = ComputeMotorFromCatalog(input, {}, messages);
        ASSERT_TRUE(r.constants);
        EXPECT_NEAR(r.constants->Kv / Kv, 1, 1e-9);
        EXPECT_NEAR(r.constants->Io / Io, 1, 1e-9);
        EXPECT_NEAR(r.constants->Rm / Rm, 1, 1e-9);

        const double Ie = MaxEfficiencyCurrent(V, Rm, Io);
        if (Ie > 1000) continue;
        auto viaIe = Catalog(Exact(V), Exact(Kv * (V - Io * Rm)), Exact(Ie), Exact(Is), "");
        CompleteCatalogCurrents(viaIe, CatalogCurrent::MaxEfficiency, {}, messages);
        const auto q = ComputeMotorFromCatalog(viaIe, {}, messages);
        ASSERT_TRUE(q.constants);
        EXPECT_NEAR(q.constants->Io, Io, Io * (Io * Rm / V) + 0.005 + 1e-9);
    }
}

TEST(MotorDesigner, WorkedExamples) {
    RecordingMessages messages;
    MotorDesignInput input;
    input.motorConstant = "1000";
    input.idleCurrent = "1.5";
    input.armatureResistance = "0.1";
    input.motorWeight = "5.5";
    input.windings = "10";
    input.wireGauge = "20";
    input.newWindings = "8";
    auto r = ComputeMotorDesign(input, {}, {}, messages);
    EXPECT_EQ(r.newMotorConstant, "1286");
    EXPECT_EQ(r.gaugeLabel, "Gauge (19.0):");
    EXPECT_EQ(r.newIdleCurrent, "2.04");
    EXPECT_EQ(r.newArmatureResistance, "0.064");
    EXPECT_EQ(r.newMotorWeight, "5.5");
    EXPECT_FALSE(r.warning);
    EXPECT_TRUE(r.ApplyEnabled());

    input.newWireGauge = "20";
    r = ComputeMotorDesign(input, {}, {}, messages);
    EXPECT_EQ(r.newIdleCurrent, "1.63");
    EXPECT_EQ(r.newArmatureResistance, "0.080");

    input.newWireGauge.clear();
    input.newWindings = "15";
    EXPECT_TRUE(ComputeMotorDesign(input, {}, {}, messages).warning);
    input.newWindings = "14";
    EXPECT_FALSE(ComputeMotorDesign(input, {}, {}, messages).warning);

    input.wireGauge = "8";
    input.windings = "40";
    input.newWindings = "10";
    EXPECT_EQ(ComputeMotorDesign(input, {}, {}, messages).gaugeLabel, "Gauge (2.0):");
    input.wireGauge = "2";
    EXPECT_EQ(ComputeMotorDesign(input, {}, {}, messages).gaugeLabel, "Gauge (0000):");
    input.wireGauge.clear();
    r = ComputeMotorDesign(input, {}, {}, messages);
    EXPECT_EQ(r.gaugeLabel, "Wire Gauge:");
    EXPECT_EQ(r.newArmatureResistance, "0.006"); // A = 1/r: the same copper, R·r² = 0.1/16
}

TEST(MotorDesigner, WindingsFromTheMotorName) {
    const struct {
        const char* name;
        const char* turns;
        const char* gauge;
    } cases[] = {
        {"Model 25 12T #22", "12", "22"},
        {"Motor 7t #9", "7", "9"},
        {"Motor 120", "", ""},
        {"Outrunner 112Turbo #223", "", ""}, // no word end after the letter or after two digits
        {"x12T #05", "", ""},               // the turns must start a word; a gauge never starts with 0
        {"Can 10T 12T #0", "10", "0"},      // the leftmost word wins
        {"Stator 12T#22", "12", "22"},
        {"Motor 0T #1", "", "1"},
        {"Motor 9T #7 #14", "9", "7"}, // the one-digit gauge is looked for first
        {"Motor 9T #14 #7", "9", "7"},
    };
    for (const auto& c : cases) {
        const MotorWindingTexts w = WindingsFromMotorName(c.name);
        EXPECT_EQ(w.turns, c.turns) << c.name;
        EXPECT_EQ(w.gauge, c.gauge) << c.name;
    }
}

TEST(MotorDesigner, BadTurnsKeepThePreviousResults) {
    MotorDesignInput input;
    input.motorConstant = "1000";
    input.idleCurrent = "1.5";
    input.armatureResistance = "0.1";
    input.windings = "10";
    input.newWindings = "8";
    RecordingMessages quiet;
    const auto good = ComputeMotorDesign(input, {}, {}, quiet);
    RecordingMessages messages;
    messages.Expect("The value in the New Motor Windings field is too small. It must be at least 1.")
        .Expect("The value in the New Motor Windings field is too large. It must be at most 100.")
        .Expect("The value in the New Motor Windings field is invalid.")
        .Expect("The value in the Baselime Motor Windings field is too small. It must be at least 1.");
    for (const char* turns : {"0", "101", "8.5"}) {
        input.newWindings = turns;
        const auto r = ComputeMotorDesign(input, good, {}, messages);
        EXPECT_EQ(r.newMotorConstant, good.newMotorConstant);
        EXPECT_FALSE(r.warning);
    }
    input.newWindings = "8";
    input.windings = "0";
    EXPECT_EQ(ComputeMotorDesign(input, good, {}, messages).newArmatureResistance, good.newArmatureResistance);
}

// Every field of the three motor tools given hostile texts: a message where the text is wrong, never a
// NaN or infinity in a result, and never anything to apply.
TEST(MotorTools, HostileFieldTexts) {
    const char* hostile[] = {"", "abc", "1e400", "-1", "0"};
    const NumberLocale locale;
    for (int field = 0; field < 6; ++field) {
        for (const char* text : hostile) {
            RecordingMessages messages;
            messages.AllowAny();
            auto input = Points("7.2", "1.5", "16000", "6.0", "12", "11000");
            std::string* fields[] = {&input.freeRunningVoltage, &input.freeRunningCurrent, &input.freeRunningRpm,
                                     &input.underLoadVoltage,   &input.underLoadCurrent,   &input.underLoadRpm};
            *fields[field] = text;
            const auto r = ComputeMotorFromTests(input, locale, messages);
            EXPECT_FALSE(r.ApplyEnabled()) << field << " " << text;
            EXPECT_EQ(messages.empty(), std::string(text).empty() || std::string(text) == "0") << text;
        }
    }
    for (int field = 0; field < 5; ++field) {
        for (const char* text : hostile) {
            RecordingMessages messages;
            messages.AllowAny();
            auto input = Catalog("7.2", "14000", "", "60", "2.4");
            std::string* fields[] = {&input.nominalVoltage, &input.freeRunningRpm, &input.maxEfficiencyCurrent,
                                     &input.stallCurrent, &input.idleCurrent};
            *fields[field] = text;
            CompleteCatalogCurrents(input, CatalogCurrent::None, locale, messages);
            const auto r = ComputeMotorFromCatalog(input, locale, messages);
            for (const std::string& shown : {r.motorConstant, r.armatureResistance, input.maxEfficiencyCurrent})
                EXPECT_EQ(shown.find_first_of("ni"), std::string::npos) << shown; // no "nan" or "inf"
            if (field != 2) {
                EXPECT_FALSE(CatalogApplyEnabled(input, r)) << field << " " << text;
            }
        }
    }
    for (int field = 0; field < 8; ++field) {
        for (const char* text : hostile) {
            RecordingMessages messages;
            messages.AllowAny();
            MotorDesignInput input{"", "1000", "1.5", "0.1", "5", "10", "20", "8", "", "New"};
            std::string* fields[] = {&input.motorConstant, &input.idleCurrent, &input.armatureResistance,
                                     &input.windings,      &input.wireGauge,   &input.newWindings,
                                     &input.newWireGauge,  &input.motorWeight};
            *fields[field] = text;
            const auto r = ComputeMotorDesign(input, {}, locale, messages);
            for (const std::string& shown : {r.newMotorConstant, r.newIdleCurrent, r.newArmatureResistance})
                EXPECT_EQ(shown.find_first_of("ni"), std::string::npos) << shown;
            const bool optional = field == 4 || field == 6 || field == 7;
            if (!optional && std::string(text) != "") {
                EXPECT_FALSE(r.ApplyEnabled()) << field << " " << text;
            }
        }
    }
}

} // namespace
} // namespace ampvane
