// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/report_layout.h"
#include "common/unit_conversion.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/filter.h"
#include "analysis/measured_drive.h"

namespace ampvane {
namespace {

constexpr char kDegree[] = "\xC2\xB0";

struct ColumnSpec {
    ReportColumn Quantity;
    const char* Header0;
    const char* Imperial;
    const char* Metric;
};

bool ParallelRangeWide(const PlaneDesc& plane) {
    return plane.ParallelCellsTo > plane.ParallelCellsFrom;
}

std::string UpTo(double value, int decimals, const NumberLocale& locale) {
    return FormatNumber(0, -decimals, 0, value, locale);
}

std::string Fixed(double value, int decimals, const NumberLocale& locale) {
    return FormatNumber(0, decimals, 0, value, locale);
}

// More than one value is evaluated from `from` to `to` in steps of `by`.
bool RangeHasSteps(double from, double to, double by) {
    return by > 0 && from + by < to + 0.001;
}

// The largest value evaluated, as the sweep steps it: `to` itself only when a step lands on it.
double LastRangeValue(double from, double to, double by) {
    if (!RangeHasSteps(from, to, by)) return from;
    double last = from;
    for (double value = from + by; value < to + 0.001; value += by) last = value;
    return last;
}

// How each quantity's cells are written.
CellFormat CellFormatOf(ReportColumn quantity, const Report& report) {
    const AnalysisOptions& options = report.Options;
    const bool metric = options.Metric;
    const auto number = [&](int width, int decimals) {
        return CellFormat{CellKind::Number, width, decimals, options.MinDigits, false};
    };
    using C = ReportColumn;
    switch (quantity) {
    case C::Airspeed: return CellFormat{CellKind::Number, 6, 1, 0, false}; // never padded to more digits
    case C::Drag:
    case C::Thrust: return !metric ? number(6, 1) : options.Newtons ? number(6, 2) : number(6, 0);
    case C::Lift:
    case C::Weight: return metric ? number(6, 0) : number(6, 1);
    case C::Cells: return CellFormat{CellKind::Cells, 5, 0, 0, ParallelRangeWide(report.Plane)};
    case C::GearRatio: return number(5, 2);
    case C::Diameter: return number(4, 1);
    case C::RateOfClimb: return metric ? number(5, 2) : number(5, 0);
    case C::MotorRpm:
    case C::DriveRpm: return number(6, 0);
    case C::InputPower:
    case C::InputPowerLoading:
    case C::Loss:
    case C::OutputPower:
    case C::OutputPowerLoading: return number(6, 1);
    case C::RunTime: return CellFormat{CellKind::MinSec, 6, 0, 0, false};
    case C::Pitch:
    case C::BatteryCurrent:
    case C::MotorCurrent:
    case C::MotorVoltage:
    case C::MotorGearboxEfficiency:
    case C::ShaftEfficiency:
    case C::PitchSpeed:
    case C::PropEfficiency:
    case C::TotalEfficiency: break;
    }
    return number(5, 1);
}

} // namespace

double DuctTaperAngle(double fanDiameter, double ductDiameter, double ductLength) {
    if (ductLength == 0) return ductDiameter < fanDiameter ? 90 : 0;
    const double angle = DegreesFromRadians(std::atan((fanDiameter - ductDiameter) / (2 * ductLength)));
    return std::isfinite(angle) ? angle : 0;
}

void LayOutReportColumns(const Report& report, ReportGrid& grid) {
    const ReportFlags& flags = report.Flags;
    const AnalysisOptions& options = report.Options;
    const bool inFlight = report.InFlight();
    const bool propeller = report.Plane.Drive.Kind == PropellerDrive;
    const bool metric = options.Metric;
    const char* force = options.Newtons ? "   (N)" : "   (g)";

    grid.Columns.clear();
    grid.Positions.fill(-1);
    const auto add = [&](ReportColumn quantity, std::string header0, std::string imperial, std::string metricText) {
        ReportGridColumn column;
        column.Quantity = quantity;
        column.Header0 = std::move(header0);
        column.Header1 = metric ? std::move(metricText) : std::move(imperial);
        column.Width = static_cast<int>(column.Header0.size()) + 1;
        grid.Positions[static_cast<int>(quantity)] = static_cast<int>(grid.Columns.size());
        grid.Columns.push_back(std::move(column));
    };
    using C = ReportColumn;
    if (inFlight) {
        add(C::Airspeed, "AirSpd", " (mph)", " (m/s)");
        if (flags.HasDrag) add(C::Drag, "  Drag", "  (oz)", force);
        if (flags.HasCl) add(C::Lift, "  Lift", "  (oz)", "   (g)");
    } else {
        add(C::Cells, "Cells", "     ", "     ");
        if (propeller) {
            add(C::GearRatio, " Gear", "Ratio", "Ratio");
            const bool cm = options.MetricPropSizes;
            add(C::Diameter, "Diam", cm ? "(cm)" : "(in)", cm ? "(cm)" : "(in)");
            add(C::Pitch, "Pitch", cm ? " (cm)" : " (in)", cm ? " (cm)" : " (in)");
        }
        if (flags.HasWeight) add(C::Weight, "Weight", "  (oz)", "   (g)");
    }
    add(C::BatteryCurrent, " Batt", " Amps", " Amps");
    add(C::MotorCurrent, "Motor", " Amps", " Amps");
    add(C::MotorVoltage, "Motor", "Volts", "Volts");
    add(C::InputPower, " Input", "   (W)", "   (W)");
    if (!inFlight && flags.HasWeight) add(C::InputPowerLoading, " InPLd", "(W/lb)", "(W/kg)");
    add(C::Loss, "  Loss", "   (W)", "   (W)");
    add(C::OutputPower, "MGbOut", "   (W)", "   (W)");
    if (!inFlight && flags.HasWeight) add(C::OutputPowerLoading, "OutPLd", "(W/lb)", "(W/kg)");
    add(C::MotorGearboxEfficiency, "MotGb", "Ef(%)", "Ef(%)");
    add(C::ShaftEfficiency, "Shaft", "Ef(%)", "Ef(%)");
    if (flags.ShowMotorRpm) add(C::MotorRpm, " Motor", "   RPM", "   RPM");
    add(C::DriveRpm, propeller ? "  Prop" : "   Fan", "   RPM", "   RPM");
    add(C::Thrust, "Thrust", "  (oz)", force);
    add(C::PitchSpeed, propeller ? " PSpd" : "Efflx", "(mph)", "(m/s)");
    if (!inFlight && flags.HasWeight && flags.HasWing) add(C::RateOfClimb, " RofC", "(fpm)", "(m/s)");
    if (inFlight && propeller) {
        add(C::PropEfficiency, " Prop", "Ef(%)", "Ef(%)");
        add(C::TotalEfficiency, "Total", "Ef(%)", "Ef(%)");
    }
    add(C::RunTime, "  Time", " (m:s)", " (m:s)");

    for (ReportGridColumn& column : grid.Columns)
        if (!report.Settings.ColumnsShown[static_cast<int>(column.Quantity)]) column.Width = -1;

    for (ReportGridColumn& column : grid.Columns) column.Format = CellFormatOf(column.Quantity, report);
    grid.Rows.SetColumns(static_cast<int>(grid.Columns.size()));

    ReportGridColumn sequence;
    sequence.Sequence = true;
    sequence.Width = -1;
    sequence.Format.Kind = CellKind::Sequence;
    grid.SequenceColumn = static_cast<int>(grid.Columns.size());
    grid.Columns.push_back(sequence);
}

void StoreReportRow(const Report& report, const ReportRowValues& v, ReportRows& rows, std::size_t r) {
    const ReportGrid& grid = report.Grid;
    const AnalysisOptions& options = report.Options;
    const NumberLocale& locale = report.Settings.Locale;
    const PlaneDesc& plane = report.Plane;
    const bool metric = options.Metric;

    const std::span<double> numbers = rows.Numbers(r);
    std::fill(numbers.begin(), numbers.end(), 0.0); // columns this row has no value for read 0
    const auto put = [&](ReportColumn quantity, double value) {
        const int column = grid.Position(quantity);
        if (column >= 0 && column < static_cast<int>(numbers.size())) numbers[column] = value;
    };
    const auto force = [&](ReportColumn quantity, double ounces) {
        put(quantity, !metric ? ounces : options.Newtons ? ounces * kNewtonsPerOunce : ounces * kGramsPerOunce);
    };
    const auto weight = [&](ReportColumn quantity, double ounces) {
        put(quantity, metric ? ounces * kGramsPerOunce : ounces);
    };
    const auto loading = [&](ReportColumn quantity, double watts) {
        const double perOunce = v.TotalWeight > 0 ? watts / v.TotalWeight : 0;
        put(quantity, perOunce * (metric ? kOuncesPerKilogram : kOuncesPerPound));
    };
    const double lengthScale = options.MetricPropSizes ? kCentimetresPerInch : 1;
    const double speedScale = metric ? kMetresPerSecondPerMph : 1;
    using C = ReportColumn;

    put(C::Airspeed, v.Airspeed * speedScale);
    force(C::Drag, v.Drag);
    weight(C::Lift, v.Lift);
    put(C::Cells, v.SeriesCells);
    rows.SetParallelCells(r, static_cast<std::uint32_t>(std::max(0, v.ParallelCells)));
    put(C::GearRatio, v.GearRatio);
    put(C::Diameter, v.Diameter * lengthScale);
    put(C::Pitch, v.Pitch * lengthScale);
    weight(C::Weight, v.TotalWeight);
    put(C::BatteryCurrent, v.BatteryCurrent);
    put(C::MotorCurrent, v.MotorCurrent);
    put(C::MotorVoltage, v.MotorVoltage);
    put(C::InputPower, v.InputPower);
    loading(C::InputPowerLoading, v.InputPower);
    put(C::Loss, v.Loss);
    put(C::OutputPower, v.OutputPower);
    loading(C::OutputPowerLoading, v.OutputPower);
    put(C::MotorGearboxEfficiency, v.MotorGearboxEfficiency);
    put(C::ShaftEfficiency, v.ShaftEfficiency);
    put(C::MotorRpm, v.MotorRpm);
    put(C::DriveRpm, v.DriveRpm);
    force(C::Thrust, v.Thrust);
    put(C::PitchSpeed, v.PitchSpeed * speedScale);
    put(C::RateOfClimb, metric ? v.RateOfClimb * kMetresPerSecondPerFootPerMinute : v.RateOfClimb);
    put(C::PropEfficiency, v.PropEfficiency);
    put(C::TotalEfficiency, v.TotalEfficiency);
    put(C::RunTime, v.RunTime);

    // A cell read back as the number it shows.
    CellBuffer cell;
    const auto shown = [&](int column) {
        const CellFormat& format = grid.Columns[column].Format;
        if (const auto key = CellSortKey(format, numbers[column], locale.decimal, locale.timeSeparator)) return *key;
        return ReportSortKey(CellText(format, numbers[column], rows.ParallelCells(r), locale, cell),
                             locale.timeSeparator);
    };
    RowBackground background = RowBackground::Plain;
    bool propStalled = false;
    // Colours, from the values as the cells show them.
    const bool propeller = plane.Drive.Kind == PropellerDrive;
    if (report.InFlight()) {
        const int airspeedColumn = grid.Position(C::Airspeed);
        const double airspeed = airspeedColumn >= 0 ? shown(airspeedColumn) : 0;
        // Imperial rows step by 1 mph, metric ones by 0.5 m/s: compare in those steps.
        const auto steps = [&](double mph) {
            return metric ? std::nearbyint(mph * kMetresPerSecondPerMph * 2) : std::nearbyint(mph);
        };
        const double rowSteps = metric ? std::nearbyint(airspeed * 2) : std::nearbyint(airspeed);
        if (report.Flags.HasStall && rowSteps <= steps(grid.StallSpeed)) background = RowBackground::BelowStall;
        if (grid.Markers[1].Enabled && rowSteps == steps(grid.Markers[1].Speed))
            background = RowBackground::LevelFlightOpt;
        if (grid.Markers[2].Enabled && rowSteps == steps(grid.Markers[2].Speed))
            background = RowBackground::LevelFlight;
        if (propeller) {
            const int rpmColumn = grid.Position(C::DriveRpm);
            const double rpm = rpmColumn >= 0 ? shown(rpmColumn) : v.DriveRpm;
            const double mph = metric ? airspeed / kMetresPerSecondPerMph : airspeed;
            const double advance = mph / (rpm * kMphPerInchPerMinute);
            const double diameter = std::min(plane.Drive.DiameterFrom(), plane.Drive.DiameterTo());
            const double pitch = std::min(plane.Drive.PitchFrom(), plane.Drive.PitchTo());
            propStalled = rpm > 0 && (pitch - advance) * 1.5 > diameter;
        }
    } else if (propeller) {
        const int d = grid.Position(C::Diameter), p = grid.Position(C::Pitch);
        const double diameter = d >= 0 ? shown(d) : v.Diameter;
        const double pitch = p >= 0 ? shown(p) : v.Pitch;
        propStalled = diameter < 1.5 * pitch;
    }
    rows.SetMarks(r, background, propStalled);
}

std::string ReportCaption(const std::string& projectName, bool inFlight, double throttlePercent) {
    std::string caption = (inFlight ? "In-flight Analysis - " : "Static Analysis - ") + projectName;
    if (throttlePercent < 100) {
        caption += " at " + std::to_string(static_cast<int>(std::nearbyint(throttlePercent))) + "% Throttle";
    }
    return caption;
}

std::string ReportConditionLine(const AnalysisOptions& options, const NumberLocale& locale) {
    std::string line;
    const double elevation = options.Elevation;
    if (elevation == 0 || !std::isfinite(elevation)) {
        line = "Sea Level";
    } else {
        const double height = std::fabs(elevation);
        line = options.Metric ? UpTo(height, 1, locale) + "m" : Fixed(height, 0, locale) + "ft";
        line += elevation > 0 ? " above Sea Level" : " below Sea Level";
    }
    line += ", ";
    if (options.MetricTempPress) {
        line += Fixed(options.Pressure, 1, locale) + "kPa, ";
        line += UpTo(options.Temperature, 1, locale) + kDegree + "C";
    } else {
        line += Fixed(options.Pressure, 2, locale) + "inHg, ";
        line += Fixed(options.Temperature, 0, locale) + kDegree + "F";
    }
    return line;
}

void CompactDescriptionLines(std::array<std::string, 8>& lines) {
    const auto takeFrom = [&](int index) {
        for (int i = index; i < 7; ++i) lines[i] = lines[i + 1];
        lines[7].clear();
    };
    if (lines[6].empty()) takeFrom(6);
    if (lines[5].empty()) takeFrom(5);
    if (lines[4].empty()) takeFrom(4);
}

namespace {

std::string MotorLine(const PlaneDesc& plane, const NumberLocale& locale) {
    const MotorDesc8& m = plane.Motor;
    std::string line = "Motor: ";
    if (!m.MotorName.empty()) line += m.MotorName + "; ";
    line += Fixed(m.MotorConstant, 0, locale) + "rpm/V; ";
    line += UpTo(m.IdleCurrent, 3, locale) + "A no-load; ";
    line += UpTo(m.ArmatureResistance, 4, locale) + " Ohms.";
    return line;
}

std::string BatteryLine(const PlaneDesc& plane, const NumberLocale& locale) {
    const CellDesc8& c = plane.Cell;
    std::string line = "Battery: " + c.CellName;
    if (c.CRating > 0) line += " (" + UpTo(c.CRating, 1, locale) + "C)";
    if (line.size() > std::string("Battery: ").size()) line += "; ";
    line += std::to_string(c.SeriesCellsFrom);
    if (c.SeriesCellsTo != c.SeriesCellsFrom) line += " to " + std::to_string(c.SeriesCellsTo);
    if (plane.ParallelCellsTo > 1) {
        line += " series x " + std::to_string(plane.ParallelCellsFrom);
        if (plane.ParallelCellsTo != plane.ParallelCellsFrom) line += " to " + std::to_string(plane.ParallelCellsTo);
        line += " parallel";
    }
    line += " cell";
    if (static_cast<long long>(c.SeriesCellsTo) * plane.ParallelCellsTo > 1) line += "s";
    line += "; " + Fixed(c.Capacity, 0, locale) + "mAh @ " + UpTo(c.Voltage, 2, locale) + "V; ";
    line += UpTo(c.Resistance, 4, locale) + " Ohms/cell.";
    return line;
}

std::string SpeedControlLine(const PlaneDesc& plane, const NumberLocale& locale) {
    std::string line = "Speed Control: ";
    if (!plane.ESC.ESCName.empty()) line += plane.ESC.ESCName + "; ";
    if (plane.NumberOfESCs > 1) line += std::to_string(plane.NumberOfESCs) + " controls (separate); ";
    line += UpTo(plane.ESC.Resistance, 4, locale) + " Ohms; ";
    line += plane.ESC.HighRate ? "High rate." : "Low rate.";
    return line;
}

std::string DriveLine(const PlaneDesc& plane, const AnalysisOptions& options, const NumberLocale& locale) {
    const DriveSystemDesc& d = plane.Drive;
    std::string line = "Drive System: ";
    if (!d.DriveName.empty()) line += d.DriveName + "; ";
    const int motors = plane.SeriesMotors * plane.ParallelMotors;
    if (motors > 1) {
        line += std::to_string(motors) + " motors (";
        if (plane.SeriesMotors > 1 && plane.ParallelMotors < 2)
            line += "series";
        else if (plane.SeriesMotors > 1 && plane.ParallelMotors > 1)
            line += std::to_string(plane.SeriesMotors) + " series by " + std::to_string(plane.ParallelMotors) +
                    " parallel";
        else
            line += "parallel";
        line += "); ";
    }
    if (d.Kind == PropellerDrive) {
        const int props = plane.NumberOfProps;
        if (props != motors && props > 0 && motors > 0) {
            line += props < motors ? std::to_string(motors / props) + " motors/prop"
                                   : std::to_string(props / motors) + " props/motor";
            line += "; ";
        }
        const double scale = options.MetricPropSizes ? kCentimetresPerInch : 1;
        line += UpTo(d.DiameterFrom() * scale, 1, locale) + "x" + UpTo(d.PitchFrom() * scale, 1, locale) + " ";
        if (RangeHasSteps(d.DiameterFrom(), d.DiameterTo(), d.DiameterBy()) ||
            RangeHasSteps(d.PitchFrom(), d.PitchTo(), d.PitchBy()))
            line += "to " + UpTo(LastRangeValue(d.DiameterFrom(), d.DiameterTo(), d.DiameterBy()) * scale, 1, locale) +
                    "x" + UpTo(LastRangeValue(d.PitchFrom(), d.PitchTo(), d.PitchBy()) * scale, 1, locale) + " ";
        if (d.Blades != 2) line += std::to_string(d.Blades) + "-bladed ";
        if (d.Measured)
            line += "(" + MeasuredPropellerNote(d) + ") ";
        else
            line += "(Pconst=" + UpTo(d.PropConstant() * 1.31, 2, locale) + "; Tconst=" +
                    UpTo(d.ThrustConstant(), 3, locale) + ") ";
        if (d.GearRatioFrom() != 1 || d.GearRatioTo() != 1) {
            line += "geared " + UpTo(d.GearRatioFrom(), 2, locale) + ":1";
            if (RangeHasSteps(d.GearRatioFrom(), d.GearRatioTo(), d.GearRatioBy()))
                line += " to " + UpTo(LastRangeValue(d.GearRatioFrom(), d.GearRatioTo(), d.GearRatioBy()), 2, locale) +
                        ":1";
            line += " (Eff=" + Fixed(d.GearboxEfficiency() * 100, 0, locale) + "%)";
        } else {
            line += "direct drive";
        }
    } else {
        const bool metric = options.Metric;
        const double scale = metric ? kCentimetresPerInch : 1;
        const int decimals = metric ? 1 : 2;
        line += UpTo(d.FanDiameter() * scale, decimals, locale) + "x" + UpTo(d.FanPitch() * scale, decimals, locale) +
                " (" + UpTo(d.HubDiameter() * scale, decimals, locale) + (metric ? "cm hub); " : "in hub); ");
        line += "(Pcoeff=" + UpTo(d.FanPowerCoeff(), 3, locale) + "; Tcoeff=" + UpTo(d.FanThrustCoeff(), 3, locale) +
                ")";
    }
    return line + ".";
}

std::string DuctingLine(const PlaneDesc& plane, const AnalysisOptions& options, const NumberLocale& locale,
                        bool& red) {
    const DriveSystemDesc& d = plane.Drive;
    red = false;
    if (d.Kind != FanDrive || !(d.IntakeLength() > 0 || d.ExhaustLength() > 0)) return {};
    const bool metric = options.Metric;
    const double scale = metric ? kCentimetresPerInch : 1;
    const int decimals = metric ? 1 : 2;
    const char* unit = metric ? "cm" : "in";
    const auto part = [&](double diameter, double length, const char* end) {
        return UpTo(diameter * scale, decimals, locale) + unit + " D x " + UpTo(length * scale, decimals, locale) +
               unit + " L (" + UpTo(DuctTaperAngle(d.FanDiameter(), diameter, length), 1, locale) + kDegree +
               " taper) " + end;
    };
    std::string line = "Ducting: ";
    if (d.IntakeLength() > 0) line += part(d.IntakeDiameter(), d.IntakeLength(), "intake");
    if (d.IntakeLength() > 0 && d.ExhaustLength() > 0) line += "; ";
    if (d.ExhaustLength() > 0) line += part(d.ExhaustDiameter(), d.ExhaustLength(), "exhaust");
    red = DuctTaperAngle(d.FanDiameter(), d.IntakeDiameter(), d.IntakeLength()) > 5.01;
    return line + ".";
}

std::string AirframeLine(const Report& report, double lightWeight, const NumberLocale& locale) {
    const PlaneDesc& plane = report.Plane;
    const AirframeDesc& a = plane.Airframe;
    const ReportFlags& flags = report.Flags;
    const bool metric = report.Options.Metric;
    const double heavyWeight = report.Grid.MaxTotalWeight;
    std::string parts;
    if (!a.AirframeName.empty()) parts += "; " + a.AirframeName;
    if (flags.HasWing) {
        parts += metric ? "; " + UpTo(a.WingArea * kSquareDecimetresPerSquareInch, 1, locale) + "dm\xC2\xB2"
                        : "; " + Fixed(a.WingArea, 0, locale) + "sq.in";
    }
    const auto range = [&](double light, double heavy, int decimals, const char* unit) {
        std::string text = UpTo(light, decimals, locale);
        if (heavy != light) text += " to " + UpTo(heavy, decimals, locale);
        return text + unit;
    };
    if (flags.HasWeight) {
        parts += "; " + (metric ? range(lightWeight * kGramsPerOunce, heavyWeight * kGramsPerOunce, 0, "g")
                                : range(lightWeight, heavyWeight, 1, "oz RTF"));
    }
    if (flags.HasWingLoading) {
        const auto loading = [&](double w) {
            return metric ? w * kGramsPerOunce / (a.WingArea * kSquareDecimetresPerSquareInch) : w / (a.WingArea / kSquareInchesPerSquareFoot);
        };
        // A wing area just above zero is accepted as typed, but its loading overflows; no figure is
        // better than an infinite one.
        const double light = loading(lightWeight), heavy = loading(heavyWeight);
        if (std::isfinite(light) && std::isfinite(heavy))
            parts += "; " + range(light, heavy, 1, metric ? "g/dm\xC2\xB2" : "oz/sq.ft");
    }
    if (a.ClOpt > 0 && flags.HasWing) {
        parts += "; Cd=" + UpTo(a.Cd, 3, locale) + "; Cl=" + UpTo(a.Cl, 2, locale) + "; Clopt=" +
                 UpTo(a.ClOpt, 2, locale) + "; Clmax=" + UpTo(a.ClMax, 2, locale);
    }
    if (parts.empty()) return {};
    return "Airframe: " + parts.substr(2) + ".";
}

} // namespace

void DescribeReport(const Report& report, ReportGrid& grid) {
    const PlaneDesc& plane = report.Plane;
    const NumberLocale& locale = report.Settings.Locale;
    const double lightWeight = report.Flags.HasWeight
                                   ? TotalWeight(plane, plane.Cell.SeriesCellsFrom, plane.ParallelCellsFrom)
                                   : 0;
    grid.Description[0] = MotorLine(plane, locale);
    grid.Description[1] = BatteryLine(plane, locale);
    grid.Description[2] = SpeedControlLine(plane, locale);
    grid.Description[3] = DriveLine(plane, report.Options, locale);
    grid.Description[4] = DuctingLine(plane, report.Options, locale, grid.DuctingLineRed);
    grid.Description[5] = AirframeLine(report, lightWeight, locale);
    grid.Description[6] = DescribeFilter(plane, report.Options, locale);

    grid.Note = HeatingNote{};
    if (report.Options.AccountForHeating && plane.Motor.Weight > 0) grid.Note.Middle = " ";

    const bool inFlight = report.InFlight();
    const AirframeDesc& a = plane.Airframe;
    grid.StallKeyLabel = "Stall Speed @ Clmax=" + UpTo(a.ClMax, 2, locale);
    grid.LevelOptKeyLabel = "Level Flight @ Clopt=" + UpTo(a.ClOpt, 2, locale);
    grid.LevelKeyLabel = "Level Flight @ Cl=" + UpTo(a.Cl, 2, locale);
    grid.ShowStallKey = inFlight && report.Flags.HasStall;
    grid.ShowLevelOptKey = inFlight && grid.Markers[1].Enabled;
    grid.ShowLevelKey = inFlight && grid.Markers[2].Enabled;
    grid.ShowPropStalledKey = plane.Drive.Kind == PropellerDrive;
}

} // namespace ampvane
