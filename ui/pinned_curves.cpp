// SPDX-License-Identifier: GPL-3.0-or-later
#include "pinned_curves.h"

#include "files/file_name.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace phbuffer::ui {

void PinnedCurves::presetChosen(const Button& presetButton) {
    source_ = presetButton.Caption;
    const QString prefix = QStringLiteral("Set ");
    if (source_.startsWith(prefix))
        source_.remove(0, prefix.size());
}

void PinnedCurves::dataFileLoaded(const QString& path) {
    source_ = files::shownFileName(QFileInfo(path).fileName());
}

void PinnedCurves::runShown() {
    ++runs_;
    shownName_ = source_.isEmpty() ? QStringLiteral("Run %1").arg(runs_) : source_;
}

bool PinnedCurves::keep(const model::Series& titration, const model::Series& bufferStrength) {
    if (titration.points.empty() && bufferStrength.points.empty())
        return false;
    std::array<int, kPinnedCurvePalette.size()> uses{};
    for (const PinnedCurve& curve : curves_) {
        const auto* at =
            std::find(kPinnedCurvePalette.begin(), kPinnedCurvePalette.end(), curve.colour);
        if (at != kPinnedCurvePalette.end())
            ++uses[static_cast<std::size_t>(at - kPinnedCurvePalette.begin())];
    }
    // The first of the least used colours: a free one while there is one.
    const auto least = std::min_element(uses.begin(), uses.end()) - uses.begin();
    curves_.push_back({shownName_, kPinnedCurvePalette[static_cast<std::size_t>(least)],
                       titration.points, bufferStrength.points});
    return true;
}

void PinnedCurves::remove(std::size_t index) {
    if (index < curves_.size())
        curves_.erase(curves_.begin() + static_cast<std::ptrdiff_t>(index));
}

AxisRanges widenedRanges(AxisRanges ranges, const std::vector<PinnedCurve>& curves,
                         bool titrationShown) {
    for (const PinnedCurve& curve : curves) {
        for (const model::SeriesPoint& p :
             titrationShown ? curve.titration : curve.bufferStrength) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                continue;
            ranges.xMin = std::min(ranges.xMin, p.x);
            ranges.xMax = std::max(ranges.xMax, p.x);
            ranges.yMax = std::max(ranges.yMax, p.y);
        }
    }
    return ranges;
}

} // namespace phbuffer::ui
