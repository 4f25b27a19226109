// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/window_placement.h"

class QWidget;

// Window places on the screens there are now, with the frame the window manager draws: the Qt side
// of common/window_placement.h.

namespace ampvane {

// The screens' available areas, the primary first.
std::vector<WindowRect> AvailableScreens();
// The window's frame; unknown (all 0) until the window manager has framed it.
FrameMargins MarginsOf(const QWidget& window);
// The frame of a shown window, which the window manager draws alike for every window; unknown when none
// is framed.
FrameMargins ShownMargins();

// Gives a window the inside `inside`, fitted so that its frame (when known, or another window's) lies
// wholly on a screen.
void FitWindowToScreens(QWidget& window, const WindowRect& inside);
// Places a window of a cascade `step` pixels down and right of the inside `previous`, wholly on a
// screen; where it would leave the screen the cascade starts again at the screen's top.
void CascadeWindow(QWidget& window, const WindowRect& previous, int step);
// Places a window a step down and right of its owner's corner, at its size hint, wholly on a screen.
void PlaceNearOwner(QWidget& window, const QWidget& owner);
// Moves a window that covers its owner (a question and its help) beside it, as BesideOwner places it.
void PlaceBesideOwner(QWidget& window, const QWidget& owner);
// Keeps a window no larger than the screen it is on (less its frame).
void FitSizeToScreen(QWidget& window);

WindowRect InsideOf(const QWidget& window);

} // namespace ampvane
