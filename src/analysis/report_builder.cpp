// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/report_builder.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <thread>
#include <type_traits>
#include <vector>

#include "analysis/analysis_input.h"
#include "analysis/filter.h"
#include "analysis/measured_drive.h"
#include "analysis/report_layout.h"
#include "common/unit_conversion.h"
#include "common/work_crew.h"
#include "model/electric_chain.h"
#include "model/fan.h"
#include "model/flight.h"
#include "model/measured_propeller.h"
#include "model/propeller.h"

namespace ampvane {
namespace {

constexpr double kMetricAirspeedStep = 1.1185; // mph, 0.5 m/s
constexpr double kRangeTolerance = 0.001;      // a bound reached by repeated addition still counts
constexpr char kDegree[] = "\xC2\xB0";
// An in-flight sweep ends when thrust no longer beats drag; this bound only guards against input
// for which that never happens.
constexpr int kMaxAirspeedPasses = 5000;
// Static combinations are evaluated in blocks so that a huge sweep does not hold every
// intermediate result at once.
constexpr std::size_t kSweepBlock = 16384;
// The share of a block one thread takes at a time: small enough that both cores finish a block
// together, large enough for the interleaved solves.
constexpr std::size_t kSweepChunk = 256;

// Help topic of the workbench's "Use It" box; topics are numbered by the help subsystem.
constexpr int kUseFilterHelpTopic = 300; // the filter group's page
constexpr int kComputeHelpTopic = 6; // the questions page explains this message

double Finite(double value) {
    return std::isfinite(value) ? value : 0;
}

struct Combination {
    int Sc = 0;
    int Pc = 0;
    double G = 1, D = 0, P = 0;
};

struct Evaluation {
    bool Ok = false;
    ReportRowValues Values;
};

// Room for a block's evaluations that nothing clears: each is written whole by the solve of its
// chunk, so its pages are first touched by the core that solves it. Zeroed by one thread before the
// cores started, the first block's 3.5 MB cost about 8 ms of a 170 ms report.
class EvaluationRoom {
public:
    // Aggregates: the storage holds them as soon as it is allocated, and nothing needs destroying.
    static_assert(std::is_aggregate_v<Evaluation> && std::is_trivially_destructible_v<Evaluation>);

    std::size_t size() const { return size_; }
    void Grow(std::size_t size) {
        if (size <= size_) return;
        storage_.reset(static_cast<Evaluation*>(::operator new(size * sizeof(Evaluation))));
        size_ = size;
    }
    Evaluation& operator[](std::size_t i) { return storage_[i]; }
    std::span<Evaluation> subspan(std::size_t begin, std::size_t size) { return {storage_.get() + begin, size}; }

private:
    struct Release {
        void operator()(Evaluation* room) const { ::operator delete(room); }
    };
    std::unique_ptr<Evaluation[], Release> storage_;
    std::size_t size_ = 0;
};

// One step of a range loop; a step that is not positive evaluates the first value only.
double NextValue(double value, double by, double to) {
    if (!(by > 0) || !std::isfinite(by)) return to + 1;
    return value + by;
}

template <class Visit>
void ForEachCombination(const PlaneDesc& plane, Visit visit) {
    const DriveSystemDesc& d = plane.Drive;
    for (int Sc = plane.Cell.SeriesCellsFrom; Sc <= plane.Cell.SeriesCellsTo; ++Sc) {
        for (int Pc = plane.ParallelCellsFrom; Pc <= plane.ParallelCellsTo; ++Pc) {
            if (d.Kind != PropellerDrive) {
                if (!visit(Combination{Sc, Pc, 1, 0, 0})) return;
                continue;
            }
            for (double G = d.GearRatioFrom(); G < d.GearRatioTo() + kRangeTolerance;
                 G = NextValue(G, d.GearRatioBy(), d.GearRatioTo())) {
                for (double D = d.DiameterFrom(); D < d.DiameterTo() + kRangeTolerance;
                     D = NextValue(D, d.DiameterBy(), d.DiameterTo())) {
                    for (double P = d.PitchFrom(); P < d.PitchTo() + kRangeTolerance;
                         P = NextValue(P, d.PitchBy(), d.PitchTo())) {
                        if (!visit(Combination{Sc, Pc, G, D, P})) return;
                    }
                }
            }
        }
    }
}

// Steps of one range loop of ForEachCombination. A range of more steps than can reasonably be
// walked is counted by division; the sweep refuses it anyway.
std::uint64_t RangeSteps(double from, double to, double by) {
    if (!(from < to + kRangeTolerance)) return 0;
    if (!(by > 0) || !std::isfinite(by)) return 1;
    const double estimate = (to + kRangeTolerance - from) / by;
    if (!(estimate < 1e7))
        return estimate >= 1e18 ? std::uint64_t{1000000000000000000} : static_cast<std::uint64_t>(estimate) + 1;
    std::uint64_t steps = 0;
    for (double value = from; value < to + kRangeTolerance; value = NextValue(value, by, to)) ++steps;
    return steps;
}

// A count with thousands separated by commas: 20,000,000.
std::string GroupedCount(std::uint64_t n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::uint64_t SaturatingProduct(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > UINT64_MAX / a) return UINT64_MAX;
    return a * b;
}

// The report's records bound to the model's argument lists, so that every solve of a propeller or
// fan drive is written once.
class DriveModel {
public:
    explicit DriveModel(const Report& report)
        : plane_(report.Plane), options_(report.Options), d_(report.Plane.Drive), m_(report.Plane.Motor),
          a_(report.Plane.Airframe), heating_(report.Options.AccountForHeating != 0) {}

