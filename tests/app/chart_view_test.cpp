// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_pointer.h"
#include "window_fixture.h"

#include "../model/series_of.h"

#include "chart/chart_file.h"
#include "chart/chart_view.h"
#include "chart/pinned_curve_layer.h"

#include <QApplication>
#include <QClipboard>
#include <QGraphicsEllipseItem>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QValueAxis>
#include <QXmlStreamReader>

using namespace phbuffer;
using phbuffer::model::SeriesOf;
using namespace phbuffer::app;
using namespace phbuffer::chart;
using namespace phbuffer::app::gui;

namespace {

/// The form's chart component with its three titles.
struct TitledChart : ui::Chart {
    TitledChart(const char* title, const char* bottom, const char* left)
        : ui::Chart(QStringLiteral("Chart1"), QString::fromLatin1(title)) {
        BottomAxisTitle = QString::fromLatin1(bottom);
        LeftAxisTitle = QString::fromLatin1(left);
    }
};

class ChartOnScreen : public ::testing::Test {
protected:
    ChartOnScreen() {
        view.resize(800, 400);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    ChartView view;
};

TEST_F(ChartOnScreen, IsTwoDimensionalWithoutLegendOnItsBackgroundColour) {
    EXPECT_FALSE(view.chart()->legend()->isVisible());
    EXPECT_EQ(view.chart()->backgroundBrush().color(), QColor(249, 243, 240));
    EXPECT_TRUE(view.renderHints() & QPainter::Antialiasing);
    EXPECT_EQ(view.titrationSeries()->pen().color(), QColor(217, 0, 0));
    EXPECT_EQ(view.bufferStrengthSeries()->pen().color(), QColor(255, 128, 0));
    EXPECT_EQ(view.bufferStrengthSeries()->pen().capStyle(), Qt::RoundCap);
    EXPECT_FALSE(view.titrationSeries()->pointsVisible());
    EXPECT_FALSE(view.bufferStrengthSeries()->pointsVisible());
}

TEST_F(ChartOnScreen, ScalesTheAxesToTheActiveSeriesOnlyWithRoomAroundThem) {
    const model::Series titration = SeriesOf({{0, 7.8}, {1.5, 6}, {3.3, 4.49}});
    const model::Series buffer = SeriesOf({{4.49, 40}, {6, 90}, {7.79, 12}}, false);
    view.draw(TitledChart("Titration curve", "Added H+ [mmol/L]", "pH [-]"), titration, buffer);
    EXPECT_TRUE(view.titrationSeries()->isVisible());
    EXPECT_FALSE(view.bufferStrengthSeries()->isVisible());
    EXPECT_EQ(view.bufferStrengthSeries()->count(), 3) << "an inactive series keeps its points";
    EXPECT_LT(view.bottomAxis()->min(), 0);
    EXPECT_GT(view.bottomAxis()->max(), 3.3);
    EXPECT_DOUBLE_EQ(view.leftAxis()->min(), 0);
    EXPECT_DOUBLE_EQ(view.leftAxis()->max(), 8);
    EXPECT_EQ(view.chart()->title(), QStringLiteral("Titration curve"));
    EXPECT_EQ(view.bottomAxis()->titleText(), QStringLiteral("Added H+ [mmol/L]"));
    EXPECT_EQ(view.leftAxis()->titleText(), QStringLiteral("pH [-]"));
}

TEST_F(ChartOnScreen, NeverLaysOutMoreLabelsThanFitOnTheWayBetweenTwoRanges) {
    // Qt Charts lays out all labels at every change of range or step: a new range with
    // the old step (0..2000 by 0.1) would mean twenty thousand labels for a moment.
    double mostLabels = 0;
    const auto count = [&] {
        QValueAxis* axis = view.bottomAxis();
        if (axis->tickInterval() > 0)
            mostLabels = std::max(mostLabels, (axis->max() - axis->min()) / axis->tickInterval());
    };
    QObject::connect(view.bottomAxis(), &QValueAxis::rangeChanged, count);
    QObject::connect(view.bottomAxis(), &QValueAxis::tickIntervalChanged, count);
    const model::Series narrow = SeriesOf({{0, 7}, {0.5, 4.4}});
    const model::Series wide = SeriesOf({{0, 7}, {2086, -0.3}});
    const int fit = view.width() / 20; // far more than the chart shows, far fewer than 20000
    for (const model::Series* s : {&narrow, &wide, &narrow, &wide}) {
        view.draw(TitledChart("t", "b", "l"), *s, model::Series());
        EXPECT_LT(mostLabels, fit);
    }
}

TEST_F(ChartOnScreen, HoveringReadsTheShownPointNearestOnTheScreenAndChangesNoPoint) {
    const model::Series titration = SeriesOf({{0, 7.8}, {1.5, 6}, {3.3, 4.49}});
    const model::Series buffer = SeriesOf({{4.49, 40}, {6, 90}, {7.79, 12}}, false);
    view.draw(TitledChart("Titration curve", "Added H+ [mmol/L]", "pH [-]"), titration, buffer);
    QApplication::processEvents(); // the chart lays out its titles and axes
    const QList<QPointF> titrationPoints = view.titrationSeries()->points();
    const QList<QPointF> bufferPoints = view.bufferStrengthSeries()->points();
    EXPECT_FALSE(view.readout()->isVisible());

    // At (2.2, 4.6) the point (3.3, 4.49) is nearer in value, but on the screen, where a
    // unit of acid is five times as wide as a unit of pH is high, (1.5, 6) is.
    Hover(view, OnScreen(view, {2.2, 4.6}, view.titrationSeries()));
    ASSERT_TRUE(view.readout()->isVisible());
    EXPECT_EQ(view.readout()->text(), QStringLiteral("Added H+ 1.500 mmol/L, pH 6.000"));
    Hover(view, OnScreen(view, {3.3, 4.49}, view.titrationSeries()));
    EXPECT_EQ(view.readout()->text(), QStringLiteral("Added H+ 3.300 mmol/L, pH 4.490"));

    // The other view, under a decimal comma: pH and buffer capacity.
    model::Series titrationHidden = titration;
    titrationHidden.Active = false;
    model::Series bufferShown = buffer;
    bufferShown.Active = true;
    view.setDecimalSeparator(U',');
    view.draw(TitledChart("Buffer capacity", "pH [-]", "Buffer capacity [mmol H+/pH-unit]"),
              titrationHidden, bufferShown);
    QApplication::processEvents();
    EXPECT_FALSE(view.readout()->isVisible()) << "a new drawing takes the old readout away";
    Hover(view, OnScreen(view, {6, 90}, view.bufferStrengthSeries()) + QPoint(3, 2));
    ASSERT_TRUE(view.readout()->isVisible());
    EXPECT_EQ(view.readout()->text(),
              QStringLiteral("pH 6,000, buffer capacity 90,000 mmol H+/pH-unit"));
    EXPECT_TRUE(view.rect().contains(view.readout()->geometry())) << "the readout is in sight";

    // Off the plot area, and off the chart.
    Hover(view, QPoint(1, 1));
    EXPECT_FALSE(view.readout()->isVisible());
    Hover(view, OnScreen(view, {6, 90}, view.bufferStrengthSeries()));
    ASSERT_TRUE(view.readout()->isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view.viewport(), &leave);
    EXPECT_FALSE(view.readout()->isVisible());

    EXPECT_EQ(view.titrationSeries()->points(), titrationPoints);
    EXPECT_EQ(view.bufferStrengthSeries()->points(), bufferPoints);
}

TEST_F(ChartOnScreen, AnEmptyChartHasNothingToRead) {
    view.draw(TitledChart("t", "b", "l"), model::Series(), model::Series());
    Hover(view, view.viewport()->rect().center());
    EXPECT_FALSE(view.readout()->isVisible());
}

TEST_F(ChartOnScreen, ZoomsToADraggedRectangleOrByTheWheelAndBackByDoubleClickOrKey) {
    const model::Series titration = SeriesOf({{0, 7.8}, {1, 7}, {2, 6}, {3, 5}, {4, 4.5}});
    view.draw(TitledChart("Titration curve", "Added H+ [mmol/L]", "pH [-]"), titration,
              model::Series());
    QApplication::processEvents();
    QLineSeries* series = view.titrationSeries();
    QWidget* viewport = view.viewport();

    // A drag from (0.5, 7.5) to (2.5, 5.5) shows just that part, and the readout still
    // reads the points in it.
    const QPoint from = OnScreen(view, {0.5, 7.5}, series);
    const QPoint to = OnScreen(view, {2.5, 5.5}, series);
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(viewport, (from + to) / 2);
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
    ASSERT_TRUE(view.isZoomed());
    EXPECT_NEAR(view.bottomAxis()->min(), 0.5, 0.02);
    EXPECT_NEAR(view.bottomAxis()->max(), 2.5, 0.02);
    EXPECT_NEAR(view.leftAxis()->min(), 5.5, 0.05);
    EXPECT_NEAR(view.leftAxis()->max(), 7.5, 0.05);
    QApplication::processEvents();
    Hover(view, OnScreen(view, {2, 6}, series) + QPoint(2, 2));
    ASSERT_TRUE(view.readout()->isVisible());
    EXPECT_EQ(view.readout()->text(), QStringLiteral("Added H+ 2.000 mmol/L, pH 6.000"));
    Hover(view, OnScreen(view, {0.6, 7.4}, series));
    EXPECT_EQ(view.readout()->text(), QStringLiteral("Added H+ 1.000 mmol/L, pH 7.000"))
        << "(0, 7.8), nearer on the screen, is off the zoomed plot area";

    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, OnScreen(view, {1, 7}, series));
    EXPECT_FALSE(view.isZoomed());
    EXPECT_LT(view.bottomAxis()->min(), 0);

