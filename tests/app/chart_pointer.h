// SPDX-License-Identifier: GPL-3.0-or-later
//
// Pointing at a chart as a user does: where a point is drawn, and the mouse moved there.
#pragma once

#include "chart/chart_view.h"

#include <QApplication>
#include <QChart>
#include <QLineSeries>
#include <QMouseEvent>

namespace phbuffer::app::gui {

/// Where on @p view's viewport the point @p value of @p series is drawn.
inline QPoint OnScreen(const chart::ChartView& view, QPointF value, QLineSeries* series) {
    QChart* chart = view.chart();
    return view.mapFromScene(chart->mapToScene(chart->mapToPosition(value, series)));
}

/// Moves the mouse, no button down, to @p pos on @p view's viewport.
inline void Hover(chart::ChartView& view, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, view.viewport()->mapToGlobal(pos), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
}

} // namespace phbuffer::app::gui
