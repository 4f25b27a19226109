// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of solving one operating point, the unit of work of every report row and wizard candidate.

#include <benchmark/benchmark.h>

#include <vector>

#include "model/fan.h"
#include "model/propeller.h"

namespace {

using namespace ampvane;

// A 3-cell LiPo on one geared motor swinging a 10×6 propeller.
void PropDrive(benchmark::State& state, bool heating, double airspeed) {
    double Va = airspeed;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Va);
        const PropDriveSolution d = SolvePropDrive(3, 1, 1, heating, 20, 3.8, 0.948, 0.95, 1, 2, 1, 1, 1, Va, 6, 10,
                                                   0.95, 2.5, 0.006, 0.008, 3.7, 4, 0.08, 1.2, 2800);
        benchmark::DoNotOptimize(d);
    }
}

void BM_SolvePropDrive_Static_HeatingOn(benchmark::State& state) { PropDrive(state, true, 0); }
void BM_SolvePropDrive_Static_HeatingOff(benchmark::State& state) { PropDrive(state, false, 0); }
void BM_SolvePropDrive_30mph_HeatingOn(benchmark::State& state) { PropDrive(state, true, 30); }
void BM_SolvePropDrive_30mph_HeatingOff(benchmark::State& state) { PropDrive(state, false, 30); }

// Ten cells on a 3 in fan with one motor, at rest.
void BM_SolveFanDrive_Static_HeatingOn(benchmark::State& state) {
    double Va = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Va);
        const FanDriveSolution d = SolveFanDrive(10, 1, 1, true, 20, 3.8, 0.948, 0.82, 1, 1, Va, 3, 1, 3, 0.01,
                                                 0.005, 1.2, 6, 0.05, 1, 3000);
        benchmark::DoNotOptimize(d);
    }
}

// 1,000 heated in-flight solves over a range of pitches and diameters, the climb solves of a report:
// one after the other, and interleaved.
std::vector<PropDriveProblem> InFlightProblems() {
    std::vector<PropDriveProblem> problems;
    for (int i = 0; i < 1000; ++i)
        problems.push_back(PropDriveProblem{3, 1, 1, true, 20, 3.8, 0.948, 0.95, 1, 2, 1, 1, 1, 30, 5 + (i % 10) * 0.5,
                                            8 + (i / 10 % 10) * 0.5, 0.95, 2.5, 0.006, 0.008, 3.7, 4, 0.08, 1.2, 2800});
    return problems;
}

void BM_SolvePropDrive_OneByOne(benchmark::State& state) {
    const std::vector<PropDriveProblem> problems = InFlightProblems();
    std::vector<PropDriveSolution> solutions(problems.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < problems.size(); ++i) solutions[i] = SolvePropDrive(problems[i]);
        benchmark::DoNotOptimize(solutions.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(problems.size()));
}

void BM_SolvePropDrives_Interleaved(benchmark::State& state) {
    const std::vector<PropDriveProblem> problems = InFlightProblems();
    std::vector<PropDriveSolution> solutions(problems.size());
    for (auto _ : state) {
        SolvePropDrives(problems, solutions);
        benchmark::DoNotOptimize(solutions.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(problems.size()));
}

} // namespace

BENCHMARK(BM_SolvePropDrive_OneByOne)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SolvePropDrives_Interleaved)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SolvePropDrive_Static_HeatingOn);
BENCHMARK(BM_SolvePropDrive_Static_HeatingOff);
BENCHMARK(BM_SolvePropDrive_30mph_HeatingOn);
BENCHMARK(BM_SolvePropDrive_30mph_HeatingOff);
BENCHMARK(BM_SolveFanDrive_Static_HeatingOn);

BENCHMARK_MAIN();
