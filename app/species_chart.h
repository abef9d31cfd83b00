// SPDX-License-Identifier: GPL-3.0-or-later
//
// The species distribution of one buffer system: the fractions of its four protonation
// forms against pH.
#pragma once

#include "model/buffer_capacity.h"

#include <QChartView>
#include <QString>

#include <array>

#include <vector>

class QLineSeries;
class QValueAxis;

namespace phbuffer::chart {
class LegendLabels;
}

namespace phbuffer::app {

class SpeciesChart : public QChartView {
    Q_OBJECT
public:
    explicit SpeciesChart(QWidget* parent = nullptr);

    /// Shows the fractions of the system in slot @p slot over @p profile, titled @p name,
    /// each curve named by @p formNames (from the fully protonated form on). A form that
    /// the system never takes (no constant for its step) is left out.
    void show(const std::vector<model::CapacityBreakdown>& profile, std::size_t slot,
              const QString& name, const std::vector<QString>& formNames);

    /// The curves shown, one per form the system takes.
    const QList<QLineSeries*>& curves() const { return curves_; }

private:
    QList<QLineSeries*> curves_;
    QValueAxis* bottomAxis_;
    QValueAxis* leftAxis_;
    chart::LegendLabels* legendLabels_;
};

} // namespace phbuffer::app
