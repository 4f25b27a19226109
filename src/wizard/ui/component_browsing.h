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

// The wizard's Select Motor and Select Cell Type: the component browser on the kind's table, opened
// modally below the name field with Delete and Print, positioned at the current name. Gives the
// chosen record's name, or nullopt when the browser closed without a choice.
using WizardBrowse = std::function<std::optional<std::string>(ComponentTableKind, const std::string& current,
                                                              QWidget* below)>;
// `units` is asked at each opening, so that a change of the options shows at once.
WizardBrowse ComponentBrowsing(TCompDataModule& tables, std::function<BrowserUnits()> units, MessageSink& messages,
                               Prompter& prompter);

} // namespace ampvane
