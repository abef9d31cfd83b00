// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/series.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <utility>
#include <vector>

using phbuffer::model::Series;

namespace {

std::vector<std::pair<double, double>> Points(const Series& s) {
    std::vector<std::pair<double, double>> out;
    for (std::size_t i = 0; i < s.Count(); ++i)
        out.emplace_back(s.XValue(i), s.YValue(i));
    return out;
}

TEST(Series, AppendsPointsThatDoNotGoBack) {
    Series s;
    s.AddXY(1, 10);
    s.AddXY(2, 20);
    s.AddXY(2, 21);
    using P = std::vector<std::pair<double, double>>;
    EXPECT_EQ(Points(s), (P{{1, 10}, {2, 20}, {2, 21}}));
}

TEST(Series, InsertsAnEarlierXAfterTheLastPointNotGreater) {
    Series s;
    s.AddXY(5, 1);
    s.AddXY(3, 2);   // to the front
    s.AddXY(4, 3);   // between
    s.AddXY(3, 4);   // after the earlier 3
    s.AddXY(0.5, 5); // to the front again
    using P = std::vector<std::pair<double, double>>;
    EXPECT_EQ(Points(s), (P{{0.5, 5}, {3, 2}, {3, 4}, {4, 3}, {5, 1}}));
}

TEST(Series, FallingXEndsInAscendingOrder) {
    Series s;
    for (double x = 7.0; x > 4.0; x -= 0.5)
        s.AddXY(x, x * 2);
    for (std::size_t i = 1; i < s.Count(); ++i)
        EXPECT_LT(s.XValue(i - 1), s.XValue(i));
    s.Clear();
    EXPECT_EQ(s.Count(), 0u);
}

} // namespace
