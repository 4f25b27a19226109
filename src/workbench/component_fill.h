// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "common/numeric_text.h"
#include "project/workbench_fields.h"
#include "common/messages.h"
#include "data/comp_data_module.h"
#include "data/dbf_table.h"
#include "data/table_catalogue.h"
#include "workbench/workbench_rules.h"

// Filling a workbench group from a component record: the stored numbers (in imperial units) shown in
// the display units, with the display simplifications of each group, and the group mark cleared.

namespace ampvane {

// The workbench group a table kind fills (both drive tables: the drive; the project table: none).
ComponentGroup GroupOfKind(ComponentTableKind kind);
// Empties every text and check box of the kind's group, as the search wizard's accept does.
void ClearGroupFields(WorkbenchFields& fields, ComponentTableKind kind);

// Fills the group of `kind` from the table's current record.
void FillGroupFromRecord(WorkbenchFields& fields, ComponentTableKind kind, const DbfTable& table,
                         const WorkbenchUnits& units, const NumberLocale& locale, MessageSink& messages);

// Looks the name up in the kind's table and fills the group from it. Returns false, changing
// nothing, for an empty name, a closed table or a name the table does not hold.
bool LoadComponentByName(WorkbenchFields& fields, TCompDataModule& tables, ComponentTableKind kind,
                         std::string_view name, const WorkbenchUnits& units, const NumberLocale& locale,
                         MessageSink& messages);

// The sample project that a first start shows: its component names and counts, then each of its six
// components filled from the tables where they hold it. The fields keep the texts of `sample` for a
// component the tables lack; all marks are cleared and the name stays "Untitled".
void LoadSampleProject(WorkbenchFields& fields, const WorkbenchFields& sample, TCompDataModule& tables,
                       const WorkbenchUnits& units, const NumberLocale& locale, MessageSink& messages);

} // namespace ampvane
