// SPDX-License-Identifier: GPL-3.0-or-later
// The estimators headless: motor constants from test points, catalogue figures or a rewound
// winding; propeller and fan constants from a bench test; fan pitch; airfoil and drag codes.
// Every number is given as the text a window's field would hold, so the same checks and messages
// apply.
#include <cmath>
#include <cstdio>

#include "analysis/analysis_input.h"
#include "cli_command.h"
#include "model/airframe.h"
#include "tools/airfoil_estimator.h"
#include "tools/drive_estimators.h"
#include "tools/motor_designer.h"
#include "tools/motor_from_catalog.h"
#include "tools/motor_from_tests.h"

namespace ampvane::cli {

namespace {

using Json = nlohmann::ordered_json;

// One result line: label, value text, unit, and the unrounded number behind the text where the
// estimator keeps one (else the JSON reads the text).
struct Line {
    std::string key, label, value, unit;
    std::optional<double> number = std::nullopt;
};

std::optional<double> Unrounded(const std::optional<MotorConstants>& constants, double MotorConstants::*member) {
    if (!constants) return std::nullopt;
    return (*constants).*member;
}

bool JsonFormat(const std::optional<std::string>& format) {
    if (!format || *format == "text") return false;
    if (*format == "json") return true;
    throw UsageFailure("unknown format \"" + *format + "\" (text or json)");
}

// Why there is no complete answer: the results missing, the options not given, the estimator's warnings.
std::string IncompleteReason(const std::vector<Line>& lines, const std::vector<std::string>& warnings,
                             const std::vector<std::string>& notGiven) {
    const auto join = [](const std::vector<std::string>& items, const char* separator) {
        std::string text;
        for (const std::string& item : items) text += (text.empty() ? "" : separator) + item;
        return text;
    };
    std::vector<std::string> missing;
    for (const Line& line : lines)
        if (line.value.empty()) missing.push_back(line.key);
    std::string reason = "the figures give no complete result";
    if (!missing.empty()) reason += ": no " + join(missing, ", ");
    if (!notGiven.empty()) reason += "; not given: " + join(notGiven, ", ");
    if (!warnings.empty()) reason += " (" + join(warnings, "; ") + ")";
    return reason;
}

// Prints the lines (empty values left out) and the warnings, or the same as JSON with a `values` object
// of the numbers; a result with no complete answer says why on standard error and exits with kRejected.
int Print(bool json, const std::vector<Line>& lines, const std::vector<std::string>& warnings, bool complete,
          CliMessages& messages, const std::vector<std::string>& notGiven = {}) {
    int status = kSuccess;
    if (json) {
        Json out, values = Json::object();
        for (const Line& line : lines) {
            out[line.key] = line.value.empty() ? Json(nullptr) : Json(line.value);
            std::optional<double> number;
            if (!line.value.empty()) number = line.number ? line.number : ParseLocaleReal(line.value, {});
            values[line.key] = number && std::isfinite(*number) ? Json(*number) : Json(nullptr);
        }
        out["values"] = std::move(values);
        out["warnings"] = warnings;
        out["messages"] = messages.texts;
        status = WriteJson(std::nullopt, out, messages);
    } else {
        std::string text;
        for (const Line& line : lines)
            if (!line.value.empty())
                text += line.label + " " + line.value + (line.unit.empty() ? "" : " " + line.unit) + "\n";
        for (const std::string& warning : warnings) text += warning + "\n";
        status = WriteContents(std::nullopt, text, "results", messages);
    }
    if (status == kSuccess && !complete) return Rejected(IncompleteReason(lines, warnings, notGiven));
    return status;
}

// The names of the options in `options` that were not given.
std::vector<std::string> NotGiven(std::initializer_list<std::pair<const char*, const std::optional<std::string>*>> options) {
    std::vector<std::string> names;
    for (const auto& [name, value] : options)
        if (!*value || (*value)->empty()) names.emplace_back(name);
    return names;
}

std::string Text(const std::optional<std::string>& value) { return value ? *value : std::string(); }

// Options that each take one text, as the field of the same name in a window would hold it.
using TextOptions = std::initializer_list<std::pair<const char*, std::optional<std::string>*>>;
void AddTextOptions(CLI::App& app, TextOptions options) {
    for (auto [name, target] : options) app.add_option(name, *target);
}

std::optional<double> DensityRatio(const std::optional<std::string>& text, CliMessages& messages) {
    if (text) {
        const auto value = ParseLocaleReal(*text, {});
        if (!value || !(*value > 0) || *value > 10) throw UsageFailure("--density-ratio needs a number above 0");
        return *value;
    }
    // The options' defaults: sea level on a standard day.
    const auto options = SnapshotAnalysisOptions(AnalysisOptionsInput{}, {}, messages);
    if (!options) return std::nullopt;
    return options->DensityRatio;
}

ForceUnit ThrustUnit(const std::optional<std::string>& name) {
    if (!name || *name == "oz") return ForceUnit::Ounce;
    if (*name == "g") return ForceUnit::Gram;
    if (*name == "N") return ForceUnit::Newton;
    throw UsageFailure("unknown thrust unit \"" + *name + "\" (oz, g or N)");
}

struct MotorArguments {
    std::vector<std::string> words;
    bool bestEfficiency = false;
    std::optional<std::string> voltage, rpm, maxEfficiencyCurrent, stallCurrent, noLoadCurrent, kv, resistance,
        weight, turns, newTurns, gauge, newGauge, format;
};

int MotorFromTestsCommand(MotorArguments& a) {
    if (a.words.size() != 7) throw UsageFailure("motor from-tests needs V1 I1 RPM1 V2 I2 RPM2");
    const bool json = JsonFormat(a.format);
    CliMessages messages;
    const TestDataInput input{a.words[1], a.words[2], a.words[3], a.words[4], a.words[5], a.words[6],
                              a.bestEfficiency};
    const TestDataResult r = ComputeMotorFromTests(input, {}, messages);
    std::vector<std::string> warnings;
    if (r.poorData) warnings.emplace_back(kPoorDataText);
    if (r.badData) warnings.emplace_back(kBadDataText);
    return Print(json,
                 {{"motorConstant", "Motor Constant:", r.motorConstant, "rpm/V", Unrounded(r.constants, &MotorConstants::Kv)},
                  {"noLoadCurrent", "No-load Current:", r.idleCurrent, "A", Unrounded(r.constants, &MotorConstants::Io)},
                  {"resistance", "Resistance:", r.armatureResistance, "ohm", Unrounded(r.constants, &MotorConstants::Rm)}},
                 warnings, r.ApplyEnabled(), messages);
}

int MotorFromCatalogCommand(MotorArguments& a) {
    if (a.words.size() != 1) throw UsageFailure("motor from-catalog takes its figures as options");
    if (!a.voltage || !a.rpm) throw UsageFailure("motor from-catalog needs --voltage and --rpm");
    const bool json = JsonFormat(a.format);
    CliMessages messages;
    CatalogDataInput input{*a.voltage, *a.rpm, Text(a.maxEfficiencyCurrent), Text(a.stallCurrent),
                           Text(a.noLoadCurrent), CatalogCurrent::None};
    CompleteCatalogCurrents(input, CatalogCurrent::None, {}, messages);
    const CatalogDataResult r = ComputeMotorFromCatalog(input, {}, messages);
    std::vector<std::string> warnings;
    if (r.inconsistent) warnings.emplace_back(kBadDataText);
    return Print(json,
                 {{"motorConstant", "Motor Constant:", r.motorConstant, "rpm/V", Unrounded(r.constants, &MotorConstants::Kv)},
                  {"noLoadCurrent", "No-load Current:", input.idleCurrent, "A", Unrounded(r.constants, &MotorConstants::Io)},
                  {"resistance", "Resistance:", r.armatureResistance, "ohm", Unrounded(r.constants, &MotorConstants::Rm)},
                  {"maxEfficiencyCurrent", "Current at Max Efficiency:", input.maxEfficiencyCurrent, "A"},
                  {"stallCurrent", "Stall Current:", input.stallCurrent, "A"}},
                 warnings, CatalogApplyEnabled(input, r), messages,
                 NotGiven({{"--max-efficiency-current", &a.maxEfficiencyCurrent}, {"--stall-current", &a.stallCurrent},
                           {"--no-load-current", &a.noLoadCurrent}}));
}

int MotorRewindCommand(MotorArguments& a) {
    if (a.words.size() != 1) throw UsageFailure("motor rewind takes its figures as options");
    if (!a.turns || !a.newTurns) throw UsageFailure("motor rewind needs --turns and --new-turns");
    const bool json = JsonFormat(a.format);
    CliMessages messages;
    MotorDesignInput input;
    input.motorConstant = Text(a.kv);
    input.idleCurrent = Text(a.noLoadCurrent);
    input.armatureResistance = Text(a.resistance);
    input.motorWeight = Text(a.weight);
    input.windings = *a.turns;
    input.wireGauge = Text(a.gauge);
    input.newWindings = *a.newTurns;
    input.newWireGauge = Text(a.newGauge);
    const MotorDesignResult r = ComputeMotorDesign(input, {}, {}, messages);
    std::vector<std::string> warnings;
    if (r.warning) warnings.emplace_back(kHighTurnsRatioText);
    std::string gauge;
    if (r.suggestedGauge) gauge = r.gaugeLabel.substr(7, r.gaugeLabel.size() - 9); // the text in "Gauge (...):"
    return Print(json,
                 {{"motorConstant", "Motor Constant:", r.newMotorConstant, "rpm/V", r.Kv},
                  {"noLoadCurrent", "No-load Current:", r.newIdleCurrent, "A", r.Io},
                  {"resistance", "Resistance:", r.newArmatureResistance, "ohm", r.Rm},
                  {"weight", "Weight:", r.newMotorWeight, ""},
                  {"suggestedGauge", "Suggested Wire Gauge:", gauge, "AWG", r.suggestedGauge}},
                 warnings, r.ApplyEnabled(), messages,
                 NotGiven({{"--kv", &a.kv}, {"--no-load-current", &a.noLoadCurrent}, {"--resistance", &a.resistance}}));
}

void RegisterMotorCommand(CliRegistry& registry) {
    static MotorArguments a;
    CLI::App& app = registry.Add(
        "motor",
        "  motor from-tests V1 I1 RPM1 V2 I2 RPM2 [--best-efficiency] [--format text|json]\n"
        "               motor constants from a free-running (or best-efficiency) and a loaded point\n"
        "  motor from-catalog --voltage V --rpm N [--max-efficiency-current A] [--stall-current A]\n"
        "               [--no-load-current A] [--format text|json]\n"
        "               motor constants from catalogue figures; two of the three currents give the third\n"
        "  motor rewind --turns T --new-turns T [--kv K] [--no-load-current A] [--resistance OHM]\n"
        "               [--weight W] [--gauge AWG] [--new-gauge AWG] [--format text|json]\n"
        "               the constants of the motor rewound with a new number of turns\n",
        [] {
            if (a.words.empty()) throw UsageFailure("motor needs from-tests, from-catalog or rewind");
            if (a.words[0] == "from-tests") return MotorFromTestsCommand(a);
            if (a.words[0] == "from-catalog") return MotorFromCatalogCommand(a);
            if (a.words[0] == "rewind") return MotorRewindCommand(a);
            throw UsageFailure("unknown motor command \"" + a.words[0] + "\"");
        });
    app.add_option("words", a.words);
    app.add_flag("--best-efficiency", a.bestEfficiency);
    AddTextOptions(app, {{"--voltage", &a.voltage}, {"--rpm", &a.rpm},
                         {"--max-efficiency-current", &a.maxEfficiencyCurrent}, {"--stall-current", &a.stallCurrent},
                         {"--no-load-current", &a.noLoadCurrent}, {"--kv", &a.kv}, {"--resistance", &a.resistance},
                         {"--weight", &a.weight}, {"--turns", &a.turns}, {"--new-turns", &a.newTurns},
                         {"--gauge", &a.gauge}, {"--new-gauge", &a.newGauge}, {"--format", &a.format}});
}

struct DriveArguments {
    std::optional<std::string> kv, noLoadCurrent, resistance, voltage, current, diameter, pitch, hub, rpm, thrust,
        thrustUnit, efflux, gearRatio, gearboxEfficiency, densityRatio, angle, width, height, format;
    bool cm = false, metresPerSecond = false, metricPitch = false;
};

// The bench test both the propeller and the fan estimators take: the motor, the air, the measured
// voltage, current, speed and thrust.
void FillBenchTest(BenchMeasurements& input, const DriveArguments& a, CliMessages& messages) {
    input.bench.motor = ReadMotorConstants(Text(a.kv), Text(a.noLoadCurrent), Text(a.resistance), {}, messages);
    const auto sigma = DensityRatio(a.densityRatio, messages);
    if (!sigma) throw UsageFailure("the flying conditions give no air density");
    input.bench.sigma = *sigma;
    input.terminalVoltage = Text(a.voltage);
    input.motorCurrent = Text(a.current);
    input.rpm = Text(a.rpm);
    input.thrust = Text(a.thrust);
    input.thrustUnit = ThrustUnit(a.thrustUnit);
}

void AddBenchTestOptions(CLI::App& app, DriveArguments& a) {
    AddTextOptions(app, {{"--kv", &a.kv}, {"--no-load-current", &a.noLoadCurrent}, {"--resistance", &a.resistance},
                         {"--voltage", &a.voltage}, {"--current", &a.current}, {"--rpm", &a.rpm},
                         {"--thrust", &a.thrust}, {"--thrust-unit", &a.thrustUnit},
                         {"--density-ratio", &a.densityRatio}, {"--format", &a.format}});
    app.add_flag("--cm", a.cm);
}

// The measured speed, or the estimate the estimator put in its place.
Line SpeedLine(bool estimated, const std::string& rpm) {
    return {"rpm", estimated ? "Speed (estimated):" : "Speed:", rpm, "rpm"};
}

void RegisterPropConstantsCommand(CliRegistry& registry) {
    static DriveArguments a;
    CLI::App& app = registry.Add(
        "prop-constants",
        "  prop-constants --kv K --no-load-current A --resistance OHM --voltage V --current A\n"
        "               --diameter D --pitch P [--rpm N] [--thrust T] [--thrust-unit oz|g|N] [--cm]\n"
        "               [--gear-ratio G] [--gearbox-efficiency %] [--density-ratio S] [--format text|json]\n"
        "               propeller power and thrust constants from a static test of a known motor;\n"
        "               without --rpm the speed is estimated from the motor\n",
        [] {
            const bool json = JsonFormat(a.format);
            CliMessages messages;
            PropConstantInput input;
            FillBenchTest(input, a, messages);
            input.diameter = Text(a.diameter);
            input.pitch = Text(a.pitch);
            input.gearRatio = Text(a.gearRatio);
            input.gearboxEfficiency = Text(a.gearboxEfficiency);
            input.diameterUnit = input.pitchUnit = a.cm ? LengthUnit::Centimetre : LengthUnit::Inch;
            const PropConstantResult r = PropConstantChanged(input, false, {}, messages);
            std::vector<std::string> warnings;
            if (!r.warning.empty()) warnings.push_back(r.warning);
            return Print(json,
                         {SpeedLine(input.rpmEstimated, input.rpm),
                          {"powerConstant", "Power Const:", r.powerConstant, "", r.powerConstantValue},
                          {"thrustConstant", "Thrust Const:", r.thrustConstant, "", r.thrustConstantValue}},
                         warnings, r.ApplyEnabled(), messages,
                         NotGiven({{"--kv", &a.kv}, {"--no-load-current", &a.noLoadCurrent},
                                   {"--resistance", &a.resistance}, {"--voltage", &a.voltage}, {"--current", &a.current},
                                   {"--diameter", &a.diameter}, {"--pitch", &a.pitch}, {"--thrust", &a.thrust}}));
        });
    AddBenchTestOptions(app, a);
    AddTextOptions(app, {{"--diameter", &a.diameter}, {"--pitch", &a.pitch}, {"--gear-ratio", &a.gearRatio},
                         {"--gearbox-efficiency", &a.gearboxEfficiency}});
}

void RegisterFanCommands(CliRegistry& registry) {
    static DriveArguments a;
    CLI::App& app = registry.Add(
        "fan-coefficients",
        "  fan-coefficients --fan-diameter D --hub-diameter D --rpm N --thrust T --efflux V\n"
        "               [--kv K --no-load-current A --resistance OHM --voltage V --current A]\n"
        "               [--cm] [--thrust-unit oz|g|N] [--m-per-s] [--metric-pitch] [--density-ratio S]\n"
        "               [--format text|json]\n"
        "               a ducted fan's pitch, thrust and power coefficients from a static test\n",
        [] {
            const bool json = JsonFormat(a.format);
            CliMessages messages;
            FanCoefficientInput input;
            FillBenchTest(input, a, messages);
            input.fanDiameter = Text(a.diameter);
            input.hubDiameter = Text(a.hub);
            input.effluxVelocity = Text(a.efflux);
            input.fanDiameterUnit = input.hubDiameterUnit = a.cm ? LengthUnit::Centimetre : LengthUnit::Inch;
            input.velocityUnit = a.metresPerSecond ? SpeedUnit::MetresPerSecond : SpeedUnit::Mph;
            input.workbenchMetric = a.metricPitch;
            const FanCoefficientResult r = FanCoefficientChanged(input, false, {}, messages);
            return Print(json,
                         {SpeedLine(input.rpmEstimated, input.rpm),
                          {"fanPitch", "Fan Pitch:", r.fanPitch, a.metricPitch ? "cm" : "in", r.pitchValue},
                          {"thrustCoeff", "Thrust Coeff:", r.thrustCoeff, "", r.thrustCoeffValue},
                          {"powerCoeff", "Power Coeff:", r.powerCoeff, "", r.powerCoeffValue}},
                         {}, r.ApplyEnabled(), messages,
                         NotGiven({{"--fan-diameter", &a.diameter}, {"--hub-diameter", &a.hub}, {"--thrust", &a.thrust},
                                   {"--efflux", &a.efflux}}));
        });
    AddBenchTestOptions(app, a);
    AddTextOptions(app, {{"--fan-diameter", &a.diameter}, {"--hub-diameter", &a.hub}, {"--efflux", &a.efflux}});
    app.add_flag("--m-per-s", a.metresPerSecond);
    app.add_flag("--metric-pitch", a.metricPitch);

    static DriveArguments p;
    CLI::App& pitch = registry.Add(
        "fan-pitch",
        "  fan-pitch --diameter D (--angle DEG | --width W --height H) [--format text|json]\n"
        "               a fan rotor's pitch from the blade angle, or width and height, at the perimeter\n",
        [] {
            const bool json = JsonFormat(p.format);
            CliMessages messages;
            const FanPitchResult r =
                ComputeFanPitch({Text(p.diameter), Text(p.angle), Text(p.width), Text(p.height)}, {}, messages);
            std::vector<std::string> warnings;
            if (r.pitch.empty()) warnings.emplace_back(kFanPitchMessage);
            return Print(json, {{"pitch", "Pitch:", r.pitch, "", r.pitchValue}}, warnings, r.ApplyEnabled(), messages,
                         NotGiven({{"--diameter", &p.diameter}}));
        });
    AddTextOptions(pitch, {{"--diameter", &p.diameter}, {"--angle", &p.angle}, {"--width", &p.width},
                           {"--height", &p.height}, {"--format", &p.format}});
}

void RegisterAirfoilCommand(CliRegistry& registry) {
    static struct {
        std::optional<std::string> code, drag, thickness, camber, angle, span, area, format;
        std::optional<int> gear, finish, protrusions, fuselage;
        bool flatPlate = false, metric = false;
    } a;
    CLI::App& app = registry.Add(
        "airfoil",
        "  airfoil [--code C] [--drag C] [--thickness %] [--camber %] [--angle DEG] [--flat-plate]\n"
        "               [--gear 0-3] [--finish 0-2] [--protrusions 0-2] [--fuselage 0-2]\n"
        "               [--span S] [--area A] [--metric] [--format text|json]\n"
        "               the airfoil and drag codes with their slider and class positions and the\n"
        "               airframe's lift and drag coefficients; options change what the codes give\n",
        [] {
            const bool json = JsonFormat(a.format);
            CliMessages messages;
            const auto code = [](const std::optional<std::string>& text, const char* option) -> std::int32_t {
                if (!text) return 0;
                const auto value = ParseInteger(*text);
                if (!value) throw UsageFailure(std::string(option) + " needs a whole number, not \"" + *text + "\"");
                return *value;
            };
            AirframeDesc airframe;
            airframe.AirfoilInfo = code(a.code, "--code");
            airframe.DragInfo = code(a.drag, "--drag");
            airframe.WingSpan = LenientReal(Text(a.span), {}, messages);
            airframe.WingArea = LenientReal(Text(a.area), {}, messages);
            DeriveAirframe(airframe, a.metric);
            AirfoilControls controls = ControlsFromAirframe(airframe);
            const auto position = [&](const std::optional<std::string>& text, const char* option, int low, int high,
                                      int& target) {
                if (!text) return;
                const auto value = ParseLocaleReal(*text, {});
                const double p = value ? *value * 2 : -1e9;
                if (!value || p < low || p > high || p != static_cast<int>(p))
                    throw UsageFailure(std::string(option) + " must be " + FormatReal(0, -1, low / 2.0) + " to " +
                                       FormatReal(0, -1, high / 2.0) + " in steps of 0.5");
                target = static_cast<int>(p);
            };
            position(a.thickness, "--thickness", kThicknessMin, kThicknessMax, controls.thickness);
            position(a.camber, "--camber", kCamberMin, kCamberMax, controls.camber);
            position(a.angle, "--angle", kAngleMin, kAngleMax, controls.angle);
            if (a.flatPlate) controls.flatPlate = true;
            const std::optional<int>* classes[4] = {&a.gear, &a.finish, &a.protrusions, &a.fuselage};
            for (int i = 0; i < 4; ++i)
                if (*classes[i]) {
                    if (**classes[i] < 0 || **classes[i] >= kDragClassItems[i])
                        throw UsageFailure("a drag class is out of its range");
                    controls.dragClass[i] = **classes[i];
                }
            ApplyControls(controls, airframe);
            RecomputeAirfoil(airframe);
            const AirframeCodes codes = CodesOf(airframe);
            const CoefficientTexts texts = AirfoilCoefficientTexts(airframe, {});
            if (json) {
                Json out;
                out["airfoilCode"] = codes.airfoil;
                out["dragCode"] = codes.drag;
                out["thickness"] = ThicknessIndicator(controls.thickness, {});
                out["camber"] = CamberIndicator(controls.camber, {});
                out["angleOfAttack"] = AngleIndicator(controls.angle, {});
                out["flatPlate"] = controls.flatPlate;
                out["sliders"] = {controls.thickness, controls.camber, controls.angle};
                out["dragClasses"] = controls.dragClass;
                Json coefficients;
                for (const auto& line : {texts.topLeft[0], texts.topLeft[1], texts.bottomLeft[0], texts.bottomLeft[1],
                                         texts.topRight[0], texts.topRight[1], texts.topRight[2], texts.topRight[3]}) {
                    const std::string trimmed(TrimText(line));
                    const auto eq = trimmed.find('=');
                    coefficients[trimmed.substr(0, eq)] = trimmed.substr(eq + 1);
                }
                out["coefficients"] = coefficients;
                // The same quantities unrounded, under the same keys, and the codes as numbers.
                const auto number = [](double v) { return std::isfinite(v) ? Json(v) : Json(nullptr); };
                out["values"] = {{"airfoilCode", EncodeAirfoil(airframe)}, {"dragCode", EncodeDrag(airframe)},
                                 {"coefficients",
                                  {{"Cl", number(airframe.Cl)}, {"Clmax", number(airframe.ClMax)},
                                   {"Clopt", number(airframe.ClOpt)}, {"LDmax", number(airframe.MaxLiftToDrag)},
                                   {"Cdp", number(airframe.CdProfile)}, {"Cdi", number(airframe.CdInduced)},
                                   {"Cdo", number(airframe.CdParasitic)}, {"Cd", number(airframe.Cd)}}}};
                out["messages"] = messages.texts;
                return WriteJson(std::nullopt, out, messages);
            }
            std::string text = "Airfoil code: " + codes.airfoil + "\nDrag code: " + codes.drag +
                               "\nThickness: " + ThicknessIndicator(controls.thickness, {}) +
                               "\nCamber: " + CamberIndicator(controls.camber, {}) +
                               "\nAngle of Attack: " + AngleIndicator(controls.angle, {}) + "\n";
            if (controls.flatPlate) text += "Flat or curved plate with square edges\n";
            const auto captions = DragClassCaptions();
            for (int i = 0; i < 4; ++i) {
                std::string caption = controls.dragClass[i] < 0 ? "(none)" : std::string(captions[i][controls.dragClass[i]]);
                std::erase(caption, '&');
                text += std::string(kDragGroupCaptions[i]) + " " + caption + "\n";
            }
            for (const auto& line : {texts.topLeft[0], texts.topLeft[1], texts.bottomLeft[0], texts.bottomLeft[1],
                                     texts.topRight[0], texts.topRight[1], texts.topRight[2], texts.topRight[3]})
                text += std::string(TrimText(line)) + "\n";
            return WriteContents(std::nullopt, text, "results", messages);
        });
    AddTextOptions(app, {{"--code", &a.code}, {"--drag", &a.drag}, {"--thickness", &a.thickness},
                         {"--camber", &a.camber}, {"--angle", &a.angle}, {"--span", &a.span}, {"--area", &a.area},
                         {"--format", &a.format}});
    app.add_option("--gear", a.gear);
    app.add_option("--finish", a.finish);
    app.add_option("--protrusions", a.protrusions);
    app.add_option("--fuselage", a.fuselage);
    app.add_flag("--flat-plate", a.flatPlate);
    app.add_flag("--metric", a.metric);
}

} // namespace

void RegisterToolCommands(CliRegistry& registry) {
    RegisterMotorCommand(registry);
    RegisterPropConstantsCommand(registry);
    RegisterFanCommands(registry);
    RegisterAirfoilCommand(registry);
}

} // namespace ampvane::cli