    struct Point {
        bool Failed = true;
        double Rpm = 0, MotorCurrent = 0, MotorVoltage = 0, OutputPower = 0, MotorTemperature = 0;
        double Thrust = 0, Efficiency = 0; // efficiency: the propeller's, or a fan's thrust coefficient
    };

    // The propeller drive's arguments at airspeed Va with cell voltage V (already throttled).
    PropDriveProblem PropProblem(int Sc, int Pc, double Va, double P, double D, double G, double V) const {
        return PropDriveProblem{Sc,
                                Pc,
                                plane_.NumberOfESCs,
                                heating_,
                                options_.TemperatureC,
                                m_.HeatingFactor,
                                options_.DensityRatio,
                                d_.ThrustConstant(),
                                d_.PropConstant(),
                                d_.Blades,
                                plane_.NumberOfProps,
                                plane_.ParallelMotors,
                                plane_.SeriesMotors,
                                Va,
                                P,
                                D,
                                d_.GearboxEfficiency(),
                                G,
                                plane_.ESC.Resistance,
                                plane_.Cell.Resistance,
                                V,
                                m_.Weight,
                                m_.ArmatureResistance,
                                m_.IdleCurrent,
                                m_.MotorConstant};
    }

    // The operating point of a propeller drive solved for `problem`.
    Point PropPoint(const PropDriveProblem& problem, const PropDriveSolution& drive) const {
        Point point;
        Take(point, drive);
        if (!drive.Failed) {
            const PropThrustResult thrust = PropThrust(d_.ThrustConstant(), d_.PropConstant(), drive.OutputPower,
                                                       problem.Va, options_.DensityRatio, drive.Rpm, problem.P,
                                                       problem.D);
            point.Thrust = thrust.Thrust;
            point.Efficiency = thrust.Efficiency;
        }
        return point;
    }

    // The operating point at airspeed Va with cell voltage V (already throttled).
    Point At(int Sc, int Pc, double Va, double P, double D, double G, double V) const {
        Point point;
        const double sigma = options_.DensityRatio;
        if (d_.Kind == PropellerDrive && d_.Measured) {
            const PropDriveSolution drive = SolveMeasuredPropDrive(PropProblem(Sc, Pc, Va, P, D, G, V), *d_.Measured);
            Take(point, drive);
            if (!drive.Failed) {
                const PropThrustResult thrust = d_.Measured->Thrust(Va, drive.Rpm, sigma, plane_.NumberOfProps);
                point.Thrust = thrust.Thrust;
                point.Efficiency = thrust.Efficiency;
            }
        } else if (d_.Kind == PropellerDrive) {
            const PropDriveProblem problem = PropProblem(Sc, Pc, Va, P, D, G, V);
            point = PropPoint(problem, SolvePropDrive(problem));
        } else {
            const FanDriveSolution drive =
                SolveFanDrive(Sc, Pc, plane_.NumberOfESCs, heating_, options_.TemperatureC, m_.HeatingFactor, sigma,
                              d_.FanPowerCoeff(), plane_.ParallelMotors, plane_.SeriesMotors, Va, d_.FanPitch(),
                              d_.HubDiameter(), d_.FanDiameter(), plane_.ESC.Resistance, plane_.Cell.Resistance, V,
                              m_.Weight, m_.ArmatureResistance, m_.IdleCurrent, m_.MotorConstant);
            Take(point, drive);
            if (!drive.Failed) {
                const FanThrustResult thrust =
                    FanThrust(d_.FanThrustCoeff(), Va, sigma, drive.Rpm, plane_.ParallelMotors, plane_.SeriesMotors,
                              d_.FanPitch(), d_.IntakeLength(), d_.IntakeDiameter(), d_.ExhaustLength(),
                              d_.ExhaustDiameter(), d_.FanDiameter());
                point.Thrust = thrust.Thrust;
                point.Efficiency = thrust.Efficiency;
            }
        }
        return point;
    }

    // Rate of climb at best lift-to-drag with weight W and cell voltage V.
    ClimbResult Climb(int Sc, int Pc, double P, double D, double G, double V, double W) const {
        if (d_.Kind == PropellerDrive && d_.Measured)
            return SolveMeasuredClimb(PropProblem(Sc, Pc, 0, P, D, G, V), *d_.Measured, a_.WingArea, W, a_.ClOpt,
                                      a_.MaxLiftToDrag);
        if (d_.Kind == PropellerDrive) {
            const PropDriveProblem p = PropProblem(Sc, Pc, 0, P, D, G, V);
            return SolveClimb(p.Sc, p.Pc, p.Ne, p.heating, p.Ta, p.K, p.sigma, p.Tc, p.Kp, p.Nbl, p.Np, p.Pm, p.Sm,
                              p.P, p.D, p.gearboxEfficiency, p.G, p.Re, p.Rc, p.V, p.Wm, p.Rm, p.Io, p.Kv,
                              a_.WingArea, W, a_.ClOpt, a_.MaxLiftToDrag);
        }
        return SolveFanClimb(Sc, Pc, plane_.NumberOfESCs, heating_, options_.TemperatureC, m_.HeatingFactor,
                             options_.DensityRatio, d_.FanPowerCoeff(), plane_.ParallelMotors, plane_.SeriesMotors,
                             d_.FanPitch(), d_.HubDiameter(), d_.FanDiameter(), plane_.ESC.Resistance,
                             plane_.Cell.Resistance, V, m_.Weight, m_.ArmatureResistance, m_.IdleCurrent,
                             m_.MotorConstant, d_.FanThrustCoeff(), d_.IntakeLength(), d_.IntakeDiameter(),
                             d_.ExhaustLength(), d_.ExhaustDiameter(), a_.WingArea, W, a_.ClOpt, a_.MaxLiftToDrag);
    }

