// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/chart_scale.h"

#include "../model/series_of.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

using namespace phbuffer;
using phbuffer::model::SeriesOf;
using namespace phbuffer::ui;

namespace {

TEST(NiceLabelStep, IsOneTwoOrFiveTimesAPowerOfTenWithinTheLabelCountAndTheSmallestStep) {
    EXPECT_DOUBLE_EQ(niceLabelStep(10, 4), 5);
    EXPECT_DOUBLE_EQ(niceLabelStep(3.3, 15), 0.5);
    EXPECT_DOUBLE_EQ(niceLabelStep(2, 10), 0.2);
    EXPECT_DOUBLE_EQ(niceLabelStep(1234, 10), 200);
    EXPECT_DOUBLE_EQ(niceLabelStep(0.004, 10), 0.0005);
    EXPECT_DOUBLE_EQ(niceLabelStep(0.05, 10, 0.1), 0.1);
    EXPECT_DOUBLE_EQ(niceLabelStep(0, 10, 0.1), 1);
}

TEST(LabelDecimals, ShowEveryLabelOfTheStepAndNoMore) {
    EXPECT_EQ(labelDecimals(200), 0);
    EXPECT_EQ(labelDecimals(1), 0);
    EXPECT_EQ(labelDecimals(0.5), 1);
    EXPECT_EQ(labelDecimals(0.1), 1);
    EXPECT_EQ(labelDecimals(0.0005), 4);
}

TEST(AxisRanges, FitTheActiveSeriesOnlyWithTheLeftAxisFromZeroOrBelow) {
    const model::Series titration = SeriesOf({{0, 7.8}, {1.5, 6}, {3.3, 4.49}});
    const model::Series buffer = SeriesOf({{4.49, 40}, {6, 90}, {7.79, 12}}, false);
    AxisRanges r = axisRanges(titration, buffer);
    EXPECT_EQ(r.xMin, 0);
    EXPECT_EQ(r.xMax, 3.3);
    EXPECT_EQ(r.yMax, 7.8);
    r = axisRanges(SeriesOf({{0, 7.8}}, false), SeriesOf({{4.49, 40}, {NAN, 99}, {7.79, 12}}));
    EXPECT_EQ(r.xMin, 4.49);
    EXPECT_EQ(r.xMax, 7.79);
    EXPECT_EQ(r.yMax, 40) << "a point that is not finite is left out";
    EXPECT_EQ(r.yMin, 0);
    r = axisRanges(SeriesOf({{0, 1.2}, {5, -0.7}}), model::Series());
    EXPECT_EQ(r.yMin, -0.7) << "a run to a target below pH 0";
}

TEST(AxisRanges, AnEmptyChartOrASinglePointStillHasAxesAroundIt) {
    AxisRanges r = axisRanges(model::Series(), model::Series());
    EXPECT_EQ(r.xMin, 0);
    EXPECT_EQ(r.xMax, 1);
    EXPECT_EQ(r.yMax, 1);
    r = axisRanges(SeriesOf({{0.001, 4.4}}), model::Series());
    EXPECT_DOUBLE_EQ(r.xMin, 0.001 - 0.5);
    EXPECT_DOUBLE_EQ(r.xMax, 0.001 + 0.5);
    EXPECT_EQ(r.yMax, 4.4);
    r = axisRanges(SeriesOf({{0, -0.3}, {2, -1}}), model::Series());
    EXPECT_EQ(r.yMax, 1) << "no y above 0";
}

TEST(ChartScale, TakesMoreLabelsOnAWiderChartButBottomLabelsNeverCloserThanATenth) {
    const AxisRanges acid{0, 4.24, 0, 8.2};
    const ChartScale small = chartScale(acid, 800, 400);
    const ChartScale wide = chartScale(acid, 3000, 1200);
    EXPECT_DOUBLE_EQ(small.bottom.step, 0.5);
    EXPECT_DOUBLE_EQ(small.left.step, 1);
    EXPECT_DOUBLE_EQ(wide.bottom.step, 0.2);
    EXPECT_DOUBLE_EQ(wide.left.step, 0.5);
    const AxisRanges narrow{0, 0.032, 0, 7};
    EXPECT_DOUBLE_EQ(chartScale(narrow, 800, 400).bottom.step, kMinBottomLabelStep);
    EXPECT_DOUBLE_EQ(chartScale(narrow, 3000, 400).bottom.step, kMinBottomLabelStep);
    EXPECT_GT(chartScale(acid, 0, 0).bottom.step, 0) << "a chart not yet laid out";
}

TEST(ChartScale, LeavesRoomAroundTheDataAndEndsTheLeftAxisOnALabel) {
    const ChartScale s = chartScale({0, 4.24, 0, 8.2}, 800, 400);
    EXPECT_LT(s.bottom.min, 0) << "the first point is off the frame";
    EXPECT_GT(s.bottom.min, -s.bottom.step) << "no label left of the data";
    EXPECT_GT(s.bottom.max, 4.24);
    EXPECT_EQ(s.left.min, 0);
    EXPECT_EQ(s.left.max, 9) << "the peak below the frame, the top on a label";
    EXPECT_EQ(chartScale({0, 4.24, 0, 8}, 800, 400).left.max, 9) << "a peak on a label";

    const ChartScale below = chartScale({0, 30, -0.7, 8.1}, 800, 600);
    EXPECT_EQ(below.left.min, -1) << "a curve below pH 0 takes the axis to the next label";
    EXPECT_EQ(below.left.max, 9);
}

TEST(Zoom, ShowsExactlyThePartAndKeepsTheValueUnderTheMouse) {
    const AxisRanges whole{0, 10, 0, 8};
    const ChartScale part = zoomedScale({2, 3, 4, 5}, 800, 400);
    EXPECT_EQ(part.bottom.min, 2);
    EXPECT_EQ(part.bottom.max, 3);
    EXPECT_DOUBLE_EQ(part.bottom.step, 0.1);
    EXPECT_EQ(part.left.max, 5);

    const AxisRanges in = zoomAround(whole, 2.5, 6, 0.5, whole);
    EXPECT_DOUBLE_EQ(in.xMin, 1.25);
    EXPECT_DOUBLE_EQ(in.xMax, 6.25);
    EXPECT_DOUBLE_EQ(in.yMin, 3);
    EXPECT_DOUBLE_EQ(in.yMax, 7);
    const AxisRanges out = zoomAround(in, 2.5, 6, 100, whole);
    EXPECT_DOUBLE_EQ(out.xMax - out.xMin, 10) << "never wider than the whole curve";
    const AxisRanges deep = zoomAround(whole, 5, 4, 1e-9, whole);
    EXPECT_NEAR(deep.xMax - deep.xMin, 10 * kMinZoomSpan, 1e-12);
}

} // namespace
