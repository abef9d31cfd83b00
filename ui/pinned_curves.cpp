// SPDX-License-Identifier: GPL-3.0-or-later
#include "pinned_curves.h"

#include "files/file_name.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace phbuffer::ui {

namespace {
// The caption of a preset button around its name; in English "Set " before it.
const char* const kPresetCaptionPattern = QT_TRANSLATE_NOOP("PinnedCurves", "Set %1");
} // namespace

QString presetCaption(const QString& presetName) {
    return QCoreApplication::translate("PinnedCurves", kPresetCaptionPattern).arg(presetName);
}

QString presetNameOf(const QString& caption) {
    // The pattern as the caption was made from it, in whatever language that was.
    const QString pattern = QCoreApplication::translate("PinnedCurves", kPresetCaptionPattern);
    const qsizetype at = pattern.indexOf(QLatin1String("%1"));
    if (at < 0)
        return caption;
    const QString before = pattern.left(at);
    const QString after = pattern.mid(at + 2);
    if (caption.size() < before.size() + after.size() || !caption.startsWith(before) ||
        !caption.endsWith(after))
        return caption;
    return caption.mid(before.size(), caption.size() - before.size() - after.size());
}

void PinnedCurves::presetChosen(const Button& presetButton) {
    source_ = presetNameOf(presetButton.Caption);
}

void PinnedCurves::dataFileLoaded(const QString& path) {
    source_ = files::shownFileName(QFileInfo(path).fileName());
}

void PinnedCurves::runShown(model::Titrant titrant) {
    ++runs_;
    shownName_ = source_.isEmpty()
                     ? QCoreApplication::translate("PinnedCurves", "Run %1").arg(runs_)
                     : source_;
    if (titrant == model::Titrant::StrongBase)
        shownName_ = QCoreApplication::translate("PinnedCurves", "%1 (OH-)").arg(shownName_);
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
