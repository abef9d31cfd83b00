// SPDX-License-Identifier: GPL-3.0-or-later
//
// The run controller: "Run pH model" started off the user-interface thread, the window
// held while it goes on, its result shown on its end, and the analysis window fed with
// the run's water and the kept curves.
#include "main_window.h"

#include "analysis_window.h"
#include "run_timings.h"
#include "titration_runner.h"
#include "window_geometry.h"

#include "chart/chart_view.h"

#include "ui/errors.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QPushButton>
#include <QScreen>

namespace phbuffer::app {

void MainWindow::reportTimings(QElapsedTimer started) {
    if (timings_)
        return;
    timings_ = new RunTimings(started, chart_, this);
    connect(runner_, &TitrationRunner::cancelling, timings_, &RunTimings::cancelled);
}

bool MainWindow::isRunning() const {
    return runner_->isRunning();
}

QProgressDialog* MainWindow::progressDialog() const {
    return runner_->progressDialog();
}

void MainWindow::startRun() {
    if (isRunning())
        return;
    commitInput();
    std::optional<ui::RunInput> input;
    try {
        input = form_.prepareRun(&form_.DoTitrationButton);
    } catch (const std::exception& e) {
        // Refused before anything was computed; the window shows what it showed.
        drawForm();
        showErrorCell();
        presentError(ui::errorBoxText(e));
        emit runFinished();
        return;
    }
    runDescription_ = input->description;
    // Drawn once, when the run has ended.
    runner_->start(std::move(*input), form_.DecimalSeparator);
}

void MainWindow::holdInput() {
    focusBeforeRun_ = QApplication::focusWidget();
    setInputEnabled(false);
}

void MainWindow::finishRun() {
    if (timings_)
        timings_->stopped();
    TitrationRunner::Ending ending = runner_->takeEnding();
    setInputEnabled(true);
    if (focusBeforeRun_)
        focusBeforeRun_->setFocus(Qt::OtherFocusReason);
    focusBeforeRun_ = nullptr;

    std::optional<QString> error = std::move(ending.error);
    // A stopped run may have been stopped for taking too long: it is not run again.
    const bool reachedTarget =
        ending.result && ending.result->outcome.end == model::RunEnd::ReachedTarget;
    runAmount_.reset();
    if (reachedTarget)
        runAmount_ = RunAmount{
            ending.result->titrant == model::Titrant::StrongBase,
            model::addedAcid(ending.result->outcome.StepCount, model::kTitrantStep), QString()};
    if (ending.result) {
        try {
            form_.applyRun(std::move(*ending.result));
        } catch (const std::exception& e) {
            error = ui::errorBoxText(e);
        }
    }
    if (!error && runDescription_) {
        pinned_.runShown(runDescription_->titrant);
        chart_->setCurrentCurveName(pinned_.shownName());
        // The analysis runs again over the run's own input, off this thread.
        if (reachedTarget)
            analysis_->analyse(*runDescription_, form_.DecimalSeparator);
        else
            analysis_->clear();
    }
    if (runAmount_)
        runAmount_->caption = form_.Label1.Caption;
    runDescription_.reset();
    if (localeChangedDuringRun_) {
        localeChangedDuringRun_ = false;
        refreshDecimalSeparator();
    }
    drawForm();
    if (timings_)
        timings_->runDrawn();
    showStatus(error ? tr("Run failed") : tr("Run finished: %1").arg(form_.Label1.Caption));
    if (error)
        presentError(*error);
    emit runFinished();
}

void MainWindow::connectAnalysis() {
    connect(analysisButton_, &QPushButton::clicked, this, [this] {
        if (!analysis_->isVisible() && !analysisPlaced_) {
            // Beside the main window, where the screen has room, rather than over its chart.
            analysisPlaced_ = true;
            analysis_->move(besideWindow(frameGeometry(), analysis_->frameGeometry().size(),
                                         screen()->availableGeometry()));
        }
        analysis_->show();
        analysis_->raise();
        analysis_->activateWindow();
    });
    connect(chart_, &ChartView::pointRead, analysis_, &AnalysisWindow::showBreakdownAt);
    connect(analysis_, &AnalysisWindow::doseChanged, this, &MainWindow::showResultsState);
    connect(analysis_, &AnalysisWindow::keepCurveClicked, this, [this] {
        if (!isRunning() && pinned_.keep(form_.TitrationSeries, form_.BufferStrengthSeries))
            showPinnedCurves();
    });
    connect(analysis_, &AnalysisWindow::removeCurveClicked, this, [this](int index) {
        pinned_.remove(static_cast<std::size_t>(index));
        showPinnedCurves();
    });
    connect(analysis_, &AnalysisWindow::removeAllCurvesClicked, this, [this] {
        pinned_.removeAll();
        showPinnedCurves();
    });
    connect(analysis_, &AnalysisWindow::exportClicked, this, [this] {
        if (const auto& view = analysis_->view())
            handle([this, &view] { ui::exportAnalysis(form_, view->analysis); });
    });
}

void MainWindow::showPinnedCurves() {
    chart_->setPinnedCurves(pinned_.curves());
    analysis_->showPinnedCurves(pinned_.curves());
}

void MainWindow::setInputEnabled(bool enabled) {
    panel1_->setEnabled(enabled);
    panel2_->setEnabled(enabled);
    for (QAction* action : inputActions_)
        action->setEnabled(enabled);
}
} // namespace phbuffer::app
