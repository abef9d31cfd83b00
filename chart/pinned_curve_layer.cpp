// SPDX-License-Identifier: GPL-3.0-or-later
#include "pinned_curve_layer.h"

#include "legend_labels.h"

#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

#include <utility>

namespace phbuffer::chart {

namespace {

QLineSeries* curveSeries(const QString& name, QRgb colour,
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

PinnedCurveLayer::PinnedCurveLayer(QChartView* view, QValueAxis* bottom, QValueAxis* left,
                                   QList<QLineSeries*> current)
    : chart_(view->chart()), labels_(new LegendLabels(view)), current_(std::move(current)),
      bottom_(bottom), left_(left) {
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
        titration_ << curveSeries(curve.name, curve.colour, curve.titration);
        bufferStrength_ << curveSeries(curve.name, curve.colour, curve.bufferStrength);
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
    // A marker follows its series' visibility by itself, but a run's curve without points
    // (none shown yet, or a run that ended before its first) has nothing to name.
    for (QLegendMarker* marker : chart_->legend()->markers()) {
        auto* series = qobject_cast<QLineSeries*>(marker->series());
        marker->setVisible(series && series->isVisible() &&
                           (!current_.contains(series) || series->count() > 0));
    }
    labelLegend();
}

void PinnedCurveLayer::setCurrentName(const QString& name) {
    currentName_ = name;
    labelLegend();
}

void PinnedCurveLayer::labelLegend() {
    // The run's own series stay as the form has them, without a name: only their legend
    // entries are named.
    const QString current =
        currentName_.isEmpty()
            ? QCoreApplication::translate("PinnedCurveLayer", "Current")
            : QCoreApplication::translate("PinnedCurveLayer", "%1 (current)").arg(currentName_);
    for (QLegendMarker* marker : chart_->legend()->markers()) {
        auto* series = qobject_cast<QLineSeries*>(marker->series());
        if (series)
            labels_->setName(marker, current_.contains(series) ? current : series->name());
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
