// SPDX-License-Identifier: GPL-3.0-or-later
//
// Chart1 drawn with Qt Charts: the form's titles and its two series, the axes scaled to
// the series that is shown, a readout of the point under the mouse, and zooming into a
// part of the curve.
#pragma once

#include "model/series.h"
#include "ui/chart_scale.h"
#include "ui/components.h"
#include "ui/pinned_curves.h"

#include <QChartView>

#include <memory>
#include <optional>
#include <vector>

class QAction;
class QGraphicsEllipseItem;
class QRubberBand;
class QLabel;
class QLineSeries;
class QMimeData;
class QValueAxis;

namespace phbuffer::chart {

class PinnedCurveLayer;

/// The chart's look. The colours are those the form's views are described with.
struct ChartColours {
    static constexpr QRgb kBackground = 0xFFF9F3F0;     ///< RGB (249, 243, 240)
    static constexpr QRgb kTitration = 0xFFD90000;      ///< RGB (217, 0, 0)
    static constexpr QRgb kBufferStrength = 0xFFFF8000; ///< RGB (255, 128, 0)
};

/// The view of the form's chart. It draws copies of the titles and points that draw()
/// hands it, so painting never reads the form.
class ChartView : public QChartView {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);
    ~ChartView() override;

    /// Shows the chart and axis titles of @p chart and the points and activity of the two
    /// series; the axes scale to the active series (ui::axisRanges).
    void draw(const ui::Chart& chart, const model::Series& titration,
              const model::Series& bufferStrength);

    /// Draws @p curves, kept from earlier runs, beside the run's own, in the view that
    /// is shown; the axes widen to hold them.
    void setPinnedCurves(const std::vector<ui::PinnedCurve>& curves);
    const PinnedCurveLayer& pinnedCurves() const { return *pinned_; }
    /// Names the run's curves in the legend, which lists them beside the kept curves,
    /// after @p name, the water of the run.
    void setCurrentCurveName(const QString& name);

    /// The chart exactly as drawn at its current size, for the clipboard: a vector picture
    /// (image/svg+xml) and a bitmap. Throws ui::HandlerError when the picture can't be made.
    QMimeData* clipboardData();

    /// Draws the chart as it is now, at any size, into @p target of @p painter: the
    /// pictures written to files and the printed page. The readout is left out.
    void renderChart(QPainter& painter, const QRectF& target);

    /// The decimal separator of the axes' and the readout's numbers; the form's.
    void setDecimalSeparator(char32_t separator);

    /// Whether a part of the curve is shown instead of all of it.
    bool isZoomed() const { return zoom_.has_value(); }
    /// Shows the whole curve again.
    void showWholeCurve();

    /// The chart's commands, for its context menu, the window's buttons and their keys:
    /// "Save graph as...", "Print..." and back to the whole curve. The view only offers
    /// them; whoever shows the view connects the first two.
    QAction* saveAction() const { return saveAction_; }
    QAction* printAction() const { return printAction_; }
    QAction* wholeCurveAction() const { return wholeCurveAction_; }
    /// The readout of the point nearest to the mouse: shown while the mouse is over the
    /// plot area and a shown series has points, hidden otherwise.
    const QLabel* readout() const { return readout_; }
    /// The ring around the point the readout reads, on the plot area whenever shown.
    const QGraphicsEllipseItem* readoutMarker() const { return marker_; }

    QLineSeries* titrationSeries() const { return titration_; }
    QLineSeries* bufferStrengthSeries() const { return bufferStrength_; }
    QValueAxis* bottomAxis() const { return bottomAxis_; }
    QValueAxis* leftAxis() const { return leftAxis_; }

signals:
    /// Emitted after every paint of the chart, when the picture is on the screen.
    void painted();
    /// The readout shows a point of the run's curves, which lies at @p pH.
    void pointRead(double pH);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    /// Sets the axes to the zoomed part, or to ranges_ with room around the data, with
    /// label steps that suit the chart's size.
    void applyRanges();
    /// The plot area in viewport coordinates.
    QRectF plotArea() const;
    /// The values shown at @p pos (viewport coordinates).
    QPointF valueAt(QPointF pos) const;
    /// The ranges the axes show now.
    ui::AxisRanges shownRanges() const;
    void zoomTo(const ui::AxisRanges& view);
    /// Shows the readout of the shown point nearest to @p pos (viewport coordinates) on
    /// the screen, or hides it when the mouse is off the plot area or there is none.
    void showReadout(QPoint pos);
    void hideReadout();

    QLineSeries* titration_;
    QLineSeries* bufferStrength_;
    QValueAxis* bottomAxis_;
    QValueAxis* leftAxis_;
    QLabel* readout_;
    QGraphicsEllipseItem* marker_;
    QRubberBand* rubberBand_;
    QAction* saveAction_;
    QAction* printAction_;
    QAction* wholeCurveAction_;
    std::unique_ptr<PinnedCurveLayer> pinned_;
    ui::AxisRanges seriesRanges_; ///< of the run's own curves
    ui::AxisRanges ranges_;       ///< shown: widened to the kept curves
    std::optional<ui::AxisRanges> zoom_;
    /// Where a drag for a zoom rectangle began, while the left button is down.
    std::optional<QPoint> dragStart_;
    /// Where the mouse was when the readout was last shown (viewport coordinates).
    QPoint readoutPos_;
    char32_t decimalSeparator_ = U'.';
    /// The curves are of a base run: the readout names OH-.
    bool baseAdded_ = false;
};

} // namespace phbuffer::chart
