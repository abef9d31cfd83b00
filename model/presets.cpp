// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets.h"

namespace phbuffer::model {

namespace {
// x mg/L over 60.052 g/mol is written 1000x / 60052: both are exact doubles, so the
// division rounds the exact quotient once.
constexpr double Acetate(double mgPerL) {
    return mgPerL * 1000 / 60052.0;
}
constexpr double Sulfur(double mgPerL) {
    return mgPerL * 1000 / 32065.0;
}

const PresetWater kPresets[] = {
    // medium
    {{3, Acetate(12), 0, 0.155, 2.565, 2.835, Sulfur(30), 0, 0}, 7.8},
    // high
    {{2, Acetate(20), Sulfur(1), 0.23, 3.8, 4.2, Sulfur(50), 0, 0}, 7.2},
    // medium high
    {{2.5, Acetate(16), Sulfur(0.5), 0.184, 3.04, 3.36, Sulfur(40), 0, 0}, 7.4},
    // medium low
    {{3.5, Acetate(10), 0, 0.115, 1.9, 2.1, Sulfur(22), 0, 0}, 8},
    // low
    {{4, Acetate(6), 0, 0.069, 1.14, 1.26, Sulfur(18), 0, 0}, 8.2},
};
} // namespace

const PresetWater& PresetComposition(Preset preset) {
    return kPresets[static_cast<int>(preset)];
}

} // namespace phbuffer::model