    // The climb problem of a propeller drive, for solving many at once.
    ClimbProblem PropClimbProblem(int Sc, int Pc, double P, double D, double G, double V, double W) const {
        return ClimbProblem{PropProblem(Sc, Pc, 0, P, D, G, V), a_.WingArea, W, a_.ClOpt, a_.MaxLiftToDrag};
    }

private:
    template <class Solution>
    static void Take(Point& point, const Solution& drive) {
        point.Failed = drive.Failed;
        point.Rpm = drive.Rpm;
        point.MotorCurrent = drive.MotorCurrent;
        point.MotorVoltage = drive.MotorVoltage;
        point.OutputPower = drive.OutputPower;
        point.MotorTemperature = drive.MotorTemperature;
    }

    const PlaneDesc& plane_;
    const AnalysisOptions& options_;
    const DriveSystemDesc& d_;
    const MotorDesc8& m_;
    const AirframeDesc& a_;
    bool heating_;
};

// Whether each row of this report carries a rate of climb.
bool RowsClimb(const Report& report) {
    return report.Flags.HasWeight && report.Flags.HasWing && !report.InFlight();
}

// The row of combination c from its operating point at airspeed Va, all but its rate of climb; not
// Ok when it cannot fly there.
Evaluation RowFromPoint(const Report& report, const Combination& c, double Va, const DriveModel::Point& point) {
    const PlaneDesc& plane = report.Plane;
    const ReportFlags& flags = report.Flags;
    const AirframeDesc& a = plane.Airframe;
    const double sigma = report.Options.DensityRatio;
    const bool propeller = plane.Drive.Kind == PropellerDrive;

    Evaluation e;
    if (point.Failed) return e;
    const double drag = flags.HasDrag ? DragForce(sigma, Va, a.WingArea, a.Cd) : 0;
    if (!(point.Thrust > 0) || point.Thrust < drag) return e;

    ReportRowValues& v = e.Values;
    v.SeriesCells = c.Sc;
    v.ParallelCells = c.Pc;
    if (propeller) {
        v.GearRatio = c.G;
        v.Diameter = c.D;
        v.Pitch = c.P;
    }
    v.Airspeed = Va;
    v.DriveRpm = point.Rpm;
    v.MotorRpm = point.Rpm * (propeller ? c.G : 1);
    v.MotorCurrent = point.MotorCurrent;
    // For a fan as for a propeller, the solve's own (heated) motor voltage: input power, loss and
    // efficiency then describe the same operating point as the current and output power.
    v.MotorVoltage = point.MotorVoltage;
    v.OutputPower = point.OutputPower;
    v.Thrust = point.Thrust;
    v.Drag = drag;
    v.MotorTemperature = point.MotorTemperature;
    v.BatteryCurrent = BatteryCurrent(v.MotorCurrent, report.Throttle, plane.ESC.HighRate != 0);
    v.InputPower = v.MotorCurrent * v.MotorVoltage;
    v.Loss = v.InputPower - v.OutputPower;
    v.MotorGearboxEfficiency = Finite(v.OutputPower / v.InputPower * 100);
    v.ShaftEfficiency = Finite(v.OutputPower / (v.SeriesCells * plane.Cell.Voltage * v.BatteryCurrent) * 100);
    v.TotalEfficiency = v.ShaftEfficiency * point.Efficiency;
    if (v.TotalEfficiency < 0.01) v.TotalEfficiency = 0;
    v.PropEfficiency = point.Efficiency * 100;
    if (v.PropEfficiency < (propeller ? 0.1 : 0.01)) v.PropEfficiency = 0;
    v.PitchSpeed = propeller ? PitchSpeed(c.P, point.Rpm) - Va
                             : FanEfflux(Va, point.Rpm, plane.Drive.FanPitch(), plane.Drive.ExhaustDiameter(),
                                         plane.Drive.HubDiameter(), plane.Drive.FanDiameter());
    v.RunTime = RunTimeSeconds(v.ParallelCells, plane.Cell.Capacity, v.BatteryCurrent);
    v.Lift = flags.HasCl ? LiftForce(sigma, Va, a.WingArea, a.Cl) : 0;
    if (flags.HasWeight) v.TotalWeight = TotalWeight(plane, v.SeriesCells, v.ParallelCells);
    e.Ok = true;
    return e;
}

void TakeClimb(ReportRowValues& v, const ClimbResult& climb) {
    v.RateOfClimb = climb.RateOfClimb;
    v.ClimbAngle = climb.ClimbAngle;
}

// One combination at airspeed Va; not Ok when it cannot fly there.
Evaluation Evaluate(const Report& report, const Combination& c, double Va) {
    const DriveModel model(report);
    const PlaneDesc& plane = report.Plane;
    Evaluation e =
        RowFromPoint(report, c, Va, model.At(c.Sc, c.Pc, Va, c.P, c.D, c.G, plane.Cell.Voltage * report.Throttle));
    // At full cell voltage whatever the throttle.
    if (e.Ok && RowsClimb(report))
        TakeClimb(e.Values, model.Climb(c.Sc, c.Pc, c.P, c.D, c.G, plane.Cell.Voltage, e.Values.TotalWeight));
    return e;
}

bool FilterApplies(const Report& report, double Va) {
    // Only static points at full throttle are filtered, for a fan as for a propeller: a filtered
    // row at rest would end a part-throttle in-flight sweep before it started. In-flight rows are
    // never filtered: their first row re-reads the static row's rounded cells and may fall just
    // outside a limit the static row met.
    return !report.InFlight() && Va == 0 && report.Throttle >= 1;
}

bool RowPassesFilter(const Report& report, const ReportRowValues& v) {
    const bool propeller = report.Plane.Drive.Kind == PropellerDrive;
    return PassesFilter(report.Plane, v.ParallelCells, propeller ? v.Diameter : 0, propeller ? v.Pitch : 0,
                        v.RunTime, v.PitchSpeed, v.Thrust, v.MotorRpm, v.MotorGearboxEfficiency, v.MotorTemperature,
                        v.Loss, v.MotorCurrent);
}

// The static rows of many combinations, with the filter's verdict on each; the same as Evaluate
// and RowPassesFilter one by one, but a propeller's drive and climb solves are interleaved. A row
// the filter drops gets no rate of climb: it is never shown.
void EvaluateStatic(const Report& report, std::span<const Combination> combinations, std::span<Evaluation> rows,
                    std::span<char> passes) {
    const PlaneDesc& plane = report.Plane;
    const DriveModel model(report);
    const bool filter = FilterApplies(report, 0);
    const double V = plane.Cell.Voltage * report.Throttle;
    const auto judge = [&](std::size_t i) {
        passes[i] = rows[i].Ok && (!filter || RowPassesFilter(report, rows[i].Values));
    };
    if (plane.Drive.Kind != PropellerDrive || plane.Drive.Measured) {
        for (std::size_t i = 0; i < combinations.size(); ++i) {
            const Combination& c = combinations[i];
            rows[i] = RowFromPoint(report, c, 0, model.At(c.Sc, c.Pc, 0, c.P, c.D, c.G, V));
            judge(i);
            if (passes[i] && RowsClimb(report))
                TakeClimb(rows[i].Values,
                          model.Climb(c.Sc, c.Pc, c.P, c.D, c.G, plane.Cell.Voltage, rows[i].Values.TotalWeight));
        }
        return;
    }
    // Kept by the thread from chunk to chunk (see SolveClimbs).
    thread_local std::vector<PropDriveProblem> drives;
    thread_local std::vector<PropDriveSolution> solutions;
    thread_local std::vector<ClimbProblem> climbs;
    thread_local std::vector<std::size_t> climbing;
    thread_local std::vector<ClimbResult> climbed;
    drives.resize(combinations.size());
    for (std::size_t i = 0; i < combinations.size(); ++i) {
        const Combination& c = combinations[i];
        drives[i] = model.PropProblem(c.Sc, c.Pc, 0, c.P, c.D, c.G, V);
    }
    solutions.assign(drives.size(), PropDriveSolution{});
    SolvePropDrives(drives, solutions);
    climbs.clear();
    climbing.clear();
    for (std::size_t i = 0; i < combinations.size(); ++i) {
        const Combination& c = combinations[i];
        rows[i] = RowFromPoint(report, c, 0, model.PropPoint(drives[i], solutions[i]));
        judge(i);
        if (!passes[i] || !RowsClimb(report)) continue;
        climbs.push_back(model.PropClimbProblem(c.Sc, c.Pc, c.P, c.D, c.G, plane.Cell.Voltage, rows[i].Values.TotalWeight));
        climbing.push_back(i);
    }
    climbed.assign(climbs.size(), ClimbResult{});
    SolveClimbs(climbs, climbed);
    for (std::size_t k = 0; k < climbing.size(); ++k) TakeClimb(rows[climbing[k]].Values, climbed[k]);
}

void CaptureMarkers(ReportGrid& grid, const ReportRowValues& v) {
    for (LevelFlightMarker& marker : grid.Markers) {
        if (!marker.Enabled || marker.Captured || !(marker.Speed <= v.Airspeed)) continue;
        marker.RowMotorCurrent = v.MotorCurrent;
        marker.RowMotorVoltage = v.MotorVoltage;
        marker.RowThrust = v.Thrust;
        marker.RowPitchSpeed = v.PitchSpeed;
        marker.RowDrag = v.Drag;
        marker.Captured = true;
    }
}

void AppendRow(Report& report, const ReportRowValues& values) {
    ReportRows& rows = report.Grid.Rows;
    StoreReportRow(report, values, rows, rows.Add());
}

// The static sweep: rows are independent, so blocks of combinations are evaluated on every core, a
// chunk at a time in sweep order; markers and the filter are then applied in sweep order, exactly as
// one thread would, and the rows that pass are stored, again on every core.
enum class SweepEnd { Done, TooMany, Cancelled };

SweepEnd StaticSweep(Report& report, const ReportRequest& request) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::optional<WorkCrew> crew; // made when a block first has work for more than one core
    std::vector<Combination> block;
    EvaluationRoom rows;
    std::vector<char> passes;
    std::vector<std::size_t> stored; // grid row of each combination that passes
    ReportRows& gridRows = report.Grid.Rows;
    const auto onEveryCore = [&](std::size_t count, const auto& chunkWork) {
        const std::size_t chunks = (count + kSweepChunk - 1) / kSweepChunk;
        std::atomic<std::size_t> nextChunk{0};
        const auto work = [&] {
            for (std::size_t chunk = nextChunk++; chunk < chunks; chunk = nextChunk++) {
                const std::size_t begin = chunk * kSweepChunk;
                chunkWork(begin, std::min(kSweepChunk, count - begin));
            }
        };
        if (!report.Settings.Parallel || cores == 1 || chunks < 2) {
            work();
            return;
        }
        if (!crew) crew.emplace(cores - 1);
        const std::function<void(unsigned)> helperWork = [&](unsigned) { work(); };
        const WorkCrew::Round round = crew->Start(helperWork);
        work();
    };
    const auto flush = [&] {
        const std::size_t count = block.size();
        // Every row and verdict of the block is written by its evaluation: the room is made once, not
        // cleared on one core.
        if (rows.size() < count) {
            rows.Grow(count);
            passes.resize(count);
            stored.resize(count);
        }
        onEveryCore(count, [&](std::size_t begin, std::size_t size) {
            EvaluateStatic(report, std::span(block).subspan(begin, size), rows.subspan(begin, size),
                           std::span(passes).subspan(begin, size));
        });
        std::size_t passing = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (!rows[i].Ok) continue;
            CaptureMarkers(report.Grid, rows[i].Values);
            if (passes[i]) stored[i] = gridRows.Count() + passing++;
        }
        gridRows.AddUnset(passing);
        // Each row is its own memory: the cores fill theirs side by side, every number of it.
        onEveryCore(count, [&](std::size_t begin, std::size_t size) {
            for (std::size_t i = begin; i < begin + size; ++i)
                if (passes[i]) StoreReportRow(report, rows[i].Values, gridRows, stored[i]);
        });
        block.clear();
    };
    const std::uint64_t combinations = CountCombinations(report.Plane);
    if (combinations > kMaxCombinations) return SweepEnd::TooMany;
    gridRows.Reserve(combinations);
    block.reserve(std::min<std::uint64_t>(combinations, kSweepBlock));
    std::uint64_t done = 0;
    bool cancelled = false;
    ForEachCombination(report.Plane, [&](const Combination& c) {
        block.push_back(c);
        if (block.size() < kSweepBlock) return true;
        done += block.size();
        flush();
        cancelled = request.Progress && !request.Progress(done, combinations);
        return !cancelled;
    });
    if (cancelled) {
        // Nothing half-built stays behind, and the memory goes back at once.
        gridRows = ReportRows{};
        return SweepEnd::Cancelled;
    }
    flush();
    return SweepEnd::Done;
}

