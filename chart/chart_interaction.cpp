// SPDX-License-Identifier: GPL-3.0-or-later
//
// The chart under the mouse: a dragged rectangle or the wheel zooms in, a double click or
// "Show whole curve" shows the whole curve again, and a readout names the point nearest
// the mouse.
#include "chart_view.h"

#include "ui/number_format.h"

#include <QGraphicsEllipseItem>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QRubberBand>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace phbuffer::chart {

namespace {

// The readout follows the mouse this far beyond the plot area, so that the points on its
// edges can be read (never a point beyond them); it keeps this distance from the point.
constexpr int kReadoutReach = 8;
constexpr int kReadoutOffset = 10;
// A drag shorter than this on either side is a click, not a zoom rectangle.
constexpr int kMinZoomDrag = 4;
// The zoom of one notch of the mouse wheel.
constexpr double kWheelZoomIn = 0.8;
constexpr double kWheelNotch = 120;

} // namespace

void ChartView::showWholeCurve() {
    if (!zoom_)
        return;
    hideReadout();
    zoom_.reset();
    applyRanges();
}

void ChartView::zoomTo(const ui::AxisRanges& view) {
    hideReadout();
    zoom_ = view;
    applyRanges();
}

QRectF ChartView::plotArea() const {
    const QChart* c = chart();
    return QRectF(mapFromScene(c->mapToScene(c->plotArea().topLeft())),
                  mapFromScene(c->mapToScene(c->plotArea().bottomRight())));
}

QPointF ChartView::valueAt(QPointF pos) const {
    const QRectF area = plotArea();
    const double xShare = area.width() > 0 ? (pos.x() - area.left()) / area.width() : 0;
    const double yShare = area.height() > 0 ? (area.bottom() - pos.y()) / area.height() : 0;
    return {bottomAxis_->min() + xShare * (bottomAxis_->max() - bottomAxis_->min()),
            leftAxis_->min() + yShare * (leftAxis_->max() - leftAxis_->min())};
}

ui::AxisRanges ChartView::shownRanges() const {
    return {bottomAxis_->min(), bottomAxis_->max(), leftAxis_->min(), leftAxis_->max()};
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && plotArea().contains(event->position())) {
        dragStart_ = event->position().toPoint();
        rubberBand_->setGeometry(QRect(*dragStart_, QSize()));
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragStart_) {
        QChartView::mouseReleaseEvent(event);
        return;
    }
    rubberBand_->hide();
    const QRectF drag =
        QRectF(QPointF(*dragStart_), event->position()).normalized().intersected(plotArea());
    dragStart_.reset();
    event->accept();
    if (drag.width() < kMinZoomDrag || drag.height() < kMinZoomDrag)
        return; // a click
    const QPointF low = valueAt(drag.bottomLeft());
    const QPointF high = valueAt(drag.topRight());
    zoomTo({low.x(), high.x(), low.y(), high.y()});
    showReadout(event->position().toPoint());
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragStart_.reset();
        rubberBand_->hide();
        showWholeCurve();
        event->accept();
        return;
    }
    QChartView::mouseDoubleClickEvent(event);
}

void ChartView::wheelEvent(QWheelEvent* event) {
    const QPointF pos = event->position();
    const int delta = event->angleDelta().y();
    if (delta == 0 || !plotArea().contains(pos)) {
        QChartView::wheelEvent(event);
        return;
    }
    event->accept();
    const ui::ChartScale whole = ui::chartScale(ranges_, width(), height());
    const ui::AxisRanges wholeRanges{whole.bottom.min, whole.bottom.max, whole.left.min,
                                     whole.left.max};
    const QPointF at = valueAt(pos);
    const ui::AxisRanges view = ui::zoomAround(
        shownRanges(), at.x(), at.y(), std::pow(kWheelZoomIn, delta / kWheelNotch), wholeRanges);
    const bool whollyOut = view.xMax - view.xMin >= wholeRanges.xMax - wholeRanges.xMin &&
                           view.yMax - view.yMin >= wholeRanges.yMax - wholeRanges.yMin;
    if (whollyOut)
        showWholeCurve();
    else
        zoomTo(view);
    showReadout(pos.toPoint());
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    if (dragStart_) {
        rubberBand_->setGeometry(QRect(*dragStart_, event->position().toPoint()).normalized());
        rubberBand_->show();
    }
    QChartView::mouseMoveEvent(event);
    showReadout(event->position().toPoint());
}

