// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/table_browse.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace ampvane {

namespace {

const TableColumnInfo* InfoOf(const DbfTable& table, ComponentTableKind kind, int column) {
    return FindColumnInfo(kind, table.columns()[static_cast<size_t>(column)].name);
}

double DefaultOf(const TableColumnInfo* info) {
    double value = 0;
    if (info && !info->defaultText.empty())
        std::from_chars(info->defaultText.data(), info->defaultText.data() + info->defaultText.size(), value);
    return value;
}

int DecimalsOf(std::string_view format) {
    const auto dot = format.find('.');
    return dot == std::string_view::npos ? 0 : static_cast<int>(format.size() - dot - 1);
}

std::string PadRight(std::string text, std::size_t width) {
    std::size_t characters = 0;
    for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (characters < width) text.append(width - characters, ' ');
    return text;
}

// Sort keys of one column: numbers (a stored 0 read as the column's default) or stored text.
struct ColumnKey {
    double number = 0;
    std::string text;
};

ColumnKey KeyOf(const DbfTable& table, int column, double fallback) {
    const DbfColumn& c = table.columns()[static_cast<size_t>(column)];
    if (c.type == DbfType::Numeric) {
        const double value = table.Number(column);
        return {value == 0 ? fallback : value, {}};
    }
    if (c.type == DbfType::Logical) return {table.Logical(column) ? 1.0 : 0.0, {}};
    return {0, table.Text(column)};
}

// The records of the name order, which every other order starts from so that ties stay in name order.
std::vector<std::uint32_t> NameOrderRecords(DbfTable& table) {
    table.UseNameIndex();
    std::vector<std::uint32_t> records;
    records.reserve(table.size());
    for (table.First(); !table.Eof(); table.Next()) records.push_back(*table.RecordNumber());
    return records;
}

void ApplyOrder(DbfTable& table, std::vector<std::uint32_t> records, std::optional<std::uint32_t> current) {
    table.UseOrder(std::move(records));
    if (!current || !table.GoToRecord(*current)) table.First();
}

} // namespace

std::string FormatDisplayNumber(std::string_view format, double value, char decimal) {
    const int decimals = DecimalsOf(format);
    const auto dot = format.find('.');
    const std::size_t integerDigits = dot == std::string_view::npos ? format.size() : dot;
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return {};
    std::string digits(buffer, end);
    const bool negative = digits.starts_with('-');
    if (negative) digits.erase(0, 1);
    const std::size_t have = std::min(digits.find('.'), digits.size());
    if (have < integerDigits) digits.insert(0, integerDigits - have, '0');
    if (const auto point = digits.find('.'); point != std::string::npos) digits[point] = decimal;
    return (negative ? "-" : "") + digits;
}

std::vector<int> BrowserColumns(const DbfTable& table, ComponentTableKind kind) {
    std::vector<int> columns;
    for (int c = 0; c < static_cast<int>(table.columns().size()); ++c) {
        const TableColumnInfo* info = InfoOf(table, kind, c);
        if (!info || !info->hidden) columns.push_back(c);
    }
    return columns;
}

std::string BrowserColumnTitle(const DbfTable& table, ComponentTableKind kind, int column) {
    const TableColumnInfo* info = InfoOf(table, kind, column);
    return info && !info->label.empty() ? std::string(info->label) : table.columns()[static_cast<size_t>(column)].name;
}

bool BrowserColumnIsNumber(const DbfTable& table, int column) {
    return table.columns()[static_cast<size_t>(column)].type == DbfType::Numeric;
}

int BrowserColumnWidth(const DbfTable& table, ComponentTableKind kind, int column) {
    const TableColumnInfo* info = InfoOf(table, kind, column);
    const int width = info && info->displayWidth > 0 ? info->displayWidth : table.columns()[static_cast<size_t>(column)].width;
    return std::max(width, static_cast<int>(BrowserColumnTitle(table, kind, column).size()));
}

std::string BrowserCellText(const DbfTable& table, ComponentTableKind kind, int column, const BrowserUnits& units) {
    if (!BrowserColumnIsNumber(table, column)) return table.Text(column);
    const TableColumnInfo* info = InfoOf(table, kind, column);
    const double value = table.Number(column);
    if (value == 0) {
        std::string text = info ? std::string(info->defaultText) : std::string();
        if (const auto dot = text.find('.'); dot != std::string::npos) text[dot] = units.locale.decimal;
        return text;
    }
    if (info) {
        const DisplayedValue shown = DisplayStoredValue(info->unitKind, value, units.measurementMode, units.forceInNewtons);
        if (shown.converted) return std::string(TrimText(FormatReal(0, shown.decimals, shown.value, units.locale)));
        if (!info->displayFormat.empty()) return FormatDisplayNumber(info->displayFormat, value, units.locale.decimal);
    }
    std::string text = table.Text(column);
    if (const auto dot = text.find('.'); dot != std::string::npos) text[dot] = units.locale.decimal;
    return text;
}

std::string BrowserCaption(ComponentTableKind kind, std::size_t count) {
    const std::string typeName = TypeNameOf(static_cast<int>(kind));
    return typeName + " Browser - " + std::to_string(count) + " " + typeName + "s";
}

int OrderCodeAfterTitleClick(int current, int column) {
    if (column == 0) return kNameOrder;
    if (current == column || current == -column) return -current;
    return column;
}

