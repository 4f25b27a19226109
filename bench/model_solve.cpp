// Cost of solving one operating point, the unit of work of every report row and wizard candidate.

#include <benchmark/benchmark.h>

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

} // namespace

BENCHMARK(BM_SolvePropDrive_Static_HeatingOn);
BENCHMARK(BM_SolvePropDrive_Static_HeatingOff);
BENCHMARK(BM_SolvePropDrive_30mph_HeatingOn);
BENCHMARK(BM_SolvePropDrive_30mph_HeatingOff);
BENCHMARK(BM_SolveFanDrive_Static_HeatingOn);

BENCHMARK_MAIN();