// The in-flight sweep: one pass per airspeed until a pass writes no row.
void InFlightSweep(Report& report) {
    const double step = report.Options.Metric ? kMetricAirspeedStep : 1;
    double Va = 0;
    for (int pass = 0; pass < kMaxAirspeedPasses; ++pass) {
        bool stop = false;
        bool written = false;
        ForEachCombination(report.Plane, [&](const Combination& c) {
            const Evaluation e = Evaluate(report, c, Va);
            if (!e.Ok) {
                stop = true;
                return false;
            }
            CaptureMarkers(report.Grid, e.Values);
            if (FilterApplies(report, Va) && !RowPassesFilter(report, e.Values)) {
                written = false;
                return true;
            }
            AppendRow(report, e.Values);
            written = true;
            return true;
        });
        if (!stop) report.Grid.MaxLevelSpeed = Va;
        Va += step;
        if (stop || !written) break;
    }
}

} // namespace

std::string TooManyCombinationsMessage(std::uint64_t asked) {
    return "The ranges of cells, gear ratios, diameters and pitches give " + GroupedCount(asked) +
           " combinations, more than the " + GroupedCount(kMaxCombinations) +
           " a report can hold. Please narrow the ranges or enlarge their increments.";
}

std::uint64_t CountCombinations(const PlaneDesc& plane) {
    const auto cellSteps = [](std::int32_t from, std::int32_t to) {
        if (to < from) return std::uint64_t{0};
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(to) - from) + 1;
    };
    std::uint64_t count = SaturatingProduct(cellSteps(plane.Cell.SeriesCellsFrom, plane.Cell.SeriesCellsTo),
                                            cellSteps(plane.ParallelCellsFrom, plane.ParallelCellsTo));
    const DriveSystemDesc& d = plane.Drive;
    if (d.Kind != PropellerDrive) return count;
    count = SaturatingProduct(count, RangeSteps(d.GearRatioFrom(), d.GearRatioTo(), d.GearRatioBy()));
    count = SaturatingProduct(count, RangeSteps(d.DiameterFrom(), d.DiameterTo(), d.DiameterBy()));
    return SaturatingProduct(count, RangeSteps(d.PitchFrom(), d.PitchTo(), d.PitchBy()));
}

