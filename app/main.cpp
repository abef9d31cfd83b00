// SPDX-License-Identifier: GPL-3.0-or-later
//
// The program: the application object, the visual style, the main window, the message
// loop. PHBUFFER_TIMINGS=1 in the environment prints start-up and run timings to stderr.
#include "application_style.h"
#include "main_window.h"

#include <QApplication>
#include <QElapsedTimer>

int main(int argc, char** argv) {
    QElapsedTimer started;
    started.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("phbuffer"));
    QApplication::setApplicationDisplayName(phbuffer::app::kApplicationTitle);
    QApplication::setFont(phbuffer::app::WindowFont());

    // Without its style the program still works, in the standard look.
    const QString styleProblem = phbuffer::app::ApplyVisualStyle(app);
    if (!styleProblem.isEmpty())
        qWarning("%s", qUtf8Printable(styleProblem));

    phbuffer::app::MainWindow window;
    if (qEnvironmentVariableIsSet("PHBUFFER_TIMINGS"))
        window.reportTimings(started);
    window.show();
    return QApplication::exec();
}
