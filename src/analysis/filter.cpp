// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/filter.h"
#include "common/unit_conversion.h"

namespace ampvane {

bool PassesFilter(const PlaneDesc& plane, int parallelCells, double diameter, double pitch, int runTime,
                  double pitchSpeedMargin, double thrust, double motorRpm, double motorGearboxEfficiency,
                  double /*motorTemperature*/, double loss, double motorCurrent) {
    if (!plane.UseFilter) return true;
    const FilterDesc& f = plane.Filter;
    const double Pm = plane.ParallelMotors;
    const double Sm = plane.SeriesMotors;
    if (f.MaxCurrent > 0 && motorCurrent / Pm > f.MaxCurrent) return false;
    if (f.MaxPowerLoss > 0 && loss / (Pm * Sm) > f.MaxPowerLoss) return false;
    if (f.MinEfficiency > 0 && motorGearboxEfficiency < f.MinEfficiency) return false;
    if (f.MaxMotorRPM > 0 && motorRpm > f.MaxMotorRPM) return false;
    if (f.MinThrust > 0 && thrust < f.MinThrust) return false;
    if (f.MinSpeed > 0 && pitchSpeedMargin < f.MinSpeed) return false;
    if (f.MaxSpeed > 0 && pitchSpeedMargin > f.MaxSpeed) return false;
    if (f.MinRunTime > 0 && runTime < f.MinRunTime) return false;
    if (f.MaxPitchRatio > 0 && f.MaxPitchRatio * diameter < pitch) return false;
    if (plane.ESC.MaxCurrent > 0 && motorCurrent / plane.NumberOfESCs > plane.ESC.MaxCurrent) return false;
    if (plane.Cell.CRating > 0 && plane.Cell.CRating * plane.Cell.Capacity * 0.001 < motorCurrent / parallelCells)
        return false;
    return true;
}

std::string DescribeFilter(const PlaneDesc& plane, const AnalysisOptions& options, const NumberLocale& locale) {
    if (!plane.UseFilter) return {};
    const FilterDesc& f = plane.Filter;
    const auto number = [&](double value, int decimals) { return FormatNumber(0, decimals, 0, value, locale); };
    std::string parts;
    if (f.MaxCurrent > 0) parts += number(f.MaxCurrent, -1) + "A max (per Motor); ";
    if (plane.ESC.MaxCurrent > 0) parts += number(plane.ESC.MaxCurrent, -1) + "A max (per ESC); ";
    if (plane.Cell.CRating > 0)
        parts += number(plane.Cell.CRating * plane.Cell.Capacity * 0.001, -1) + "A max (per parallel Battery); ";
    if (f.MaxPowerLoss > 0) parts += number(f.MaxPowerLoss, -1) + "W max loss; ";
    if (f.MinEfficiency > 0) parts += number(f.MinEfficiency, -1) + "% min efficiency; ";
    if (f.MaxMotorRPM > 0) parts += number(f.MaxMotorRPM, 0) + "rpm max; ";
    if (f.MinThrust > 0) {
        if (!options.Metric)
            parts += number(f.MinThrust, -1) + "oz min thrust; ";
        else if (options.Newtons)
            parts += number(f.MinThrust * kNewtonsPerOunce, -2) + "N min thrust; ";
        else
            parts += number(f.MinThrust * kGramsPerOunce, 0) + "g min thrust; ";
    }
    if (f.MinSpeed > 0 || f.MaxSpeed > 0) {
        const double scale = options.Metric ? kMetresPerSecondPerMph : 1;
        const int decimals = options.Metric ? -1 : 0;
        const std::string unit = options.Metric ? "m/s" : "mph";
        const std::string low = number(f.MinSpeed * scale, decimals);
        const std::string high = number(f.MaxSpeed * scale, decimals);
        if (f.MinSpeed > 0 && f.MaxSpeed > 0)
            parts += low + " to " + high + unit + "; ";
        else if (f.MinSpeed > 0)
            parts += low + unit + " min; ";
        else
            parts += high + unit + " max; ";
    }
    if (f.MinRunTime > 0) parts += number(f.MinRunTime, 0) + "sec min; ";
    if (f.MaxPitchRatio > 0) parts += number(f.MaxPitchRatio, -3) + " max pitch:diam; ";
    if (parts.empty()) return "Filter: .";
    parts.resize(parts.size() - 2);
    return "Filter: " + parts + ".";
}

} // namespace ampvane
