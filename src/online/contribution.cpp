// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/contribution.h"

#include <algorithm>
#include <cmath>

#include "common/text_escape.h"
#include "common/unit_conversion.h"
#include "data/table_catalogue.h"

namespace ampvane {

namespace {

constexpr std::string_view kContributionCaption = "Ampvane Data Contribution Status";
constexpr std::string_view kErrorAnswer = "ERROR: ";

struct Conversion {
    int firstTag, lastTag;
    enum Condition { MetricWeights, AllMetric } condition;
    double factor;
    int decimals;
    bool fixed;
};

// Typed metric values go to the server in its imperial units.
constexpr Conversion kConversions[] = {
    {104, 104, Conversion::MetricWeights, kOuncesPerGram, 1, false},
    {414, 414, Conversion::MetricWeights, kOuncesPerGram, 1, false},
    {506, 506, Conversion::MetricWeights, kOuncesPerGram, 1, false},
    {703, 703, Conversion::MetricWeights, kOuncesPerGram, 1, false},
    {204, 204, Conversion::MetricWeights, kOuncesPerGram, 2, false},
    {603, 603, Conversion::MetricWeights, kOuncesPerGram, 2, false},
    {307, 308, Conversion::MetricWeights, kMphPerMetrePerSecond, 0, true},
    {405, 410, Conversion::AllMetric, kInchesPerCentimetre, 1, false},
    {501, 503, Conversion::MetricWeights, kInchesPerCentimetre, 2, false},
    {701, 701, Conversion::MetricWeights, kInchesPerCentimetre, 2, false},
    {702, 702, Conversion::MetricWeights, kSquareInchesPerSquareDecimetre, 0, true},
};
constexpr int kMinimumThrustTag = 306;

std::string Converted(std::string text, int tag, const ContributionUnits& units) {
    double factor = 0;
    int decimals = 0;
    bool fixed = false;
    if (tag == kMinimumThrustTag && units.metricWeights) {
        factor = units.forceInNewtons ? kOuncesPerNewton : kOuncesPerGram;
        decimals = 1;
    }
    for (const Conversion& c : kConversions) {
        if (tag < c.firstTag || tag > c.lastTag) continue;
        const bool applies = c.condition == Conversion::AllMetric ? units.allMetric : units.metricWeights;
        if (applies) factor = c.factor, decimals = c.decimals, fixed = c.fixed;
    }
    if (factor != 0) {
        // The window validated every field before; a text that still is no number goes as typed.
        if (const std::optional<double> value = ParseLocaleReal(NormaliseDecimal(text, units.locale), units.locale))
            text = FormatNumber(0, fixed ? decimals : -decimals, 0, *value * factor, NumberLocale{});
    }
    const bool nameField = tag % 100 == 0;
    if (!nameField && tag != 206) {
        const std::size_t separator = text.find(units.locale.decimal);
        if (separator != std::string::npos) text[separator] = '.';
    }
    return text;
}

// The field after the n-th tab counted from the end (1: the last field), up to the next tab.
std::optional<std::string_view> FieldAfterTabFromEnd(std::string_view line, int n, std::size_t from) {
    std::size_t position = line.size();
    for (int i = 0; i < n; ++i) {
        if (position == 0) return std::nullopt;
        const std::size_t tab = line.rfind('\t', position - 1);
        if (tab == std::string_view::npos || tab < from) return std::nullopt;
        position = tab;
    }
    std::string_view rest = line.substr(position + 1);
    return rest.substr(0, rest.find('\t'));
}

std::string PadTo(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

bool IsComponentLine(std::string_view line) { return line.size() >= 3 && (line[0] == 'Y' || line[0] == 'N'); }

} // namespace

std::vector<ContributionKind> ContributionKinds(int drivePage) {
    using W = WorkbenchControl;
    const bool fan = drivePage == kDuctedFanPage;
    return {
        {1, "MotorCheckBox", "Motor", W::MotorNameEdit, 100},
        {2, "CellCheckBox", "Cell Type", W::CellNameEdit, 200},
        {3, "FilterCheckBox", "Filter", W::FilterNameEdit, 300},
        fan ? ContributionKind{5, "DriveSystemCheckBox", "Drive System (Fan)", W::DriveSystemNameEdit, 500}
            : ContributionKind{4, "DriveSystemCheckBox", "Drive System (Prop)", W::DriveSystemNameEdit, 400},
        {6, "ESCCheckBox", "Speed Control", W::ESCNameEdit, 600},
        {7, "AirframeCheckBox", "Airframe", W::AirframeNameEdit, 700},
    };
}

RequestPairs ContributionPairs(const WorkbenchFields& fields, int base, std::string_view name, std::string_view email,
                               const ContributionUnits& units) {
    RequestPairs pairs;
    pairs.emplace_back("base", std::to_string(base));
    pairs.emplace_back("name", std::string(TrimText(name)));
    if (!TrimText(email).empty()) pairs.emplace_back("email", std::string(TrimText(email)));
    for (const WorkbenchControlInfo& info : WorkbenchControls()) {
        int tag = info.fieldNumber;
        // The fan drive's name is the drive name field, sent under the fan's base.
        if (base == 500 && tag == 400) tag = 500;
        if (tag < base || tag > base + 99) continue;
        if (info.kind == ControlKind::CheckBox) {
            if (fields.Checked(info.id)) pairs.emplace_back("p" + std::to_string(tag), "Yes");
        } else if (info.kind == ControlKind::Edit || info.kind == ControlKind::ComboBox) {
            std::string text(TrimText(fields.Text(info.id)));
            if (!text.empty()) pairs.emplace_back("p" + std::to_string(tag), Converted(std::move(text), tag, units));
        }
    }
    return pairs;
}

long long ContributionChecksum(const RequestPairs& pairs) {
    long long sum = 0;
    for (const auto& [name, value] : pairs) {
        for (unsigned char c : name) sum += c;
        for (unsigned char c : value) sum += c;
    }
    return sum;
}

std::string ContributionTarget(const RequestPairs& pairs) {
    std::string target = "/data/submit.cgi";
    char separator = '?';
    auto add = [&](std::string_view name, std::string_view value) {
        target += separator;
        target += name;
        target += '=';
        target += UrlEncode(value);
        separator = '&';
    };
    for (const auto& [name, value] : pairs) add(name, value);
    add("crc", std::to_string(ContributionChecksum(pairs)));
    add("ver", kClientVersion);
    return target;
}

bool SendContribution(OnlineContext& context, const std::string& target, std::string_view kindName, int helpTopic,
                      int count, int index) {
    const std::optional<ServerAddress> configured = ServerToUse(context, helpTopic);
    if (!configured) return false;
    const ServerAddress& server = *configured;
    const std::string site = SiteUrl(server);
    auto box = [&](Message message) {
        message.buttons = OkButton | HelpButton;
        message.helpTopic = helpTopic;
        context.messages->Report(message);
    };
    if (index == 1) {
        context.view->SetProgress(0, count);
        context.view->ShowStatus(kContributionCaption);
    }
    if (!context.folder || !context.folder->Valid()) {
        box(ErrorMessage("Ampvane was unable to establish a connection with your computer's Internet communications "
                         "software. Therefore, Ampvane is not able to contribute your data at this time."));
        context.view->HideStatus();
        return false;
    }
    TransferStatusTexts status(*context.view, TransferPurpose::Contribution, server.Authority(), std::string(kindName));
    HttpRequest request;
    request.server = server;
    request.target = target;
    request.proxy = EffectiveProxy(context.settings);
    status.Starting();
    const HttpResult result = PerformHttp(request, context.limits, status);
    if (!result.success) {
        box(ErrorMessage(WithCause("Ampvane was unable to contribute your data to " + site +
                                       ". The site may be temporarily unavailable, your computer might not be "
                                       "connected to the Internet, or a firewall may be blocking Ampvane from "
                                       "accessing the Internet.",
                                   result)));
        context.view->HideStatus();
        return false;
    }
    if (result.body.starts_with(kErrorAnswer)) {
        status.Completed("Failed to send " + std::string(kindName) + " data.");
        box(ErrorMessage(result.body.substr(kErrorAnswer.size())));
        context.view->HideStatus();
        return false;
    }
    status.Completed("Sent " + std::string(kindName) + " data.");
    context.view->SetProgress(index, -1);
    if (index == count) {
        box(InformationMessage(result.body));
        context.view->HideStatus();
    }
    return true;
}

std::optional<ContributedEntry> ContributedListEntry(std::string_view line, int sequence) {
    if (!IsComponentLine(line)) return std::nullopt;
    const std::string_view rest = line.substr(2);
    const std::string_view name = rest.substr(0, rest.find('\t'));
    const std::optional<std::string_view> date = FieldAfterTabFromEnd(line, 3, 2);
    const std::optional<std::string_view> contributor = FieldAfterTabFromEnd(line, 2, 2);
    if (!date || !contributor) return std::nullopt;
    ContributedEntry entry;
    entry.name = std::string(name);
    entry.date = std::string(date->substr(0, 10));
    entry.contributor = std::string(contributor->substr(0, 23));
    entry.sequence = sequence;
    std::string number = std::to_string(sequence);
    entry.text = PadTo(PadTo(PadTo(entry.name, 41) + entry.date, 52) + entry.contributor, 75) +
                 std::string(number.size() < 9 ? 9 - number.size() : 0, ' ') + number;
    entry.ticked = line[0] == 'Y';
    return entry;
}

std::vector<ContributedEntry> ContributedEntries(std::span<const std::string> lines) {
    std::vector<ContributedEntry> entries;
    int componentLine = 0;
    for (const std::string& line : lines) {
        if (!IsComponentLine(line)) continue;
        if (std::optional<ContributedEntry> entry = ContributedListEntry(line, static_cast<int>(entries.size()))) {
            entry->componentLine = componentLine;
            entries.push_back(std::move(*entry));
        }
        ++componentLine;
    }
    return entries;
}

std::vector<std::string> SplitContributedLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::vector<std::string> ApplyTicks(std::span<const std::string> lines, std::span<const ContributedEntry> entries) {
    std::vector<std::string> result(lines.begin(), lines.end());
    std::vector<int> tickOf; // per component line: -1 untouched, else 0/1
    for (const ContributedEntry& entry : entries) {
        if (entry.componentLine >= static_cast<int>(tickOf.size())) tickOf.resize(entry.componentLine + 1, -1);
        tickOf[entry.componentLine] = entry.ticked ? 1 : 0;
    }
    int componentLine = 0;
    for (std::string& line : result) {
        if (!IsComponentLine(line)) continue;
        if (componentLine < static_cast<int>(tickOf.size()) && tickOf[componentLine] >= 0)
            line[0] = tickOf[componentLine] ? 'Y' : 'N';
        ++componentLine;
    }
    return result;
}

void SortContributedEntries(std::vector<ContributedEntry>& entries, ContributedSort sort) {
    std::stable_sort(entries.begin(), entries.end(), [sort](const ContributedEntry& a, const ContributedEntry& b) {
        switch (sort) {
        case ContributedSort::Description: return a.name < b.name;
        case ContributedSort::Contributor: return a.contributor < b.contributor;
        case ContributedSort::Date: break;
        }
        return a.sequence < b.sequence;
    });
}

std::string ContributedImportSection(std::string_view kindName, std::span<const std::string> lines) {
    std::string text = "Begin Ampvane8 " + std::string(kindName) + " Table\r\n";
    bool header = false;
    for (const std::string& line : lines) {
        // One column line; of the components, only the ticked ones the list shows: a line the list
        // skips was never seen by the user, so the user never chose it.
        const bool column = !header && line.size() >= 3 && line[0] == 'F';
        if (!column && (line.empty() || line[0] != 'Y' || !ContributedListEntry(line, 0))) continue;
        header = header || column;
        const std::string_view rest = std::string_view(line).substr(2);
        // A component named like a frame line would end this section early and let the rest of the
        // list act as blocks of its own (another table, a file in the data folder).
        if (rest.starts_with("Begin Ampvane8 ") || rest.starts_with("End Ampvane8 ") ||
            rest.starts_with("Ampvane8 Note "))
            continue;
        text += std::string(rest) + "\r\n";
    }
    text += "End Ampvane8 " + std::string(kindName) + " Table\r\n";
    return text;
}

} // namespace ampvane
