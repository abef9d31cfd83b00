// SPDX-License-Identifier: GPL-3.0-or-later
//
// The buffer capacity of a water against pH as stacked areas: the water's own share at
// the bottom and each buffer system in use on top of it, so that the upper edge is the
// analytic total.
#pragma once

#include "model/buffer_capacity.h"

#include <QChartView>
#include <QString>

#include <array>
#include <vector>

class QAreaSeries;
class QValueAxis;

namespace phbuffer::chart {
class LegendLabels;
}

namespace phbuffer::app {

/// Fill colours of the stacked areas and of the species curves: the water, then the nine
/// buffer system rows. The first eight are the colour-blind-safe palette of Okabe and Ito.
extern const std::array<QRgb, 10> kAnalysisColours;

class StackedCapacityChart : public QChartView {
    Q_OBJECT
public:
    explicit StackedCapacityChart(QWidget* parent = nullptr);

    /// Shows @p profile (the breakdown at evenly spaced pH values) with the systems named
    /// by @p names; an empty profile clears the chart.
    void show(const std::vector<model::CapacityBreakdown>& profile,
              const std::array<QString, model::kBufferSystemCount>& names);

    /// The stacked areas, the water first; each one's upper edge is the sum up to it.
    const QList<QAreaSeries*>& areas() const { return areas_; }

private:
    QList<QAreaSeries*> areas_;
    QValueAxis* bottomAxis_;
    QValueAxis* leftAxis_;
    chart::LegendLabels* legendLabels_;
};

} // namespace phbuffer::app
