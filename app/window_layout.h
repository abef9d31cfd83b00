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

} // namespace phbuffer::app::layout