    // The wheel zooms in around the value under the mouse, which stays under it.
    const QPoint at = OnScreen(view, {3, 5}, series);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    ASSERT_TRUE(view.isZoomed());
    EXPECT_LT(view.bottomAxis()->max() - view.bottomAxis()->min(), 4);
    EXPECT_LE((OnScreen(view, {3, 5}, series) - at).manhattanLength(), 2);

    QApplication::setActiveWindow(&view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QTest::keyClick(&view, Qt::Key_0, Qt::ControlModifier);
    EXPECT_FALSE(view.isZoomed());
}

TEST_F(ChartOnScreen, ZoomedInReadsOnlyPointsInTheViewAndMarksThemOnThePlotArea) {
    // A dense line, y = 8 - x: wherever the view ends, points lie a pixel beyond it.
    model::Series line;
    for (int i = 0; i <= 2000; ++i)
        line.AddXY(i * 0.002, 8 - i * 0.002);
    view.draw(TitledChart("Titration curve", "Added H+ [mmol/L]", "pH [-]"), line, model::Series());
    QApplication::processEvents();
    QLineSeries* series = view.titrationSeries();
    QWidget* viewport = view.viewport();
    const QPoint from = OnScreen(view, {0.5, 7}, series);
    const QPoint to = OnScreen(view, {3.5, 5}, series);
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
    ASSERT_TRUE(view.isZoomed());
    QApplication::processEvents(); // the new labels give the plot area its new place

    // The curve leaves the view through its top and its bottom edge. Just beyond either,
    // the mouse is in reach of the edge's points and nearer to those beyond it.
    QSignalSpy read(&view, &ChartView::pointRead);
    const double top = view.leftAxis()->max();
    const double bottom = view.leftAxis()->min();
    const struct {
        const char* edge;
        QPointF onEdge;
        QPoint beyond;
    } cases[] = {{"top", {8 - top, top}, {0, -5}}, {"bottom", {8 - bottom, bottom}, {0, 5}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edge);
        QTest::mouseMove(viewport, OnScreen(view, c.onEdge, series) + c.beyond);
        QTRY_VERIFY(view.readout()->isVisible());
        const QRectF plotArea = view.chart()->mapRectToScene(view.chart()->plotArea());
        EXPECT_TRUE(plotArea.contains(view.readoutMarker()->pos()))
            << view.readoutMarker()->pos().y() << " beyond " << plotArea.top() << ".."
            << plotArea.bottom();
        ASSERT_FALSE(read.isEmpty());
        const double pH = read.takeLast().at(0).toDouble();
        EXPECT_GE(pH, bottom);
        EXPECT_LE(pH, top);
    }
}

TEST_F(ChartOnScreen, ListsTheCurrentCurveBesideKeptOnesAndShowsLongNamesWholeOnHover) {
    const QString currentName =
        QStringLiteral("Zwischenbach spring after the long dry summer, second sampling.prn");
    const QString keptName =
        QStringLiteral("Zwischenbach spring before the long dry summer, first sampling.prn");
    view.draw(TitledChart("Titration curve", "Added H+ [mmol/L]", "pH [-]"),
              SeriesOf({{0, 7.8}, {1.5, 6}, {3.3, 4.49}}), SeriesOf({{4.49, 40}}, false));
    view.setCurrentCurveName(currentName);
    view.setPinnedCurves({{keptName, ui::kPinnedCurvePalette[0], {{0, 7.5}, {2, 5}}, {{5, 9}}}});
    QLegend* legend = view.chart()->legend();
    ASSERT_TRUE(legend->isVisible());
    EXPECT_FALSE(legend->markers(view.bufferStrengthSeries()).value(0)->isVisible())
        << "the view shows the titration curves only";
    QApplication::setActiveWindow(&view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));

