// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/messages.h"
#include "data/table_browse.h"
#include "data/table_catalogue.h"

class QWidget;

namespace ampvane {

class TCompDataModule;

// Choosing a component in the browser, as the workbench's group buttons and the wizard's Select Motor
// and Select Cell Type do: the browser on the kind's table, opened modally below `below` (a name
// field is kept in step with the choice) with Delete and Print, positioned at the current name. Gives
// the chosen record's name, or nullopt when the browser closed without a choice. The windows that
// browse take this function, so that they need not know the browser window.
using ComponentBrowse =
    std::function<std::optional<std::string>(ComponentTableKind, const std::string& current, QWidget* below)>;

// `units` is asked at each opening, so that a change of the options shows at once. A fresh browser
// is made for each opening.
ComponentBrowse ComponentBrowsing(TCompDataModule& tables, std::function<BrowserUnits()> units, MessageSink& messages,
                                  Prompter& prompter);

// One browser, made at the first opening as a child of that opening's window and kept for that
// window's life, so that the browse order chosen in it stays from one opening to the next.
ComponentBrowse KeptComponentBrowsing(TCompDataModule& tables, std::function<BrowserUnits()> units,
                                      MessageSink& messages, Prompter& prompter);

} // namespace ampvane
