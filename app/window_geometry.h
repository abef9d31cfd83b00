// SPDX-License-Identifier: GPL-3.0-or-later
//
// Where the windows go: on the screen they open on, whatever its size and scale, and
// where the user left them last time.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace phbuffer::app {

/// @p wanted shrunk to fit @p available (not below @p minimum where that fits) and moved
/// inside it; @p frame is what the window manager adds around the client area.
QRect fittedOnScreen(const QRect& wanted, const QRect& available, const QSize& minimum,
                     const QMargins& frame);
/// Where a window of frame size @p size goes beside @p mainFrame: to its right where
/// @p available has room, else to its left, else at the right edge of @p available.
QPoint besideWindow(const QRect& mainFrame, const QSize& size, const QRect& available);

/// Brings back the size and place that saveWindowPlaces kept for @p window and
/// @p analysis, kept on screen; does nothing before any were kept.
void restoreWindowPlaces(QWidget& window, QWidget& analysis);
/// Keeps the size and place of @p window and @p analysis in the user's settings.
void saveWindowPlaces(const QWidget& window, const QWidget& analysis);

} // namespace phbuffer::app
