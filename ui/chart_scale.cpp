// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace phbuffer::ui {

namespace {
// Labels need about this much room along each axis to stay apart, beside the room the
// axis titles and the margins take.
constexpr int kPixelsPerBottomLabel = 70;
constexpr int kPixelsPerLeftLabel = 36;
constexpr int kBottomAxisMargin = 80;
constexpr int kLeftAxisMargin = 60;
} // namespace

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
    double xMin = kInfinity, xMax = -kInfinity, yMax = -kInfinity;
    for (const model::Series* s : {&titration, &bufferStrength}) {
        if (!s->Active)
            continue;
        for (const model::SeriesPoint& p : s->points) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                continue;
            xMin = std::min(xMin, p.x);
            xMax = std::max(xMax, p.x);
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
    if (yMax > 0)
        ranges.yMax = yMax;
    return ranges;
}

ChartScale chartScale(const AxisRanges& ranges, int width, int height) {
    const int bottomLabels = std::max(2, (width - kBottomAxisMargin) / kPixelsPerBottomLabel);
    const int leftLabels = std::max(2, (height - kLeftAxisMargin) / kPixelsPerLeftLabel);
    return {{ranges.xMin, ranges.xMax,
             niceLabelStep(ranges.xMax - ranges.xMin, bottomLabels, kMinBottomLabelStep)},
            {0, ranges.yMax, niceLabelStep(ranges.yMax, leftLabels)}};
}

} // namespace phbuffer::ui
