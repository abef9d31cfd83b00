// SPDX-License-Identifier: GPL-3.0-or-later
#include "products.h"

#include "number_text.h"
#include "run_constants.h"

#include <cmath>
#include <sstream>

namespace phbuffer::model {

namespace {

// Molar masses from the standard atomic weights (IUPAC 2021, conventional values).
const Compound kHydrochloric{"hcl", "HCl", 36.46, 1, false};
const Compound kSulfuric{"h2so4", "H2SO4", 98.079, 2, false};
const Compound kNitric{"hno3", "HNO3", 63.012, 1, false};
const Compound kSodiumHydroxide{"naoh", "NaOH", 39.997, 1, true};
const Compound kPotassiumHydroxide{"koh", "KOH", 56.106, 1, true};

/// Litres in a cubic metre, and grams in a kilogram.
constexpr double kLitresPerCubicMetre = 1000;
constexpr double kGramsPerKilogram = 1000;

} // namespace

const std::vector<Compound>& compounds() {
    static const std::vector<Compound> kCompounds = {kHydrochloric, kSulfuric, kNitric,
                                                     kSodiumHydroxide, kPotassiumHydroxide};
    return kCompounds;
}

const std::vector<Product>& standardProducts() {
    // Densities at 20 °C from the CRC Handbook of Chemistry and Physics, "Concentrative
    // properties of aqueous solutions: density, refractive index, freezing point
    // depression, and viscosity", interpolated linearly between the table's mass
    // percentages where a product lies between two of them.
    static const std::vector<Product> kProducts = {
        {"hcl-30", "Hydrochloric acid 30 %", kHydrochloric, 0.30, 1.1492},
        {"hcl-33", "Hydrochloric acid 33 %", kHydrochloric, 0.33, 1.1642},
        {"hcl-37", "Hydrochloric acid 37 %", kHydrochloric, 0.37, 1.1837},
        {"h2so4-96", "Sulfuric acid 96 %", kSulfuric, 0.96, 1.8355},
        {"hno3-65", "Nitric acid 65 %", kNitric, 0.65, 1.3913},
        {"naoh-25", "Sodium hydroxide 25 %", kSodiumHydroxide, 0.25, 1.2739},
        {"naoh-50", "Sodium hydroxide 50 %", kSodiumHydroxide, 0.50, 1.5253},
    };
    return kProducts;
}

std::optional<Product> productNamed(const std::string& key) {
    for (const Product& p : standardProducts())
        if (p.key == key)
            return p;
    // COMPOUND:FRACTION:DENSITY
    const std::size_t first = key.find(':');
    const std::size_t second = first == std::string::npos ? first : key.find(':', first + 1);
    if (second == std::string::npos)
        return std::nullopt;
    const std::string compound = key.substr(0, first);
    double fraction = 0;
    double density = 0;
    if (!tryParse(key.substr(first + 1, second - first - 1), fraction, U'.') ||
        !tryParse(key.substr(second + 1), density, U'.'))
        return std::nullopt;
    if (!(fraction > 0 && fraction <= 1) || !(density > 0 && std::isfinite(density)))
        return std::nullopt;
    for (const Compound& c : compounds())
        if (c.key == compound) {
            std::ostringstream name;
            name << c.formula << ' ' << fraction * 100 << " % (own product)";
            return Product{key, name.str(), c, fraction, density};
        }
    return std::nullopt;
}

Dose doseOf(const Product& product, double mmolPerLitre, double cubicMetres) {
    const double moles = mmolPerLitre * cubicMetres * kLitresPerCubicMetre / kMmolPerMol;
    Dose d;
    d.kilograms = moles * product.compound.molarMass /
                  (product.compound.equivalents * product.massFraction) / kGramsPerKilogram;
    d.litres = d.kilograms / product.density;
    return d;
}

} // namespace phbuffer::model
