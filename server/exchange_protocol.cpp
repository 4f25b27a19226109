// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/exchange_protocol.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "common/numeric_text.h"
#include "common/text_escape.h"
#include "data/table_catalogue.h"

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

// Valid UTF-8 without control characters (TAB only where `tab` allows it, CR LF where `lines` does).
bool CleanText(std::string_view text, bool tab, bool lines) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c == 0x7F || (c < 0x20 && !(tab && c == '\t') && !(lines && (c == '\r' || c == '\n')))) return false;
            ++i;
            continue;
        }
        const int extra = c >= 0xF0 && c <= 0xF4 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
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
    const TableInfo& table = *TableInfoOf(kind);
    const std::string type(table.typeName);
    // Which catalogue column each header position holds.
    std::vector<const TableColumnInfo*> columns;
    for (std::size_t start = 0; start <= header.size();) {
        const std::size_t tab = header.find('\t', start);
        const std::string_view name = header.substr(start, tab == std::string_view::npos ? tab : tab - start);
        columns.push_back(FindColumnInfo(table.kind, name));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    std::string page = "<html><head>\r\n<title>Ampvane " + type + " Table</title>\r\n"
                       "<meta name=\"GENERATOR\" content=\"Ampvane 8.09\">\r\n</head><body>\r\n"
                       "<h1>Ampvane " + type + " Table</h1>\r\n<p>\r\n"
                       "<table border=0 cellpadding=1 cellspacing=0><tr><td bgcolor=gray>\r\n"
                       "<table border=0 cellpadding=2 cellspacing=0 width=100% bgcolor=white>\r\n"
                       "<tr bgcolor=#D4D0C8 align=right>\r\n";
    auto align = [](const TableColumnInfo* column) {
        return !column || column->type == DbfType::Character ? "left"
               : column->type == DbfType::Logical             ? "center"
                                                              : "right";
    };
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!columns[i] || columns[i]->hidden) continue;
        page += "<th align=" + std::string(align(columns[i])) + " nowrap>" + (i == 0 ? "&nbsp;" : "") +
                HtmlEscape(columns[i]->label) + "&nbsp;<br></th>\r\n";
    }
    page += "</tr>\r\n";
    std::string block;
    int row = 0;
    for (const std::string& line : lines) {
        page += std::string("<tr align=right valign=top") + (row++ % 2 == 1 ? " bgcolor=#EEFFEE" : "") + ">\r\n";
        std::size_t start = 0;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const std::size_t tab = line.find('\t', start);
            const std::string value = start > line.size() ? std::string() : line.substr(start, tab == std::string::npos ? tab : tab - start);
            start = tab == std::string::npos ? line.size() + 1 : tab + 1;
            if (!columns[i] || columns[i]->hidden) continue;
            const std::string_view a = align(columns[i]);
            page += (a == "left" ? "<td align=left nowrap>" : a == "center" ? "<td align=center>" : "<td>") +
                    std::string(i == 0 ? "&nbsp;" : "") + HtmlEscape(value) + "&nbsp;<br></td>\r\n";
        }
        page += "</tr>\r\n";
        // A line that could end the comment early stays out of the importable block.
        if (line.find("--") == std::string::npos && line.find('>') == std::string::npos) block += line + "\r\n";
    }
    page += "</table>\r\n</td></tr></table>\r\n"
            "<!-- The following is suitable for importing by Ampvane 8.09\r\n"
            "     Do not edit, remove tabs, or replace tabs with spaces!\r\n"
            "Begin Ampvane8 " + type + " Table\r\n" + std::string(header) + "\r\n" + block +
            "End Ampvane8 " + type + " Table\r\n-->\r\n"
            "<p><font color=#666666 size=-1>Generated by the Ampvane exchange server.</font>\r\n"
            "<p><font color=#666666 size=-1>The compiled data is protected and may be used only for personal, "
            "non-commercial purposes.</font>\r\n</body></html>\r\n";
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
            state = Rows;
        } else if (line == end) {
            state = Outside;
        } else if (!TrimText(line.substr(0, line.find('\t'))).empty()) {
            blocks.back().lines.emplace_back(line);
        }
    }
    return blocks;
}

} // namespace ampvane::server
