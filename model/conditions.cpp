// SPDX-License-Identifier: GPL-3.0-or-later
#include "conditions.h"

#include <cmath>

namespace phbuffer::model {

namespace {

constexpr double kZeroCelsius = 273.15;     ///< [K]
constexpr double kReferenceKelvin = 298.15; ///< 25 °C [K]
constexpr double kGasConstant = 0.0083147;  ///< [kJ/(mol K)]
constexpr double kDaviesLinearTerm = 0.3;   ///< of Davies' equation
constexpr double kRussellRule = 1.6e-5;     ///< mol/L per µS/cm
constexpr double kDebyeHuckelFactor = 1.82483e6;
constexpr double kAtmosphereInBar = 1.01325;

/// The water's own dissociation, as the public databases write it.
const TemperatureDependence kWater{TemperatureDependence::Form::Analytic,
                                   -1,
                                   {0.1360833, -10576.913, -123.73158, 0, -6.996455e-05},
                                   0};

double analytic(const std::array<double, 5>& a, double T) {
    return a[0] * T + a[1] / T + a[2] * std::log10(T) + a[3] / (T * T) + a[4] * T * T;
}

} // namespace

double pKaShift(const TemperatureDependence& d, double celsius) {
    if (celsius == 25)
        return 0;
    const double T = celsius + kZeroCelsius;
    switch (d.form) {
    case TemperatureDependence::Form::None:
        return 0;
    case TemperatureDependence::Form::Analytic:
        return d.sign * (analytic(d.coefficients, T) - analytic(d.coefficients, kReferenceKelvin));
    case TemperatureDependence::Form::VantHoff:
        return d.enthalpy / (kGasConstant * std::log(10.0)) * (1 / T - 1 / kReferenceKelvin);
    }
    return 0;
}

double pKwAt(double celsius) {
    return 14 + pKaShift(kWater, celsius);
}

double debyeHuckelA(double t) {
    // The dielectric constant of Bradley and Pitzer (1979) at 1 atm, the density of Kell
    // (1975): together they give the A that the public geochemical databases use.
    const double T = t + kZeroCelsius;
    const double epsilon1000 = 342.79 * std::exp(-5.0866e-3 * T + 9.469e-7 * T * T);
    const double C = -2.0525 + 3115.9 / (T - 182.89);
    const double B = -8032.5 + 4.2142e6 / T + 2.1417 * T;
    const double epsilon = epsilon1000 + C * std::log((B + kAtmosphereInBar) / (B + 1000));
    const double density =
        (999.83952 + 16.945176 * t - 7.9870401e-3 * t * t - 46.170461e-6 * t * t * t +
         105.56302e-9 * t * t * t * t - 280.54253e-12 * t * t * t * t * t) /
        (1 + 16.879850e-3 * t) / 1000; // g/cm3
    return kDebyeHuckelFactor * std::sqrt(density) / std::pow(epsilon * T, 1.5);
}

double log10Gamma(int charge, double I, double celsius) {
    if (charge == 0 || I == 0)
        return 0;
    const double root = std::sqrt(I);
    return -debyeHuckelA(celsius) * charge * charge * (root / (1 + root) - kDaviesLinearTerm * I);
}

double ionicStrengthOfConductivity(double microSiemensPerCm) {
    return kRussellRule * microSiemensPerCm;
}

} // namespace phbuffer::model
