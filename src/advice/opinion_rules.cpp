// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/opinion_rules.h"

#include <algorithm>
#include <cmath>

#include "advice/opinion_units.h"
#include "common/unit_conversion.h"
#include "model/electric_chain.h"
#include "model/measured_propeller.h"

namespace ampvane {

namespace {

constexpr double kExtremeMotorTemperature = 150; // °C
constexpr double kHighMotorTemperature = 125;    // °C
constexpr double kUnknownTemperature = -100;     // at or below: not known
constexpr double kReportedPackTemperatureCap = 95; // °C; above it only "greater than" is said
constexpr double kHighVoltage = 12;                // V
constexpr double kParallelCellVoltageLimit = 1.3;  // V; below: not a lithium cell

// A value the rules can do arithmetic with: a non-finite input counts as zero, so no rule can turn
// a damaged report into NaN text.
double Finite(double value) { return std::isfinite(value) ? value : 0.0; }
int AtLeastOne(int count) { return std::max(1, count); }

// Where the propeller's figures come from when the drive names a measured propeller: a pilot reading
// advice about pitch speed and thrust should know the constants played no part. Empty otherwise, so
// that the opinion of every other drive stays as it was. The name is quoted, so that no name can make
// the sentence read as a labelled line.
std::string PropellerDataNote(const DriveSystemDesc& drive) {
    if (drive.Kind == FanDrive || !drive.Measured) return {};
    const MeasuredPropeller& p = drive.Measured->Propeller();
    const std::string source = p.Kind == PropellerDataKind::Computed
                                   ? "the thrust and power coefficients that the maker computed for the propeller \"" +
                                         p.Name + "\" (blade-element tables, not measurements)"
                                   : "the measured thrust and power coefficients of the propeller \"" + p.Name + "\"";
    return "The propeller's thrust, power, rpm and efficiency come from " + source +
           ", not from the propeller and thrust constants.";
}

struct WorkingValues {
    // Full-throttle point.
    std::string FullName;
    double I = 0; // one motor
    double V = 0;
    // Cruise point.
    std::string CruiseName;
    double Ic = 0, Vc = 0, Ib = 0;
    bool CruiseTemperatureKnown = false;
    double Tc = 0;
    // Static values (totals).
    double Is = 0, Vs = 0, StaticThrust = 0, StaticPitchSpeed = 0;
};

WorkingValues Working(const OpinionInput& input, CruiseFallback& fallback) {
    const auto& zero = input.Markers[kZeroAirspeedMarker];
    const auto& best = input.Markers[kBestLiftToDragMarker];
    const auto& handsOff = input.Markers[kHandsOffMarker];
    const int Pm = AtLeastOne(input.Plane.ParallelMotors);
    const int Sm = AtLeastOne(input.Plane.SeriesMotors);
    WorkingValues w;

    const bool bestCaptured = best.Enabled && best.Captured;
    const auto& full = bestCaptured ? best : zero;
    w.FullName = bestCaptured ? "the best lift-to-drag ratio airspeed" : "zero airspeed";
    w.I = Finite(full.RowMotorCurrent) / Pm;
    w.V = Finite(full.RowMotorVoltage) / Sm;

    const LevelFlightMarker* cruise = nullptr;
    if (handsOff.Enabled && handsOff.Feasible) {
        cruise = &handsOff;
        fallback = CruiseFallback::None;
        w.CruiseName = "the hands-off cruise airspeed and throttle setting";
    } else if (best.Enabled && best.Feasible) {
        cruise = &best;
        fallback = CruiseFallback::BestLiftToDrag;
        w.CruiseName = "the best lift-to-drag ratio airspeed and throttle setting";
    } else {
        fallback = CruiseFallback::ZeroAirspeedFull;
        w.CruiseName = "zero airspeed and full throttle";
    }
    if (cruise) {
        w.Ic = Finite(cruise->MotorCurrent) / Pm;
        w.Vc = Finite(cruise->MotorVoltage) / Sm;
        w.Ib = Finite(cruise->BatteryCurrent);
        w.Tc = Finite(cruise->MotorTemperature);
        w.CruiseTemperatureKnown = w.Tc > kUnknownTemperature;
    } else {
        // At full throttle every speed control passes the motor current straight through.
        w.Ic = Finite(zero.RowMotorCurrent) / Pm;
        w.Vc = Finite(zero.RowMotorVoltage) / Sm;
        w.Ib = Finite(zero.RowMotorCurrent);
    }

    w.Is = Finite(zero.RowMotorCurrent);
    w.Vs = Finite(zero.RowMotorVoltage);
    w.StaticThrust = Finite(zero.RowThrust);
    w.StaticPitchSpeed = Finite(zero.RowPitchSpeed);
    return w;
}

// One band of a graded description: values below the limit (or up to it) get the text.
struct Band {
    double Limit;
    const char* Text;
};

template <std::size_t N>
std::string BandText(const Band (&bands)[N], double value, bool limitIncluded, const char* above) {
    for (const Band& band : bands)
        if (limitIncluded ? value <= band.Limit : value < band.Limit) return band.Text;
    return above;
}

class PowerSystemRules {
public:
    PowerSystemRules(const OpinionInput& input, const WorkingValues& w, OpinionFindings& out)
        : in_(input), w_(w), out_(out), units_(input.Options, input.Locale) {}

