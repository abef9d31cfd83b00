// SPDX-License-Identifier: GPL-3.0-or-later
//
// Where the buffering of a water comes from: the analytic buffer capacity at a pH, split
// into the water's own share and one share per buffer system, with the protonation forms
// each system stands in there.
#pragma once

#include "run_constants.h"
#include "water_state.h"

#include <array>

namespace phbuffer::model {

/// Fractions of a buffer system in its four forms H3A, H2A-, HA2- and A3- at the hydrogen
/// ion concentration @p H [mol/L], with the constants of the three steps (0 = no such
/// step, as in the speciation). They sum to 1.
std::array<double, 4> protonationFractions(double H, double K1, double K2, double K3);

struct SystemCapacity {
    double capacity = 0;               ///< [mmol/L per pH unit]; 0 for an unused slot
    std::array<double, 4> fractions{}; ///< H3A, H2A-, HA2-, A3-
    bool inUse = false;                ///< the slot has a concentration and a first constant
};

struct CapacityBreakdown {
    double pH = 0;
    double water = 0; ///< ln(10) x (H + OH) [mmol/L per pH unit]
    std::array<SystemCapacity, kBufferSystemCount> systems{};
    double total = 0; ///< water plus all systems [mmol/L per pH unit]
};

/// The buffer capacity of the water in @p state at @p pH: for each system
/// ln(10) x C x (the variance of the number of protons it has released), for the water
/// ln(10) x (H + OH). @p state must hold mol/L concentrations and the constants, as after
/// reading the grids.
CapacityBreakdown bufferCapacityAt(const WaterState& state, double pH);

/// The mean of the analytic total buffer capacity over the pH interval [@p a, @p b] (in
/// either order), by composite Simpson integration; what a titration measures between two
/// recorded points.
double meanBufferCapacity(const WaterState& state, double a, double b);

} // namespace phbuffer::model
