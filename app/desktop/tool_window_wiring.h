// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/messages.h"

namespace ampvane {

class TCompDataModule;
class TParameterInputForm;
class TToolWindows;

// The estimator windows and the wiring wizard of the workbench, on its session: the workbench's
// openers of each are enabled and connected, the motor browsers look through `tables` (null: none).
// The windows belong to the workbench.
TToolWindows& InstallToolWindows(TParameterInputForm& workbench, TCompDataModule* tables, MessageSink& messages,
                                 Prompter& prompter);

} // namespace ampvane