namespace {

// Input and output power of the first combination at rest, at the report's throttle.
Evaluation FirstCombinationAtRest(const Report& report) {
    Combination first{report.Plane.Cell.SeriesCellsFrom, report.Plane.ParallelCellsFrom,
                      report.Plane.Drive.GearRatioFrom(), report.Plane.Drive.DiameterFrom(),
                      report.Plane.Drive.PitchFrom()};
    if (report.Plane.Drive.Kind != PropellerDrive) first = Combination{first.Sc, first.Pc, 1, 0, 0};
    return Evaluate(report, first, 0);
}

std::string StatsLine(Report& report, double lightWeight) {
    const PlaneDesc& plane = report.Plane;
    const AnalysisOptions& options = report.Options;
    const NumberLocale& locale = report.Settings.Locale;
    const ReportFlags& flags = report.Flags;
    const AirframeDesc& a = plane.Airframe;
    ReportGrid& grid = report.Grid;
    const bool metric = options.Metric;
    const auto upTo = [&](double value, int decimals) { return FormatNumber(0, -decimals, 0, value, locale); };
    const auto speed = [&](double mph) {
        return metric ? upTo(mph * kMetresPerSecondPerMph, 1) + "m/s"
                      : FormatNumber(0, 0, 0, mph, locale) + "mph";
    };
    const int Sc = plane.Cell.SeriesCellsFrom, Pc = plane.ParallelCellsFrom;
    const DriveSystemDesc& d = plane.Drive;

    std::string parts;
    if (flags.HasWeight && lightWeight > 0) {
        const Evaluation rest = FirstCombinationAtRest(report);
        if (rest.Ok) {
            const double factor = metric ? kOuncesPerKilogram : kOuncesPerPound;
            const char* unit = metric ? " W/kg" : " W/lb";
            parts += "; " + FormatNumber(0, 0, 0, rest.Values.InputPower / lightWeight * factor, locale) + unit + " in";
            parts += "; " + FormatNumber(0, 0, 0, rest.Values.OutputPower / lightWeight * factor, locale) + unit +
                     " out";
        }
    }
    if (flags.HasStall) {
        parts += metric ? "; " + upTo(grid.StallSpeed * kMetresPerSecondPerMph, 1) + "m/s stall"
                        : "; " + FormatNumber(0, 0, 0, grid.StallSpeed, locale) + "mph stall";
    }
    for (int index = 1; index <= 2; ++index) {
        LevelFlightMarker& marker = grid.Markers[index];
        if (!marker.Enabled) continue;
        if (index == 1)
            LevelFlightPoint(report, Sc, Pc, marker,
                             a.MaxLiftToDrag > 0 ? a.ClOpt / a.MaxLiftToDrag : std::numeric_limits<double>::infinity(), a.ClOpt,
                             lightWeight, d.PitchFrom(), d.DiameterFrom(), d.GearRatioFrom());
        else
            LevelFlightPoint(report, Sc, Pc, marker, a.Cd, a.Cl, lightWeight, d.PitchFrom(), d.DiameterFrom(),
                             d.GearRatioFrom());
        parts += "; " + speed(marker.Speed) + (index == 1 ? " opt" : " level");
        if (marker.Feasible) {
            parts += " @ " + FormatNumber(0, 0, 0, marker.Throttle * 100, locale) + "% (" +
                     std::string(TrimmedView(FormatMinSec(marker.RunTime, locale)));
            if (options.AccountForHeating) {
                const double t = options.MetricTempPress ? marker.MotorTemperature
                                                         : FahrenheitFromCelsius(marker.MotorTemperature);
                parts += ", " + FormatNumber(0, 0, 0, t, locale) + kDegree + (options.MetricTempPress ? "C" : "F");
            }
            parts += ")";
        }
    }
    if (flags.HasWingLoading && flags.HasDrag && flags.HasStall) {
        const auto climbText = [&](const ClimbResult& climb) {
            const std::string rate =
                metric ? upTo(climb.RateOfClimb * kMetresPerSecondPerFootPerMinute, 2) + "m/s"
                       : FormatNumber(0, 0, 0, climb.RateOfClimb, locale) + "ft/min";
            return rate + " @ " + upTo(climb.ClimbAngle, 1) + kDegree;
        };
        const double sigma = options.DensityRatio;
        const ClimbResult climb = DriveModel(report).Climb(Sc, Pc, d.PitchFrom(), d.DiameterFrom(), d.GearRatioFrom(),
                                                           plane.Cell.Voltage * report.Throttle, lightWeight);
        parts += "; " + climbText(climb);
        parts += "; " + climbText(GlideSinkRate(sigma, a.WingArea, lightWeight, a.ClOpt, a.MaxLiftToDrag));
    }
    if (parts.empty()) return {};
    return "Stats: " + parts.substr(2) + ".";
}

// Steps 3 to 8 of a build: flags, weights, furniture, the sweep and its outcome.
ReportOutcome BuildFromRecords(Report& report, const ReportRequest& request, MessageSink& sink, Prompter& prompter) {
    for (;;) {
        PlaneDesc& plane = report.Plane;
        ReportFlags& flags = report.Flags;
        ReportGrid& grid = report.Grid;
        flags = ComputeReportFlags(plane);

        grid = ReportGrid{};
        grid.InFlight = report.InFlight();
        grid.Propeller = plane.Drive.Kind == PropellerDrive;
        grid.ThrottlePercent = report.Throttle * 100;
        grid.DecimalSeparator = report.Settings.Locale.decimal;
        grid.TimeSeparator = report.Settings.Locale.timeSeparator;
        grid.Markers[0].Enabled = true;
        grid.Markers[1].Enabled = flags.HasWeight && flags.HasClOpt;
        grid.Markers[2].Enabled = flags.HasWeight && flags.HasCl;

        double lightWeight = 0;
        if (flags.HasWeight) {
            lightWeight = TotalWeight(plane, plane.Cell.SeriesCellsFrom, plane.ParallelCellsFrom);
            grid.MaxTotalWeight = TotalWeight(plane, plane.Cell.SeriesCellsTo, plane.ParallelCellsTo);
        }
        if (report.InFlight() && flags.HasStall) {
            grid.StallSpeed = LevelFlightSpeed(report.Options.DensityRatio, plane.Airframe.ClMax,
                                               plane.Airframe.WingArea, grid.MaxTotalWeight);
            grid.ShowStall = true;
        }
        grid.Caption = ReportCaption(plane.ProjectName + MeasuredPropellerCaption(plane.Drive), report.InFlight(),
                                     request.ThrottlePercent);
        grid.ConditionLine = ReportConditionLine(report.Options, report.Settings.Locale);
        DescribeReport(report, grid);
        if (report.InFlight()) grid.Description[7] = StatsLine(report, lightWeight);
        CompactDescriptionLines(grid.Description);
        LayOutReportColumns(report, grid);

        if (report.InFlight()) {
            InFlightSweep(report);
        } else {
            const SweepEnd end = StaticSweep(report, request);
            if (end == SweepEnd::Cancelled) return ReportOutcome::Closed;
            if (end == SweepEnd::TooMany) {
                const std::string refusal = TooManyCombinationsMessage(CountCombinations(report.Plane));
                sink.Report(Message{MessageKind::Error, refusal, OkButton, 0});
                return ReportOutcome::Closed;
            }
        }

        if (grid.RowCount() > 0) {
            grid.TopRow = request.TopRow == 0 ? 2 : request.TopRow;
            if (grid.RowCount() == 1 && !report.InFlight()) return ReportOutcome::OpenInFlight;
            return report.OpenOpinion ? ReportOutcome::OpenOpinion : ReportOutcome::Shown;
        }
        if (plane.UseFilter) {
            Message question{MessageKind::Warning, kNoCombinationMessage, OkButton | CancelButton | HelpButton,
                             kUseFilterHelpTopic};
            if (prompter.Ask(question) != OkButton) return ReportOutcome::Closed;
            plane.UseFilter = 0;
            continue;
        }
        sink.Report(Message{MessageKind::Error, kUnableToComputeMessage, OkButton | HelpButton, kComputeHelpTopic});
        return ReportOutcome::Closed;
    }
}

} // namespace

