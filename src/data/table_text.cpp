// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/table_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <set>

#include "common/file_write.h"
#include "common/text_lines.h"
#include "data/name_lookup.h"
#include "data/table_browse.h"
#include "data/value_lists.h"
#include "data/windows1252.h"

namespace ampvane {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kVersion = "8.09";
constexpr std::string_view kVendorSite = "https://ampvane.example/";
constexpr std::string_view kNotice =
    "The compiled component data is protected; it may be used only for personal, non-commercial purposes.";
constexpr std::string_view kNotesList = "Notes.lst";
constexpr std::size_t kMaxNoteLength = 255;
constexpr std::size_t kMaxCollectedNotes = 32000;
constexpr std::size_t kMaxImportColumns = 100;

constexpr std::string_view kBeginTable = "Begin Ampvane8 ";
constexpr std::string_view kTableSuffix = " Table";
constexpr std::string_view kBeginFile = "Begin Ampvane8 File ";
constexpr std::string_view kEndFile = "End Ampvane8 File ";
constexpr std::string_view kNote = "Ampvane8 Note ";

std::string BeginLine(std::string_view typeName) {
    return std::string(kBeginTable) + std::string(typeName) + std::string(kTableSuffix);
}
std::string EndLine(std::string_view typeName) {
    return "End Ampvane8 " + std::string(typeName) + std::string(kTableSuffix);
}

Message ErrorWithHelp(std::string text, int helpTopic) {
    Message message = ErrorMessage(std::move(text));
    message.buttons = OkButton | HelpButton;
    message.helpTopic = helpTopic;
    return message;
}

// --- Export ---

// A value must stay on its line and in its column whatever a record holds.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

std::string WithDecimal(std::string text, char decimal) {
    if (decimal != '.')
        if (const auto dot = text.find('.'); dot != std::string::npos) text[dot] = decimal;
    return text;
}

// A column's value as the tab block carries it.
std::string BlockValue(const DbfTable& table, int column, char decimal) {
    std::string text = table.Text(column);
    if (table.columns()[static_cast<size_t>(column)].type == DbfType::Numeric) return WithDecimal(std::move(text), decimal);
    return OneLine(std::move(text));
}

std::string ColumnLabel(ComponentTableKind kind, const DbfColumn& column) {
    const TableColumnInfo* info = FindColumnInfo(kind, column.name);
    return info && !info->label.empty() ? std::string(info->label) : column.name;
}

std::string HtmlValue(const DbfTable& table, ComponentTableKind kind, int column, char decimal) {
    const DbfColumn& c = table.columns()[static_cast<size_t>(column)];
    const TableColumnInfo* info = FindColumnInfo(kind, c.name);
    if (c.type != DbfType::Numeric || !info || info->displayFormat.empty()) return table.Text(column);
    const std::string text = table.Text(column);
    double value = table.Number(column);
    if (value == 0 && !info->defaultText.empty()) {
        double fallback = 0;
        std::from_chars(info->defaultText.data(), info->defaultText.data() + info->defaultText.size(), fallback);
        value = fallback;
    } else if (text.empty()) {
        return {};
    }
    return FormatDisplayNumber(info->displayFormat, value, decimal);
}

enum class Align { Left, Centre, Right };
Align AlignmentOf(const DbfColumn& column) {
    if (column.type == DbfType::Numeric) return Align::Right;
    if (column.type == DbfType::Logical) return Align::Centre;
    return Align::Left;
}

std::vector<int> VisibleColumns(const DbfTable& table, ComponentTableKind kind) {
    std::vector<int> visible;
    for (int c = 0; c < static_cast<int>(table.columns().size()); ++c) {
        const TableColumnInfo* info = FindColumnInfo(kind, table.columns()[static_cast<size_t>(c)].name);
        if (!info || !info->hidden) visible.push_back(c);
    }
    return visible;
}

void AppendLine(std::string& out, std::string_view line) {
    out += line;
    out += kCrLf;
}

void AppendBlock(std::string& out, DbfTable& table, ComponentTableKind kind, bool csv, char decimal) {
    const std::string typeName = TypeNameOf(static_cast<int>(kind));
    const int columns = static_cast<int>(table.columns().size());
    const char separator = csv ? ',' : '\t';
    auto single = [&](std::string_view text) {
        AppendLine(out, csv ? CsvQuote(text, true, columns - 1) : std::string(text));
    };
    auto cell = [&](std::string_view text) {
        if (csv)
            out += CsvQuote(text, true, 0);
        else
            out += text;
    };
    single(BeginLine(typeName));
    for (int c = 0; c < columns; ++c) {
        if (c) out += separator;
        const DbfColumn& column = table.columns()[static_cast<size_t>(c)];
        cell(csv ? ColumnLabel(kind, column) : column.name);
    }
    out += kCrLf;
    for (table.First(); !table.Eof(); table.Next()) {
        for (int c = 0; c < columns; ++c) {
            if (c) out += separator;
            cell(BlockValue(table, c, decimal));
        }
        out += kCrLf;
    }
    single(EndLine(typeName));
}

void AppendTrailer(std::string& out, bool csv, int columns, const TableExportSettings& settings) {
    auto line = [&](std::string_view text) { AppendLine(out, csv ? CsvQuote(text, true, columns - 1) : std::string(text)); };
    line("");
    line("Generated by Ampvane " + std::string(kVersion) + ", " + settings.generatedAt + ".");
    line("");
    line(kNotice);
}

void AppendHtmlTable(std::string& out, DbfTable& table, ComponentTableKind kind, const TableExportSettings& settings) {
    const std::string typeName = TypeNameOf(static_cast<int>(kind));
    const char decimal = settings.locale.decimal;
    const std::string site(kVendorSite);
    AppendLine(out, "<html><head>");
    AppendLine(out, "<title>Ampvane " + HtmlEscape(typeName) + " Table</title>");
    // The values are UTF-8; without this a browser may guess another code page.
    AppendLine(out, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
    AppendLine(out, "<meta name=\"GENERATOR\" content=\"Ampvane " + std::string(kVersion) + "\">");
    AppendLine(out, "</head><body>");
    AppendLine(out, "<h1><a href=\"" + site + "\">Ampvane</a> " + HtmlEscape(typeName) + " Table</h1>");
    AppendLine(out, "<p>");
    AppendLine(out, "<table border=0 cellpadding=1 cellspacing=0><tr><td bgcolor=gray>");
    AppendLine(out, "<table border=0 cellpadding=2 cellspacing=0 width=100% bgcolor=white>");
    AppendLine(out, "<tr bgcolor=" + ColorToHtml(settings.buttonFace) + " align=right>");
    const std::vector<int> visible = VisibleColumns(table, kind);
    for (int c : visible) {
        const DbfColumn& column = table.columns()[static_cast<size_t>(c)];
        static constexpr std::string_view kHeads[] = {"<th align=left nowrap>", "<th align=center nowrap>",
                                                      "<th align=right nowrap>"};
        std::string line(kHeads[static_cast<int>(AlignmentOf(column))]);
        if (c == visible.front()) line += "&nbsp;";
        line += HtmlEscape(ColumnLabel(kind, column)) + "&nbsp;<br></th>";
        AppendLine(out, line);
    }
    AppendLine(out, "</tr>");
    int row = 0;
    for (table.First(); !table.Eof(); table.Next()) {
        ++row;
        AppendLine(out, row % 2 == 0 ? "<tr align=right valign=top bgcolor=#EEFFEE>" : "<tr align=right valign=top>");
        for (int c : visible) {
            static constexpr std::string_view kCells[] = {"<td align=left nowrap>", "<td align=center>", "<td>"};
            std::string line(kCells[static_cast<int>(AlignmentOf(table.columns()[static_cast<size_t>(c)]))]);
            if (c == visible.front()) line += "&nbsp;";
            line += HtmlEscape(OneLine(HtmlValue(table, kind, c, decimal))) + "&nbsp;<br></td>";
            AppendLine(out, line);
        }
        AppendLine(out, "</tr>");
    }
    AppendLine(out, "</table>");
    AppendLine(out, "</td></tr></table>");
    AppendLine(out, "<!-- The following is suitable for importing by Ampvane " + std::string(kVersion));
    AppendLine(out, "     Do not edit, remove tabs, or replace tabs with spaces!");
}

void AppendHtmlTrailer(std::string& out, const TableExportSettings& settings) {
    AppendLine(out, "<p><font color=#666666 size=-1>Generated by <a href=\"" + std::string(kVendorSite) +
                        "\"><font color=#6666CC>Ampvane " + std::string(kVersion) + "</font></a>, " +
                        HtmlEscape(settings.generatedAt) + ".</font>");
    AppendLine(out, "<p><font color=#666666 size=-1>" + std::string(kNotice) + "</font>");
    AppendLine(out, "</body></html>");
}

// Walks the table and puts it back on the record it stood on, whatever happens in between.
class KeepPosition {
public:
    explicit KeepPosition(DbfTable& table) : table_(table), record_(table.RecordNumber()) {}
    ~KeepPosition() {
        if (!record_ || !table_.GoToRecord(*record_)) table_.First();
    }
    KeepPosition(const KeepPosition&) = delete;
    KeepPosition& operator=(const KeepPosition&) = delete;

private:
    DbfTable& table_;
    std::optional<std::uint32_t> record_;
};

// --- Import ---

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) extra = 1;
        else if (c >= 0xE0 && c <= 0xEF) extra = 2;
        else if (c >= 0xF0 && c <= 0xF4) extra = 3;
        else return false;
        if (i + extra >= text.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

// Files from the previous generation of the program are Windows-1252; a line that is not UTF-8 is
// taken as such rather than losing its accented letters.
std::string AsUtf8(std::string_view line) {
    return IsValidUtf8(line) ? std::string(line) : Utf8FromWindows1252(line);
}

// The first `limit` characters of a UTF-8 text.
std::string_view FirstCharacters(std::string_view text, std::size_t limit) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (count == limit) return text.substr(0, i);
            ++count;
        }
    }
    return text;
}