    void Run() {
        MotorCurrent();
        MotorWeightAndTemperature();
        SpeedControls();
        Battery();
        Voltage();
        BatteryTemperature();
        Suggestions();
        ParallelCells();
        MotorAndSpeedControlKinds();
    }

private:
    const MotorDesc8& Motor() const { return in_.Plane.Motor; }
    double Ambient() const { return in_.Options.TemperatureC; }
    bool Heating() const { return in_.Options.AccountForHeating != 0; }
    void Problem(std::string text) { out_.PowerProblems.push_back(std::move(text)); }
    void Note(std::string text) { out_.PowerNotes.push_back(std::move(text)); }
    void MoreCurrent() { out_.MoreCurrentSuggested = true; }
    void LessCurrent() { out_.LessCurrentSuggested = true; }
    std::string A(double amperes) const { return units_.Current(amperes) + "A"; }

    void MotorCurrent() {
        const auto& m = Motor();
        const double V = w_.V, I = w_.I;
        const double Ie = MaxEfficiencyCurrent(V, m.ArmatureResistance, m.IdleCurrent);
        const double Ip = MaxPowerCurrent(V, m.ArmatureResistance, m.IdleCurrent);
        const double Emax = MaxEfficiency(V, m.ArmatureResistance, m.IdleCurrent);
        hotResistance_ = Heating() ? HotResistance(Ambient(), V, I, m.Weight, m.ArmatureResistance, m.IdleCurrent,
                                                   m.MotorConstant, m.HeatingFactor)
                                   : m.ArmatureResistance;
        const double E = MotorEfficiency(V, I, hotResistance_, m.IdleCurrent);
        const std::string& point = w_.FullName;

        if (Ie * 0.9 > I) {
            Problem("The full-throttle motor current at " + point + " (" + A(I) +
                    ") is lower than the motor's maximum efficiency current (" + A(Ie) +
                    "). A higher current level would improve system efficiency.");
            MoreCurrent();
        } else if (I > Ip) {
            Problem("The full-throttle motor current at " + point + " (" + A(I) +
                    ") is higher than the motor's current at theoretical maximum output (" + A(Ip) +
                    "). A lower current level would actually increase available output power.");
            LessCurrent();
        } else if (Emax * 0.85 > E && Ie <= I) {
            std::string note = "At full-throttle and " + point +
                               ", the motor is operating approximately between its maximum efficiency current (" +
                               A(Ie) + ") and its current at theoretical maximum output (" + A(Ip) +
                               "). However, it is operating at only " + units_.Percent(E) +
                               "% efficiency, which is significantly less than its theoretical maximum efficiency (" +
                               units_.Percent(Emax) + "%).";
            if (in_.Plane.ESC.HighRate) note += " Efficiency may improve at reduced throttle settings.";
            Note(std::move(note));
        } else if (Emax * 0.85 > E) {
            Problem("At full-throttle and " + point + ", the motor is operating at only " + units_.Percent(E) +
                    "% efficiency, which is signficiantly less than its theoretical maximum efficiency (" +
                    units_.Percent(Emax) + "%). A somewhat higher current would improve system efficiency.");
            MoreCurrent();
        } else {
            Note("The full-throttle motor current at " + point + " (" + A(I) +
                 ") falls approximately between the motor's maximum efficiency current (" + A(Ie) +
                 ") and its current at theoretical maximum output (" + A(Ip) +
                 "), thus making effective use of the motor.");
        }
    }

