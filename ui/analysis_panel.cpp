// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_panel.h"

#include "number_format.h"

#include "files/text_file.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <cmath>
#include <functional>

namespace phbuffer::ui {

namespace {
const QString kAnalysisFileExtension = QStringLiteral("csv");
const char* const kAnalysisFileFilter =
    QT_TRANSLATE_NOOP("AnalysisPanel", "CSV files (*.csv)|*.CSV");
} // namespace

std::vector<double> withAddedPh(const std::vector<double>& atPh, double pH) {
    std::vector<double> result = atPh;
    if (std::find(result.begin(), result.end(), pH) == result.end())
        result.push_back(pH);
    const std::vector<double>& standard = standardEndPoints();
    const auto added = std::stable_partition(result.begin(), result.end(), [&](double x) {
        return std::find(standard.begin(), standard.end(), x) != standard.end();
    });
    std::sort(added, result.end(), std::greater<>());
    return result;
}

TypedPh readTypedPh(const QString& text, char32_t decimalSeparator) {
    double pH = 0;
    if (!TryStrToFloat(text.trimmed(), pH, decimalSeparator) || std::isnan(pH))
        return {std::nullopt,
                QCoreApplication::translate(
                    "AnalysisPanel", "\"%1\" is not a number with '%2' as decimal separator.")
                    .arg(text, QString::fromUcs4(&decimalSeparator, 1))};
    if (!isRunPh(pH))
        return {std::nullopt, QCoreApplication::translate("AnalysisPanel",
                                                          "\"%1\" is not a pH between %2 and %3.")
                                  .arg(text, FloatToStrF(kMinRunpH, 15, 0, decimalSeparator),
                                       FloatToStrF(kMaxRunpH, 15, 0, decimalSeparator))};
    return {pH, QString()};
}

std::vector<model::CapacityBreakdown> capacityProfile(const model::WaterState& water, double fromPh,
                                                      double toPh, int count) {
    std::vector<model::CapacityBreakdown> profile;
    if (count < 1)
        return profile;
    if (count == 1 || fromPh == toPh) {
        profile.push_back(model::bufferCapacityAt(water, fromPh));
        return profile;
    }
    profile.reserve(static_cast<std::size_t>(count));
    // Each pH from the ends, so the last one is toPh exactly.
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / (count - 1);
        profile.push_back(model::bufferCapacityAt(water, fromPh + t * (toPh - fromPh)));
    }
    return profile;
}

AnalysisView computeAnalysisView(const model::RunDescription& description,
                                 const std::vector<double>& atPh, model::RunControl* control) {
    AnalysisView view;
    view.description = description;
    view.water = model::waterOf(description);
    const model::WaterState& water = view.water;
    view.analysis = analyseWater(description, atPh, control);
    double lowest = view.analysis.initialPh;
    for (const AnalysisRow& row : view.analysis.rows)
        lowest = std::min(lowest, row.pH);
    view.capacityProfile = capacityProfile(water, view.analysis.initialPh, lowest, kProfilePoints);
    view.speciesProfile = capacityProfile(water, kSpeciesMaxPh, kSpeciesMinPh, kProfilePoints);
    return view;
}

QString endPointsSummary(const Analysis& a, char32_t sep) {
    // A negative value is the base capacity to that pH, and named so.
    const auto value = [sep](const char* name, double pH, const std::optional<double>& v) {
        const QString label =
            QCoreApplication::translate("AnalysisPanel", name).arg(FloatToStrF(pH, 15, 1, sep));
        if (!v)
            return QCoreApplication::translate("AnalysisPanel", "%1 not reached").arg(label);
        if (*v < 0)
            return QCoreApplication::translate("AnalysisPanel",
                                               "%1 %2 mmol/L (base capacity %3 mmol/L)")
                .arg(label, FloatToStrF(*v, 15, 3, sep), FloatToStrF(-*v, 15, 3, sep));
        return QCoreApplication::translate("AnalysisPanel", "%1 %2 mmol/L")
            .arg(label, FloatToStrF(*v, 15, 3, sep));
    };
    return value(QT_TRANSLATE_NOOP("AnalysisPanel", "p-value (to pH %1):"), kPValuePh, a.pValue) +
           QStringLiteral("; ") +
           value(QT_TRANSLATE_NOOP("AnalysisPanel", "m-value (to pH %1):"), kMValuePh, a.mValue);
}

std::vector<BreakdownRow>
breakdownRows(const model::CapacityBreakdown& capacity,
              const std::array<QString, model::kBufferSystemCount>& names,
              const std::array<std::vector<QString>, model::kBufferSystemCount>& forms) {
    const auto share = [&capacity](double value) {
        return capacity.total > 0 ? 100 * value / capacity.total : 0.0;
    };
    std::vector<BreakdownRow> rows;
    rows.push_back({QCoreApplication::translate("AnalysisPanel", "Water"),
                    capacity.water,
                    share(capacity.water),
                    std::nullopt,
                    {}});
    for (int i = 0; i < model::kBufferSystemCount; ++i) {
        const model::SystemCapacity& system = capacity.systems[static_cast<std::size_t>(i)];
        if (system.inUse)
            rows.push_back({names[static_cast<std::size_t>(i)], system.capacity,
                            share(system.capacity), system.fractions,
                            forms[static_cast<std::size_t>(i)]});
    }
    rows.push_back({QCoreApplication::translate("AnalysisPanel", "Total"),
                    capacity.total,
                    capacity.total > 0 ? 100.0 : 0.0,
                    std::nullopt,
                    {}});
    return rows;
}

void exportAnalysis(TpHmainForm& form, const Analysis& analysis) {
    const std::optional<QString> chosen =
        form.chooseSaveName(SaveKind::Analysis, kAnalysisFileExtension,
                            QCoreApplication::translate("AnalysisPanel", kAnalysisFileFilter),
                            QCoreApplication::translate("AnalysisPanel", "Export analysis"));
    if (!chosen)
        return;
    // AnalysisCsv ends every line in CR LF already, as the other files of the program.
    form.Files->replace(*chosen,
                        files::toWindows1252(analysisCsv(analysis, form.DecimalSeparator, false)));
}

} // namespace phbuffer::ui
