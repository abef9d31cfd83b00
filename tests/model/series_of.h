// SPDX-License-Identifier: GPL-3.0-or-later
//
// A series from a list of points, for the tests of what draws or scales a curve.
#pragma once

#include "model/series.h"

#include <initializer_list>

namespace phbuffer::model {

inline Series SeriesOf(std::initializer_list<SeriesPoint> points, bool active = true) {
    Series s;
    for (const auto& p : points)
        s.AddXY(p.x, p.y);
    s.Active = active;
    return s;
}

} // namespace phbuffer::model
