// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch_command.h"

#include "files/file_name.h"
#include "ui/analysis.h"
#include "ui/errors.h"
#include "ui/main_form.h"
#include "ui/number_format.h"
#include "ui/table_writers.h"

#include <QStringList>

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>

namespace phbuffer::cli {

namespace {

struct BatchRecord {
    std::optional<ui::Analysis> analysis;
    QString error;
};

BatchRecord analyseFile(const std::string& file, const std::vector<double>& atPh,
                        char32_t decimalSeparator, model::RunControl& control) {
    BatchRecord record;
    try {
        ui::TpHmainForm form;
        form.DecimalSeparator = decimalSeparator;
        form.FormShow(&form);
        form.loadDataFile(files::fileNameFromBytes(QByteArray::fromStdString(file)));
        const ui::RunInput input = form.prepareRun(&form.DoTitrationButton);
        ui::Analysis analysis = ui::analyseWater(input.description, atPh, &control);
        if (analysis.end == model::RunEnd::Cancelled) {
            record.error = QString::fromLatin1(kNotRun); // cut short: no result to give
            return record;
        }
        if (analysis.end == model::RunEnd::StepLimit)
            record.error =
                QStringLiteral("The run stopped at the limit of %1 steps").arg(control.maxSteps);
        record.analysis = std::move(analysis);
    } catch (const std::exception& e) {
        record.error = ui::errorBoxText(e);
    }
    return record;
}

/// Writes the records one by one in the file order, as CSV for a spreadsheet in the
/// user's locale (as the analysis export writes it) or as a JSON array.
class RecordWriter {
public:
    RecordWriter(std::ostream& out, ReportFormat format, char32_t decimalSeparator,
                 const std::vector<double>& atPh, const std::optional<ui::DoseRequest>& dose)
        : out_(out), json_(format == ReportFormat::Json), table_(decimalSeparator),
          atPhCount_(atPh.size()), dose_(dose) {
        if (json_) {
            out_ << '[';
            return;
        }
        QStringList header{QStringLiteral("file"),
                           QStringLiteral("initial pH"),
                           QStringLiteral("lower target"),
                           QStringLiteral("acid [mmol/L]"),
                           QStringLiteral("final pH"),
                           QStringLiteral("steps"),
                           QStringLiteral("stopped"),
                           QStringLiteral("p-value [mmol/L]"),
                           QStringLiteral("m-value [mmol/L]")};
        for (double x : atPh) {
            const QString pH = table_.number(x, 2);
            header << QStringLiteral("acid to pH %1 [mmol/L]").arg(pH)
                   << QStringLiteral("base to pH %1 [mmol/L]").arg(pH);
            if (dose_)
                header << QStringLiteral("dose to pH %1 [kg]").arg(pH)
                       << QStringLiteral("dose to pH %1 [L]").arg(pH);
        }
        header << QStringLiteral("error");
        out_ << table_.line(header).toStdString();
        out_.flush();
    }

    void write(const std::string& file, const BatchRecord& record) {
        const QString name =
            files::shownFileName(files::fileNameFromBytes(QByteArray::fromStdString(file)));
        out_ << (json_ ? jsonRecord(name, record) : csvRecord(name, record)).toStdString();
        out_.flush(); // a reader of a pipe sees each record when it is done
        ++written_;
    }

    void finish() {
        if (json_)
            out_ << "]\n";
    }

private:
    QString optional(const std::optional<double>& v, int digits) const {
        return v ? table_.number(*v, digits) : QString();
    }

    QString csvRecord(const QString& name, const BatchRecord& r) const {
        QStringList line{table_.text(name)};
        if (const ui::Analysis* a = r.analysis ? &*r.analysis : nullptr) {
            line << table_.number(a->initialPh, 2) << table_.number(a->lowerTarget, 2)
                 << (a->stopped ? QString() : table_.number(a->acidToTarget(), 3))
                 << table_.number(a->finalPh, 4) << QString::number(a->steps)
                 << QString::fromLatin1(a->stopped ? "yes" : "no") << optional(a->pValue, 3)
                 << optional(a->mValue, 3);
            for (const ui::AnalysisPoint& p : a->points) {
                line << (p.reached ? table_.number(p.acid(), 3) : QString())
                     << (p.reached ? table_.number(p.base(), 3) : QString());
                if (dose_) {
                    const std::optional<model::Dose> d = ui::pointDose(p, dose_);
                    line << (d ? table_.number(d->kilograms, 3) : QString())
                         << (d ? table_.number(d->litres, 3) : QString());
                }
            }
        } else {
            for (std::size_t k = 0; k < 8 + atPhCount_ * (dose_ ? 4 : 2); ++k)
                line << QString();
        }
        line << table_.text(r.error);
        return table_.line(line);
    }