ReportFlags ComputeReportFlags(const PlaneDesc& plane) {
    const AirframeDesc& a = plane.Airframe;
    ReportFlags flags;
    flags.HasWing = a.WingArea > 0;
    flags.HasDrag = flags.HasWing && a.Cd > 0;
    flags.HasCl = flags.HasWing && a.Cl > 0;
    flags.HasClOpt = flags.HasWing && a.ClOpt > 0;
    flags.HasWeight = a.EmptyWeight > 0;
    flags.HasWingLoading = flags.HasWeight && flags.HasWing;
    flags.HasStall = flags.HasWingLoading && a.ClMax > 0;
    flags.ShowMotorRpm = plane.Drive.Kind == PropellerDrive &&
                         !(plane.Drive.GearRatioFrom() == 1 && plane.Drive.GearRatioTo() == 1);
    return flags;
}

double TotalWeight(const PlaneDesc& plane, int Sc, int Pc) {
    const int motors = plane.SeriesMotors * plane.ParallelMotors;
    double driveWeight = plane.Drive.Weight;
    if (plane.Drive.Kind == PropellerDrive)
        driveWeight *= motors < plane.NumberOfProps ? motors : plane.NumberOfProps;
    else if (plane.Drive.Kind == FanDrive)
        driveWeight *= motors;
    return motors * plane.Motor.Weight + plane.Airframe.EmptyWeight + static_cast<double>(Sc) * Pc * plane.Cell.Weight +
           driveWeight + plane.NumberOfESCs * plane.ESC.Weight;
}

