// SPDX-License-Identifier: GPL-3.0-or-later
//
// GoogleTest with a QApplication, styled as the program styles itself. The widgets are
// drawn offscreen unless the environment asks for another platform.
#include "app/application_style.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    // The recent files and any other setting go to a folder of this run's own.
    const QTemporaryDir settings;
    // Offscreen, on a screen of a laptop's size (the platform's own is 800 x 600, smaller
    // than the window, which would shrink to fit it).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        const QString config = settings.filePath(QStringLiteral("offscreen.json"));
        QFile file(config);
        if (file.open(QIODevice::WriteOnly))
            file.write(R"({"screens": [{"name": "Screen", "x": 0, "y": 0, "width": 1366,
                           "height": 900, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        file.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QApplication app(argc, argv);
    QApplication::setFont(phbuffer::app::windowFont());
    const QString styleProblem = phbuffer::app::applyVisualStyle(app);
    if (!styleProblem.isEmpty())
        qWarning("%s", qUtf8Printable(styleProblem));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
