// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "analysis_commands.h"
#include "batch_command.h"

#include "files/file_name.h"
#include "files/plot_export.h"
#include "files/water_quality_file.h"
#include "model/number_text.h"
#include "ui/chart_format.h"
#include "ui/errors.h"
#include "ui/main_form.h"
#include "ui/number_format.h"
#include "ui/titration_run.h"

#include <QString>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <optional>
#include <ostream>
#include <string_view>
#include <thread>
#include <utility>

namespace phbuffer::cli {

namespace {

struct UsageError {
    std::string message;
};

struct CellEdit {
    int grid;
    int col;
    int row;
    QString text;
};

struct Options {
    std::optional<std::string> preset;
    std::optional<std::string> load;
    std::vector<CellEdit> cells;
    std::optional<QString> phEdit;
    std::optional<int> view;
    std::optional<char32_t> decimalSeparator;
    std::string command;
    std::string saveFile;
    std::optional<std::string> exportFile;
    std::optional<std::string> chartFile;
    std::optional<std::pair<int, int>> chartSize;
    bool points = false;
    bool help = false;
    bool version = false;
    bool progress = false;
    std::vector<std::string> atPhTexts;
    std::vector<double> atPh;
    std::optional<ReportFormat> format;
    std::vector<std::string> batchFiles;
    std::optional<std::uint32_t> maxSteps;
};

/// The names that --preset takes and the buttons they press.
constexpr std::pair<const char*, ui::Button ui::TpHmainForm::*> kPresetButtons[] = {
    {"medium", &ui::TpHmainForm::ZPmediumBitBtn},
    {"high", &ui::TpHmainForm::ZPhighBitBtn},
    {"medium-high", &ui::TpHmainForm::ZPmediumhighBitBtn},
    {"medium-low", &ui::TpHmainForm::ZPmediumlowBitBtn},
    {"low", &ui::TpHmainForm::ZPlowBitBtn},
};

/// The button that --preset @p name presses; null for a name that is none of them.
ui::Button ui::TpHmainForm::*presetButton(const std::string& name) {
    for (const auto& [presetName, button] : kPresetButtons)
        if (name == presetName)
            return button;
    return nullptr;
}

/// The separator named by @p utf8: one printable character that can't be taken for part of
/// a number (a digit, a sign, an exponent letter) or for what stands between the fields
/// of a data file line (space, TAB, line ends).
char32_t decimalSeparator(const std::string& utf8) {
    const QString text = QString::fromStdString(utf8);
    const auto ucs4 = text.toUcs4();
    if (ucs4.size() != 1 || text.toStdString() != utf8) // the round trip fails for bad UTF-8
        throw UsageError{"--decimal-separator takes exactly one character"};
    const char32_t c = ucs4.front();
    if (!QChar::isPrint(c) || QChar::isDigit(c) || QChar::isSpace(c) ||
        std::u32string_view(U"+-eE").find(c) != std::u32string_view::npos)
        throw UsageError{"--decimal-separator takes a printable character that is not a digit, "
                         "a sign, e, E or a space"};
    return c;
}

/// A G, C or R of --cell: digits only, and no more than an int holds.
std::optional<int> cellIndex(std::string_view text) {
    int value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text[0] == '-' || res.ec != std::errc() ||
        res.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

CellEdit parseCell(const std::string& spec) {
    // G:C:R=TEXT
    const std::size_t eq = spec.find('=');
    const auto bad = [&] { return UsageError{"--cell expects G:C:R=TEXT, not '" + spec + "'"}; };
    const std::string_view where = std::string_view(spec).substr(0, eq);
    const std::size_t colon1 = where.find(':');
    const std::size_t colon2 =
        colon1 == std::string_view::npos ? colon1 : where.find(':', colon1 + 1);
    if (eq == std::string::npos || colon2 == std::string_view::npos)
        throw bad();
    const auto g = cellIndex(where.substr(0, colon1));
    const auto c = cellIndex(where.substr(colon1 + 1, colon2 - colon1 - 1));
    const auto r = cellIndex(where.substr(colon2 + 1));
    if (!g || !c || !r)
        throw bad();
    using namespace files;
    const bool inRange = (*g == 1 && *c < kBufferSystemColumns && *r < kBufferSystemRows) ||
                         (*g == 2 && *c < kWaterParameterColumns && *r < kWaterParameterRows);
    const auto last = [](int count) { return std::to_string(count - 1); };
    if (!inRange)
        throw UsageError{"--cell " + std::string(where) + ": grid 1 has columns 0-" +
                         last(kBufferSystemColumns) + " and rows 0-" + last(kBufferSystemRows) +
                         ", grid 2 columns 0-" + last(kWaterParameterColumns) + " and rows 0-" +
                         last(kWaterParameterRows)};
    return {*g, *c, *r, QString::fromStdString(spec.substr(eq + 1))};
}

/// The chart size WxH in pixels of --chart-size.
std::pair<int, int> chartSize(const std::string& text) {
    constexpr int kMaxSide = 20000;
    const auto bad = [&] {
        return UsageError{"--chart-size expects WxH, two whole numbers of pixels from 1 to " +
                          std::to_string(kMaxSide) + ", not '" + text + "'"};
    };
    const std::size_t x = text.find('x');
    if (x == std::string::npos)
        throw bad();
    const auto side = [&](std::string_view s) {
        int v = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (ec != std::errc() || end != s.data() + s.size() || v < 1 || v > kMaxSide)
            throw bad();
        return v;
    };
    const std::string_view all(text);
    return {side(all.substr(0, x)), side(all.substr(x + 1))};
}

Options parse(const std::vector<std::string>& args) {
    Options o;
    // The next argument is the value, unless it is an option: "--export --points" is an
    // export without a file name, not a file named --points.
    const auto value = [&](std::size_t& i) -> const std::string& {
        if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)
            throw UsageError{args[i] + " needs a value"};
        return args[++i];
    };
    const auto fileName = [&](std::size_t& i) -> const std::string& {
        const std::string& name = value(i);
        if (name.empty())
            throw UsageError{args[i - 1] + " needs a file name, not an empty text"};
        return name;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--preset") {
            const std::string& p = value(i);
            if (!presetButton(p))
                throw UsageError{"unknown preset '" + p + "'"};
            o.preset = p;
        } else if (a == "--load") {
            o.load = fileName(i);
        } else if (a == "--cell") {
            o.cells.push_back(parseCell(value(i)));
        } else if (a == "--ph-edit") {
            o.phEdit = QString::fromStdString(value(i));
        } else if (a == "--view") {
            const std::string& v = value(i);
            if (v == "titration")
                o.view = 0;
            else if (v == "buffer")
                o.view = 1;
            else
                throw UsageError{"--view is titration or buffer, not '" + v + "'"};
        } else if (a == "--decimal-separator") {
            o.decimalSeparator = decimalSeparator(value(i));
        } else if (a == "--points") {
            o.points = true;
        } else if (a == "--export") {
            o.exportFile = fileName(i);
        } else if (a == "--chart") {
            o.chartFile = fileName(i);
            if (!ui::chartFormatOf(
                    files::fileNameFromBytes(QByteArray::fromStdString(*o.chartFile))))
                throw UsageError{"--chart writes " + ui::chartFormatNames().toStdString() +
                                 " by the file's extension, not '" + *o.chartFile + "'"};
        } else if (a == "--chart-size") {
            o.chartSize = chartSize(value(i));
        } else if (a == "--at-ph") {
            // "--at-ph -1" is a pH below 0, not an option.
            if (i + 1 >= args.size())
                throw UsageError{"--at-ph needs a value"};
            o.atPhTexts.push_back(args[++i]);
        } else if (a == "--format") {
            const std::string& f = value(i);
            if (f == "text")
                o.format = ReportFormat::Text;
            else if (f == "csv")
                o.format = ReportFormat::Csv;
            else if (f == "json")
                o.format = ReportFormat::Json;
            else
                throw UsageError{"--format is text, csv or json, not '" + f + "'"};
        } else if (a == "--max-steps") {
            const std::string& n = value(i);
            const std::optional<int> steps = cellIndex(n);
            if (!steps || *steps < 1)
                throw UsageError{"--max-steps takes a whole number of steps from 1, not '" + n +
                                 "'"};
            o.maxSteps = static_cast<std::uint32_t>(*steps);
        } else if (a == "--progress") {
            o.progress = true;
        } else if (!a.empty() && a[0] == '-') {
            throw UsageError{"unknown option '" + a + "'"};
        } else if (o.command.empty()) {
            if (a != "run" && a != "co2" && a != "grid" && a != "save" && a != "analyse" &&
                a != "batch")
                throw UsageError{"unknown command '" + a + "'"};
            o.command = a;
            if (a == "save")
                o.saveFile = fileName(i);
        } else if (o.command == "batch") {
            o.batchFiles.push_back(a);
        } else {
            throw UsageError{"unexpected argument '" + a + "'"};
        }
    }
    if (o.help || o.version)
        return o;
    if (o.command.empty())
        throw UsageError{"no command given"};
    if (o.points && o.command != "run")
        throw UsageError{"--points goes with the run command"};
    if (o.exportFile && o.command != "run")
        throw UsageError{"--export goes with the run command"};
    if (o.chartFile && o.command != "run")
        throw UsageError{"--chart goes with the run command"};
    if (o.chartSize && !o.chartFile)
        throw UsageError{"--chart-size goes with --chart"};
    const bool analysing = o.command == "analyse" || o.command == "batch";
    if (!analysing && (!o.atPhTexts.empty() || o.format))
        throw UsageError{(o.format ? "--format" : "--at-ph") +
                         std::string(" goes with the analyse and batch commands")};
    if (o.maxSteps && o.command != "batch")
        throw UsageError{"--max-steps goes with the batch command"};
    if (o.progress && o.command != "run" && !analysing)
        throw UsageError{"--progress goes with the run, analyse and batch commands"};
    if (o.command == "batch") {
        if (o.batchFiles.empty())
            throw UsageError{"batch needs at least one data file"};
        if (o.format == ReportFormat::Text)
            throw UsageError{"batch writes csv or json"};
        if (o.preset || o.load || !o.cells.empty() || o.phEdit || o.view)
            throw UsageError{"batch takes each water from its file: no --preset, --load, "
                             "--cell, --ph-edit or --view"};
    }
    for (const std::string& text : o.atPhTexts) {
        // A full stop always works; the separator in effect too.
        double x = 0;
        const char32_t sep = o.decimalSeparator.value_or(ui::systemDecimalSeparator());
        if (!model::tryParse(text, x, U'.') && !model::tryParse(text, x, sep))
            throw UsageError{"--at-ph takes a pH, not '" + text + "'"};
        if (!(x >= ui::kMinRunpH && x <= ui::kMaxRunpH))
            throw UsageError{"--at-ph takes a pH from -2 to 16, not '" + text + "'"};
        o.atPh.push_back(x);
    }
    return o;
}

void printGrid(std::ostream& out, const ui::StringGrid& grid) {
    for (int r = 0; r < grid.RowCount; ++r) {
        for (int c = 0; c < grid.ColCount; ++c)
            out << (c ? "\t" : "") << grid.Cells(c, r).toStdString();
        out << '\n';
    }
}

/// Publishes the form's run control for the length of a run.
class ActiveRun {
public:
    ActiveRun(std::atomic<model::RunControl*>* slot, model::RunControl* control) : slot_(slot) {
        if (slot_)
            slot_->store(control);
    }
    ~ActiveRun() {
        if (slot_)
            slot_->store(nullptr);
    }

private:
    std::atomic<model::RunControl*>* slot_;
};

/// With --progress, tells on the error stream how far a run has come: a line as soon as the
/// run has added its first acid (it can then be interrupted), then one a second. Before that
/// the progress is the empty one of a run not yet started, or of one refused before it began,
/// and says nothing true.
class ProgressTicker {
public:
    ProgressTicker(bool enabled, const model::RunControl& control, char32_t separator,
                   std::ostream& err) {
        if (!enabled)
            return;
        thread_ = std::thread([this, &control, separator, &err] {
            std::unique_lock<std::mutex> lock(mutex_);
            const auto stopped = [this] { return done_; };
            while (!(control.progress().acidAdded > 0))
                if (wake_.wait_for(lock, kFirstStepPoll, stopped))
                    return;
            do {
                err << "Running: "
                    << ui::runProgressText(control.progress(), separator).toStdString()
                    << std::endl;
            } while (!wake_.wait_for(lock, std::chrono::seconds(1), stopped));
        });
    }
    ~ProgressTicker() {
        if (!thread_.joinable())
            return;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

private:
    static constexpr std::chrono::milliseconds kFirstStepPoll{10};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

/// Makes every file dialog of @p form answer with @p file, as if the user had picked it.
void answerFileDialogsWith(ui::TpHmainForm& form, const std::string& file) {
    form.ExecuteFileDialog = [name = files::fileNameFromBytes(QByteArray::fromStdString(file))](
                                 ui::FileDialog&, ui::FileDialogKind) {
        return std::optional<QString>(name);
    };
}

} // namespace

std::string usageText() {
    return "Usage: phbuffer-cli [options] run [--points] [--export FILE]\n"
           "                            [--chart FILE [--chart-size WxH]] | co2 | grid |\n"
           "                            save FILE | analyse [--at-ph X]... [--format F]\n"
           "       phbuffer-cli batch [--at-ph X]... [--format csv|json] [--max-steps N] FILE...\n"
           "\n"
           "Starts from the water shown at start-up (the medium preset), applies the options\n"
           "in this order, then presses a button:\n"
           "  --preset medium|high|medium-high|medium-low|low   press that preset button\n"
           "  --load FILE              \"Get water quality data from file\" with FILE chosen\n"
           "  --cell G:C:R=TEXT        set cell column C, row R of grid G (1: buffer systems,\n"
           "                           2: water parameters); repeatable, applied in order\n"
           "  --ph-edit TEXT           the text of the pH box beside the CO2 button\n"
           "  --view titration|buffer  select the curve to show\n"
           "  --decimal-separator C    use C instead of the locale's decimal separator\n"
           "  --progress               tell on stderr, once a second, how far a run has come\n"
           "  --help, --version        print this text or the version, and exit\n"
           "Commands:\n"
           "  run        \"Run pH model\"; prints the result line, and with --points every\n"
           "             point of the selected curve as x TAB y; with --export FILE then\n"
           "             \"Export plot data\" with FILE chosen (.txt added when it has no\n"
           "             extension); with --chart FILE the selected curve's chart as the\n"
           "             window draws it, as svg, png or pdf by FILE's extension, 1218x454\n"
           "             pixels unless --chart-size WxH\n"
           "  co2        \"Create CO2 equilibrium at pH:\"; prints the new concentration of\n"
           "             row 1\n"
           "  grid       prints both grids, TAB-separated, with an empty line between them\n"
           "  save FILE  \"Save water quality data to file\" with FILE chosen (.prn added\n"
           "             when it has no extension)\n"
           "  analyse    \"Run pH model\", then for each --at-ph X (pH 8.2 and 4.3 when none\n"
           "             is given) the acid to reach X and the buffer capacity there by\n"
           "             buffer system; --format text (default), csv or json\n"
           "  batch      loads each data FILE onto the start-up water, runs it to its own\n"
           "             lower target, and prints one record per file (csv, the default,\n"
           "             or json), computed in parallel and printed in order as each is\n"
           "             done; --max-steps N ends a file's run after N steps of 0.001\n"
           "             mmol/L and says so; an interrupt prints what is done and marks\n"
           "             the rest \"not run\"; exit status 1 if any file failed\n"
           "Exit status: 0 success, 1 the handler failed or the output could not be written\n"
           "(message on stderr), 2 usage error, 130 a run stopped by an interrupt.\n";
}

namespace {

int executeCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                       std::atomic<model::RunControl*>* activeRun, const ChartWriter& chartWriter) {
    Options o;
    try {
        o = parse(args);
    } catch (const UsageError& e) {
        err << "phbuffer-cli: " << e.message << "\n\n" << usageText();
        return kUsageError;
    }
    if (o.help) {
        out << usageText();
        return kSuccess;
    }
    if (o.version) {
        out << "phbuffer-cli " PHBUFFER_VERSION "\n";
        return kSuccess;
    }

    if (o.command == "batch") {
        const char32_t separator = o.decimalSeparator.value_or(ui::systemDecimalSeparator());
        model::RunControl control;
        if (o.maxSteps)
            control.maxSteps = *o.maxSteps;
        bool allGood = false;
        {
            ActiveRun published(activeRun, &control);
            ProgressTicker ticker(o.progress, control, separator, err);
            allGood = runBatch(o.batchFiles, o.atPh, o.format.value_or(ReportFormat::Csv),
                               separator, control, out);
        }
        if (control.cancelRequested.load())
            return kInterrupted;
        return allGood ? kSuccess : kHandlerFailed;
    }

    ui::TpHmainForm form;
    if (o.decimalSeparator)
        form.DecimalSeparator = *o.decimalSeparator;
    try {
        form.FormShow(&form);
        if (o.preset) {
            form.ZPmediumBitBtnClick(&(form.*presetButton(*o.preset)));
        }
        if (o.load) {
            answerFileDialogsWith(form, *o.load);
            form.GetDataBitBtnClick(&form.GetDataBitBtn);
        }
        for (const CellEdit& edit : o.cells)
            (edit.grid == 1 ? form.StringGrid1 : form.StringGrid2).Cells(edit.col, edit.row) =
                edit.text;
        if (!o.cells.empty())
            form.checkOneLineCells();
        if (o.phEdit)
            form.phEqEdit.Text = *o.phEdit;
        if (o.view) {
            form.WhatToShowRadioGroup.ItemIndex = *o.view;
            form.WhatToShowRadioGroupClick(&form.WhatToShowRadioGroup);
        }

        if (o.command == "run") {
            {
                ActiveRun published(activeRun, &form.RunControl);
                ProgressTicker ticker(o.progress, form.RunControl, form.DecimalSeparator, err);
                form.DoTitrationButtonClick(&form.DoTitrationButton);
            }
            out << form.Label1.Caption.toStdString() << '\n';
            if (o.points)
                for (const QString& line :
                     files::plotDataLines(form.selectedSeries(), form.DecimalSeparator))
                    out << line.toStdString() << '\n';
            if (form.RunControl.cancelRequested.load())
                return kInterrupted; // a curve cut short is not written to a file
            if (o.exportFile) {
                answerFileDialogsWith(form, *o.exportFile);
                form.ExportPlotDataBitBtnClick(&form.ExportPlotDataBitBtn);
            }
            if (o.chartFile) {
                if (!chartWriter)
                    throw ui::HandlerError(
                        QStringLiteral("This phbuffer-cli was built without the chart"));
                const auto [width, height] =
                    o.chartSize.value_or(std::pair(kDefaultChartWidth, kDefaultChartHeight));
                chartWriter(files::fileNameFromBytes(QByteArray::fromStdString(*o.chartFile)),
                            width, height, form);
            }
        } else if (o.command == "analyse") {
            bool finished = false;
            {
                ActiveRun published(activeRun, &form.RunControl);
                ProgressTicker ticker(o.progress, form.RunControl, form.DecimalSeparator, err);
                finished = runAnalyse(form, o.atPh, o.format.value_or(ReportFormat::Text), out);
            }
            if (!finished)
                return kInterrupted;
        } else if (o.command == "co2") {
            form.CO2EqButtonClick(&form.CO2EqButton);
            out << form.StringGrid1.Cells(1, 1).toStdString() << '\n';
        } else if (o.command == "save") {
            answerFileDialogsWith(form, o.saveFile);
            form.SaveDataBitBtnClick(&form.SaveDataBitBtn);
        } else {
            printGrid(out, form.StringGrid1);
            out << '\n';
            printGrid(out, form.StringGrid2);
        }
    } catch (const std::exception& e) {
        out.flush();
        err << ui::errorBoxText(e).toStdString() << '\n';
        return kHandlerFailed;
    }
    return kSuccess;
}

} // namespace

bool wantsChart(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a == "--chart")
            return true;
    return false;
}

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   std::atomic<model::RunControl*>* activeRun, const ChartWriter& chartWriter) {
    const int status = executeCommandLine(args, out, err, activeRun, chartWriter);
    // Output that did not arrive (a full disk, a closed descriptor) is a failure,
    // not a success that printed nothing.
    errno = 0;
    out.flush();
    if (out)
        return status;
    const int error = errno;
    err << "phbuffer-cli: could not write to standard output"
        << (error ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
    return status == kSuccess ? kHandlerFailed : status;
}

} // namespace phbuffer::cli
