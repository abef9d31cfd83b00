// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace phbuffer::model {

/// The molar concentration of water [mol/L]: turns Henry's mole fraction into mol/L.
constexpr double kWaterMolarity = 55.58;

/// Dissolved CO2 in equilibrium with the gas phase by Henry's law [mol/L]:
/// partial pressure [atm] times the water molarity, divided by Henry's constant.
inline double dissolvedCO2(double partialPressure, double henryConstant) {
    return partialPressure * kWaterMolarity / henryConstant;
}

/// Total inorganic carbon (dissolved CO2, bicarbonate and carbonate) [mol/L] that goes with
/// @p dissolved at the hydrogen ion concentration @p H and the carbonic acid constants
/// @p K1 and @p K2.
inline double totalInorganicCarbon(double dissolved, double H, double K1, double K2) {
    return (H * H + H * K1 + K1 * K2) * dissolved / (H * H);
}

} // namespace phbuffer::model
