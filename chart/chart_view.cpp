// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_view.h"

#include "pinned_curve_layer.h"

#include "ui/errors.h"
#include "ui/number_format.h"

#include "svg_font_family.h"
#include <QAction>

#include <QBuffer>
#include <QContextMenuEvent>
#include <QGraphicsEllipseItem>
#include <QGraphicsLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QRubberBand>
#include <QSvgGenerator>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace phbuffer::chart {

namespace {

// The radius of the ring around the point that the readout reads.
constexpr qreal kMarkerRadius = 3.5;

/// The locale whose numbers have @p separator as their decimal separator and no group
/// separators, as the form writes its numbers: the system's where it agrees.
QLocale numberLocale(char32_t separator) {
    QLocale locale = QLocale::system();
    const auto hasSeparator = [separator](const QLocale& l) {
        return l.decimalPoint() == QString::fromUcs4(&separator, 1);
    };
    if (!hasSeparator(locale))
        locale = separator == U',' ? QLocale(QLocale::German) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QList<QPointF> pointsOf(const model::Series& series) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(series.Count()));
    for (const model::SeriesPoint& p : series.points)
        points.append(QPointF(p.x, p.y));
    return points;
}

/// Gives @p axis a new range and label step. Qt Charts lays out every label (as rich text)
/// at each change, so the two changes go in the order that never passes through a state
/// with more labels than the old or the new one: a coarser step first, a finer one last.
/// The other order turns a move from 0..1 by 0.1 to 0..2000 by 200 into twenty thousand
/// labels for a moment.
void setScale(QValueAxis* axis, const ui::AxisScale& scale) {
    if (scale.step >= axis->tickInterval()) {
        axis->setTickInterval(scale.step);
        axis->setRange(scale.min, scale.max);
    } else {
        axis->setRange(scale.min, scale.max);
        axis->setTickInterval(scale.step);
    }
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(ui::labelDecimals(scale.step)));
}

