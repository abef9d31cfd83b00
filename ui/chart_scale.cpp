// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <utility>

namespace phbuffer::ui {

namespace {
// Labels need about this much room along each axis to stay apart, beside the room the
// axis titles and the margins take.
constexpr int kPixelsPerBottomLabel = 70;
constexpr int kPixelsPerLeftLabel = 36;
constexpr int kBottomAxisMargin = 80;
constexpr int kLeftAxisMargin = 60;
// The part of an axis' span left free beyond the data, so that no point is on the frame.
constexpr double kEdgeRoom = 0.02;

int bottomLabelCount(int width) {
    return std::max(2, (width - kBottomAxisMargin) / kPixelsPerBottomLabel);
}

int leftLabelCount(int height) {
    return std::max(2, (height - kLeftAxisMargin) / kPixelsPerLeftLabel);
}

/// From @p low to @p high and a little beyond, both ends on a label of the step that fits
/// the widened span; @p low stays where it is when it is 0.
AxisScale labelledAround(double low, double high, int labels) {
    const double room = (high - low) * kEdgeRoom;
    AxisScale scale{low, high, niceLabelStep(high - low, labels)};
    const auto setEnds = [&] {
        scale.max = std::ceil((high + room) / scale.step) * scale.step;
        scale.min = low < 0 ? std::floor((low - room) / scale.step) * scale.step : low;
    };
    setEnds();
    // The wider span may take a coarser step, which moves the ends once more.
    scale.step = niceLabelStep(scale.max - scale.min, labels);
    setEnds();
    return scale;
}
} // namespace

AxisScale labelledScale(double low, double high, int labels) {
    if (!(high > low))
        high = low + 1;
    return labelledAround(low, high, labels);
}

double niceLabelStep(double span, int maxLabels, double minStep) {
    if (!(span > 0) || !std::isfinite(span) || maxLabels < 1)
        return std::max(1.0, minStep);
    const double raw = span / maxLabels;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * decade;
    for (const double m : {1.0, 2.0, 5.0}) {
        // The tolerance keeps 0.2 from becoming 0.5 when span / maxLabels rounds up a hair.
        if (m * decade >= raw * (1 - 1e-9)) {
            step = m * decade;
            break;
        }
    }
    return std::max(step, minStep);
}

int labelDecimals(double step) {
    return step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
}

AxisRanges axisRanges(const model::Series& titration, const model::Series& bufferStrength) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    double xMin = kInfinity, xMax = -kInfinity, yMin = kInfinity, yMax = -kInfinity;
    for (const model::Series* s : {&titration, &bufferStrength}) {
        if (!s->Active)
            continue;
        for (const model::SeriesPoint& p : s->points) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                continue;
            xMin = std::min(xMin, p.x);
            xMax = std::max(xMax, p.x);
            yMin = std::min(yMin, p.y);
            yMax = std::max(yMax, p.y);
        }
    }
    AxisRanges ranges;
    if (xMin == xMax) { // one x: centre it
        ranges.xMin = xMin - 0.5;
        ranges.xMax = xMax + 0.5;
    } else if (xMin < xMax) {
        ranges.xMin = xMin;
        ranges.xMax = xMax;
    }
    if (yMin < 0)
        ranges.yMin = yMin;
    if (yMax > 0)
        ranges.yMax = yMax;
    return ranges;
}

ChartScale chartScale(const AxisRanges& ranges, int width, int height) {
    const double xSpan = ranges.xMax - ranges.xMin;
    const double xStep = niceLabelStep(xSpan, bottomLabelCount(width), kMinBottomLabelStep);
    // Less than half a step, so that no label appears beyond the data.
    const double xRoom = std::min(xSpan * kEdgeRoom, xStep / 2);
    return {{ranges.xMin - xRoom, ranges.xMax + xRoom, xStep},
            labelledAround(ranges.yMin, ranges.yMax, leftLabelCount(height))};
}

ChartScale zoomedScale(const AxisRanges& view, int width, int height) {
    return {{view.xMin, view.xMax, niceLabelStep(view.xMax - view.xMin, bottomLabelCount(width))},
            {view.yMin, view.yMax, niceLabelStep(view.yMax - view.yMin, leftLabelCount(height))}};
}

AxisRanges zoomAround(const AxisRanges& view, double x, double y, double factor,
                      const AxisRanges& whole) {
    const auto zoomed = [factor](double low, double high, double at, double wholeSpan) {
        const double span = std::clamp((high - low) * factor, wholeSpan * kMinZoomSpan, wholeSpan);
        // The share of the span below the fixed value stays the same.
        const double below = high > low ? (at - low) / (high - low) : 0.5;
        const double newLow = at - below * span;
        return std::pair<double, double>(newLow, newLow + span);
    };
    AxisRanges r;
    std::tie(r.xMin, r.xMax) = zoomed(view.xMin, view.xMax, x, whole.xMax - whole.xMin);
    std::tie(r.yMin, r.yMax) = zoomed(view.yMin, view.yMax, y, whole.yMax - whole.yMin);
    return r;
}

} // namespace phbuffer::ui
