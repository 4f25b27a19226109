// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"
#include "common/numeric_text.h"
#include "common/unit_conversion.h"
#include "model/airframe_desc.h"
#include "wizard/wizard_answers.h"

// The power-system search: the usable cells and motors of the database, the numeric settings read
// from the answers with their checks, the battery candidates, the screening of every motor, pack
// and cell count, and the propeller search with its rating.

namespace ampvane {

class TCompDataModule;
class DbfTable;

// ---- what the search reads of the tables ----
struct WizardMotorRecord {
    std::string name;
    double kv = 0;         // MOTORSTANT, rpm/V
    double idleCurrent = 0; // IDLECRRENT, A
    double resistance = 0; // ARMATTANCE, ohms (cold)
    double weight = 0;     // WEIGHT, oz
    bool brushless = false;
    bool outrunner = false;
};
struct WizardCellRecord {
    std::string name;
    double capacity = 0; // mAh
    double voltage = 0;
    double resistance = 0;
    double weight = 0;
    std::string cellType;
    double cRating = 0;
};
// A snapshot of the motor and cell tables in name order, so that the search (on several threads)
// never touches the tables themselves.
struct WizardDatabase {
    std::vector<WizardMotorRecord> motors;
    std::vector<WizardCellRecord> cells;
    const WizardMotorRecord* FindMotor(std::string_view name) const;
    const WizardCellRecord* FindCell(std::string_view name) const;
};
WizardDatabase ReadWizardDatabase(const TCompDataModule& tables);
WizardDatabase ReadWizardDatabase(DbfTable* motorTable, DbfTable* cellTable);

// The manufacturer box: "Any Manufacturer", then each maker of a motor with a weight, once (letter
// case ignored), in the motors' name order. Prefixes come from "Manufacturer.lst".
std::vector<std::string> WizardManufacturers(const std::vector<WizardMotorRecord>& motors,
                                             const std::vector<std::string>& prefixes);

// ---- cells ----
enum class WizardChemistry : std::uint8_t { NiCd = 0, NiMH = 1, LiPo = 2, LiNP = 3 };
inline bool IsNickel(WizardChemistry c) { return c == WizardChemistry::NiCd || c == WizardChemistry::NiMH; }

struct CellEntry {
    std::string name;
    std::string shortName;
    double capacity = 0; // Ah
    double voltage = 0;
    double resistance = 0;
    double weight = 0; // oz
    double maxCurrent = 0;
    std::int32_t maxSeries = 0;
    std::int32_t maxParallel = 0;
    WizardChemistry chemistry = WizardChemistry::NiCd;
    friend bool operator==(const CellEntry&, const CellEntry&) = default;
};
// The compact name of the results grid, from the patterns of the cell list.
std::string CellShortName(std::string_view name);
// A cell-list entry (name, largest series, largest parallel; 0 keeps the default) as a usable cell,
// or the reason it cannot be used.
struct CellEntryResult {
    std::optional<CellEntry> entry;
    std::string message;
};
CellEntryResult MakeCellEntry(const WizardDatabase& db, std::string_view name, double listSeries, double listParallel);
// The first 16 usable cells of "WizardCells.lst" (entries that cannot be used are skipped).
struct WizardCellListEntry {
    std::string name;
    double series = 0;
    double parallel = 0;
};
std::vector<CellEntry> LoadWizardCells(const WizardDatabase& db, const std::vector<WizardCellListEntry>& list);
// "WizardCells.lst" and the manufacturer prefixes of "Manufacturer.lst" from the data folder; a
// missing list gives none.
std::vector<WizardCellListEntry> ReadWizardCellList(const std::string& dataFolder, const NumberLocale& locale,
                                                    MessageSink& sink);
std::vector<std::string> ReadManufacturerPrefixes(const std::string& dataFolder, const NumberLocale& locale,
                                                  MessageSink& sink);
inline constexpr std::size_t kWizardListCells = 16;

// ---- settings ----
struct WizardSearchSettings {
    int motors = 1;
    std::string motorsText;
    int arrangements = 1;
    AirframeDesc airframe;
    double airDensityRatio = 0;
    double minThrustRatio = 0, fullThrustRatio = 0;
    double pitchSpeedLow = 0, pitchSpeedHigh = 0, ratioStep = 0;
    double maxAllUpWeight = 0;
    double minGear = 1, maxGear = 1;
    int gearCount = 1;
    double propSizeReference = 0;
    double voltageAllowance = 0;
    double runTimeHours = 0;
    double motorTempLimit = 0;
    std::string levelText, flyingTimeText;
    double ambientTemperature = 15, seaLevelPressure = kStandardPressureInchesHg, elevation = 0;
    bool allowBrushed = true, allowInrunner = true, allowOutrunner = true;
    std::string manufacturerWord;
    std::optional<std::size_t> specificMotor; // position in the motor snapshot
    bool specificGear = false;
    double givenDiameter = 0, givenPitch = 0;
    bool sizesAreMaxima = false;
    std::array<bool, 4> chemistryAllowed{true, true, true, true};
    int maxNickelSeries = 36, maxLithiumSeries = 12;
    std::vector<CellEntry> cells; // the entries to try (the cell list, or the specific battery alone)
    bool specificBattery = false;
    std::string specificCellName;
    int givenSeries = 0, givenParallel = 0;
    bool batteryDetermined = false;
    std::string restrictionText;
};

// A failed check: the message and the control the wizard turns to.
struct WizardCheckFailure {
    std::string message;
    std::string focus; // object name of the control
};
struct WizardSettingsResult {
    std::optional<WizardSearchSettings> settings;
    WizardCheckFailure failure;
};
// Reads the pages in order and stops at the first failing check. Lenient-read warnings go to `sink`.
WizardSettingsResult ReadSearchSettings(const WizardAnswers& answers, const WizardDatabase& db,
                                        const std::vector<CellEntry>& cellList, const NumberLocale& locale,
                                        MessageSink& sink);

// Pitches and diameters: to the nearest inch above `inchAbove`, else to the nearest half inch,
// halves to even.
double RoundPropSize(double value, double inchAbove);

// A size under a maximum (0: none): refused (nullopt) when the computed size is above the maximum,
// else the rounded size, held to the maximum where rounding went above it. The computed size is
// the one compared, so 8.2 in against a maximum of 8 in is refused rather than kept as 8.
std::optional<double> SizeWithinMaximum(double computed, double inchAbove, double maximum);

// Gear ratios the search visits, from the smallest while not above the largest.
double NextGearRatio(double ratio);
int GearRatioCount(double smallest, double largest);

// ---- candidates and results ----
struct BatteryCandidate {
    CellEntry cell;
    std::int32_t minSeries = 0;
    std::int32_t maxSeries = 0;
    std::int32_t parallel = 1;
};
// The candidates of one pass for a run time in hours, parallel rewriting applied and sorted by pack
// capacity, largest first.
std::vector<BatteryCandidate> BuildBatteryCandidates(const WizardSearchSettings& settings, double runTimeHours);

struct TResultObject {
    std::string motorName;
    std::int32_t series = 0;
    CellEntry battery;
    double gearRatio = 1;
    double diameter = 0; // in
    double pitch = 0;    // in
    double rating = 0;
    std::int32_t wiring = 1; // 1 series, 2 parallel, 3 two parallel pairs in series
    double current = 0;      // A through one motor
    double thrust = 0;       // oz, static, all motors together
    bool brushless = false;
    bool kept = true;
    friend bool operator==(const TResultObject&, const TResultObject&) = default;
};

struct WizardCounters {
    std::int64_t analysed = 0;
    std::int64_t tooHeavy = 0, tooMuchCurrent = 0, tooInefficient = 0, tooHot = 0, tooFast = 0, propTooLarge = 0,
                 insufficientThrust = 0, notComputed = 0;
    void Add(const WizardCounters& other);
    std::array<std::int64_t, 8> Rejections() const {
        return {tooHeavy, tooMuchCurrent, tooInefficient, tooHot, tooFast, propTooLarge, insufficientThrust, notComputed};
    }
    friend bool operator==(const WizardCounters&, const WizardCounters&) = default;
};

// Shared between the search and whoever shows its progress; safe to read from another thread.
class WizardSearchControl {
public:
    void Cancel() { cancelled_ = true; }
    bool Cancelled() const { return cancelled_; }
    void Start(std::int64_t maximum, std::string stage);
    void Step() { ++position_; }
    void SetText(std::string text);
    std::int64_t Position() const { return position_; }
    std::int64_t Maximum() const { return maximum_; }
    // The stage text followed by "...", the percentage and "%".
    std::string ProgressText() const;
    std::string Stage() const;
    // Every stage text shown, in order (for the record of a search).
    std::vector<std::string> Stages() const;

private:
    std::atomic<bool> cancelled_{false};
    std::atomic<std::int64_t> position_{0};
    std::atomic<std::int64_t> maximum_{0};
    mutable std::mutex mutex_;
    std::string stage_;
    bool plainText_ = false;
    std::vector<std::string> stages_;
};

enum class WizardSearchOutcome { Found, NothingFound, Interrupted };
struct WizardSearchResult {
    WizardSearchOutcome outcome = WizardSearchOutcome::NothingFound;
    std::vector<TResultObject> results; // the raw list, in the one-thread order
    WizardCounters counters;
    int passes = 0;
    double bestRating = 0;
    bool lastPassHadCandidates = false;
};

// Runs the passes over the motors on `threads` workers (0: every core). Results, their order and
// every counter are those of the one-thread walk.
WizardSearchResult SearchPowerSystems(const WizardSearchSettings& settings, const WizardDatabase& db,
                                      WizardSearchControl& control, unsigned threads = 0);

inline constexpr std::string_view kInterruptedMessage = "Power system search interrupted.";

} // namespace ampvane
