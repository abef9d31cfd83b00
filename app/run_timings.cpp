// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_timings.h"

#include "chart_view.h"

#include <QDateTime>

namespace phbuffer::app {

RunTimings::RunTimings(QElapsedTimer started, ChartView* chart, QObject* parent)
    : QObject(parent), sinceStart_(started) {
    connect(chart, &ChartView::painted, this, &RunTimings::painted);
}

void RunTimings::stopped() {
    if (!sinceCancel_.isValid())
        return;
    qInfo("Run stopped %.1f ms after Cancel",
          static_cast<double>(sinceCancel_.nsecsElapsed()) / 1e6);
    sinceCancel_.invalidate();
}

void RunTimings::painted() {
    if (!shownReported_) {
        shownReported_ = true;
        // The wall clock lets a launcher add the time before main() by hand.
        qInfo("Window drawn %.1f ms after start of main(), at %lld ms since the epoch",
              static_cast<double>(sinceStart_.nsecsElapsed()) / 1e6,
              QDateTime::currentMSecsSinceEpoch());
    }
    if (runDrawPending_) {
        runDrawPending_ = false;
        qInfo("Run pH model: %.1f ms from click to redrawn chart",
              static_cast<double>(sinceClick_.nsecsElapsed()) / 1e6);
    }
}

} // namespace phbuffer::app
