// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/value_lists.h"

#include <algorithm>

#include "common/file_write.h"
#include "common/text_lines.h"

namespace ampvane {

namespace {

namespace fs = std::filesystem;

constexpr char kSeparator = '|';
// Lists written anew get the line end of the files this format comes from.
constexpr std::string_view kDefaultLineEnd = "\r\n";

// Lists use "." in the file; the shared lenient read expects the user's separator.
double ReadListValue(std::string_view text, const NumberLocale& locale, MessageSink& messages) {
    std::string localised(text);
    if (const std::size_t dot = localised.find('.'); dot != std::string::npos) localised[dot] = locale.decimal;
    return LenientReal(localised, locale, messages);
}

std::string_view KeyOf(std::string_view line) { return line.substr(0, line.find(kSeparator)); }

bool IsLeftAlone(std::string_view line) { return line.empty() || line.front() == '#'; }

std::string JoinLines(std::span<const std::string> lines, std::string_view lineEnd) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += lineEnd;
    }
    return text;
}

std::vector<std::string> OwnedLines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::string_view line : SplitLines(text)) lines.emplace_back(line);
    return lines;
}

bool ReadExistingFile(const fs::path& path, std::string& contents) {
    std::error_code error;
    return fs::is_regular_file(path, error) && ReadWholeFile(path.string(), contents);
}

bool HoldsLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// A name from a received file must not reach outside the data folder.
bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(FoldCase(x)) < static_cast<unsigned char>(FoldCase(y));
    });
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

} // namespace

std::optional<ValueListEntry> ParseValueListLine(std::string_view line, const NumberLocale& locale,
                                                 MessageSink& messages) {
    const std::size_t bar = line.find(kSeparator);
    if (bar == std::string_view::npos) return std::nullopt;
    ValueListEntry entry;
    entry.label = std::string(line.substr(0, bar));
    const std::string_view rest = line.substr(bar + 1);
    // A "|" ending the rest separates nothing: it stays part of the first value.
    const std::size_t second = rest.find(kSeparator);
    if (second != std::string_view::npos && second + 1 < rest.size()) {
        entry.firstText = std::string(rest.substr(0, second));
        entry.secondText = std::string(rest.substr(second + 1));
    } else {
        entry.firstText = std::string(rest);
        entry.secondText = "0";
    }
    entry.first = ReadListValue(entry.firstText, locale, messages);
    entry.second = ReadListValue(entry.secondText, locale, messages);
    return entry;
}

bool ReadValueList(const fs::path& dataFolder, std::string_view fileName,
                   const std::function<void(const ValueListEntry&)>& consumer, const NumberLocale& locale,
                   MessageSink& messages) {
    std::string contents;
    if (!ReadExistingFile(dataFolder / fileName, contents)) return false;
    for (std::string_view line : SplitLines(contents))
        if (std::optional<ValueListEntry> entry = ParseValueListLine(line, locale, messages)) consumer(*entry);
    return true;
}

std::vector<ValueListEntry> ValueListEntries(const fs::path& dataFolder, std::string_view fileName,
                                             const NumberLocale& locale, MessageSink& messages) {
    std::vector<ValueListEntry> entries;
    ReadValueList(
        dataFolder, fileName, [&](const ValueListEntry& entry) { entries.push_back(entry); }, locale, messages);
    return entries;
}

fs::path ValueListBackupPath(const fs::path& listFile) {
    fs::path backup = listFile;
    backup.replace_extension(".bak");
    return backup;
}

ListUpdate AddOrReplaceListEntry(const fs::path& dataFolder, std::string_view fileName, std::string_view entryLine,
                                 MessageSink& messages) {
    const fs::path list = dataFolder / fileName;
    if (HoldsLineBreak(entryLine)) {
        messages.Report(ErrorMessage("The entry cannot be added to the list \"" + list.string() +
                                     "\" because it holds a line break."));
        return ListUpdate::Failed;
    }
    std::string previous;
    if (!ReadExistingFile(list, previous)) return ListUpdate::ListMissing;

    const fs::path backup = ValueListBackupPath(list);
    if (std::string error = WriteFileAtomically(backup.string(), previous); !error.empty()) {
        messages.Report(ErrorMessage("The list \"" + list.string() +
                                     "\" was not changed because its backup could not be written. " + error + "."));
        return ListUpdate::Failed;
    }

    const std::string_view key = KeyOf(entryLine);
    std::vector<std::string> lines;
    bool placed = false;
    for (std::string_view line : SplitLines(previous)) {
        if (!placed && !IsLeftAlone(line)) {
            const std::string_view lineKey = KeyOf(line);
            if (lineKey == key) {
                lines.emplace_back(entryLine);
                placed = true;
                continue;
            }
            if (lineKey > key) {
                lines.emplace_back(entryLine);
                placed = true;
            }
        }
        lines.emplace_back(line);
    }
    if (!placed) lines.emplace_back(entryLine);

    const std::string text = JoinLines(lines, LineEndOf(previous, kDefaultLineEnd));
    if (std::string error = WriteFileAtomically(list.string(), text); !error.empty()) {
        messages.Report(ErrorMessage("The list \"" + list.string() + "\" could not be updated. " + error + "."));
        return ListUpdate::Failed;
    }
    return ListUpdate::Written;
}

std::vector<std::string> SortedWithoutCaseDuplicates(std::vector<std::string> lines) {
    // A stable sort keeps equal lines in file order, so the first of them is the one kept.
    std::stable_sort(lines.begin(), lines.end(), LessIgnoringCase);
    lines.erase(std::unique(lines.begin(), lines.end(), EqualIgnoringCase), lines.end());
    return lines;
}

std::string ApplyFileBlock(const fs::path& dataFolder, std::string_view fileName, FileBlockMode mode,
                           std::span<const std::string> lines) {
    if (!IsPlainFileName(fileName))
        return "\"" + std::string(fileName) + "\" is not the name of a file in the data folder";
    const fs::path file = dataFolder / fileName;

    std::string previous;
    if (mode != FileBlockMode::Replace) {
        std::error_code error;
        if (fs::exists(file, error) && !ReadExistingFile(file, previous))
            return "Cannot read \"" + file.string() + "\"";
    }
    const std::string_view lineEnd = LineEndOf(previous, kDefaultLineEnd);

    std::string text;
    if (mode == FileBlockMode::AppendAndSort) {
        std::vector<std::string> all = OwnedLines(previous);
        all.insert(all.end(), lines.begin(), lines.end());
        text = JoinLines(SortedWithoutCaseDuplicates(std::move(all)), lineEnd);
    } else {
        text = previous;
        // A last line without its line end would otherwise run into the first appended line.
        if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += lineEnd;
        text += JoinLines(lines, lineEnd);
    }
    return WriteFileAtomically(file.string(), text);
}

} // namespace ampvane
