// SPDX-License-Identifier: GPL-3.0-or-later
//
// The kept curves drawn on the main chart, dashed in their palette colours, with a legend
// that names them while there are any.
#pragma once

#include "ui/chart_scale.h"
#include "ui/pinned_curves.h"

#include <QList>

#include <vector>

class QChart;
class QLineSeries;
class QValueAxis;

namespace phbuffer::chart {

class PinnedCurveLayer {
public:
    /// Draws into @p chart on its axes @p bottom and @p left. The chart's other series
    /// stay out of the legend.
    PinnedCurveLayer(QChart* chart, QValueAxis* bottom, QValueAxis* left);

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

    QChart* chart_;
    QValueAxis* bottom_;
    QValueAxis* left_;
    std::vector<ui::PinnedCurve> curves_;
    QList<QLineSeries*> titration_;
    QList<QLineSeries*> bufferStrength_;
    bool titrationShown_ = true;
    bool bufferStrengthShown_ = false;
};

} // namespace phbuffer::chart
