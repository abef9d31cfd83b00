// SPDX-License-Identifier: GPL-3.0-or-later
#include "pinned_curve_layer.h"

#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

namespace phbuffer::chart {

namespace {

QLineSeries* CurveSeries(const QString& name, QRgb colour,
                         const std::vector<model::SeriesPoint>& points) {
    auto* series = new QLineSeries;
    series->setName(name);
    // Dashed, so a kept curve can't be taken for the current run's even where colours
    // are hard to tell apart.
    QPen pen{QColor::fromRgba(colour)};
    pen.setWidthF(1.5);
    pen.setStyle(Qt::DashLine);
    series->setPen(pen);
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(points.size()));
    for (const model::SeriesPoint& p : points)
        list.append(QPointF(p.x, p.y));
    series->replace(list);
    return series;
}

} // namespace

PinnedCurveLayer::PinnedCurveLayer(QChart* chart, QValueAxis* bottom, QValueAxis* left)
    : chart_(chart), bottom_(bottom), left_(left) {
    chart_->legend()->setAlignment(Qt::AlignTop);
    chart_->legend()->setBackgroundVisible(false);
    chart_->legend()->hide();
}

void PinnedCurveLayer::clear() {
    for (QLineSeries* series : titration_ + bufferStrength_) {
        chart_->removeSeries(series);
        delete series;
    }
    titration_.clear();
    bufferStrength_.clear();
}

void PinnedCurveLayer::set(const std::vector<ui::PinnedCurve>& curves) {
    clear();
    curves_ = curves;
    for (const ui::PinnedCurve& curve : curves_) {
        titration_ << CurveSeries(curve.name, curve.colour, curve.titration);
        bufferStrength_ << CurveSeries(curve.name, curve.colour, curve.bufferStrength);
    }
    for (QLineSeries* series : titration_ + bufferStrength_) {
        chart_->addSeries(series);
        series->attachAxis(bottom_);
        series->attachAxis(left_);
    }
    showView(titrationShown_, bufferStrengthShown_);
}

void PinnedCurveLayer::showView(bool titration, bool bufferStrength) {
    titrationShown_ = titration;
    bufferStrengthShown_ = bufferStrength;
    for (QLineSeries* series : titration_)
        series->setVisible(titration);
    for (QLineSeries* series : bufferStrength_)
        series->setVisible(bufferStrength);
    // Shown first: a marker made visible inside a hidden legend stays hidden.
    chart_->legend()->setVisible(!curves_.empty() && (titration || bufferStrength));
    // The legend names the kept curves only. A marker follows its series' visibility by
    // itself, so the run's own curves lose theirs again whenever they are shown.
    const QList<QLineSeries*> kept = titration_ + bufferStrength_;
    for (QLegendMarker* marker : chart_->legend()->markers()) {
        auto* series = qobject_cast<QLineSeries*>(marker->series());
        marker->setVisible(series && kept.contains(series) && series->isVisible());
    }
}

ui::AxisRanges PinnedCurveLayer::widen(const ui::AxisRanges& ranges) const {
    if (titrationShown_)
        return ui::widenedRanges(ranges, curves_, true);
    if (bufferStrengthShown_)
        return ui::widenedRanges(ranges, curves_, false);
    return ranges;
}

} // namespace phbuffer::chart
