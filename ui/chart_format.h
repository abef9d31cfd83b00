// SPDX-License-Identifier: GPL-3.0-or-later
//
// The picture formats the chart is written in, told apart by the file name's extension.
#pragma once

#include <QString>

#include <optional>

namespace phbuffer::ui {

enum class ChartFormat { Svg, Png, Pdf };

/// The format that the extension of @p path names (.svg, .png or .pdf, in any case), or
/// nothing for any other extension or none.
std::optional<ChartFormat> chartFormatOf(const QString& path);

/// The most pixels a PNG chart has: its bitmap, 4 bytes a pixel, is held whole while it is
/// drawn and encoded, and this keeps it to 160 MB. Vector formats have no such limit.
inline constexpr qint64 kMaxPngPixels = 40'000'000;

/// The extensions chartFormatOf knows, for messages: "svg, png or pdf".
QString chartFormatNames();

} // namespace phbuffer::ui