    QString jsonRecord(const QString& name, const BatchRecord& r) const {
        const ui::Analysis* a = r.analysis ? &*r.analysis : nullptr;
        const QString null = ui::jsonNull();
        QStringList at;
        if (a)
            for (const ui::AnalysisPoint& p : a->points) {
                ui::JsonObject point;
                point.number("at_ph", p.atPh)
                    .raw("acid_mmol_l", p.reached ? ui::jsonNumber(p.acid()) : null)
                    .raw("base_mmol_l", p.reached ? ui::jsonNumber(p.base()) : null);
                if (dose_) {
                    const std::optional<model::Dose> d = ui::pointDose(p, dose_);
                    point.raw("dose",
                              d ? ui::JsonObject()
                                      .string("product", QString::fromStdString(dose_->product.key))
                                      .number("kg", d->kilograms)
                                      .number("litres", d->litres)
                                      .text()
                                : null);
                }
                at << point.text();
            }
        return QString::fromLatin1(written_ ? ",\n " : "") +
               ui::JsonObject()
                   .string("file", name)
                   .raw("initial_ph", a ? ui::jsonNumber(a->initialPh) : null)
                   .raw("lower_target", a ? ui::jsonNumber(a->lowerTarget) : null)
                   .raw("acid_mmol_l", a && !a->stopped ? ui::jsonNumber(a->acidToTarget()) : null)
                   .raw("final_ph", a ? ui::jsonNumber(a->finalPh) : null)
                   .raw("steps", a ? QString::number(a->steps) : null)
                   .raw("stopped", a ? QString::fromLatin1(a->stopped ? "true" : "false") : null)
                   .raw("p_value_mmol_l", a && a->pValue ? ui::jsonNumber(*a->pValue) : null)
                   .raw("m_value_mmol_l", a && a->mValue ? ui::jsonNumber(*a->mValue) : null)
                   .raw("at_ph", a ? ui::jsonArray(at) : null)
                   .raw("error", r.error.isEmpty() ? null : ui::jsonString(r.error))
                   .text();
    }

    std::ostream& out_;
    bool json_;
    ui::CsvTable table_;
    std::size_t atPhCount_;
    std::optional<ui::DoseRequest> dose_;
    std::size_t written_ = 0;
};

} // namespace

bool runBatch(const std::vector<std::string>& files, const std::vector<double>& atPh,
              ReportFormat format, char32_t decimalSeparator, model::RunControl& control,
              std::ostream& out, const std::optional<ui::DoseRequest>& dose) {
    const unsigned threads = std::max(1u, std::min<unsigned>(std::thread::hardware_concurrency(),
                                                             static_cast<unsigned>(files.size())));
    // A worker runs at most this far ahead of the next record to print, so that one slow
    // file holds back only a few finished ones, not the whole batch.
    const std::size_t window = 4 * std::size_t{threads};

    RecordWriter writer(out, format, decimalSeparator, atPh, dose);
    std::mutex mutex;
    std::condition_variable advanced;
    std::map<std::size_t, BatchRecord> finished; // done, waiting for those before them
    std::size_t next = 0;                        // the next file to start
    std::size_t printed = 0;                     // the records printed so far
    bool allGood = true;

    const auto work = [&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            advanced.wait(lock, [&] { return next < printed + window || next >= files.size(); });
            if (next >= files.size() || control.cancelRequested.load())
                return;
            const std::size_t i = next++;
            lock.unlock();
            BatchRecord record = analyseFile(files[i], atPh, decimalSeparator, control);
            lock.lock();
            finished.emplace(i, std::move(record));
            for (auto it = finished.find(printed); it != finished.end();
                 it = finished.find(printed)) {
                allGood = allGood && it->second.analysis && it->second.error.isEmpty();
                writer.write(files[printed], it->second);
                finished.erase(it);
                ++printed;
            }
            advanced.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();

    // What an interrupt kept from starting is told, so the list is never silently short.
    for (; printed < files.size(); ++printed) {
        allGood = false;
        const auto done = finished.find(printed);
        writer.write(files[printed], done != finished.end()
                                         ? done->second
                                         : BatchRecord{std::nullopt, QString::fromLatin1(kNotRun)});
    }
    writer.finish();
    return allGood;
}

} // namespace phbuffer::cli
