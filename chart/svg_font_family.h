// SPDX-License-Identifier: GPL-3.0-or-later
//
// An SVG that names its font with a generic family after it, so that a machine without
// that font draws the text in a font of the same kind rather than in any at all.
#pragma once

#include <QByteArray>

namespace phbuffer::chart {

/// @p svg with ", sans-serif" after every font-family that names no generic family.
QByteArray withGenericFontFamily(const QByteArray& svg);

} // namespace phbuffer::chart
