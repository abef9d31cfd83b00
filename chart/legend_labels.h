// SPDX-License-Identifier: GPL-3.0-or-later
//
// Legend entries that show long names whole enough to tell apart: shortened in the middle,
// so that both the start and the end of a file or system name stay in sight, with the
// whole name in the entry's tooltip.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QChartView;
class QLegendMarker;

namespace phbuffer::chart {

class LegendLabels : public QObject {
    Q_OBJECT
public:
    /// Labels the legend of @p view's chart; a child of @p view.
    explicit LegendLabels(QChartView* view);

    /// Labels @p marker with @p name, elided in the middle to the width an entry of the
    /// legend has at the chart's size, again at every resize. A hover over the entry shows
    /// the whole @p name as a tooltip. The marker's series keeps its own name.
    void setName(QLegendMarker* marker, const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void relabel(qreal chartWidth);
    void label(QLegendMarker* marker, qreal chartWidth);
    /// The widest a label may be, in pixels, at @p chartWidth.
    qreal labelWidth(qreal chartWidth) const;

    QChartView* view_;
    QHash<const QLegendMarker*, QString> names_;
    QPointer<QLegendMarker> hovered_;
};

} // namespace phbuffer::chart
