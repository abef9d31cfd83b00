// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/chart_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

using namespace phbuffer;
using namespace phbuffer::ui;

namespace {

model::Series SeriesOf(std::initializer_list<model::SeriesPoint> points, bool active = true) {
    model::Series s;
    for (const auto& p : points)
        s.AddXY(p.x, p.y);
    s.Active = active;
    return s;
}

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

TEST(AxisRanges, FitTheActiveSeriesOnlyWithTheLeftAxisFromZero) {
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
    const AxisRanges acid{0, 4.24, 8.2};
    const ChartScale small = chartScale(acid, 800, 400);
    const ChartScale wide = chartScale(acid, 3000, 1200);
    EXPECT_EQ(small.bottom.min, 0);
    EXPECT_EQ(small.bottom.max, 4.24);
    EXPECT_EQ(small.left.min, 0);
    EXPECT_EQ(small.left.max, 8.2);
    EXPECT_DOUBLE_EQ(small.bottom.step, 0.5);
    EXPECT_DOUBLE_EQ(small.left.step, 1);
    EXPECT_DOUBLE_EQ(wide.bottom.step, 0.2);
    EXPECT_DOUBLE_EQ(wide.left.step, 0.5);
    const AxisRanges narrow{0, 0.032, 7};
    EXPECT_DOUBLE_EQ(chartScale(narrow, 800, 400).bottom.step, kMinBottomLabelStep);
    EXPECT_DOUBLE_EQ(chartScale(narrow, 3000, 400).bottom.step, kMinBottomLabelStep);
    EXPECT_GT(chartScale(acid, 0, 0).bottom.step, 0) << "a chart not yet laid out";
}

} // namespace
