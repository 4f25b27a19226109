// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/drive_estimators.h"

#include <cmath>
#include <filesystem>
#include <numbers>

#include "common/field_validation.h"
#include "analysis/analysis_input.h"
#include "common/file_write.h"
#include "common/unit_conversion.h"
#include "model/measured_propeller.h"
#include "model/propeller.h"
#include "tools/tool_fields.h"

namespace ampvane {

namespace {

using C = WorkbenchControl;

constexpr double kFanThrustFactor = 4.22404026e-10;
constexpr double kFanPowerFactor = 4.96439988e-14;
constexpr double kUserPowerConstantFactor = 1.31;

bool Finite(double x) { return std::isfinite(x); }

// The gear ratio of the bench test: 1 with no gearbox (empty field); a typed ratio must be one the
// workbench would accept, so that a 0 never divides anything.
std::optional<double> GearRatio(std::string_view text, const NumberLocale& locale, MessageSink& messages) {
    if (TrimText(text).empty()) return 1.0;
    double ratio = 0;
    if (!ValidateReal(text, "Gear Ratio", ratio, 0.01, 100, kNoDefault, locale, messages)) return std::nullopt;
    return ratio;
}

// The one rule for "Estimate RPM": the button is enabled exactly when pressing it writes a speed.
// A known motor (Kv and Rm), a current and voltage, and a current above the no-load current that
// the winding's loss does not eat the whole voltage of.
std::optional<std::string> EstimateSpeed(const MotorConstants& motor, double V, double I, double G,
                                         const NumberLocale& locale) {
    if (!(I > 0 && V > 0 && motor.Rm > 0 && motor.Kv > 0)) return std::nullopt;
    if (!(I > motor.Io) || !(I * motor.Rm < V)) return std::nullopt;
    const double N = std::nearbyint(motor.Kv * (V - I * motor.Rm) / G);
    std::string text = ResultText(N, 0, locale);
    if (text.empty()) return std::nullopt;
    return text;
}

// A measured length in inches, 0 when not given; any other value is held to the lengths the
// workbench accepts in its unit, and one outside them (a negative diameter) is refused with the
// field's message: nullopt.
std::optional<double> ReadLength(std::string_view text, std::string_view label, LengthUnit unit,
                                 const NumberLocale& locale, MessageSink& messages) {
    if (LenientReal(text, locale, messages) == 0) return 0.0;
    const LengthLimits limits = WorkbenchLengthLimits(unit == LengthUnit::Centimetre);
    double value = 0;
    if (!ValidateReal(text, label, value, limits.minimum, limits.maximum, kNoDefault, locale, messages))
        return std::nullopt;
    return InchesIn(value, unit);
}

// A copied length in the workbench's unit: cm to in rounded to 0.01, in to cm rounded to 0.025.
std::string LengthForWorkbench(const std::string& text, LengthUnit from, bool workbenchCm, const NumberLocale& locale,
                               MessageSink& messages) {
    const bool fromCm = from == LengthUnit::Centimetre;
    if (fromCm == workbenchCm) return text;
    if (fromCm) return ConvertEditValue(text, 0, 0.01, kInchesPerCentimetre, locale, messages);
    return ConvertEditValue(text, 0, 0.025, kCentimetresPerInch, locale, messages);
}

// The recomputation after a change shared by both estimators: an estimated or empty speed follows
// the estimate first unless the change was to the speed itself (which makes it a measurement).
template <class Input, class Result>
Result FollowEstimate(Input& input, bool fromRpmEdit, const NumberLocale& locale, MessageSink& messages,
                      std::optional<std::string> (*estimate)(const Input&, const NumberLocale&, MessageSink&),
                      Result (*compute)(const Input&, const NumberLocale&, MessageSink&)) {
    if (fromRpmEdit) {
        input.rpmEstimated = false;
    } else if (TrimText(input.rpm).empty() || input.rpmEstimated) {
        NullMessageSink quiet; // the fields are read again below, with their messages
        if (auto rpm = estimate(input, locale, quiet)) {
            input.rpm = *rpm;
            input.rpmEstimated = true;
        }
    }
    return compute(input, locale, messages);
}

} // namespace

MotorConstants ReadMotorConstants(std::string_view kv, std::string_view idleCurrent, std::string_view resistance,
                                  const NumberLocale& locale, MessageSink& messages) {
    return {LenientReal(kv, locale, messages), LenientReal(idleCurrent, locale, messages),
            LenientReal(resistance, locale, messages)};
}

void TakeWorkbenchMotor(BenchTest& bench, const WorkbenchFields& fields, const NumberLocale& locale,
                        MessageSink& messages) {
    bench.motorName = fields.Text(C::MotorNameEdit);
    bench.motor = ReadMotorConstants(fields.Text(C::MotorConstantEdit), fields.Text(C::IdleCurrentEdit),
                                     fields.Text(C::ArmatureResistanceEdit), locale, messages);
}

std::optional<BenchConditionTexts> TakeBenchConditions(BenchTest& bench, const AnalysisOptionsInput& input,
                                                       const NumberLocale& locale) {
    NullMessageSink quiet;
    const auto options = SnapshotAnalysisOptions(input, locale, quiet);
    if (!options) return std::nullopt;
    bench.sigma = options->DensityRatio;
    bench.defaultGearboxEfficiency = TypicalGearboxEfficiency(input, locale);
    const bool metricAir = options->MetricTempPress;
    return BenchConditionTexts{
        "Elev: " + FormatReal(0, 0, options->Elevation, locale) + (options->Metric ? " m" : " ft"),
        "S.L. Pressure: " + FormatReal(0, -2, options->Pressure, locale) + (metricAir ? " kPa" : " inHg"),
        "Air Temp: " + FormatReal(0, -1, options->Temperature, locale) + (metricAir ? "\u00B0C" : "\u00B0F")};
}

double InchesIn(double value, LengthUnit unit) {
    return unit == LengthUnit::Centimetre ? InchesFromCentimetres(value) : value;
}
double OuncesIn(double value, ForceUnit unit) {
    switch (unit) {
    case ForceUnit::Gram: return OuncesFromGrams(value);
    case ForceUnit::Newton: return OuncesFromNewtons(value);
    case ForceUnit::Ounce: break;
    }
    return value;
}
double MphIn(double value, SpeedUnit unit) {
    return unit == SpeedUnit::MetresPerSecond ? MphFromMetresPerSecond(value) : value;
}

// ---- propeller -----------------------------------------------------------------------------------

std::optional<std::string> EstimatePropRpm(const PropConstantInput& input, const NumberLocale& locale,
                                           MessageSink& messages) {
    const double V = LenientReal(input.terminalVoltage, locale, messages);
    const double I = LenientReal(input.motorCurrent, locale, messages);
    const std::optional<double> G = GearRatio(input.gearRatio, locale, messages);
    if (!G) return std::nullopt;
    return EstimateSpeed(input.bench.motor, V, I, *G, locale);
}

PropConstantResult PropConstantChanged(PropConstantInput& input, bool fromRpmEdit, const NumberLocale& locale,
                                       MessageSink& messages) {
    return FollowEstimate(input, fromRpmEdit, locale, messages, &EstimatePropRpm, &ComputePropConstants);
}

PropConstantResult ComputePropConstants(const PropConstantInput& input, const NumberLocale& locale,
                                        MessageSink& messages) {
    PropConstantResult result;
    const MotorConstants& motor = input.bench.motor;
    const double I = LenientReal(input.motorCurrent, locale, messages);
    const double V = LenientReal(input.terminalVoltage, locale, messages);
    const double D = InchesIn(LenientReal(input.diameter, locale, messages), input.diameterUnit);
    const double P = InchesIn(LenientReal(input.pitch, locale, messages), input.pitchUnit);
    const double N = LenientReal(input.rpm, locale, messages);
    const double T = OuncesIn(LenientReal(input.thrust, locale, messages), input.thrustUnit);
    const std::optional<double> G = GearRatio(input.gearRatio, locale, messages);
    if (!G) return result;
    result.estimateEnabled = EstimateSpeed(motor, V, I, *G, locale).has_value();
    double efficiency = 1;
    if (!TrimText(input.gearRatio).empty()) {
        // Only a gearbox has an efficiency; it is held to the range the workbench accepts.
        efficiency = input.bench.defaultGearboxEfficiency;
        if (!TrimText(input.gearboxEfficiency).empty() &&
            !ValidateReal(input.gearboxEfficiency, "Gearbox Efficiency", efficiency, kGearboxEfficiencyMinimum,
                          kGearboxEfficiencyMaximum, kNoDefault, locale, messages))
            return result;
        efficiency /= 100;
    }
    if (!(motor.Kv > 0 && I > 0 && D > 0 && P > 0 && N > 0)) return result;
    if (!(motor.Io > 0)) {
        // Without it the shaft power cannot be told from the current.
        result.warning = kNoIdleCurrentText;
        return result;
    }

    const double Pw = (I - motor.Io) * N * *G / motor.Kv * efficiency;
    const double Pu = PropPower(input.bench.sigma, 1, N, P, D);
    const double Kp = kUserPowerConstantFactor * Pw / Pu;
    if (!Finite(Pw) || !Finite(Pu) || !Finite(Kp)) {
        result.warning = kInconsistentInputText;
        return result;
    }
    result.powerConstant = ResultText(Kp, -2, locale);
    result.powerConstantValue = Kp;
    if (Kp < 0.5 || Kp > 4) {
        result.warning = kOutOfRangeText;
        return result;
    }
    if (T > 0) {
        const std::optional<double> Kt = ThrustConstantFromMeasurement(T, Kp, Pw, 0, input.bench.sigma, N, P, D);
        if (!Kt || !Finite(*Kt)) {
            result.warning = kInconsistentInputText;
            return result;
        }
        result.thrustConstant = ResultText(*Kt, -3, locale);
        result.thrustConstantValue = *Kt;
        if (*Kt < 0.5 || *Kt > 4) result.warning = kOutOfRangeText;
    }
    return result;
}

void ApplyPropConstants(const PropConstantInput& input, const PropConstantResult& result,
                        const WorkbenchUnits& workbench, WorkbenchFields& fields, const NumberLocale& locale,
                        MessageSink& messages) {
    if (!result.ApplyEnabled()) return;
    fields.SetText(C::PropellerDiameterFromEdit,
                   LengthForWorkbench(input.diameter, input.diameterUnit, workbench.metricPropSizes, locale, messages));
    fields.SetText(C::PropellerDiameterToEdit, "");
    fields.SetText(C::PropellerPitchFromEdit,
                   LengthForWorkbench(input.pitch, input.pitchUnit, workbench.metricPropSizes, locale, messages));
    fields.SetText(C::PropellerPitchToEdit, "");
    fields.SetText(C::PropConstantEdit, result.powerConstant);
    fields.SetText(C::ThrustConstantEdit, result.thrustConstant);
}

std::optional<PropListLines> PropListEntryLines(std::string_view name, const PropConstantResult& result,
                                                const NumberLocale& locale, MessageSink& messages) {
    if (!IsListSafeName(name)) {
        messages.Report(ErrorMessage(std::string(kListNameMessage)));
        return std::nullopt;
    }
    PropListLines lines;
    lines.name = ListEntryName(name);
    lines.powerLine = lines.name + "|" + ListValueText(result.powerConstant, locale);
    lines.thrustLine = lines.name + "|" + ListValueText(result.thrustConstant, locale);
    return lines;
}

PropellerImport ImportMeasuredData(std::span<const std::string> paths, const PropConstantInput& input,
                                   const NumberLocale& locale) {
    std::vector<PropellerFile> files;
    for (const std::string& path : paths) {
        PropellerFile file{path, {}};
        if (const std::string error = ReadFileContents(path, file.Text); !error.empty()) {
            PropellerImport failed;
            failed.Error = path + ": " + error;
            return failed;
        }
        files.push_back(std::move(file));
    }
    PropellerImportGiven given;
    NullMessageSink quiet; // the recomputation has warned about these fields already
    const double D = InchesIn(LenientReal(input.diameter, locale, quiet), input.diameterUnit);
    const double P = InchesIn(LenientReal(input.pitch, locale, quiet), input.pitchUnit);
    if (D > 0) given.FallbackDiameter = D;
    if (P > 0) given.FallbackPitch = P;
    given.DiameterHint = "type it in the Diameter field";
    given.PitchHint = "type it in the Pitch field";
    // The fit needs no name; a file name that no propeller could be stored under must not stop it.
    if (!paths.empty() && !PropellerNameProblem(std::filesystem::path(paths.front()).stem().string()).empty())
        given.Name = "Measured data";
    return ImportPropellerFiles(files, given);
}

std::optional<PropConstantFit> FitPropConstants(const PropellerImport& data, const PropConstantInput& input,
                                                const NumberLocale& locale, MessageSink& messages) {
    if (!data.Propeller) {
        messages.Report(ErrorMessage(data.Error));
        return std::nullopt;
    }
    const MeasuredPropeller& p = *data.Propeller;
    const std::optional<FittedConstants> fitted = FitTwoConstants(MeasuredCurves(p));
    if (!fitted) {
        messages.Report(ErrorMessage("\"" + p.Name + "\" has no static point with thrust and power that two constants can fit."));
        return std::nullopt;
    }
    PropConstantFit fit;
    const auto length = [&](double inches, LengthUnit unit) {
        return ResultText(unit == LengthUnit::Centimetre ? inches * kCentimetresPerInch : inches, -2, locale);
    };
    fit.diameter = length(p.Diameter, input.diameterUnit);
    fit.pitch = length(p.Pitch, input.pitchUnit);
    // The same ranges as for a bench test: a power constant outside them leaves the thrust constant out.
    PropConstantResult& r = fit.result;
    r.powerConstant = ResultText(fitted->PropConstant, -2, locale);
    r.powerConstantValue = fitted->PropConstant;
    if (fitted->PropConstant < 0.5 || fitted->PropConstant > 4) {
        r.warning = kOutOfRangeText;
    } else {
        r.thrustConstant = ResultText(fitted->ThrustConstant, -3, locale);
        r.thrustConstantValue = fitted->ThrustConstant;
        if (fitted->ThrustConstant < 0.5 || fitted->ThrustConstant > 4) r.warning = kOutOfRangeText;
    }
    fit.note = "Fitted to " + std::to_string(fitted->Points) + " static points of \"" + p.Name + "\": power off by " +
               FormatReal(0, -1, fitted->PowerRmsError * 100, locale) + " %, thrust by " +
               FormatReal(0, -1, fitted->ThrustRmsError * 100, locale) + " % (root mean square).";
    for (const std::string& repair : data.Notes) fit.note += " " + repair;
    return fit;
}

// ---- fan -----------------------------------------------------------------------------------------

std::optional<std::string> EstimateFanRpm(const FanCoefficientInput& input, const NumberLocale& locale,
                                          MessageSink& messages) {
    const double V = LenientReal(input.terminalVoltage, locale, messages);
    const double I = LenientReal(input.motorCurrent, locale, messages);
    return EstimateSpeed(input.bench.motor, V, I, 1, locale);
}

FanCoefficientResult FanCoefficientChanged(FanCoefficientInput& input, bool fromRpmEdit,
                                           const NumberLocale& locale, MessageSink& messages) {
    return FollowEstimate(input, fromRpmEdit, locale, messages, &EstimateFanRpm, &ComputeFanCoefficients);
}

FanCoefficientResult ComputeFanCoefficients(const FanCoefficientInput& input, const NumberLocale& locale,
                                            MessageSink& messages) {
    FanCoefficientResult result;
    const MotorConstants& motor = input.bench.motor;
    const double I = LenientReal(input.motorCurrent, locale, messages);
    const double V = LenientReal(input.terminalVoltage, locale, messages);
    result.estimateEnabled = EstimateSpeed(motor, V, I, 1, locale).has_value();
    const auto Df = ReadLength(input.fanDiameter, "Fan Diameter", input.fanDiameterUnit, locale, messages);
    const auto Dh = ReadLength(input.hubDiameter, "Fan Hub Diameter", input.hubDiameterUnit, locale, messages);
    const double N = LenientReal(input.rpm, locale, messages);
    const double T = OuncesIn(LenientReal(input.thrust, locale, messages), input.thrustUnit);
    const double Ve = MphIn(LenientReal(input.effluxVelocity, locale, messages), input.velocityUnit);
    const double sigma = input.bench.sigma;
    // A refused diameter leaves no area, rather than the area without it.
    const double A = Df && Dh ? *Df * *Df - *Dh * *Dh : 0;
    const double Vf = InchesPerMinuteFromMph(Ve);

    if (Ve > 0 && N > 0) {
        double pitch = Ve / MphFromInchesPerMinute(N);
        if (input.workbenchMetric) pitch = CentimetresFromInches(pitch);
        result.fanPitch = ResultText(pitch, 2, locale);
        if (!result.fanPitch.empty()) result.pitchValue = pitch;
    }
    if (Ve > 0 && A > 0) {
        if (T > 0) {
            const double Ct = T / (sigma * A * Vf * Vf * kFanThrustFactor);
            if (!Finite(Ct)) return result;
            result.thrustCoeff = ResultText(Ct, 3, locale);
            result.thrustCoeffValue = Ct;
        }
        if (motor.Io > 0 && motor.Kv > 0 && I > 0 && N > 0) {
            const double Pm = (I - motor.Io) * N / motor.Kv;
            const double Cp = Pm / (sigma * A * Vf * Vf * Vf * kFanPowerFactor);
            if (!Finite(Cp)) return result;
            result.powerCoeff = ResultText(Cp, 3, locale);
            result.powerCoeffValue = Cp;
        }
    }
    return result;
}

void ApplyFanCoefficients(const FanCoefficientInput& input, const FanCoefficientResult& result,
                          const WorkbenchUnits& workbench, WorkbenchFields& fields, const NumberLocale& locale,
                          MessageSink& messages) {
    if (!result.ApplyEnabled()) return;
    fields.SetText(C::FanDiameterEdit,
                   LengthForWorkbench(input.fanDiameter, input.fanDiameterUnit, workbench.metric, locale, messages));
    fields.SetText(C::HubDiameterEdit,
                   LengthForWorkbench(input.hubDiameter, input.hubDiameterUnit, workbench.metric, locale, messages));
    fields.SetText(C::FanPitchEdit, result.fanPitch);
    fields.SetText(C::FanPowerCoeffEdit, result.powerCoeff);
    fields.SetText(C::FanThrustCoeffEdit, result.thrustCoeff);
}

FanPitchResult ComputeFanPitch(const FanPitchInput& input, const NumberLocale& locale, MessageSink& messages) {
    FanPitchResult result;
    const double D = LenientReal(input.rotorDiameter, locale, messages);
    double theta = LenientReal(input.bladeAngle, locale, messages);
    const double W = LenientReal(input.bladeWidth, locale, messages);
    const double H = LenientReal(input.bladeHeight, locale, messages);
    if (W > 0 || H > 0) {
        result.angleEnabled = false;
        result.sizeEnabled = true;
        theta = (W > 0 && H > 0) ? DegreesFromRadians(std::atan(H / W)) : 0;
    } else if (theta > 0) {
        result.angleEnabled = true;
        result.sizeEnabled = false;
    }
    // Red from 89 degrees on, where no pitch is given any more.
    result.angleRed = theta >= 89;
    if (theta > 0 && theta < 89 && D > 0) {
        const double pitch = std::tan(RadiansFromDegrees(theta)) * std::numbers::pi * D;
        result.pitch = ResultText(pitch, -2, locale);
        if (!result.pitch.empty()) {
            result.angle = theta;
            result.pitchValue = pitch;
        }
    }
    return result;
}

} // namespace ampvane
