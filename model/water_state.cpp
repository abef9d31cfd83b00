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

} // namespace phbuffer::model
