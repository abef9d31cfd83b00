// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/presets.h"
#include "model/run_description.h"
#include "model/titration.h"
#include "model/water_state.h"

namespace phbuffer::model {

// The catalogue's constants with the preset's concentrations, in mol/L, as reading the
// grids leaves them.
inline WaterState PresetWaterState(Preset preset, double target) {
    WaterState s;
    LoadDefaultBufferSystems(s);
    const PresetWater& p = presetComposition(preset);
    for (int i = 0; i < kBufferSystemCount; ++i) {
        s.Conc[i] = p.Conc[i] / 1000;
        s.Ka1[i] = s.pKa1[i] == 0 ? 0 : dissociationConstant(s.pKa1[i]);
        s.Ka2[i] = s.pKa2[i] == 0 ? 0 : dissociationConstant(s.pKa2[i]);
        s.Ka3[i] = s.pKa3[i] == 0 ? 0 : dissociationConstant(s.pKa3[i]);
    }
    s.pH = p.pH;
    s.LowerpHTarget = target;
    return s;
}

// The same water as a run's description, the catalogue's systems with the preset's
// concentrations.
inline RunDescription PresetRunDescription(Preset preset, double target) {
    RunDescription description;
    const PresetWater& p = presetComposition(preset);
    for (int i = 0; i < kBufferSystemCount; ++i) {
        description.systems[i] = catalogueSystem(i);
        description.systems[i].concentration = p.Conc[i] / 1000;
    }
    description.initialPh = p.pH;
    description.targetPh = target;
    return description;
}

} // namespace phbuffer::model
