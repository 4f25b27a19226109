// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/window_placement.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace ampvane {

std::optional<WindowRect> ParseWindowRect(std::string_view text) {
    int values[4] = {};
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int& value : values) {
        while (p < end && *p == ' ') ++p;
        const auto [next, error] = std::from_chars(p, end, value);
        if (error != std::errc() || next == p) return std::nullopt;
        p = next;
    }
    while (p < end && *p == ' ') ++p;
    if (p != end || values[2] <= 0 || values[3] <= 0) return std::nullopt;
    return WindowRect{values[0], values[1], values[2], values[3]};
}

std::string WindowRectText(const WindowRect& r) {
    return std::to_string(r.x) + ' ' + std::to_string(r.y) + ' ' + std::to_string(r.width) + ' ' +
           std::to_string(r.height);
}

std::optional<ColumnWidths> ParseColumnWidths(std::string_view text) {
    ColumnWidths widths;
    const char* p = text.data();
    const char* end = text.data() + text.size();
    while (true) {
        while (p < end && *p == ' ') ++p;
        if (p == end) break;
        int column = 0, width = 0;
        const auto columnRead = std::from_chars(p, end, column);
        if (columnRead.ec != std::errc() || columnRead.ptr == p || columnRead.ptr == end || *columnRead.ptr != ':')
            return std::nullopt;
        p = columnRead.ptr + 1;
        const auto widthRead = std::from_chars(p, end, width);
        const char* next = widthRead.ptr;
        if (widthRead.ec != std::errc() || next == p || (next != end && *next != ' ')) return std::nullopt;
        if (column < 0 || column > 999 || width < 1 || width > 9999) return std::nullopt;
        widths[column] = width;
        p = next;
    }
    if (widths.empty()) return std::nullopt;
    return widths;
}

std::string ColumnWidthsText(const ColumnWidths& widths) {
    std::string text;
    for (const auto& [column, width] : widths) {
        if (!text.empty()) text += ' ';
        text += std::to_string(column) + ':' + std::to_string(width);
    }
    return text;
}

namespace {
std::int64_t Overlap(const WindowRect& a, const WindowRect& b) {
    const std::int64_t w = std::min<std::int64_t>(std::int64_t{a.x} + a.width, std::int64_t{b.x} + b.width) -
                           std::max(a.x, b.x);
    const std::int64_t h = std::min<std::int64_t>(std::int64_t{a.y} + a.height, std::int64_t{b.y} + b.height) -
                           std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}
} // namespace

WindowRect PlaceOnScreens(const WindowRect& stored, std::span<const WindowRect> screens) {
    if (screens.empty()) return stored;
    const WindowRect* best = &screens.front();
    std::int64_t most = 0;
    for (const WindowRect& screen : screens)
        if (const std::int64_t area = Overlap(stored, screen); area > most) {
            most = area;
            best = &screen;
        }
    const WindowRect& s = *best;
    WindowRect placed = stored;
    placed.width = std::clamp(stored.width, 1, std::max(1, s.width));
    placed.height = std::clamp(stored.height, 1, std::max(1, s.height));
    placed.x = static_cast<int>(std::clamp<std::int64_t>(stored.x, s.x, std::int64_t{s.x} + s.width - placed.width));
    placed.y = static_cast<int>(std::clamp<std::int64_t>(stored.y, s.y, std::int64_t{s.y} + s.height - placed.height));
    return placed;
}

namespace {
WindowRect Outer(const WindowRect& inside, const FrameMargins& f) {
    return {inside.x - f.left, inside.y - f.top, inside.width + f.left + f.right, inside.height + f.top + f.bottom};
}
WindowRect Inner(const WindowRect& outer, const FrameMargins& f) {
    return {outer.x + f.left, outer.y + f.top, std::max(1, outer.width - f.left - f.right),
            std::max(1, outer.height - f.top - f.bottom)};
}
} // namespace

FrameMargins MarginsToUse(const FrameMargins& own, const FrameMargins& other) { return own.Known() ? own : other; }

WindowRect FitInsideOnScreens(const WindowRect& inside, const FrameMargins& frame, std::span<const WindowRect> screens) {
    if (screens.empty()) return inside;
    return Inner(PlaceOnScreens(Outer(inside, frame), screens), frame);
}

WindowRect NextInCascade(const WindowRect& previous, int step, const FrameMargins& frame,
                         std::span<const WindowRect> screens) {
    WindowRect next = previous;
    next.x += step;
    next.y += step;
    if (screens.empty()) return next;
    const WindowRect fitted = FitInsideOnScreens(next, frame, screens);
    if (fitted.x == next.x && fitted.y == next.y) return fitted;
    // It would be pushed back against the edge, on top of the one before: start again at the top left.
    const WindowRect outer = Outer(fitted, frame);
    const auto holds = [&](const WindowRect& s) {
        return outer.x >= s.x && outer.y >= s.y && outer.x + outer.width <= s.x + s.width &&
               outer.y + outer.height <= s.y + s.height;
    };
    const auto found = std::find_if(screens.begin(), screens.end(), holds);
    const WindowRect& screen = found != screens.end() ? *found : screens.front();
    return FitInsideOnScreens({screen.x + frame.left + step, screen.y + frame.top + step, fitted.width, fitted.height},
                              frame, screens);
}

WindowRect NearOwner(const WindowRect& owner, int width, int height, int step, const FrameMargins& frame,
                     std::span<const WindowRect> screens) {
    return FitInsideOnScreens({owner.x + step, owner.y + step, width, height}, frame, screens);
}

WindowRect BesideOwner(const WindowRect& owner, int width, int height, int step, const FrameMargins& frame,
                       std::span<const WindowRect> screens) {
    if (screens.empty()) return NearOwner(owner, width, height, step, frame, screens);
    const WindowRect o = Outer(owner, frame);
    const WindowRect& s = *std::max_element(screens.begin(), screens.end(), [&](const WindowRect& a, const WindowRect& b) {
        return Overlap(o, a) < Overlap(o, b);
    });
    const WindowRect wanted = Outer({0, 0, width, height}, frame);
    const int right = o.x + o.width, bottom = o.y + o.height;
    // The room on each side of the owner, within its screen.
    const WindowRect rooms[] = {
        {right, s.y, s.x + s.width - right, s.height},
        {s.x, s.y, o.x - s.x, s.height},
        {s.x, bottom, s.width, s.y + s.height - bottom},
        {s.x, s.y, s.width, o.y - s.y},
    };
    const WindowRect starts[] = {
        {right, o.y, wanted.width, wanted.height},
        {o.x - wanted.width, o.y, wanted.width, wanted.height},
        {o.x, bottom, wanted.width, wanted.height},
        {o.x, o.y - wanted.height, wanted.width, wanted.height},
    };
    std::optional<WindowRect> best;
    std::int64_t most = 0;
    for (int side = 0; side < 4; ++side) {
        const WindowRect& room = rooms[side];
        // A sliver is no place to read in: half the wanted size at least, or the whole of a small one.
        if (room.width < std::min(wanted.width, std::max(240, wanted.width / 2)) ||
            room.height < std::min(wanted.height, std::max(160, wanted.height / 2)))
            continue;
        const WindowRect placed = PlaceOnScreens(starts[side], std::span(&room, 1));
        if (const std::int64_t area = std::int64_t{placed.width} * placed.height; area > most) {
            most = area;
            best = placed;
        }
    }
    return best ? Inner(*best, frame) : NearOwner(owner, width, height, step, frame, screens);
}

} // namespace ampvane
