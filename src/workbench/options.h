// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "common/numeric_text.h"
#include "common/messages.h"
#include "workbench/settings.h"

// The rules of the options dialogs, on the settings they edit. The windows bind their controls to a
// Settings value and call these; every message goes through the sink.

namespace ampvane {

inline constexpr int kOptionsHelpTopic = 20;
inline constexpr int kFlyingFieldHelpTopic = 203;
inline constexpr int kGearboxEfficiencyHelpTopic = 208;
inline constexpr int kAdvancedOptionsHelpTopic = 209;
inline constexpr int kColumnsHelpTopic = 204;
inline constexpr int kProxyHelpTopic = 2091;

inline constexpr std::string_view kRequiredColumnsMessage =
    "At least one of the purple column names must be selected for display on the reports.";
inline constexpr std::string_view kProxyPortMessage = "The Proxy Port must be a number from 0 to 65535.";

// The flying-field values as the options give them to the rest of the program, in display units,
// with the defaults of empty fields: elevation 0, the standard pressure, the standard-day temperature
// at the elevation, gearbox efficiency 95 %. A text that is no number reads as 0 after the warning.
double ElevationValue(const Settings& settings, const NumberLocale& locale, MessageSink& messages);
double PressureValue(const Settings& settings, const NumberLocale& locale, MessageSink& messages);
double TemperatureValue(const Settings& settings, const NumberLocale& locale, MessageSink& messages);
double GearboxEfficiencyValue(const Settings& settings, const NumberLocale& locale, MessageSink& messages);

enum class OptionsField { Elevation, Pressure, Temperature, GearboxEfficiency };

// Whether the field's text is drawn as out of range (in the unit its label shows). An empty field
// takes its default and is never out of range.
bool FieldOutOfRange(const Settings& settings, OptionsField field, const NumberLocale& locale,
                     MessageSink& messages);

// The OK button's checks in order; the first failure is reported (error, OK and Help, the field
// group's help topic) and the dialog stays open. True when all pass.
bool ValidateOptions(const Settings& settings, const NumberLocale& locale, MessageSink& messages);

// Setters for flying conditions brought by a wizard result or a pasted project, in display units. A value
// outside the range of the current units leaves the field unchanged and returns false.
bool SetElevation(Settings& settings, double value, const NumberLocale& locale);
bool SetPressure(Settings& settings, double value, const NumberLocale& locale);
bool SetTemperature(Settings& settings, double value, const NumberLocale& locale);

// The dialog's value buttons; each fills its field for the unit its label shows.
// What empty flying-field texts stand for, in the units shown: sea level, the standard pressure and the
// standard day's temperature at the elevation typed. The options dialog shows them greyed in the empty
// fields, which stay empty.
struct FlyingFieldTexts {
    std::string elevation, pressure, temperature;
};
FlyingFieldTexts EmptyFlyingFieldMeaning(const Settings& settings, const NumberLocale& locale);

void SeaLevelButtonClick(Settings& settings);
void StdPressureButtonClick(Settings& settings, const NumberLocale& locale);
void RoomTemperatureButtonClick(Settings& settings);
void TypicalGearboxEfficiencyButtonClick(Settings& settings);
void AllColumnsButtonClick(Settings& settings);

// A column box changed to `shown`. When that leaves none of the required value columns shown, the
// required-columns error is reported and the column is shown again. Returns the column's final state.
bool ColumnBoxClick(Settings& settings, ReportColumnSwitch column, bool shown, MessageSink& messages);

// The advanced dialog's OK: accepted when the trimmed host is empty or the trimmed port is a whole
// number from 0 to 65535; then both are stored trimmed. Otherwise the port error is reported and
// nothing is stored.
bool AcceptProxySettings(Settings& settings, std::string_view host, std::string_view port, MessageSink& messages);

// Force in newtons as the project text carries it: "Y" or "N".
std::string NewtonsText(const Settings& settings);
void SetNewtonsFromText(Settings& settings, std::string_view text);

} // namespace ampvane
