// SPDX-License-Identifier: GPL-3.0-or-later
#include "series.h"

#include <algorithm>

namespace phbuffer::model {

void Series::AddXY(double x, double y) {
    if (points.empty() || !(x < points.back().x)) {
        points.push_back({x, y});
        return;
    }
    const auto after = std::upper_bound(points.begin(), points.end(), x,
                                        [](double v, const SeriesPoint& p) { return v < p.x; });
    points.insert(after, {x, y});
}

} // namespace phbuffer::model