QPen seriesPen(QRgb colour, Qt::PenCapStyle cap) {
    QPen pen{QColor::fromRgb(colour)};
    pen.setWidthF(1.5);
    pen.setCapStyle(cap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

} // namespace

ChartView::ChartView(QWidget* parent)
    : QChartView(new QChart, parent), titration_(new QLineSeries), bufferStrength_(new QLineSeries),
      bottomAxis_(new QValueAxis), leftAxis_(new QValueAxis), readout_(new QLabel(viewport())),
      marker_(new QGraphicsEllipseItem(-kMarkerRadius, -kMarkerRadius, 2 * kMarkerRadius,
                                       2 * kMarkerRadius)),
      rubberBand_(new QRubberBand(QRubberBand::Rectangle, viewport())),
      saveAction_(new QAction(tr("Save graph as..."), this)),
      printAction_(new QAction(tr("Print..."), this)),
      wholeCurveAction_(new QAction(tr("Show whole curve"), this)) {
    setObjectName(QStringLiteral("Chart1"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setRenderHint(QPainter::Antialiasing);
    // The scene would take every drag and then refuse to have anything dropped: a file
    // dropped on the chart is for the window to load.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);

    QChart* c = chart();
    c->legend()->hide();
    c->setBackgroundBrush(QColor::fromRgb(ChartColours::kBackground));
    c->setBackgroundPen(Qt::NoPen);
    c->setBackgroundRoundness(0);
    c->setDropShadowEnabled(false);
    c->setPlotAreaBackgroundVisible(false);
    c->setAnimationOptions(QChart::NoAnimation);
    // The background fills the view to its edges, as the chart's colour is the panel's.
    c->layout()->setContentsMargins(0, 0, 0, 0);
    c->setMargins(QMargins(6, 4, 14, 4));
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPixelSize(13);
    c->setTitleFont(titleFont);

    titration_->setObjectName(QStringLiteral("TitrationSeries"));
    titration_->setPen(seriesPen(ChartColours::kTitration, Qt::SquareCap));
    bufferStrength_->setObjectName(QStringLiteral("BufferStrengthSeries"));
    bufferStrength_->setPen(seriesPen(ChartColours::kBufferStrength, Qt::RoundCap));
    for (QLineSeries* s : {titration_, bufferStrength_}) {
        s->setPointsVisible(false);
        c->addSeries(s);
    }
    for (QValueAxis* axis : {bottomAxis_, leftAxis_}) {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setMinorTickCount(0);
        axis->setLabelsFont(font());
        axis->setTitleFont(font());
        axis->setGridLineColor(QColor(0xd8, 0xd0, 0xcc));
    }
    c->addAxis(bottomAxis_, Qt::AlignBottom);
    c->addAxis(leftAxis_, Qt::AlignLeft);
    for (QLineSeries* s : {titration_, bufferStrength_}) {
        s->attachAxis(bottomAxis_);
        s->attachAxis(leftAxis_);
    }

    // The readout is a label over the chart and a ring around the point it reads; neither
    // is part of the chart, and the mouse goes through the label to the chart below.
    readout_->setObjectName(QStringLiteral("ChartReadout"));
    readout_->setAttribute(Qt::WA_TransparentForMouseEvents);
    readout_->setAutoFillBackground(true);
    readout_->setBackgroundRole(QPalette::ToolTipBase);
    readout_->setForegroundRole(QPalette::ToolTipText);
    readout_->setFrameStyle(QFrame::Box | QFrame::Plain);
    readout_->setMargin(2);
    readout_->hide();
    marker_->setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
    marker_->setBrush(Qt::NoBrush);
    marker_->setZValue(1000);
    marker_->hide();
    scene()->addItem(marker_);
    viewport()->setMouseTracking(true);
    // A zoom changes the axes' labels and with them the plot area, after the readout was
    // placed: it moves with the point it reads.
    connect(c, &QChart::plotAreaChanged, this, [this] {
        if (readout_->isVisible())
            showReadout(readoutPos_);
    });
    pinned_ = std::make_unique<PinnedCurveLayer>(this, bottomAxis_, leftAxis_,
                                                 QList<QLineSeries*>{titration_, bufferStrength_});

    saveAction_->setObjectName(QStringLiteral("SaveGraphAction"));
    saveAction_->setShortcut(Qt::CTRL | Qt::Key_G);
    printAction_->setObjectName(QStringLiteral("PrintGraphAction"));
    const QList<QKeySequence> printKeys = QKeySequence::keyBindings(QKeySequence::Print);
    printAction_->setShortcuts(printKeys.isEmpty() ? QList<QKeySequence>{Qt::CTRL | Qt::Key_P}
                                                   : printKeys);
    wholeCurveAction_->setObjectName(QStringLiteral("WholeCurveAction"));
    wholeCurveAction_->setShortcut(Qt::CTRL | Qt::Key_0);
    wholeCurveAction_->setEnabled(false);
    connect(wholeCurveAction_, &QAction::triggered, this, &ChartView::showWholeCurve);
    // The keys work wherever the focus is in the window, as the buttons' keys do.
    for (QAction* action : {saveAction_, printAction_, wholeCurveAction_}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    setDecimalSeparator(decimalSeparator_);

    draw(ui::Chart(QStringLiteral("Chart1"), QString()), model::Series(), model::Series());
}

ChartView::~ChartView() = default;

void ChartView::setPinnedCurves(const std::vector<ui::PinnedCurve>& curves) {
    pinned_->set(curves);
    ranges_ = pinned_->widen(seriesRanges_);
    applyRanges();
}

void ChartView::setCurrentCurveName(const QString& name) {
    pinned_->setCurrentName(name);
}

void ChartView::draw(const ui::Chart& chart, const model::Series& titration,
                     const model::Series& bufferStrength) {
    // The point read may be gone; the next move of the mouse reads the new curve.
    hideReadout();
    QChart* c = this->chart();
    c->setTitle(chart.Title);
    bottomAxis_->setTitleText(chart.BottomAxisTitle);
    leftAxis_->setTitleText(chart.LeftAxisTitle);
    baseAdded_ = chart.baseAdded;
    // The window redraws after every click; a curve that has not changed keeps its zoom
    // and spares Qt Charts a new layout of every point.
    bool changed = false;
    for (auto [view, series] :
         {std::pair{titration_, &titration}, std::pair{bufferStrength_, &bufferStrength}}) {
        QList<QPointF> points = pointsOf(*series);
        if (points != view->points()) {
            view->replace(points);
            changed = true;
        }
        if (view->isVisible() != series->Active) {
            view->setVisible(series->Active);
            changed = true;
        }
    }
    if (changed)
        zoom_.reset();

    pinned_->showView(titration.Active, bufferStrength.Active);
    seriesRanges_ = ui::axisRanges(titration, bufferStrength);
    ranges_ = pinned_->widen(seriesRanges_);
    applyRanges();
}

void ChartView::applyRanges() {
    const ui::ChartScale scale = zoom_ ? ui::zoomedScale(*zoom_, width(), height())
                                       : ui::chartScale(ranges_, width(), height());
    setScale(bottomAxis_, scale.bottom);
    setScale(leftAxis_, scale.left);
    wholeCurveAction_->setEnabled(zoom_.has_value());
}

void ChartView::setDecimalSeparator(char32_t separator) {
    decimalSeparator_ = separator;
    const QLocale locale = numberLocale(separator);
    // A new locale lays out every label again; most redraws keep the one there is.
    if (!chart()->localizeNumbers() || chart()->locale() != locale) {
        chart()->setLocale(locale);
        chart()->setLocalizeNumbers(true);
    }
}

void ChartView::contextMenuEvent(QContextMenuEvent* event) {
    hideReadout();
    QMenu menu(this);
    menu.addAction(saveAction_);
    menu.addAction(printAction_);
    menu.addSeparator();
    menu.addAction(wholeCurveAction_);
    menu.exec(event->globalPos());
}

void ChartView::resizeEvent(QResizeEvent* event) {
    hideReadout();
    QChartView::resizeEvent(event);
    // The same ranges take more or fewer labels at the new size.
    applyRanges();
}

void ChartView::paintEvent(QPaintEvent* event) {
    QChartView::paintEvent(event);
    emit painted();
}

void ChartView::renderChart(QPainter& painter, const QRectF& target) {
    hideReadout();
    render(&painter, target, viewport()->rect());
}

QMimeData* ChartView::clipboardData() {
    // The copy is the chart, not what the mouse happens to point at.
    hideReadout();
    const QSize size = viewport()->size();
    if (size.isEmpty())
        throw ui::HandlerError(tr("The chart has no size on the screen to copy"));

    QBuffer svg;
    svg.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&svg);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(logicalDpiX());
    generator.setTitle(chart()->title());
    QPainter painter;
    if (!painter.begin(&generator))
        throw ui::HandlerError(tr("The chart could not be drawn as a picture"));
    painter.setRenderHint(QPainter::Antialiasing);
    render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), viewport()->rect());
    painter.end();

    const QImage bitmap = viewport()->grab().toImage();
    if (bitmap.isNull())
        throw ui::HandlerError(tr("The chart could not be drawn as a bitmap"));

    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"), withGenericFontFamily(svg.data()));
    data->setImageData(bitmap);
    return data;
}

} // namespace phbuffer::chart
