// SPDX-License-Identifier: GPL-3.0-or-later
#include "speciation.h"

namespace phbuffer::model {

void ComputeSpeciation(WaterState& s) {
    const double H = s.HConc;
    for (int i = 0; i < kBufferSystemCount; ++i) {
        const double C = s.Conc[i], K1 = s.Ka1[i], K2 = s.Ka2[i], K3 = s.Ka3[i];
        const double D = H * H * K1 + H * H * H + K2 * K1 * H + K3 * K2 * K1;
        s.SpeciesA[i] = (K3 * K2 * K1 / D) * C;
        s.SpeciesHA[i] = (K2 * K1 * H / D) * C;
        s.SpeciesH2A[i] = (H * H * K1 / D) * C;
    }
}

double EvaluateProtonBalance(const WaterState& s) {
    double B = s.OHConc - s.HConc;
    for (int i = 0; i < kBufferSystemCount; ++i)
        B = ((3 * s.SpeciesA[i] + B) + 2 * s.SpeciesHA[i]) + s.SpeciesH2A[i];
    return B;
}

} // namespace phbuffer::model
