// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the answers into the numeric search settings, with every check and its message; the cell
// entries, the manufacturer box and the snapshot of the tables the search reads.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "common/text_helpers.h"
#include "common/unit_conversion.h"
#include "data/comp_data_module.h"
#include "data/value_lists.h"
#include "model/air.h"
#include "model/airframe.h"
#include "common/name_pattern.h"
#include "wizard/wizard_search.h"

namespace ampvane {

namespace {

std::string_view TrimTrailingBlanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

struct LevelParameters {
    double minThrust, fullThrust, cubeLoading;
    double gearFactor; // largest gear ratio = aspect ratio × factor; 0: a fixed 3
    double low, high;
};
constexpr LevelParameters kLevels[] = {
    {0.25, 0.5, 7, 0.8, 2.5, 3.0},   {0.333, 0.667, 10, 0.8, 2.5, 3.0}, {0.5, 1.0, 13, 0.8, 2.5, 3.0},
    {0.5, 1.0, 30, 0, 3.0, 4.0},     {0.7, 1.4, 16, 1.0, 2.5, 3.0},     {1.2, 2.4, 8.5, 1.3, 2.1, 2.6},
    {0.4, 0.8, 6, 0.8, 2.1, 2.6},    {0.9, 1.8, 17, 0.8, 2.5, 3.0},
};
constexpr double kFullThrottleMinutes[] = {2, 2.99, 4.47, 6.69, 10.02, 15};

std::optional<WizardChemistry> ChemistryCode(std::string_view cellType) {
    if (cellType == "NiCd") return WizardChemistry::NiCd;
    if (cellType == "NiMH") return WizardChemistry::NiMH;
    if (cellType == "LiPo") return WizardChemistry::LiPo;
    if (cellType == "LiNP") return WizardChemistry::LiNP;
    return std::nullopt;
}

} // namespace

const WizardMotorRecord* WizardDatabase::FindMotor(std::string_view name) const {
    name = TrimTrailingBlanks(name);
    for (const auto& motor : motors)
        if (TrimTrailingBlanks(motor.name) == name) return &motor;
    return nullptr;
}

const WizardCellRecord* WizardDatabase::FindCell(std::string_view name) const {
    name = TrimTrailingBlanks(name);
    for (const auto& cell : cells)
        if (TrimTrailingBlanks(cell.name) == name) return &cell;
    return nullptr;
}

WizardDatabase ReadWizardDatabase(const TCompDataModule& tables) {
    return ReadWizardDatabase(tables.MotorTable(), tables.CellTable());
}

WizardDatabase ReadWizardDatabase(DbfTable* motors, DbfTable* cells) {
    WizardDatabase db;
    if (motors) {
        const int name = motors->ColumnIndex("MOTORNAME"), kv = motors->ColumnIndex("MOTORSTANT"),
                  io = motors->ColumnIndex("IDLECRRENT"), r = motors->ColumnIndex("ARMATTANCE"),
                  weight = motors->ColumnIndex("WEIGHT"), brushless = motors->ColumnIndex("BRUSHLESS"),
                  outrunner = motors->ColumnIndex("OUTRUNNER");
        const auto keep = motors->RecordNumber();
        motors->UseNameIndex();
        for (motors->First(); !motors->empty() && !motors->Eof(); motors->Next()) {
            db.motors.push_back({motors->Text(name), motors->Number(kv), motors->Number(io), motors->Number(r),
                                 motors->Number(weight), motors->Logical(brushless), motors->Logical(outrunner)});
            if (motors->position() + 1 >= motors->size()) break;
        }
        if (keep) motors->GoToRecord(*keep);
    }
    if (cells) {
        const int name = cells->ColumnIndex("CELLNAME"), capacity = cells->ColumnIndex("CAPACITY"),
                  voltage = cells->ColumnIndex("VOLTAGE"), r = cells->ColumnIndex("INTERTANCE"),
                  weight = cells->ColumnIndex("WEIGHT"), type = cells->ColumnIndex("CELLTYPE"),
                  rating = cells->ColumnIndex("CRATING");
        const auto keep = cells->RecordNumber();
        cells->UseNameIndex();
        for (cells->First(); !cells->empty() && !cells->Eof(); cells->Next()) {
            db.cells.push_back({cells->Text(name), cells->Number(capacity), cells->Number(voltage), cells->Number(r),
                                cells->Number(weight), cells->Text(type), cells->Number(rating)});
            if (cells->position() + 1 >= cells->size()) break;
        }
        if (keep) cells->GoToRecord(*keep);
    }
    return db;
}

std::vector<std::string> WizardManufacturers(const std::vector<WizardMotorRecord>& motors,
                                             const std::vector<std::string>& prefixes) {
    std::vector<std::string> items{std::string(kAnyManufacturer)};
    std::vector<std::string> added; // upper case
    for (const auto& motor : motors) {
        const std::string name = Upper(motor.name);
        std::string maker;
        for (const std::string& prefix : prefixes) {
            const std::string withSpace = std::string(TrimText(prefix)) + " ";
            if (StartsWithText(withSpace, name)) {
                maker = std::string(TrimText(prefix));
                break;
            }
        }
        if (maker.empty()) maker = motor.name.substr(0, motor.name.find(' '));
        if (maker.empty() || motor.weight <= 0) continue;
        const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(maker[0])));
        if (first < 'A' || first > 'Z') continue;
        // Each maker once, whatever the letter case of its motors' names.
        const std::string key = Upper(maker);
        if (std::find(added.begin(), added.end(), key) != added.end()) continue;
        added.push_back(key);
        items.push_back(maker);
    }
    return items;
}

