// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/window_placement.h"

#include <gtest/gtest.h>

namespace ampvane {
namespace {

TEST(WindowPlacement, KeptOnTheScreenItOverlapsMostElseThePrimary) {
    const WindowRect screens[] = {{0, 0, 1920, 1050}, {1920, 0, 1280, 1000}};
    const WindowRect cases[][2] = {
        {{100, 100, 800, 600}, {100, 100, 800, 600}},   // already on the primary
        {{2000, 50, 800, 600}, {2000, 50, 800, 600}},   // on the second screen, where it was
        {{2900, 50, 800, 600}, {2400, 50, 800, 600}},   // hanging off the second screen's edge
        {{-5000, -5000, 800, 600}, {0, 0, 800, 600}},   // on no screen there is now
        {{100, 900, 800, 600}, {100, 450, 800, 600}},   // below the bottom edge
        {{50, 50, 4000, 3000}, {0, 0, 1920, 1050}},     // larger than any screen
        {{1500, 100, 600, 400}, {1320, 100, 600, 400}}, // more on the primary than the right one
        {{1700, 100, 600, 400}, {1920, 100, 600, 400}}, // more on the right one
    };
    for (const auto& [stored, placed] : cases)
        EXPECT_EQ(PlaceOnScreens(stored, screens), placed) << WindowRectText(stored);
    EXPECT_EQ(PlaceOnScreens({5, 5, 10, 10}, {}), (WindowRect{5, 5, 10, 10}));
}

// A window's inside is what is stored and given back; its frame (title bar 24, borders 1) is what must
// stay on the screen, so that a place kept on a larger screen, or one that crept, comes back reachable.
TEST(WindowPlacement, InsideFittedSoThatTheFrameStaysOnTheScreen) {
    const WindowRect screens[] = {{0, 0, 1366, 740}, {1366, 0, 1600, 1000}}; // 1366x768 less a 28 px panel
    const FrameMargins frame{1, 24, 1, 1};
    const WindowRect cases[][2] = {
        {{100, 100, 800, 600}, {100, 100, 800, 600}},    // already whole on the screen: unchanged
        {{10, -20, 800, 600}, {10, 24, 800, 600}},       // title bar above the screen
        {{10, 10, 1350, 900}, {10, 24, 1350, 715}},      // stored on a taller screen: shrunk to fit
        {{2000, 900, 800, 600}, {2000, 399, 800, 600}},  // on the second screen, below its bottom
        {{-9000, 50, 800, 600}, {1, 50, 800, 600}},      // on no screen there is now: the primary
        {{0, 0, 5000, 5000}, {1367, 24, 1598, 975}},     // larger than any: the screen it covers most
    };
    for (const auto& [stored, placed] : cases)
        EXPECT_EQ(FitInsideOnScreens(stored, frame, screens), placed) << WindowRectText(stored);
    // Stable: a fitted place stays where it is, so closing and opening again never moves a window.
    for (const auto& [stored, placed] : cases) EXPECT_EQ(FitInsideOnScreens(placed, frame, screens), placed);

    // Margins: the window's own, else another window's.
    EXPECT_EQ(MarginsToUse({2, 30, 2, 2}, {1, 24, 1, 1}), (FrameMargins{2, 30, 2, 2}));
    EXPECT_EQ(MarginsToUse({}, {1, 24, 1, 1}), (FrameMargins{1, 24, 1, 1}));
    EXPECT_FALSE(MarginsToUse({}, {}).Known());
}

// Windows that cascade (further in-flight reports, a tool window near the workbench) stay whole on the
// screen: a cascade that would run off the bottom starts again at the top.
TEST(WindowPlacement, CascadesAndOwnedWindowsStayOnTheScreen) {
    const WindowRect screens[] = {{0, 0, 1366, 740}};
    const FrameMargins frame{1, 24, 1, 1};
    struct Case {
        WindowRect previous;
        WindowRect next;
    };
    const Case cascade[] = {
        {{100, 100, 600, 400}, {128, 128, 600, 400}},  // one step down and right
        {{100, 340, 600, 400}, {29, 52, 600, 400}},    // the bottom reached: again near the top left
        {{700, 100, 700, 400}, {29, 52, 700, 400}},    // the right edge reached
        {{0, 0, 1366, 740}, {1, 24, 1364, 715}},       // as large as the screen: fitted
    };
    for (const Case& c : cascade) EXPECT_EQ(NextInCascade(c.previous, 28, frame, screens), c.next);
    // Ten further windows never leave the screen.
    WindowRect place{300, 200, 640, 480};
    for (int i = 0; i < 10; ++i) {
        place = NextInCascade(place, 28, frame, screens);
        EXPECT_GE(place.y - frame.top, 0);
        EXPECT_LE(place.y + place.height + frame.bottom, 740);
    }
    const Case nearOwner[] = {
        {{200, 150, 1000, 560}, {240, 190, 400, 300}},  // below and right of the owner's corner
        {{900, 500, 400, 200}, {940, 439, 400, 300}},   // owner low on the screen: lifted to fit
    };
    for (const Case& c : nearOwner) EXPECT_EQ(NearOwner(c.previous, 400, 300, 40, frame, screens), c.next);
}

// A question's help beside it: wherever the question is, the help's frame is on the screen, leaves the
// question's frame uncovered and keeps at least half its size; with no room anywhere it opens near it.
TEST(WindowPlacement, HelpBesideItsQuestionNeverCoversIt) {
    const WindowRect screens[] = {{0, 0, 1366, 740}};
    const FrameMargins f{1, 24, 1, 1};
    const auto outer = [&](const WindowRect& r) {
        return WindowRect{r.x - f.left, r.y - f.top, r.width + f.left + f.right, r.height + f.top + f.bottom};
    };
    for (int x = 1; x < 1366 - 500; x += 97)
        for (int y = 24; y < 740 - 90; y += 61) {
            const WindowRect question{x, y, 500, 86};
            const WindowRect help = outer(BesideOwner(question, 820, 600, 40, f, screens)), q = outer(question);
            SCOPED_TRACE(testing::Message() << x << "," << y);
            EXPECT_TRUE(help.x >= 0 && help.y >= 0 && help.x + help.width <= 1366 && help.y + help.height <= 740);
            EXPECT_TRUE(help.x >= q.x + q.width || help.x + help.width <= q.x || help.y >= q.y + q.height ||
                        help.y + help.height <= q.y);
            EXPECT_GE(help.width * 2, 820);
            EXPECT_GE(help.height * 2, 600);
        }
    // The first start's question in the middle: to its right, as tall as asked.
    EXPECT_EQ(BesideOwner({384, 321, 500, 86}, 820, 600, 40, f, screens), (WindowRect{886, 115 + 24, 479, 600}));
    const WindowRect large{100, 60, 1200, 640};
    EXPECT_EQ(BesideOwner(large, 820, 600, 40, f, screens), NearOwner(large, 820, 600, 40, f, screens));
}

} // namespace
} // namespace ampvane