bool ChartView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave)
        hideReadout();
    return QChartView::viewportEvent(event);
}

void ChartView::showReadout(QPoint pos) {
    QChart* c = chart();
    const QPointF mouse = mapToScene(pos);
    const QRectF plotArea = c->mapRectToScene(c->plotArea());
    if (!plotArea.adjusted(-kReadoutReach, -kReadoutReach, kReadoutReach, kReadoutReach)
             .contains(mouse)) {
        hideReadout();
        return;
    }
    readoutPos_ = pos;
    // Zoomed in, most points lie beyond the axes: not shown, so never read, however near
    // the mouse they would be drawn. The test is on the values, which the axes hold at
    // once, not on the screen, whose plot area follows only at the next layout.
    const ui::AxisRanges shown = shownRanges();
    const auto inView = [&shown](QPointF point) {
        return point.x() >= shown.xMin && point.x() <= shown.xMax && point.y() >= shown.yMin &&
               point.y() <= shown.yMax;
    };
    // The nearest point on the screen, not in value: the axes' scales differ by orders of
    // magnitude between the two views.
    const QLineSeries* nearestSeries = nullptr;
    QPointF nearest;
    QPointF nearestAt;
    qreal nearestDistance = 0;
    for (QLineSeries* series : {titration_, bufferStrength_}) {
        if (!series->isVisible())
            continue;
        for (const QPointF& point : series->points()) {
            if (!std::isfinite(point.x()) || !std::isfinite(point.y()) || !inView(point))
                continue;
            const QPointF at = c->mapToScene(c->mapToPosition(point, series));
            const QPointF d = at - mouse;
            const qreal distance = QPointF::dotProduct(d, d);
            if (!nearestSeries || distance < nearestDistance) {
                nearestSeries = series;
                nearest = point;
                nearestAt = at;
                nearestDistance = distance;
            }
        }
    }
    if (!nearestSeries) {
        hideReadout();
        return;
    }
    // Until the layout that follows a zoom, a point on the edge may map a pixel beyond it.
    nearestAt.setX(std::clamp(nearestAt.x(), plotArea.left(), plotArea.right()));
    nearestAt.setY(std::clamp(nearestAt.y(), plotArea.top(), plotArea.bottom()));

    const auto number = [this](double value) {
        return ui::FloatToStrF(value, 12, 3, decimalSeparator_);
    };
    QString text;
    if (nearestSeries == titration_)
        text = baseAdded_ ? tr("Added OH- %1 mmol/L, pH %2") : tr("Added H+ %1 mmol/L, pH %2");
    else
        text = baseAdded_ ? tr("pH %1, buffer capacity %2 mmol OH-/pH-unit")
                          : tr("pH %1, buffer capacity %2 mmol H+/pH-unit");
    readout_->setText(text.arg(number(nearest.x()), number(nearest.y())));
    readout_->adjustSize();
    marker_->setPos(nearestAt);
    marker_->show();

    // Above and to the right of the point, turned back inside the chart at its edges.
    const QPoint point = mapFromScene(nearestAt);
    QPoint topLeft(point.x() + kReadoutOffset, point.y() - kReadoutOffset - readout_->height());
    if (topLeft.x() + readout_->width() > viewport()->width())
        topLeft.setX(point.x() - kReadoutOffset - readout_->width());
    if (topLeft.y() < 0)
        topLeft.setY(point.y() + kReadoutOffset);
    topLeft.setX(std::clamp(topLeft.x(), 0, std::max(0, viewport()->width() - readout_->width())));
    topLeft.setY(
        std::clamp(topLeft.y(), 0, std::max(0, viewport()->height() - readout_->height())));
    readout_->move(topLeft);
    readout_->show();
    emit pointRead(nearestSeries == titration_ ? nearest.y() : nearest.x());
}

void ChartView::hideReadout() {
    readout_->hide();
    marker_->hide();
}

} // namespace phbuffer::chart