    double MotorTemperatureAt(double V, double I) const {
        const auto& m = Motor();
        return MotorTemperature(Ambient(), V, I, m.Weight, hotResistance_, m.IdleCurrent, m.MotorConstant,
                                m.HeatingFactor);
    }

    void MotorWeightAndTemperature() {
        if (Motor().Weight == 0) {
            std::string text = "The motor weight is not known, which makes the aircraft weight incorrect, thus "
                               "making all the predictions questionable.";
            if (Heating())
                text += " The unknown motor weight also makes it impossible to predict the steady-state motor "
                        "temperature, and hence whether or not the motor will overheat.";
            Problem(std::move(text));
            return;
        }
        if (!Heating()) return;

        const double T = w_.CruiseTemperatureKnown ? w_.Tc : MotorTemperatureAt(w_.Vc, w_.Ic);
        const std::string where = "The steady-state still-air motor temperature at " + w_.CruiseName + " (" +
                                  units_.Temperature(T) + ") is ";
        if (T > kExtremeMotorTemperature) {
            Problem(where +
                    "extremely high, which will significantly affect efficiency and possibly damage the motor "
                    "unless very good cooling airflow is provided, and/or run times are kept very short, and/or "
                    "flying is primarily done at lower throttle settings.");
            LessCurrent();
        } else if (T > kHighMotorTemperature) {
            Problem(where +
                    "very high, which will significantly affect efficiency and motor longevity unless adequate "
                    "cooling airflow is provided, and/or run times are kept short, and/or flying is primarily "
                    "done at lower throttle settings.");
            LessCurrent();
        }

        const double staticCurrent = w_.Is / AtLeastOne(in_.Plane.ParallelMotors);
        if (staticCurrent > w_.Ic) {
            const double Ts = MotorTemperatureAt(w_.Vs / AtLeastOne(in_.Plane.SeriesMotors), staticCurrent);
            if (Ts > kExtremeMotorTemperature) {
                Problem("The full-throttle steady-state motor temperature (" + units_.Temperature(Ts) +
                        ") is extremely high, which will likely damage the motor unless full-throttle is used "
                        "sparingly and cooling is good  (even then, damage is possible).");
                LessCurrent();
            }
        }
    }

    void SpeedControls() {
        const double maximum = in_.Plane.ESC.MaxCurrent;
        const int Ne = AtLeastOne(in_.Plane.NumberOfESCs);
        if (!(maximum > 0) || !(w_.Is > Ne * maximum)) return;
        const bool several = Ne > 1;
        std::string text = "The static full-throttle current (" + A(w_.Is) +
                           ") exceeds the capability of the specified speed control" + (several ? "s" : "") +
                           " (" + A(maximum);
        if (several) text += " per speed control, " + A(Ne * maximum) + " total";
        text += std::string("), which will most likely damage ") + (several ? "them" : "it") + ".";
        Problem(std::move(text));
        LessCurrent();
    }

    void Battery() {
        const auto& cell = in_.Plane.Cell;
        const int p = in_.Plane.ParallelCellsFrom;
        const double limit = cell.CRating * cell.Capacity * p * 0.001;
        if (!(cell.CRating > 0) || !(w_.Is > limit)) return;
        Problem("The static full-throttle current (" + A(w_.Is) + ") exceeds the capability of the specified battery (" +
                A(limit) + " at " + units_.OneDecimal(cell.CRating) + "C" + (p > 1 ? " per parallel battery" : "") +
                "), which will most likely damage the battery and may cause a fire.");
        LessCurrent();
    }

    void Voltage() {
        if (!(w_.Vs > kHighVoltage)) return;
        Note("The voltage (" + units_.Voltage(w_.Vs) +
             "V) exceeds 12V. Be sure the speed control is rated for at least the number of cells specified above.");
    }

