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

Analysis analyseWater(const model::RunSpec& spec, const std::vector<double>& atPh,
                      model::RunControl* control) {
    const model::WaterState water = model::waterOf(spec);
    Analysis a;
    a.initialPh = spec.initialPh;
    a.lowerTarget = spec.targetPh;
    for (int i = 0; i < model::kBufferSystemCount; ++i) {
        a.names[i] = QString::fromStdString(spec.systems[i].name);
        for (const std::string& form : model::speciesNames(spec.systems[i]))
            a.speciesNames[i].push_back(QString::fromStdString(form));
    }

    // The lower target is watched like any other value, so one run that goes down to the
    // lowest of them answers for all; the last entry stands for the target.
    model::RunSpec run = spec;
    run.recording.watchedPh = atPh;
    run.recording.watchedPh.push_back(spec.targetPh);
    for (double x : atPh)
        if (x < run.targetPh)
            run.targetPh = x;
    model::RunResult result = model::runTitration(run, control);
    a.end = result.outcome.end;
    const std::vector<model::PhCrossing>& crossings = result.crossings;
    const model::WaterState& s = result.state;
    const model::Series& titration = result.titration;
    const model::Series& buffer = result.bufferStrength;

    const model::PhCrossing& target = crossings.back();
    a.stopped = !target.reached;
    a.steps = target.reached ? target.StepCount : 0;
    a.finalPh = target.reached ? target.pH : s.pH;
    if (a.stopped) {
        // The run ended early: it came as far as its last completed step.
        a.steps = model::mmolToSteps(titration.XValue(titration.Count() - 1));
    }
    for (std::size_t i = 0; i < atPh.size(); ++i) {
        const model::PhCrossing& c = crossings[i];
        AnalysisPoint p;
        p.atPh = c.atPh;
        p.reached = c.reached;
        p.steps = c.StepCount;
        p.pH = c.pH;
        p.capacity = model::bufferCapacityAt(water, c.atPh);
        a.points.push_back(p);
    }

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

// ---- writing ---------------------------------------------------------------------------

namespace {

QString fixed(double value, int digits, char32_t separator) {
    return FloatToStrF(value, 15, digits, separator);
}

double share(double part, double total) {
    return total > 0 ? 100 * part / total : 0;
}

} // namespace

QString analysisText(const Analysis& a, char32_t sep) {
    QString out;
    out += QStringLiteral("Initial pH %1, lower target %2: ")
               .arg(fixed(a.initialPh, 2, sep), fixed(a.lowerTarget, 2, sep));
    if (a.stopped)
        out += QStringLiteral("run stopped at pH %1 after %2 mmol/L H+\n")
                   .arg(fixed(a.finalPh, 4, sep), fixed(a.acidToTarget(), 3, sep));
    else
        out += QStringLiteral("%1 mmol/L H+ to pH %2 (%3 steps)\n")
                   .arg(fixed(a.acidToTarget(), 3, sep), fixed(a.finalPh, 4, sep))
                   .arg(a.steps);
    for (const AnalysisPoint& p : a.points) {
        out += QLatin1Char('\n');
        if (!p.reached)
            out += QStringLiteral("To pH %1: not reached\n").arg(fixed(p.atPh, 2, sep));
        else
            out += QStringLiteral("To pH %1: %2 mmol/L H+ (pH %3)\n")
                       .arg(fixed(p.atPh, 2, sep), fixed(p.acid(), 3, sep), fixed(p.pH, 4, sep));
        const model::CapacityBreakdown& c = p.capacity;
        out += QStringLiteral("  Buffer capacity at pH %1: %2 mmol/L per pH unit\n")
                   .arg(fixed(p.atPh, 2, sep), fixed(c.total, 4, sep));
        out += QStringLiteral("    %1  %2  %3 %\n")
                   .arg(QStringLiteral("Water"), fixed(c.water, 4, sep),
                        fixed(share(c.water, c.total), 1, sep));
        for (int i = 0; i < model::kBufferSystemCount; ++i) {
            const model::SystemCapacity& sys = c.systems[i];
            if (!sys.inUse)
                continue;
            QStringList forms;
            const std::vector<QString>& names = a.speciesNames[i];
            for (std::size_t f = 0; f < names.size() && f < sys.fractions.size(); ++f)
                forms << names[f] + QLatin1Char(' ') + fixed(sys.fractions[f], 4, sep);
            out += QStringLiteral("    %1  %2  %3 %  (%4)\n")
                       .arg(a.names[i], fixed(sys.capacity, 4, sep),
                            fixed(share(sys.capacity, c.total), 1, sep),
                            forms.join(QStringLiteral(", ")));
        }
    }
    return out;
}

QString analysisCsv(const Analysis& a, char32_t sep, bool points) {
    const CsvTable table(sep);
    // One column per system in use anywhere in the water.
    std::vector<int> used;
    for (int i = 0; i < model::kBufferSystemCount; ++i) {
        const bool inUse =
            std::any_of(a.rows.begin(), a.rows.end(),
                        [i](const AnalysisRow& r) { return r.capacity.systems[i].inUse; }) ||
            std::any_of(a.points.begin(), a.points.end(),
                        [i](const AnalysisPoint& p) { return p.capacity.systems[i].inUse; });
        if (inUse)
            used.push_back(i);
    }
    QStringList header;
    if (points)
        header << QStringLiteral("at pH");
    header << QStringLiteral("acid [mmol/L]") << QStringLiteral("pH");
    if (!points)
        header << QStringLiteral("numeric buffer capacity [mmol/L per pH]");
    header << QStringLiteral("analytic buffer capacity [mmol/L per pH]")
           << QStringLiteral("water [mmol/L per pH]");
    for (int i : used)
        header << table.text(QStringLiteral("%1 [mmol/L per pH]").arg(a.names[i]));
    // Then the share of each form of each system, named by its charge.
    for (int i : used)
        for (const QString& form : a.speciesNames[i])
            header << table.text(QStringLiteral("%1: %2 [fraction]").arg(a.names[i], form));
    QString out = table.line(header);

    const auto capacities = [&](QStringList& line, const model::CapacityBreakdown& c) {
        line << table.number(c.total, 6) << table.number(c.water, 6);
        for (int i : used)
            line << table.number(c.systems[i].capacity, 6);
        for (int i : used)
            for (std::size_t f = 0; f < a.speciesNames[i].size() && f < 4; ++f)
                line << table.number(c.systems[i].fractions[f], 6);
    };
    if (points) {
        for (const AnalysisPoint& p : a.points) {
            QStringList line;
            line << table.number(p.atPh, 4);
            if (p.reached)
                line << table.number(p.acid(), 3) << table.number(p.pH, 4);
            else
                line << QString() << QString();
            capacities(line, p.capacity);
            out += table.line(line);
        }
    } else {
        for (const AnalysisRow& r : a.rows) {
            QStringList line;
            line << table.number(r.acid, 3) << table.number(r.pH, 4)
                 << table.number(r.numericCapacity, 6);
            capacities(line, r.capacity);
            out += table.line(line);
        }
    }
    return out;
}

QString analysisJson(const Analysis& a) {
    QStringList points;
    for (const AnalysisPoint& p : a.points) {
        QStringList systems;
        for (int i = 0; i < model::kBufferSystemCount; ++i) {
            const model::SystemCapacity& sys = p.capacity.systems[i];
            QStringList fractions;
            for (double f : sys.fractions)
                fractions << jsonNumber(f);
            systems << JsonObject()
                           .raw("row", QString::number(i + 1))
                           .string("name", a.names[i])
                           .number("value", sys.capacity)
                           .raw("fractions", jsonArray(fractions))
                           .text();
        }
        const QString capacity = JsonObject()
                                     .number("total", p.capacity.total)
                                     .number("water", p.capacity.water)
                                     .raw("systems", jsonArray(systems))
                                     .text();
        points << JsonObject()
                      .number("at_ph", p.atPh)
                      .raw("acid_mmol_l", p.reached ? jsonNumber(p.acid()) : jsonNull())
                      .raw("ph", p.reached ? jsonNumber(p.pH) : jsonNull())
                      .raw("buffer_capacity", capacity)
                      .text();
    }
    return JsonObject()
        .number("initial_ph", a.initialPh)
        .number("lower_target", a.lowerTarget)
        .raw("acid_to_target_mmol_l", a.stopped ? jsonNull() : jsonNumber(a.acidToTarget()))
        .number("final_ph", a.finalPh)
        .raw("steps", QString::number(a.steps))
        .boolean("stopped", a.stopped)
        .raw("points", jsonArray(points))
        .text();
}

} // namespace phbuffer::ui
