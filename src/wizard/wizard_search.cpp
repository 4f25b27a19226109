// SPDX-License-Identifier: GPL-3.0-or-later
#include "wizard/wizard_search.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <thread>

#include "common/work_crew.h"
#include "model/electric_chain.h"
#include "model/model_numbers.h"
#include "model/propeller.h"

namespace ampvane {

using model_detail::RoundHalfEven;

void WizardCounters::Add(const WizardCounters& o) {
    analysed += o.analysed;
    tooHeavy += o.tooHeavy;
    tooMuchCurrent += o.tooMuchCurrent;
    tooInefficient += o.tooInefficient;
    tooHot += o.tooHot;
    tooFast += o.tooFast;
    propTooLarge += o.propTooLarge;
    insufficientThrust += o.insufficientThrust;
    notComputed += o.notComputed;
}

// ---- progress ----

void WizardSearchControl::Start(std::int64_t maximum, std::string stage) {
    std::lock_guard lock(mutex_);
    maximum_ = maximum;
    position_ = 0;
    stage_ = std::move(stage);
    plainText_ = false;
    stages_.push_back(stage_);
}

void WizardSearchControl::SetText(std::string text) {
    std::lock_guard lock(mutex_);
    stage_ = std::move(text);
    plainText_ = true;
    stages_.push_back(stage_);
}

std::string WizardSearchControl::Stage() const {
    std::lock_guard lock(mutex_);
    return stage_;
}

std::vector<std::string> WizardSearchControl::Stages() const {
    std::lock_guard lock(mutex_);
    return stages_;
}

std::string WizardSearchControl::ProgressText() const {
    std::lock_guard lock(mutex_);
    if (plainText_) return stage_;
    const std::int64_t maximum = maximum_, position = position_;
    // The bar runs from 1 to the maximum, so its span is one less than the maximum.
    const std::int64_t span = maximum - 1;
    if (span <= 0) return stage_ + "...100%";
    return stage_ + "..." + std::to_string(std::min<std::int64_t>(position, maximum) * 100 / span) + "%";
}

// ---- battery candidates ----

namespace {

void ShellSortByCapacity(std::vector<BatteryCandidate>& candidates) {
    // Largest capacity first; gaps 1, 4, 13, 40, ... as the pack list has always been sorted, so
    // packs of equal capacity keep the order they always had.
    const std::size_t n = candidates.size();
    std::size_t gap = 1;
    while (gap < n / 3) gap = gap * 3 + 1;
    for (; gap > 0; gap /= 3) {
        for (std::size_t i = gap; i < n; ++i) {
            BatteryCandidate moving = std::move(candidates[i]);
            std::size_t j = i;
            while (j >= gap && candidates[j - gap].cell.capacity < moving.cell.capacity) {
                candidates[j] = std::move(candidates[j - gap]);
                j -= gap;
            }
            candidates[j] = std::move(moving);
        }
    }
}

} // namespace

std::vector<BatteryCandidate> BuildBatteryCandidates(const WizardSearchSettings& s, double t) {
    // The store grows as needed: raised parallel limits in the cell list lose no pack.
    std::vector<BatteryCandidate> candidates;
    const double emptyWeight = s.airframe.EmptyWeight;
    for (const CellEntry& cell : s.cells) {
        if (!s.chemistryAllowed[static_cast<std::size_t>(cell.chemistry)]) continue;
        const int firstP = s.givenParallel != 0 ? s.givenParallel : 1;
        const int lastP = s.givenParallel != 0 ? s.givenParallel : cell.maxParallel;
        for (int p = firstP; p <= lastP; ++p) {
            const double runCurrent = p * cell.capacity / t;
            if (!std::isfinite(runCurrent)) break;
            if (!(p * cell.maxCurrent >= runCurrent)) continue;
            if (s.givenSeries != 0) {
                candidates.push_back({cell, s.givenSeries, s.givenSeries, p});
                continue;
            }
            const bool nickel = IsNickel(cell.chemistry);
            const double budget = std::min(emptyWeight / 1.5, s.maxAllUpWeight - emptyWeight);
            const double cells = std::floor(budget / (p * cell.weight));
            const double allowance = RoundHalfEven(s.voltageAllowance / (cell.voltage * 42));
            if (!std::isfinite(cells) || !std::isfinite(allowance)) break;
            double n = std::min<double>(cells, nickel ? s.maxNickelSeries : s.maxLithiumSeries);
            n = std::min<double>(n, cell.maxSeries);
            const int least = nickel ? 6 : 2;
            if (n >= least) {
                const double most = std::min(n, std::max<double>(least, allowance + (nickel ? 2 : 1)));
                candidates.push_back({cell, least, static_cast<std::int32_t>(most), p});
            }
        }
    }
    for (BatteryCandidate& candidate : candidates) {
        const int p = candidate.parallel;
        if (p <= 1) continue;
        CellEntry& cell = candidate.cell;
        cell.name += " " + std::to_string(p) + "-parallel";
        cell.shortName += " " + std::to_string(p) + "P";
        cell.capacity *= p;
        cell.resistance /= p;
        cell.weight *= p;
        cell.maxCurrent *= p;
    }
    ShellSortByCapacity(candidates);
    return candidates;
}

double RoundPropSize(double value, double inchAbove) {
    return value > inchAbove ? RoundHalfEven(value) : RoundHalfEven(value * 2) / 2;
}

std::optional<double> SizeWithinMaximum(double computed, double inchAbove, double maximum) {
    const double rounded = RoundPropSize(computed, inchAbove);
    if (maximum == 0) return rounded;
    if (computed > maximum) return std::nullopt;
    return std::min(rounded, maximum);
}

// ---- one motor ----

namespace {

// A suitable system as one motor's search finds it: its pack by position among the pass's
// candidates, its motor by the outcome it belongs to. The full results (names, pack) are made once,
// in table order, when the pass is over: a search of thousands of motors finds hundreds of
// thousands, and moving each whole result about cost more than finding it.
struct FoundSystem {
    std::uint32_t pack = 0;
    std::int32_t series = 0;
    std::int32_t wiring = 1;
    double gearRatio = 1, diameter = 0, pitch = 0, rating = 0, current = 0, thrust = 0;
};

struct MotorOutcome {
    std::vector<FoundSystem> found;
    WizardCounters counters;
    double bestRating = 0;
};

void PropellerSearch(const WizardSearchSettings& s, std::uint32_t pack, int series, int arrangement, double W,
                     double I, double V, double Pout, double N, double vs, MotorOutcome& out) {
    const int n = s.motors;
    const bool exactPitch = !s.sizesAreMaxima && s.givenPitch != 0;
    const bool exactDiameter = !s.sizesAreMaxima && s.givenDiameter != 0;
    bool firstRatio = true;
    int visited = 0;
    for (double G = s.minGear; G <= s.maxGear && visited < s.gearCount; G = NextGearRatio(G), ++visited) {
        const double gearboxWeight = (firstRatio && G == 1.0) ? 0.0 : n * 1.0;
        firstRatio = false;
        const double Np = N / G;
        double lastD = -1, lastP = -1;
        double previous;
        double r = s.pitchSpeedLow;
        do {
            previous = r;
            ++out.counters.analysed;
            double p = vs * r / (Np * kMphPerInchPerMinute);
            if (!std::isfinite(p) || !(Np > 0)) {
                ++out.counters.notComputed;
                r += s.ratioStep;
                continue;
            }
            bool rejected = false;
            if (exactPitch) {
                if (std::fabs(p - s.givenPitch) / s.givenPitch > 0.05) rejected = true;
                else p = s.givenPitch;
            } else {
                const auto sized = SizeWithinMaximum(p, 5.75, s.sizesAreMaxima ? s.givenPitch : 0);
                if (sized) p = *sized;
                else rejected = true;
                if (s.givenPitch == 0 && p < 1) rejected = true;
            }
            if (!rejected) {
                // A pitch of 0 (a tiny maximum pitch rounds so) leaves no diameter to compute.
                double D = std::pow(Pout / (5.33e-15 * s.airDensityRatio * p * Np * Np * Np), 0.25);
                if (!std::isfinite(D) || !(p > 0)) {
                    ++out.counters.notComputed;
                    r += s.ratioStep;
                    continue;
                }
                if (exactDiameter) {
                    if (std::fabs(D - s.givenDiameter) / s.givenDiameter > 0.05) rejected = true;
                    else D = s.givenDiameter;
                } else {
                    const auto sized = SizeWithinMaximum(D, 7.75, s.sizesAreMaxima ? s.givenDiameter : 0);
                    if (sized) D = *sized;
                    else rejected = true;
                }
                if (!rejected && !(exactDiameter && exactPitch) && (D < p || D > 2 * p)) rejected = true;
                if (!rejected) {
                    if (D == lastD && p == lastP && !exactDiameter && !exactPitch) {
                        rejected = true;
                    } else {
                        lastD = D;
                        lastP = p;
                    }
                }
                if (!rejected) {
                    if (s.givenDiameter == 0 && D > 0.23 * s.propSizeReference) {
                        ++out.counters.propTooLarge;
                    } else {
                        const double thrust = n * PropThrust(0.95, 1, Pout, 0, s.airDensityRatio, Np, p, D).Thrust;
                        const double weight = W + gearboxWeight;
                        if (!std::isfinite(thrust)) {
                            ++out.counters.notComputed;
                        } else if (weight * s.minThrustRatio > thrust) {
                            ++out.counters.insufficientThrust;
                        } else {
                            double tau = thrust / weight;
                            if (tau > s.fullThrustRatio) tau = s.fullThrustRatio - (tau - s.fullThrustRatio) / 2;
                            if (tau < 0) tau = 0;
                            const double efficiency = Pout / (I * V);
                            const double rating = efficiency * efficiency * tau;
                            if (!std::isfinite(rating)) {
                                ++out.counters.notComputed;
                            } else {
                                out.found.push_back(FoundSystem{pack, series, arrangement, G, D, p, rating, I, thrust});
                                if (rating > out.bestRating) out.bestRating = rating;
                            }
                        }
                    }
                }
            }
            if (rejected) --out.counters.analysed;
            r += s.ratioStep;
        } while (previous < s.pitchSpeedHigh - s.ratioStep + 0.01);
    }
}

bool MotorExamined(const WizardSearchSettings& s, const WizardMotorRecord& motor) {
    if (!s.manufacturerWord.empty()) {
        std::string word = motor.name.substr(0, motor.name.find(' '));
        for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (word != s.manufacturerWord) return false;
    }
    const double w = motor.weight;
    if (!(w > 0.001)) return false;
    const double emptyWeight = s.airframe.EmptyWeight;
    if (!s.specificMotor &&
        s.motors * w > std::min({emptyWeight / 2, s.maxAllUpWeight / 5, s.maxAllUpWeight - emptyWeight}))
        return false;
    const bool outrunner = motor.brushless && motor.outrunner;
    const bool inrunner = motor.brushless && !motor.outrunner;
    if (outrunner) return s.allowOutrunner;
    if (inrunner) return s.allowInrunner;
    return s.allowBrushed;
}

void EvaluateMotor(const WizardSearchSettings& s, const WizardMotorRecord& motor,
                   const std::vector<BatteryCandidate>& candidates, double t, MotorOutcome& out) {
    const int n = s.motors;
    const int g = s.gearCount;
    const bool brushed = !motor.brushless;
    const double w = motor.weight;
    for (int a = 1; a <= s.arrangements; ++a) {
        // Series strings of speed controls work only for brushed motors; these arrangements are
        // left out before anything is counted.
        if ((a == 1 && n > 1 && !brushed) || (a == 3 && !brushed)) continue;
        for (std::size_t c = candidates.size(); c-- > 0;) {
            const BatteryCandidate& pack = candidates[c];
            for (int series = pack.minSeries; series <= pack.maxSeries; ++series) {
                WizardCounters& k = out.counters;
                k.analysed += g;
                const double W = n * w + series * pack.cell.weight + s.airframe.EmptyWeight;
                if (W > s.maxAllUpWeight) {
                    k.tooHeavy += g;
                    continue;
                }
                double I = pack.cell.capacity / t;
                double V = (pack.cell.voltage - I * pack.cell.resistance) * series - I * 0.003;
                if (a == 1) V /= n;
                else if (a == 2) I /= n;
                else { V /= 2; I /= 2; }
                if (I > pack.cell.maxCurrent) {
                    k.tooMuchCurrent += g;
                    continue;
                }
                const double K = (brushed || motor.outrunner) ? 3.8 : 2.0;
                const double R = HotResistance(s.ambientTemperature, V, I, w, motor.resistance, motor.idleCurrent,
                                               motor.kv, K);
                if (!std::isfinite(R)) {
                    k.analysed += 1 - g;
                    ++k.notComputed;
                    continue;
                }
                if (!(I > motor.idleCurrent) || !(I * R < V)) {
                    k.analysed -= g;
                    continue;
                }
                const double maxPowerCurrent = MaxPowerCurrent(V, motor.resistance, motor.idleCurrent);
                const double maxEfficiencyCurrent = MaxEfficiencyCurrent(V, motor.resistance, motor.idleCurrent);
                const double efficiency = MotorEfficiency(V, I, R, motor.idleCurrent);
                const double maxEfficiency = MaxEfficiency(V, motor.resistance, motor.idleCurrent);
                const double temperature =
                    MotorTemperature(s.ambientTemperature, V, I, w, R, motor.idleCurrent, motor.kv, K);
                const double Pout = MotorOutputPower(V, I, R, motor.idleCurrent);
                const double N = MotorRpm(V, I, R, motor.kv);
                const double vs = std::sqrt(W / (s.airDensityRatio * 0.000278412926 * s.airframe.WingArea *
                                                 s.airframe.ClMax));
                if (!std::isfinite(maxPowerCurrent) || !std::isfinite(maxEfficiencyCurrent) ||
                    !std::isfinite(efficiency) || !std::isfinite(maxEfficiency) || !std::isfinite(temperature) ||
                    !std::isfinite(Pout) || !std::isfinite(N) || !std::isfinite(vs)) {
                    k.analysed += 1 - g;
                    ++k.notComputed;
                    continue;
                }
                if (I > maxPowerCurrent) {
                    k.tooInefficient += g;
                    continue;
                }
                if (maxEfficiencyCurrent > I && efficiency < 0.85 * maxEfficiency) {
                    k.tooInefficient += g;
                    continue;
                }
                if (temperature > s.motorTempLimit) {
                    k.tooHot += g;
                    continue;
                }
                if (N > 50000 || (N > 25000 && (brushed || motor.outrunner))) {
                    k.tooFast += g;
                    continue;
                }
                // A motor constant of 0 gives no speed: no propeller can be sized for it.
                if (!(N > 0) || !(vs > 0)) {
                    k.analysed += 1 - g;
                    ++k.notComputed;
                    continue;
                }
                k.analysed -= g;
                PropellerSearch(s, static_cast<std::uint32_t>(c), series, a, W, I, V, Pout, N, vs, out);
            }
        }
    }
}

} // namespace

WizardSearchResult SearchPowerSystems(const WizardSearchSettings& s, const WizardDatabase& db,
                                      WizardSearchControl& control, unsigned threads) {
    WizardSearchResult result;
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());