    void BatteryTemperature() {
        const auto& cell = in_.Plane.Cell;
        const int s = in_.Plane.Cell.SeriesCellsFrom;
        const int p = AtLeastOne(in_.Plane.ParallelCellsFrom);
        const double Tb = PackTemperature(Ambient(), s * cell.Weight, s * cell.Resistance, w_.Ib / p);
        const double limit = (cell.Chemistry == NiCd || cell.Chemistry == LiNP) ? 60 : 50;
        if (!(Tb > limit)) return;
        const std::string temperature =
            Tb > kReportedPackTemperatureCap
                ? (in_.Options.MetricTempPress ? "greater than 95°C" : "greater than 200°F")
                : "approximately " + units_.Temperature(Tb);
        Problem("The estimated steady-state still-air battery temperature at " + w_.CruiseName + " (" + temperature +
                ") is higher than the suggested maximum temperature for this cell type (" +
                units_.OneDecimal(units_.DisplayTemperature(limit)) + units_.TemperatureUnit() +
                "). This could result in battery pack damage unless adequate cooling airflow is provided and/or run "
                "times are kept short. A lower current would also decrease the battery temperature.");
        LessCurrent();
    }

    void Suggestions() {
        const std::string word = in_.Plane.Drive.Kind == FanDrive ? "ducted fan" : "propeller";
        if (out_.LessCurrentSuggested)
            Problem("Current can be decreased by using fewer cells, a smaller diameter or lower pitched " + word +
                    ", a higher gear ratio, or some combination of these methods.");
        if (out_.MoreCurrentSuggested)
            Problem("Current can be increased by using more cells, a larger diameter or higher pitched " + word +
                    ", a lower gear ratio, or some combination of these methods.");
        if (out_.LessCurrentSuggested && out_.MoreCurrentSuggested)
            Problem("Due to the conflicting suggestions to both increase and decrease the current, this particular "
                    "combination of power system components is not ideal (but not necessarily unusable).");
    }

    void ParallelCells() {
        if (in_.Plane.Cell.Voltage < kParallelCellVoltageLimit && in_.Plane.ParallelCellsFrom > 1)
            Problem("Non-lithium cells should never be wired in parallel.");
    }

    void MotorAndSpeedControlKinds() {
        const bool brushlessMotor = Motor().Brushless != 0;
        const bool brushlessControl = in_.Plane.ESC.Brushless != 0;
        if (brushlessMotor && !brushlessControl)
            Problem("A brushed-motor speed control will not work with a brushless motor.");
        else if (!brushlessMotor && brushlessControl)
            Problem("A brushless speed control will not work with a brushed motor.");
    }

    const OpinionInput& in_;
    const WorkingValues& w_;
    OpinionFindings& out_;
    OpinionUnits units_;
    double hotResistance_ = 0; // rule 1's winding resistance, reused for the temperatures
};

class AerodynamicRules {
public:
    AerodynamicRules(const OpinionInput& input, const WorkingValues& w, OpinionFindings& out)
        : in_(input), w_(w), out_(out), units_(input.Options, input.Locale) {}

    void Run() {
        if (in_.HasStall) {
            PitchSpeed();
            MaximumSpeed();
            HandsOffSpeed();
        }
        if (Propeller()) DiameterToPitch();
        if (in_.HasWeight && in_.HasWing) WingLoading();
        // Without a wing there is no flying speed range for the thrust ratio to speak of.
        if (in_.HasWeight && in_.HasWing) StaticThrust();
        if (in_.Markers[kBestLiftToDragMarker].Enabled && in_.HasDrag) ExcessThrust();
    }

private:
    bool Propeller() const { return in_.Plane.Drive.Kind != FanDrive; }
    bool Geared() const { return Propeller() && in_.Plane.Drive.GearRatioFrom() > 1; }
    void Problem(std::string text) { out_.AeroProblems.push_back(std::move(text)); }
    void Note(std::string text) { out_.AeroNotes.push_back(std::move(text)); }
    void Mark() { out_.AeroProblemReported = true; }
    std::string S(double mph) const { return units_.Speed(mph) + units_.SpeedUnit(); }
    std::string F(double ounces) const { return units_.Force(ounces) + units_.ForceUnit(); }
    double Weight() const { return Finite(in_.TotalWeight); }
    double Stall() const { return Finite(in_.StallSpeed); }
    double MaxSpeed() const { return Finite(in_.MaxLevelSpeed); }
    // A ratio to the total weight; a weightless model has none to speak of.
    double PerWeight(double value) const { return Weight() > 0 ? value / Weight() : 0; }

