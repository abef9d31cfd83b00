// SPDX-License-Identifier: GPL-3.0-or-later
//
// Not a test: clicks each preset and "Run pH model" as a user would, REPEATS times (10
// unless given), and prints the window's own timings (those of PHBUFFER_TIMINGS=1) from
// the click to the redrawn chart, the first run and the median for every preset:
//
//   xvfb-run -s "-screen 0 1366x900x24" build/test/tests/phbuffer_window_timings [REPEATS]
#include "gui_driver.h"

#include "app/analysis_window.h"
#include "app/application_style.h"
#include "app/main_window.h"
#include "chart/chart_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace phbuffer::app;
using namespace phbuffer::app::gui;

namespace {

std::vector<double> g_runTimes;
double g_shownAfter = -1;
QEventLoop* g_waiting = nullptr; ///< the loop that waits for the next timing, if one does

void Collect(QtMsgType, const QMessageLogContext&, const QString& message) {
    static const QRegularExpression kRun(QStringLiteral("^Run pH model: ([\\d.]+) ms"));
    static const QRegularExpression kShown(QStringLiteral("^Window drawn ([\\d.]+) ms"));
    if (const QRegularExpressionMatch m = kRun.match(message); m.hasMatch())
        g_runTimes.push_back(m.captured(1).toDouble());
    else if (const QRegularExpressionMatch s = kShown.match(message); s.hasMatch())
        g_shownAfter = s.captured(1).toDouble();
    else
        return;
    if (g_waiting)
        g_waiting->quit();
}

/// Runs the event loop as the application's own would, until @p done holds or
/// @p milliseconds have passed. QTest's waits sleep 10 ms between rounds of events, which
/// would be counted into the very timings measured here.
template <typename Done>
bool RunEventsUntil(Done done, int milliseconds, QObject* signalling = nullptr,
                    const char* signal = nullptr) {
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (signalling)
        QObject::connect(signalling, signal, &loop, SLOT(quit()));
    timeout.start(milliseconds);
    g_waiting = &loop;
    while (!done() && timeout.isActive())
        loop.exec();
    g_waiting = nullptr;
    return done();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer started;
    started.start();
    qInstallMessageHandler(Collect);
    QApplication app(argc, argv);
    QApplication::setFont(windowFont());
    applyVisualStyle(app);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    MainWindow window;
    window.reportTimings(started);
    window.show();
    if (!RunEventsUntil([] { return g_shownAfter >= 0; }, 5000))
        return 1;
    std::printf("window drawn %.1f ms after start\n", g_shownAfter);

    const char* const presets[] = {"ZPmediumBitBtn", "ZPhighBitBtn", "ZPmediumhighBitBtn",
                                   "ZPmediumlowBitBtn", "ZPlowBitBtn"};
    for (const char* preset : presets) {
        std::vector<double> times;
        for (int i = 0; i < repeats; ++i) {
            // As a user would, the run is clicked once the preset's values are on the screen.
            bool painted = false;
            const QMetaObject::Connection paint =
                QObject::connect(window.chartView(), &phbuffer::chart::ChartView::painted,
                                 [&painted] { painted = true; });
            Click(ButtonNamed(window, QString::fromLatin1(preset)));
            static_cast<void>(RunEventsUntil([&painted] { return painted; }, 250,
                                             window.chartView(), SIGNAL(painted())));
            QObject::disconnect(paint);
            const std::size_t before = g_runTimes.size();
            Click(ButtonNamed(window, QStringLiteral("DoTitrationButton")));
            if (!RunEventsUntil([&] { return g_runTimes.size() > before; }, 60000))
                return 1;
            times.push_back(g_runTimes.back());
            // A user's next click comes after the analysis of this run has ended, which
            // runs beside the window on the other core.
            AnalysisWindow* analysis = window.analysisWindow();
            if (!RunEventsUntil([analysis] { return !analysis->isAnalysing(); }, 10000, analysis,
                                SIGNAL(analysed())))
                return 1;
        }
        std::printf("%-20s first %6.1f ms  median %6.1f ms  max %6.1f ms\n", preset, times.front(),
                    Median(times), *std::max_element(times.begin(), times.end()));
    }
    return 0;
}
