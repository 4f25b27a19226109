// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/table_catalogue.h"

#include <array>
#include <cmath>

#include "common/unit_conversion.h"

namespace ampvane {

namespace {

using U = DisplayUnitKind;

constexpr TableColumnInfo Text(std::string_view name, int width, std::string_view label, int displayWidth = 0,
                               bool hidden = false) {
    TableColumnInfo c;
    c.name = name;
    c.type = DbfType::Character;
    c.width = width;
    c.label = label;
    c.displayWidth = displayWidth;
    c.hidden = hidden;
    return c;
}

constexpr TableColumnInfo Number(std::string_view name, int width, int decimals, std::string_view label,
                                 std::string_view format, int displayWidth = 0, U unit = U::None,
                                 std::string_view defaultText = {}, bool hidden = false) {
    TableColumnInfo c;
    c.name = name;
    c.type = DbfType::Numeric;
    c.width = width;
    c.decimals = decimals;
    c.label = label;
    c.displayFormat = format;
    c.displayWidth = displayWidth;
    c.unitKind = unit;
    c.defaultText = defaultText;
    c.hidden = hidden;
    return c;
}

constexpr TableColumnInfo Logical(std::string_view name, std::string_view label, bool hidden = false) {
    TableColumnInfo c;
    c.name = name;
    c.type = DbfType::Logical;
    c.width = 1;
    c.label = label;
    c.hidden = hidden;
    return c;
}

constexpr TableColumnInfo Ranged(TableColumnInfo c, double minimum, double maximum) {
    c.minimum = minimum;
    c.maximum = maximum;
    return c;
}

const std::array kMotorColumns = {
    Text("MOTORNAME", 40, "Motor Name"),
    Number("MOTORSTANT", 9, 2, "Constant", "0", 9),
    Number("IDLECRRENT", 8, 3, "Current", "0.000", 7),
    Number("ARMATTANCE", 9, 4, "Resistance", "0.0000"),
    Number("WEIGHT", 8, 2, "Weight", "0.00", 7, U::Weight),
    Logical("BRUSHLESS", "Brushless"),
    Logical("OUTRUNNER", "Out-runner"),
};

const std::array kCellColumns = {
    Text("CELLNAME", 40, "Cell Name", 42),
    Number("CAPACITY", 8, 0, "Capacity", "0", 8),
    Number("VOLTAGE", 6, 2, "Voltage", "0.00", 8, U::None, "1.20"),
    Number("INTERTANCE", 8, 4, "Impedance", "0.0000", 9),
    Number("WEIGHT", 8, 2, "Weight", "0.00", 7, U::SmallWeight),
    Text("CELLTYPE", 4, "Type", 5),
    Number("CRATING", 6, 1, "C Rating", "0", 8),
};

const std::array kDriveColumns = {
    Text("DRIVEMNAME", 40, "Description"),
    Ranged(Number("GEARROFROM", 7, 2, "Gear From", "0.00"), 0, 100),
    Number("GEARRTIOTO", 7, 2, "To", "0.00", 6),
    Number("GEARRTIOBY", 7, 2, "By", "0.00", 6),
    Number("GEARBOXEFF", 6, 1, "Effic", "00.0", 6),
    Number("PROPERFROM", 7, 2, "Diam From", "0.00", 0, U::PropellerSize),
    Number("PROPETERTO", 7, 2, "To", "0.00", 6, U::PropellerSize),
    Number("PROPETERBY", 7, 2, "By", "0.00", 6, U::PropellerSize),
    Number("PROPEHFROM", 7, 2, "Pitch From", "0.00", 0, U::PropellerSize),
    Number("PROPETCHTO", 7, 2, "To", "0.00", 6, U::PropellerSize),
    Number("PROPETCHBY", 7, 2, "By", "0.00", 6, U::PropellerSize),
    Number("PROPELADES", 3, 0, "Blades", "", 6),
    Number("PROPCONST", 7, 3, "PConst", "0.000", 6),
    Number("THRUSCONST", 7, 3, "TConst", "0.000", 6),
    Number("WEIGHT", 8, 2, "Weight", "0.00", 6, U::Weight),
};

const std::array kFanDriveColumns = {
    Text("DRIVEMNAME", 40, "Description"),
    Number("FANDIAM", 7, 2, "Diam", "0.00", 7, U::SmallDiameter),
    Number("FANPITCH", 7, 2, "Pitch", "0.00", 7, U::SmallDiameter),
    Number("FANHUBDIAM", 7, 2, "Hub", "0.00", 7, U::SmallDiameter),
    Number("POWERCOEFF", 7, 3, "PCoeff", "0.000", 6, U::None, "0.820"),
    Number("FANEFFIC", 7, 3, "TCoeff", "0.000", 6, U::None, "0.960"),
    Number("WEIGHT", 8, 2, "Weight", "0.00", 6, U::Weight),
};

const std::array kSpeedControlColumns = {
    Text("ESCNAME", 40, "Speed Control Name"),
    Number("RESISTANCE", 9, 4, "Resistance", "0.0000"),
    Number("MAXCURRENT", 7, 1, "Max Current", "0.0", 9),
    Number("WEIGHT", 8, 2, "Weight", "0.00", 6, U::SmallWeight),
    Logical("HIGHRATE", "High-rate"),
    Logical("BRUSHLESS", "Brushless"),
};

const std::array kFilterColumns = {
    Text("FILTERNAME", 40, "Filter Name"),
    Number("MAXCURRENT", 8, 1, "Max Current", "0.0"),
    Number("MAXPORLOSS", 8, 1, "Max Loss", "0.0"),
    Number("MINEFIENCY", 6, 1, "Min Effic", "0.0"),
    Number("MAXRPM", 8, 0, "Max RPM", "0.0"),
    Number("MINTHRUST", 8, 1, "Min Thrust", "0.0", 0, U::Thrust),
    Number("MINSPEED", 7, 1, "Min PSpd", "0.0", 0, U::Speed),
    Number("MAXSPEED", 7, 1, "Max PSpd", "0.0", 0, U::Speed),
    Number("MINTIME", 8, 1, "Min Time", "0.0"),
    Number("MAXPIRATIO", 6, 2, "Max PRatio", "0.0"),
};

const std::array kAirframeColumns = {
    Text("AIRFRENAME", 40, "Airframe Name", 43),
    Number("WINGSPAN", 8, 2, "Span", "0.00", 8, U::Length),
    Number("WINGAREA", 8, 1, "Area", "0.0", 8, U::Area),
    Number("EMPTYEIGHT", 8, 2, "Weight", "0.00", 8, U::Weight),
    Number("AIRFOLINFO", 9, 0, "", "", 0, U::None, {}, true),
    Number("DRAGINFO", 6, 0, "", "", 0, U::None, {}, true),
    Number("INDIAM", 7, 2, "In Diam", "0.00", 7, U::SmallDiameter, {}, true),
    Number("INLENGTH", 7, 2, "Length", "0.00", 7, U::Length, {}, true),
    Number("OUTDIAM", 7, 2, "Ex Diam", "0.00", 7, U::SmallDiameter, {}, true),
    Number("OUTLENGTH", 7, 2, "Length", "0.00", 7, U::None, {}, true),
};

const std::array kProjectColumns = {
    Text("CONFINNAME", 40, "Configuration"),
    Text("MOTORNAME", 40, "Motor", 30),
    Text("CELLNAME", 40, "Cell Type", 20),
    Number("CELLSFROM", 4, 0, "Series", "", 3),
    Number("CELLSTO", 4, 0, "To", "", 3),
    Number("PARACELLS", 4, 0, "Parallel", "", 3),
    Number("PARACELLTO", 4, 0, "To", "", 3),
    Text("DRIVEMNAME", 40, "Drive Sytem", 30),
    Number("NUMBEOTORS", 4, 0, "Series", "", 5),
    Number("PARALOTORS", 4, 0, "Parallel", "", 5),
    Number("NUMBEPROPS", 4, 0, "Props", "", 5),
    Text("ESCNAME", 40, "ESC", 30),
    Number("MULTIPLESC", 4, 0, "ESCs", "", 3),
    Text("AIRFRENAME", 40, "Airframe", 30),
    Text("FILTERNAME", 40, "Filter", 30),
    Logical("USEFILTER", "Use", true),
    Number("DRIVETYPE", 2, 0, "Drive", "", 3, U::None, {}, true),
    Text("WIZARDINFO", 80, "", 0, true),
    Text("WIREINFO", 10, "", 0, true),
};

const std::array kTables = {
    TableInfo{ComponentTableKind::Project, "AmpvaneTable", "AMPVANE8.DBF", "AMPVANE8.NTX", "AMPVANE7.DBF", "Project",
              "project", "", kProjectColumns},
    TableInfo{ComponentTableKind::Motor, "MotorTable", "MOTOR8.DBF", "MOTOR8.NTX", "MOTOR7.DBF", "Motor", "motor",
              "4222", kMotorColumns},
    TableInfo{ComponentTableKind::Cell, "CellTable", "CELL8.DBF", "CELL8.NTX", "CELL7.DBF", "Cell", "cell", "2622",
              kCellColumns},
    TableInfo{ComponentTableKind::Filter, "FilterTable", "FILTER8.DBF", "FILTER8.NTX", "FILTER7.DBF", "Filter",
              "filter", "", kFilterColumns},
    TableInfo{ComponentTableKind::PropellerDrive, "DriveTable", "DRIVE8.DBF", "DRIVE8.NTX", "DRIVE7.DBF",
              "Propeller Drive System", "propeller", "", kDriveColumns},
    TableInfo{ComponentTableKind::FanDrive, "FanDriveTable", "FANDRIV8.DBF", "FANDRIV8.NTX", "FANDRIV7.DBF",
              "Fan Drive System", "fan", "42244", kFanDriveColumns},
    TableInfo{ComponentTableKind::SpeedControl, "ESCTable", "ESC8.DBF", "ESC8.NTX", "ESC7.DBF", "Speed Control",
              "speed", "24", kSpeedControlColumns},
    TableInfo{ComponentTableKind::Airframe, "AirframeTable", "AIRFRAM8.DBF", "AIRFRAM8.NTX", "AIRFRAM7.DBF",
              "Airframe", "airframe", "444", kAirframeColumns},
};

constexpr std::array kOpeningOrder = {
    ComponentTableKind::Motor,        ComponentTableKind::Cell,   ComponentTableKind::PropellerDrive,
    ComponentTableKind::FanDrive,     ComponentTableKind::SpeedControl, ComponentTableKind::Filter,
    ComponentTableKind::Airframe,     ComponentTableKind::Project,
};

} // namespace

const TableInfo* TableInfoOf(int kind) {
    if (kind < 0 || kind >= kComponentTableCount) return nullptr;
    return &kTables[static_cast<size_t>(kind)];
}

std::string TypeNameOf(int kind) {
    const TableInfo* info = TableInfoOf(kind);
    return info ? std::string(info->typeName) : std::string();
}

std::string TypeKeyOf(int kind) {
    const TableInfo* info = TableInfoOf(kind);
    return info ? std::string(info->key) : std::string();
}

std::string_view SimilarityWeights(int kind) {
    const TableInfo* info = TableInfoOf(kind);
    return info ? info->similarityWeights : std::string_view();
}

std::optional<ComponentTableKind> KindForTypeName(std::string_view typeName) {
    for (const TableInfo& info : kTables)
        if (info.typeName == typeName) return info.kind;
    return std::nullopt;
}

std::span<const ComponentTableKind> TableOpeningOrder() { return kOpeningOrder; }

std::vector<DbfColumnSpec> ShippedColumns(ComponentTableKind kind) {
    std::vector<DbfColumnSpec> specs;
    for (const TableColumnInfo& c : TableInfoOf(kind).columns)
        specs.push_back({std::string(c.name), c.type, c.width, c.decimals});
    return specs;
}

const TableColumnInfo* FindColumnInfo(ComponentTableKind kind, std::string_view column) {
    for (const TableColumnInfo& c : TableInfoOf(kind).columns)
        if (c.name == column) return &c;
    return nullptr;
}

namespace {
// Half-to-even, like every rounding of the program.
double RoundToMultiple(double value, double step) { return std::nearbyint(value / step) * step; }
} // namespace

DisplayedValue DisplayStoredValue(DisplayUnitKind unit, double stored, int measurementMode, bool forceInNewtons) {
    const bool metric = measurementMode == 2 || measurementMode == 3;
    const bool metricPropellers = measurementMode == 3;
    auto shown = [](double value, int decimals) { return DisplayedValue{value, decimals, true}; };
    switch (unit) {
    case U::Weight:
        if (metric) return shown(stored * kGramsPerOunce, 0);
        break;
    case U::PropellerSize:
        if (metricPropellers) return shown(RoundToMultiple(stored * kCentimetresPerInch, 0.25), 2);
        break;
    case U::Length:
        if (metric) return shown(RoundToMultiple(stored * kCentimetresPerInch, 0.25), 2);
        break;
    case U::Thrust:
        if (metric) return forceInNewtons ? shown(stored * kNewtonsPerOunce, 2) : shown(stored * kGramsPerOunce, 0);
        break;
    case U::Speed:
        if (metric) return shown(RoundToMultiple(stored * kMetresPerSecondPerMph, 0.5), 1);
        break;
    case U::Temperature:
        if (measurementMode == 0) return shown(FahrenheitFromCelsius(stored), 0);
        break;
    case U::Area:
        if (metric) return shown(stored * kSquareDecimetresPerSquareInch, 1);
        break;
    case U::SmallDiameter:
        if (metric) return shown(RoundToMultiple(stored * kCentimetresPerInch, 0.025), 3);
        break;
    case U::SmallWeight:
        if (metric) return shown(stored * kGramsPerOunce, 1);
        break;
    case U::None: break;
    }
    return {stored, 0, false};
}

void ApplyColumnInfo(ComponentTableKind kind, DbfTable& table) {
    for (DbfColumn& column : table.mutableColumns()) {
        const TableColumnInfo* info = FindColumnInfo(kind, column.name);
        if (!info) continue;
        column.label = info->label.empty() ? std::string(info->name) : std::string(info->label);
        column.minimum = info->minimum;
        column.maximum = info->maximum;
    }
}

} // namespace ampvane
