// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Help topic numbers that are the program's own rather than a message's or a window's: the pages that
// the Help menu opens directly, and the page shown first.

namespace ampvane {

inline constexpr int kContentsHelpTopic = 1; // "&Help Topics..." before any other help was asked for
inline constexpr int kIntroductionHelpTopic = 2;
inline constexpr int kQuickTutorialHelpTopic = 3;
inline constexpr int kWhatsNewHelpTopic = 4;
inline constexpr int kTipsAndTricksHelpTopic = 5;
inline constexpr int kFaqHelpTopic = 6;
inline constexpr int kWizardHelpTopic = 90; // the wizard's first page
inline constexpr int kTipOfDayHelpTopic = 58;
inline constexpr int kCarryOverHelpTopic = 84;
// The online commands.
inline constexpr int kContributionHelpTopic = 92;
inline constexpr int kContributedDataHelpTopic = 94;
inline constexpr int kUpdateAllHelpTopic = 911;   // Update All, from the menu, the tool bar or the start-up
inline constexpr int kUpdateTableHelpTopic = 912; // the Update menu's item of one table

// The workbench's groups: a field's topic is its group's unless it has a page of its own.
inline constexpr int kMotorGroupHelpTopic = 100;
inline constexpr int kBatteryGroupHelpTopic = 200;
inline constexpr int kFilterGroupHelpTopic = 300;
inline constexpr int kPropellerGroupHelpTopic = 400;
inline constexpr int kFanGroupHelpTopic = 500;
inline constexpr int kSpeedControlGroupHelpTopic = 600;
inline constexpr int kAirframeGroupHelpTopic = 700;
// Windows that show results.
inline constexpr int kReportHelpTopic = 10;
inline constexpr int kInFlightHelpTopic = 11;
inline constexpr int kOpinionHelpTopic = 12;
inline constexpr int kComparisonHelpTopic = 13;
inline constexpr int kGraphsHelpTopic = 14;

// "Ampvane_" + n + ".htm".
inline std::string HelpPageName(int topic) { return "Ampvane_" + std::to_string(topic) + ".htm"; }

} // namespace ampvane
