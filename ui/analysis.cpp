// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis.h"

#include "number_format.h"

#include "table_writers.h"

#include <algorithm>
#include <cmath>

namespace phbuffer::ui {

const std::vector<double>& standardEndPoints() {
    static const std::vector<double> kPoints{8.2, 4.3};
    return kPoints;
}

Analysis analyseWater(const model::RunDescription& description, const std::vector<double>& atPh,
                      model::RunControl* control) {
    const model::WaterState water = model::waterOf(description);
    Analysis a;
    a.initialPh = description.initialPh;
    a.lowerTarget = description.targetPh;
    for (int i = 0; i < model::kBufferSystemCount; ++i) {
        a.names[i] = QString::fromStdString(description.systems[i].name);
        for (const std::string& form : model::speciesNames(description.systems[i]))
            a.speciesNames[i].push_back(QString::fromStdString(form));
    }

    // Each pH is reached by the titrant that moves the pH towards it. The run to the
    // target watches the values on its own side, the target last, so one run answers for
    // all of them; a run with the other titrant watches the rest.
    const double initial = description.initialPh;
    const model::Direction main = description.direction();
    const auto onMainSide = [&](double x) {
        return main == model::Direction::Falling ? x <= initial : x >= initial;
    };
    std::vector<double> wanted = atPh;
    wanted.push_back(kPValuePh);
    wanted.push_back(kMValuePh);
    model::RunDescription run = description;
    model::RunDescription other = description;
    other.titrant = description.titrant == model::Titrant::StrongAcid ? model::Titrant::StrongBase
                                                                      : model::Titrant::StrongAcid;
    other.targetPh = initial;
    for (double x : wanted) {
        if (onMainSide(x)) {
            run.recording.watchedPh.push_back(x);
            if (main == model::Direction::Falling ? x < run.targetPh : x > run.targetPh)
                run.targetPh = x;
        } else {
            other.recording.watchedPh.push_back(x);
            if (main == model::Direction::Falling ? x > other.targetPh : x < other.targetPh)
                other.targetPh = x;
        }
    }
    run.recording.watchedPh.push_back(description.targetPh);
    a.titrant = description.titrant;
    model::RunResult result = model::runTitration(run, control);
    a.end = result.outcome.end;
    const bool cancelled = control && control->cancelRequested.load();
    model::RunResult otherResult;
    if (!other.recording.watchedPh.empty() && !cancelled)
        otherResult = model::runTitration(other, control);
    const model::WaterState& s = result.state;
    const model::Series& titration = result.titration;
    const model::Series& buffer = result.bufferStrength;

    const model::PhCrossing& target = result.crossings.back();
    a.stopped = !target.reached;
    a.steps = target.reached ? target.StepCount : 0;
    a.finalPh = target.reached ? target.pH : s.pH;
    if (a.stopped) {
        // The run ended early: it came as far as its last completed step.
        a.steps = model::mmolToSteps(titration.XValue(titration.Count() - 1));
    }
    // The crossing of x, whichever run watched it; none when a run was not made.
    std::size_t mainNext = 0;
    std::size_t otherNext = 0;
    const auto pointAt = [&](double x) {
        AnalysisPoint p;
        p.atPh = x;
        const bool mainSide = onMainSide(x);
        const std::vector<model::PhCrossing>& crossings =
            mainSide ? result.crossings : otherResult.crossings;
        std::size_t& next = mainSide ? mainNext : otherNext;
        if (next < crossings.size()) {
            const model::PhCrossing& c = crossings[next];
            p.reached = c.reached;
            p.pH = c.pH;
            (c.direction == model::Direction::Falling ? p.steps : p.baseSteps) = c.StepCount;
        }
        ++next;
        p.capacity = model::bufferCapacityAt(water, x);
        return p;
    };
    for (double x : atPh)
        a.points.push_back(pointAt(x));
    const AnalysisPoint p = pointAt(kPValuePh);
    const AnalysisPoint m = pointAt(kMValuePh);
    if (p.reached)
        a.pValue = p.net();
    if (m.reached)
        a.mValue = m.net();

    // Recorded point k of the run is point k + 1 of the titration curve (after the start)
    // and, counted from the end, point k of the buffer capacity curve.
    const double lastAcid = model::addedAcid(a.steps, model::kTitrantStep);
    const std::size_t recorded = buffer.Count();
    for (std::size_t k = 0; k < recorded && k + 1 < titration.Count(); ++k) {
        AnalysisRow row;
        row.acid = titration.XValue(k + 1);
        if (row.acid > lastAcid)
            break;
        row.pH = titration.YValue(k + 1);
        row.numericCapacity = buffer.YValue(recorded - 1 - k);
        row.capacity = model::bufferCapacityAt(water, row.pH);
        a.rows.push_back(row);
    }
    return a;
}

} // namespace phbuffer::ui
