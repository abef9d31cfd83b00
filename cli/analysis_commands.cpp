// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_commands.h"

#include "files/csv_field.h"
#include "files/file_name.h"
#include "ui/analysis.h"
#include "ui/errors.h"
#include "ui/number_format.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <optional>
#include <ostream>
#include <thread>

namespace phbuffer::cli {

bool RunAnalyse(ui::TpHmainForm& form, const std::vector<double>& atPh, ReportFormat format,
                std::ostream& out) {
    const std::vector<double>& points = atPh.empty() ? ui::StandardEndPoints() : atPh;
    // The button's own checks come first, so a refused water fails as "run" fails.
    const ui::RunInput input = form.prepareRun(&form.DoTitrationButton);
    const ui::Analysis analysis = ui::Analyse(input.state, points, &form.RunControl);
    if (form.RunControl.cancelRequested.load())
        return false;
    switch (format) {
    case ReportFormat::Text:
        out << ui::AnalysisText(analysis, form.DecimalSeparator).toStdString();
        break;
    case ReportFormat::Csv:
        out << ui::AnalysisCsv(analysis, form.DecimalSeparator, true).toStdString();
        break;
    case ReportFormat::Json:
        out << ui::AnalysisJson(analysis).toStdString() << '\n';
        break;
    }
    return true;
}

namespace {

struct BatchRecord {
    std::optional<ui::Analysis> analysis;
    QString error;
};

BatchRecord AnalyseFile(const std::string& file, const std::vector<double>& atPh,
                        char32_t decimalSeparator, model::RunControl& control) {
    BatchRecord record;
    try {
        ui::TpHmainForm form;
        form.DecimalSeparator = decimalSeparator;
        form.FormShow(&form);
        form.LoadDataFile(files::fileNameFromBytes(QByteArray::fromStdString(file)));
        const ui::RunInput input = form.prepareRun(&form.DoTitrationButton);
        record.analysis = ui::Analyse(input.state, atPh, &control);
    } catch (const std::exception& e) {
        record.error = ui::ErrorBoxText(e);
    }
    return record;
}

} // namespace

bool RunBatch(const std::vector<std::string>& files, const std::vector<double>& atPh,
              ReportFormat format, char32_t decimalSeparator, model::RunControl& control,
              std::ostream& out) {
    std::vector<BatchRecord> records(files.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next++) < files.size();)
            records[i] = AnalyseFile(files[i], atPh, decimalSeparator, control);
    };
    const unsigned threads = std::max(1u, std::min<unsigned>(std::thread::hardware_concurrency(),
                                                             static_cast<unsigned>(files.size())));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();

    bool allGood = true;
    const auto fileName = [&](std::size_t i) { return files::shownFileName(files::fileNameFromBytes(QByteArray::fromStdString(files[i]))); };
    if (format == ReportFormat::Json) {
        QStringList objects;
        for (std::size_t i = 0; i < records.size(); ++i) {
            const BatchRecord& r = records[i];
            const ui::Analysis* a = r.analysis ? &*r.analysis : nullptr;
            allGood = allGood && a;
            const QString null = QStringLiteral("null");
            QStringList at;
            if (a)
                for (const ui::AnalysisPoint& p : a->points)
                    at << QStringLiteral("{\"at_ph\": %1, \"acid_mmol_l\": %2}")
                              .arg(ui::JsonNumber(p.atPh),
                                   p.reached ? ui::JsonNumber(p.acid()) : null);
            objects << QStringLiteral("{\"file\": %1, \"initial_ph\": %2, \"lower_target\": %3, "
                                      "\"acid_mmol_l\": %4, \"final_ph\": %5, \"steps\": %6, "
                                      "\"stopped\": %7, \"at_ph\": %8, \"error\": %9}")
                           .arg(ui::JsonString(fileName(i)),
                                a ? ui::JsonNumber(a->initialPh) : null,
                                a ? ui::JsonNumber(a->lowerTarget) : null,
                                a && !a->stopped ? ui::JsonNumber(a->acidToTarget()) : null,
                                a ? ui::JsonNumber(a->finalPh) : null,
                                a ? QString::number(a->steps) : null,
                                a ? QString::fromLatin1(a->stopped ? "true" : "false") : null,
                                a ? QLatin1Char('[') + at.join(QStringLiteral(", ")) +
                                        QLatin1Char(']')
                                  : null,
                                a ? null : ui::JsonString(r.error));
        }
        out << '[' << objects.join(QStringLiteral(",\n ")).toStdString() << "]\n";
        return allGood;
    }

    // CSV for a spreadsheet in the user's locale, as the analysis export writes it.
    const QChar field = decimalSeparator == U',' ? QLatin1Char(';') : QLatin1Char(',');
    const char32_t decimal = decimalSeparator == U',' ? U',' : U'.';
    const auto number = [decimal](double v, int digits) {
        return ui::FloatToStrF(v, 15, digits, decimal);
    };
    QStringList header{QStringLiteral("file"),         QStringLiteral("initial pH"),
                       QStringLiteral("lower target"), QStringLiteral("acid [mmol/L]"),
                       QStringLiteral("final pH"),     QStringLiteral("steps"),
                       QStringLiteral("stopped")};
    for (double x : atPh)
        header << QStringLiteral("acid to pH %1 [mmol/L]").arg(number(x, 2));
    header << QStringLiteral("error");
    out << header.join(field).toStdString() << "\r\n";
    for (std::size_t i = 0; i < records.size(); ++i) {
        const BatchRecord& r = records[i];
        QStringList line{files::csvTextField(fileName(i), field)};
        if (const ui::Analysis* a = r.analysis ? &*r.analysis : nullptr) {
            line << number(a->initialPh, 2) << number(a->lowerTarget, 2)
                 << (a->stopped ? QString() : number(a->acidToTarget(), 3)) << number(a->finalPh, 4)
                 << QString::number(a->steps) << QString::fromLatin1(a->stopped ? "yes" : "no");
            for (const ui::AnalysisPoint& p : a->points)
                line << (p.reached ? number(p.acid(), 3) : QString());
            line << QString();
        } else {
            allGood = false;
            for (int k = 0; k < 6 + static_cast<int>(atPh.size()); ++k)
                line << QString();
            line << files::csvTextField(r.error, field);
        }
        out << line.join(field).toStdString() << "\r\n";
    }
    return allGood;
}

} // namespace phbuffer::cli
