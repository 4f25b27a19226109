// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "project/workbench_fields.h"
#include "common/messages.h"
#include "common/numeric_text.h"
#include "data/table_catalogue.h"
#include "wizard/wizard_answers.h"
#include "wizard/wizard_search.h"

// Applying a chosen result to the workbench: motor, battery, a generic propeller drive, a speed
// control, the plane and the wizard's answers. The table look-ups and the groups' New commands
// belong to the workbench; the caller passes them in.

namespace ampvane {

struct WizardAcceptServices {
    // Whether the kind's table holds a record of that name.
    std::function<bool(ComponentTableKind, std::string_view)> tableHolds;
    // Fills the kind's group from the named record; false when there is none.
    std::function<bool(ComponentTableKind, std::string_view)> loadByName;
    // Empties the kind's group as its New command does.
    std::function<void(ComponentTableKind)> newGroup;
};

struct WizardAcceptUnits {
    bool metricDimensions = false; // cm, dm², g in the airframe fields
    bool metricPropSizes = false;  // propeller sizes in cm
};

// The flying conditions the options receive (they ignore values outside their ranges).
struct WizardFlyingConditions {
    double temperatureCelsius = 15;
    double pressureInHg = kStandardPressureInchesHg;
    double elevationFeet = 0;
};

// A pack name "<cell name> <P>-parallel" taken apart: the cell name and the whole count P; a name
// without the suffix has count 0.
struct PackName {
    std::string cellName;
    int parallel = 0;
};
PackName SplitPackName(std::string_view packName);

// Writes the result into the fields (steps after the project question). `planeChanged` says whether
// the plane's name and airframe are written too. Returns the flying conditions for the options.
WizardFlyingConditions AcceptWizardResult(WorkbenchFields& fields, const TResultObject& result,
                                          const WizardAnswers& answers, const WizardSearchSettings& settings,
                                          bool planeChanged, const WizardAcceptUnits& units,
                                          const NumberLocale& locale, const WizardAcceptServices& services,
                                          MessageSink& messages);

// "Copy Plane from Workbench": the plane, motor count, sizes, flying conditions and the names of
// the workbench, then the stored answers of its WIZARDINFO text.
struct WizardCopySource {
    bool metricDimensions = false;
    bool metricPropSizes = false;
    bool metricTempPress = false;
    std::string elevation, temperature, pressure; // the options' flying-condition texts
};
void CopyPlaneFromWorkbench(WizardAnswers& answers, const WorkbenchFields& fields, const WizardCopySource& source,
                            std::span<const std::string> manufacturers, const NumberLocale& locale);

} // namespace ampvane
