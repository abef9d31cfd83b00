// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_spec.h"

#include <stdexcept>

namespace phbuffer::model {

namespace {

void checkModelled(const Conditions& conditions) {
    if (!conditions.isIdeal25())
        throw std::invalid_argument("only the ideal water at 25 °C is modelled");
}

} // namespace

std::array<double, 3> dissociationConstants(const BufferSystem& system,
                                            const Conditions& conditions) {
    checkModelled(conditions);
    std::array<double, 3> K{};
    for (int step = 0; step < 3; ++step) {
        const std::optional<double>& pKa = system.pKa[step];
        K[step] = pKa ? dissociationConstant(*pKa) : 0;
    }
    return K;
}

RunConstants runConstants(const RunSpec& spec) {
    checkModelled(spec.conditions);
    RunConstants k;
    k.Kw = kIonProductOfWater;
    for (int i = 0; i < kBufferSystemCount; ++i) {
        const std::array<double, 3> K = dissociationConstants(spec.systems[i], spec.conditions);
        k.Ka1[i] = K[0];
        k.Ka2[i] = K[1];
        k.Ka3[i] = K[2];
    }
    return k;
}

WaterState waterOf(const RunSpec& spec) {
    WaterState state;
    loadRunSpec(spec, state);
    for (int i = 0; i < kBufferSystemCount; ++i)
        state.SystemName[i] = spec.systems[i].name;
    state.Kw = runConstants(spec).Kw;
    state.AcidStep = spec.step;
    return state;
}

void loadRunSpec(const RunSpec& spec, WaterState& state) {
    const RunConstants k = runConstants(spec);
    for (int i = 0; i < kBufferSystemCount; ++i) {
        state.Conc[i] = spec.systems[i].concentration;
    }
    state.Ka1 = k.Ka1;
    state.Ka2 = k.Ka2;
    state.Ka3 = k.Ka3;
    state.pH = spec.initialPh;
    // The state holds the lower target as the grids give it; a base run's upper target is
    // the spec's alone.
    if (spec.direction() == Direction::Falling)
        state.LowerpHTarget = spec.targetPh;
}

} // namespace phbuffer::model
