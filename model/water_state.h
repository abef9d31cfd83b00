// SPDX-License-Identifier: GPL-3.0-or-later
//
// The water chemistry state: every number that describes the water and every working
// value of the calculations, as plain data. The window owns one instance and hands it by
// reference to the routines that read and write it.
#pragma once

#include <array>
#include <string>

namespace phbuffer::model {

/// Number of buffer-system slots. Slot n (1 to 9) lives at array index n - 1 and is shown
/// in row n of the buffer-system grid.
constexpr int kBufferSystemCount = 9;

using SlotValues = std::array<double, kBufferSystemCount>;

struct WaterState {
    // Water-wide scalars.
    double HConc = 0;               ///< hydrogen ion concentration [mol/L]
    double OHConc = 0;              ///< hydroxide ion concentration, Kw / HConc [mol/L]
    double Kw = 0;                  ///< ion product of water [(mol/L)^2]
    double ProtonBalanceTarget = 0; ///< balance the solver must reach [mol/L]
    double CO2PartialPressure = 0;  ///< CO2 in the gas phase [mole fraction]
    double HenryConstant = 0;       ///< Henry's constant of CO2 [atm/(mole fraction)]
    double HStepFactor = 0;         ///< signed relative change of HConc per solver pass
    double AcidStep = 0;            ///< strong acid added per titration step [mol/L]
    double ProtonBalance = 0;       ///< proton balance at the current HConc [mol/L]
    double pH = 0;                  ///< current pH
    double pHLastPlotted = 0;       ///< pH of the last recorded point
    double LowerpHTarget = 0;       ///< the run stops below this pH
    /// -log10[H+] less the pH a meter reads, log10 of H+'s activity coefficient: 0 for an
    /// ideal water. Set with the conditional constants, for the breakdown at a pH.
    double pHOffset = 0;

    // Per-slot parallel arrays.
    std::array<std::string, kBufferSystemCount> SystemName; ///< display names
    SlotValues Conc{}; ///< total concentration: mmol/L after a catalogue or preset
                       ///< load, mol/L after the grids are read
    SlotValues pKa1{}; ///< catalogue pKa values; 0 means "no such step"
    SlotValues pKa2{};
    SlotValues pKa3{};
    SlotValues Ka1{}; ///< dissociation constants 10^-pKa from the grid [mol/L]; 0 = absent
    SlotValues Ka2{};
    SlotValues Ka3{};
    SlotValues SpeciesH2A{}; ///< singly deprotonated form [mol/L]
    SlotValues SpeciesHA{};  ///< doubly deprotonated form [mol/L]
    SlotValues SpeciesA{};   ///< triply deprotonated form [mol/L]
};

/// Fills names, concentrations (all 0) and pKa values of all nine slots from the default
/// catalogue. Leaves the dissociation constants, the species and every scalar alone.
void LoadDefaultBufferSystems(WaterState& state);

} // namespace phbuffer::model
