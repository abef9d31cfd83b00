// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets.h"

namespace phbuffer::model {

namespace {
// x mg/L over 60.052 g/mol is written 1000x / 60052: both are exact doubles, so the
// division rounds the exact quotient once.
constexpr double acetate(double mgPerL) {
    return mgPerL * 1000 / 60052.0;
}
constexpr double sulfur(double mgPerL) {
    return mgPerL * 1000 / 32065.0;
}

const PresetWater kPresets[] = {
    // medium
    {{3, acetate(12), 0, 0.155, 2.565, 2.835, sulfur(30), 0, 0}, 7.8},
    // high
    {{2, acetate(20), sulfur(1), 0.23, 3.8, 4.2, sulfur(50), 0, 0}, 7.2},
    // medium high
    {{2.5, acetate(16), sulfur(0.5), 0.184, 3.04, 3.36, sulfur(40), 0, 0}, 7.4},
    // medium low
    {{3.5, acetate(10), 0, 0.115, 1.9, 2.1, sulfur(22), 0, 0}, 8},
    // low
    {{4, acetate(6), 0, 0.069, 1.14, 1.26, sulfur(18), 0, 0}, 8.2},
};
} // namespace

const PresetWater& presetComposition(Preset preset) {
    return kPresets[static_cast<int>(preset)];
}

} // namespace phbuffer::model