std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string_view> SplitTabs(std::string_view line, std::size_t limit) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < limit) {
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos) break;
        parts.push_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    parts.push_back(line.substr(0, line.find('\t')));
    return parts;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return fold(x) == fold(y);
    });
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

// Names a received file may give for a file block: plain names in the data folder, never the tables.
bool IsAcceptableBlockFile(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (name.find_first_of("/\\") != std::string_view::npos) return false;
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 32; })) return false;
    return !EndsWithIgnoringCase(name, ".DBF") && !EndsWithIgnoringCase(name, ".NTX");
}

} // namespace

bool IsExchangeListFile(std::string_view name) {
    // The value lists, the tips and the notes: every file the program reads as a list.
    static constexpr std::string_view kLists[] = {kPropConstList,   kThrustConstList, kGearboxEffList,
                                                  kManufacturerList, kWizardCellsList, kAirfoilList,
                                                  kNotesList,        "Tips.lst"};
    return std::find(std::begin(kLists), std::end(kLists), name) != std::end(kLists);
}

namespace {

class Importer {
public:
    Importer(TCompDataModule& data, std::string_view fileName, const TableImportOptions& options, MessageSink& messages)
        : data_(data), fileName_(fileName), options_(options), messages_(messages) {
        typeWord_ = options.table ? TypeNameOf(static_cast<int>(*options.table)) : std::string("component");
    }

