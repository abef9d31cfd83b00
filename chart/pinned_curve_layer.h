// SPDX-License-Identifier: GPL-3.0-or-later
//
// The kept curves drawn on the main chart, dashed in their palette colours, with a legend
// that names them and the current curve while there are any.
#pragma once

#include "ui/chart_scale.h"
#include "ui/pinned_curves.h"

#include <QList>

#include <vector>

class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;

namespace phbuffer::chart {

class LegendLabels;

class PinnedCurveLayer {
public:
    /// Draws into the chart of @p view on its axes @p bottom and @p left. The legend lists
    /// the @p current series, the run's own, beside the kept ones, while they have points.
    PinnedCurveLayer(QChartView* view, QValueAxis* bottom, QValueAxis* left,
                     QList<QLineSeries*> current);

    /// Names the current curves in the legend after @p name, the water they belong to.
    void setCurrentName(const QString& name);

    /// Shows @p curves in place of those shown before.
    void set(const std::vector<ui::PinnedCurve>& curves);
    /// Shows the kept curves of one view: the titration curves, or the buffer capacity
    /// curves, or none; the legend shows while any kept curve is shown.
    void showView(bool titration, bool bufferStrength);
    /// @p ranges widened to the kept curves of the view shown.
    ui::AxisRanges widen(const ui::AxisRanges& ranges) const;

    const QList<QLineSeries*>& titrationSeries() const { return titration_; }

private:
    void clear();
    void labelLegend();

    QChart* chart_;
    LegendLabels* labels_;
    QList<QLineSeries*> current_;
    QString currentName_;
    QValueAxis* bottom_;
    QValueAxis* left_;
    std::vector<ui::PinnedCurve> curves_;
    QList<QLineSeries*> titration_;
    QList<QLineSeries*> bufferStrength_;
    bool titrationShown_ = true;
    bool bufferStrengthShown_ = false;
};

} // namespace phbuffer::chart
