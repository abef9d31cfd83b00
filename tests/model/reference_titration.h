// SPDX-License-Identifier: GPL-3.0-or-later
//
// The titration exactly as its steps read: every pass writes the state, runs the full
// speciation and balance, and applies the two reversal rules one after the other. Slow,
// plain and the yardstick for the real run, which must agree with it to the last bit.
#pragma once

#include "model/series.h"
#include "model/speciation.h"
#include "model/titration.h"
#include "model/water_state.h"

#include <cstdint>
#include <cstring>

namespace phbuffer::testing {

/// The bits of @p v, for comparisons that tell 0 from -0 and one rounding from another.
inline std::uint64_t Bits(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

/// Counts in @p exactHits, if given, the passes whose balance equals the target exactly.
/// @p Kw is the ion product of water of the run.
model::RunOutcome ReferenceTitration(model::WaterState& s, model::Series& titration,
                                     model::Series& bufferStrength, std::uint32_t maxSteps,
                                     std::uint64_t* exactHits = nullptr, double Kw = 1e-14);

} // namespace phbuffer::testing
