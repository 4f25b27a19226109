// SPDX-License-Identifier: GPL-3.0-or-later
// propeller: measured propellers from the terminal: import wind-tunnel, maker and CSV data into the
// Propellers folder, list, show one (or its coefficients, thrust and power at a speed), fit the two
// constants of the two-constant model, rename, delete and export.
#include <charconv>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "advice/propeller_comparison_chart.h"
#include "analysis/measured_drive.h"
#include "analysis/propeller_files.h"
#include "analysis/propeller_store.h"
#include "cli_command.h"
#include "common/numeric_text.h"
#include "common/unit_conversion.h"
#include "data/data_folder.h"
#include "model/air.h"
#include "model/measured_propeller.h"

namespace ampvane::cli {

namespace {

using Json = nlohmann::ordered_json;


PropellerStore Store() {
    return PropellerStore((std::filesystem::path(DataFolder()) / std::string(kPropellersFolder)).string());
}

std::optional<double> Real(const std::optional<std::string>& text, const char* option, double low, double high) {
    if (!text) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc{} || end != text->data() + text->size() || !(value >= low && value <= high))
        throw UsageFailure(std::string(option) + " needs a number from " + FormatNumber(0, -5, 0, low) + " to " +
                           FormatNumber(0, -5, 0, high) + ", not \"" + *text + "\"");
    return value;
}

bool JsonFormat(const std::optional<std::string>& format) {
    if (!format || *format == "text") return false;
    if (*format == "json") return true;
    throw UsageFailure("unknown format \"" + *format + "\" (text or json)");
}

std::string Figure(double value, int decimals) {
    return FormatNumber(0, -decimals, 0, value);
}

std::string KindText(PropellerDataKind kind) {
    return kind == PropellerDataKind::Computed ? "computed" : "measured";
}

// The propeller, or nothing after the message.
std::optional<MeasuredPropeller> Load(const std::string& name) {
    PropellerImport loaded = Store().Load(name);
    if (!loaded.Propeller) {
        Rejected(loaded.Error);
        return std::nullopt;
    }
    return std::move(*loaded.Propeller);
}

int Import(const std::vector<std::string>& paths, const PropellerImportGiven& given, CliMessages& messages) {
    std::vector<PropellerFile> files;
    for (const std::string& path : paths) {
        PropellerFile file{path, {}};
        if (const std::string error = ReadFileContents(path, file.Text); !error.empty())
            return Rejected("cannot read \"" + path + "\": " + error);
        files.push_back(std::move(file));
    }
    const PropellerImport result = ImportPropellerFiles(files, given);
    if (!result.Propeller) return Rejected(result.Error);
    for (const std::string& note : result.Notes) std::fprintf(stderr, "ampvane-cli: %s\n", note.c_str());
    const MeasuredPropeller& p = *result.Propeller;
    if (const std::string error = Store().Save(p, false); !error.empty()) return Rejected(error);
    std::size_t points = 0;
    for (const PropellerRun& run : p.Runs) points += run.Points.size();
    return WriteContents(std::nullopt,
                         "Imported \"" + p.Name + "\": " + Figure(p.Diameter, 2) + " x " + Figure(p.Pitch, 2) + " in, " +
                             std::to_string(p.Blades) + " blades, " + KindText(p.Kind) + " data, " +
                             std::to_string(p.Static.size()) + " static points, " + std::to_string(p.Runs.size()) +
                             " runs of " + std::to_string(points) + " points.\n",
                         "the summary", messages);
}

Json Summary(const MeasuredPropeller& p) {
    Json out;
    out["name"] = p.Name;
    out["diameter_in"] = p.Diameter;
    out["pitch_in"] = p.Pitch;
    out["blades"] = p.Blades;
    out["data"] = KindText(p.Kind);
    out["source"] = p.Source;
    Json still = Json::array();
    for (const StaticPoint& s : p.Static) still.push_back({{"rpm", s.Rpm}, {"ct", s.CT}, {"cp", s.CP}});
    out["static"] = still;
    Json runs = Json::array();
    for (const PropellerRun& run : p.Runs) {
        Json points = Json::array();
        for (const AdvancePoint& a : run.Points) points.push_back({{"j", a.J}, {"ct", a.CT}, {"cp", a.CP}});
        runs.push_back({{"rpm", run.Rpm}, {"points", points}});
    }
    out["runs"] = runs;
    return out;
}

std::string SummaryText(const MeasuredPropeller& p) {
    std::string text = "Name: " + p.Name + "\n";
    text += "Size: " + Figure(p.Diameter, 2) + " x " + Figure(p.Pitch, 2) + " in, " + std::to_string(p.Blades) + " blades\n";
    text += p.Kind == PropellerDataKind::Computed ? "Data: computed by the maker (blade-element tables)\n"
                                                   : "Data: measured\n";
    if (!p.Source.empty()) text += "Source: " + p.Source + "\n";
    if (!p.Static.empty())
        text += "Static: " + std::to_string(p.Static.size()) + " points, " + Figure(p.Static.front().Rpm, 0) + " to " +
                Figure(p.Static.back().Rpm, 0) + " rpm\n";
    for (const PropellerRun& run : p.Runs)
        text += "Run at " + Figure(run.Rpm, 1) + " rpm: J " + Figure(run.Points.front().J, 3) + " to " +
                Figure(run.Points.back().J, 3) + ", " + std::to_string(run.Points.size()) + " points\n";
    return text;
}

// One operating point of one propeller in standard air at sea level.
int ShowPoint(const MeasuredPropeller& p, double rpm, double speed, bool json, CliMessages& messages) {
    const double sigma = AirDensityRatio(0, kStandardPressureInchesHg, StandardDayTemperature(0));
    const MeasuredCurves curves(p);
    const double J = AdvanceRatio(speed, rpm, p.Diameter);
    const PropellerCoefficients c = curves.At(J, rpm);
    const double power = curves.Power(speed, rpm, sigma);
    const PropThrustResult thrust = curves.Thrust(speed, rpm, sigma, 1);
    const double torque = power / (2 * std::numbers::pi * rpm / 60) * kInchOuncesPerNewtonMetre;
    if (json) {
        Json out;
        out["name"] = p.Name;
        out["rpm"] = rpm;
        out["speed_mph"] = speed;
        out["j"] = J;
        out["density_ratio"] = sigma;
        out["ct"] = c.CT;
        out["cp"] = c.CP;
        out["thrust_oz"] = thrust.Thrust;
        out["power_w"] = power;
        out["torque_inoz"] = torque;
        out["efficiency"] = thrust.Efficiency;
        return WriteJson(std::nullopt, out, messages);
    }
    const std::string text = p.Name + " at " + Figure(rpm, 0) + " rpm and " + Figure(speed, 1) + " mph (J " +
                             Figure(J, 3) + "), standard air at sea level:\n" + "CT " + Figure(c.CT, 4) + ", CP " +
                             Figure(c.CP, 4) + "\nThrust " + Figure(thrust.Thrust, 1) + " oz, power " +
                             Figure(power, 1) + " W, torque " + Figure(torque, 1) + " in.oz, efficiency " +
                             Figure(thrust.Efficiency * 100, 1) + " %\n";
    return WriteContents(std::nullopt, text, "the propeller", messages);
}

int Fit(const MeasuredPropeller& p, bool json, CliMessages& messages) {
    const std::optional<FittedConstants> fit = FitTwoConstants(MeasuredCurves(p));
    if (!fit) return Rejected("\"" + p.Name + "\" has no static point with thrust and power that two constants can fit");
    if (json) {
        Json out;
        out["name"] = p.Name;
        out["prop_constant"] = fit->PropConstant;
        out["thrust_constant"] = fit->ThrustConstant;
        out["points"] = fit->Points;
        out["power_rms_error"] = fit->PowerRmsError;
        out["thrust_rms_error"] = fit->ThrustRmsError;
        return WriteJson(std::nullopt, out, messages);
    }
    const std::string text = "Propeller Constant: " + Figure(fit->PropConstant, 2) + "\nThrust Constant: " +
                             Figure(fit->ThrustConstant, 3) + "\nFitted to " + std::to_string(fit->Points) +
                             " static points; power off by " + Figure(fit->PowerRmsError * 100, 1) +
                             " %, thrust by " + Figure(fit->ThrustRmsError * 100, 1) + " % (root mean square).\n";
    return WriteContents(std::nullopt, text, "the constants", messages);
}

std::string Optional(const std::optional<double>& value, int width, int decimals) {
    return value ? FormatNumber(width, decimals, 0, *value) : std::string(static_cast<std::size_t>(width) - 1, ' ') + "-";
}

// The measured propeller against the two-constant model on the first combination of a project; with a
// graph file, also as a chart saved there (before anything is printed, so a refused file prints nothing).
int Compare(const std::string& name, const ProjectSource& source, double throttlePercent, std::optional<double> propConstant,
            std::optional<double> thrustConstant, bool json, const std::optional<std::string>& graph,
            const PictureSize& size, CliMessages& messages) {
    int status = kRejected;
    const std::optional<Report> report = ComputeProjectReport(source, messages, status);
    if (!report) return status;
    PlaneDesc plane = report->Plane;
    if (plane.Drive.Kind != PropellerDrive) return Rejected("the project's drive is a ducted fan, not a propeller");
    if (const std::string error = AttachMeasuredPropeller(plane.Drive, Store(), name); !error.empty()) return Rejected(error);
    const bool fitted = !propConstant || !thrustConstant;
    if (fitted) {
        const std::optional<FittedConstants> fit = FitTwoConstants(*plane.Drive.Measured);
        if (!fit) return Rejected("\"" + name + "\" has no static point to fit the constants to; give --prop-constant and --thrust-constant");
        if (!propConstant) propConstant = fit->PropConstant;
        if (!thrustConstant) thrustConstant = fit->ThrustConstant;
    }
    const std::vector<ModelComparisonRow> rows = CompareWithTwoConstants(
        plane, report->Options, throttlePercent / 100, *propConstant / 1.31, *thrustConstant);
    const std::string throttle = ", at " + Figure(throttlePercent, 0) + "% throttle";
    if (graph) {
        const Chart chart = PropellerComparisonChart(
            rows, "\"" + name + "\" measured and with two constants" + throttle,
            (fitted ? "fitted constants " : "constants ") + Figure(*propConstant, 2) + ", " + Figure(*thrustConstant, 3));
        if (const std::string error = SaveChart(*graph, chart, size); !error.empty()) return Rejected(error);
    }
    if (json) {
        Json out;
        out["name"] = name;
        out["prop_constant"] = *propConstant;
        out["thrust_constant"] = *thrustConstant;
        out["constants"] = fitted ? "fitted" : "given";
        out["throttle_percent"] = throttlePercent;
        Json list = Json::array();
        const auto number = [](const std::optional<double>& v) { return v ? Json(*v) : Json(nullptr); };
        for (const ModelComparisonRow& row : rows)
            list.push_back({{"speed_mph", row.Airspeed},
                            {"measured_thrust_oz", number(row.MeasuredThrust)},
                            {"measured_power_w", number(row.MeasuredPower)},
                            {"constants_thrust_oz", number(row.ConstantsThrust)},
                            {"constants_power_w", number(row.ConstantsPower)}});
        out["rows"] = list;
        return WriteJson(std::nullopt, out, messages);
    }
    std::string text = "\"" + name + "\" measured, against the two-constant model with Propeller Constant " +
                       Figure(*propConstant, 2) + " and Thrust Constant " + Figure(*thrustConstant, 3) +
                       (fitted ? " (fitted)" : "") + throttle + ":\n";
    text += " Speed    Measured          Two constants\n";
    text += " (mph)  Thrust(oz) Power(W) Thrust(oz) Power(W)\n";
    for (const ModelComparisonRow& row : rows)
        text += FormatNumber(6, 0, 0, row.Airspeed) + " " + Optional(row.MeasuredThrust, 11, 1) + Optional(row.MeasuredPower, 9, 1) +
                Optional(row.ConstantsThrust, 11, 1) + Optional(row.ConstantsPower, 9, 1) + "\n";
    return WriteContents(std::nullopt, text, "the comparison", messages);
}

} // namespace

