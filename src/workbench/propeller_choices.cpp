// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/propeller_choices.h"

#include <system_error>

#include "analysis/propeller_files.h"
#include "analysis/propeller_store.h"
#include "common/file_write.h"
#include "common/numeric_text.h"
#include "common/text_lines.h"

namespace ampvane {

namespace {

namespace fs = std::filesystem;

bool IsComment(std::string_view line) { return TrimText(line).empty() || line.front() == '#'; }

std::optional<PropellerChoice> EntryOf(std::string_view line) {
    const auto bar = line.find('|');
    if (bar == std::string_view::npos) return std::nullopt;
    PropellerChoice entry{std::string(TrimText(line.substr(0, bar))), std::string(TrimText(line.substr(bar + 1)))};
    if (!PropellerChoiceOwnerProblem(entry.owner).empty()) return std::nullopt;
    if (!entry.propeller.empty() && !PropellerNameProblem(entry.propeller).empty()) return std::nullopt;
    return entry;
}

std::string BadLinesWarning(const fs::path& path, const std::vector<int>& lines) {
    constexpr std::size_t kShown = 10;
    std::string numbers;
    for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) {
        if (i > 0) numbers += (i + 1 == lines.size() ? " and " : ", ");
        numbers += std::to_string(lines[i]);
    }
    if (lines.size() > kShown) numbers += " and " + std::to_string(lines.size() - kShown) + " more";
    const bool one = lines.size() == 1;
    return std::string(one ? "Line " : "Lines ") + numbers + " of \"" + path.string() + "\" " + (one ? "is" : "are") +
           " not a name, \"|\" and a measured propeller's name; " + (one ? "it is" : "they are") + " skipped.";
}

} // namespace

std::string PropellerChoiceOwnerProblem(std::string_view owner) {
    if (TrimText(owner).empty()) return "A name is needed.";
    for (const char c : owner)
        if (c == '|' || static_cast<unsigned char>(c) < 32 || c == 127)
            return "The name \"" + std::string(owner) + "\" holds \"|\" or a control character.";
    return {};
}

PropellerChoices ParsePropellerChoices(std::string_view text) {
    PropellerChoices choices;
    int number = 0;
    for (const std::string_view line : SplitLines(text)) {
        ++number;
        if (IsComment(line)) continue;
        if (auto entry = EntryOf(line))
            choices.entries.push_back(std::move(*entry));
        else
            choices.badLines.push_back(number);
    }
    return choices;
}

std::string WithPropellerChoice(std::string_view text, std::string_view owner,
                                const std::optional<std::string>& propeller) {
    const std::string key(TrimText(owner));
    if (!PropellerChoiceOwnerProblem(key).empty()) return std::string(text);
    const std::string_view end = LineEndOf(text, "\n");
    const std::string replacement = propeller ? key + "|" + *propeller : std::string();
    std::string out;
    bool placed = !propeller;
    for (const std::string_view line : SplitLines(text)) {
        const auto entry = IsComment(line) ? std::nullopt : EntryOf(line);
        if (entry && entry->owner == key) {
            if (!placed) out.append(replacement).append(end);
            placed = true;
            continue;
        }
        out.append(line).append(end);
    }
    if (!placed) out.append(replacement).append(end);
    return out;
}

fs::path PropellerChoiceListPath(const fs::path& dataFolder, std::string_view list) {
    return dataFolder / std::string(kPropellersFolder) / std::string(list);
}

std::optional<std::string> ListedPropeller(const fs::path& dataFolder, std::string_view list, std::string_view owner,
                                           MessageSink& messages) {
    const fs::path path = PropellerChoiceListPath(dataFolder, list);
    std::error_code missing;
    if (!fs::exists(path, missing)) return std::nullopt;
    std::string text;
    if (const std::string error = ReadFileContents(path.string(), text); !error.empty()) {
        messages.Report(WarningMessage("\"" + path.string() + "\" cannot be read (" + error +
                                       "), so the measured propeller of \"" + std::string(owner) + "\" is not known."));
        return std::nullopt;
    }
    const PropellerChoices choices = ParsePropellerChoices(text);
    if (!choices.badLines.empty()) messages.Report(WarningMessage(BadLinesWarning(path, choices.badLines)));
    const std::string_view key = TrimText(owner);
    for (const PropellerChoice& entry : choices.entries)
        if (entry.owner == key) return entry.propeller;
    return std::nullopt;
}

bool RecordPropellerChoice(const fs::path& dataFolder, std::string_view list, std::string_view owner,
                           const std::optional<std::string>& propeller, std::string_view what, MessageSink& messages) {
    const fs::path path = PropellerChoiceListPath(dataFolder, list);
    const auto failed = [&](const std::string& reason) {
        messages.Report(ErrorMessage("The measured propeller of " + std::string(what) + " could not be recorded in \"" +
                                     path.string() + "\": " + reason));
        return false;
    };
    if (const std::string problem = PropellerChoiceOwnerProblem(owner); !problem.empty())
        return propeller ? failed(problem) : true;
    std::error_code error;
    const bool exists = fs::exists(path, error);
    if (!exists && !propeller) return true;
    std::string text;
    if (exists) {
        if (const std::string reason = ReadFileContents(path.string(), text); !reason.empty()) return failed(reason);
    }
    const std::string updated = WithPropellerChoice(text, owner, propeller);
    if (exists && updated == text) return true;
    fs::create_directories(path.parent_path(), error);
    if (error) return failed(error.message());
    if (const std::string reason = WriteFileAtomically(path.string(), updated); !reason.empty()) return failed(reason);
    return true;
}

bool ForgetPropellerChoice(const fs::path& dataFolder, ComponentTableKind kind, std::string_view name,
                           MessageSink& messages) {
    const std::string owner(TrimText(name));
    if (kind == ComponentTableKind::PropellerDrive)
        return RecordPropellerChoice(dataFolder, kDrivePropellerList, owner, std::nullopt,
                                     "the drive \"" + owner + "\"", messages);
    if (kind == ComponentTableKind::Project)
        return RecordPropellerChoice(dataFolder, kProjectPropellerList, owner, std::nullopt,
                                     "the project \"" + owner + "\"", messages);
    return true;
}

} // namespace ampvane
