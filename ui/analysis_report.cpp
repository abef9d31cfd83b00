// SPDX-License-Identifier: GPL-3.0-or-later
//
// The analysis written for people (text), for spreadsheets (CSV) and for programs
// (JSON), with the dose of a product where one is asked for.
#include "analysis.h"

#include "number_format.h"
#include "table_writers.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace phbuffer::ui {

// ---- writing ---------------------------------------------------------------------------

namespace {

QString fixed(double value, int digits, char32_t separator) {
    return FloatToStrF(value, 15, digits, separator);
}

double share(double part, double total) {
    return total > 0 ? 100 * part / total : 0;
}

/// The titrant's name in a text: "H+" or "OH-".
QString titrantText(bool base) {
    return base ? QStringLiteral("OH-") : QStringLiteral("H+");
}

/// "p-value (to pH 8.2): -0.310 mmol/L (base capacity 0.310 mmol/L)".
QString endPointLine(const char* name, double pH, const std::optional<double>& value,
                     char32_t sep) {
    QString line =
        QStringLiteral("%1 (to pH %2): ").arg(QString::fromLatin1(name), QString::number(pH));
    if (!value)
        return line + QStringLiteral("not reached\n");
    line += fixed(*value, 3, sep) + QStringLiteral(" mmol/L");
    if (*value < 0)
        line += QStringLiteral(" (base capacity %1 mmol/L)").arg(fixed(-*value, 3, sep));
    return line + QLatin1Char('\n');
}

} // namespace

std::optional<model::Dose> pointDose(const AnalysisPoint& p,
                                     const std::optional<DoseRequest>& dose) {
    if (!dose || !p.reached)
        return std::nullopt;
    const bool needsBase = p.baseSteps > 0;
    const bool needsAcid = p.steps > 0;
    const bool productBase = dose->product.compound.base;
    if ((needsBase && !productBase) || (needsAcid && productBase))
        return std::nullopt;
    return model::doseOf(dose->product, productBase ? p.base() : p.acid(), dose->cubicMetres);
}

QString runDoseText(double mmolPerLitre, bool base, const DoseRequest& dose, char32_t sep) {
    if (dose.product.compound.base != base)
        return QString();
    const model::Dose d = model::doseOf(dose.product, mmolPerLitre, dose.cubicMetres);
    return QCoreApplication::translate("AnalysisReport", "%1 kg or %2 L of %3 for %4 m³")
        .arg(fixed(d.kilograms, 2, sep), fixed(d.litres, 2, sep),
             QString::fromStdString(dose.product.name), FloatToStrF(dose.cubicMetres, 15, 0, sep));
}

QString analysisText(const Analysis& a, char32_t sep, const std::optional<DoseRequest>& dose) {
    const bool baseRun = a.titrant == model::Titrant::StrongBase;
    QString out;
    out += QStringLiteral("Initial pH %1, %2 target %3: ")
               .arg(fixed(a.initialPh, 2, sep),
                    baseRun ? QStringLiteral("upper") : QStringLiteral("lower"),
                    fixed(a.lowerTarget, 2, sep));
    if (a.stopped)
        out += QStringLiteral("run stopped at pH %1 after %2 mmol/L %3\n")
                   .arg(fixed(a.finalPh, 4, sep), fixed(a.acidToTarget(), 3, sep),
                        titrantText(baseRun));
    else
        out += QStringLiteral("%1 mmol/L %2 to pH %3 (%4 steps)\n")
                   .arg(fixed(a.acidToTarget(), 3, sep), titrantText(baseRun),
                        fixed(a.finalPh, 4, sep))
                   .arg(a.steps);
    out += endPointLine("p-value", kPValuePh, a.pValue, sep);
    out += endPointLine("m-value", kMValuePh, a.mValue, sep);
    for (const AnalysisPoint& p : a.points) {
        out += QLatin1Char('\n');
        if (!p.reached)
            out += QStringLiteral("To pH %1: not reached\n").arg(fixed(p.atPh, 2, sep));
        else
            out += QStringLiteral("To pH %1: %2 mmol/L %3 (pH %4)\n")
                       .arg(fixed(p.atPh, 2, sep),
                            fixed(p.baseSteps > 0 ? p.base() : p.acid(), 3, sep),
                            titrantText(p.baseSteps > 0), fixed(p.pH, 4, sep));
        if (const std::optional<model::Dose> d = pointDose(p, dose))
            out += QStringLiteral("  Dose: %1 kg, %2 L of %3 for %4 m3\n")
                       .arg(fixed(d->kilograms, 2, sep), fixed(d->litres, 2, sep),
                            QString::fromStdString(dose->product.name),
                            QString::number(dose->cubicMetres));
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

QString analysisCsv(const Analysis& a, char32_t sep, bool points,
                    const std::optional<DoseRequest>& dose) {
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
    // A point's base, the water's p- and m-values and the dose follow the capacities.
    if (points) {
        header << QStringLiteral("base [mmol/L]") << QStringLiteral("p-value [mmol/L]")
               << QStringLiteral("m-value [mmol/L]");
        if (dose)
            header << QStringLiteral("dose [kg]") << QStringLiteral("dose [L]");
    }
    QString out = table.line(header);
    const auto optional = [&](const std::optional<double>& v, int digits) {
        return v ? table.number(*v, digits) : QString();
    };

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
            line << (p.reached ? table.number(p.base(), 3) : QString()) << optional(a.pValue, 3)
                 << optional(a.mValue, 3);
            if (dose) {
                const std::optional<model::Dose> d = pointDose(p, dose);
                line << optional(d ? std::optional(d->kilograms) : std::nullopt, 3)
                     << optional(d ? std::optional(d->litres) : std::nullopt, 3);
            }
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

QString analysisJson(const Analysis& a, const std::optional<DoseRequest>& dose) {
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
        JsonObject point;
        point.number("at_ph", p.atPh)
            .raw("acid_mmol_l", p.reached ? jsonNumber(p.acid()) : jsonNull())
            .raw("base_mmol_l", p.reached ? jsonNumber(p.base()) : jsonNull())
            .raw("ph", p.reached ? jsonNumber(p.pH) : jsonNull())
            .raw("buffer_capacity", capacity);
        if (dose) {
            const std::optional<model::Dose> d = pointDose(p, dose);
            point.raw("dose", d ? JsonObject()
                                      .string("product", QString::fromStdString(dose->product.key))
                                      .number("kg", d->kilograms)
                                      .number("litres", d->litres)
                                      .text()
                                : jsonNull());
        }
        points << point.text();
    }
    return JsonObject()
        .number("initial_ph", a.initialPh)
        .number("lower_target", a.lowerTarget)
        .raw("acid_to_target_mmol_l", a.stopped ? jsonNull() : jsonNumber(a.acidToTarget()))
        .number("final_ph", a.finalPh)
        .raw("steps", QString::number(a.steps))
        .boolean("stopped", a.stopped)
        .raw("p_value_mmol_l", a.pValue ? jsonNumber(*a.pValue) : jsonNull())
        .raw("m_value_mmol_l", a.mValue ? jsonNumber(*a.mValue) : jsonNull())
        .raw("points", jsonArray(points))
        .text();
}

} // namespace phbuffer::ui