    void PitchSpeed() {
        const double vs = Stall();
        if (!Propeller()) {
            const double ve = w_.StaticPitchSpeed;
            if (ve < 2 * vs)
                Problem("The fan efflux velocity (" + S(ve) + ") is less than 2 times the model's stall speed (" +
                        S(vs) + "), which will very likely produce an unflyable model.");
            else if (ve < 3 * vs)
                Problem("The fan efflux velocity (" + S(ve) + ") is less than 3 times the model's stall speed (" +
                        S(vs) + "), which may result in a difficult to fly model.");
            return;
        }
        const double vp = w_.StaticPitchSpeed;
        const std::string pitch = "The static pitch speed (" + S(vp) + ")";
        const std::string stall = "the stall speed (" + S(vs) + ")";
        const std::string twoAndAHalf = units_.Decimal(2, 5);
        if (vp < 2.4 * vs) {
            if (vp < 1.1 * vs) {
                Problem(pitch + " is close to or less than " + stall +
                        ", which will result in insufficient thrust at flying speed to remain airborne.");
                Mark();
            } else if (vp < 1.4 * vs) {
                Problem(pitch + " is not much higher than " + stall +
                        ", which may result in insufficient thrust at flying speed to remain airborne.");
                Mark();
            } else if (vp < 2 * vs) {
                Problem(pitch + " is much less than " + twoAndAHalf + " times " + stall +
                        ", which may result in reduced performance at typical flying speeds and a low maximum "
                        "speed. This situation is usually acceptable for an electric sailplane.");
                Mark();
            } else {
                Problem(pitch + " is less than " + twoAndAHalf + " times " + stall +
                        ", which may result in reduced performance at typical flying speeds and a low maximum "
                        "speed. This situation is usually acceptable for an electric sailplane or other "
                        "slow-flying model.");
            }
            Problem(std::string("Pitch speed can be increased by using a higher pitched and/or smaller diameter "
                                "propeller, ") +
                    (Geared() ? "a lower gear ratio, " : "") +
                    "a higher cell count, or some combination of these methods.");
        } else if (vp <= 3.1 * vs) {
            Note(pitch + " is within the range of approximately " + twoAndAHalf + " to 3 times the model's stall speed (" +
                 S(vs) + "), which is considered ideal for good performance.");
        } else {
            if (vp <= 3.7 * vs) {
                Problem(pitch + " is greater than 3 times " + stall +
                        ", which might make take-off or hand launching difficult, and is inefficient in flight "
                        "unless high speeds are intended.");
            } else {
                Problem(pitch + " is much greater than 3 times " + stall +
                        ", which might make take-off or hand launching very difficult, and is inefficient in "
                        "flight unless very high speeds are intended.");
                Mark();
            }
            Problem("Pitch speed can be decreased by using a lower pitched and/or larger diameter propeller, a "
                    "higher gear ratio, a lower cell count, or some combination of these methods.");
        }
    }

    void MaximumSpeed() {
        const double vm = MaxSpeed(), vs = Stall();
        if (!(vm < 1.5 * vs)) return;
        if (vm < 1.1 * vs)
            Problem("The model's maximum level flight speed (" + S(vm) + ") is close to or less than the stall speed (" +
                    S(vs) + "). This model is not capable of flying (on the wing).");
        else
            Problem("The model's maximum level flight speed (" + S(vm) +
                    ") is less than one and a half times the stall speed (" + S(vs) +
                    "). With such a narrow range of flying speeds, the model will require careful piloting in "
                    "order not to stall.");
        Problem(std::string("Maximum speed can be increased by using a higher pitched and/or smaller diameter ") +
                (Propeller() ? "propeller" : "ducted fan") + ", " + (Geared() ? "a lower gear ratio, " : "") +
                "a higher cell count, or some combination of these methods.");
        Problem("Stall speed can be reduced by reducing weight, increasing the wing area, or using a thicker "
                "and/or more cambered airfoil.");
        Mark();
    }

    void HandsOffSpeed() {
        const auto& best = in_.Markers[kBestLiftToDragMarker];
        const auto& handsOff = in_.Markers[kHandsOffMarker];
        const double handsOffSpeed = Finite(handsOff.Speed), bestSpeed = Finite(best.Speed);
        if (!best.Enabled || !handsOff.Enabled || !(handsOffSpeed < bestSpeed)) return;
        Problem("The hands-off level flight speed (" + S(handsOffSpeed) +
                ") is lower than the best lift-to-drag ratio level flight speed (" + S(bestSpeed) +
                "). In most situations, the opposite is desirable.");
        Problem("Hands off level flight speed can be increased by reducing the airfoil camber or angle of attack.");
        Mark();
    }