std::vector<WizardCellListEntry> ReadWizardCellList(const std::string& dataFolder, const NumberLocale& locale,
                                                    MessageSink& sink) {
    std::vector<WizardCellListEntry> list;
    for (const ValueListEntry& entry : ValueListEntries(dataFolder, kWizardCellsList, locale, sink))
        list.push_back({entry.label, entry.first, entry.second});
    return list;
}

std::vector<std::string> ReadManufacturerPrefixes(const std::string& dataFolder, const NumberLocale& locale,
                                                  MessageSink& sink) {
    std::vector<std::string> prefixes;
    for (const ValueListEntry& entry : ValueListEntries(dataFolder, kManufacturerList, locale, sink))
        if (!TrimText(entry.label).empty()) prefixes.push_back(std::string(TrimText(entry.label)));
    return prefixes;
}

std::string CellShortName(std::string_view name) {
    static constexpr std::string_view kPatterns[] = {"[A-Z]*-*[0-9][0-9/]* *[A-Z][A-Z/]*", "[A-Z]*-*[0-9][0-9/]*",
                                                     "[0-9][0-9/]*"};
    for (std::string_view pattern : kPatterns)
        if (auto match = PatternExtract(name, pattern)) return *match;
    return std::string(name);
}

CellEntryResult MakeCellEntry(const WizardDatabase& db, std::string_view name, double listSeries, double listParallel) {
    CellEntryResult result;
    if (TrimText(name).empty()) {
        result.message = "No cell type was specified for the Specific Cell Type option.";
        return result;
    }
    const WizardCellRecord* cell = db.FindCell(name);
    if (!cell) {
        result.message = "The cell type \"" + std::string(name) + "\" could not be found in the database.";
        return result;
    }
    if (cell->weight == 0) {
        result.message = "The AmpvaneWizard cannot use the \"" + std::string(name) +
                         "\" cell type because its weight is not known.";
        return result;
    }
    const auto chemistry = ChemistryCode(cell->cellType);
    if (!chemistry) {
        result.message = "The AmpvaneWizard cannot use the \"" + std::string(name) +
                         "\" cell type because its chemistry is not known.";
        return result;
    }
    CellEntry entry;
    entry.name = TrimTrailingBlanks(cell->name);
    entry.shortName = CellShortName(entry.name);
    entry.capacity = cell->capacity * 0.001;
    entry.voltage = cell->voltage;
    if (entry.voltage == 0)
        entry.voltage = IsNickel(*chemistry) ? 1.2 : *chemistry == WizardChemistry::LiPo ? 3.7 : 3.3;
    entry.resistance = cell->resistance;
    entry.weight = cell->weight;
    entry.maxCurrent = cell->cRating * entry.capacity;
    if (entry.maxCurrent == 0) {
        entry.maxCurrent = 2 * std::pow(entry.weight, 1.333333) / std::sqrt(entry.resistance);
        if (*chemistry == WizardChemistry::LiPo) entry.maxCurrent = std::min(entry.maxCurrent, 5 * entry.capacity);
    }
    // Without a rating and a resistance the fall-back has no value: such a cell cannot be screened.
    if (!std::isfinite(entry.maxCurrent)) {
        result.message = "The AmpvaneWizard cannot use the \"" + std::string(name) +
                         "\" cell type because its maximum current is not known.";
        return result;
    }
    entry.chemistry = *chemistry;
    const bool nickel = IsNickel(*chemistry);
    entry.maxSeries = nickel ? 36 : 12;
    entry.maxParallel = nickel ? 1 : 6;
    const auto count = [](double value) {
        return std::isfinite(value) && std::fabs(value) < 1e6 ? static_cast<std::int32_t>(std::nearbyint(value)) : 0;
    };
    if (count(listSeries) != 0) entry.maxSeries = count(listSeries);
    if (count(listParallel) != 0) entry.maxParallel = count(listParallel);
    result.entry = std::move(entry);
    return result;
}

