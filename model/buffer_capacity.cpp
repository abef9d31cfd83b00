// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffer_capacity.h"

#include <cmath>

namespace phbuffer::model {

namespace {
const long double kLn10 = std::log(10.0L);
}

std::array<double, 4> protonationFractions(double H, double K1, double K2, double K3) {
    // Extended precision keeps H^3 and the products of the constants in range over every
    // pH the form accepts.
    const long double h = H, t0 = h * h * h, t1 = h * h * K1, t2 = h * K1 * K2,
                      t3 = static_cast<long double>(K1) * K2 * K3;
    const long double D = t0 + t1 + t2 + t3;
    return {static_cast<double>(t0 / D), static_cast<double>(t1 / D), static_cast<double>(t2 / D),
            static_cast<double>(t3 / D)};
}

CapacityBreakdown bufferCapacityAt(const WaterState& s, double pH) {
    CapacityBreakdown b;
    b.pH = pH;
    // The constants are conditional ones in concentrations and the pH is a meter's: the
    // balance's pH lies pHOffset above it. A state without an ion product of its own is
    // the ideal water at 25 °C.
    const long double H = std::pow(10.0L, -static_cast<long double>(pH + s.pHOffset));
    const long double OH = (s.Kw > 0 ? s.Kw : kIonProductOfWater) / H;
    b.water = static_cast<double>(kLn10 * (H + OH) * kMmolPerMol);
    long double total = b.water;
    for (int i = 0; i < kBufferSystemCount; ++i) {
        SystemCapacity& sys = b.systems[i];
        sys.inUse = s.Conc[i] != 0 && s.Ka1[i] != 0;
        if (!sys.inUse)
            continue;
        sys.fractions = protonationFractions(static_cast<double>(H), s.Ka1[i], s.Ka2[i], s.Ka3[i]);
        // The variance of the protons released, as the sum over pairs of forms of
        // a_i a_j (i - j)^2: every term is positive, so no cancellation where one form
        // holds nearly all of the system.
        long double variance = 0;
        for (int m = 0; m < 4; ++m)
            for (int n = m + 1; n < 4; ++n)
                variance += static_cast<long double>(sys.fractions[m]) * sys.fractions[n] *
                            (n - m) * (n - m);
        sys.capacity = static_cast<double>(kLn10 * s.Conc[i] * variance * kMmolPerMol);
        total += sys.capacity;
    }
    b.total = static_cast<double>(total);
    return b;
}

double meanBufferCapacity(const WaterState& s, double a, double b) {
    if (a == b)
        return bufferCapacityAt(s, a).total;
    constexpr int kIntervals = 32; // even, as Simpson's rule needs
    const double h = (b - a) / kIntervals;
    long double sum = 0;
    for (int k = 0; k <= kIntervals; ++k) {
        const int weight = (k == 0 || k == kIntervals) ? 1 : (k % 2 ? 4 : 2);
        sum += weight * static_cast<long double>(bufferCapacityAt(s, a + k * h).total);
    }
    return static_cast<double>(sum / (3 * kIntervals));
}

} // namespace phbuffer::model
