// SPDX-License-Identifier: GPL-3.0-or-later
//
// The plot data file: one line per point of a curve, x TAB y, both with three decimals.
#pragma once

#include "file_system.h"
#include "model/series.h"

#include <QString>
#include <QStringList>

namespace phbuffer::files {

/// One line of the plot data file, without its line end: x and y fixed-point with
/// precision 12 and 3 decimals, separated by a TAB.
QString plotDataLine(double x, double y, char32_t decimalSeparator);

/// The lines of the plot data file for @p series, in its stored order; none for null.
QStringList plotDataLines(const model::Series* series, char32_t decimalSeparator);

/// Writes the points of @p series into the file @p path, replacing any old file only
/// once the new one is complete; no series, or one without points, gives an empty file.
/// Every point is written, however many there are.
/// @throws FileError; the old file is then unchanged.
void exportPlotData(FileSystem& files, const QString& path, const model::Series* series,
                    char32_t decimalSeparator);

} // namespace phbuffer::files
