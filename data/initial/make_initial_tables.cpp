// SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: writes the shipped first-run tables from the readable CSV sources beside it, and
// dumps a table as text so that independent readers can be checked against our engine.
//
//   make_initial_tables SOURCE_DIR OUTPUT_DIR   writes the eight tables into OUTPUT_DIR
//   make_initial_tables --dump TABLE_FILE       prints the columns and the live records

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/file_write.h"
#include "data/dbf_table.h"
#include "data/table_catalogue.h"

namespace {

using namespace ampvane;

struct Source {
    ComponentTableKind kind;
    const char* csv;
};

constexpr Source kSources[] = {
    {ComponentTableKind::Motor, "motors.csv"},
    {ComponentTableKind::Cell, "cells.csv"},
    {ComponentTableKind::PropellerDrive, "propeller_drives.csv"},
    {ComponentTableKind::FanDrive, "fan_drives.csv"},
    {ComponentTableKind::SpeedControl, "speed_controls.csv"},
    {ComponentTableKind::Filter, "filters.csv"},
    {ComponentTableKind::Airframe, "airframes.csv"},
    {ComponentTableKind::Project, "projects.csv"},
};

// Splits CSV text into rows of fields: commas, double-quoted fields with "" for a quote, LF or CR LF.
bool ParseCsv(const std::string& text, std::vector<std::vector<std::string>>& rows, std::string& error) {
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    bool fieldStarted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"' && field.empty()) {
            quoted = true;
            fieldStarted = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
            fieldStarted = true;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (fieldStarted || !field.empty() || !row.empty()) {
                row.push_back(std::move(field));
                rows.push_back(std::move(row));
            }
            row.clear();
            field.clear();
            fieldStarted = false;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        error = "a quoted field is not closed";
        return false;
    }
    if (fieldStarted || !field.empty() || !row.empty()) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    return true;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "make_initial_tables: %s\n", message.c_str());
    return 1;
}

int WriteTable(const Source& source, const std::string& sourceDir, const std::string& outputDir) {
    const TableInfo& info = TableInfoOf(source.kind);
    const std::string csvPath = sourceDir + "/" + source.csv;
    std::string text;
    if (!ReadWholeFile(csvPath, text)) return Fail("cannot read " + csvPath);
    std::vector<std::vector<std::string>> rows;
    std::string error;
    if (!ParseCsv(text, rows, error)) return Fail(csvPath + ": " + error);
    if (rows.empty()) return Fail(csvPath + ": no header line");

    const std::vector<std::string>& header = rows.front();
    std::set<std::string> expected;
    for (const TableColumnInfo& column : info.columns) expected.insert(std::string(column.name));
    std::set<std::string> given(header.begin(), header.end());
    if (given != expected || header.size() != expected.size())
        return Fail(csvPath + ": the header must name each column of " + std::string(info.file) + " once");

    // Written under a temporary name and renamed when complete, so a failed build leaves no half table.
    const std::string target = outputDir + "/" + std::string(info.file);
    const std::string temporary = target + ".part";
    if (std::string failure = DbfTable::Create(temporary, ShippedColumns(source.kind)); !failure.empty())
        return Fail(failure);
    {
        auto opened = DbfTable::Open(temporary, DbfTable::Access::Exclusive);
        if (!opened.table) return Fail(opened.error);
        DbfTable& table = *opened.table;
        ApplyColumnInfo(source.kind, table);
        std::set<std::string> names;
        for (size_t line = 1; line < rows.size(); ++line) {
            const std::vector<std::string>& row = rows[line];
            const std::string where = csvPath + ":" + std::to_string(line + 1) + ": ";
            if (row.size() != header.size()) return Fail(where + "expected " + std::to_string(header.size()) + " fields");
            if (!names.insert(row[0]).second && header[0] == info.columns.front().name)
                return Fail(where + "the name \"" + row[0] + "\" appears twice");
            table.Insert();
            for (size_t i = 0; i < row.size(); ++i)
                if (std::string refused = table.SetText(header[i], row[i]); !refused.empty())
                    return Fail(where + refused);
            if (table.Name().empty()) return Fail(where + "a record needs a name");
            if (std::string failure = table.Post(); !failure.empty()) return Fail(failure);
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    if (ec) return Fail("cannot rename " + temporary + ": " + ec.message());
    return 0;
}

char TypeLetter(DbfType type) {
    switch (type) {
    case DbfType::Character: return 'C';
    case DbfType::Numeric: return 'N';
    case DbfType::Logical: return 'L';
    case DbfType::Date: return 'D';
    default: return '?';
    }
}

// Columns on the first line, then one line per live record in stored order, fields separated by TAB.
int Dump(const std::string& path) {
    auto opened = DbfTable::Open(path);
    if (!opened.table) return Fail(opened.error);
    for (const std::string& warning : opened.warnings) std::fprintf(stderr, "%s\n", warning.c_str());
    DbfTable& table = *opened.table;
    const auto& columns = table.columns();
    for (size_t i = 0; i < columns.size(); ++i)
        std::printf("%s%s:%c:%d:%d", i ? "\t" : "", columns[i].name.c_str(), TypeLetter(columns[i].type),
                    columns[i].width, columns[i].decimals);
    std::printf("\n");
    for (table.First(); !table.Eof(); table.Next()) {
        for (size_t i = 0; i < columns.size(); ++i)
            std::printf("%s%s", i ? "\t" : "", table.Text(static_cast<int>(i)).c_str());
        std::printf("\n");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--dump") return Dump(argv[2]);
    if (argc != 3) return Fail("usage: make_initial_tables SOURCE_DIR OUTPUT_DIR | --dump TABLE_FILE");
    std::error_code ec;
    std::filesystem::create_directories(argv[2], ec);
    for (const Source& source : kSources)
        if (int status = WriteTable(source, argv[1], argv[2]); status != 0) return status;
    return 0;
}
