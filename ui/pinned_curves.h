// SPDX-License-Identifier: GPL-3.0-or-later
//
// Curves kept on the chart to compare waters: each run's two curves under a name, in a
// colour of a palette that colour-blind eyes tell apart, until removed.
#pragma once

#include "chart_scale.h"
#include "main_form.h"

#include "model/run_description.h"
#include "model/series.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace phbuffer::ui {

/// Colours (0xAARRGGBB) of kept curves, from the palette of Okabe and Ito that stays
/// distinct under every common colour vision deficiency. Its orange and vermilion are
/// left out: they are too near the current run's own red and orange.
constexpr std::array<std::uint32_t, 6> kPinnedCurvePalette = {
    0xFF0072B2, // blue
    0xFF009E73, // bluish green
    0xFFCC79A7, // reddish purple
    0xFF56B4E9, // sky blue
    0xFF000000, // black
    0xFFF0E442, // yellow
};

struct PinnedCurve {
    QString name;
    std::uint32_t colour = 0;
    std::vector<model::SeriesPoint> titration;
    std::vector<model::SeriesPoint> bufferStrength;
};

/// The caption of the button of the preset @p presetName: "Set <name>" in English, from a
/// pattern that a translation may word otherwise.
QString presetCaption(const QString& presetName);
/// The preset's name in a @p caption that presetCaption made, in the language it was made
/// in; any other caption as it is.
QString presetNameOf(const QString& caption);

/// The curves kept on the chart, in the order they were kept, and the name the next kept
/// curve gets. A new run does not touch them.
class PinnedCurves {
public:
    /// The water of the next run comes from the preset of @p presetButton, named by
    /// presetNameOf its caption.
    void presetChosen(const Button& presetButton);
    /// The water of the next run comes from the data file @p path; named by its file name.
    void dataFileLoaded(const QString& path);
    /// A run has been shown: the name its curve is kept under is the water's source, or
    /// "Run N" (N counting the runs shown) when the water came neither from a preset nor a
    /// file; for a run of @p titrant strong base, followed by "(OH-)", so that kept acid
    /// and base curves of one water tell apart. Call with the run's result applied.
    void runShown(model::Titrant titrant = model::Titrant::StrongAcid);
    /// The name the shown curve is kept under.
    const QString& shownName() const { return shownName_; }

    /// Keeps the two series of the form as they are shown now, under shownName(), in the
    /// first palette colour that no kept curve has (the least used one when all are).
    /// Returns false, keeping nothing, when the series have no points.
    bool keep(const model::Series& titration, const model::Series& bufferStrength);
    /// Removes the kept curve at @p index; an index out of range does nothing.
    void remove(std::size_t index);
    void removeAll() { curves_.clear(); }
    const std::vector<PinnedCurve>& curves() const { return curves_; }

private:
    std::vector<PinnedCurve> curves_;
    QString source_;
    QString shownName_;
    int runs_ = 0;
};

/// @p ranges widened to the kept curves of the shown view (@p titrationShown: the
/// titration curves, otherwise the buffer capacity curves), so that every kept curve lies
/// on the chart; the non-finite points left out, as for the run's own curves.
AxisRanges widenedRanges(AxisRanges ranges, const std::vector<PinnedCurve>& curves,
                         bool titrationShown);

} // namespace phbuffer::ui
