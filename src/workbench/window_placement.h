// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

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

// The widths a user gave a grid's columns, by column number, kept as "3:60 5:72": each a column from 0 to
// 999 and a width from 1 to 9999 pixels.
using ColumnWidths = std::map<int, int>;
std::optional<ColumnWidths> ParseColumnWidths(std::string_view text); // nullopt for anything else, or none
std::string ColumnWidthsText(const ColumnWidths& widths);

} // namespace ampvane
