// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/exchange_protocol.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>

#include "common/numeric_text.h"
#include "common/text_escape.h"
#include "data/dbf_number.h"
#include "data/table_catalogue.h"
#include "server/exchange_pages.h"

namespace ampvane::server {

namespace {

struct FieldColumn {
    int tag;
    std::string_view column;
};

// Which table column each contributed field fills, by the workbench field's tag.
constexpr FieldColumn kFieldColumns[] = {
    {100, "MOTORNAME"},  {101, "MOTORSTANT"}, {102, "IDLECRRENT"}, {103, "ARMATTANCE"}, {104, "WEIGHT"},
    {105, "BRUSHLESS"},  {106, "OUTRUNNER"},  {200, "CELLNAME"},   {201, "CAPACITY"},   {202, "VOLTAGE"},
    {203, "INTERTANCE"}, {204, "WEIGHT"},     {205, "CRATING"},    {206, "CELLTYPE"},   {300, "FILTERNAME"},
    {301, "MAXCURRENT"}, {302, "MAXPORLOSS"}, {304, "MINEFIENCY"}, {305, "MAXRPM"},     {306, "MINTHRUST"},
    {307, "MINSPEED"},   {308, "MAXSPEED"},   {309, "MINTIME"},    {310, "MAXPIRATIO"}, {400, "DRIVEMNAME"},
    {401, "GEARROFROM"}, {402, "GEARRTIOTO"}, {403, "GEARRTIOBY"}, {404, "GEARBOXEFF"}, {405, "PROPERFROM"},
    {406, "PROPETERTO"}, {407, "PROPETERBY"}, {408, "PROPEHFROM"}, {409, "PROPETCHTO"}, {410, "PROPETCHBY"},
    {411, "PROPELADES"}, {412, "PROPCONST"},  {413, "THRUSCONST"}, {414, "WEIGHT"},     {500, "DRIVEMNAME"},
    {501, "FANDIAM"},    {502, "FANHUBDIAM"}, {503, "FANPITCH"},   {504, "POWERCOEFF"}, {505, "FANEFFIC"},
    {506, "WEIGHT"},     {600, "ESCNAME"},    {601, "RESISTANCE"}, {602, "MAXCURRENT"}, {603, "WEIGHT"},
    {604, "HIGHRATE"},   {605, "BRUSHLESS"},  {700, "AIRFRENAME"}, {701, "WINGSPAN"},   {702, "WINGAREA"},
    {703, "EMPTYEIGHT"}, {704, "AIRFOLINFO"}, {705, "DRAGINFO"},   {706, "INDIAM"},     {707, "INLENGTH"},
    {708, "OUTDIAM"},    {709, "OUTLENGTH"},
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// The length of the well-formed UTF-8 sequence at the start of `text` (no overlong forms, surrogates or
// code points above U+10FFFF), 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const auto continuation = [&](std::size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
        return byte(i) >= low && byte(i) <= high;
    };
    const unsigned c = byte(0);
    if (c < 0x80) return text.empty() ? 0 : 1;
    if (c >= 0xC2 && c <= 0xDF) return continuation(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
        return continuation(1, low, high) && continuation(2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
        return continuation(1, low, high) && continuation(2) && continuation(3) ? 4 : 0;
    }
    return 0;
}

// Valid UTF-8 without control characters (TAB only where `tab` allows it, CR LF where `lines` does).
bool CleanText(std::string_view text, bool tab, bool lines) {
    while (!text.empty()) {
        const auto c = static_cast<unsigned char>(text.front());
        if (c == 0x7F || (c < 0x20 && !(tab && c == '\t') && !(lines && (c == '\r' || c == '\n')))) return false;
        const std::size_t length = Utf8SequenceLength(text);
        if (length == 0) return false;
        text.remove_prefix(length);
    }
    return true;
}

// The catalogue's column as the program's tables hold it, so a value is checked as they check it.
DbfColumn TableColumn(const TableColumnInfo& info) {
    DbfColumn column;
    column.name = std::string(info.name);
    column.type = info.type;
    column.width = info.width;
    column.decimals = info.decimals;
    column.label = std::string(info.label.empty() ? info.name : info.label);
    column.minimum = info.minimum;
    column.maximum = info.maximum;
    return column;
}

// Why a value would be refused by the program's table column, empty when it is taken. Numbers may use
// "," as their separator, as the program's import allows.
std::string ColumnValueError(const TableColumnInfo& info, std::string_view value) {
    if (info.type == DbfType::Logical && !value.empty() && value != "Yes") return "\"" + std::string(value) + "\" is not Yes";
    if (info.type != DbfType::Numeric) return {};
    std::string number(value);
    if (number.find('.') == std::string::npos)
        if (const std::size_t comma = number.find(','); comma != std::string::npos) number[comma] = '.';
    return NumberTextError(TableColumn(info), number, '.');
}

// Rows that would end the HTML comment carrying the importable block, or that hold markup (a "<" that
// opens a tag), stay out of it: no row may ever become live markup in a browser.
bool UnsafeInHtmlComment(std::string_view line) {
    if (line.find("-->") != std::string_view::npos || line.find("--!>") != std::string_view::npos) return true;
    for (std::size_t at = line.find('<'); at != std::string_view::npos && at + 1 < line.size(); at = line.find('<', at + 1)) {
        const char next = line[at + 1];
        if (std::isalpha(static_cast<unsigned char>(next)) || next == '/' || next == '!' || next == '?') return true;
    }
    return false;
}

const TableColumnInfo* ColumnForTag(int kind, int tag) {
    for (const FieldColumn& field : kFieldColumns)
        if (field.tag == tag) return FindColumnInfo(static_cast<ComponentTableKind>(kind), field.column);
    return nullptr;
}

bool IsNumber(std::string_view text) {
    return ParseLocaleReal(text, NumberLocale{'.'}).has_value();
}

std::string TypeName(int kind) { return TypeNameOf(kind); }


} // namespace

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) return parts;
        start = tab + 1;
    }
}

