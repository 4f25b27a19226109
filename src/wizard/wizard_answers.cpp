// SPDX-License-Identifier: GPL-3.0-or-later
#include "wizard/wizard_answers.h"

#include <cmath>
#include <cstdlib>
#include <tuple>

namespace ampvane {

std::string_view LevelCaption(WizardLevel level) {
    static constexpr std::string_view kCaptions[] = {"Sedate", "Trainer", "Sport", "Race",
                                                     "Aerobatic", "3D Aerobatic", "Sailplane", "Hotliner"};
    return kCaptions[static_cast<int>(level)];
}
std::string_view FlyingTimeCaption(WizardFlyingTime time) {
    static constexpr std::string_view kCaptions[] = {"4 min", "6 min", "9 min", "13 min", "20 min", "30 min"};
    return kCaptions[static_cast<int>(time)];
}
std::string_view AirfoilCaption(WizardAirfoil airfoil) {
    static constexpr std::string_view kCaptions[] = {"Undercambered",    "Flat Bottomed", "Semi Symmetrical",
                                                     "Symmetrical",      "Flat Plate",    "Cambered Plate"};
    return kCaptions[static_cast<int>(airfoil)];
}
std::string_view ThicknessCaption(WizardThickness thickness) {
    static constexpr std::string_view kCaptions[] = {"Very Thin", "Thin", "Medium", "Thick"};
    return kCaptions[static_cast<int>(thickness)];
}
std::string_view MotorChoiceCaption(WizardMotorChoice choice) {
    static constexpr std::string_view kCaptions[] = {"Brushed or Brushless", "Brushed Only", "Brushless Only",
                                                     "Brushless Out-runner Only", "Specific Motor"};
    return kCaptions[static_cast<int>(choice)];
}
std::string_view DriveChoiceCaption(WizardDriveChoice choice) {
    static constexpr std::string_view kCaptions[] = {"Direct Drive or Geared", "Direct Drive Only", "Geared Only",
                                                     "Specific Gear Ratio"};
    return kCaptions[static_cast<int>(choice)];
}
std::string_view SizeChoiceCaption(WizardSizeChoice choice) {
    static constexpr std::string_view kCaptions[] = {"Any Size", "Specific Size", "Maximum Size"};
    return kCaptions[static_cast<int>(choice)];
}
std::string_view BatteryChoiceCaption(WizardBatteryChoice choice) {
    static constexpr std::string_view kCaptions[] = {"Any Battery Type", "NiCd Only",
                                                     "NiMH Only",        "NiCd or NiMH",
                                                     "Lithium Polymer Only", "Specific Battery"};
    return kCaptions[static_cast<int>(choice)];
}
std::string_view UnitCaption(SpanUnit unit) {
    static constexpr std::string_view kCaptions[] = {"in", "ft", "cm"};
    return kCaptions[static_cast<int>(unit)];
}
std::string_view UnitCaption(AreaUnit unit) {
    static constexpr std::string_view kCaptions[] = {"sq.in", "sq.ft", "dm ²"};
    return kCaptions[static_cast<int>(unit)];
}
std::string_view UnitCaption(WeightUnit unit) {
    static constexpr std::string_view kCaptions[] = {"oz", "lb", "g"};
    return kCaptions[static_cast<int>(unit)];
}
std::string_view UnitCaption(ElevationUnit unit) { return unit == ElevationUnit::Feet ? "ft" : "m"; }
std::string_view UnitCaption(PressureUnit unit) { return unit == PressureUnit::InchesHg ? "inHg" : "kPa"; }
std::string_view UnitCaption(TemperatureUnit unit) { return unit == TemperatureUnit::Fahrenheit ? "°F" : "°C"; }
std::string_view UnitCaption(PropSizeUnit unit) { return unit == PropSizeUnit::Inches ? "in" : "cm"; }

std::span<const MaxCellsEntry> MaxCellsEntries() {
    static constexpr MaxCellsEntry kEntries[] = {
        {"Any Number", 36, 12},           {"7 NiCd/NiMH or 2 LiPo", 7, 2},  {"8 NiCd/NiMH or 3 LiPo", 8, 3},
        {"10 NiCd/NiMH or 3 LiPo", 10, 3}, {"12 NiCd/NiMH or 4 LiPo", 12, 4}, {"14 NiCd/NiMH or 5 LiPo", 14, 5},
        {"18 NiCd/NiMH or 6 LiPo", 18, 6}, {"24 NiCd/NiMH or 8 LiPo", 24, 8},
    };
    return kEntries;
}

bool operator==(const WizardAnswers& a, const WizardAnswers& b) {
    const auto answers = [](const WizardAnswers& x) {
        return std::tie(x.planeName, x.motors, x.level, x.flyingTime, x.wingSpan, x.wingArea, x.emptyWeight, x.spanUnit,
                        x.areaUnit, x.weightUnit, x.airfoil, x.thickness, x.elevation, x.pressure, x.temperature,
                        x.elevationUnit, x.pressureUnit, x.temperatureUnit, x.advancedShown, x.motorChoice,
                        x.manufacturer, x.motorName, x.drive, x.specificGear, x.size, x.diameter, x.pitch, x.propUnit,
                        x.battery, x.maxCellsIndex, x.cellName, x.seriesCells, x.parallelCells, x.airframe.AirframeName,
                        x.airframe.AirfoilInfo, x.airframe.DragInfo);
    };
    return answers(a) == answers(b);
}

void ClearMotorRestrictions(WizardAnswers& answers) {
    answers.motorChoice = WizardMotorChoice::BrushedOrBrushless;
    answers.manufacturer = std::string(kAnyManufacturer);
}
void ClearDriveRestrictions(WizardAnswers& answers) {
    answers.drive = WizardDriveChoice::DirectOrGeared;
    answers.size = WizardSizeChoice::AnySize;
}
void ClearBatteryRestrictions(WizardAnswers& answers) {
    answers.maxCellsIndex = 0;
    answers.battery = WizardBatteryChoice::AnyType;
}

void ClearWizardAnswers(WizardAnswers& answers, bool metricDimensions, bool metricTempPress) {
    answers.planeName.clear();
    answers.motors = 1;
    answers.level = WizardLevel::Trainer;
    answers.flyingTime = WizardFlyingTime::Min9;
    answers.wingSpan.clear();
    answers.wingArea.clear();
    answers.emptyWeight.clear();
    answers.spanUnit = metricDimensions ? SpanUnit::Centimetres : SpanUnit::Inches;
    answers.areaUnit = metricDimensions ? AreaUnit::SquareDecimetres : AreaUnit::SquareInches;
    answers.weightUnit = metricDimensions ? WeightUnit::Grams : WeightUnit::Ounces;
    answers.airfoil = WizardAirfoil::FlatBottomed;
    answers.thickness = WizardThickness::Medium;
    answers.elevation.clear();
    answers.temperature.clear();
    answers.pressure.clear();
    answers.elevationUnit = metricDimensions ? ElevationUnit::Metres : ElevationUnit::Feet;
    answers.temperatureUnit = metricTempPress ? TemperatureUnit::Celsius : TemperatureUnit::Fahrenheit;
    answers.pressureUnit = metricTempPress ? PressureUnit::Kilopascals : PressureUnit::InchesHg;
    ClearDriveRestrictions(answers);
    ClearMotorRestrictions(answers);
    ClearBatteryRestrictions(answers);
}

void ClassifyAirfoil(const AirframeDesc& airframe, WizardAirfoil& airfoil, WizardThickness& thickness) {
    const double t = airframe.Thickness;
    if (airframe.FlatPlate) {
        airfoil = airframe.Camber < 0.01 ? WizardAirfoil::FlatPlate : WizardAirfoil::CamberedPlate;
        thickness = t < 0.028 ? WizardThickness::VeryThin
                    : t < 0.049 ? WizardThickness::Thin
                    : t < 0.069 ? WizardThickness::Medium
                                : WizardThickness::Thick;
        return;
    }
    const double ratio = t > 0 ? airframe.Camber / t : 0;
    airfoil = ratio < 0.1    ? WizardAirfoil::Symmetrical
              : ratio < 0.25 ? WizardAirfoil::SemiSymmetrical
              : ratio < 0.36 ? WizardAirfoil::FlatBottomed
                             : WizardAirfoil::Undercambered;
    thickness = t < 0.075  ? WizardThickness::VeryThin
                : t < 0.1   ? WizardThickness::Thin
                : t < 0.145 ? WizardThickness::Medium
                            : WizardThickness::Thick;
}

void AirfoilFromAnswers(WizardAirfoil airfoil, WizardThickness thickness, AirframeDesc& airframe) {
    static constexpr double kPlate[] = {0.02, 0.04, 0.06, 0.08};
    static constexpr double kOther[] = {0.06, 0.09, 0.12, 0.18};
    const int k = static_cast<int>(thickness);
    const bool plate = airfoil == WizardAirfoil::FlatPlate || airfoil == WizardAirfoil::CamberedPlate;
    airframe.FlatPlate = plate;
    airframe.Thickness = plate ? kPlate[k] : kOther[k];
    auto camber = [&](double factor) { return std::nearbyint(airframe.Thickness * factor * 200) / 200; };
    switch (airfoil) {
    case WizardAirfoil::FlatPlate: airframe.Camber = 0; break;
    case WizardAirfoil::CamberedPlate: airframe.Camber = 0.04; break;
    case WizardAirfoil::Undercambered: airframe.Camber = camber(0.6); break;
    case WizardAirfoil::FlatBottomed: airframe.Camber = camber(0.333); break;
    case WizardAirfoil::SemiSymmetrical: airframe.Camber = camber(0.2); break;
    case WizardAirfoil::Symmetrical: airframe.Camber = 0; break;
    }
}

// ---- WIZARDINFO ----

namespace {

enum class ComponentKind { Radio, Combo };
struct InfoComponent {
    int tag;
    ComponentKind kind;
};

// The tagged components in the window's creation order.
constexpr InfoComponent kComponents[] = {
    {1, ComponentKind::Radio},  {2, ComponentKind::Radio},  {3, ComponentKind::Radio},  {4, ComponentKind::Radio},
    {5, ComponentKind::Radio},  {6, ComponentKind::Radio},  {7, ComponentKind::Radio},  {8, ComponentKind::Radio},
    {9, ComponentKind::Radio},  {10, ComponentKind::Radio}, {11, ComponentKind::Radio}, {12, ComponentKind::Radio},
    {13, ComponentKind::Radio}, {14, ComponentKind::Radio}, {wizard_tag::kManufacturer, ComponentKind::Combo},
    {20, ComponentKind::Radio}, {21, ComponentKind::Radio}, {22, ComponentKind::Radio},
    {wizard_tag::kOutrunnerOnly, ComponentKind::Radio},     {23, ComponentKind::Radio},
    {24, ComponentKind::Radio}, {25, ComponentKind::Radio}, {26, ComponentKind::Radio}, {27, ComponentKind::Radio},
    {28, ComponentKind::Radio}, {29, ComponentKind::Radio}, {wizard_tag::kMaximumSize, ComponentKind::Radio},
    {wizard_tag::kMaxCells, ComponentKind::Combo},
    {30, ComponentKind::Radio}, {31, ComponentKind::Radio}, {32, ComponentKind::Radio}, {33, ComponentKind::Radio},
    {34, ComponentKind::Radio}, {35, ComponentKind::Radio},
};
constexpr int kComponentCount = static_cast<int>(std::size(kComponents));

int MotorTag(WizardMotorChoice choice) {
    static constexpr int kTags[] = {20, 21, 22, wizard_tag::kOutrunnerOnly, 23};
    return kTags[static_cast<int>(choice)];
}
int SizeTag(WizardSizeChoice choice) {
    static constexpr int kTags[] = {28, 29, wizard_tag::kMaximumSize};
    return kTags[static_cast<int>(choice)];
}

bool RadioChecked(const WizardAnswers& a, int tag) {
    if (tag >= 1 && tag <= 8) return static_cast<int>(a.level) == tag - 1;
    if (tag >= 9 && tag <= 14) return static_cast<int>(a.flyingTime) == tag - 9;
    if (tag >= 24 && tag <= 27) return static_cast<int>(a.drive) == tag - 24;
    if (tag >= 30 && tag <= 35) return static_cast<int>(a.battery) == tag - 30;
    return MotorTag(a.motorChoice) == tag || SizeTag(a.size) == tag;
}

void CheckRadio(WizardAnswers& a, int tag) {
    if (tag >= 1 && tag <= 8) a.level = static_cast<WizardLevel>(tag - 1);
    else if (tag >= 9 && tag <= 14) a.flyingTime = static_cast<WizardFlyingTime>(tag - 9);
    else if (tag >= 20 && tag <= 23) a.motorChoice = static_cast<WizardMotorChoice>(tag == 23 ? 4 : tag - 20);
    else if (tag == wizard_tag::kOutrunnerOnly) a.motorChoice = WizardMotorChoice::OutrunnerOnly;
    else if (tag >= 24 && tag <= 27) a.drive = static_cast<WizardDriveChoice>(tag - 24);
    else if (tag == 28 || tag == 29) a.size = static_cast<WizardSizeChoice>(tag - 28);
    else if (tag == wizard_tag::kMaximumSize) a.size = WizardSizeChoice::MaximumSize;
    else if (tag >= 30 && tag <= 35) a.battery = static_cast<WizardBatteryChoice>(tag - 30);
}

// The first character from '"' to '~', other than '-', a digit or ';', that the text lacks.
std::optional<char> Delimiter(std::string_view text) {
    for (char c = '"'; c <= '~'; ++c) {
        if (c == '-' || c == ';' || (c >= '0' && c <= '9')) continue;
        if (text.find(c) == std::string_view::npos) return c;
    }
    return std::nullopt;
}

} // namespace

std::string SaveWizardInfo(const WizardAnswers& answers) {
    std::string out;
    for (const InfoComponent& component : kComponents) {
        if (component.kind == ComponentKind::Radio) {
            if (RadioChecked(answers, component.tag)) out += std::to_string(component.tag) + ";";
        } else if (component.tag > 0) {
            out += std::to_string(component.tag) + "!" + std::to_string(answers.maxCellsIndex) + "!";
        } else if (const auto delimiter = Delimiter(answers.manufacturer)) {
            out += std::to_string(-component.tag) + *delimiter + answers.manufacturer + *delimiter;
        }
    }
    return out;
}

void RestoreWizardInfo(WizardAnswers& answers, std::string_view text, std::span<const std::string> manufacturers) {
    std::size_t i = 0;
    int lastFound = 0;
    while (i < text.size()) {
        if (text[i] == '-') ++i;
        const std::size_t digitsStart = i;
        long number = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (number < 1'000'000) number = number * 10 + (text[i] - '0');
            ++i;
        }
        if (i == digitsStart) return;
        int found = -1;
        for (int k = 0; k < kComponentCount; ++k) {
            const int index = (lastFound + k) % kComponentCount;
            if (std::abs(kComponents[index].tag) == number) {
                found = index;
                break;
            }
        }
        if (found < 0) return;
        lastFound = found;
        const InfoComponent& component = kComponents[found];
        if (component.kind == ComponentKind::Radio) {
            CheckRadio(answers, component.tag);
            ++i; // the separator
            continue;
        }
        if (i >= text.size()) return;
        const char delimiter = text[i];
        const std::size_t close = text.find(delimiter, i + 1);
        if (close == std::string_view::npos) return;
        const std::string_view value = text.substr(i + 1, close - i - 1);
        i = close + 1;
        if (component.tag > 0) {
            int index = 0;
            bool digits = !value.empty() && value.size() < 6;
            for (char c : value) digits = digits && c >= '0' && c <= '9';
            if (digits) index = std::atoi(std::string(value).c_str());
            answers.maxCellsIndex = index < static_cast<int>(MaxCellsEntries().size()) ? index : 0;
        } else {
            bool listed = false;
            for (const std::string& item : manufacturers) listed = listed || item == value;
            answers.manufacturer = listed ? std::string(value) : std::string(kAnyManufacturer);
        }
    }
}

} // namespace ampvane
