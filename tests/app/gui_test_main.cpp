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
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The recent files and any other setting go to a folder of this run's own.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QApplication app(argc, argv);
    QApplication::setFont(phbuffer::app::WindowFont());
    const QString styleProblem = phbuffer::app::ApplyVisualStyle(app);
    if (!styleProblem.isEmpty())
        qWarning("%s", qUtf8Printable(styleProblem));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
