// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/analysis_input.h"

#include <algorithm>
#include <cmath>

#include "common/field_validation.h"
#include "common/text_helpers.h"
#include "common/unit_conversion.h"
#include "model/air.h"
#include "model/airframe.h"

namespace ampvane {

namespace {

using C = WorkbenchControl;

constexpr double kDefaultGearboxEfficiency = 95;
constexpr double kHeatingFactorInRunner = 2.0;
constexpr double kHeatingFactorOther = 3.8;
constexpr double kPropConstantScale = 1.31; // the propeller constant is stored divided by this

// Limits that depend on the display units.
struct UnitLimits {
    double weightMax;
    double lengthMin;
    double lengthMax;
};

UnitLimits WeightAndLengthLimits(bool metricWeights, bool metricLengths) {
    const LengthLimits lengths = WorkbenchLengthLimits(metricLengths);
    return {metricWeights ? 28300.0 : 1000.0, lengths.minimum, lengths.maximum};
}

double DefaultIncrement(double from, double to) { return std::max(0.01, std::min(1.0, to - from)); }

std::uint8_t ChemistryOf(std::string_view cellType) {
    if (cellType == "NiCd") return NiCd;
    if (cellType == "NiMH") return NiMH;
    if (cellType == "LiPo") return LiPo;
    if (cellType == "LiNP") return LiNP;
    return OtherChemistry;
}

// Reads the fields one by one; each call shows its own message on failure.
class FieldReader {
public:
    FieldReader(const WorkbenchFields& fields, const NumberLocale& locale, MessageSink& messages)
        : fields_(fields), locale_(locale), messages_(messages) {}

