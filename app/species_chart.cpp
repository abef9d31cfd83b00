// SPDX-License-Identifier: GPL-3.0-or-later
#include "species_chart.h"

#include "chart/chart_view.h"
#include "chart/legend_labels.h"
#include "stacked_capacity_chart.h"

#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

namespace phbuffer::app {

SpeciesChart::SpeciesChart(QWidget* parent)
    : QChartView(new QChart, parent), bottomAxis_(new QValueAxis), leftAxis_(new QValueAxis),
      legendLabels_(new chart::LegendLabels(this)) {
    setObjectName(QStringLiteral("SpeciesChart"));
    setRenderHint(QPainter::Antialiasing);
    QChart* c = chart();
    c->setBackgroundBrush(QColor::fromRgb(chart::ChartColours::kBackground));
    c->setAnimationOptions(QChart::NoAnimation);
    c->legend()->setAlignment(Qt::AlignRight);
    bottomAxis_->setTitleText(tr("pH"));
    leftAxis_->setTitleText(tr("fraction"));
    leftAxis_->setRange(0, 1);
    leftAxis_->setTickCount(6);
    c->addAxis(bottomAxis_, Qt::AlignBottom);
    c->addAxis(leftAxis_, Qt::AlignLeft);
}

void SpeciesChart::show(const std::vector<model::CapacityBreakdown>& profile, std::size_t slot,
                        const QString& name, const std::vector<QString>& formNames) {
    QChart* c = chart();
    for (QLineSeries* curve : curves_) {
        c->removeSeries(curve);
        delete curve;
    }
    curves_.clear();
    c->setTitle(tr("Species distribution: %1").arg(name));
    if (profile.empty() || slot >= model::kBufferSystemCount)
        return;
    double minPh = profile.front().pH;
    double maxPh = minPh;
    for (std::size_t form = 0; form < 4; ++form) {
        bool taken = false;
        auto* curve = new QLineSeries;
        for (const model::CapacityBreakdown& b : profile) {
            const double fraction = b.systems[slot].fractions[form];
            taken = taken || fraction > 0;
            curve->append(b.pH, fraction);
            minPh = std::min(minPh, b.pH);
            maxPh = std::max(maxPh, b.pH);
        }
        if (!taken) {
            delete curve;
            continue;
        }
        curve->setName(form < formNames.size() ? formNames[form] : QString());
        QPen pen{QColor::fromRgba(kAnalysisColours[form + 1])};
        pen.setWidthF(2);
        curve->setPen(pen);
        c->addSeries(curve);
        curve->attachAxis(bottomAxis_);
        curve->attachAxis(leftAxis_);
        for (QLegendMarker* marker : c->legend()->markers(curve))
            legendLabels_->setName(marker, curve->name());
        curves_ << curve;
    }
    bottomAxis_->setRange(minPh, maxPh > minPh ? maxPh : minPh + 1);
    bottomAxis_->setTickCount(8);
}

} // namespace phbuffer::app
