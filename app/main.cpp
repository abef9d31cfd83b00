// SPDX-License-Identifier: GPL-3.0-or-later
//
// The program: the application object, the visual style, the main window, the message
// loop. A data file named as the one argument is opened at start. PHBUFFER_TIMINGS=1 in
// the environment prints start-up and run timings to stderr.
#include "application_style.h"
#include "main_window.h"
#include "window_geometry.h"

#include "analysis_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QIcon>

#include <cstring>

namespace {

void nameTheProgram() {
    QCoreApplication::setApplicationName(QStringLiteral("phbuffer"));
    QCoreApplication::setOrganizationName(QStringLiteral("phbuffer")); // where the settings go
    QCoreApplication::setApplicationVersion(QStringLiteral(PHBUFFER_VERSION));
}

void describeArguments(QCommandLineParser& arguments) {
    arguments.setApplicationDescription(phbuffer::app::applicationTitle());
    arguments.addHelpOption();
    arguments.addVersionOption();
    arguments.addPositionalArgument(
        QStringLiteral("file"),
        QCoreApplication::translate("main", "A water quality data file to open."),
        QStringLiteral("[file]"));
}

/// Whether the arguments ask only for the help or the version, which need no display.
bool asksForInformation(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        for (const char* option : {"-h", "--help", "--help-all", "-?", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer started;
    started.start();
    if (asksForInformation(argc, argv)) {
        // Answered before any window system is asked for: it works without a display.
        QCoreApplication core(argc, argv);
        nameTheProgram();
        QCommandLineParser arguments;
        describeArguments(arguments);
        arguments.process(core); // prints and exits
        return 0;
    }
    QApplication app(argc, argv);
    nameTheProgram();
    QApplication::setApplicationDisplayName(phbuffer::app::applicationTitle());
    // Docks and task switchers find the launcher, and with it the icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.phbuffer.calculator"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/io.github.phbuffer.calculator.svg")));
    QApplication::setFont(phbuffer::app::windowFont());

    // Without its style the program still works, in the standard look.
    const QString styleProblem = phbuffer::app::applyVisualStyle(app);
    if (!styleProblem.isEmpty())
        qWarning("%s", qUtf8Printable(styleProblem));

    QCommandLineParser arguments;
    describeArguments(arguments);
    arguments.process(app);

    phbuffer::app::MainWindow window;
    phbuffer::app::restoreWindowPlaces(window, *window.analysisWindow());
    if (!arguments.positionalArguments().isEmpty())
        window.openAtStart(arguments.positionalArguments().constFirst());
    if (qEnvironmentVariableIsSet("PHBUFFER_TIMINGS"))
        window.reportTimings(started);
    window.show();
    const int status = QApplication::exec();
    phbuffer::app::saveWindowPlaces(window, *window.analysisWindow());
    return status;
}
