// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_font.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace phbuffer::chart {

QFont windowFont() {
    // The layout was drawn for Tahoma's widths: a plain DejaVu Sans at the same pixel size
    // runs about a tenth wider and cuts off "Create CO2 equilibrium at pH:" and the longer
    // names of the buffer-system grid, its condensed cut does not.
    static const QString kCandidates[] = {QStringLiteral("Tahoma"),
                                          QStringLiteral("DejaVu Sans Condensed")};
    QFont font;
    for (const QString& family : kCandidates) {
        if (QFontDatabase::hasFamily(family)) {
            font.setFamilies({family});
            break;
        }
    }
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

} // namespace phbuffer::chart
