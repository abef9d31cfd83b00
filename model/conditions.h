// SPDX-License-Identifier: GPL-3.0-or-later
//
// A water at its temperature and ionic strength: each step's pKa at the temperature, the
// ion product of water, and Davies' activity coefficients with the Debye-Hückel A of water
// at the temperature. Everything is zero-shift at 25 °C and an ideal water.
#pragma once

#include "run_description.h"

namespace phbuffer::model {

/// The temperature range the expressions are used in [°C].
inline constexpr double kMinTemperature = 0;
inline constexpr double kMaxTemperature = 100;
/// Davies' equation is stated up to about this ionic strength [mol/L]; above 0.1 mol/L a
/// result is an estimate.
inline constexpr double kMaxIonicStrength = 1;
inline constexpr double kEstimateAboveIonicStrength = 0.1;

/// The shift of a pKa from 25 °C to @p celsius by @p dependence; 0 at 25 °C.
double pKaShift(const TemperatureDependence& dependence, double celsius);

/// pKw of water at @p celsius: 14 at 25 °C.
double pKwAt(double celsius);

/// The Debye-Hückel A of water at @p celsius, from its dielectric constant (Bradley and
/// Pitzer 1979) and its density (Kell 1975).
double debyeHuckelA(double celsius);

/// log10 of Davies' activity coefficient of an ion of @p charge at @p ionicStrength mol/L
/// and @p celsius; 0 for a neutral species and for an ideal water.
double log10Gamma(int charge, double ionicStrength, double celsius);

/// The electrical conductivity at 25 °C [µS/cm] as an ionic strength [mol/L]: the rule
/// I = 1.6e-5 EC of Russell (1976), for natural waters.
double ionicStrengthOfConductivity(double microSiemensPerCm);

} // namespace phbuffer::model