std::vector<CellEntry> LoadWizardCells(const WizardDatabase& db, const std::vector<WizardCellListEntry>& list) {
    std::vector<CellEntry> cells;
    for (const auto& item : list) {
        if (cells.size() >= kWizardListCells) break;
        auto made = MakeCellEntry(db, item.name, item.series, item.parallel);
        if (made.entry) cells.push_back(std::move(*made.entry));
    }
    return cells;
}

double NextGearRatio(double ratio) { return (ratio < 1.01 || ratio > 4.99) ? ratio + 1 : ratio + 0.5; }

int GearRatioCount(double smallest, double largest) {
    int count = 0;
    for (double g = smallest; g <= largest && count < 1000; g = NextGearRatio(g))
        ++count;
    return count;
}

WizardSettingsResult ReadSearchSettings(const WizardAnswers& a, const WizardDatabase& db,
                                        const std::vector<CellEntry>& cellList, const NumberLocale& locale,
                                        MessageSink& sink) {
    WizardSettingsResult result;
    WizardSearchSettings s;
    auto fail = [&](std::string message, std::string focus) {
        result.failure = {std::move(message), std::move(focus)};
        return result;
    };
    auto real = [&](const std::string& text) { return LenientReal(text, locale, sink); };

    // 1. motors
    s.motors = std::clamp(a.motors, 1, 4);
    s.motorsText = s.motors == 1 ? "1 Motor" : std::to_string(s.motors) + " Motors";
    s.arrangements = s.motors == 1 ? 1 : s.motors <= 3 ? 2 : 3;

    // 2. - 4. the model
    double span = real(a.wingSpan);
    if (a.spanUnit == SpanUnit::Feet) span *= kInchesPerFoot;
    else if (a.spanUnit == SpanUnit::Centimetres) span *= kInchesPerCentimetre;
    if (!(span > 0 && span <= 300))
        return fail("The wing span must be specified, and can be at most 300 in (762 cm).", "WingSpanEdit");
    double area = real(a.wingArea);
    if (a.areaUnit == AreaUnit::SquareFeet) area *= kSquareInchesPerSquareFoot;
    else if (a.areaUnit == AreaUnit::SquareDecimetres) area *= kSquareInchesPerSquareDecimetre;
    // The metric limit shown is one that passes the check itself (645.2 dm² would be 10000.6 sq.in).
    if (!(area > 0 && area <= 10000))
        return fail("The wing area must be specified, and can be at most 10000 sq.in (645.1 dm ²).", "WingAreaEdit");
    s.propSizeReference = std::sqrt(6 * area);
    s.voltageAllowance = std::pow(span, 4);
    double weight = real(a.emptyWeight);
    if (a.weightUnit == WeightUnit::Pounds) weight *= kOuncesPerPound;
    else if (a.weightUnit == WeightUnit::Grams) weight *= kOuncesPerGram;
    if (!(weight > 0 && weight <= 1000))
        return fail("The empty weight must be specified, and can be at most 1000 oz (28290 g).", "EmptyWeightEdit");

    // 5. airfoil
    s.airframe = a.airframe;
    s.airframe.MetricUnits = 0;
    s.airframe.WingSpan = span;
    s.airframe.WingArea = area;
    s.airframe.EmptyWeight = weight;
    s.airframe.AspectRatio = span * span / area;
    AirfoilFromAnswers(a.airfoil, a.thickness, s.airframe);

    // 6. level
    const LevelParameters& level = kLevels[static_cast<int>(a.level)];
    s.minThrustRatio = level.minThrust;
    s.fullThrustRatio = level.fullThrust;
    s.pitchSpeedLow = level.low;
    s.pitchSpeedHigh = level.high;
    if (a.level == WizardLevel::Aero3D) s.voltageAllowance /= 4;
    if (a.level == WizardLevel::Sailplane) s.voltageAllowance /= 8;
    s.levelText = std::string(LevelCaption(a.level));
    s.maxAllUpWeight = level.cubeLoading * std::pow(area / kSquareInchesPerSquareFoot, 1.5);

    // 7. gear range
    double largest = level.gearFactor == 0 ? 3 : s.airframe.AspectRatio * level.gearFactor;
    largest = std::clamp(largest, 2.5, 6.0);
    if (a.drive == WizardDriveChoice::DirectOnly) largest = 1;
    s.minGear = a.drive == WizardDriveChoice::GearedOnly ? 2 : 1;
    s.maxGear = largest;
    s.propSizeReference = std::max(s.propSizeReference, span);
    s.voltageAllowance = std::min(s.voltageAllowance, area);

    // 8. flying time
    const double minutes = kFullThrottleMinutes[static_cast<int>(a.flyingTime)];
    s.flyingTimeText = std::to_string(static_cast<int>(std::nearbyint(minutes * 2))) + " minutes";
    s.motorTempLimit = 200 - minutes * 100 / 15;
    s.runTimeHours = minutes / 60;

    // 9. - 11. the field
    double elevation = real(a.elevation);
    if (a.elevationUnit == ElevationUnit::Metres) elevation = FeetFromMetres(elevation);
    if (!(elevation >= -1000.1 && elevation <= 36000.1))
        return fail("The field elevation, if specified, must be between -1000 and +36000 ft (-304 and +10972 m).",
                    "FieldElevationEdit");
    double pressure = kStandardPressureInchesHg;
    if (a.advancedShown && !TrimText(a.pressure).empty()) {
        pressure = real(a.pressure);
        if (a.pressureUnit == PressureUnit::Kilopascals) pressure = InchesHgFromKilopascals(pressure);
    }
    if (!(pressure >= 27.999 && pressure <= 32.001))
        return fail("The sea level pressure, if specified, must be between 28 and 32 inHg (94.8 and 108.3 kPa).",
                    "SeaLevelPressureEdit");
    double temperature;
    if (a.advancedShown && !TrimText(a.temperature).empty()) {
        temperature = real(a.temperature);
        if (a.temperatureUnit == TemperatureUnit::Fahrenheit) temperature = CelsiusFromFahrenheit(temperature);
        if (!(temperature >= -50.1 && temperature <= 50.1))
            return fail("The temperature, if specified, must be between -58 and +122°F (-50 and +50°C).",
                        "FieldTemperatureEdit");
    } else {
        // Derived from an accepted elevation: held to the accepted range instead of refusing a
        // temperature the user never typed (36000 ft would give -56.3 °C).
        temperature = std::clamp(15 - elevation * 0.00198, -50.0, 50.0);
    }
    s.elevation = elevation;
    s.seaLevelPressure = pressure;
    s.ambientTemperature = temperature;

    // 12. - 14. motors
    using M = WizardMotorChoice;
    s.allowBrushed = a.motorChoice == M::BrushedOrBrushless || a.motorChoice == M::BrushedOnly ||
                     a.motorChoice == M::SpecificMotor;
    s.allowInrunner = a.motorChoice == M::BrushedOrBrushless || a.motorChoice == M::BrushlessOnly ||
                      a.motorChoice == M::SpecificMotor;
    s.allowOutrunner = a.motorChoice != M::BrushedOnly;
    std::string words;
    if (a.motorChoice == M::SpecificMotor) {
        if (TrimText(a.motorName).empty()) return fail("No motor was specified for the Specific Motor option.", "LoadMotorButton");
        const WizardMotorRecord* motor = db.FindMotor(a.motorName);
        if (!motor)
            return fail("The motor \"" + a.motorName + "\" could not be found in the database.", "LoadMotorButton");
        if (motor->weight == 0)
            return fail("The AmpvaneWizard cannot use the \"" + a.motorName + "\" motor because its weight is not known.",
                        "LoadMotorButton");
        s.specificMotor = static_cast<std::size_t>(motor - db.motors.data());
    } else if (a.manufacturer != kAnyManufacturer && !a.manufacturer.empty()) {
        s.manufacturerWord = Upper(a.manufacturer.substr(0, a.manufacturer.find(' ')));
    }
    if (!(a.motorChoice == M::BrushedOrBrushless && (a.manufacturer == kAnyManufacturer || a.manufacturer.empty())))
        words += " motor";

    // 15. specific gear ratio
    if (a.drive == WizardDriveChoice::SpecificGear) {
        const double gear = real(a.specificGear);
        if (!(gear >= 0.01 && gear <= 100))
            return fail("The Specific Gear Ratio must be between 0.01:1 and 100:1.", "SpecificGearEdit");
        s.minGear = s.maxGear = gear;
        s.specificGear = true;
    }
    if (a.drive != WizardDriveChoice::DirectOrGeared) words += " gearing";
    s.gearCount = GearRatioCount(s.minGear, s.maxGear);

    // 16. propeller size
    if (a.size != WizardSizeChoice::AnySize) {
        const std::string kind = a.size == WizardSizeChoice::MaximumSize ? "Maximum" : "Specific";
        const double factor = a.propUnit == PropSizeUnit::Centimetres ? kInchesPerCentimetre : 1.0;
        const double diameter = real(a.diameter) * factor;
        const double pitch = real(a.pitch) * factor;
        if (diameter == 0 && pitch == 0)
            return fail("At least one of the diameter and pitch must be specified for the " + kind +
                            " Propeller Size option.",
                        "SpecificDiameterEdit");
        if (diameter != 0 && !(diameter >= 0.1 && diameter <= 100))
            return fail("The " + kind + " Propeller Size Diameter, if specified, must be between 0.1 and 100 in (0.3 and 254 cm).",
                        "SpecificDiameterEdit");
        if (pitch != 0 && !(pitch >= 0.1 && pitch <= 100))
            return fail("The " + kind + " Propeller Size Pitch, if specified, must be between 0.1 and 100 in (0.3 and 254 cm).",
                        "SpecificPitchEdit");
        s.givenDiameter = diameter;
        s.givenPitch = pitch;
        s.sizesAreMaxima = a.size == WizardSizeChoice::MaximumSize;
        words += " propeller";
    }

    // 17. ratio step and series limits
    s.ratioStep = (s.pitchSpeedHigh - s.pitchSpeedLow) * (s.givenPitch != 0 ? 0.1 : 0.5);
    const auto maxCells = MaxCellsEntries();
    const MaxCellsEntry& cellLimit = maxCells[static_cast<std::size_t>(
        std::clamp(a.maxCellsIndex, 0, static_cast<int>(maxCells.size()) - 1))];
    s.maxNickelSeries = cellLimit.nickel;
    s.maxLithiumSeries = cellLimit.lithium;

    // 18. battery
    using B = WizardBatteryChoice;
    s.cells = cellList;
    switch (a.battery) {
    case B::AnyType: s.chemistryAllowed = {true, true, true, true}; break;
    case B::NiCdOnly: s.chemistryAllowed = {true, false, false, false}; break;
    case B::NiMHOnly: s.chemistryAllowed = {false, true, false, false}; break;
    case B::NiCdOrNiMH: s.chemistryAllowed = {true, true, false, false}; break;
    case B::LiPolyOnly: s.chemistryAllowed = {false, false, true, true}; break;
    case B::SpecificBattery: {
        // The maximum-cells box is hidden while a specific battery is chosen, so a choice left in it
        // from before must not quietly narrow the search: the widest limits ("Any Number") apply. The
        // series and parallel counts typed for the battery are the user's limits here.
        s.maxNickelSeries = 36;
        s.maxLithiumSeries = 12;
        auto made = MakeCellEntry(db, a.cellName, 0, 0);
        if (!made.entry) return fail(made.message, "LoadCellButton");
        s.chemistryAllowed = {false, false, false, false};
        s.chemistryAllowed[static_cast<std::size_t>(made.entry->chemistry)] = true;
        s.cells = {*made.entry};
        s.specificBattery = true;
        s.specificCellName = made.entry->name;
        if (!TrimText(a.seriesCells).empty()) {
            s.givenSeries = LenientInt(a.seriesCells, sink);
            if (s.givenSeries < 1 || s.givenSeries > 99)
                return fail("The Specific Battery Series cell count, if specified, must be between 1 and 99.",
                            "SeriesCellsEdit");
        }
        if (!TrimText(a.parallelCells).empty()) {
            s.givenParallel = LenientInt(a.parallelCells, sink);
            if (s.givenParallel < 1 || s.givenParallel > 9)
                return fail("The Specific Battery Parallel cell count, if specified, must be between 1 and 9.",
                            "ParallelCellsEdit");
        }
        s.batteryDetermined =
            s.givenSeries != 0 && (s.givenParallel != 0 || made.entry->chemistry != WizardChemistry::LiPo);
        break;
    }
    }
    if (a.battery != B::AnyType) words += " battery";

    // 19. air and airframe
    s.airDensityRatio = AirDensityRatio(s.elevation, s.seaLevelPressure, s.ambientTemperature);
    s.airframe.AirfoilInfo = EncodeAirfoil(s.airframe);
    DeriveAirframe(s.airframe, false);

    // 20. restriction text
    if (!words.empty()) s.restrictionText = " (using your " + FormatWordList(words, "and", "") + " restrictions)";
    result.settings = std::move(s);
    return result;
}

} // namespace ampvane