void LevelFlightPoint(const Report& report, int seriesCells, int parallelCells, LevelFlightMarker& marker, double Cd,
                      double Cl, double weight, double pitch, double diameter, double gearRatio) {
    const PlaneDesc& plane = report.Plane;
    const AirframeDesc& a = plane.Airframe;
    const double sigma = report.Options.DensityRatio;

    marker.Speed = LevelFlightSpeed(sigma, Cl, a.WingArea, weight);
    const double required = DragForce(sigma, marker.Speed, a.WingArea, Cd);
    marker.Throttle = 1.0;
    double sustainingCurrent = 0;
    double thrust = 0;
    const DriveModel model(report);
    bool solved = false;
    do {
        const DriveModel::Point point = model.At(seriesCells, parallelCells, marker.Speed, pitch, diameter, gearRatio,
                                                 plane.Cell.Voltage * marker.Throttle);
        // A failed drive's outputs mean nothing: the marker keeps those of the last drive that solved.
        if (!point.Failed || !solved) {
            marker.MotorCurrent = point.MotorCurrent;
            marker.MotorVoltage = point.MotorVoltage;
            marker.MotorTemperature = point.MotorTemperature;
        }
        solved = solved || !point.Failed;
        thrust = point.Failed ? 0 : point.Thrust;
        if (thrust >= required) {
            sustainingCurrent = marker.MotorCurrent;
            marker.Throttle -= 0.01;
        }
    } while (thrust >= required && marker.Throttle > 0);
    if (marker.Throttle < 1.0) marker.MotorCurrent = sustainingCurrent;
    marker.Throttle += 0.01;
    marker.BatteryCurrent = BatteryCurrent(marker.MotorCurrent, marker.Throttle, plane.ESC.HighRate != 0);
    if (marker.Throttle < 1.001) {
        marker.RunTime = RunTimeSeconds(parallelCells, plane.Cell.Capacity, marker.BatteryCurrent);
        marker.Feasible = true;
    } else {
        marker.Feasible = false;
    }
}