    TableImportResult Run(std::string_view contents) {
        std::size_t lineNumber = 0;
        std::size_t pos = 0;
        bool stopped = false;
        while (pos < contents.size() && !stopped) {
            ++lineNumber;
            std::size_t end = pos;
            while (end < contents.size() && contents[end] != '\n' && contents[end] != '\r') ++end;
            const std::string_view raw = contents.substr(pos, end - pos);
            if (end < contents.size() && contents[end] == '\r' && end + 1 < contents.size() &&
                contents[end + 1] != '\n') {
                // The line itself is complete; what follows the lone CR is not read.
                stopped = !Line(AsUtf8(raw), lineNumber);
                if (!stopped) {
                    Error("The import file \"" + std::string(fileName_) + "\" has a carriage return without a line feed at the end of line " +
                          std::to_string(lineNumber) + ". The import stopped there; the lines before it were imported.");
                    stopped = true;
                }
                break;
            }
            stopped = !Line(AsUtf8(raw), lineNumber);
            pos = end;
            if (pos < contents.size() && contents[pos] == '\r') ++pos;
            if (pos < contents.size() && contents[pos] == '\n') ++pos;
        }
        if (stopped) {
            // An unfinished file block is dropped: half a list must not replace the whole one.
            EndTableBlock();
            ShowNotes();
            return std::move(result_);
        }
        if (state_ == State::Pending)
            result_.skipped.push_back("The " + blockType_ +
                                      " table section ends without its End line (the transfer was cut off), so "
                                      "none of it was imported.");
        EndTableBlock();
        if (fileBlock_ && Exchange()) {
            result_.skipped.push_back("The lines for the file \"" + fileBlock_->name +
                                      "\" end without their End line (the transfer was cut off), so the file was "
                                      "left as it was.");
            fileBlock_.reset();
        }
        if (fileBlock_) {
            fileBlock_->mode = fileBlock_->mode == FileBlockMode::AppendAndSort ? FileBlockMode::Append : fileBlock_->mode;
            if (!WriteFileBlock()) {
                ShowNotes();
                return std::move(result_);
            }
        }
        Summary();
        ShowNotes();
        return std::move(result_);
    }

private:
    // Pending: an exchange answer's table block, held until its End line shows it complete.
    enum class State { Outside, Columns, Rows, SkipTable, File, SkipFile, Pending };