    bool Real(C id, std::string_view label, double& value, double minimum, double maximum,
              double emptyDefault = kNoDefault) {
        last = id;
        return ValidateReal(fields_.Text(id), label, value, minimum, maximum, emptyDefault, locale_, messages_);
    }
    bool Integer(C id, std::string_view label, std::int32_t minimum, std::int32_t emptyDefault, std::int32_t& value,
                 std::int32_t maximum) {
        last = id;
        return ValidateInteger(fields_.Text(id), label, minimum, emptyDefault, value, maximum, messages_);
    }
    bool Empty(C id) const { return TrimText(fields_.Text(id)).empty(); }
    // The field read or checked last: the one a failure is about.
    std::optional<C> last;

private:
    const WorkbenchFields& fields_;
    const NumberLocale& locale_;
    MessageSink& messages_;
};

bool GatherMotor(FieldReader& read, const WorkbenchFields& fields, const UnitLimits& units, MotorDesc8& motor) {
    motor.MotorName = fields.Text(C::MotorNameEdit);
    if (!read.Real(C::MotorConstantEdit, "Motor Constant", motor.MotorConstant, 1, 100000)) return false;
    if (!read.Real(C::IdleCurrentEdit, "No-load Current", motor.IdleCurrent, 0.001, 1000)) return false;
    if (!read.Real(C::ArmatureResistanceEdit, "Armature Resistance", motor.ArmatureResistance, 0.0001, 100))
        return false;
    if (!read.Real(C::MotorWeightEdit, "Motor Weight", motor.Weight, 0, units.weightMax, 0)) return false;
    const bool brushless = fields.Checked(C::MotorBrushlessCheckBox);
    const bool outRunner = brushless && fields.Checked(C::MotorOutRunnerCheckBox);
    motor.Brushless = brushless;
    motor.OutRunner = outRunner;
    motor.HeatingFactor = (brushless && !outRunner) ? kHeatingFactorInRunner : kHeatingFactorOther;
    return true;
}

bool GatherCell(FieldReader& read, const WorkbenchFields& fields, const UnitLimits& units, bool metric,
                CellDesc8& cell) {
    cell.CellName = fields.Text(C::CellNameEdit);
    if (!read.Real(C::CellCapacityEdit, "Cell Capacity", cell.Capacity, 1, 100000, 2000)) return false;
    if (!read.Real(C::CellVoltageEdit, "Cell Voltage", cell.Voltage, 1, 4.2, 1.2)) return false;
    if (!read.Real(C::CRatingEdit, "\"C\" Rating", cell.CRating, 0.1, 100, 0)) return false;
    if (!read.Real(C::CellResistanceEdit, "Cell Resistance", cell.Resistance, 0, 10, 0.0055)) return false;
    if (!read.Real(C::CellWeightEdit, "Cell Weight", cell.Weight, 0, units.weightMax, metric ? 53.487 : 1.89))
        return false;
    cell.Chemistry = ChemistryOf(fields.Text(C::CellTypeComboBox));
    return true;
}

bool GatherPropeller(FieldReader& read, const UnitLimits& weights, const UnitLimits& sizes,
                     double typicalEfficiency, bool measured, DriveSystemDesc& drive) {
    double& ratioFrom = drive.GearRatioFrom();
    double& ratioTo = drive.GearRatioTo();
    if (!read.Real(C::GearRatioFromEdit, "Minimum Gear Ratio", ratioFrom, 0.01, 100, 1)) return false;
    if (!read.Real(C::GearRatioToEdit, "Maximum Gear Ratio", ratioTo, ratioFrom, 100, ratioFrom)) return false;
    if (!read.Real(C::GearRatioByEdit, "Gear Ratio Increment", drive.GearRatioBy(), 0.01, 99.99,
                   DefaultIncrement(ratioFrom, ratioTo)))
        return false;
    if (!read.Real(C::GearboxEfficiencyEdit, "Gearbox Efficiency", drive.GearboxEfficiency(),
                   kGearboxEfficiencyMinimum, kGearboxEfficiencyMaximum, typicalEfficiency))
        return false;
    if (!read.Real(C::GearboxWeightEdit, "Gearbox Weight", drive.Weight, 0, weights.weightMax, 0)) return false;
    // Without a gearbox there is neither a gearbox loss nor a gearbox weight, whatever was typed.
    const bool directDrive =
        (read.Empty(C::GearRatioFromEdit) && read.Empty(C::GearRatioToEdit)) || (ratioFrom == 1 && ratioTo == 1);
    if (directDrive) {
        drive.GearboxEfficiency() = 1.0;
        drive.Weight = 0;
    } else {
        drive.GearboxEfficiency() /= 100;
    }
    // A measured propeller brings its size and blades, and its curves replace the constants: the workbench
    // greys those fields, so they are not read (the report builder takes the propeller's own size).
    if (measured) {
        drive.PropConstant() = 1;
        drive.ThrustConstant() = 0.95;
        drive.DiameterBy() = drive.PitchBy() = 1;
        drive.Blades = 2;
        return true;
    }
    if (!read.Real(C::PropConstantEdit, "Propeller Constant", drive.PropConstant(), 0.5, 4, kPropConstantScale))
        return false;
    drive.PropConstant() /= kPropConstantScale;
    if (!read.Real(C::ThrustConstantEdit, "Thrust Constant", drive.ThrustConstant(), 0.5, 4, 0.95)) return false;

    double& diameterFrom = drive.DiameterFrom();
    double& diameterTo = drive.DiameterTo();
    if (!read.Real(C::PropellerDiameterFromEdit, "Minimum Propeller Diameter", diameterFrom, sizes.lengthMin,
                   sizes.lengthMax))
        return false;
    if (!read.Real(C::PropellerDiameterToEdit, "Maximum Propeller Diameter", diameterTo, diameterFrom,
                   sizes.lengthMax, diameterFrom))
        return false;
    if (!read.Real(C::PropellerDiameterByEdit, "Propeller Diameter Increment", drive.DiameterBy(), 0.1, 99.9,
                   DefaultIncrement(diameterFrom, diameterTo)))
        return false;
    double& pitchFrom = drive.PitchFrom();
    double& pitchTo = drive.PitchTo();
    if (!read.Real(C::PropellerPitchFromEdit, "Minimum Propeller Pitch", pitchFrom, sizes.lengthMin,
                   sizes.lengthMax))
        return false;
    if (!read.Real(C::PropellerPitchToEdit, "Maximum Propeller Pitch", pitchTo, pitchFrom, sizes.lengthMax, pitchFrom))
        return false;
    if (!read.Real(C::PropellerPitchByEdit, "Propeller Pitch Increment", drive.PitchBy(), 0.1, 99.9,
                   DefaultIncrement(pitchFrom, pitchTo)))
        return false;
    return read.Integer(C::PropellerBladesEdit, "Number of Propeller Blades", 1, 2, drive.Blades, 10);
}

bool GatherFan(FieldReader& read, const UnitLimits& units, DriveSystemDesc& drive) {
    double& fanDiameter = drive.FanDiameter();
    double& hub = drive.HubDiameter();
    if (!read.Real(C::FanDiameterEdit, "Fan Diameter", fanDiameter, units.lengthMin, units.lengthMax)) return false;
    if (!read.Real(C::FanPitchEdit, "Fan Pitch", drive.FanPitch(), units.lengthMin, units.lengthMax)) return false;
    if (!read.Real(C::HubDiameterEdit, "Fan Hub Diameter", hub, units.lengthMin, fanDiameter)) return false;
    if (!read.Real(C::FanWeightEdit, "Fan Weight", drive.Weight, 0, units.weightMax, 0)) return false;
    // The swept annulus as one circle: the duct's natural diameter when none is given.
    const double sweptDiameter = std::sqrt(std::max(0.0, fanDiameter * fanDiameter - hub * hub));
    if (!read.Real(C::IntakeDiameterEdit, "Fan Intake Diameter", drive.IntakeDiameter(), units.lengthMin,
                   units.lengthMax, sweptDiameter))
        return false;
    if (!read.Real(C::IntakeLengthEdit, "Fan Intake Length", drive.IntakeLength(), 0, units.lengthMax, 0))
        return false;
    if (!read.Real(C::ExhaustDiameterEdit, "Fan Exhaust Diameter", drive.ExhaustDiameter(), units.lengthMin,
                   units.lengthMax, sweptDiameter))
        return false;
    if (!read.Real(C::ExhaustLengthEdit, "Fan Exhaust Length", drive.ExhaustLength(), 0, units.lengthMax, 0))
        return false;
    if (!read.Real(C::FanThrustCoeffEdit, "Fan Thrust Coefficient", drive.FanThrustCoeff(), 0.2, 2, 0.96))
        return false;
    return read.Real(C::FanPowerCoeffEdit, "Fan Power Coefficient", drive.FanPowerCoeff(), 0.2, 2, 0.82);
}

bool GatherSpeedControl(FieldReader& read, const WorkbenchFields& fields, const UnitLimits& units, bool metric,
                        bool brushlessMotor, Prompter& prompter, ESCDesc& esc) {
    esc.ESCName = fields.Text(C::ESCNameEdit);
    if (!read.Real(C::ESCResistanceEdit, "Speed Control Resistance", esc.Resistance, 0, 10, 0.003)) return false;
    if (!read.Real(C::ESCMaxCurrentEdit, "Speed Control Max Current", esc.MaxCurrent, 0.1, 1000, 0)) return false;
    if (!read.Real(C::ESCWeightEdit, "Speed Control Weight", esc.Weight, 0, units.weightMax, metric ? 19.81 : 0.7))
        return false;
    esc.HighRate = fields.Checked(C::ESCHighRateCheckBox);
    esc.Brushless = fields.Checked(C::ESCBrushlessCheckBox);
    if (esc.Brushless == brushlessMotor) return true;
    Message question;
    if (esc.Brushless) {
        question.kind = MessageKind::Warning;
        question.text = kBrushlessControlBrushedMotorQuestion;
    } else {
        question.kind = MessageKind::Error;
        question.text = kBrushedControlBrushlessMotorQuestion;
    }
    question.buttons = OkButton | CancelButton | HelpButton;
    question.helpTopic = kSpeedControlBrushlessHelpTopic;
    read.last = C::ESCBrushlessCheckBox;
    return prompter.Ask(question) == OkButton;
}

bool GatherAirframe(FieldReader& read, const WorkbenchFields& fields, const UnitLimits& units, bool metric,
                    MessageSink& messages, AirframeDesc& airframe) {
    airframe.AirframeName = fields.Text(C::AirframeNameEdit);
    if (!read.Real(C::WingAreaEdit, "Wing Area", airframe.WingArea, 0, metric ? 645.2 : 10000, 0)) return false;
    if (!read.Real(C::WingSpanEdit, "Wing Span", airframe.WingSpan, 0, metric ? 762 : 300, 0)) return false;
    if (!read.Real(C::EmptyWeightEdit, "Empty Weight", airframe.EmptyWeight, 0, units.weightMax, 0)) return false;
    airframe.AirfoilInfo = LenientInt(fields.Text(C::AirfoilInfoEdit), messages);
    airframe.DragInfo = LenientInt(fields.Text(C::DragInfoEdit), messages);
    DeriveAirframe(airframe, metric);
    return true;
}

bool GatherFilter(FieldReader& read, const WorkbenchFields& fields, const AnalysisOptions& options,
                  const UnitLimits& units, FilterDesc& filter) {
    filter.FilterName = fields.Text(C::FilterNameEdit);
    if (!read.Real(C::MaxCurrentEdit, "Maximum Current", filter.MaxCurrent, 0.1, 1000, 0)) return false;
    if (!read.Real(C::MaxPowerLossEdit, "Maximum Power Loss", filter.MaxPowerLoss, 1, 1000, 0)) return false;
    if (!read.Real(C::MinEfficiencyEdit, "Minimum Efficiency", filter.MinEfficiency, 1, 99, 0)) return false;
    double thrustMin = 0.1;
    double thrustMax = units.weightMax;
    if (options.Metric) {
        thrustMin = options.Newtons ? 0.027762 : 2.83;
        thrustMax = options.Newtons ? 277.62 : 28300;
    }
    if (!read.Real(C::MinThrustEdit, "Minimum Thrust", filter.MinThrust, thrustMin, thrustMax, 0)) return false;
    const double speedMin = options.Metric ? kMetresPerSecondPerMph : 1; // 1 mph
    const double speedMax = options.Metric ? 134.1 : 300;
    if (!read.Real(C::MinSpeedEdit, "Minimum Speed", filter.MinSpeed, speedMin, speedMax, 0)) return false;
    if (!read.Real(C::MaxSpeedEdit, "Maximum Speed", filter.MaxSpeed, speedMin, speedMax, 0)) return false;
    if (!read.Real(C::MinTimeEdit, "Minimum Run Time", filter.MinRunTime, 1, 6000, 0)) return false;
    if (!read.Real(C::MaxPitchRatioEdit, "Maximum Pitch:Diameter Ratio", filter.MaxPitchRatio, 0.01, 2, 0))
        return false;
    return read.Real(C::MaxRPMEdit, "Maximum Motor RPM", filter.MaxMotorRPM, 1, 100000, 0);
}

bool GatherCounts(FieldReader& read, MessageSink& messages, PlaneDesc& plane) {
    if (!read.Integer(C::SeriesMotorsEdit, "Number of Series Motors", 1, 1, plane.SeriesMotors, 20)) return false;
    if (!read.Integer(C::ParallelMotorsEdit, "Number of Parallel Motors", 1, 1, plane.ParallelMotors, 20))
        return false;
    const std::int32_t motors = plane.SeriesMotors * plane.ParallelMotors;
    if (!read.Integer(C::NumberOfPropsEdit, "Number of Propellers", 1, motors, plane.NumberOfProps, 40)) return false;
    if (plane.NumberOfProps % motors != 0 && motors % plane.NumberOfProps != 0) {
        read.last = C::NumberOfPropsEdit;
        messages.Report(InformationMessage(kMotorsPerPropellerMessage));
        return false;
    }
    CellDesc8& cell = plane.Cell;
    if (!read.Integer(C::NumberOfCellsFromEdit, "Minimum Number of Series Cells", 1, 7, cell.SeriesCellsFrom, 99))
        return false;
    if (!read.Integer(C::NumberOfCellsToEdit, "Maximum Number of Series Cells", cell.SeriesCellsFrom,
                      cell.SeriesCellsFrom, cell.SeriesCellsTo, 99))
        return false;
    if (!read.Integer(C::ParallelCellsFromEdit, "Minimum Number of Parallel Cells", 1, 1, plane.ParallelCellsFrom, 9))
        return false;
    if (!read.Integer(C::ParallelCellsToEdit, "Maximum Number of Parallel Cells", plane.ParallelCellsFrom,
                      plane.ParallelCellsFrom, plane.ParallelCellsTo, 9))
        return false;
    if (!read.Integer(C::MultipleESCsEdit, "Multiple Speed Controls", 1, 1, plane.NumberOfESCs, 20)) return false;
    const std::string countMessage = CheckSpeedControlCount(plane.ParallelMotors, plane.NumberOfESCs);
    if (!countMessage.empty()) {
        read.last = C::MultipleESCsEdit;
        messages.Report(InformationMessage(countMessage));
        return false;
    }
    return true;
}

} // namespace

double TypicalGearboxEfficiency(const AnalysisOptionsInput& input, const NumberLocale& locale) {
    const auto value = ParseLocaleReal(NormaliseDecimal(TrimText(input.gearboxEfficiency), locale), locale);
    return (value && *value >= kGearboxEfficiencyMinimum && *value <= kGearboxEfficiencyMaximum)
               ? *value
               : kDefaultGearboxEfficiency;
}

std::optional<AnalysisOptions> SnapshotAnalysisOptions(const AnalysisOptionsInput& input, const NumberLocale& locale,
                                                       MessageSink& messages) {
    const int mode = std::clamp(input.measurementMode, 0, 3);
    AnalysisOptions options;
    options.Metric = mode > 1;
    options.MetricPropSizes = mode > 2;
    options.Newtons = input.newtons;
    options.MetricTempPress = mode > 0;
    options.PrintColours = input.printColours;
    options.AccountForHeating = input.accountForHeating;
    options.MinDigits = input.extraPrecision ? 3 : 0;

    options.Elevation = LenientReal(input.elevation, locale, messages);
    const double elevationFeet = options.Metric ? FeetFromMetres(options.Elevation) : options.Elevation;
    if (TrimText(input.pressure).empty())
        options.Pressure = options.MetricTempPress ? kStandardPressureKilopascals : kStandardPressureInchesHg;
    else
        options.Pressure = LenientReal(input.pressure, locale, messages);
    if (TrimText(input.temperature).empty()) {
        const double celsius = StandardDayTemperature(elevationFeet);
        options.Temperature = options.MetricTempPress ? celsius : FahrenheitFromCelsius(celsius);
    } else {
        options.Temperature = LenientReal(input.temperature, locale, messages);
    }
    options.TemperatureC = options.MetricTempPress ? options.Temperature : CelsiusFromFahrenheit(options.Temperature);
    const double pressureInchesHg =
        options.MetricTempPress ? InchesHgFromKilopascals(options.Pressure) : options.Pressure;
    options.DensityRatio = AirDensityRatio(elevationFeet, pressureInchesHg, options.TemperatureC);
    // Every force of the model scales with the density; without one no figure would mean anything.
    if (!std::isfinite(options.DensityRatio) || !(options.DensityRatio > 0) || !std::isfinite(options.TemperatureC)) {
        // A typed temperature fails alone at absolute zero (an empty one follows the elevation);
        // otherwise the elevation when it fails on a standard day, else the pressure.
        const char* field = "Sea Level Pressure";
        if (!TrimText(input.temperature).empty() &&
            (!std::isfinite(options.TemperatureC) ||
             !(AirDensityRatio(0, kStandardPressureInchesHg, options.TemperatureC) > 0)))
            field = "Air Temperature";
        else if (!std::isfinite(elevationFeet) || !(AirDensityRatio(elevationFeet, kStandardPressureInchesHg, 15) > 0))
            field = "Field Elevation";
        messages.Report(ErrorMessage(NoAirDensityMessage(field)));
        return std::nullopt;
    }
    return options;
}

std::string NoAirDensityMessage(std::string_view field) {
    return "The " + std::string(field) + " set in the options gives no air density, so nothing can be computed. "
           "Please correct the " + std::string(field) + " in the options.";
}

std::string CheckSpeedControlCount(std::int32_t parallelMotors, std::int32_t speedControls) {
    if (speedControls > 0 && parallelMotors % speedControls == 0) return {};
    std::string divisors;
    for (std::int32_t d = 1; d <= parallelMotors; ++d)
        if (parallelMotors % d == 0) divisors += (divisors.empty() ? "" : " ") + std::to_string(d);
    return "There must be a whole number of parallel wired motors per speed control. Given that " +
           std::to_string(parallelMotors) +
           " parallel motor(s) were specified, permitted values for the Multiple Speed Controls field are " +
           FormatWordList(divisors, "or", "") + ".";
}

namespace {

bool GatherFields(const WorkbenchFields& fields, const AnalysisOptionsInput& optionsInput, PlaneDesc& plane,
                  const AnalysisOptions& options, const NumberLocale& locale, MessageSink& messages,
                  Prompter& prompter, FieldReader& read) {
    const bool metric = options.Metric;
    const UnitLimits units = WeightAndLengthLimits(metric, metric);

    if (!GatherMotor(read, fields, units, plane.Motor)) return false;
    if (!GatherCell(read, fields, units, metric, plane.Cell)) return false;

    DriveSystemDesc& drive = plane.Drive;
    drive.DriveName = fields.Text(C::DriveSystemNameEdit);
    drive.Kind = fields.DrivePage();
    if (drive.Kind == PropellerDrive) {
        const UnitLimits sizes = WeightAndLengthLimits(metric, options.MetricPropSizes);
        if (!GatherPropeller(read, units, sizes, TypicalGearboxEfficiency(optionsInput, locale),
                             !fields.MeasuredPropeller().empty(), drive)) return false;
    } else if (drive.Kind == FanDrive) {
        if (!GatherFan(read, units, drive)) return false;
    }

    if (!GatherSpeedControl(read, fields, units, metric, plane.Motor.Brushless, prompter, plane.ESC)) return false;
    if (!GatherAirframe(read, fields, units, metric, messages, plane.Airframe)) return false;
    if (!GatherFilter(read, fields, options, units, plane.Filter)) return false;
    plane.ProjectName = fields.ProjectName();
    if (!GatherCounts(read, messages, plane)) return false;
    plane.UseFilter = fields.Checked(C::UseFilterCheckBox);
    return true;
}

} // namespace

bool GatherAnalysisInput(const WorkbenchFields& fields, const AnalysisOptionsInput& optionsInput, DisplayPlane& plane,
                         AnalysisOptions& options, const NumberLocale& locale, MessageSink& messages,
                         Prompter& prompter, std::optional<WorkbenchControl>* failedField) {
    if (failedField) failedField->reset();
    const auto snapshot = SnapshotAnalysisOptions(optionsInput, locale, messages);
    if (!snapshot) return false;
    options = *snapshot;
    FieldReader read(fields, locale, messages);
    if (GatherFields(fields, optionsInput, plane.asTyped, options, locale, messages, prompter, read)) return true;
    if (failedField) *failedField = read.last;
    return false;
}

std::optional<AnalysisInput> GatherAnalysisInput(const WorkbenchFields& fields, const AnalysisOptionsInput& options,
                                                 const NumberLocale& locale, MessageSink& messages,
                                                 Prompter& prompter) {
    AnalysisInput input;
    if (!GatherAnalysisInput(fields, options, input.plane, input.options, locale, messages, prompter))
        return std::nullopt;
    return input;
}

} // namespace ampvane
