// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/dbf_table.h"

// Projects as records of the project table: which components a workbench names and the counts
// around them. A project stores component names, never component data.

namespace ampvane {

// One project record. Counts are kept as the texts the workbench shows (trimmed on writing); a
// stored 0 or blank reads as an empty text.
struct ProjectRecord {
    std::string name;           // CONFINNAME, the record key
    std::string motor;          // MOTORNAME
    std::string cell;           // CELLNAME
    std::string cellsFrom;      // CELLSFROM
    std::string cellsTo;        // CELLSTO
    std::string parallelFrom;   // PARACELLS
    std::string parallelTo;     // PARACELLTO
    std::string drive;          // DRIVEMNAME
    std::string seriesMotors;   // NUMBEOTORS
    std::string parallelMotors; // PARALOTORS
    std::string propellers;     // NUMBEPROPS
    std::string speedControl;   // ESCNAME
    std::string speedControls;  // MULTIPLESC
    std::string airframe;       // AIRFRENAME
    std::string filter;         // FILTERNAME
    bool useFilter = false;     // USEFILTER
    int driveType = 0;          // DRIVETYPE: 0 propeller, 1 ducted fan
    std::string wizardInfo;     // WIZARDINFO
    std::string wireInfo;       // WIREINFO
    friend bool operator==(const ProjectRecord&, const ProjectRecord&) = default;
};

// The record the table stands on.
ProjectRecord ReadProjectRecord(const DbfTable& table);

// Writes the record: in place over the record the table stands on when `replace`, else as a new
// record. Counts use `decimal` as their separator. On any column error the pending change is
// abandoned, nothing is written and the error is returned; empty on success.
std::string WriteProjectRecord(DbfTable& table, const ProjectRecord& record, bool replace, char decimal = '.');

// The names of the stored projects in name order.
std::vector<std::string> ProjectNames(DbfTable& table);

} // namespace ampvane
