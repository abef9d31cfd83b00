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
    double yMax = 1;
};

/// The ranges for the active ones of the two series, their points that are not finite
/// left out: the bottom axis from the smallest to the largest x (one x in the middle of
/// a span of 1; 0 to 1 with no point), the left axis from 0 to the largest y (1 when no
/// y is above 0).
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

/// The axes for @p ranges on a chart @p width x @p height pixels: as many labels as fit
/// apart from each other, the bottom labels at least kMinBottomLabelStep apart.
ChartScale chartScale(const AxisRanges& ranges, int width, int height);

} // namespace phbuffer::ui
