// SPDX-License-Identifier: GPL-3.0-or-later
//
// The five predefined media of the Zorva-PIKE water system.
#pragma once

#include "water_state.h"

namespace phbuffer::model {

enum class Preset { Medium, High, MediumHigh, MediumLow, Low };

struct PresetWater {
    SlotValues Conc; ///< concentrations of slots 1 to 9 [mmol/L]
    double pH;       ///< the medium's pH
};

/// The composition of @p preset. Mass concentrations are divided by the molar mass
/// (60.052 g/mol for acetic acid, 32.065 for sulfur) as a quotient of whole numbers, so
/// each value is the double nearest to the exact quotient.
const PresetWater& presetComposition(Preset preset);

} // namespace phbuffer::model
