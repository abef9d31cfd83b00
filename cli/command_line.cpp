// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "analysis_commands.h"
#include "batch_command.h"
#include "options.h"

#include "files/file_name.h"
#include "files/plot_export.h"
#include "files/water_quality_file.h"
#include "model/conditions.h"
#include "model/number_text.h"
#include "ui/chart_format.h"
#include "ui/errors.h"
#include "ui/main_form.h"
#include "ui/number_format.h"
#include "ui/table_writers.h"
#include "ui/titration_run.h"

#include <QLocale>
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

/// What a command works with.
struct CommandContext {
    const Options& o;
    ui::TpHmainForm& form;
    std::ostream& out;
    std::ostream& err;
    std::atomic<model::RunControl*>* activeRun;
    const ChartWriter& chartWriter;
};

namespace {

int runCommand(CommandContext& c) {
    ui::TpHmainForm& form = c.form;
    {
        ActiveRun published(c.activeRun, &form.RunControl);
        ProgressTicker ticker(c.o.progress, form.RunControl, form.DecimalSeparator, c.err);
        form.DoTitrationButtonClick(&form.DoTitrationButton);
    }
    c.out << form.Label1.Caption.toStdString() << '\n';
    if (c.o.points)
        for (const QString& line :
             files::plotDataLines(form.selectedSeries(), form.DecimalSeparator))
            c.out << line.toStdString() << '\n';
    if (form.RunControl.cancelRequested.load())
        return kInterrupted; // a curve cut short is not written to a file
    if (c.o.exportFile) {
        answerFileDialogsWith(form, *c.o.exportFile);
        form.ExportPlotDataBitBtnClick(&form.ExportPlotDataBitBtn);
    }
    if (c.o.chartFile) {
        if (!c.chartWriter)
            throw ui::HandlerError(QStringLiteral("This phbuffer-cli was built without the chart"));
        const auto [width, height] =
            c.o.chartSize.value_or(std::pair(kDefaultChartWidth, kDefaultChartHeight));
        c.chartWriter(files::fileNameFromBytes(QByteArray::fromStdString(*c.o.chartFile)), width,
                      height, form);
    }
    return kSuccess;
}

int co2Command(CommandContext& c) {
    c.form.CO2EqButtonClick(&c.form.CO2EqButton);
    c.out << c.form.StringGrid1.Cells(1, 1).toStdString() << '\n';
    return kSuccess;
}

int gridCommand(CommandContext& c) {
    printGrid(c.out, c.form.StringGrid1);
    c.out << '\n';
    printGrid(c.out, c.form.StringGrid2);
    return kSuccess;
}

int saveCommand(CommandContext& c) {
    answerFileDialogsWith(c.form, c.o.saveFile);
    c.form.SaveDataBitBtnClick(&c.form.SaveDataBitBtn);
    return kSuccess;
}

int analyseCommand(CommandContext& c) {
    bool finished = false;
    {
        ActiveRun published(c.activeRun, &c.form.RunControl);
        ProgressTicker ticker(c.o.progress, c.form.RunControl, c.form.DecimalSeparator, c.err);
        finished = runAnalyse(c.form, c.o.atPh, c.o.format.value_or(ReportFormat::Text), c.out,
                              c.o.doseRequest());
    }
    return finished ? kSuccess : kInterrupted;
}

/// The pH after an amount of acid or base added at once: the exact solve, no steps.
int phCommand(CommandContext& c) {
    const ui::RunInput input = c.form.prepareRun(&c.form.DoTitrationButton);
    model::RunDescription description = input.description;
    const bool base = c.o.addBase.has_value();
    const double amount = base ? *c.o.addBase : *c.o.addAcid;
    description.titrant = base ? model::Titrant::StrongBase : model::Titrant::StrongAcid;
    const model::PointSolution solved = model::solvePoint(description, amount / model::kMmolPerMol);
    if (!solved.solved)
        throw ui::HandlerError(QStringLiteral("The proton balance can't be computed: the "
                                              "concentrations or pKa values are beyond what "
                                              "the model can handle"));
    if (c.o.format == ReportFormat::Json)
        c.out << ui::JsonObject()
                     .number("acid_mmol_l", base ? 0 : amount)
                     .number("base_mmol_l", base ? amount : 0)
                     .number("ph", solved.pH)
                     .text()
                     .toStdString()
              << '\n';
    else
        c.out << "pH " << ui::FloatToStrF(solved.pH, 15, 4, c.form.DecimalSeparator).toStdString()
              << '\n';
    return kSuccess;
}

/// Takes each water from its own file, not from the form.
int batchCommand(CommandContext& c) {
    const Options& o = c.o;
    const char32_t separator = o.decimalSeparator.value_or(ui::systemDecimalSeparator());
    model::RunControl control;
    if (o.maxSteps)
        control.maxSteps = *o.maxSteps;
    bool allGood = false;
    {
        ActiveRun published(c.activeRun, &control);
        ProgressTicker ticker(o.progress, control, separator, c.err);
        allGood = runBatch(o.batchFiles, o.atPh, o.format.value_or(ReportFormat::Csv), separator,
                           control, c.out, o.doseRequest());
    }
    if (control.cancelRequested.load())
        return kInterrupted;
    return allGood ? kSuccess : kHandlerFailed;
}

/// Builds the water the options describe on @p form, as a user would in the window.
void applyOptions(const Options& o, ui::TpHmainForm& form) {
    form.FormShow(&form);
    if (o.preset)
        form.ZPmediumBitBtnClick(&(form.*presetButton(*o.preset)));
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
    if (o.temperature)
        form.WaterConditions.temperature = *o.temperature;
    if (o.ionicStrength)
        form.WaterConditions.ionicStrength = *o.ionicStrength;
    if (o.titrant)
        form.TitrantRadioGroup.ItemIndex = *o.titrant == model::Titrant::StrongBase ? 1 : 0;
    if (o.upperTarget) {
        // Written as the form writes numbers, whichever separator the option used.
        double x = 0;
        if (!ui::TryStrToFloat(*o.upperTarget, x, form.DecimalSeparator))
            model::tryParse(o.upperTarget->toStdString(), x, U'.');
        form.UpperTargetEdit.Text =
            QString::number(x, 'g', QLocale::FloatingPointShortest)
                .replace(QLatin1Char('.'), QString::fromUcs4(&form.DecimalSeparator, 1));
    }
    if (o.view) {
        form.WhatToShowRadioGroup.ItemIndex = *o.view;
        form.WhatToShowRadioGroupClick(&form.WhatToShowRadioGroup);
    }
}

int executeCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                       std::atomic<model::RunControl*>* activeRun, const ChartWriter& chartWriter) {
    Options o;
    try {
        o = parseOptions(args);
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

    ui::TpHmainForm form;
    if (o.decimalSeparator)
        form.DecimalSeparator = *o.decimalSeparator;
    CommandContext context{o, form, out, err, activeRun, chartWriter};
    const CommandEntry& command = *commandNamed(o.command);
    try {
        if (command.operands != Operands::Files)
            applyOptions(o, form);
        if (form.WaterConditions.ionicStrength > model::kEstimateAboveIonicStrength)
            err << "phbuffer-cli: above 100 mmol/L of ionic strength the activities, and so "
                   "the results, are estimates\n";
        return command.execute(context);
    } catch (const std::exception& e) {
        out.flush();
        err << ui::errorBoxText(e).toStdString() << '\n';
        return kHandlerFailed;
    }
}

} // namespace

