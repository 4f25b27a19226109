// SPDX-License-Identifier: GPL-3.0-or-later
// wizard: the AmpvaneWizard search from stored answers, as the wizard's Results page gives it, and
// the project a chosen result makes of the workbench.
#include <cmath>

#include "project/project_text.h"
#include "analysis/report_export.h"
#include "cli_command.h"
#include "data/comp_data_module.h"
#include "data/data_folder.h"
#include "data/name_lookup.h"
#include "workbench/display_settings.h"
#include "workbench/settings.h"
#include "workbench/workbench_session.h"
#include "wizard/wizard_accept.h"
#include "wizard/wizard_results.h"
#include "wizard/wizard_search.h"

namespace ampvane {
extern const char* const kSampleProjectText;
} // namespace ampvane

namespace ampvane::cli {

namespace {

// The number as the JSON carries it: finite, or null.
nlohmann::ordered_json Number(double value) {
    return std::isfinite(value) ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json ResultsJson(const std::vector<WizardRow>& rows, const WizardSearchResult& search,
                                   const WizardSearchSettings& settings, const std::vector<std::string>& messages) {
    nlohmann::ordered_json out;
    out["motors"] = settings.motors;
    out["analysed"] = search.counters.analysed;
    const WizardCounters& k = search.counters;
    out["rejected"] = {{"too_heavy", k.tooHeavy},           {"too_much_current", k.tooMuchCurrent},
                       {"too_inefficient", k.tooInefficient}, {"too_hot", k.tooHot},
                       {"too_high_rpm", k.tooFast},           {"propeller_too_large", k.propTooLarge},
                       {"insufficient_thrust", k.insufficientThrust}, {"not_computed", k.notComputed}};
    out["passes"] = search.passes;
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const WizardRow& row : rows) {
        const TResultObject& r = row.result;
        list.push_back({{"motor", r.motorName},
                        {"pack", r.battery.name},
                        {"series", r.series},
                        {"gear", Number(r.gearRatio)},
                        {"diameter", Number(r.diameter)},
                        {"pitch", Number(r.pitch)},
                        {"rating", Number(r.rating / search.bestRating)},
                        {"rating_text", row.cells[4]},
                        {"wiring", r.wiring},
                        {"current", Number(r.current)},
                        {"thrust", Number(r.thrust)},
                        {"cells", row.cells}});
    }
    out["results"] = std::move(list);
    out["messages"] = messages;
    return out;
}

// Terminals get plain line feeds; files keep the written line ends.
std::string ForTerminal(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

} // namespace

void RegisterWizardCommand(CliRegistry& registry) {
    static struct {
        std::optional<std::string> answersFile;
        std::optional<std::string> format;
        std::optional<std::string> output;
        std::optional<std::string> apply;
        std::optional<std::string> settings;
        bool advanced = false;
    } args;
    CLI::App& app = registry.Add(
        "wizard",
        "  wizard ANSWERS [--format text|html|csv|json] [-o FILE] [--apply N] [--advanced]\n"
        "               [--settings FILE]\n"
        "               the AmpvaneWizard search for a project text (its plane and stored\n"
        "               wizard answers) or a bare WIZARDINFO text (on the sample project's\n"
        "               plane), over the tables of the data folder; --apply N prints the\n"
        "               project text of result N as the workbench holds it after accepting it;\n"
        "               --advanced searches with the project's sea-level pressure and air\n"
        "               temperature, as the wizard does with its advanced settings shown\n"
        "               (also when the settings' \"advwizard\" line asks for them)\n",
        [] {
            if (!args.answersFile) throw UsageFailure("wizard needs an answers file");
            if (args.output && args.output->empty()) throw UsageFailure("-o needs a file name");
            std::optional<WizardOutputStyle> style;
            bool json = false;
            if (args.format) {
                if (*args.format == "text") style = WizardOutputStyle::Text;
                else if (*args.format == "html") style = WizardOutputStyle::Html;
                else if (*args.format == "csv") style = WizardOutputStyle::Csv;
                else if (*args.format == "json") json = true;
                else throw UsageFailure("unknown format \"" + *args.format + "\" (text, html, csv or json)");
            }
            std::optional<int> apply;
            if (args.apply) {
                apply = ParseWhole(*args.apply, 1, 999999999);
                if (!apply) throw UsageFailure("--apply needs a whole number from 1 up, not \"" + *args.apply + "\"");
            }

            CliMessages messages;
            const NumberLocale locale;
            const auto source = ReadProjectSource(args.answersFile);
            if (!source) return Rejected("cannot read the answers file \"" + *args.answersFile + "\"");
            WorkbenchSession session(nullptr, nullptr, locale, messages, messages);
            if (source->find(kProjectTextBegin) == std::string::npos) {
                // A bare stored text: the sample project's plane with these answers.
                std::string info(TrimText(*source));
                if (info.find_first_of("\r\n") != std::string::npos)
                    return Rejected("the answers file holds neither a project text nor one line of wizard answers");
                (void)session.TakeProjectText(kSampleProjectText);
                session.Fields().SetText(WorkbenchControl::WizardInfoEdit, info);
            } else {
                // The options leave out flying conditions outside their ranges, as a pasted project
                // does; the search goes on without them, and says so.
                std::vector<RefusedFlyingCondition> refused;
                if (const auto read = session.TakeProjectText(*source, &refused); !read) return Rejected(read.Reason());
                for (const RefusedFlyingCondition& r : refused)
                    messages.Report(WarningMessage(RefusedFlyingConditionMessage(r)));
            }
            // The display options over the project's own, as for a report: here whether the wizard
            // shows its advanced settings.
            Settings display;
            const std::optional<bool> configured = LoadDisplaySettings(args.settings, display, locale, messages);
            if (!configured) return kRejected;
            if (*configured) ApplyDisplaySettings(display, session.Options());
            const WorkbenchFields& fields = session.Fields();
            const Settings& units = session.Options();

            TCompDataModule tables({DataFolder(), InitialFolder()}, messages);
            tables.OpenComponentTables();
            session.SetTables(&tables);
            if (!tables.MotorTable() || !tables.CellTable()) return Rejected("the motor and cell tables cannot be opened");
            const WizardDatabase db = ReadWizardDatabase(tables);
            const std::string folder = tables.dataFolder();
            const auto cells = LoadWizardCells(db, ReadWizardCellList(folder, locale, messages));
            const auto manufacturers = WizardManufacturers(db.motors, ReadManufacturerPrefixes(folder, locale, messages));

            WizardCopySource copy{MetricLengthsAndWeights(units), MetricPropellerSizes(units),
                                  MetricTemperatureAndPressure(units), units.elevation, units.temperature,
                                  units.pressure};
            WizardAnswers answers;
            CopyPlaneFromWorkbench(answers, fields, copy, manufacturers, locale);
            answers.advancedShown = args.advanced || units.advancedWizard;
            auto read = ReadSearchSettings(answers, db, cells, locale, messages);
            if (!read.settings) return Rejected(read.failure.message);
            const WizardSearchSettings& settings = *read.settings;

            WizardSearchControl control;
            WizardSearchResult search = SearchPowerSystems(settings, db, control);
            if (search.outcome != WizardSearchOutcome::Found)
                return Rejected(ForTerminal(WizardFailureMessage(settings, search, locale)));
            const auto ranked = RankResults(std::move(search.results), control);
            if (!ranked) return Rejected(std::string(kInterruptedMessage));
            const auto rows = ResultRows(*ranked, settings.motors, copy.metricPropSizes, search.bestRating, locale);

            if (apply) {
                if (*apply > static_cast<int>(ranked->size()))
                    return Rejected("--apply " + std::to_string(*apply) + ": the search found " +
                                    std::to_string(ranked->size()) + " results");
                bool planeChanged = false;
                if (!session.AcceptWizardResult(rows[static_cast<std::size_t>(*apply - 1)], answers, settings,
                                                planeChanged))
                    return kRejected;
                return WriteContents(args.output, session.ProjectText(), "project text", messages);
            }
            if (json) return WriteJson(args.output, ResultsJson(rows, search, settings, messages.texts), messages);
            if (!style) style = args.output ? ChooseWizardOutputStyle(*args.output, 1) : WizardOutputStyle::Text;
            std::string text = WriteWizardResults(*style, answers, settings.motors, rows, FooterDateTime(), locale);
            if (*style == WizardOutputStyle::Text)
                text = WizardSummary(search.counters.analysed, settings.restrictionText, rows.size(), locale) + "\r\n\r\n" + text;
            return WriteContents(args.output, args.output ? text : ForTerminal(text), "wizard results", messages);
        });
    app.add_option("answers", args.answersFile);
    app.add_option("--format", args.format);
    app.add_option("-o,--output", args.output);
    app.add_option("--apply", args.apply);
    app.add_flag("--advanced", args.advanced);
    AddSettingsOption(app, args.settings);
}

} // namespace ampvane::cli
