// SPDX-License-Identifier: GPL-3.0-or-later
#include "water_state.h"

namespace phbuffer::model {

namespace {
struct CatalogueEntry {
    const char* name;
    double pKa1, pKa2, pKa3;
};

// An absent dissociation step is written as pKa 0.
constexpr CatalogueEntry kCatalogue[kBufferSystemCount] = {
    {"Dissolved Inorganic Carbon (CO2-total)", 6.38, 10.32, 0},
    {"Acetic acid", 4.76, 0, 0},
    {"Dissolved sulfide", 7.05, 14, 0},
    {"Phosphate", 2.12, 7.21, 12.67},
    {"Ammonia", 9.21, 0, 0},
    {"Amino groups", 9.5, 0, 0},
    {"Carboxyl groups/HSO4-", 1.92, 0, 0},
    {"Yet undefined", 0, 0, 0},
    {"Yet undefined", 0, 0, 0},
};
} // namespace

void LoadDefaultBufferSystems(WaterState& state) {
    for (int i = 0; i < kBufferSystemCount; ++i) {
        state.SystemName[i] = kCatalogue[i].name;
        state.Conc[i] = 0;
        state.pKa1[i] = kCatalogue[i].pKa1;
        state.pKa2[i] = kCatalogue[i].pKa2;
        state.pKa3[i] = kCatalogue[i].pKa3;
    }
}

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
