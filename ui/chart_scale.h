// SPDX-License-Identifier: GPL-3.0-or-later
//
// The chart's axes as numbers: the ranges that fit the series shown, and label steps that
// suit the ranges and the chart's size on the screen.
#pragma once

#include "model/series.h"

namespace phbuffer::ui {

/// The smallest step between two labels of the bottom axis.
constexpr double kMinBottomLabelStep = 0.1;

/// A "nice" label step (1, 2 or 5 times a power of ten) that splits @p span into at most
/// @p maxLabels intervals, and never below @p minStep. A span of 0 or less gets 1.
double niceLabelStep(double span, int maxLabels, double minStep = 0);

/// The decimals that show every label of @p step without trailing noise.
int labelDecimals(double step);

/// The values the axes span.
struct AxisRanges {
    double xMin = 0;
    double xMax = 1;
    double yMin = 0;
    double yMax = 1;
};

/// The ranges for the active ones of the two series, their points that are not finite
/// left out: the bottom axis from the smallest to the largest x (one x in the middle of
/// a span of 1; 0 to 1 with no point), the left axis from the smallest y or 0, whichever
/// is lower, to the largest y (1 when no y is above 0).
AxisRanges axisRanges(const model::Series& titration, const model::Series& bufferStrength);

/// One axis as drawn: its range and the step between its labels.
struct AxisScale {
    double min;
    double max;
    double step;
};

struct ChartScale {
    AxisScale bottom;
    AxisScale left;
};

/// The axes of the whole curve, @p ranges, on a chart @p width x @p height pixels: as
/// many labels as fit apart from each other, the bottom labels at least
/// kMinBottomLabelStep apart. The bottom axis reaches a little beyond both ends of the
/// data, and the left axis ends on the first label beyond the data (or on 0, where no y is
/// below 0), so that no point lies on the frame and the top of the axis has its number.
ChartScale chartScale(const AxisRanges& ranges, int width, int height);

/// One axis from @p low to @p high and a little beyond, at most @p labels intervals of a
/// nice step, both ends on a label (@p low stays when it is 0): the same data always
/// gets the same axis, whatever was shown before.
AxisScale labelledScale(double low, double high, int labels);

/// The axes of a zoomed part of the chart: exactly @p view, with as many labels as fit.
ChartScale zoomedScale(const AxisRanges& view, int width, int height);

/// @p view zoomed by @p factor (below 1 in, above 1 out) around the value (@p x, @p y),
/// which stays where it is on the screen. The spans never shrink below kMinZoomSpan of
/// @p whole's, nor grow beyond them.
AxisRanges zoomAround(const AxisRanges& view, double x, double y, double factor,
                      const AxisRanges& whole);

/// The smallest part of the whole curve's span, on each axis, that a zoom shows.
constexpr double kMinZoomSpan = 1e-4;

} // namespace phbuffer::ui
