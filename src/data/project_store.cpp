// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/project_store.h"

#include "common/numeric_text.h"

namespace ampvane {

namespace {

// A count column: "0" and blank both mean "not given".
std::string CountText(const DbfTable& table, std::string_view column) {
    std::string text = table.Text(column);
    return text == "0" ? std::string() : text;
}

struct CountColumn {
    std::string_view column;
    std::string ProjectRecord::*field;
};
constexpr CountColumn kCountColumns[] = {
    {"CELLSFROM", &ProjectRecord::cellsFrom},        {"CELLSTO", &ProjectRecord::cellsTo},
    {"PARACELLS", &ProjectRecord::parallelFrom},     {"PARACELLTO", &ProjectRecord::parallelTo},
    {"NUMBEOTORS", &ProjectRecord::seriesMotors},    {"PARALOTORS", &ProjectRecord::parallelMotors},
    {"NUMBEPROPS", &ProjectRecord::propellers},      {"MULTIPLESC", &ProjectRecord::speedControls},
};

} // namespace

ProjectRecord ReadProjectRecord(const DbfTable& table) {
    ProjectRecord r;
    r.name = table.Text("CONFINNAME");
    r.motor = table.Text("MOTORNAME");
    r.cell = table.Text("CELLNAME");
    r.drive = table.Text("DRIVEMNAME");
    r.speedControl = table.Text("ESCNAME");
    r.airframe = table.Text("AIRFRENAME");
    r.filter = table.Text("FILTERNAME");
    for (const CountColumn& c : kCountColumns) r.*c.field = CountText(table, c.column);
    r.useFilter = table.Logical("USEFILTER");
    r.driveType = table.Number("DRIVETYPE") == 1 ? 1 : 0;
    r.wizardInfo = table.Text("WIZARDINFO");
    r.wireInfo = table.Text("WIREINFO");
    return r;
}

std::string WriteProjectRecord(DbfTable& table, const ProjectRecord& record, bool replace, char decimal) {
    std::string error = replace ? table.Edit() : table.Insert();
    if (!error.empty()) return error;
    const auto set = [&](std::string_view column, std::string_view text) {
        if (error.empty()) error = table.SetText(column, text, decimal);
    };
    // Written in table order, as the columns are laid out.
    set("CONFINNAME", record.name);
    set("MOTORNAME", record.motor);
    set("CELLNAME", record.cell);
    set("CELLSFROM", TrimText(record.cellsFrom));
    set("CELLSTO", TrimText(record.cellsTo));
    set("PARACELLS", TrimText(record.parallelFrom));
    set("PARACELLTO", TrimText(record.parallelTo));
    set("DRIVEMNAME", record.drive);
    set("NUMBEOTORS", TrimText(record.seriesMotors));
    set("PARALOTORS", TrimText(record.parallelMotors));
    set("NUMBEPROPS", TrimText(record.propellers));
    set("ESCNAME", record.speedControl);
    set("MULTIPLESC", TrimText(record.speedControls));
    set("AIRFRENAME", record.airframe);
    set("FILTERNAME", record.filter);
    if (error.empty()) error = table.SetLogical("USEFILTER", record.useFilter);
    if (error.empty()) error = table.SetNumber("DRIVETYPE", record.driveType == 1 ? 1 : 0);
    set("WIZARDINFO", record.wizardInfo);
    set("WIREINFO", record.wireInfo);
    if (error.empty()) error = table.Post();
    if (!error.empty()) table.Cancel();
    return error;
}

std::vector<std::string> ProjectNames(DbfTable& table) {
    std::vector<std::string> names;
    table.UseNameIndex();
    for (table.First(); !table.Eof(); table.Next()) names.push_back(table.Name());
    return names;
}

} // namespace ampvane
