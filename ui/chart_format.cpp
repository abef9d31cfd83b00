// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_format.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace phbuffer::ui {

std::optional<ChartFormat> chartFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg"))
        return ChartFormat::Svg;
    if (suffix == QLatin1String("png"))
        return ChartFormat::Png;
    if (suffix == QLatin1String("pdf"))
        return ChartFormat::Pdf;
    return std::nullopt;
}

QString chartFormatNames() {
    return QCoreApplication::translate("ChartFormat", "svg, png or pdf");
}

} // namespace phbuffer::ui
