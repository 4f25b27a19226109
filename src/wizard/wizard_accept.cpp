// SPDX-License-Identifier: GPL-3.0-or-later
#include "wizard/wizard_accept.h"

#include <cmath>

#include "common/unit_conversion.h"
#include "model/airframe.h"
#include "wizard/generic_components.h"

namespace ampvane {

namespace {
using C = WorkbenchControl;
constexpr std::string_view kParallelSuffix = "-parallel";
constexpr double kKeptEscResistance = 0.0045;
} // namespace

PackName SplitPackName(std::string_view packName) {
    const std::size_t suffix = packName.rfind(kParallelSuffix);
    if (suffix == std::string_view::npos || suffix < 1 || suffix + kParallelSuffix.size() != packName.size())
        return {std::string(packName), 0};
    // The whole count before the suffix: "12-parallel" is twelve cells, not two.
    std::size_t digits = suffix;
    while (digits > 0 && packName[digits - 1] >= '0' && packName[digits - 1] <= '9') --digits;
    if (digits == suffix || suffix - digits > 4 || digits == 0 || packName[digits - 1] != ' ')
        return {std::string(packName), 0};
    return {std::string(packName.substr(0, digits - 1)), std::stoi(std::string(packName.substr(digits, suffix - digits)))};
}

WizardFlyingConditions AcceptWizardResult(WorkbenchFields& fields, const TResultObject& result,
                                          const WizardAnswers& answers, const WizardSearchSettings& settings,
                                          bool planeChanged, const WizardAcceptUnits& units,
                                          const NumberLocale& locale, const WizardAcceptServices& services,
                                          MessageSink& messages) {
    const int n = settings.motors;
    auto number = [&](double value, int decimals) { return FormatNumber(0, decimals, 0, value, locale); };

    // Motor
    services.loadByName(ComponentTableKind::Motor, result.motorName);

    // Battery
    const std::string series = std::to_string(result.series);
    fields.SetText(C::NumberOfCellsFromEdit, series);
    fields.SetText(C::NumberOfCellsToEdit, series);
    const PackName pack = SplitPackName(result.battery.name);
    const std::string parallel = pack.parallel > 0 ? std::to_string(pack.parallel) : std::string();
    fields.SetText(C::ParallelCellsFromEdit, parallel);
    fields.SetText(C::ParallelCellsToEdit, parallel);
    services.loadByName(ComponentTableKind::Cell, pack.cellName);

    // Filter and drive
    services.newGroup(ComponentTableKind::Filter);
    services.newGroup(ComponentTableKind::PropellerDrive);
    fields.SetDrivePage(kPropellerPage);
    const std::string driveName =
        GenericDriveName(result.diameter, result.pitch, result.gearRatio, units.metricPropSizes, locale);
    if (services.tableHolds(ComponentTableKind::PropellerDrive, driveName)) {
        services.loadByName(ComponentTableKind::PropellerDrive, driveName);
    } else {
        const double factor = units.metricPropSizes ? kCentimetresPerInch : 1.0;
        fields.SetText(C::DriveSystemNameEdit, driveName);
        if (result.gearRatio >= 1.01) fields.SetText(C::GearRatioFromEdit, number(result.gearRatio, -1));
        fields.SetText(C::PropellerDiameterFromEdit, number(result.diameter * factor, -1));
        fields.SetText(C::PropellerPitchFromEdit, number(result.pitch * factor, -1));
        fields.SetText(C::PropConstantEdit, number(kGenericPropConstant, 2));
        fields.SetText(C::ThrustConstantEdit, number(kGenericThrustConstant, 3));
    }

    // Motor wiring and the current one speed control carries
    double escCurrent = result.current;
    bool multipleEscs = false;
    if (n == 1) {
        fields.SetText(C::SeriesMotorsEdit, "");
        fields.SetText(C::ParallelMotorsEdit, "");
    } else if (result.wiring == 1) {
        fields.SetText(C::ParallelMotorsEdit, "");
        fields.SetText(C::SeriesMotorsEdit, std::to_string(n));
    } else if (result.wiring == 2) {
        fields.SetText(C::SeriesMotorsEdit, "");
        fields.SetText(C::ParallelMotorsEdit, std::to_string(n));
        if (result.brushless) multipleEscs = true;
        else escCurrent *= n;
    } else {
        fields.SetText(C::SeriesMotorsEdit, "2");
        fields.SetText(C::ParallelMotorsEdit, "2");
        escCurrent *= 2;
    }

    // Speed control: keep one that can carry the current, suits the motor and loses little.
    NullMessageSink quiet;
    const double maxCurrent = LenientReal(fields.Text(C::ESCMaxCurrentEdit), locale, quiet);
    const double resistance = LenientReal(fields.Text(C::ESCResistanceEdit), locale, quiet);
    const bool keep = maxCurrent >= escCurrent && fields.Checked(C::ESCBrushlessCheckBox) == result.brushless &&
                      resistance <= kKeptEscResistance && !TrimText(fields.Text(C::ESCNameEdit)).empty();
    if (!keep) {
        const GenericSpeedControl& esc = result.brushless ? kGenericBrushlessEsc : kGenericHighRateEsc;
        if (services.tableHolds(ComponentTableKind::SpeedControl, esc.name)) {
            services.loadByName(ComponentTableKind::SpeedControl, esc.name);
        } else {
            services.newGroup(ComponentTableKind::SpeedControl);
            ApplyGenericSpeedControl(fields, esc.name, locale);
        }
        fields.SetText(C::MultipleESCsEdit, multipleEscs ? std::to_string(n) : std::string());
    }

    // The plane
    if (planeChanged) {
        fields.SetText(C::AirframeNameEdit, answers.planeName);
        const AirframeDesc& a = settings.airframe;
        if (units.metricDimensions) {
            fields.SetText(C::WingSpanEdit, number(a.WingSpan * kCentimetresPerInch, -1));
            fields.SetText(C::WingAreaEdit, number(a.WingArea * kSquareDecimetresPerSquareInch, -2));
            fields.SetText(C::EmptyWeightEdit, number(a.EmptyWeight * kGramsPerOunce, -1));
        } else {
            fields.SetText(C::WingSpanEdit, number(a.WingSpan, -2));
            fields.SetText(C::WingAreaEdit, number(a.WingArea, -1));
            fields.SetText(C::EmptyWeightEdit, number(a.EmptyWeight, -2));
        }
        fields.SetText(C::AirfoilInfoEdit, std::to_string(EncodeAirfoil(a)));
        fields.SetText(C::DragInfoEdit, std::to_string(EncodeDrag(a)));
    }
    fields.SetText(C::WizardInfoEdit, SaveWizardInfo(answers));
    (void)messages;
    return {settings.ambientTemperature, settings.seaLevelPressure, settings.elevation};
}

void CopyPlaneFromWorkbench(WizardAnswers& a, const WorkbenchFields& fields, const WizardCopySource& source,
                            std::span<const std::string> manufacturers, const NumberLocale& locale) {
    NullMessageSink quiet;
    a.planeName = fields.Text(C::AirframeNameEdit);
    const int series = LenientInt(fields.Text(C::SeriesMotorsEdit), quiet);
    const int parallel = LenientInt(fields.Text(C::ParallelMotorsEdit), quiet);
    const int motors = (series == 0 ? 1 : series) * (parallel == 0 ? 1 : parallel);
    a.motors = motors >= 2 && motors <= 4 ? motors : 1;
    a.wingSpan = fields.Text(C::WingSpanEdit);
    a.wingArea = fields.Text(C::WingAreaEdit);
    a.emptyWeight = fields.Text(C::EmptyWeightEdit);
    a.spanUnit = source.metricDimensions ? SpanUnit::Centimetres : SpanUnit::Inches;
    a.areaUnit = source.metricDimensions ? AreaUnit::SquareDecimetres : AreaUnit::SquareInches;
    a.weightUnit = source.metricDimensions ? WeightUnit::Grams : WeightUnit::Ounces;

    AirframeDesc airframe;
    airframe.AirframeName = a.planeName;
    airframe.AirfoilInfo = LenientInt(fields.Text(C::AirfoilInfoEdit), quiet);
    airframe.DragInfo = LenientInt(fields.Text(C::DragInfoEdit), quiet);
    DeriveAirframe(airframe, false);
    a.airframe = airframe;
    ClassifyAirfoil(airframe, a.airfoil, a.thickness);

    a.specificGear = fields.Text(C::GearRatioFromEdit);
    a.diameter = fields.Text(C::PropellerDiameterFromEdit);
    a.pitch = fields.Text(C::PropellerPitchFromEdit);
    a.propUnit = source.metricPropSizes ? PropSizeUnit::Centimetres : PropSizeUnit::Inches;
    a.elevation = source.elevation;
    a.temperature = source.temperature;
    a.pressure = source.pressure;
    a.elevationUnit = source.metricDimensions ? ElevationUnit::Metres : ElevationUnit::Feet;
    a.temperatureUnit = source.metricTempPress ? TemperatureUnit::Celsius : TemperatureUnit::Fahrenheit;
    a.pressureUnit = source.metricTempPress ? PressureUnit::Kilopascals : PressureUnit::InchesHg;
    ClearMotorRestrictions(a);
    ClearDriveRestrictions(a);
    ClearBatteryRestrictions(a);
    a.motorName = fields.Text(C::MotorNameEdit);
    a.cellName = fields.Text(C::CellNameEdit);
    a.seriesCells = fields.Text(C::NumberOfCellsFromEdit);
    a.parallelCells = fields.Text(C::ParallelCellsFromEdit);
    RestoreWizardInfo(a, fields.Text(C::WizardInfoEdit), manufacturers);
    (void)locale;
}

} // namespace ampvane
