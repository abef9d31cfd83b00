// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the analysis window shows, as plain values: the analysis of a run and the buffer
// capacity of its water along a pH range, computed together off the user-interface thread;
// the breakdown of the buffer capacity at one pH as table rows; and the analysis export.
#pragma once

#include "analysis.h"
#include "main_form.h"

#include "model/buffer_capacity.h"
#include "model/titration.h"
#include "model/water_state.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace phbuffer::ui {

/// The pH range of the species distribution: the whole scale of natural waters and beyond.
constexpr double kSpeciesMinPh = 0;
constexpr double kSpeciesMaxPh = 14;
/// Points of each profile; enough for smooth curves at any window size.
constexpr int kProfilePoints = 281;

/// Everything the analysis window shows of one run.
struct AnalysisView {
    model::RunDescription description; ///< the run analysed
    model::WaterState water;           ///< its water, for the breakdown at any pH
    Analysis analysis;
    /// The breakdown at evenly spaced pH values over the run's range, highest pH first.
    std::vector<model::CapacityBreakdown> capacityProfile;
    /// The same from kSpeciesMaxPh down to kSpeciesMinPh, for the fractions.
    std::vector<model::CapacityBreakdown> speciesProfile;
};

/// The breakdown at @p count evenly spaced pH values from @p fromPh to @p toPh, both
/// included (one value when @p count is 1 or the two are equal).
std::vector<model::CapacityBreakdown> capacityProfile(const model::WaterState& water, double fromPh,
                                                      double toPh, int count);

/// analyseWater() of @p description at @p atPh and both profiles; the capacity profile spans the
/// run from its initial pH to the lowest pH it reached. Any thread; @p control may be
/// null. Throws what analyseWater throws.
AnalysisView computeAnalysisView(const model::RunDescription& description,
                                 const std::vector<double>& atPh, model::RunControl* control);

/// The p- and m-values of @p analysis as the summary starts: "p-value (to pH 8.2): -0.310
/// mmol/L (base capacity 0.310 mmol/L); m-value (to pH 4.3): 3.353 mmol/L".
QString endPointsSummary(const Analysis& analysis, char32_t decimalSeparator);

/// One line of the breakdown table.
struct BreakdownRow {
    QString name;
    double value = 0; ///< [mmol/L per pH unit]
    double share = 0; ///< of the total [%]; 0 when the total is 0
    /// Of the forms from the fully protonated one on; none for the water's own share and
    /// the total.
    std::optional<std::array<double, 4>> fractions;
    /// The names of the forms the system takes, as many as it has steps plus one.
    std::vector<QString> forms;
};

/// The rows of @p capacity: "Water", each buffer system in use in row order under its
/// name in @p names with its forms named by @p forms, and "Total" last.
std::vector<BreakdownRow>
breakdownRows(const model::CapacityBreakdown& capacity,
              const std::array<QString, model::kBufferSystemCount>& names,
              const std::array<std::vector<QString>, model::kBufferSystemCount>& forms = {});

/// The pH values to analyse after @p pH is added to @p atPh: the standard end points
/// first, as they stand, then the values the user added from the highest pH down, each
/// once.
std::vector<double> withAddedPh(const std::vector<double>& atPh, double pH);

/// A pH typed into the analysis window: the value, or why it is none.
struct TypedPh {
    std::optional<double> pH;
    QString message;
};

/// Reads @p text as the window's grids read numbers, with @p decimalSeparator only. A
/// text that is no number is told so with the separator named; a number outside the run's
/// pH range is told the range.
TypedPh readTypedPh(const QString& text, char32_t decimalSeparator);

/// "Export analysis": the breakdown along the whole run (AnalysisCsv of every recorded
/// point) into a file chosen in the form's SaveDialog1, ".csv" appended to a name without
/// an extension, written through the form's Files and replaced like the plot data.
/// Nothing happens when the user cancels. Throws files::FileError; the old file stays.
void exportAnalysis(TpHmainForm& form, const Analysis& analysis);

} // namespace phbuffer::ui
