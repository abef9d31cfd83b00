// SPDX-License-Identifier: GPL-3.0-or-later
//
// The default buffer systems of the grid's nine rows: names, 25 °C pKa values, the charge
// of each fully protonated form, the forms' names and how each step's pKa moves with
// temperature (the expressions of the public thermodynamic databases of geochemistry).
#include "run_description.h"

namespace phbuffer::model {

namespace {

using Form = TemperatureDependence::Form;

constexpr TemperatureDependence none() {
    return {};
}
constexpr TemperatureDependence vantHoff(double enthalpy) {
    return {Form::VantHoff, 1, {}, enthalpy};
}
constexpr TemperatureDependence analytic(double sign, std::array<double, 5> a) {
    return {Form::Analytic, sign, a, 0};
}

// The first carbonate step is the database's expression for both steps together less
// the second step's; both are written with their own coefficients.
constexpr std::array<double, 5> kCarbonateBoth = {0.09344813, -26986.16, -165.75951, 2248628.9, 0};
constexpr std::array<double, 5> kCarbonateSecond = {0.03252849, -5151.79, -38.92561, 563713.9, 0};
constexpr std::array<double, 5> difference(std::array<double, 5> a, std::array<double, 5> b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2], a[3] - b[3], a[4] - b[4]};
}

struct CatalogueEntry {
    const char* name;
    double pKa1, pKa2, pKa3; ///< an absent dissociation step is written as pKa 0
    int acidCharge;
    std::array<TemperatureDependence, 3> temperatureDependence;
    std::array<const char*, 4> speciesNames; ///< null: named from the charge
};

const CatalogueEntry kCatalogue[kBufferSystemCount] = {
    {"Dissolved Inorganic Carbon (CO2-total)",
     6.38,
     10.32,
     0,
     0,
     {analytic(1, difference(kCarbonateBoth, kCarbonateSecond)), analytic(1, kCarbonateSecond),
      none()},
     {"H2CO3*", "HCO3-", "CO3--", nullptr}},
    {"Acetic acid", 4.76, 0, 0, 0, {vantHoff(-0.41), none(), none()}, {"CH3COOH", "CH3COO-"}},
    {"Dissolved sulfide",
     7.05,
     14,
     0,
     0,
     {analytic(1, {0.02386, 3279.0, 0, 0, 0}), vantHoff(50.6264), none()},
     {"H2S", "HS-", "S--", nullptr}},
    {"Phosphate",
     2.12,
     7.21,
     12.67,
     0,
     {vantHoff(-8.81168), vantHoff(4.14216), vantHoff(14.76952)},
     {"H3PO4", "H2PO4-", "HPO4--", "PO4---"}},
    {"Ammonia",
     9.21,
     0,
     0,
     1,
     {analytic(-1, {-1.225e-3, -2835.76, 0, 0, 0}), none(), none()},
     {"NH4+", "NH3"}},
    {"Amino groups", 9.5, 0, 0, 1, {}, {"R-NH3+", "R-NH2"}},
    {"Carboxyl groups/HSO4-", 1.92, 0, 0, 0, {}, {}},
    {"Yet undefined", 0, 0, 0, 0, {}, {}},
    {"Yet undefined", 0, 0, 0, 0, {}, {}},
};

/// "H2", "H" or "" for @p count protons.
std::string protons(int count) {
    return count == 0 ? std::string() : count == 1 ? std::string("H") : "H" + std::to_string(count);
}

/// "+", "--" or "" for @p charge, as the forms' names write it.
std::string charge(int charge) {
    return std::string(static_cast<std::size_t>(charge < 0 ? -charge : charge),
                       charge < 0 ? '-' : '+');
}

} // namespace

BufferSystem catalogueSystem(int slot) {
    const CatalogueEntry& e = kCatalogue[slot];
    BufferSystem s;
    s.name = e.name;
    const double pKa[3] = {e.pKa1, e.pKa2, e.pKa3};
    for (int k = 0; k < 3; ++k)
        if (pKa[k] != 0)
            s.pKa[k] = pKa[k];
    s.acidCharge = e.acidCharge;
    s.temperatureDependence = e.temperatureDependence;
    for (int k = 0; k < 4; ++k)
        s.speciesNames[k] = e.speciesNames[k] ? e.speciesNames[k] : "";
    return s;
}

void LoadDefaultBufferSystems(WaterState& state) {
    for (int i = 0; i < kBufferSystemCount; ++i) {
        state.SystemName[i] = kCatalogue[i].name;
        state.Conc[i] = 0;
        state.pKa1[i] = kCatalogue[i].pKa1;
        state.pKa2[i] = kCatalogue[i].pKa2;
        state.pKa3[i] = kCatalogue[i].pKa3;
    }
}

std::vector<std::string> speciesNames(const BufferSystem& system) {
    int steps = 0;
    while (steps < 3 && system.pKa[steps])
        ++steps;
    std::vector<std::string> names;
    for (int form = 0; form <= steps; ++form) {
        const std::string& given = system.speciesNames[form];
        names.push_back(!given.empty()
                            ? given
                            : protons(steps - form) + "A" + charge(system.acidCharge - form));
    }
    return names;
}

} // namespace phbuffer::model
