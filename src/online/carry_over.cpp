// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/carry_over.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace ampvane {

namespace {

using K = ComponentTableKind;

constexpr std::array<CarryOverTable, kComponentTableCount> kTables{{
    {K::Motor, "Motors", "MOTOR7.DBF", "Updating Motor Table"},
    {K::Cell, "Cells", "CELL7.DBF", "Updating Cell Table"},
    {K::PropellerDrive, "Prop Drive Systems", "DRIVE7.DBF", "Updating Drive System Table"},
    {K::FanDrive, "Fan Drive Systems", "FANDRIV7.DBF", "Updating Fan Drive System Table"},
    {K::SpeedControl, "Speed Controls", "ESC7.DBF", "Updating Speed Control Table"},
    {K::Airframe, "Airframes", "AIRFRAM7.DBF", "Updating Airframe Table"},
    {K::Filter, "Filters", "FILTER7.DBF", "Updating Filter Table"},
    {K::Project, "Projects", "AMPVANE7.DBF", "Updating Project Table"},
}};

std::size_t CommonPrefix(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

// Same component: the current name begins with the previous one, or every shared field but the name
// holds the same text.
bool SameComponent(const DbfTable& previous, const DbfTable& current, std::string_view name) {
    if (current.empty()) return false;
    if (current.Name().starts_with(name)) return true;
    const auto& columns = previous.columns();
    for (std::size_t c = 1; c < columns.size(); ++c) {
        const int other = current.ColumnIndex(columns[c].name);
        if (other < 0) continue;
        if (previous.Text(static_cast<int>(c)) != current.Text(other)) return false;
    }
    return true;
}

// Whether the current table already holds the previous record `name`, leaving its cursor where the
// nearest-name search ends.
bool AlreadyHeld(const DbfTable& previous, DbfTable& current, const std::string& name) {
    if (current.empty()) return false;
    current.SeekName(name);
    if (current.CompareCurrentName(name) == 0) return true;
    // The nearest name: the first not below `name`, or the one before it when that shares more of it.
    if (current.CompareCurrentName(name) > 0 && current.position() > 0) {
        const std::size_t here = current.position();
        const std::string after = current.Name();
        current.MoveTo(here - 1);
        const std::string before = current.Name();
        if (CommonPrefix(before, name) <= CommonPrefix(after, name)) current.MoveTo(here);
    }
    if (SameComponent(previous, current, name)) return true;
    if (current.position() == 0) return false;
    current.MoveTo(current.position() - 1);
    return SameComponent(previous, current, name);
}

// Fills a new record of `current` from the previous record; returns an error text, empty on success.
std::string InsertCopy(const DbfTable& previous, DbfTable& current, K kind) {
    if (std::string error = current.Insert(); !error.empty()) return error;
    const auto& columns = current.columns();
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const int from = previous.ColumnIndex(columns[c].name);
        if (from < 0) continue;
        const int to = static_cast<int>(c);
        std::string error = columns[c].type == DbfType::Logical ? current.SetLogical(to, previous.Logical(from))
                                                                 : current.SetText(to, previous.Text(from), '.');
        if (!error.empty()) {
            current.Cancel();
            return error;
        }
    }
    if (kind == K::Cell && previous.ColumnIndex("CELLTYPE") < 0) {
        const std::string type = DerivedCellType(previous.Text("VOLTAGE"), previous.Text("CELLNAME"));
        if (!type.empty()) current.SetText("CELLTYPE", type);
    }
    std::string error = current.Post();
    if (!error.empty()) current.Cancel();
    return error;
}

} // namespace

const std::array<CarryOverTable, kComponentTableCount>& CarryOverTables() { return kTables; }

bool NeverCarriedOver(ComponentTableKind kind, std::string_view name) {
    static constexpr std::string_view kMotors[] = {"Keller KR 25/4 8.4V 4T #4320", "Plettenberg HP 300/20/A3S",
                                                   "Plettenberg HP 370/20/A2S", "Plettenberg HP 370/20/A3S"};
    static constexpr std::string_view kControls[] = {"Generic Brushless ESC", "Generic High Rate ESC"};
    static constexpr std::string_view kDrives[] = {
        "Propellor Efficiency Curve for 2.3:1", "Propellor Efficiency Curve for 2.5:1",
        "Propellor Efficiency Curve for 3:1", "Propellor Efficiency Curve for 3.5:1"};
    const auto in = [&](const auto& list) { return std::find(std::begin(list), std::end(list), name) != std::end(list); };
    switch (kind) {
    case K::Motor: return in(kMotors);
    case K::SpeedControl: return in(kControls);
    case K::PropellerDrive: return in(kDrives);
    default: return false;
    }
}

