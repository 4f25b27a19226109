// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/numeric_text.h"
#include "analysis/display_plane.h"
#include "analysis/report_grid.h"
#include "common/messages.h"

// BuildReport: the static sweep over every combination of cells, gear ratios, diameters and pitches,
// and the in-flight sweep over airspeeds for one combination, writing a ReportGrid. This is the core
// of a report window; the window itself only shows the grid and forwards the user's requests.

namespace ampvane {

struct ReportFlags {
    bool HasWing = false;
    bool HasDrag = false;
    bool HasCl = false;
    bool HasClOpt = false;
    bool HasWeight = false;
    bool HasWingLoading = false;
    bool HasStall = false;
    bool ShowMotorRpm = false;
};

ReportFlags ComputeReportFlags(const PlaneDesc& plane);

// Total flying weight (oz) with Sc series and Pc parallel cells; internal units.
double TotalWeight(const PlaneDesc& plane, int Sc, int Pc);

// Display facts a report takes from the options dialog and the desktop rather than from the
// analysis records.
struct ReportSettings {
    ReportColumnsShown ColumnsShown = AllReportColumnsShown();
    NumberLocale Locale;
    // Evaluate static combinations on every core; rows and their order stay those of one thread.
    bool Parallel = true;
};

// The state of one report window.
struct Report {
    PlaneDesc Plane; // internal units
    // The plane as gathered, for a report built from the workbench's fields (BuildStaticReport);
    // none for one handed a plane already in internal units.
    std::optional<DisplayPlane> ReceivedPlane;
    AnalysisOptions Options;
    const Report* Parent = nullptr; // the static report of an in-flight one
    std::string RowLabel;
    bool OpenOpinion = false;
    double Throttle = 1; // fraction
    ReportFlags Flags;
    ReportSettings Settings;
    ReportGrid Grid;

    bool InFlight() const { return Parent != nullptr; }
};

struct ReportRequest {
    const Report* Parent = nullptr;
    std::string RowLabel;
    bool OpenOpinion = false;
    int TopRow = 0;
    double ThrottlePercent = 100;
    // Told how many static combinations are done of how many, every few thousand; returning false
    // cancels the sweep: its rows are dropped and the outcome is Closed, with no message.
    std::function<bool(std::uint64_t done, std::uint64_t total)> Progress;
};

enum class ReportOutcome {
    Shown,        // the grid holds rows; show the window
    OpenInFlight, // a static report with exactly one row: open that row's in-flight report instead
    OpenOpinion,  // rows written and the expert opinion was asked for
    Closed,       // no row (the message has been given) or the sweep was cancelled; the window closes
};

// The number of static combinations the plane's ranges ask for, counted as the sweep steps through them
// (saturating at the largest count instead of wrapping).
std::uint64_t CountCombinations(const PlaneDesc& plane);

// Builds (or, at another throttle, rebuilds) a report of a plane in internal units. With no row at all
// and the filter on, the user is asked whether to turn the filter off (then the report's own copy is
// changed and the build repeated); otherwise an error message is given.
ReportOutcome BuildReport(Report& report, const ReportRequest& request, const AnalysisOptions& options,
                          const PlaneDesc& plane, MessageSink& sink, Prompter& prompter);

// The in-flight request from a static report's data row: the plane narrowed to that row's cells (and
// gear ratio, diameter and pitch for a propeller), built as an in-flight report of `staticReport`.
// Returns nullopt for an in-flight report or a row that does not exist.
std::optional<Report> OpenInFlightReport(const Report& staticReport, int dataRow, bool openOpinion,
                                         MessageSink& sink, Prompter& prompter, ReportOutcome* outcome = nullptr);

// Compute Report's sweep: the gathered plane converted once to internal units and kept as received,
// at full throttle. `progress` may cancel (see ReportRequest).
ReportOutcome BuildStaticReport(Report& report, const AnalysisOptions& options, const DisplayPlane& plane,
                                MessageSink& sink, Prompter& prompter,
                                std::function<bool(std::uint64_t done, std::uint64_t total)> progress = {});

// Rebuild of an in-flight report at another throttle setting (the slider released).
ReportOutcome SetInFlightThrottle(Report& report, int throttlePercent, MessageSink& sink, Prompter& prompter);

// Fills a level-flight marker for the first combination of the report (markers 1 and 2).
void LevelFlightPoint(const Report& report, int seriesCells, int parallelCells, LevelFlightMarker& marker,
                      double Cd, double Cl, double weight, double pitch, double diameter, double gearRatio);

inline constexpr const char* kNoCombinationMessage =
    "No combination of components satisfies the specified restrictions. Do you wish to turn off the filter?";
// The most static combinations one report takes; larger sweeps are refused before any is evaluated.
inline constexpr std::uint64_t kMaxCombinations = 20000000;
// The refusal, with the number of combinations the ranges ask for and the limit.
std::string TooManyCombinationsMessage(std::uint64_t asked);
inline constexpr const char* kUnableToComputeMessage =
    "Ampvane was unable to compute any results. This is usually caused by grossly incorrect input "
    "parameters. Please check that all your input parameters are correct (for example, resistance in "
    "Ohms, not milliOhms).";

} // namespace ampvane