    void DiameterToPitch() {
        const double D = units_.DisplayPropSize(in_.Plane.Drive.DiameterFrom());
        const double P = units_.DisplayPropSize(in_.Plane.Drive.PitchFrom());
        const std::string sizes = "The diameter (" + units_.PropSize(in_.Plane.Drive.DiameterFrom()) +
                                  units_.PropSizeUnit() + ") to pitch (" + units_.PropSize(in_.Plane.Drive.PitchFrom()) +
                                  units_.PropSizeUnit() + ") ratio is ";
        if (D > 2.1 * P)
            Problem(sizes +
                    "greater than 2:1, which will result in reduced propeller efficiency at flying speeds. An "
                    "appropriate smaller diameter, higher pitched propeller would improve this.");
        else if (D < 1.4 * P)
            Problem(sizes + "less than " + units_.Decimal(1, 5) +
                    ":1, which will result in reduced propeller efficiency at low speeds (the propeller is "
                    "stalled). Although this is not likely to affect flying characteristics, it may make take-off "
                    "or hand launching difficult.");
    }

    void WingLoading() {
        const double area = Finite(in_.Plane.Airframe.WingArea);
        const double c = area > 0 ? Weight() / std::pow(area / kSquareInchesPerSquareFoot, 1.5) : 0;
        if (!(c > 13) && out_.AeroProblemReported) {
            Note("Due to some of the potential problems listed above, this model may require an experienced pilot.");
            return;
        }
        // Each band holds up to and including its limit.
        static constexpr Band kCubeLoading[] = {
            {7, "very sedate flying characteristics. It will be suitable for relaxed flying, in calm or very light "
                "wind conditions."},
            {10, "trainer-like flying characteristics. It would make an ideal trainer, for use in calm to light wind "
                 "conditions."},
            {13, "flying characteristics suited to the intermediate pilot, for use in calm to moderate wind "
                 "conditions."},
            {16, "flying characteristics suited to an experienced pilot. The plane will fly fast, and be readily able "
                 "to handle fairly strong winds."},
        };
        // A wing area just above zero gives a loading beyond any number: no figure, so no sentence.
        const auto loading = units_.WingLoading(Weight(), area);
        if (!loading) return;
        Note("With a wing loading of " + *loading + units_.WingLoadingUnit() +
             ", a model of this size will have " +
             BandText(kCubeLoading, c, true,
                      "a very high flying speed, requiring the undivided attention of an expert pilot. The high "
                      "weight will provide good penetration, even in strong winds."));
    }

    void StaticThrust() {
        if (!(MaxSpeed() > 1.4 * Stall())) return;
        const double r = PerWeight(w_.StaticThrust);
        if (!std::isfinite(r)) return; // a weight just above zero: no ratio to write
        // Each band holds up to, not including, its limit.
        static constexpr Band kThrustToWeight[] = {
            {0.25, "very long take-off runs, and difficulty in taking off from grass surfaces. Firm hand launching "
                   "is recommended."},
            {0.333, "long take-off runs, especially on grass surfaces. Hand launching is recommended if the surface "
                    "is not smooth."},
            {0.5, "medium length take-off runs, and no difficulty taking off from grass surfaces (assuming "
                  "sufficiently large wheels)."},
            {0.7, "short take-off runs, and no difficulty taking off from grass surfaces (assuming sufficiently large "
                  "wheels)."},
            {1.05, "very short take-off runs, no difficulty taking off from grass surfaces (assuming sufficiently "
                   "large wheels), and steep climb-outs."},
        };
        Note("The static thrust (" + F(w_.StaticThrust) + ") to weight (" + F(Weight()) + ") ratio is " +
             units_.Ratio(r) + ":1, which will result in " +
             BandText(kThrustToWeight, r, false,
                      "extremely short take-off runs, no difficulty taking off from grass surfaces (assuming "
                      "sufficiently large wheels), and vertical climb-outs. This model will probably be able to "
                      "perform a hover or torque roll."));
    }

