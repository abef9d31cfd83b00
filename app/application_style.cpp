// SPDX-License-Identifier: GPL-3.0-or-later
#include "application_style.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QStyleFactory>

namespace phbuffer::app {

const QString kApplicationTitle = QStringLiteral("pH and buffer system calculator");
const QString kStyleSheetResource = QStringLiteral(":/style/phbuffer.qss");

QFont WindowFont() {
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

QString ApplyVisualStyle(QApplication& app, const QString& styleSheetResource) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QFile file(styleSheetResource);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("The visual style %1 can't be read: %2")
            .arg(styleSheetResource, file.errorString());
    app.setStyleSheet(QString::fromUtf8(file.readAll()));
    return {};
}

} // namespace phbuffer::app
