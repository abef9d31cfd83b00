// SPDX-License-Identifier: GPL-3.0-or-later
//
// A titration run in three steps: prepared from the form on the user-interface thread
// (TpHmainForm::prepareRun), computed on any thread over a copy of the water state
// (computeRun), and shown by the form on the user-interface thread again
// (TpHmainForm::applyRun). The computation sees nothing of the form.
#pragma once

#include "model/run_description.h"
#include "model/series.h"
#include "model/titration.h"
#include "model/water_state.h"

#include <QString>

#include <vector>

namespace phbuffer::ui {

/// What a run starts from: the run the grids describe, checked, and the form's state for
/// what the run does not describe (the CO2 conditions, the catalogue values).
struct RunInput {
    model::RunDescription description;
    model::WaterState state;
};

/// What a run leaves behind, for the form to show.
struct RunResult {
    /// The state after the last completed step.
    model::WaterState state;
    /// The points of TitrationSeries and of BufferStrengthSeries, in the series' order.
    std::vector<model::SeriesPoint> titration;
    std::vector<model::SeriesPoint> bufferStrength;
    model::RunOutcome outcome;
    /// What the run added: the label and the axes name it.
    model::Titrant titrant = model::Titrant::StrongAcid;
};

/// Titrates the water of @p input. Reads and writes nothing but its arguments, so it may
/// run on a thread of its own while the form goes on; @p control (may be null) follows
/// and stops it from another thread.
RunResult computeRun(RunInput input, model::RunControl* control);

/// The progress of a run as the progress dialog shows it: "pH 2.31, 12.35 mmol/L H+
/// added" (OH- for a rising run), with @p decimalSeparator.
QString runProgressText(const model::RunProgress& progress, char32_t decimalSeparator);

} // namespace phbuffer::ui