    void ExcessThrust() {
        const auto& best = in_.Markers[kBestLiftToDragMarker];
        const double excess = Finite(best.RowThrust) - Finite(best.RowDrag);
        const double x = PerWeight(excess);
        if (!std::isfinite(x)) return;
        static constexpr Band kExcessToWeight[] = {
            {0.01, "no climb ability and no acceleration. It will likely be impossible to maintain altitude."},
            {0.1, "very slow climbs and poor acceleration. Careful piloting will be required to maintain altitude."},
            {0.15, "slow climbs and low acceleration. Some piloting experience would be beneficial."},
            {0.25, "good climbs and acceleration. This is a good in-flight thrust to weight ratio for a basic "
                   "trainer."},
            {0.4, "strong climbs and rapid acceleration. This model will most likely readily loop from level flight, "
                  "and have sufficient in-flight thrust for many aerobatic maneuvers."},
            {0.7, "steep climbs and excellent acceleration. This model should be able to do consecutive loops, and "
                  "has sufficient in-flight thrust for almost any aerobatic maneuver."},
        };
        Note("At the best lift-to-drag ratio airspeed, the excess-thrust (" + F(excess) + ") to weight (" +
             F(Weight()) + ") ratio is " + units_.Ratio(x) + ":1, which will give " +
             BandText(kExcessToWeight, x, false,
                      "very steep climbs and incredible acceleration. This model can easily do consecutive loops, "
                      "and has sufficient in-flight thrust for any aerobatic maneuver."));
    }

    const OpinionInput& in_;
    const WorkingValues& w_;
    OpinionFindings& out_;
    OpinionUnits units_;
};

// Names and captions come from typed fields; a line break inside one would split the text into lines
// that the formatting then misreads as headings or bullets.
std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    return line;
}

void AppendList(std::string& text, std::string_view heading, const std::vector<std::string>& items) {
    if (items.empty()) return;
    const char br = kOpinionLineBreak;
    text += heading;
    text += br;
    text += br;
    for (const auto& item : items) {
        text += item;
        text += br;
    }
    text += br;
}

} // namespace

OpinionFindings EvaluateOpinion(const OpinionInput& input) {
    OpinionFindings findings;
    const WorkingValues working = Working(input, findings.Fallback);
    PowerSystemRules(input, working, findings).Run();
    AerodynamicRules(input, working, findings).Run();
    return findings;
}

std::string OpinionText(const OpinionInput& input, const OpinionFindings& findings) {
    const char br = kOpinionLineBreak;
    std::string text = "AmpvaneOpinion - " + OneLine(input.Plane.ProjectName);
    text += br;
    text += OneLine(input.ConditionLine);
    text += br;
    text += br;
    for (const auto& line : input.Description) {
        if (line.empty()) continue;
        text += OneLine(line);
        text += br;
    }
    text += br;

    if (findings.Fallback != CruiseFallback::None) {
        text += "Warning:";
        text += br;
        text += br;
        text += findings.Fallback == CruiseFallback::BestLiftToDrag
                    ? "Ampvane was unable to determine a throttle setting for hands-off cruise airspeed, so the best "
                      "lift-to-drag ratio airspeed and throttle setting will be used instead."
                    : "Ampvane was unable to determine a throttle setting for hands-off cruise or best lift-to-drag "
                      "ratio airspeed, so zero airspeed and full throttle will be used instead. These results will "
                      "not likely be meaningful for actual flying conditions.";
        text += br;
        text += "Inability to determine a throttle setting for an airspeed usually means the model is not capable "
                "of reaching the required speed with the given power system, or the airfoil information has not "
                "been specified correctly.";
        text += br;
        text += br;
    }

    AppendList(text, "Possible Power System Problems:", findings.PowerProblems);
    AppendList(text, "Power System Notes:", findings.PowerNotes);
    AppendList(text, "Possible Aerodynamic Problems:", findings.AeroProblems);
    AppendList(text, "Aerodynamic Notes:", findings.AeroNotes);

    const bool heating = input.Options.AccountForHeating != 0;
    text += "General Notes:";
    text += br;
    text += br;
    text += std::string("This analysis is based on calculations that ") + (heating ? "" : "do NOT ") +
            "take motor heating effects into account." +
            (heating ? "" : " This also means that no calculations were done to determine if the motor might overheat.");
    text += br;
    if (const std::string note = PropellerDataNote(input.Plane.Drive); !note.empty()) {
        text += note;
        text += br;
    }
    text += "These calculations are based on mathematical models that may not account for all limitations of the "
            "components used. Always consult the power system component manufacturers to ensure that no limits "
            "(current, rpm, etc.) are being exceeded.";
    text += br;
    return text;
}

std::string BuildOpinionText(const OpinionInput& input) { return OpinionText(input, EvaluateOpinion(input)); }

} // namespace ampvane