    // The motors a pass walks: every record, or the specific motor alone.
    std::vector<std::size_t> walk;
    if (s.specificMotor) walk.push_back(*s.specificMotor);
    else for (std::size_t i = 0; i < db.motors.size(); ++i) walk.push_back(i);

    std::string stage = "Examining Candidates";
    double t = s.runTimeHours;
    do {
        ++result.passes;
        const std::vector<BatteryCandidate> candidates = BuildBatteryCandidates(s, t);
        result.lastPassHadCandidates = !candidates.empty();
        if (!candidates.empty()) {
            control.Start(static_cast<std::int64_t>(db.motors.size()), stage);
            std::vector<MotorOutcome> outcomes(walk.size());
            std::atomic<std::size_t> next{0};
            auto work = [&] {
                for (;;) {
                    if (control.Cancelled()) return;
                    const std::size_t i = next.fetch_add(1);
                    if (i >= walk.size()) return;
                    const WizardMotorRecord& motor = db.motors[walk[i]];
                    if (MotorExamined(s, motor)) EvaluateMotor(s, motor, candidates, t, outcomes[i]);
                    control.Step();
                }
            };
            const unsigned workers = static_cast<unsigned>(std::min<std::size_t>(threads, walk.size()));
            if (workers <= 1) {
                work();
            } else {
                // The caller walks too, beside helpers each kept to a core of its own.
                WorkCrew crew(workers - 1);
                const std::function<void(unsigned)> helperWork = [&](unsigned) { work(); };
                const WorkCrew::Round round = crew.Start(helperWork);
                work();
            }
            if (control.Cancelled()) {
                result.outcome = WizardSearchOutcome::Interrupted;
                result.results.clear();
                return result;
            }
            // Merged in table order: the list and the counters are those of the one-thread walk.
            std::size_t found = result.results.size();
            for (const MotorOutcome& outcome : outcomes) found += outcome.found.size();
            result.results.reserve(found);
            for (std::size_t i = 0; i < walk.size(); ++i) {
                const MotorOutcome& outcome = outcomes[i];
                const WizardMotorRecord& motor = db.motors[walk[i]];
                result.counters.Add(outcome.counters);
                result.bestRating = std::max(result.bestRating, outcome.bestRating);
                for (const FoundSystem& system : outcome.found) {
                    TResultObject& r = result.results.emplace_back();
                    r.motorName = motor.name;
                    r.series = system.series;
                    r.battery = candidates[system.pack].cell;
                    r.gearRatio = system.gearRatio;
                    r.diameter = system.diameter;
                    r.pitch = system.pitch;
                    r.rating = system.rating;
                    r.wiring = system.wiring;
                    r.current = system.current;
                    r.thrust = system.thrust;
                    r.brushless = motor.brushless;
                }
            }
            stage = "Examining Additional Candidates (" + std::to_string(result.passes) + ")";
        }
        t *= 1.223;
    } while (!(!result.results.empty() && result.bestRating != 0) && !(t > 1.03));

    result.outcome = (!result.results.empty() && result.bestRating != 0) ? WizardSearchOutcome::Found
                                                                         : WizardSearchOutcome::NothingFound;
    return result;
}

} // namespace ampvane
