// SPDX-License-Identifier: GPL-3.0-or-later
//
// The main window's size and its panels' heights. Every other component sits where the
// window places it, in pixels of its panel.
#pragma once

#include <QSize>

namespace phbuffer::app::layout {

/// The client area. The chart takes what the two bottom panels leave (454 pixels here).
constexpr QSize kClientSize(1218, 757);
/// Panel1, the button bar at the bottom.
constexpr int kPanel1Height = 41;
/// Panel2, the input panel above it.
constexpr int kPanel2Height = 262;
/// Panel2's width at which every one of its components is in sight; a narrower window
/// scrolls it sideways.
constexpr int kPanel2Width = 841;
/// The smallest client area: every button, grid and box is on the screen, the input panel
/// scrolling sideways, and the chart keeps room for its axes.
constexpr QSize kMinimumClientSize(860, 480);
/// Label1 may take the width up to the preset buttons; a longer caption wraps.
constexpr int kLabel1MaxWidth = 656 - 399 - 4;
/// "Run pH model" keeps this distance from the right edge of Panel1, wherever that is.
constexpr int kRunButtonRightGap = 1218 - 1101;

} // namespace phbuffer::app::layout
