// SPDX-License-Identifier: GPL-3.0-or-later
#include "legend_labels.h"

#include <QChart>
#include <QChartView>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QResizeEvent>
#include <QToolTip>

#include <algorithm>

namespace phbuffer::chart {

namespace {

// Qt Charts cuts a label that does not fit at its end, and gives a legend beside the plot
// at most two fifths of the chart's width. The labels are kept narrower than that, with
// room for the entry's mark and margins, so that Qt never has to cut one again.
constexpr qreal kSideLegendShare = 0.35;
constexpr qreal kRowLegendShare = 0.85;
constexpr qreal kEntryPadding = 24;
// A label never grows past this many average characters, nor shrinks below the few
// that still show something of both ends.
constexpr qreal kMostCharacters = 40;
constexpr qreal kFewestCharacters = 8;

} // namespace

LegendLabels::LegendLabels(QChartView* view) : QObject(view), view_(view) {
    view_->installEventFilter(this);
    view_->viewport()->installEventFilter(this);
}

void LegendLabels::setName(QLegendMarker* marker, const QString& name) {
    if (!names_.contains(marker)) {
        connect(marker, &QLegendMarker::hovered, this, [this, marker](bool over) {
            if (over) {
                hovered_ = marker;
            } else if (hovered_ == marker) {
                hovered_ = nullptr;
                QToolTip::hideText();
            }
        });
        connect(marker, &QObject::destroyed, this, [this, marker] { names_.remove(marker); });
    }
    names_.insert(marker, name);
    label(marker, view_->chart()->size().width());
}

void LegendLabels::relabel(qreal chartWidth) {
    for (QLegendMarker* marker : view_->chart()->legend()->markers())
        if (names_.contains(marker))
            label(marker, chartWidth);
}

void LegendLabels::label(QLegendMarker* marker, qreal chartWidth) {
    const QString elided =
        QFontMetricsF(marker->font())
            .elidedText(names_.value(marker), Qt::ElideMiddle, labelWidth(chartWidth));
    // The legend takes its labels as rich text: a name is shown as typed, '<' and '&' too.
    const QString label = elided.toHtmlEscaped();
    if (marker->label() != label)
        marker->setLabel(label);
}

qreal LegendLabels::labelWidth(qreal chartWidth) const {
    const QLegend* legend = view_->chart()->legend();
    const QFontMetricsF metrics(legend->font());
    qreal share = chartWidth * kSideLegendShare;
    if (legend->alignment() & (Qt::AlignTop | Qt::AlignBottom)) {
        const QList<QLegendMarker*> markers = legend->markers();
        const auto shown = std::count_if(markers.begin(), markers.end(),
                                         [](const QLegendMarker* m) { return m->isVisible(); });
        share = chartWidth * kRowLegendShare / static_cast<qreal>(std::max<qsizetype>(shown, 1));
    }
    const qreal character = metrics.averageCharWidth();
    return std::clamp(share - metrics.height() - kEntryPadding, kFewestCharacters * character,
                      kMostCharacters * character);
}

bool LegendLabels::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::Resize) {
        relabel(static_cast<QResizeEvent*>(event)->size().width());
    } else if (watched == view_->viewport() && event->type() == QEvent::ToolTip && hovered_ &&
               names_.contains(hovered_)) {
        // A legend entry has no tooltip of its own; the scene would show none.
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), names_.value(hovered_),
                           view_->viewport());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace phbuffer::chart
