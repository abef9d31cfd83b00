// SPDX-License-Identifier: GPL-3.0-or-later
#include "stacked_capacity_chart.h"

#include "chart/chart_view.h"
#include "chart/legend_labels.h"
#include "ui/chart_scale.h"

#include <QAreaSeries>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace phbuffer::app {

const std::array<QRgb, 10> kAnalysisColours = {
    0xFF999999, // water: grey
    0xFF0072B2, 0xFFE69F00, 0xFF009E73, 0xFFCC79A7, 0xFF56B4E9,
    0xFFD55E00, 0xFFF0E442, 0xFF000000, 0xFF8C564B,
};

namespace {
constexpr int kBottomLabels = 8;
constexpr int kLeftLabels = 6;

void setAxis(QValueAxis* axis, const ui::AxisScale& scale) {
    axis->setRange(scale.min, scale.max);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(scale.min);
    axis->setTickInterval(scale.step);
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(ui::labelDecimals(scale.step)));
}
} // namespace

StackedCapacityChart::StackedCapacityChart(QWidget* parent)
    : QChartView(new QChart, parent), bottomAxis_(new QValueAxis), leftAxis_(new QValueAxis),
      legendLabels_(new chart::LegendLabels(this)) {
    setObjectName(QStringLiteral("StackedCapacityChart"));
    setRenderHint(QPainter::Antialiasing);
    QChart* c = chart();
    c->setTitle(tr("Buffer capacity by system"));
    c->setBackgroundBrush(QColor::fromRgb(chart::ChartColours::kBackground));
    c->setAnimationOptions(QChart::NoAnimation);
    c->legend()->setAlignment(Qt::AlignRight);
    bottomAxis_->setTitleText(tr("pH"));
    leftAxis_->setTitleText(tr("mmol/L per pH unit"));
    c->addAxis(bottomAxis_, Qt::AlignBottom);
    c->addAxis(leftAxis_, Qt::AlignLeft);
}

void StackedCapacityChart::show(const std::vector<model::CapacityBreakdown>& profile,
                                const std::array<QString, model::kBufferSystemCount>& names) {
    QChart* c = chart();
    for (QAreaSeries* area : areas_) {
        c->removeSeries(area);
        delete area;
    }
    areas_.clear();
    if (profile.empty())
        return;

    // Layer 0 is the water, layer k the buffer system of row k; unused rows get none.
    std::vector<double> below(profile.size(), 0.0);
    double top = 0;
    double minPh = profile.front().pH;
    double maxPh = minPh;
    for (std::size_t layer = 0; layer <= model::kBufferSystemCount; ++layer) {
        if (layer > 0 && !profile.front().systems[layer - 1].inUse)
            continue;
        auto* lower = new QLineSeries;
        auto* upper = new QLineSeries;
        for (std::size_t i = 0; i < profile.size(); ++i) {
            const model::CapacityBreakdown& b = profile[i];
            const double value = layer == 0 ? b.water : b.systems[layer - 1].capacity;
            lower->append(b.pH, below[i]);
            below[i] += value;
            upper->append(b.pH, below[i]);
            top = std::max(top, below[i]);
            minPh = std::min(minPh, b.pH);
            maxPh = std::max(maxPh, b.pH);
        }
        auto* area = new QAreaSeries(upper, lower);
        upper->setParent(area);
        lower->setParent(area);
        area->setName(layer == 0 ? tr("Water") : names[layer - 1]);
        QColor fill = QColor::fromRgba(kAnalysisColours[layer]);
        area->setBorderColor(fill.darker(130));
        fill.setAlpha(200);
        area->setBrush(fill);
        c->addSeries(area);
        area->attachAxis(bottomAxis_);
        area->attachAxis(leftAxis_);
        for (QLegendMarker* marker : c->legend()->markers(area))
            legendLabels_->setName(marker, area->name());
        areas_ << area;
    }
    // The axes come from this data alone, on labels of 1, 2 or 5 times a power of ten.
    setAxis(bottomAxis_, ui::labelledScale(minPh, maxPh, kBottomLabels));
    setAxis(leftAxis_, ui::labelledScale(0, top > 0 ? top : 1, kLeftLabels));
}

} // namespace phbuffer::app
