// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/dbf_table.h"

namespace ampvane {

// The eight component tables: kind numbers, names used in messages and files, and the columns as
// shipped with their presentation in the browser, exports and print.

enum class ComponentTableKind : int {
    Project = 0,
    Motor = 1,
    Cell = 2,
    Filter = 3,
    PropellerDrive = 4,
    FanDrive = 5,
    SpeedControl = 6,
    Airframe = 7,
};

inline constexpr int kComponentTableCount = 8;

// Conversion of a stored value for display in metric modes; 0 for none.
enum class DisplayUnitKind : int {
    None = 0,
    Weight = 1,
    PropellerSize = 2,
    Length = 3,
    Thrust = 4,
    Speed = 5,
    Temperature = 6,
    Area = 7,
    SmallDiameter = 8,
    SmallWeight = 9,
};

struct TableColumnInfo {
    std::string_view name;
    DbfType type = DbfType::Numeric;
    int width = 0;    // as shipped
    int decimals = 0; // as shipped
    std::string_view label;
    std::string_view displayFormat; // e.g. "0.000"; empty when none
    int displayWidth = 0;           // 0 when none is given
    DisplayUnitKind unitKind = DisplayUnitKind::None;
    std::string_view defaultText; // the value a stored 0 stands for; empty when none
    bool hidden = false;          // hidden in the browser and in HTML export
    std::optional<double> minimum;
    std::optional<double> maximum;
};

struct TableInfo {
    ComponentTableKind kind;
    std::string_view tableObject;  // e.g. "MotorTable"
    std::string_view file;         // e.g. "MOTOR8.DBF"
    std::string_view indexFile;    // e.g. "MOTOR8.NTX"
    std::string_view previousFile; // the previous major version's table, e.g. "MOTOR7.DBF"
    std::string_view typeName;     // e.g. "Motor"
    std::string_view key;          // e.g. "motor"
    std::string_view similarityWeights; // empty: no Find Similar
    std::span<const TableColumnInfo> columns;
};

// Catalogue entry of a kind 0..7; nullptr for any other number.
const TableInfo* TableInfoOf(int kind);
inline const TableInfo& TableInfoOf(ComponentTableKind kind) { return *TableInfoOf(static_cast<int>(kind)); }

// Type name and key of a kind; empty for a kind outside 0..7.
std::string TypeNameOf(int kind);
std::string TypeKeyOf(int kind);
std::string_view SimilarityWeights(int kind);
// The kind whose type name is exactly `typeName` (case-sensitive).
std::optional<ComponentTableKind> KindForTypeName(std::string_view typeName);

// Order in which tables are opened, closed, exported: motors, cells, propeller drives, fan drives,
// speed controls, filters, airframes, projects.
std::span<const ComponentTableKind> TableOpeningOrder();

// Column specifications for creating a table of this kind with the shipped layout.
std::vector<DbfColumnSpec> ShippedColumns(ComponentTableKind kind);

// Attaches the catalogue's labels and ranges to an opened table's columns (matched by name), so
// that the engine's messages name the column as the user sees it.
void ApplyColumnInfo(ComponentTableKind kind, DbfTable& table);

const TableColumnInfo* FindColumnInfo(ComponentTableKind kind, std::string_view column);

// A stored (imperial) value as the browser, exports and print show it.
struct DisplayedValue {
    double value = 0;
    int decimals = 0;       // meaningful only when converted
    bool converted = false; // false: the stored value, shown with the column's own format
};

// Converts a stored value of a column with this unit kind for the measurement mode (0 all imperial,
// 1 imperial with metric temperature and pressure, 2 metric with propeller sizes in inches, 3 all
// metric); thrust goes to newtons instead of grams when force in newtons is chosen.
DisplayedValue DisplayStoredValue(DisplayUnitKind unit, double stored, int measurementMode, bool forceInNewtons);

} // namespace ampvane
