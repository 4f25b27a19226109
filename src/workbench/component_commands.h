// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "project/workbench_fields.h"
#include "common/messages.h"
#include "common/numeric_text.h"
#include "data/comp_data_module.h"
#include "workbench/workbench_rules.h"

// Open, New and Save of the six component groups of the workbench: which table a group uses, the
// questions asked, and the conversion of the fields into a stored (imperial) record.

namespace ampvane {

// The table a group's commands use; the drive group uses the propeller or the fan table by its page.
ComponentTableKind GroupTableKind(ComponentGroup group, const WorkbenchFields& fields);
// The group's name field.
WorkbenchControl GroupNameField(ComponentGroup group);

// Before Open and New as user commands: with the group marked and a name in its name field, asks
// whether to discard the changes. True when the command may go on.
bool ConfirmDiscardGroup(const WorkbenchFields& fields, ComponentGroup group, Prompter& prompter);

// Empties the group's fields. The motor, battery, drive and airframe commands clear the group mark,
// the speed control and filter commands set it (so that saving the project warns about a blank one).
// As a user command the project mark is set too.
void NewComponentGroup(WorkbenchFields& fields, ComponentGroup group, bool userCommand, const NumberLocale& locale);

// Fills the group from the record its table stands on (the one chosen in the browser) and sets the
// project mark; the filter also gets "Use It" ticked.
void ComponentChosen(WorkbenchFields& fields, TCompDataModule& tables, ComponentGroup group,
                     const WorkbenchUnits& units, const NumberLocale& locale, MessageSink& messages);

enum class SaveOrigin { User, Project };

// Writes the group into its table as a new record or, after the replace question, over the record of
// that name. The name's first letter is upper-cased in the field. Returns true when a record was
// written; a blank name, a No answer or a value a column refuses write nothing.
bool SaveComponentGroup(WorkbenchFields& fields, TCompDataModule& tables, ComponentGroup group, SaveOrigin origin,
                        const WorkbenchUnits& units, const NumberLocale& locale, MessageSink& messages,
                        Prompter& prompter);

} // namespace ampvane
