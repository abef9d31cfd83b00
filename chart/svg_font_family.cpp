// SPDX-License-Identifier: GPL-3.0-or-later
#include "svg_font_family.h"

#include <QRegularExpression>
#include <QString>

namespace phbuffer::chart {

QByteArray withGenericFontFamily(const QByteArray& svg) {
    // The chart is drawn in a sans-serif face; the attribute holds one family as written.
    static const QRegularExpression kFamily(
        QStringLiteral("font-family=\"((?:(?!sans-serif|serif|monospace)[^\"])*)\""));
    QString text = QString::fromUtf8(svg);
    text.replace(kFamily, QStringLiteral("font-family=\"\\1, sans-serif\""));
    return text.toUtf8();
}

} // namespace phbuffer::chart
