// SPDX-License-Identifier: GPL-3.0-or-later
//
// Takes the window through its main scenes as a user would and saves a picture of the
// whole screen after each, dialogs included:
//
//   xvfb-run -s "-screen 0 1366x900x24" build/tests/phbuffer_screenshot_tour /tmp/shots
//
// Also saves window.png and window-buffer-capacity.png, the window alone in each view
// after a run of the medium water.
#include "gui_driver.h"

#include "app/analysis_window.h"
#include "app/application_style.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace phbuffer::app;
using namespace phbuffer::app::gui;

namespace {

QString g_outDir;

void Shoot(const QString& name) {
    QTest::qWait(300); // let every window paint
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString path = QDir(g_outDir).filePath(name + QStringLiteral(".png"));
    std::printf("%s %s\n", screen.save(path) ? "saved" : "FAILED", qPrintable(path));
}

/// Waits for a modal dialog of type T, photographs it as @p name, then lets @p close
/// end it. Returns at once; the dialog is handled from the event loop.
template <class T> void ShootModalWhenShown(const QString& name, std::function<void(T*)> close) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, name, close] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        Shoot(name);
        close(dialog);
    });
    poll->start(20);
}

/// The analysis window: a kept curve beside a new run, then each tab of the window.
bool TourAnalysis(MainWindow& window) {
    // Back from the long run's target to one of a few thousand steps.
    TypeIntoCell(GridNumber(window, 2), 1, 3, QStringLiteral("5"));
    Click(ButtonNamed(window, QStringLiteral("ZPlowBitBtn")));
    RunAndWait(window);
    Click(ButtonNamed(window, QStringLiteral("AnalysisButton")));
    AnalysisWindow* analysis = window.analysisWindow();
    if (!QTest::qWaitFor([&] { return analysis->view().has_value(); }, 20000))
        return false;
    Click(analysis->findChild<QPushButton*>(QStringLiteral("KeepCurveButton")));
    Click(ButtonNamed(window, QStringLiteral("ZPhighBitBtn")));
    RunAndWait(window);
    if (!QTest::qWaitFor([&] { return !analysis->isAnalysing(); }, 20000))
        return false;
    analysis->move(window.geometry().topRight() - QPoint(660, -40));
    Shoot(QStringLiteral("8-kept-curve-and-analysis"));
    window.grab().save(QDir(g_outDir).filePath(QStringLiteral("window-kept-curve.png")));
    auto* tabs = analysis->findChild<QTabWidget*>();
    const char* names[] = {"analysis-breakdown", "analysis-capacity-by-system", "analysis-species",
                           "analysis-compare"};
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QTest::qWait(300);
        analysis->grab().save(
            QDir(g_outDir).filePath(QString::fromLatin1(names[i]) + QStringLiteral(".png")));
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(applicationTitle());
    QApplication::setFont(windowFont());
    applyVisualStyle(app);
    g_outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(g_outDir);

    MainWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    Shoot(QStringLiteral("1-start"));

    RunAndWait(window);
    Shoot(QStringLiteral("2-medium-titration-view"));
    window.grab().save(QDir(g_outDir).filePath(QStringLiteral("window.png")));

    Click(RadioItem(window, 1));
    Shoot(QStringLiteral("3-medium-buffer-capacity-view"));
    window.grab().save(QDir(g_outDir).filePath(QStringLiteral("window-buffer-capacity.png")));
    Click(RadioItem(window, 0));

    TypeIntoCell(GridNumber(window, 1), 1, 5, QStringLiteral("2,565"));
    ShootModalWhenShown<QMessageBox>(QStringLiteral("4-error-box"), [](QMessageBox* box) {
        QTest::mouseClick(box->buttons().value(0), Qt::LeftButton);
    });
    RunAndWait(window);
    Click(ButtonNamed(window, QStringLiteral("ZPmediumBitBtn")));

    ShootModalWhenShown<QFileDialog>(QStringLiteral("5-save-dialog"),
                                     [](QFileDialog* dialog) { dialog->reject(); });
    Click(ButtonNamed(window, QStringLiteral("SaveDataBitBtn")));

    TypeIntoCell(GridNumber(window, 2), 1, 0, QStringLiteral("7"));
    TypeIntoCell(GridNumber(window, 2), 1, 3, QStringLiteral("-2"));
    Click(ButtonNamed(window, QStringLiteral("DoTitrationButton")));
    if (!QTest::qWaitFor(
            [&] { return window.progressDialog() && window.progressDialog()->isVisible(); }, 20000))
        return 1;
    QTest::qWait(1500);
    Shoot(QStringLiteral("6-progress-dialog"));
    QTest::mouseClick(window.progressDialog()->findChild<QPushButton*>(), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return !window.isRunning(); }, 5000))
        return 1;
    Shoot(QStringLiteral("7-run-stopped"));
    return TourAnalysis(window) ? 0 : 1;
}
