// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/messages.h"
#include "common/numeric_text.h"
#include "online/web_update.h"
#include "workbench/settings.h"

namespace ampvane {

class TOnlineCommands;
class TParameterInputForm;

// The online commands (updates, contributions, contributed data, support) on the workbench's fields and
// options, connected to its Update menu and tool bar; owned by the workbench. The update commands stay
// disabled without a table importer.
TOnlineCommands* ConnectOnlineCommands(TParameterInputForm& workbench, Settings* settings, NumberLocale locale,
                                       TableImporter import, MessageSink& messages);

} // namespace ampvane
