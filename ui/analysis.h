// SPDX-License-Identifier: GPL-3.0-or-later
//
// The analysis of a water beyond its curve: the acid to reach given pH values (the p- and
// m-values of water analysis among them), the buffer capacity there split by system, and
// the same breakdown along the whole run. Computed from a snapshot of the water, so it can
// run on any thread; written as text, CSV or JSON.
#pragma once

#include "model/buffer_capacity.h"
#include "model/run_spec.h"
#include "model/series.h"
#include "model/titration.h"
#include "model/water_state.h"
#include "table_writers.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace phbuffer::ui {

/// The pH values of the acid capacities of water analysis: the p-value (pH 8.2) and the
/// m-value (pH 4.3). What an analysis reports when it is asked for no pH of its own.
const std::vector<double>& standardEndPoints();

struct AnalysisPoint {
    double atPh = 0;
    bool reached = false; ///< the run got there; false when it stopped early
    std::uint32_t steps = 0;
    double pH = 0;                     ///< the pH of the step that reached atPh
    model::CapacityBreakdown capacity; ///< at atPh
    /// The acid to reach atPh [mmol/L], exact to the step.
    double acid() const { return model::stepsToMmol(steps); }
};

/// One recorded point of the run with the buffer capacity there.
struct AnalysisRow {
    double acid = 0; ///< added H+ [mmol/L]
    double pH = 0;
    double numericCapacity = 0; ///< the titration's own measure over the interval ending here
    model::CapacityBreakdown capacity;
};

struct Analysis {
    double initialPh = 0;
    double lowerTarget = 0;
    bool stopped = false;                             ///< the run ended before the lower target
    model::RunEnd end = model::RunEnd::ReachedTarget; ///< why the run ended
    std::uint32_t steps = 0; ///< to the lower target, or to where the run stopped
    double finalPh = 0;
    std::array<QString, model::kBufferSystemCount> names;
    /// Each system's forms from the fully protonated one on, named by their charges.
    std::array<std::vector<QString>, model::kBufferSystemCount> speciesNames;
    std::vector<AnalysisPoint> points; ///< in the order asked for
    std::vector<AnalysisRow> rows;     ///< the recorded points, highest pH first
    double acidToTarget() const { return model::stepsToMmol(steps); }
};

/// Titrates a copy of @p water (mol/L concentrations and constants, as ReadGrids leaves
/// them) down to its lower target or the lowest of @p atPh, whichever is lower, and
/// reports each value of @p atPh and the buffer capacity along the way to the target.
/// @p control may be null.
Analysis analyseWater(const model::RunSpec& spec, const std::vector<double>& atPh,
                      model::RunControl* control = nullptr);

/// For people: the run, then each point with its acid and its buffer capacity by source.
QString analysisText(const Analysis& analysis, char32_t decimalSeparator);

/// A table a spreadsheet opens in the user's locale: comma-separated with a decimal point,
/// or semicolon-separated where the separator is a comma. With @p points the requested
/// points, otherwise every recorded point of the run. One header row; CR LF line ends.
QString analysisCsv(const Analysis& analysis, char32_t decimalSeparator, bool points);

/// One JSON object; numbers read back to the same double.
QString analysisJson(const Analysis& analysis);

} // namespace phbuffer::ui
