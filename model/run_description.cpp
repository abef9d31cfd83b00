// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_description.h"

#include "conditions.h"

#include <stdexcept>

namespace phbuffer::model {

namespace {

void checkModelled(const Conditions& c) {
    if (!(c.temperature >= kMinTemperature && c.temperature <= kMaxTemperature))
        throw std::invalid_argument("the temperature must be from 0 to 100 °C");
    if (!(c.ionicStrength >= 0 && c.ionicStrength <= kMaxIonicStrength))
        throw std::invalid_argument("the ionic strength must be from 0 to 1000 mmol/L");
}

} // namespace

std::array<double, 3> pKaValues(const BufferSystem& system, const Conditions& c) {
    checkModelled(c);
    std::array<double, 3> p{};
    const double gammaH = log10Gamma(1, c.ionicStrength, c.temperature);
    for (int step = 0; step < 3; ++step) {
        const std::optional<double>& pKa = system.pKa[step];
        if (!pKa)
            continue;
        // The step's acid has the charge of the fully protonated form less one for each
        // step before; its conditional constant in concentrations is
        // Ka gamma(z) / (gamma(H+) gamma(z - 1)).
        const int z = system.acidCharge - step;
        p[step] = *pKa + pKaShift(system.temperatureDependence[step], c.temperature) -
                  log10Gamma(z, c.ionicStrength, c.temperature) + gammaH +
                  log10Gamma(z - 1, c.ionicStrength, c.temperature);
    }
    return p;
}

std::array<double, 3> dissociationConstants(const BufferSystem& system,
                                            const Conditions& conditions) {
    checkModelled(conditions);
    std::array<double, 3> K{};
    // The ideal water at 25 °C takes the grid's pKa as it stands.
    const std::array<double, 3> p =
        conditions.isIdeal25() ? std::array<double, 3>{} : pKaValues(system, conditions);
    for (int step = 0; step < 3; ++step) {
        const std::optional<double>& pKa = system.pKa[step];
        if (pKa)
            K[step] = dissociationConstant(conditions.isIdeal25() ? *pKa : p[step]);
    }
    return K;
}

RunConstants runConstants(const RunDescription& description) {
    checkModelled(description.conditions);
    RunConstants k;
    const Conditions& c = description.conditions;
    k.log10GammaH = log10Gamma(1, c.ionicStrength, c.temperature);
    // [H+][OH-] = Kw / gamma(H+)^2 in concentrations.
    k.Kw = c.isIdeal25() ? kIonProductOfWater
                         : dissociationConstant(pKwAt(c.temperature) + 2 * k.log10GammaH);
    for (int i = 0; i < kBufferSystemCount; ++i) {
        const std::array<double, 3> K =
            dissociationConstants(description.systems[i], description.conditions);
        k.Ka1[i] = K[0];
        k.Ka2[i] = K[1];
        k.Ka3[i] = K[2];
    }
    return k;
}

WaterState waterOf(const RunDescription& description) {
    const RunConstants constants = runConstants(description);
    WaterState state;
    loadRunDescription(description, constants, state);
    for (int i = 0; i < kBufferSystemCount; ++i)
        state.SystemName[i] = description.systems[i].name;
    state.Kw = constants.Kw;
    state.pHOffset = constants.log10GammaH;
    state.AcidStep = description.step;
    return state;
}

void loadRunDescription(const RunDescription& description, WaterState& state) {
    loadRunDescription(description, runConstants(description), state);
}

void loadRunDescription(const RunDescription& description, const RunConstants& k,
                        WaterState& state) {
    for (int i = 0; i < kBufferSystemCount; ++i) {
        state.Conc[i] = description.systems[i].concentration;
    }
    state.Ka1 = k.Ka1;
    state.Ka2 = k.Ka2;
    state.Ka3 = k.Ka3;
    state.pH = description.initialPh;
    // The state holds the lower target as the grids give it; a base run's upper target is
    // the description's alone.
    if (description.direction() == Direction::Falling)
        state.LowerpHTarget = description.targetPh;
}

} // namespace phbuffer::model