    bool Exchange() const { return options_.source != ImportSource::Hand; }

    struct FileBlock {
        std::string name;
        FileBlockMode mode = FileBlockMode::Replace;
        std::vector<std::string> lines;
    };

    void Error(std::string text) {
        messages_.Report(ErrorWithHelp(std::move(text), options_.helpTopic));
        result_.errorReported = true;
    }

    // Returns false when the import must stop.
    bool Line(const std::string& line, std::size_t lineNumber) {
        switch (state_) {
        case State::Outside: return Outside(line);
        case State::Columns: return Columns(line);
        case State::Rows: return Row(line, lineNumber);
        case State::SkipTable:
            if (line == EndLine(blockType_)) state_ = State::Outside;
            return true;
        case State::File:
            if (line.starts_with(kEndFile)) {
                state_ = State::Outside;
                return WriteFileBlock();
            }
            fileBlock_->lines.push_back(line);
            return true;
        case State::SkipFile:
            if (line.starts_with(kEndFile)) state_ = State::Outside;
            return true;
        case State::Pending:
            if (line != EndLine(blockType_)) {
                pending_.emplace_back(line, lineNumber);
                return true;
            }
            return ReplayPending(line, lineNumber);
        }
        return true;
    }

    // The block is complete: merge it as a hand import would have, line by line.
    bool ReplayPending(const std::string& endLine, std::size_t lineNumber) {
        std::vector<std::pair<std::string, std::size_t>> lines = std::move(pending_);
        pending_.clear();
        OpenTableBlock(*pendingKind_, blockType_);
        for (const auto& [line, number] : lines)
            if (!Line(line, number)) return false;
        return Line(endLine, lineNumber);
    }

    bool Outside(const std::string& line) {
        if (std::optional<std::string> typeName = BlockTypeName(line)) {
            if (auto kind = KindForTypeName(*typeName)) {
                BeginTableBlock(*kind, *typeName);
                return true;
            }
        }
        if (line.starts_with(kBeginFile)) return BeginFileBlock(line.substr(kBeginFile.size()));
        if (line.starts_with(kNote)) Note(line.substr(kNote.size()));
        return true;
    }

