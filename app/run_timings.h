// SPDX-License-Identifier: GPL-3.0-or-later
//
// The timings that PHBUFFER_TIMINGS asks for, written to stderr.
#pragma once

#include <QElapsedTimer>
#include <QObject>

namespace phbuffer::chart {
class ChartView;
}

namespace phbuffer::app {

using chart::ChartView;

/// Reports how long after the start of main() the window was first drawn, for every run
/// the time from the click to the redrawn chart, and how soon a cancelled run stopped.
/// The window tells it what happens; the chart's paints tell it when it is on the screen.
class RunTimings : public QObject {
    Q_OBJECT
public:
    RunTimings(QElapsedTimer started, ChartView* chart, QObject* parent = nullptr);

    /// "Run pH model" was clicked.
    void clicked() { sinceClick_.start(); }
    /// The run's result is in the chart: the next paint reports the run.
    void runDrawn() { runDrawPending_ = true; }
    /// The user asked the run to stop.
    void cancelled() { sinceCancel_.start(); }
    /// The run has stopped, or ended on its own.
    void stopped();

private:
    void painted();

    QElapsedTimer sinceStart_;
    QElapsedTimer sinceClick_;
    QElapsedTimer sinceCancel_;
    bool shownReported_ = false;
    bool runDrawPending_ = false;
};

} // namespace phbuffer::app