void SetColumnOrder(DbfTable& table, ComponentTableKind kind, int code) {
    const std::optional<std::uint32_t> current = table.RecordNumber();
    const int column = std::abs(code);
    if (code == kNameOrder || column >= static_cast<int>(table.columns().size())) {
        table.UseNameIndex();
        if (!current || !table.GoToRecord(*current)) table.First();
        return;
    }
    std::vector<std::uint32_t> records = NameOrderRecords(table);
    const double fallback = DefaultOf(InfoOf(table, kind, column));
    std::vector<std::pair<ColumnKey, std::uint32_t>> keyed;
    keyed.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        table.MoveTo(i);
        keyed.emplace_back(KeyOf(table, column, fallback), records[i]);
    }
    const bool descending = code < 0;
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
        const auto less = [](const ColumnKey& x, const ColumnKey& y) {
            return x.number != y.number ? x.number < y.number : CompareStoredNames(x.text, y.text) < 0;
        };
        return descending ? less(b.first, a.first) : less(a.first, b.first);
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) records[i] = keyed[i].second;
    ApplyOrder(table, std::move(records), current);
}

LikenessReference MakeLikenessReference(const DbfTable& table, ComponentTableKind kind) {
    LikenessReference reference;
    const std::string_view weights = SimilarityWeights(static_cast<int>(kind));
    for (std::size_t k = 1; k <= weights.size() && k < table.columns().size(); ++k) {
        const int column = static_cast<int>(k);
        if (!BrowserColumnIsNumber(table, column)) break;
        const double fallback = DefaultOf(InfoOf(table, kind, column));
        // Only an empty value stands for the default here; a stored 0 adds no term.
        double value = table.Number(column);
        if (table.Text(column).empty()) value = fallback;
        reference.columns.push_back(column);
        reference.values.push_back(value);
        reference.exponents.push_back(weights[k - 1] - '0');
        reference.defaults.push_back(fallback);
    }
    return reference;
}

double LikenessKey(const DbfTable& table, const LikenessReference& reference) {
    double key = 0;
    for (std::size_t i = 0; i < reference.columns.size(); ++i) {
        const double v = reference.values[i];
        if (v == 0) continue;
        double x = table.Number(reference.columns[i]);
        if (x == 0) x = reference.defaults[i];
        key += std::pow(50 * (x - v) / v, reference.exponents[i]);
    }
    return key;
}

int SetLikenessOrder(DbfTable& table, ComponentTableKind kind) {
    const std::optional<std::uint32_t> current = table.RecordNumber();
    if (!current || SimilarityWeights(static_cast<int>(kind)).empty()) return 0;
    const LikenessReference reference = MakeLikenessReference(table, kind);
    std::vector<std::uint32_t> records = NameOrderRecords(table);
    std::vector<std::pair<double, std::uint32_t>> keyed;
    keyed.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        table.MoveTo(i);
        double key = LikenessKey(table, reference);
        if (!std::isfinite(key)) key = HUGE_VAL; // an overflowing distance is simply far away
        keyed.emplace_back(key, records[i]);
    }
    // The reference record leads even when another record has the same key.
    std::stable_sort(keyed.begin(), keyed.end(), [&current](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return a.second == *current && b.second != *current;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) records[i] = keyed[i].second;
    ApplyOrder(table, std::move(records), current);
    return static_cast<int>(reference.columns.size());
}

std::vector<std::string> BrowserPrintLines(DbfTable& table, ComponentTableKind kind) {
    const std::optional<std::uint32_t> current = table.RecordNumber();
    const std::vector<int> columns = BrowserColumns(table, kind);
    auto widthOf = [&](int column) {
        const TableColumnInfo* info = InfoOf(table, kind, column);
        return info && info->displayWidth > 0 ? info->displayWidth : table.columns()[static_cast<size_t>(column)].width;
    };
    std::vector<std::string> lines;
    std::string title;
    for (int column : columns) {
        if (column != columns.front()) title += ' ';
        const auto width = static_cast<std::size_t>(widthOf(column));
        std::string label = BrowserColumnTitle(table, kind, column);
        if (label.size() > width) {
            std::erase_if(label, [](char c) { return std::string_view("aeiou").find(c) != std::string_view::npos; });
            label.resize(std::min(label.size(), width));
        }
        if (table.columns()[static_cast<size_t>(column)].type == DbfType::Character)
            title += PadRight(label, width);
        else
            title += PadLeft(label, static_cast<int>(width));
    }
    lines.push_back(title);
    lines.emplace_back();
    for (table.First(); !table.Eof(); table.Next()) {
        std::string line;
        for (int column : columns) {
            if (column != columns.front()) line += ' ';
            const int width = widthOf(column);
            const TableColumnInfo* info = InfoOf(table, kind, column);
            std::string value = BrowserColumnIsNumber(table, column)
                                    ? FormatReal(width, DecimalsOf(info ? info->displayFormat : ""), table.Number(column))
                                    : table.Text(column);
            line += PadRight(std::move(value), static_cast<std::size_t>(width));
        }
        lines.push_back(line);
    }
    if (!current || !table.GoToRecord(*current)) table.First();
    return lines;
}

const std::string& TypeAhead::Add(char c, Clock::time_point now) {
    // 0.00001 of a day.
    constexpr auto kPause = std::chrono::microseconds(864000);
    if (!last_ || now - *last_ > kPause) buffer_.clear();
    buffer_ += c;
    buffer_[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(buffer_[0])));
    last_ = now;
    return buffer_;
}

ExportChoice ExportChoiceFor(std::string_view fileName, int filterIndex) {
    std::string upper(fileName);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.ends_with(".HTML") || upper.ends_with(".HTM") || filterIndex == 1) return ExportChoice::Html;
    if (upper.ends_with(".CSV") || filterIndex == 2) return ExportChoice::Csv;
    return ExportChoice::Text;
}

} // namespace ampvane
