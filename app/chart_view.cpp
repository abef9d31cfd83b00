// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_view.h"

#include "ui/errors.h"

#include <QBuffer>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QMimeData>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace phbuffer::app {

namespace {

// Labels need about this much room along each axis to stay apart.
constexpr int kPixelsPerBottomLabel = 70;
constexpr int kPixelsPerLeftLabel = 36;

QList<QPointF> PointsOf(const model::Series& series) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(series.Count()));
    for (const model::SeriesPoint& p : series.points)
        points.append(QPointF(p.x, p.y));
    return points;
}

/// The printf format that shows every label of @p step without trailing noise.
QString LabelFormat(double step) {
    const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    return QStringLiteral("%.%1f").arg(decimals);
}

/// Gives @p axis a new range and label step. Qt Charts lays out every label (as rich text)
/// at each change, so the two changes go in the order that never passes through a state
/// with more labels than the old or the new one: a coarser step first, a finer one last.
/// The other order turns a move from 0..1 by 0.1 to 0..2000 by 200 into twenty thousand
/// labels for a moment.
void SetRangeAndStep(QValueAxis* axis, double min, double max, double step) {
    if (step >= axis->tickInterval()) {
        axis->setTickInterval(step);
        axis->setRange(min, max);
    } else {
        axis->setRange(min, max);
        axis->setTickInterval(step);
    }
    axis->setLabelFormat(LabelFormat(step));
}

QPen SeriesPen(QRgb colour, Qt::PenCapStyle cap) {
    QPen pen{QColor::fromRgb(colour)};
    pen.setWidthF(1.5);
    pen.setCapStyle(cap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

} // namespace

double NiceLabelStep(double span, int maxLabels, double minStep) {
    if (!(span > 0) || !std::isfinite(span) || maxLabels < 1)
        return std::max(1.0, minStep);
    const double raw = span / maxLabels;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * decade;
    for (const double m : {1.0, 2.0, 5.0}) {
        // The tolerance keeps 0.2 from becoming 0.5 when span / maxLabels rounds up a hair.
        if (m * decade >= raw * (1 - 1e-9)) {
            step = m * decade;
            break;
        }
    }
    return std::max(step, minStep);
}

ChartView::ChartView(QWidget* parent)
    : QChartView(new QChart, parent), titration_(new QLineSeries), bufferStrength_(new QLineSeries),
      bottomAxis_(new QValueAxis), leftAxis_(new QValueAxis) {
    setObjectName(QStringLiteral("Chart1"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setRenderHint(QPainter::Antialiasing);

    QChart* c = chart();
    c->legend()->hide();
    c->setBackgroundBrush(QColor::fromRgb(ChartColours::kBackground));
    c->setBackgroundPen(Qt::NoPen);
    c->setBackgroundRoundness(0);
    c->setDropShadowEnabled(false);
    c->setPlotAreaBackgroundVisible(false);
    c->setAnimationOptions(QChart::NoAnimation);
    // The background fills the view to its edges, as the chart's colour is the panel's.
    c->layout()->setContentsMargins(0, 0, 0, 0);
    c->setMargins(QMargins(6, 4, 14, 4));
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPixelSize(13);
    c->setTitleFont(titleFont);

    titration_->setObjectName(QStringLiteral("TitrationSeries"));
    titration_->setPen(SeriesPen(ChartColours::kTitration, Qt::SquareCap));
    bufferStrength_->setObjectName(QStringLiteral("BufferStrengthSeries"));
    bufferStrength_->setPen(SeriesPen(ChartColours::kBufferStrength, Qt::RoundCap));
    for (QLineSeries* s : {titration_, bufferStrength_}) {
        s->setPointsVisible(false);
        c->addSeries(s);
    }
    for (QValueAxis* axis : {bottomAxis_, leftAxis_}) {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setMinorTickCount(0);
        axis->setLabelsFont(font());
        axis->setTitleFont(font());
        axis->setGridLineColor(QColor(0xd8, 0xd0, 0xcc));
    }
    c->addAxis(bottomAxis_, Qt::AlignBottom);
    c->addAxis(leftAxis_, Qt::AlignLeft);
    for (QLineSeries* s : {titration_, bufferStrength_}) {
        s->attachAxis(bottomAxis_);
        s->attachAxis(leftAxis_);
    }
    draw(ui::Chart(QStringLiteral("Chart1"), QString()), model::Series(), model::Series());
}

void ChartView::draw(const ui::Chart& chart, const model::Series& titration,
                     const model::Series& bufferStrength) {
    QChart* c = this->chart();
    c->setTitle(chart.Title);
    bottomAxis_->setTitleText(chart.BottomAxisTitle);
    leftAxis_->setTitleText(chart.LeftAxisTitle);
    titration_->replace(PointsOf(titration));
    bufferStrength_->replace(PointsOf(bufferStrength));
    titration_->setVisible(titration.Active);
    bufferStrength_->setVisible(bufferStrength.Active);

    double xMin = INFINITY, xMax = -INFINITY, yMax = -INFINITY;
    for (const model::Series* s : {&titration, &bufferStrength}) {
        if (!s->Active)
            continue;
        for (const model::SeriesPoint& p : s->points) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                continue;
            xMin = std::min(xMin, p.x);
            xMax = std::max(xMax, p.x);
            yMax = std::max(yMax, p.y);
        }
    }
    if (!(xMin <= xMax)) { // nothing to show
        xMin = 0;
        xMax = 1;
    } else if (xMin == xMax) { // one x: centre it
        xMin -= 0.5;
        xMax += 0.5;
    }
    if (!(yMax > 0))
        yMax = 1;
    setRanges(xMin, xMax, yMax);
}

void ChartView::setRanges(double xMin, double xMax, double yMax) {
    const int bottomLabels = std::max(2, (width() - 80) / kPixelsPerBottomLabel);
    const int leftLabels = std::max(2, (height() - 60) / kPixelsPerLeftLabel);
    SetRangeAndStep(bottomAxis_, xMin, xMax,
                    NiceLabelStep(xMax - xMin, bottomLabels, kMinBottomLabelStep));
    SetRangeAndStep(leftAxis_, 0, yMax, NiceLabelStep(yMax, leftLabels));
}

void ChartView::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    // The same ranges take more or fewer labels at the new size.
    setRanges(bottomAxis_->min(), bottomAxis_->max(), leftAxis_->max());
}

void ChartView::paintEvent(QPaintEvent* event) {
    QChartView::paintEvent(event);
    emit painted();
}

QMimeData* ChartView::clipboardData() {
    const QSize size = viewport()->size();
    if (size.isEmpty())
        throw ui::HandlerError(QStringLiteral("The chart has no size on the screen to copy"));

    QBuffer svg;
    svg.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&svg);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(logicalDpiX());
    generator.setTitle(chart()->title());
    QPainter painter;
    if (!painter.begin(&generator))
        throw ui::HandlerError(QStringLiteral("The chart could not be drawn as a picture"));
    painter.setRenderHint(QPainter::Antialiasing);
    render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), viewport()->rect());
    painter.end();

    const QImage bitmap = viewport()->grab().toImage();
    if (bitmap.isNull())
        throw ui::HandlerError(QStringLiteral("The chart could not be drawn as a bitmap"));

    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"), svg.data());
    data->setImageData(bitmap);
    return data;
}

} // namespace phbuffer::app