ReportOutcome BuildReport(Report& report, const ReportRequest& request, const AnalysisOptions& options,
                          const PlaneDesc& plane, MessageSink& sink, Prompter& prompter) {
    report.Parent = request.Parent;
    report.RowLabel = request.RowLabel;
    report.OpenOpinion = request.OpenOpinion;
    if (request.ThrottlePercent == 100) {
        report.Plane = plane;
        report.ReceivedPlane.reset();
        report.Options = options;
        UseMeasuredPropellerSize(report.Plane.Drive);
    }
    const double percent = std::isfinite(request.ThrottlePercent) ? request.ThrottlePercent : 100;
    report.Throttle = std::clamp(percent, 0.0, 100.0) / 100;
    return BuildFromRecords(report, request, sink, prompter);
}

std::optional<Report> OpenInFlightReport(const Report& staticReport, int dataRow, bool openOpinion, MessageSink& sink,
                                         Prompter& prompter, ReportOutcome* outcome) {
    const ReportGrid& grid = staticReport.Grid;
    if (staticReport.InFlight() || dataRow < 0 || dataRow >= grid.RowCount()) return std::nullopt;
    const NumberLocale& locale = staticReport.Settings.Locale;
    PlaneDesc plane = staticReport.Plane;

    // The row's cells text: n, or nSmP.
    const std::string cells(TrimmedView(grid.Cell(dataRow + 2, grid.Position(ReportColumn::Cells))));
    int series = 0, parallel = 1;
    {
        const auto s = cells.find('S');
        series = LenientInt(cells.substr(0, s), sink);
        if (s != std::string::npos) {
            std::string rest = cells.substr(s + 1);
            if (const auto p = rest.find('P'); p != std::string::npos) rest.resize(p);
            parallel = LenientInt(rest, sink);
        }
    }
    plane.Cell.SeriesCellsFrom = plane.Cell.SeriesCellsTo = series;
    plane.ParallelCellsFrom = plane.ParallelCellsTo = parallel;
    if (plane.Drive.Kind == PropellerDrive) {
        const auto read = [&](ReportColumn quantity) {
            return LenientReal(grid.Cell(dataRow + 2, grid.Position(quantity)), locale, sink);
        };
        const double scale = staticReport.Options.MetricPropSizes ? kInchesPerCentimetre : 1;
        const double G = read(ReportColumn::GearRatio);
        const double D = read(ReportColumn::Diameter) * scale;
        const double P = read(ReportColumn::Pitch) * scale;
        DriveSystemDesc& d = plane.Drive;
        d.GearRatioFrom() = d.GearRatioTo() = G;
        d.DiameterFrom() = d.DiameterTo() = D;
        d.PitchFrom() = d.PitchTo() = P;
        d.GearRatioBy() = d.DiameterBy() = d.PitchBy() = 1.0;
    }

    Report inFlight;
    inFlight.Settings = staticReport.Settings;
    ReportRequest request;
    request.Parent = &staticReport;
    request.RowLabel = grid.Cell(dataRow + 2, grid.SequenceColumn);
    request.OpenOpinion = staticReport.OpenOpinion || openOpinion;
    const ReportOutcome result = BuildReport(inFlight, request, staticReport.Options, plane, sink, prompter);
    if (outcome) *outcome = result;
    return inFlight;
}

ReportOutcome SetInFlightThrottle(Report& report, int throttlePercent, MessageSink& sink, Prompter& prompter) {
    ReportRequest request;
    request.Parent = report.Parent;
    request.RowLabel = report.RowLabel;
    request.TopRow = report.Grid.TopRow;
    request.ThrottlePercent = std::clamp(throttlePercent, 0, 100);
    const PlaneDesc plane = report.Plane;
    const AnalysisOptions options = report.Options;
    return BuildReport(report, request, options, plane, sink, prompter);
}

ReportOutcome BuildStaticReport(Report& report, const AnalysisOptions& options, const DisplayPlane& plane,
                                MessageSink& sink, Prompter& prompter,
                                std::function<bool(std::uint64_t, std::uint64_t)> progress) {
    ReportRequest request;
    request.ThrottlePercent = 100;
    request.Progress = std::move(progress);
    const ReportOutcome outcome =
        BuildReport(report, request, options, ConvertToInternalUnits(plane, options), sink, prompter);
    report.ReceivedPlane = plane;
    return outcome;
}

} // namespace ampvane