std::string DerivedCellType(std::string_view voltageText, std::string_view cellName) {
    while (!voltageText.empty() && voltageText.front() == ' ') voltageText.remove_prefix(1);
    while (!voltageText.empty() && voltageText.back() == ' ') voltageText.remove_suffix(1);
    double voltage = 0;
    const bool empty = voltageText.empty();
    if (!empty) std::from_chars(voltageText.data(), voltageText.data() + voltageText.size(), voltage);
    if (!empty && voltage >= 3.6) return "LiPo";
    std::string lower(cellName);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* maker : {"nimh", "sanyo h", "panasonic h"})
        if (lower.find(maker) != std::string::npos) return "NiMH";
    if (empty || voltage <= 1.25) return "NiCd";
    return {};
}

int CarryOverResult::total() const {
    int sum = 0;
    for (const int n : copied) sum += n;
    return sum;
}

CarryOverResult CarryOverPreviousVersion(const std::filesystem::path& previousFolder, TCompDataModule& tables,
                                         const CarryOverProgress& progress) {
    CarryOverResult result;
    const auto line = [&](std::string text) {
        if (progress.line) progress.line(text);
        result.lines.push_back(std::move(text));
    };
    const auto open = [&](std::string_view file) {
        return DbfTable::Open((previousFolder / file).string(), DbfTable::Access::Shared);
    };
    // No previous installation: nothing to do. A previous motor table that exists but is damaged is
    // reported below like any other, and the other tables are still carried over.
    std::error_code missing;
    if (!std::filesystem::exists(previousFolder / kTables[0].previousFile, missing)) return result;
    result.previousFound = true;

    for (std::size_t t = 0; t < kTables.size(); ++t) {
        const CarryOverTable& info = kTables[t];
        if (progress.tableStarted) progress.tableStarted(static_cast<int>(t));
        const std::filesystem::path path = previousFolder / info.previousFile;
        DbfTable::OpenResult opened = open(info.previousFile);
        DbfTable* current = tables.Table(info.kind);
        std::error_code ec;
        const bool exists = std::filesystem::exists(path, ec);
        if (exists && (!opened.table || !opened.warnings.empty())) {
            // A damaged table: name it and carry over nothing of it rather than a part.
            if (!result.lines.empty()) line(" ");
            line(std::string(info.previousFile) + " could not be read and was skipped.");
            result.skippedTables.emplace_back(info.previousFile);
        } else if (opened.table && current) {
            DbfTable& previous = *opened.table;
            previous.First();
            for (std::size_t r = 0; r < previous.size(); ++r) {
                previous.MoveTo(r);
                const std::string name = previous.Name();
                if (NeverCarriedOver(info.kind, name) || AlreadyHeld(previous, *current, name)) continue;
                if (const std::string error = InsertCopy(previous, *current, info.kind); !error.empty()) {
                    line("Not updated " + name + ": " + error);
                    continue;
                }
                if (result.copied[t] == 0) {
                    if (!result.lines.empty()) line(" ");
                    line(std::string(info.kindName) + ":");
                }
                line("Updated " + name);
                ++result.copied[t];
            }
        }
        if (progress.tableDone) progress.tableDone(static_cast<int>(t));
    }

    const int cells = result.copied[1];
    if (cells > 0) {
        line(" ");
        line(std::to_string(cells) + " cell" + (cells > 1 ? "s" : "") + " were updated from your");
        line("Ampvane 7 database (see the list");
        line("above). Please ensure that the");
        line("\"Type\" and \"C Rating\" are set");
        line("appropriately for each of them.");
    } else if (result.total() == 0) {
        line("No data was found in your Ampvane 7");
        line("database that wasn't already in the");
        line("Ampvane 8 database.");
    }
    return result;
}

} // namespace ampvane
