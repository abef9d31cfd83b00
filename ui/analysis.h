// SPDX-License-Identifier: GPL-3.0-or-later
//
// The analysis of a water beyond its curve: the acid to reach given pH values (the p- and
// m-values of water analysis among them), the buffer capacity there split by system, and
// the same breakdown along the whole run. Computed from a snapshot of the water, so it can
// run on any thread; written as text, CSV or JSON.
#pragma once

#include "model/buffer_capacity.h"
#include "model/products.h"
#include "model/run_description.h"
#include "model/series.h"
#include "model/titration.h"
#include "model/water_state.h"
#include "table_writers.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace phbuffer::ui {

/// The pH values of the acid capacities of water analysis: the p-value (pH 8.2) and the
/// m-value (pH 4.3). What an analysis reports when it is asked for no pH of its own.
const std::vector<double>& standardEndPoints();

/// A pH value of the analysis: reached with acid when it lies below the initial pH, with
/// base when it lies above it, with neither at the initial pH.
struct AnalysisPoint {
    double atPh = 0;
    bool reached = false;              ///< the run got there; false when it stopped early
    std::uint32_t steps = 0;           ///< acid steps; 0 at or above the initial pH
    std::uint32_t baseSteps = 0;       ///< base steps; 0 at or below the initial pH
    double pH = 0;                     ///< the pH of the step that reached atPh
    model::CapacityBreakdown capacity; ///< at atPh
    /// The acid to reach atPh [mmol/L], exact to the step.
    double acid() const { return model::stepsToMmol(steps); }
    /// The base to reach atPh [mmol/L], exact to the step.
    double base() const { return model::stepsToMmol(baseSteps); }
    /// Acid less base [mmol/L]: negative where base is needed.
    double net() const { return acid() - base(); }
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
    /// The titrant of the run to the target; a base run's target is its upper one.
    model::Titrant titrant = model::Titrant::StrongAcid;
    /// The p-value (acid to pH 8.2, less the base to it from below) and the m-value (the
    /// same to pH 4.3) [mmol/L]; none where a run stopped before them.
    std::optional<double> pValue;
    std::optional<double> mValue;
    double acidToTarget() const { return model::stepsToMmol(steps); }
};

/// The pH values of the p-value and the m-value.
inline constexpr double kPValuePh = 8.2;
inline constexpr double kMValuePh = 4.3;

/// Titrates the water of @p description to its target and on to every value of @p atPh on that
/// side, and with the other titrant to every value on the other side of the initial pH;
/// reports each value of @p atPh, the p- and m-values and the buffer capacity along the
/// run to the target. @p control (may be null) follows and limits both runs.
Analysis analyseWater(const model::RunDescription& description, const std::vector<double>& atPh,
                      model::RunControl* control = nullptr);

/// A product to dose and the water it goes into.
struct DoseRequest {
    model::Product product;
    double cubicMetres = 0;
};

/// The dose of @p dose's product for point @p p, where the product is of the titrant the
/// point needs (either, at the initial pH); none without a dose or where it is not.
std::optional<model::Dose> pointDose(const AnalysisPoint& p,
                                     const std::optional<DoseRequest>& dose);

/// The dose of a run's @p mmolPerLitre of acid (or, with @p base, of base) in @p dose's
/// product, as the window shows it beside the run's label: "92.61 kg or 79.55 L of
/// Hydrochloric acid 33 % for 250 m³"; empty where the product gives the other titrant.
QString runDoseText(double mmolPerLitre, bool base, const DoseRequest& dose,
                    char32_t decimalSeparator);

/// For people: the run, the p- and m-values, then each point with its acid or base (and
/// the dose of @p dose's product, where it is of the titrant the point needs) and its
/// buffer capacity by source.
QString analysisText(const Analysis& analysis, char32_t decimalSeparator,
                     const std::optional<DoseRequest>& dose = std::nullopt);

/// A table a spreadsheet opens in the user's locale: comma-separated with a decimal point,
/// or semicolon-separated where the separator is a comma. With @p points the requested
/// points, otherwise every recorded point of the run. One header row; CR LF line ends.
/// The requested points carry their base, the p- and m-values and, with @p dose, the dose.
QString analysisCsv(const Analysis& analysis, char32_t decimalSeparator, bool points,
                    const std::optional<DoseRequest>& dose = std::nullopt);

/// One JSON object; numbers read back to the same double.
QString analysisJson(const Analysis& analysis,
                     const std::optional<DoseRequest>& dose = std::nullopt);

} // namespace phbuffer::ui
