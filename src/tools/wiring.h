// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "project/workbench_fields.h"

// The wiring wizard: battery packs, speed controls and motors, the check that an arrangement can be
// wired, the diagram, and the counts and options written back into the workbench.

namespace ampvane {

inline constexpr int kWiringHelpTopic = 93;
inline constexpr int kWiringOptionsHelpTopic = 931;
inline constexpr int kWiringSavePrintHelpTopic = 932;
inline constexpr std::string_view kNotPossibleText = "Not Possible!";
inline constexpr std::string_view kWiringSaveFilter =
    "PNG Files|*.png|JPEG Files|*.jpg;*.jpeg|Windows Bitmap Files|*.bmp";

// Slider ranges.
inline constexpr int kMaxBatteries = 6, kMaxSpeedControls = 6, kMaxParallelMotors = 4, kMaxMotorRows = 6;

struct WiringState {
    int batteries = 1;      // B: packs in parallel
    int speedControls = 1;  // E
    int parallelMotors = 1; // P: motor columns on each speed control
    int motorRows = 1;      // R: motors in series per speed control times E
    bool alwaysParallel = false; // "Parallel All Batteries"
    bool usingBec = false;
    bool seriesParallel = true; // false: parallel-series
    bool brushless = false;
    bool operator==(const WiringState&) const = default;
};

struct WiringView {
    bool possible = false;              // Apply, OK, Save and Print; "Not Possible!" otherwise
    bool alwaysParallelEnabled = false; // "Parallel All Batteries"
    bool arrangementEnabled = false;    // the two arrangement buttons
};
WiringView WiringViewOf(const WiringState& state);

// The window's state when it opens: the counts from the workbench (clamped to the sliders), the
// defaults, then the remembered options of WIREINFO and the motor's brushless box.
WiringState WiringFromWorkbench(const WorkbenchFields& fields);

// WIREINFO: the tag format "-1;3;2;" (tags 1 parallel all, 3 series-parallel, 4 parallel-series,
// 2 BEC). Reading stops quietly at anything it does not understand, keeping what it has read.
std::string SaveWireInfo(const WiringState& state);
void RestoreWireInfo(WiringState& state, std::string_view text);

// Apply: the counts (an empty text for 1) and WIREINFO into the workbench. Nothing is written for an
// arrangement that is not possible.
bool ApplyWiring(const WiringState& state, WorkbenchFields& fields);

// ---- the diagram ---------------------------------------------------------------------------------

// Colour roles of the shared palette.
enum class WiringColour : int {
    White,
    Black,
    Positive,   // 4
    Junction,   // 5
    SeriesLink, // 6
    Phase,      // 7
    Shaft,      // 8
    BatteryFill,
    SpeedControlFill,
    MotorFill,
};
std::uint32_t WiringRgb(WiringColour colour, bool moreThan256Colours); // 0xRRGGBB

// Pixel-exact primitives in the composed picture's coordinates: every fill, wire (a one-pixel wide
// horizontal or vertical run) and mark is a rectangle covering x..x+w-1, y..y+h-1.
struct WiringRect {
    int x = 0, y = 0, w = 0, h = 0;
    WiringColour colour = WiringColour::Black;
};
struct WiringDrawing {
    int width = 0, height = 0;
    std::array<int, 3> panelWidths{};
    std::vector<WiringRect> rects; // painted in order
};
inline constexpr int kWiringPanelHeight = 281;
inline constexpr int kBatteryPanelWidth = 120, kSpeedControlPanelWidth = 120, kMotorPanelWidth = 301;

WiringDrawing DrawWiring(const WiringState& state, int motorPanelWidth = kMotorPanelWidth,
                         int panelHeight = kWiringPanelHeight);

// The drawing as 24-bit RGB rows, top row first.
std::vector<std::uint8_t> RasterizeWiring(const WiringDrawing& drawing, bool moreThan256Colours = true);

} // namespace ampvane
