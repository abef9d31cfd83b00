// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

namespace phbuffer::model {

struct SeriesPoint {
    double x;
    double y;
};

/// A chart's line series as plain data: points kept in ascending x, and whether the
/// series is drawn.
struct Series {
    std::vector<SeriesPoint> points;
    bool Active = true;

    void Clear() { points.clear(); }
    /// Appends when @p x is not below the last point's x; otherwise inserts the point
    /// right after the last point whose x is not greater, so equal x keep their order.
    void AddXY(double x, double y);
    std::size_t Count() const { return points.size(); }
    double XValue(std::size_t i) const { return points[i].x; }
    double YValue(std::size_t i) const { return points[i].y; }
};

} // namespace phbuffer::model
