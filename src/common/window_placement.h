// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Where a window sits on the desktop, kept between runs as "x y width height".

namespace ampvane {

struct WindowRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowRect&) const = default;
};

std::optional<WindowRect> ParseWindowRect(std::string_view text); // nullopt for anything but four whole numbers with a positive size
std::string WindowRectText(const WindowRect& rect);

// The place a stored window takes on the screens there are now (their available areas, the primary first):
// on the screen it overlaps most, or the primary one when it overlaps none, moved and shrunk as needed
// to lie wholly inside that screen.
WindowRect PlaceOnScreens(const WindowRect& stored, std::span<const WindowRect> screens);

// What the window manager draws around a window's inside: the title bar and the borders. Unknown
// (all 0) until the window has been shown once with a frame.
struct FrameMargins {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const FrameMargins&) const = default;
    bool Known() const { return left || top || right || bottom; }
};

// The margins to reckon with: the window's own when known, else those of another framed window (the
// window manager draws them alike); none while no frame is known (a window is fitted again once its
// frame is known).
FrameMargins MarginsToUse(const FrameMargins& own, const FrameMargins& other);

// A window's inside (the place a window is given and keeps between runs) such that its frame lies
// wholly on the screen the frame overlaps most, moved and shrunk as PlaceOnScreens does: the title bar
// stays on the screen and reachable, whatever screen the place was stored on.
WindowRect FitInsideOnScreens(const WindowRect& inside, const FrameMargins& frame, std::span<const WindowRect> screens);

// The inside of the next window of a cascade: `step` pixels down and right of `previous`; when its frame
// would reach past the bottom or right edge of the screen, the cascade starts again near the screen's
// top left corner. Always fitted to the screen.
WindowRect NextInCascade(const WindowRect& previous, int step, const FrameMargins& frame,
                         std::span<const WindowRect> screens);

// A window opened near its owner (both insides): a step down and right of the owner's top left corner,
// fitted to the screen.
WindowRect NearOwner(const WindowRect& owner, int width, int height, int step, const FrameMargins& frame,
                     std::span<const WindowRect> screens);

// A window put beside its owner (both insides) without covering it: on the side of the owner's screen
// with the most room (right, left, below or above, in that order on a tie), shrunk to that room. Where
// no side has room for a usable window it opens near the owner as NearOwner places it.
WindowRect BesideOwner(const WindowRect& owner, int width, int height, int step, const FrameMargins& frame,
                       std::span<const WindowRect> screens);

// The widths a user gave a grid's columns, by column number, kept as "3:60 5:72": each a column from 0 to
// 999 and a width from 1 to 9999 pixels.
using ColumnWidths = std::map<int, int>;
std::optional<ColumnWidths> ParseColumnWidths(std::string_view text); // nullopt for anything else, or none
std::string ColumnWidthsText(const ColumnWidths& widths);

} // namespace ampvane