    std::optional<std::string> BlockTypeName(const std::string& line) const {
        if (options_.table) {
            const std::string typeName = TypeNameOf(static_cast<int>(*options_.table));
            if (line == BeginLine(typeName)) return typeName;
            return std::nullopt;
        }
        if (!line.starts_with(kBeginTable)) return std::nullopt;
        const auto suffix = line.find(kTableSuffix, kBeginTable.size());
        if (suffix == std::string::npos || suffix + kTableSuffix.size() != line.size()) return std::nullopt;
        return line.substr(kBeginTable.size(), suffix - kBeginTable.size());
    }

    void BeginTableBlock(ComponentTableKind kind, const std::string& typeName) {
        if (Exchange()) {
            blockType_ = typeName;
            pendingKind_ = kind;
            pending_.clear();
            state_ = State::Pending;
            return;
        }
        OpenTableBlock(kind, typeName);
    }

    void OpenTableBlock(ComponentTableKind kind, const std::string& typeName) {
        blockType_ = typeName;
        result_.blocks.push_back({typeName, 0, 0});
        table_ = data_.Table(kind);
        if (!table_) {
            Error("The " + typeName + " table is not open, so the " + typeName + " records of the import file \"" +
                  std::string(fileName_) + "\" were not imported.");
            state_ = State::SkipTable;
            return;
        }
        kind_ = kind;
        keep_.emplace(*table_);
        state_ = State::Columns;
    }

    void EndTableBlock() {
        if (table_ && table_->state() != DbfTable::State::Browse) table_->Cancel();
        keep_.reset();
        table_ = nullptr;
        pending_.clear();
        if (state_ == State::Columns || state_ == State::Rows || state_ == State::SkipTable || state_ == State::Pending)
            state_ = State::Outside;
    }

    bool Columns(const std::string& line) {
        if (line.find('\t') == std::string::npos) {
            Error("The columns in the import file are not tab delimited, and thus cannot be imported. If you received "
                  "the file by e-mail, please be sure to detach it as an attachment, rather than saving the mail "
                  "message or using copy-and-paste to create a text file.");
            return false;
        }
        mapped_.clear();
        for (std::string_view name : SplitTabs(line, kMaxImportColumns)) {
            int index = -1;
            for (int c = 0; c < static_cast<int>(table_->columns().size()); ++c)
                if (table_->columns()[static_cast<size_t>(c)].name == name) index = c;
            mapped_.push_back(index);
        }
        if (mapped_.front() != 0) {
            Error("The import file does not have the \"" + ColumnLabel(*kind_, table_->columns().front()) +
                  "\" field in the first column. Cannot import.");
            return false;
        }
        state_ = State::Rows;
        return true;
    }

    bool Row(const std::string& line, std::size_t lineNumber) {
        if (line == EndLine(blockType_)) {
            EndTableBlock();
            return true;
        }
        const std::vector<std::string_view> values = SplitTabs(line, mapped_.size());
        const std::string name = TrimBlanks(values.front());
        if (name.empty()) return true; // an empty line inside a block: nothing to merge
        const bool existing = FindComponentByName(*table_, name);
        std::string error = existing ? table_->Edit() : table_->Insert();
        if (error.empty() && !existing) error = table_->SetText(0, name);
        int changed = 0;
        for (std::size_t i = 1; error.empty() && i < values.size(); ++i) {
            const int column = mapped_[i];
            if (column <= 0) continue;
            std::string value(values[i]);
            const DbfType type = table_->columns()[static_cast<size_t>(column)].type;
            // A logical column has no other way to say "no" than an empty value.
            if (options_.source == ImportSource::ExchangeContributed && type != DbfType::Logical &&
                TrimBlanks(value).empty())
                continue;
            if (type == DbfType::Numeric) {
                const char other = options_.locale.decimal == '.' ? ',' : '.';
                if (const auto at = value.find(other); at != std::string::npos) value[at] = options_.locale.decimal;
            }
            const std::string before = existing ? table_->Text(column) : std::string();
            error = table_->SetText(column, value, options_.locale.decimal);
            if (error.empty() && existing && table_->Text(column) != before) ++changed;
        }
        if (error.empty() && existing && changed == 0) {
            table_->Cancel();
            return true;
        }
        if (error.empty()) error = table_->Post();
        if (!error.empty()) {
            table_->Cancel();
            Error(error + ". The import of \"" + std::string(fileName_) + "\" stopped at line " +
                  std::to_string(lineNumber) + "; the records before it were imported.");
            return false;
        }
        ++(existing ? result_.blocks.back().revised : result_.blocks.back().added);
        return true;
    }

