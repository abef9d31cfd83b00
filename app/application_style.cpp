// SPDX-License-Identifier: GPL-3.0-or-later
#include "application_style.h"

#include <QApplication>
#include <QFile>
#include <QStyleFactory>

namespace phbuffer::app {

const QString kStyleSheetResource = QStringLiteral(":/style/phbuffer.qss");

QString applicationTitle() {
    return QCoreApplication::translate("ApplicationStyle", "pH and buffer system calculator");
}

QString applyVisualStyle(QApplication& app, const QString& styleSheetResource) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QFile file(styleSheetResource);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QCoreApplication::translate("ApplicationStyle",
                                           "The visual style %1 can't be read: %2")
            .arg(styleSheetResource, file.errorString());
    app.setStyleSheet(QString::fromUtf8(file.readAll()));
    return {};
}

} // namespace phbuffer::app
