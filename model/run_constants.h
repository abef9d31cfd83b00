// SPDX-License-Identifier: GPL-3.0-or-later
//
// The units and fixed constants of a run, in one place: the grids and curves speak
// mmol/L and pH, the chemistry mol/L and dissociation constants. Nothing else writes
// these numbers; a condition that changes a constant changes it here.
#pragma once

#include <cmath>
#include <cstdint>

namespace phbuffer::model {

/// Millimoles in a mole: the grids and curves give mmol/L, the balance works in mol/L.
inline constexpr double kMmolPerMol = 1000;
/// The same for the conversions that read a grid in extended precision.
inline constexpr long double kMmolPerMolLong = 1000.0L;
/// Parts in a whole for a partial pressure given in ppm.
inline constexpr long double kPartsPerMillionLong = 1000000.0L;

/// The ion product of water of an ideal water at 25 °C [(mol/L)^2].
inline constexpr double kIonProductOfWater = 1e-14;

/// The strong acid added per titration step [mol/L]: 0.001 mmol/L.
inline constexpr double kTitrantStep = 1e-6;
/// Steps of kTitrantStep in one mmol/L.
inline constexpr double kStepsPerMmol = 1000;

/// The solver ends a step once its factor is below the step over this: HConc is then
/// known to a relative 1e-12.
inline constexpr double kSolverStepsPerFactor = 1000000;

/// The titrant of @p steps steps, in mmol/L, as a run's points and label compute it.
inline double addedAcid(std::uint32_t stepCount, double acidStep) {
    return static_cast<double>(stepCount) * acidStep * kMmolPerMol;
}

/// The titrant of @p steps steps of kTitrantStep in mmol/L, exact to the step: the
/// nearest double to steps / 1000, which addedAcid is not always.
inline double stepsToMmol(std::uint32_t steps) {
    return steps / kStepsPerMmol;
}

/// The whole number of steps that @p mmol mmol/L of titrant is.
inline std::uint32_t mmolToSteps(double mmol) {
    return static_cast<std::uint32_t>(std::lround(mmol * kStepsPerMmol));
}

/// 10 to the power -@p p, computed in extended precision and rounded to a double: the
/// dissociation constant of a pKa, the HConc of a pH.
inline double tenToMinus(double p) {
    return static_cast<double>(std::pow(10.0L, -static_cast<long double>(p)));
}

/// The dissociation constant of the step with @p pKa [mol/L].
inline double dissociationConstant(double pKa) {
    return tenToMinus(pKa);
}

} // namespace phbuffer::model
