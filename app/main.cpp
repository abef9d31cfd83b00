// SPDX-License-Identifier: GPL-3.0-or-later
//
// The program: the application object, the visual style, the main window, the message
// loop. A data file named as the one argument is opened at start. PHBUFFER_TIMINGS=1 in
// the environment prints start-up and run timings to stderr.
#include "application_style.h"
#include "main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>

int main(int argc, char** argv) {
    QElapsedTimer started;
    started.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("phbuffer"));
    QApplication::setOrganizationName(QStringLiteral("phbuffer")); // where the settings go
    QApplication::setApplicationDisplayName(phbuffer::app::kApplicationTitle);
    QApplication::setFont(phbuffer::app::WindowFont());

    // Without its style the program still works, in the standard look.
    const QString styleProblem = phbuffer::app::ApplyVisualStyle(app);
    if (!styleProblem.isEmpty())
        qWarning("%s", qUtf8Printable(styleProblem));

    QCommandLineParser arguments;
    arguments.setApplicationDescription(phbuffer::app::kApplicationTitle);
    arguments.addHelpOption();
    arguments.addPositionalArgument(QStringLiteral("file"),
                                    QStringLiteral("A water quality data file to open."),
                                    QStringLiteral("[file]"));
    arguments.process(app);

    phbuffer::app::MainWindow window;
    if (!arguments.positionalArguments().isEmpty())
        window.openAtStart(arguments.positionalArguments().constFirst());
    if (qEnvironmentVariableIsSet("PHBUFFER_TIMINGS"))
        window.reportTimings(started);
    window.show();
    return QApplication::exec();
}
