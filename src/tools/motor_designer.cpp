// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/motor_designer.h"

#include <cmath>

#include "common/field_validation.h"
#include "common/name_pattern.h"
#include "data/table_catalogue.h"
#include "workbench/component_fill.h"
#include "tools/tool_fields.h"

namespace ampvane {

namespace {

constexpr double kGaugeAreaExponent = 0.2319; // AWG: a step of one gauge multiplies the section by e^−0.2319
constexpr double kGaugePerTurnsLog = 4.312;   // 1 / 0.2319: the gauge step of a doubled section

std::optional<int> Turns(std::string_view text, std::string_view label, MessageSink& messages) {
    if (TrimText(text).empty()) return std::nullopt;
    std::int32_t turns = 0;
    if (!ValidateInteger(text, label, 1, kNoIntegerDefault, turns, 100, messages)) return std::nullopt;
    return turns;
}

} // namespace

std::string GaugeLabel(double gauge, const NumberLocale& locale) {
    if (gauge < -2.5) return "Gauge (0000):";
    if (gauge < -1.5) return "Gauge (000):";
    if (gauge < -0.5) return "Gauge (00):";
    if (gauge < 0) return "Gauge (0):";
    return "Gauge (" + FormatReal(0, 1, gauge, locale) + "):";
}

MotorDesignResult ComputeMotorDesign(const MotorDesignInput& input, const MotorDesignResult& previous,
                                     const NumberLocale& locale, MessageSink& messages) {
    MotorDesignResult result = previous;
    result.newMotorWeight = input.motorWeight;
    result.warning = false;
    const std::optional<int> Tb = Turns(input.windings, "Baselime Motor Windings", messages);
    if (!Tb) return result;
    const std::optional<int> Tn = Turns(input.newWindings, "New Motor Windings", messages);
    if (!Tn) return result;
    const double r = static_cast<double>(*Tn) / *Tb;

    const double Kv =
        ReadOptionalField(input.motorConstant, "Baseline Motor Constant", 0, 100000, locale, messages);
    const double Io =
        ReadOptionalField(input.idleCurrent, "Baseline Motor No-load Current", 0, 1000, locale, messages);
    const double Rm =
        ReadOptionalField(input.armatureResistance, "Baseline Motor Armature Resistance", 0, 100, locale, messages);
    const double Gb = ReadOptionalField(input.wireGauge, "Baseline Motor Wire Gauge", 0, 60, locale, messages);
    const double Ga = ReadOptionalField(input.newWireGauge, "New Motor Actual Wire Gauge", 0, 60, locale, messages);

    result = MotorDesignResult{};
    result.newMotorWeight = input.motorWeight;
    if (Kv > 0) {
        result.Kv = Kv * std::pow(r, -1.126);
        result.newMotorConstant = ResultText(*result.Kv, 0, locale);
    }
    double A = 1, F = 1;
    if (Gb > 0) {
        const double Gi = Gb - kGaugePerTurnsLog * std::log(1 / r);
        result.suggestedGauge = Gi;
        if (Ga > 0) {
            A = std::exp(-kGaugeAreaExponent * (Ga - Gb));
            F = std::exp(-kGaugeAreaExponent * (Ga - Gi));
        } else {
            A = std::exp(-kGaugeAreaExponent * (Gi - Gb));
        }
        result.gaugeLabel = GaugeLabel(Gi, locale);
    } else {
        result.gaugeLabel = std::string(kWireGaugeCaption);
        A = 1 / r;
    }
    if (Io > 0) {
        result.Io = Io * std::pow(r, -1.379) * F;
        result.newIdleCurrent = ResultText(*result.Io, 2, locale);
    }
    if (Rm > 0) {
        result.Rm = Rm * r / A;
        result.newArmatureResistance = ResultText(*result.Rm, 3, locale);
    }
    result.warning = r > 1.4 || r < 0.714;
    return result;
}

MotorWindingTexts WindingsFromMotorName(std::string_view name) {
    MotorWindingTexts windings;
    if (auto turns = PatternExtract(name, R"(\<[1-9][0-9]*[Tt]\>)")) {
        turns->pop_back(); // the "T"
        windings.turns = std::move(*turns);
    }
    auto gauge = PatternExtract(name, R"(#[0-9]\>)");
    if (!gauge) gauge = PatternExtract(name, R"(#[1-9][0-9]\>)");
    if (gauge) windings.gauge = gauge->substr(1);
    return windings;
}

void LoadBaselineMotor(MotorDesignInput& input, const DbfTable& motors, const WorkbenchUnits& units,
                       const NumberLocale& locale, MessageSink& messages) {
    // The workbench's own motor fill gives the display texts and the weight conversion.
    WorkbenchFields shown;
    FillGroupFromRecord(shown, ComponentTableKind::Motor, motors, units, locale, messages);
    using C = WorkbenchControl;
    input.baselineName = shown.Text(C::MotorNameEdit);
    input.motorConstant = shown.Text(C::MotorConstantEdit);
    input.idleCurrent = shown.Text(C::IdleCurrentEdit);
    input.armatureResistance = shown.Text(C::ArmatureResistanceEdit);
    input.motorWeight = shown.Text(C::MotorWeightEdit);
    MotorWindingTexts windings = WindingsFromMotorName(input.baselineName);
    input.windings = std::move(windings.turns);
    input.wireGauge = std::move(windings.gauge);
}

void ApplyMotorDesign(const MotorDesignInput& input, const MotorDesignResult& result, WorkbenchFields& fields) {
    if (!result.ApplyEnabled()) return;
    using C = WorkbenchControl;
    fields.SetText(C::MotorNameEdit, input.newName);
    fields.SetText(C::MotorConstantEdit, result.newMotorConstant);
    fields.SetText(C::IdleCurrentEdit, result.newIdleCurrent);
    fields.SetText(C::ArmatureResistanceEdit, result.newArmatureResistance);
    fields.SetText(C::MotorWeightEdit, result.newMotorWeight);
}

} // namespace ampvane
