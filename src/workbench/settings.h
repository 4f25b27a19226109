// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <map>
#include <cstddef>
#include <string>
#include <string_view>

#include "common/numeric_text.h"
#include "project/project_name.h"
#include "common/messages.h"

namespace ampvane {

// The report columns a user can hide, in the order the configuration file lists their switches.
enum class ReportColumnSwitch : std::size_t {
    Airspeed,
    NumberOfCells,
    MotorCurrent,
    BatteryCurrent,
    Diameter,
    Drag,
    ShaftEfficiency,
    GearRatio,
    InputPowerLoading,
    InputPower,
    Lift,
    PowerLoss,
    MotorEfficiency,
    MotorRpm,
    OutputPowerLoading,
    OutputPower,
    Pitch,
    PropellerEfficiency,
    PropellerRpm,
    PitchSpeed,
    RateOfClimb,
    TotalEfficiency,
    Thrust,
    Time,
    MotorVoltage,
    TotalWeight,
};
inline constexpr std::size_t kReportColumnSwitchCount = 26;

struct ReportColumnSwitchInfo {
    ReportColumnSwitch column;
    std::string_view key;          // the flag written when the column is hidden
    std::string_view caption;      // the report column and its check box caption
    std::string_view checkBoxName; // the options dialog's check box
    bool required;                 // one of the value columns of which at least one stays shown
};

// Every switch in file order.
const std::array<ReportColumnSwitchInfo, kReportColumnSwitchCount>& ReportColumnSwitches();

enum MeasurementMode : int {
    AllImperial = 0,
    ImperialMetricTempPress = 1, // imperial/U.S. with metric temperature and pressure
    MetricInchProps = 2,         // metric with propeller sizes in inches
    AllMetric = 3,
};

// The unit label shown beside a flying-field value before any measurement mode has been applied.
inline constexpr std::string_view kUnsetUnitLabel = "<units>";
inline constexpr std::string_view kFeetLabel = "ft";
inline constexpr std::string_view kMetresLabel = "m";
inline constexpr std::string_view kFahrenheitLabel = "\u00B0F";
inline constexpr std::string_view kCelsiusLabel = "\u00B0C";
inline constexpr std::string_view kInchesHgLabel = "inHg";
inline constexpr std::string_view kKilopascalsLabel = "kPa";

// The options dialog's unit labels: the unit each flying-field text is written in. A text is converted
// only when its label shows the other unit, so these travel with the texts.
struct UnitLabels {
    std::string elevation{kUnsetUnitLabel};   // "ft" or "m"
    std::string temperature{kUnsetUnitLabel}; // "°F" or "°C"
    std::string pressure{kUnsetUnitLabel};    // "inHg" or "kPa"
    bool operator==(const UnitLabels&) const = default;
};

struct GraphAxes {
    std::string x;
    std::string y1;
    std::string y2;
    bool lines = true;
    bool operator==(const GraphAxes&) const = default;
};

inline constexpr std::size_t kRecentProjectCount = 9;

// Every setting that outlives a run, with its default. Numbers the user types (flying field, gearbox
// efficiency, proxy port) are kept as the texts shown in the options dialog; they are validated there.
struct Settings {
    int measurementMode = AllImperial;
    bool forceInNewtons = false;
    bool printInColour = false; // false: printing uses styles

    std::string elevation;   // ft, or m with metric lengths
    std::string temperature; // °F, or °C with metric temperature
    std::string pressure;    // inHg, or kPa with metric pressure
    UnitLabels unitLabels;

    std::array<bool, kReportColumnSwitchCount> columnHidden{};

    std::string gearboxEfficiency; // %, empty: the typical default
    bool useHeating = true;
    bool extraPrecision = false; // at least 3 digits in report columns
    bool wizardAtStartup = true;
    bool advancedWizard = false;
    bool tipAtStartup = true;
    int lastTip = 0;
    bool highNoteSeen = false; // kept only to be written back

    std::string userName;
    std::string email;
    std::string proxyHost;
    std::string proxyPort;
    std::string server; // the exchange server, "host[:port]"; empty: the built-in one

    std::string defaultProject{kUntitledProject};
    std::array<std::string, kRecentProjectCount> recentProjects; // most recent first

    GraphAxes staticGraph;
    GraphAxes flightGraph;

    // Where each remembered window was, by name: "x y width height" in screen pixels.
    std::map<std::string, std::string> windowPlacements;
    // The report grid's column widths the user set, per report kind ("report", "inflight"): "3:60 5:72".
    std::map<std::string, std::string> columnWidths;

    bool operator==(const Settings&) const = default;
};

// Unit flags derived from the measurement mode.
bool MetricLengthsAndWeights(const Settings& settings); // g, cm, m/s, dm², elevation in m
bool MetricPropellerSizes(const Settings& settings);    // propeller diameter and pitch in cm
bool MetricTemperatureAndPressure(const Settings& settings);
// Thrust is shown in newtons only where weights are metric as well.
bool ThrustInNewtons(const Settings& settings);

// Sets the measurement mode and brings the flying-field texts into its units: a text is converted only
// when its unit label shows the other unit (a label not yet set converts nothing), then the labels
// follow the mode. A text that is no number is reported and converts as 0, as the dialog does.
void SelectMeasurementMode(Settings& settings, int mode, const NumberLocale& locale, MessageSink& messages);

bool ColumnShown(const Settings& settings, ReportColumnSwitch column);
void SetColumnShown(Settings& settings, ReportColumnSwitch column, bool shown);

struct ProxySetting {
    std::string host; // empty: no proxy
    int port = 0;
    bool operator==(const ProxySetting&) const = default;
};

// A whole number from 0 to 65535, blanks around it allowed.
bool IsProxyPort(std::string_view port);

// The proxy is used only with a host and a port that IsProxyPort accepts.
ProxySetting EffectiveProxy(const Settings& settings);

// The stored user name, or else the account owner's name (see OwnerName) without surrounding blanks.
std::string UserName(const Settings& settings, std::string_view ownerName);

} // namespace ampvane