void RegisterPropellerCommands(CliRegistry& registry) {
    static struct {
        std::string action;
        std::vector<std::string> arguments;
        std::optional<std::string> name, diameter, pitch, blades, rpm, speed, format, throttle, propConstant, thrustConstant,
            project, graph, size, scale;
    } args;
    CLI::App& app = registry.Add(
        "propeller",
        "  propeller import FILE... [--name N] [--diameter D --pitch P --blades B] [--rpm R]\n"
        "               a measured propeller into the data folder's Propellers folder, from\n"
        "               wind-tunnel files (a static file of RPM CT CP and one J CT CP eta\n"
        "               file a run), a maker's PROP RPM = N tables, a CSV of rpm,J,CT,CP or a\n"
        "               propeller file; sizes in inches; --rpm gives the rpm of a single run file\n"
        "  propeller list\n"
        "               the stored measured propellers\n"
        "  propeller show NAME [--rpm N [--speed V]] [--format text|json]\n"
        "               the propeller's data, or its coefficients, thrust (oz), power (W), torque\n"
        "               (in.oz) and efficiency at N rpm and V mph in standard air at sea level\n"
        "  propeller fit NAME [--format text|json]\n"
        "               the propeller and thrust constants that best fit its static points\n"
        "  propeller compare NAME [PROJECT_FILE | --project P] [--throttle PERCENT]\n"
        "                 [--prop-constant K --thrust-constant T] [--format text|json]\n"
        "                 [--graph FILE.png|.jpg|.bmp|.svg|.pdf [--size WxH] [--scale N]]\n"
        "               thrust and power against airspeed on the project's first combination,\n"
        "               measured and with the two-constant model (constants fitted unless given);\n"
        "               --graph also saves them as a graph, --size and --scale as for graph\n"
        "  propeller rename NAME NEW | delete NAME | export NAME FILE\n",
        [] {
            const std::string& action = args.action;
            const std::vector<std::string>& a = args.arguments;
            const auto expect = [&](std::size_t count, const char* what) {
                if (a.size() != count) throw UsageFailure("propeller " + action + " needs " + what);
            };
            const bool importing = action == "import", showing = action == "show";
            if (!importing && (args.name || args.diameter || args.pitch || args.blades))
                throw UsageFailure("--name, --diameter, --pitch and --blades belong to propeller import");
            if (args.rpm && !importing && !showing) throw UsageFailure("--rpm belongs to propeller import and show");
            if (args.speed && !(showing && args.rpm)) throw UsageFailure("--speed belongs to propeller show with --rpm");
            const bool comparing = action == "compare";
            if (!comparing && (args.throttle || args.propConstant || args.thrustConstant || args.project || args.graph))
                throw UsageFailure(
                    "--throttle, --prop-constant, --thrust-constant, --project and --graph belong to propeller compare");
            if (!args.graph && (args.size || args.scale)) throw UsageFailure("--size and --scale belong to --graph");
            CliMessages messages;
            if (importing) {
                if (a.empty()) throw UsageFailure("propeller import needs at least one file");
                PropellerImportGiven given;
                given.Name = args.name;
                given.Diameter = Real(args.diameter, "--diameter", 0.1, 100);
                given.Pitch = Real(args.pitch, "--pitch", 0.1, 100);
                if (const auto blades = Real(args.blades, "--blades", 1, 10)) {
                    if (*blades != std::floor(*blades)) throw UsageFailure("--blades needs a whole number");
                    given.Blades = static_cast<int>(*blades);
                }
                given.Rpm = Real(args.rpm, "--rpm", 100, 100000);
                return Import(a, given, messages);
            }
            if (action == "list") {
                expect(0, "no argument");
                const bool json = JsonFormat(args.format);
                const std::vector<std::string> names = Store().Names();
                if (json) return WriteJson(std::nullopt, Json(names), messages);
                std::string out;
                for (const std::string& name : names) out += name + "\n";
                return WriteContents(std::nullopt, out, "names", messages);
            }
            if (showing || action == "fit") {
                expect(1, "a name");
                const bool json = JsonFormat(args.format);
                const std::optional<MeasuredPropeller> p = Load(a[0]);
                if (!p) return kRejected;
                if (action == "fit") return Fit(*p, json, messages);
                if (const auto rpm = Real(args.rpm, "--rpm", 1, 1000000))
                    return ShowPoint(*p, *rpm, Real(args.speed, "--speed", 0, 1000).value_or(0), json, messages);
                return json ? WriteJson(std::nullopt, Summary(*p), messages)
                            : WriteContents(std::nullopt, SummaryText(*p), "the propeller", messages);
            }
            if (comparing) {
                if (a.empty() || a.size() > 2) throw UsageFailure("propeller compare needs a name and at most a project file");
                const ProjectSource source{a.size() == 2 ? std::optional<std::string>(a[1]) : std::nullopt, args.project};
                CheckProjectSource(source, false, "propeller compare");
                const PictureSize size = args.graph ? ChartPictureOptions(*args.graph, "--graph", args.size, args.scale)
                                                    : PictureSize{};
                return Compare(a[0], source, Real(args.throttle, "--throttle", 0, 100).value_or(100),
                               Real(args.propConstant, "--prop-constant", 0.5, 4),
                               Real(args.thrustConstant, "--thrust-constant", 0.5, 4), JsonFormat(args.format), args.graph,
                               size, messages);
            }
            if (args.format) throw UsageFailure("--format belongs to propeller list, show, fit and compare");
            if (action == "rename" || action == "export") {
                expect(2, action == "rename" ? "a name and a new name" : "a name and a file");
                const std::string error = action == "rename" ? Store().Rename(a[0], a[1]) : Store().Export(a[0], a[1]);
                return error.empty() ? kSuccess : Rejected(error);
            }
            if (action == "delete") {
                expect(1, "a name");
                const std::string error = Store().Delete(a[0]);
                return error.empty() ? kSuccess : Rejected(error);
            }
            throw UsageFailure("propeller needs import, list, show, fit, compare, rename, delete or export, not \"" + action + "\"");
        });
    app.add_option("action", args.action)->required();
    app.add_option("arguments", args.arguments);
    app.add_option("--name", args.name);
    app.add_option("--diameter", args.diameter);
    app.add_option("--pitch", args.pitch);
    app.add_option("--blades", args.blades);
    app.add_option("--rpm", args.rpm);
    app.add_option("--speed", args.speed);
    app.add_option("--format", args.format);
    app.add_option("--throttle", args.throttle);
    app.add_option("--prop-constant", args.propConstant);
    app.add_option("--thrust-constant", args.thrustConstant);
    app.add_option("--project", args.project);
    app.add_option("--graph", args.graph);
    app.add_option("--size", args.size);
    app.add_option("--scale", args.scale);
}

} // namespace ampvane::cli
