// SPDX-License-Identifier: GPL-3.0-or-later
#include "wizard/wizard_results.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

#include "analysis/report_export.h"
#include "common/text_escape.h"
#include "common/unit_conversion.h"
#include "common/text_helpers.h"

namespace ampvane {

int DifferenceScore(const TResultObject& a, const TResultObject& b) {
    int score = 0;
    if (a.series != b.series || a.battery.shortName != b.battery.shortName) score += 2;
    if (a.gearRatio != b.gearRatio) score += 1;
    if ((a.gearRatio < 1.01) != (b.gearRatio < 1.01)) score += 1;
    if (a.diameter != b.diameter || a.pitch != b.pitch) score += 2;
    if (a.wiring != b.wiring) score += 1;
    return score;
}

namespace {

bool BetterFirst(const TResultObject& a, const TResultObject& b) { return a.rating > b.rating; }

} // namespace

std::vector<std::uint32_t> RankingOrder(const std::vector<TResultObject>& list) {
    // The search lists each motor's results together, so names are compared run by run (a few
    // thousand runs) rather than result by result (hundreds of thousands, millions of comparisons).
    // Runs of one name, joined in the list's order, are then sorted by rating alone: the same order a
    // stable sort of every result by (name, rating) gives.
    struct Run {
        std::uint32_t begin, end;
    };
    std::vector<Run> runs;
    for (std::uint32_t i = 0; i < list.size();) {
        std::uint32_t end = i + 1;
        while (end < list.size() && list[end].motorName == list[i].motorName) ++end;
        runs.push_back({i, end});
        i = end;
    }
    std::stable_sort(runs.begin(), runs.end(),
                     [&list](const Run& a, const Run& b) { return list[a.begin].motorName < list[b.begin].motorName; });
    std::vector<std::uint32_t> order;
    order.reserve(list.size());
    for (std::size_t r = 0; r < runs.size();) {
        const std::size_t first = order.size();
        const std::string& name = list[runs[r].begin].motorName;
        for (; r < runs.size() && list[runs[r].begin].motorName == name; ++r)
            for (std::uint32_t i = runs[r].begin; i < runs[r].end; ++i) order.push_back(i);
        std::stable_sort(order.begin() + static_cast<std::ptrdiff_t>(first), order.end(),
                         [&list](std::uint32_t x, std::uint32_t y) { return list[x].rating > list[y].rating; });
    }
    return order;
}

std::optional<std::vector<TResultObject>> RankResults(std::vector<TResultObject> list, WizardSearchControl& control) {
    control.SetText("Sorting Candidates...");
    // Sorted through their positions: a large search lists hundreds of thousands of results, and
    // moving each (its names and its pack) costs far more than comparing it. Equal names and ratings
    // have no defined order; a stable sort keeps the search's order.
    const std::vector<std::uint32_t> order = RankingOrder(list);
    const auto at = [&](std::size_t i) -> TResultObject& { return list[order[i]]; };

    control.Start(static_cast<std::int64_t>(list.size()), "Filtering Candidates");
    for (std::size_t w = 0; w < list.size(); ++w) {
        if (at(w).kept) {
            for (std::size_t j = w + 1; j < list.size() && at(j).motorName == at(w).motorName; ++j)
                if (at(j).kept && DifferenceScore(at(w), at(j)) <= 3) at(j).kept = false;
        }
        control.Step();
        if (control.Cancelled()) return std::nullopt;
    }

    auto keptCount = [&] {
        return static_cast<std::size_t>(std::count_if(list.begin(), list.end(), [](const auto& r) { return r.kept; }));
    };
    for (int limit = 5; keptCount() > 100 && limit > 0; --limit) {
        for (std::size_t i = 0; i < list.size();) {
            const std::string& name = at(i).motorName;
            std::size_t j = i;
            int taken = 0;
            bool keeping = true;
            for (; j < list.size() && at(j).motorName == name; ++j) {
                if (keeping && at(j).kept && taken < limit) {
                    ++taken;
                } else {
                    keeping = false;
                    at(j).kept = false;
                }
            }
            i = j;
        }
    }

    std::vector<TResultObject> kept;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (at(i).kept) kept.push_back(std::move(at(i)));
    std::stable_sort(kept.begin(), kept.end(), BetterFirst);
    return kept;
}

std::array<std::string, kResultColumns> ResultsHeader(int motors) {
    return {motors > 1 ? "Motors (" + std::to_string(motors) + ")" : "Motor", "Battery", "Gear", "Prop", "Rating"};
}

std::string GearText(double gearRatio, const NumberLocale& locale) {
    if (gearRatio < 1.01) return {};
    return FormatNumber(3, -1, 0, gearRatio, locale) + ":1";
}

std::string RatingText(double rating, double bestRating, const NumberLocale& locale) {
    return PadLeft(FormatNumber(0, 3, 0, std::pow(rating / bestRating, 0.25), locale), 5);
}

std::vector<WizardRow> ResultRows(const std::vector<TResultObject>& ranked, int motors, bool metricPropSizes,
                                  double bestRating, const NumberLocale& locale) {
    std::vector<WizardRow> rows;
    rows.reserve(ranked.size());
    for (const TResultObject& result : ranked) {
        WizardRow row;
        row.result = result;
        if (metricPropSizes) {
            row.result.diameter = CentimetresFromInches(row.result.diameter);
            row.result.pitch = CentimetresFromInches(row.result.pitch);
        }
        static constexpr const char* kWiring[] = {"", "S - ", "P - ", "X - "};
        row.cells[0] = (motors > 1 ? std::string(kWiring[std::clamp(result.wiring, 1, 3)]) : std::string()) +
                       result.motorName;
        row.cells[1] = std::to_string(result.series) + "x" + result.battery.shortName;
        row.cells[2] = GearText(result.gearRatio, locale);
        row.cells[3] = FormatNumber(0, -1, 0, row.result.diameter, locale) + "x" +
                       FormatNumber(0, -1, 0, row.result.pitch, locale);
        row.cells[4] = RatingText(result.rating, bestRating, locale);
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

double LeadingNumber(std::string_view cell, char decimal) {
    std::string digits;
    for (char c : cell) {
        if (c >= '0' && c <= '9') digits += c;
        else if (c == decimal) digits += '.';
        else break;
    }
    char* end = nullptr;
    const double value = digits.empty() ? 0 : std::strtod(digits.c_str(), &end);
    return std::isfinite(value) ? value : 0;
}

int CompareRows(const WizardRow& a, const WizardRow& b, int column, char decimal) {
    for (int c = column; c < kResultColumns; ++c) {
        if (c > 0) {
            const double x = LeadingNumber(a.cells[c], decimal), y = LeadingNumber(b.cells[c], decimal);
            if (x < y) return -1;
            if (x > y) return 1;
        }
        const int text = a.cells[c].compare(b.cells[c]);
        if (text != 0) return text < 0 ? -1 : 1;
    }
    return 0;
}

} // namespace

void SortResultRows(std::vector<WizardRow>& rows, int column, bool descending, char decimal) {
    column = std::clamp(column, 0, kResultColumns - 1);
    auto before = [&](const WizardRow& a, const WizardRow& b) {
        const int order = CompareRows(a, b, column, decimal);
        return descending ? order > 0 : order < 0;
    };
    const std::size_t n = rows.size();
    std::size_t gap = 1;
    while (gap < n / 3) gap = gap * 3 + 1;
    for (; gap > 0; gap /= 3) {
        for (std::size_t i = gap; i < n; ++i) {
            WizardRow moving = std::move(rows[i]);
            std::size_t j = i;
            while (j >= gap && before(moving, rows[j - gap])) {
                rows[j] = std::move(rows[j - gap]);
                j -= gap;
            }
            rows[j] = std::move(moving);
        }
    }
}

std::string GroupedCount(std::int64_t n, const NumberLocale& locale) {
    const char separator = locale.decimal == '.' ? ',' : '.';
    std::string digits = std::to_string(n < 0 ? -n : n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

std::string WizardSummary(std::int64_t analysed, std::string_view restrictionText, std::size_t results,
                          const NumberLocale& locale) {
    return "The AmpvaneWizard has analysed " + GroupedCount(analysed, locale) + " power system combinations" +
           std::string(restrictionText) + ", and has found that the following " +
           GroupedCount(static_cast<std::int64_t>(results), locale) + " will provide the desired level of performance:";
}

std::string WizardFailureMessage(const WizardSearchSettings& s, const WizardSearchResult& search,
                                 const NumberLocale& locale) {
    const std::string lineBreak = "\r\n";
    const WizardCounters& k = search.counters;
    if (k.analysed > 0 && search.lastPassHadCandidates) {
        std::string message;
        if (k.analysed == 1)
            message = "The AmpvaneWizard has analysed 1 power system combination" + s.restrictionText +
                      ", and found that it was not suitable (see below). Please try again with a different "
                      "performance level or shorter desired flying time." + lineBreak;
        else
            message = "The AmpvaneWizard has analysed " + GroupedCount(k.analysed, locale) +
                      " power system combinations" + s.restrictionText +
                      ", and was unable to find any that were suitable (see below). Please try again with a "
                      "different performance level or shorter desired flying time." + lineBreak;
        const auto counts = k.Rejections();
        for (std::size_t i = 0; i < counts.size(); ++i) {
            const std::int64_t n = counts[i];
            if (n <= 0) continue;
            const std::string wasWere = n == 1 ? "was" : "were";
            static const std::string kReasons[] = {
                " too heavy for the desired flying characteristics.",
                " drew too much current from the battery.",
                " too inefficient, not making effective use of the motor.",
                " ran too hot, risking damage to the motor.",
                " had too high of a motor RPM.",
                " needed too large a propeller for the airframe.",
                " had insufficient thrust to achieve the desired performance.",
                " could not be computed (for reasons that could not be determined).",
            };
            const bool verb = i == 0 || i == 2;
            message += lineBreak + GroupedCount(n, locale) + (verb ? " " + wasWere : std::string()) + kReasons[i];
        }
        return message;
    }
    std::string message;
    if (s.batteryDetermined) message = "The battery you specified does not have a ";
    else if (s.specificBattery)
        message = "The AmpvaneWizard was unable to construct a battery using " + s.specificCellName + " cells with a ";
    else message = "The AmpvaneWizard was unable to find a battery with a ";
    message += "sufficiently high power-to-weight ratio to provide the desired level of performance for the "
               "specified length of time.";
    if (s.levelText == "Sedate") message += " It may be that the model is simply too heavy to fly sedately.";
    if (s.levelText == "Trainer")
        message += " It may be that the model is simply too heavy to fly slowly enough to be a trainer.";
    message += " Please try again with a different performance level or shorter desired flying time. Also ensure "
               "that you specified the weight of the model WITHOUT motor, battery, and speed control." + lineBreak;
    return message;
}

WizardOutputStyle ChooseWizardOutputStyle(std::string_view fileName, int filterIndex) {
    std::string upper(fileName);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto endsWith = [&](std::string_view suffix) {
        return upper.size() >= suffix.size() && upper.compare(upper.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    if (endsWith(".HTML") || endsWith(".HTM") || filterIndex == 2) return WizardOutputStyle::Html;
    if (endsWith(".CSV") || filterIndex == 3) return WizardOutputStyle::Csv;
    return WizardOutputStyle::Text;
}

namespace {

struct FieldLine {
    std::string label, value;
    bool gapAfter = false;
};

std::vector<FieldLine> AnswerLines(const WizardAnswers& a) {
    std::vector<FieldLine> lines;
    lines.push_back({"Desired Full-throttle Performance", std::string(LevelCaption(a.level))});
    lines.push_back({"Minimum Partial-throttle Flying Time", std::string(FlyingTimeCaption(a.flyingTime)), true});
    lines.push_back({"Number of Motors", std::to_string(std::clamp(a.motors, 1, 4))});
    lines.push_back({"Wing Span", a.wingSpan + " " + std::string(UnitCaption(a.spanUnit))});
    lines.push_back({"Wing Area", a.wingArea + " " + std::string(UnitCaption(a.areaUnit))});
    lines.push_back({"Empty Weight", a.emptyWeight + " " + std::string(UnitCaption(a.weightUnit))});
    lines.push_back({"Airfoil", std::string(ThicknessCaption(a.thickness)) + " " + std::string(AirfoilCaption(a.airfoil)),
                     true});
    // A blank elevation is searched as 0, and says so.
    const std::string elevation = TrimText(a.elevation).empty() ? "0" : a.elevation;
    lines.push_back({"Elevation", elevation + " " + std::string(UnitCaption(a.elevationUnit))});
    lines.push_back({"Sea-level Pressure", a.pressure + " " + std::string(UnitCaption(a.pressureUnit))});
    lines.push_back({"Air Temperature", a.temperature + std::string(UnitCaption(a.temperatureUnit)), true});
    lines.push_back({"Drive System Type", a.drive == WizardDriveChoice::SpecificGear
                                              ? "Geared " + a.specificGear + ":1"
                                              : std::string(DriveChoiceCaption(a.drive))});
    std::string size = "Any Size";
    if (a.size != WizardSizeChoice::AnySize) {
        const std::string unit(UnitCaption(a.propUnit));
        const bool d = !TrimText(a.diameter).empty(), p = !TrimText(a.pitch).empty();
        size = d && p ? a.diameter + " x " + a.pitch + " " + unit
               : d    ? a.diameter + " " + unit + " diameter"
                      : a.pitch + " " + unit + " pitch";
        if (a.size == WizardSizeChoice::MaximumSize) size = "Maximum " + size;
    }
    lines.push_back({"Propeller Size", size});
    if (a.motorChoice == WizardMotorChoice::SpecificMotor) {
        lines.push_back({"Motor Type", a.motorName});
    } else {
        lines.push_back({"Motor Type", std::string(MotorChoiceCaption(a.motorChoice))});
        lines.push_back({"Manufacturer", a.manufacturer});
    }
    if (a.battery == WizardBatteryChoice::SpecificBattery) {
        std::string battery = a.cellName;
        if (!TrimText(a.seriesCells).empty()) battery += ", " + a.seriesCells + " series";
        if (!TrimText(a.parallelCells).empty()) battery += ", " + a.parallelCells + " parallel";
        lines.push_back({"Battery Type", battery});
    } else {
        lines.push_back({"Battery Type", std::string(BatteryChoiceCaption(a.battery))});
        lines.push_back({"Maximum Number of Cells",
                         std::string(MaxCellsEntries()[static_cast<std::size_t>(std::clamp(a.maxCellsIndex, 0, 7))].text)});
    }
    return lines;
}

std::string CsvField(std::string_view text) { return CsvQuote(text, true, 0); }

} // namespace

std::string WriteWizardResults(WizardOutputStyle style, const WizardAnswers& answers, int motors,
                               const std::vector<WizardRow>& rows, std::string_view generatedAt,
                               const NumberLocale& locale) {
    std::string title = "AmpvaneWizard Results";
    if (!TrimText(answers.planeName).empty()) title += " - " + answers.planeName;
    const auto header = ResultsHeader(motors);
    std::string out;
    const std::string footer = "Generated by Ampvane " + std::string(kVersionText) + ", " + std::string(generatedAt) + ".";

    switch (style) {
    case WizardOutputStyle::Html: {
        out += "<html><head>\n<title>" + HtmlEscape(title) + "</title>\n";
        out += "<meta name=\"GENERATOR\" content=\"Ampvane 8.09\">\n</head><body>\n";
        out += "<h2>" + HtmlEscape(title) + "</h2>\n";
        for (const FieldLine& line : AnswerLines(answers)) {
            out += "<b>" + HtmlEscape(line.label) + ":</b> " + HtmlEscape(line.value) + "<br>\n";
            if (line.gapAfter) out += "<p>\n";
        }
        out += "<p>\n<table border=0 cellpadding=0 cellspacing=0><tr><td bgcolor=gray>\n";
        out += "<table border=0 cellpadding=2 cellspacing=1 width=100%>\n";
        auto htmlRow = [&](const std::array<std::string, kResultColumns>& cells, bool isHeader) {
            out += "<tr valign=top>";
            for (const std::string& cell : cells) {
                const std::string_view trimmed = TrimText(cell);
                const std::string text = trimmed.empty() ? "&nbsp;" : HtmlEscape(trimmed);
                out += isHeader ? "<th bgcolor=silver>" + text + "</th>" : "<td bgcolor=white>" + text + "</td>";
            }
            out += "</tr>\n";
        };
        htmlRow(header, true);
        for (const WizardRow& row : rows) htmlRow(row.cells, false);
        out += "</table>\n</td></tr></table>\n";
        out += "<p><font color=#666666 size=-1>Generated by <a href=\"" + std::string(kVendorSite) +
               "\"><font color=#6666CC>Ampvane " + kVersionText + "</font></a>, " + HtmlEscape(generatedAt) +
               ".</font>\n</body></html>\n";
        return out;
    }
    case WizardOutputStyle::Csv: {
        out += CsvQuote(title, true, 4) + "\r\n";
        for (const FieldLine& line : AnswerLines(answers)) {
            out += CsvField(line.label) + "," + CsvQuote(line.value, true, 3) + "\r\n";
            if (line.gapAfter) out += "\r\n";
        }
        auto csvRow = [&](const std::array<std::string, kResultColumns>& cells) {
            for (int c = 0; c < kResultColumns; ++c) {
                std::string cell(TrimText(cells[c]));
                if (c == 2 && cell.size() == 3 && cell.substr(1) == ":1")
                    cell = cell.substr(0, 1) + locale.decimal + "0:1";
                out += (c ? "," : "") + CsvField(cell);
            }
            out += "\r\n";
        };
        out += "\r\n";
        csvRow(header);
        for (const WizardRow& row : rows) csvRow(row.cells);
        out += "\r\n" + CsvField(footer) + "\r\n";
        return out;
    }
    case WizardOutputStyle::Text: break;
    }

    out += title + "\r\n";
    for (const FieldLine& line : AnswerLines(answers)) {
        out += line.label + ": " + line.value + "\r\n";
        if (line.gapAfter) out += "\r\n";
    }
    std::array<int, kResultColumns> widths = {44, 12, 5, 7, 6};
    auto grow = [&](const std::array<std::string, kResultColumns>& cells) {
        for (int c = 0; c < kResultColumns; ++c)
            widths[c] = std::max(widths[c], static_cast<int>(TrimText(cells[c]).size()));
    };
    grow(header);
    for (const WizardRow& row : rows) grow(row.cells);
    constexpr int kPageWidth = 80;
    auto total = [&] {
        int sum = kResultColumns - 1;
        for (int w : widths) sum += w;
        return sum;
    };
    for (int c = 0; total() > kPageWidth; c = (c + 1) % kResultColumns)
        if (widths[c] > 1) --widths[c];
    auto textRow = [&](const std::array<std::string, kResultColumns>& cells) {
        bool more = true;
        for (int line = 1; more; ++line) {
            more = false;
            std::string text;
            for (int c = 0; c < kResultColumns; ++c) {
                bool cellMore = false;
                if (c) text += ' ';
                text += WrappedLine(TrimText(cells[c]), widths[c], line, cellMore);
                more = more || cellMore;
            }
            while (!text.empty() && text.back() == ' ') text.pop_back();
            out += text + "\r\n";
        }
    };
    out += "\r\n";
    textRow(header);
    out += "\r\n";
    for (const WizardRow& row : rows) textRow(row.cells);
    out += "\r\n" + footer + "\r\n";
    return out;
}

} // namespace ampvane
