// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot_export.h"

#include "text_file.h"

#include "model/number_text.h"

#include <cstddef>

namespace phbuffer::files {

QString plotDataLine(double x, double y, char32_t decimalSeparator) {
    return QString::fromStdString(model::formatFixed(x, 12, 3, decimalSeparator)) +
           QLatin1Char('\t') +
           QString::fromStdString(model::formatFixed(y, 12, 3, decimalSeparator));
}

QStringList plotDataLines(const model::Series* series, char32_t decimalSeparator) {
    QStringList lines;
    if (!series)
        return lines;
    lines.reserve(static_cast<qsizetype>(series->Count()));
    for (std::size_t i = 0; i < series->Count(); ++i)
        lines << plotDataLine(series->XValue(i), series->YValue(i), decimalSeparator);
    return lines;
}

void exportPlotData(FileSystem& files, const QString& path, const model::Series* series,
                    char32_t decimalSeparator) {
    files.replace(path, encodeTextLines(plotDataLines(series, decimalSeparator)));
}

} // namespace phbuffer::files
