// SPDX-License-Identifier: GPL-3.0-or-later
//
// The font of the window and of its chart, wherever the chart is drawn.
#pragma once

#include <QFont>

namespace phbuffer::chart {

/// The window font: Tahoma at 11 pixels (8 points on a 96 dpi screen). Where Tahoma is
/// missing, as on most Linux systems, a condensed sans-serif of similar widths takes its
/// place, so the captions still fit their buttons; failing that the default sans-serif.
QFont windowFont();

} // namespace phbuffer::chart
