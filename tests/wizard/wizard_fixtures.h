// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "common/messages.h"
#include "data/comp_data_module.h"
#include "wizard/wizard_search.h"

namespace ampvane::wizard_testing {

inline std::string ShippedFolder() { return std::string(AMPVANE_BINARY_DIR) + "/app/Initial"; }

// The shipped motor and cell tables as the search reads them, and the shipped cell list.
struct ShippedDatabase {
    WizardDatabase db;
    std::vector<CellEntry> cells;
    std::vector<std::string> prefixes;
};

inline const ShippedDatabase& Shipped() {
    static const ShippedDatabase shipped = [] {
        ShippedDatabase s;
        NullMessageSink quiet;
        auto motors = OpenComponentTable(ShippedFolder() + "/MOTOR8.DBF", ComponentTableKind::Motor,
                                         DbfTable::Access::Shared, quiet);
        auto cells = OpenComponentTable(ShippedFolder() + "/CELL8.DBF", ComponentTableKind::Cell,
                                        DbfTable::Access::Shared, quiet);
        if (motors && cells) s.db = ReadWizardDatabase(motors.get(), cells.get());
        s.cells = LoadWizardCells(s.db, ReadWizardCellList(ShippedFolder(), {}, quiet));
        s.prefixes = ReadManufacturerPrefixes(ShippedFolder(), {}, quiet);
        return s;
    }();
    return shipped;
}

// A sport model of 60 in span and 600 sq.in weighing 40 oz without the power system.
inline WizardAnswers SportModel() {
    WizardAnswers a;
    a.planeName = "Sport 60";
    a.level = WizardLevel::Sport;
    a.wingSpan = "60";
    a.wingArea = "600";
    a.emptyWeight = "40";
    return a;
}

} // namespace ampvane::wizard_testing
