// SPDX-License-Identifier: GPL-3.0-or-later
//
// The chart written to a file as a picture: SVG, PNG or PDF, chosen by the file name's
// extension. The window saves the chart it shows; the command line draws one with the
// same view on the offscreen platform.
#pragma once

#include "model/series.h"
#include "ui/chart_format.h"
#include "ui/components.h"

#include <QByteArray>
#include <QSize>
#include <QString>

namespace phbuffer::files {
class FileSystem;
}

namespace phbuffer::chart {

class ChartView;

/// @p view as drawn at its current size, as a file of @p format: an SVG picture with the
/// chart's title, a PNG bitmap of the view's size in pixels, or a one-page PDF document
/// whose page is the view's size in points.
/// @throws ui::HandlerError when the picture can't be made.
QByteArray chartPicture(ChartView& view, ui::ChartFormat format);

/// Writes @p view's picture to @p path in the format its extension names, replacing the
/// file only once the picture is complete.
/// @throws ui::HandlerError for an extension that names no format, files::FileError.
void saveChart(ChartView& view, const QString& path, files::FileSystem& fileSystem);

/// Draws @p chart with its two series at @p size pixels in a view that is never on the
/// screen, in the window's font, and writes it to @p path as saveChart does. Needs a
/// QApplication.
void writeChartFile(const QString& path, QSize size, const ui::Chart& chart,
                    const model::Series& titration, const model::Series& bufferStrength,
                    char32_t decimalSeparator, files::FileSystem& fileSystem);

} // namespace phbuffer::chart