    bool BeginFileBlock(std::string_view rest) {
        std::string name = TrimBlanks(rest);
        FileBlockMode mode = FileBlockMode::Replace;
        if (!name.empty() && (name.front() == '+' || name.front() == '$')) {
            mode = name.front() == '$' ? FileBlockMode::AppendAndSort : FileBlockMode::Append;
            name.erase(0, 1);
        }
        if (Exchange() && !IsExchangeListFile(name)) {
            result_.skipped.push_back("The lines for the file \"" + name +
                                      "\" were skipped: the exchange may deliver only the value lists, the tips "
                                      "and the notes.");
            state_ = State::SkipFile;
            return true;
        }
        if (!IsAcceptableBlockFile(name)) {
            Error("The import file \"" + std::string(fileName_) + "\" holds lines for the file \"" + name +
                  "\", which is not a plain file name in the data folder. Those lines were skipped.");
            state_ = State::SkipFile;
            return true;
        }
        fileBlock_ = FileBlock{name, mode, {}};
        state_ = State::File;
        return true;
    }

    bool WriteFileBlock() {
        FileBlock block = std::move(*fileBlock_);
        fileBlock_.reset();
        if (ApplyFileBlock(data_.dataFolder(), block.name, block.mode, block.lines).empty()) return true;
        Error("Unable to update the file \"" + block.name + "\".");
        return false;
    }

    void Note(std::string_view rest) {
        const std::string note(FirstCharacters(rest, kMaxNoteLength));
        if (!notesRead_) {
            notesRead_ = true;
            std::string text;
            if (ReadWholeFile(data_.DataFilePath(kNotesList), text))
                for (std::string_view known : SplitLines(text)) knownNotes_.emplace(known);
        }
        if (knownNotes_.contains(note) || collectedLength_ >= kMaxCollectedNotes) return;
        knownNotes_.insert(note);
        collectedLength_ += note.size() + kCrLf.size();
        result_.notes.push_back(note);
        const std::string lines[] = {note};
        ApplyFileBlock(data_.dataFolder(), kNotesList, FileBlockMode::Append, lines);
    }

    // What was left out, after the text it belongs to.
    std::string WithSkipped(std::string text) const {
        for (std::size_t i = 0; i < result_.skipped.size(); ++i) text += (i ? "\n" : "\n\n") + result_.skipped[i];
        return text;
    }

    void Summary() {
        if (result_.blocks.empty()) {
            Error(WithSkipped("No Ampvane " + typeWord_ + " data was found in the import file. No " + typeWord_ +
                              "s were imported."));
            return;
        }
        std::string text;
        if (result_.Changed()) {
            text = "Import/Update Results\n\nThe following is a summary of the changes made to the Ampvane database:\n";
            for (const TableImportBlock& block : result_.blocks)
                if (block.added || block.revised)
                    text += "\n" + block.typeName + "s: " + std::to_string(block.added) + " new, " +
                            std::to_string(block.revised) + " revised.";
        } else {
            text = "There was no new data to revise or add to the Ampvane database.";
        }
        if (!options_.alwaysReport && !result_.Changed() && result_.skipped.empty()) return;
        Message message = InformationMessage(WithSkipped(std::move(text)));
        message.buttons = OkButton | HelpButton;
        message.helpTopic = options_.helpTopic;
        messages_.Report(message);
    }