const std::vector<CommandEntry>& commands() {
    static const std::vector<CommandEntry> kCommands = {
        {"run", Operands::None,
         "  run        \"Run pH model\"; prints the result line, and with --points every\n"
         "             point of the selected curve as x TAB y; with --export FILE then\n"
         "             \"Export plot data\" with FILE chosen (.txt added when it has no\n"
         "             extension); with --chart FILE the selected curve's chart as the\n"
         "             window draws it, as svg, png or pdf by FILE's extension, 1218x454\n"
         "             pixels unless --chart-size WxH\n",
         runCommand},
        {"co2", Operands::None,
         "  co2        \"Create CO2 equilibrium at pH:\"; prints the new concentration of\n"
         "             row 1\n",
         co2Command},
        {"grid", Operands::None,
         "  grid       prints both grids, TAB-separated, with an empty line between them\n",
         gridCommand},
        {"save", Operands::OneFile,
         "  save FILE  \"Save water quality data to file\" with FILE chosen (.prn added\n"
         "             when it has no extension)\n",
         saveCommand},
        {"analyse", Operands::None,
         "  analyse    \"Run pH model\", then for each --at-ph X (pH 8.2 and 4.3 when none\n"
         "             is given) the acid to reach X and the buffer capacity there by\n"
         "             buffer system; --format text (default), csv or json; a pH above\n"
         "             the initial one is reached with base; the p- and m-values (acid\n"
         "             to pH 8.2 and 4.3, negative for base) come first; with\n"
         "             --dose PRODUCT --volume M3 the dose of PRODUCT for each pH in M3\n"
         "             cubic metres of the water\n",
         analyseCommand},
        {"ph", Operands::None,
         "  ph         the pH after --add-acid X or --add-base X mmol/L of strong acid or\n"
         "             base, added at once; --format text (default) or json\n",
         phCommand},
        {"batch", Operands::Files,
         "  batch      loads each data FILE onto the start-up water, runs it to its own\n"
         "             lower target, and prints one record per file (csv, the default,\n"
         "             or json), computed in parallel and printed in order as each is\n"
         "             done; --max-steps N ends a file's run after N steps of {step}\n"
         "             mmol/L and says so; an interrupt prints what is done and marks\n"
         "             the rest \"not run\"; exit status 1 if any file failed; the\n"
         "             p- and m-values and --dose PRODUCT --volume M3 as for analyse\n",
         batchCommand},
    };
    return kCommands;
}

bool wantsChart(const std::vector<std::string>& args) {
    return namesChartOption(args);
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
