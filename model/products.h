// SPDX-License-Identifier: GPL-3.0-or-later
//
// The products a plant doses: strong acids and bases as sold, with what turns an amount
// of H+ or OH- per litre of water into kilograms and litres of product.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace phbuffer::model {

/// The active compound of a product.
struct Compound {
    std::string key;     ///< "hcl", as the command line names it
    std::string formula; ///< "HCl"
    double molarMass;    ///< [g/mol]
    int equivalents;     ///< H+ or OH- per formula unit: 2 for sulfuric acid
    bool base;           ///< gives OH-, not H+
};

struct Product {
    std::string key;  ///< "hcl-33", as the command line names it
    std::string name; ///< "Hydrochloric acid 33 %"
    Compound compound;
    double massFraction; ///< of the compound in the product, 0 to 1
    double density;      ///< at 20 °C [kg/L]
};

/// The compounds a product of the user's own can be made of.
const std::vector<Compound>& compounds();

/// The products on offer: hydrochloric acid 30, 33 and 37 %, sulfuric acid 96 %, nitric
/// acid 65 %, sodium hydroxide 25 and 50 %.
const std::vector<Product>& standardProducts();

/// The product of @p key: one of standardProducts(), or a product of the user's own
/// written COMPOUND:FRACTION:DENSITY ("naoh:0.3:1.328"), with a fraction above 0 up to 1
/// and a density above 0. Nothing for anything else.
std::optional<Product> productNamed(const std::string& key);

/// How much of a product a dose is.
struct Dose {
    double kilograms = 0;
    double litres = 0;
};

/// The dose of @p product that brings @p mmolPerLitre mmol/L of H+ (or OH-) into
/// @p cubicMetres m³ of water: n = A V mol, mass = n M / (e w), volume = mass / density.
Dose doseOf(const Product& product, double mmolPerLitre, double cubicMetres);

} // namespace phbuffer::model