    const struct {
        QLineSeries* series;
        QString wholeName;
        QString seriesName; ///< stays as it was
    } entries[] = {
        {view.titrationSeries(), currentName + QStringLiteral(" (current)"), QString()},
        {view.pinnedCurves().titrationSeries().value(0), keptName, keptName},
    };
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.wholeName.toStdString());
        const QLegendMarker* marker = legend->markers(entry.series).value(0);
        ASSERT_NE(marker, nullptr);
        QTRY_VERIFY(marker->isVisible());
        const QString label = marker->label();
        EXPECT_LT(label.size(), entry.wholeName.size());
        EXPECT_TRUE(label.startsWith(entry.wholeName.left(10)) &&
                    label.endsWith(entry.wholeName.right(10)) && label.contains(QChar(0x2026)))
            << label.toStdString();
        EXPECT_EQ(entry.series->name(), entry.seriesName);
        // Drawn as labelled, not cut once more at its end.
        QPoint at;
        QTRY_VERIFY((at = LegendEntryAt(view, *marker)).x() >= 0);
        QTest::mouseMove(view.viewport(), at);
        QTRY_COMPARE(QToolTip::text(), entry.wholeName);
    }
}

TEST_F(ChartOnScreen, WritesTheAxisNumbersWithTheFormsDecimalSeparator) {
    view.setDecimalSeparator(U',');
    view.draw(TitledChart("t", "b", "l"), SeriesOf({{0, 1.2}, {1.5, 0.3}}), model::Series());
    QApplication::processEvents();
    const QByteArray svg = chart::chartPicture(view, ui::ChartFormat::Svg);
    EXPECT_TRUE(svg.contains(">0,4<"));
    EXPECT_FALSE(svg.contains(">0.4<"));
}

} // namespace