std::optional<QueryPairs> DecodeQuery(std::string_view query) {
    QueryPairs pairs;
    if (query.empty()) return pairs;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = query.find('&', start);
        const std::string_view pair = query.substr(start, end == std::string_view::npos ? end : end - start);
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        std::optional<std::string> name = PercentDecode(pair.substr(0, equals));
        std::optional<std::string> value = PercentDecode(pair.substr(equals + 1));
        if (!name || !value) return std::nullopt;
        pairs.emplace_back(std::move(*name), std::move(*value));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return pairs;
}

std::optional<int> KindForKey(std::string_view key) {
    for (int kind = 0; kind < kComponentTableCount; ++kind)
        if (TypeKeyOf(kind) == key) return kind;
    return std::nullopt;
}

SubmitCheck CheckSubmission(const QueryPairs& pairs) {
    auto refuse = [](std::string reason) { return SubmitCheck{std::nullopt, std::move(reason)}; };
    // The checksum covers every pair before "crc".
    long long sum = 0;
    std::size_t crcAt = pairs.size();
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].first == "crc") {
            crcAt = i;
            break;
        }
        for (unsigned char c : pairs[i].first) sum += c;
        for (unsigned char c : pairs[i].second) sum += c;
    }
    if (crcAt == pairs.size()) return refuse("The request has no checksum.");
    const std::string& crc = pairs[crcAt].second;
    if (crc.empty() || crc.size() > 18 || !std::all_of(crc.begin(), crc.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        std::stoll(crc) != sum)
        return refuse("The checksum does not match the data.");
    if (crcAt + 2 != pairs.size() || pairs[crcAt + 1].first != "ver" || pairs[crcAt + 1].second.empty() ||
        pairs[crcAt + 1].second.size() > 8)
        return refuse("The request has no client version after its checksum.");
    if (crcAt < 2 || pairs[0].first != "base" || pairs[1].first != "name")
        return refuse("The request does not start with the base and the contributor's name.");

    const std::string& baseText = pairs[0].second;
    const int base = baseText.size() == 3 && baseText[1] == '0' && baseText[2] == '0' ? baseText[0] - '0' : -1;
    if (base < 1 || base > 7) return refuse("The base \"" + baseText + "\" names no component table.");
    Contribution contribution;
    contribution.kind = base;
    contribution.contributor = std::string(TrimText(pairs[1].second));
    if (contribution.contributor.empty()) return refuse("The contributor's name is empty.");
    if (contribution.contributor.size() > kMaxContributorBytes || !CleanText(contribution.contributor, false, false))
        return refuse("The contributor's name is too long or holds characters that cannot be stored.");
    std::size_t next = 2;
    if (next < crcAt && pairs[next].first == "email") {
        contribution.email = std::string(TrimText(pairs[next].second));
        if (contribution.email.size() > kMaxEmailBytes || !CleanText(contribution.email, false, false))
            return refuse("The e-mail address is too long or holds characters that cannot be stored.");
        ++next;
    }

    const TableInfo& table = *TableInfoOf(base);
    std::map<std::string_view, std::string> values; // by column name
    for (; next < crcAt; ++next) {
        const auto& [field, value] = pairs[next];
        const int tag = field.size() == 4 && field[0] == 'p' ? std::atoi(field.c_str() + 1) : -1;
        if (tag < base * 100 || tag > base * 100 + 99 || !std::all_of(field.begin() + 1, field.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return refuse("The field \"" + field + "\" does not belong to a " + std::string(table.typeName) + ".");
        const TableColumnInfo* column = ColumnForTag(base, tag);
        if (!column) return refuse("The field \"" + field + "\" is unknown.");
        if (values.contains(column->name)) return refuse("The field \"" + field + "\" is sent twice.");
        const std::size_t limit = tag % 100 == 0 ? kMaxNameBytes : kMaxValueBytes;
        if (value.size() > limit || !CleanText(value, false, false))
            return refuse("The value of \"" + field + "\" is too long or holds characters that cannot be stored.");
        if (column->type == DbfType::Numeric && !IsNumber(value))
            return refuse("The value of \"" + field + "\" is not a number.");
        if (column->type == DbfType::Logical && value != "Yes")
            return refuse("The value of \"" + field + "\" must be Yes.");
        if (column->type == DbfType::Character && static_cast<int>(value.size()) > column->width)
            return refuse("The value of \"" + field + "\" is too long.");
        if (const std::string why = ColumnValueError(*column, value); !why.empty())
            return refuse("The value of \"" + field + "\" cannot be stored: " + why + ".");
        values[column->name] = value;
    }
    const std::string_view nameColumn = table.columns.front().name;
    const auto name = values.find(nameColumn);
    if (name == values.end() || TrimText(name->second).empty()) return refuse("The component has no name.");
    contribution.name = std::string(TrimText(name->second));
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (i > 0) contribution.line += '\t';
        const auto value = values.find(table.columns[i].name);
        if (i == 0)
            contribution.line += contribution.name;
        else if (value != values.end())
            contribution.line += value->second;
    }
    return {std::move(contribution), {}};
}

std::string HeaderLine(int kind) {
    std::string header;
    for (const TableColumnInfo& column : TableInfoOf(kind)->columns) {
        if (!header.empty()) header += '\t';
        header += column.name;
    }
    return header;
}

std::string TableTextBlock(int kind, std::string_view header, std::span<const std::string> lines) {
    const std::string type = TypeName(kind);
    std::string text = "Begin Ampvane8 " + type + " Table\r\n" + std::string(header) + "\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    return text + "End Ampvane8 " + type + " Table\r\n";
}

std::string ContributedList(int kind, std::span<const StoredContribution> rows) {
    std::string text = "F\t" + HeaderLine(kind) + "\r\n";
    for (const StoredContribution& row : rows)
        text += "N\t" + row.line + "\t" + row.date + "\t" + row.contributor + "\t" + std::to_string(row.id) + "\r\n";
    return text;
}

std::string HtmlTablePage(int kind, std::string_view header, std::span<const std::string> lines) {
    const std::string type = TypeName(kind);
    std::string page = "<html><head>\r\n<title>Ampvane " + type + " Table</title>\r\n"
                       "<meta name=\"GENERATOR\" content=\"Ampvane 8.09\">\r\n</head><body>\r\n"
                       "<h1>Ampvane " + type + " Table</h1>\r\n<p>\r\n" +
                       HtmlGrid(kind, header, lines);
    std::string block;
    int leftOut = 0;
    for (const std::string& line : lines) {
        if (UnsafeInHtmlComment(line))
            ++leftOut;
        else
            block += line + "\r\n";
    }
    // Said on the page rather than left out silently: the program's Update command still brings them.
    if (leftOut > 0)
        page += "<p>" + std::to_string(leftOut) + (leftOut == 1 ? " component holds" : " components hold") +
                " text that this page cannot carry in its importable part; Update in Ampvane brings "
                "every component.\r\n";
    page += "<!-- The following is suitable for importing by Ampvane 8.09\r\n"
            "     Do not edit, remove tabs, or replace tabs with spaces!\r\n"
            "Begin Ampvane8 " + type + " Table\r\n" + std::string(header) + "\r\n" + block +
            "End Ampvane8 " + type + " Table\r\n-->\r\n" + std::string(kPageFooter);
    return page;
}

std::optional<SupportMessage> ParseSupportBody(std::string_view body, std::string& reason) {
    if (body.size() > kMaxSupportBytes) {
        reason = "The message is too large.";
        return std::nullopt;
    }
    while (!body.empty() && (body.back() == '\n' || body.back() == '\r')) body.remove_suffix(1);
    const std::optional<QueryPairs> pairs = DecodeQuery(body);
    if (!pairs) {
        reason = "The message is not form-encoded.";
        return std::nullopt;
    }
    SupportMessage message;
    for (const auto& [name, value] : *pairs) {
        std::string* field = name == "e" ? &message.sender
                             : name == "s" ? &message.subject
                             : name == "m" ? &message.message
                             : name == "p" ? &message.project
                                           : nullptr;
        if (!field) continue;
        if (!CleanText(value, true, true)) {
            reason = "The field \"" + name + "\" holds characters that cannot be stored.";
            return std::nullopt;
        }
        *field = value;
    }
    if (TrimText(message.sender).empty() || TrimText(message.subject).empty() || TrimText(message.message).empty()) {
        reason = "The sender, the subject and the message must not be empty.";
        return std::nullopt;
    }
    return message;
}

std::vector<CatalogueBlock> ReadCatalogueText(std::string_view text, std::string& error) {
    std::vector<CatalogueBlock> blocks;
    enum { Outside, Columns, Rows } state = Outside;
    std::string end;
    std::vector<const TableColumnInfo*> columns; // of the open block, by position
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!CleanText(line, true, false)) {
            error = "Line " + std::to_string(lineNumber) + " holds characters that cannot be stored.";
            return {};
        }
        if (state == Outside) {
            constexpr std::string_view begin = "Begin Ampvane8 ";
            constexpr std::string_view suffix = " Table";
            if (!line.starts_with(begin) || !line.ends_with(suffix) || line.size() < begin.size() + suffix.size())
                continue;
            const std::string_view type = line.substr(begin.size(), line.size() - begin.size() - suffix.size());
            const std::optional<ComponentTableKind> kind = KindForTypeName(type);
            if (!kind) continue;
            blocks.push_back({static_cast<int>(*kind), {}, {}});
            end = "End Ampvane8 " + std::string(type) + " Table";
            state = Columns;
        } else if (state == Columns) {
            if (line.find('\t') == std::string_view::npos) {
                error = "Line " + std::to_string(lineNumber) + ": the columns are not tab delimited.";
                return {};
            }
            blocks.back().header = std::string(line);
            columns.clear();
            for (const std::string_view name : SplitTabs(line))
                columns.push_back(FindColumnInfo(static_cast<ComponentTableKind>(blocks.back().kind), name));
            state = Rows;
        } else if (line == end) {
            state = Outside;
        } else if (!TrimText(line.substr(0, line.find('\t'))).empty()) {
            const std::vector<std::string_view> values = SplitTabs(line);
            for (std::size_t i = 0; i < values.size() && i < columns.size(); ++i) {
                if (!columns[i]) continue;
                if (const std::string why = ColumnValueError(*columns[i], values[i]); !why.empty()) {
                    error = "Line " + std::to_string(lineNumber) + ": " + why + ".";
                    return {};
                }
            }
            blocks.back().lines.emplace_back(line);
        }
    }
    return blocks;
}

} // namespace ampvane::server