    void ShowNotes() {
        if (result_.notes.empty()) return;
        std::string text;
        for (const std::string& note : result_.notes) {
            if (!text.empty()) text += '\n';
            text += note;
        }
        Message message = InformationMessage(std::move(text));
        message.buttons = OkButton | HelpButton;
        message.helpTopic = options_.helpTopic;
        messages_.Report(message);
    }

    TCompDataModule& data_;
    std::string_view fileName_;
    const TableImportOptions& options_;
    MessageSink& messages_;
    std::string typeWord_;
    TableImportResult result_;

    State state_ = State::Outside;
    std::string blockType_;
    DbfTable* table_ = nullptr;
    std::optional<ComponentTableKind> kind_;
    std::optional<KeepPosition> keep_;
    std::vector<int> mapped_;
    std::optional<FileBlock> fileBlock_;
    std::optional<ComponentTableKind> pendingKind_;
    std::vector<std::pair<std::string, std::size_t>> pending_;

    bool notesRead_ = false;
    std::set<std::string, std::less<>> knownNotes_;
    std::size_t collectedLength_ = 0;
};

} // namespace

std::string TableExportTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M", &local);
    return buffer;
}

std::string TableExportText(DbfTable& table, ComponentTableKind kind, TableTextFormat format,
                            const TableExportSettings& settings) {
    KeepPosition keep(table);
    std::string out;
    out.reserve(table.size() * 128 + 4096);
    const bool html = format == TableTextFormat::Html;
    const bool csv = format == TableTextFormat::Csv;
    if (html) AppendHtmlTable(out, table, kind, settings);
    AppendBlock(out, table, kind, csv, settings.locale.decimal);
    if (html) {
        AppendLine(out, "-->");
        AppendHtmlTrailer(out, settings);
    } else {
        AppendTrailer(out, csv, static_cast<int>(table.columns().size()), settings);
    }
    return out;
}

bool ExportTable(DbfTable& table, ComponentTableKind kind, const std::string& fileName, bool html, bool csv,
                 int helpTopic, const TableExportSettings& settings, MessageSink& messages) {
    const TableTextFormat format = html ? TableTextFormat::Html : csv ? TableTextFormat::Csv : TableTextFormat::Text;
    if (WriteFileAtomically(fileName, TableExportText(table, kind, format, settings)).empty()) return true;
    messages.Report(ErrorWithHelp("The file \"" + fileName +
                                      "\" could not be opened for writing. Another application may have it open, or "
                                      "the disk might not be writable.",
                                  helpTopic));
    return false;
}

bool ExportAllTables(const TCompDataModule& data, const std::string& fileName, const TableExportSettings& settings) {
    std::string out;
    for (ComponentTableKind kind : TableOpeningOrder())
        if (DbfTable* table = data.Table(kind)) out += TableExportText(*table, kind, TableTextFormat::Text, settings);
    return WriteFileAtomically(fileName, out).empty();
}

bool TableImportResult::Changed() const {
    return std::any_of(blocks.begin(), blocks.end(), [](const TableImportBlock& b) { return b.added || b.revised; });
}

TableImportResult ImportTableTextFrom(TCompDataModule& data, std::string_view contents, std::string_view fileName,
                                      const TableImportOptions& options, MessageSink& messages) {
    return Importer(data, fileName, options, messages).Run(contents);
}

TableImportResult ImportTableText(TCompDataModule& data, const std::string& fileName,
                                  const TableImportOptions& options, MessageSink& messages) {
    std::string contents;
    std::error_code error;
    if (fs::is_directory(fileName, error) || !ReadWholeFile(fileName, contents)) {
        const std::string type = options.table ? TypeNameOf(static_cast<int>(*options.table)) : "component";
        messages.Report(ErrorWithHelp("The import file \"" + fileName + "\" could not be opened. No " + type +
                                          "s were imported.",
                                      options.helpTopic));
        TableImportResult result;
        result.errorReported = true;
        return result;
    }
    return ImportTableTextFrom(data, contents, fileName, options, messages);
}

} // namespace ampvane
