// SPDX-License-Identifier: GPL-3.0-or-later
#include "options.h"

#include "option_values.h"

#include "files/file_name.h"
#include "files/water_quality_file.h"
#include "model/conditions.h"
#include "model/number_text.h"
#include "model/run_constants.h"
#include "ui/chart_format.h"
#include "ui/main_form.h"
#include "ui/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string_view>

namespace phbuffer::cli {

namespace {

/// The names that --preset takes and the buttons they press.
constexpr std::pair<const char*, ui::Button ui::TpHmainForm::*> kPresetButtons[] = {
    {"medium", &ui::TpHmainForm::ZPmediumBitBtn},
    {"high", &ui::TpHmainForm::ZPhighBitBtn},
    {"medium-high", &ui::TpHmainForm::ZPmediumhighBitBtn},
    {"medium-low", &ui::TpHmainForm::ZPmediumlowBitBtn},
    {"low", &ui::TpHmainForm::ZPlowBitBtn},
};

/// What an option takes after it.
enum class Takes {
    Nothing,
    Value,    ///< the next argument, unless it is an option ("--export --points" is an
              ///< export without a file name, not a file named --points)
    FileName, ///< a value that is not empty
    AnyValue, ///< the next argument, whatever it is: "--at-ph -1" is a pH below 0
};

bool isAnalysing(const Options& o) {
    return o.command == "analyse" || o.command == "batch";
}

/// The products --dose takes, for the usage and the refusal of another name.
std::string productList() {
    std::string names;
    for (const model::Product& p : model::standardProducts())
        names += (names.empty() ? "" : ", ") + p.key;
    return names;
}

struct OptionEntry {
    const char* name;
    const char* alias; ///< another name, or null
    Takes takes;
    void (*apply)(Options&, const std::string& value);
    /// The usage's line(s) for the option; null for one the commands' text describes.
    const char* usage;
    /// Whether the option fits the rest of the command line; null when it always does.
    bool (*fits)(const Options&);
    const char* goesWith; ///< what the refusal says it goes with
};

// In the order of the usage text; the options that go with a command only are checked in
// this order too, so the first misplaced one is the one named.
const OptionEntry kOptions[] = {
    {"--preset", nullptr, Takes::Value,
     [](Options& o, const std::string& p) {
         if (!presetButton(p))
             throw UsageError{"unknown preset '" + p + "'"};
         o.preset = p;
     },
     "  --preset medium|high|medium-high|medium-low|low   press that preset button\n", nullptr,
     nullptr},
    {"--load", nullptr, Takes::FileName, [](Options& o, const std::string& v) { o.load = v; },
     "  --load FILE              \"Get water quality data from file\" with FILE chosen\n", nullptr,
     nullptr},
    {"--cell", nullptr, Takes::Value,
     [](Options& o, const std::string& v) { o.cells.push_back(parseCell(v)); },
     "  --cell G:C:R=TEXT        set cell column C, row R of grid G (1: buffer systems,\n"
     "                           2: water parameters); repeatable, applied in order\n",
     nullptr, nullptr},
    {"--ph-edit", nullptr, Takes::Value,
     [](Options& o, const std::string& v) { o.phEdit = QString::fromStdString(v); },
     "  --ph-edit TEXT           the text of the pH box beside the CO2 button\n", nullptr, nullptr},
    {"--view", nullptr, Takes::Value,
     [](Options& o, const std::string& v) {
         if (v == "titration")
             o.view = 0;
         else if (v == "buffer")
             o.view = 1;
         else
             throw UsageError{"--view is titration or buffer, not '" + v + "'"};
     },
     "  --view titration|buffer  select the curve to show\n", nullptr, nullptr},
    {"--decimal-separator", nullptr, Takes::Value,
     [](Options& o, const std::string& v) { o.decimalSeparator = decimalSeparator(v); },
     "  --decimal-separator C    use C instead of the locale's decimal separator\n", nullptr,
     nullptr},
    {"--titrant", nullptr, Takes::Value,
     [](Options& o, const std::string& v) {
         if (v == "acid")
             o.titrant = model::Titrant::StrongAcid;
         else if (v == "base")
             o.titrant = model::Titrant::StrongBase;
         else
             throw UsageError{"--titrant is acid or base, not '" + v + "'"};
     },
     "  --titrant acid|base      titrate with strong acid (the default) or strong base\n", nullptr,
     nullptr},
    {"--upper-target", nullptr, Takes::AnyValue,
     [](Options& o, const std::string& v) { o.numberTexts.emplace_back("--upper-target", v); },
     "  --upper-target X         the upper pH target of a base run (8.20 unless given)\n", nullptr,
     nullptr},
    {"--temperature", nullptr, Takes::AnyValue,
     [](Options& o, const std::string& v) { o.numberTexts.emplace_back("--temperature", v); },
     "  --temperature C          the water's temperature, 0 to 100 °C (25 unless given)\n", nullptr,
     nullptr},
    {"--ionic-strength", nullptr, Takes::AnyValue,
     [](Options& o, const std::string& v) { o.numberTexts.emplace_back("--ionic-strength", v); },
     "  --ionic-strength MMOL_L  the water's ionic strength, 0 (ideal, the default) to 1000\n",
     nullptr, nullptr},
    {"--conductivity", nullptr, Takes::AnyValue,
     [](Options& o, const std::string& v) { o.numberTexts.emplace_back("--conductivity", v); },
     "  --conductivity US_CM     the ionic strength from the conductivity at 25 °C in uS/cm,\n"
     "                           as I = 1.6e-5 EC mol/L\n",
     nullptr, nullptr},
    {"--points", nullptr, Takes::Nothing, [](Options& o, const std::string&) { o.points = true; },
     nullptr, [](const Options& o) { return o.command == "run"; }, "the run command"},
    {"--export", nullptr, Takes::FileName,
     [](Options& o, const std::string& v) { o.exportFile = v; }, nullptr,
     [](const Options& o) { return o.command == "run"; }, "the run command"},
    {"--chart", nullptr, Takes::FileName,
     [](Options& o, const std::string& v) {
         if (!ui::chartFormatOf(files::fileNameFromBytes(QByteArray::fromStdString(v))))
             throw UsageError{"--chart writes " + ui::chartFormatNames().toStdString() +
                              " by the file's extension, not '" + v + "'"};
         o.chartFile = v;
     },
     nullptr, [](const Options& o) { return o.command == "run"; }, "the run command"},
    {"--chart-size", nullptr, Takes::Value,
     [](Options& o, const std::string& v) { o.chartSize = chartSize(v); }, nullptr,
     [](const Options& o) { return o.chartFile.has_value(); }, "--chart"},
    {"--format", nullptr, Takes::Value,
     [](Options& o, const std::string& f) {
         if (f == "text")
             o.format = ReportFormat::Text;
         else if (f == "csv")
             o.format = ReportFormat::Csv;
         else if (f == "json")
             o.format = ReportFormat::Json;
         else
             throw UsageError{"--format is text, csv or json, not '" + f + "'"};
     },
     nullptr, [](const Options& o) { return isAnalysing(o) || o.command == "ph"; },
     "the analyse, batch and ph commands"},
    {"--at-ph", nullptr, Takes::AnyValue,
     [](Options& o, const std::string& v) { o.atPhTexts.push_back(v); }, nullptr, isAnalysing,
     "the analyse and batch commands"},
    {"--max-steps", nullptr, Takes::Value,
     [](Options& o, const std::string& n) {
         const std::optional<int> steps = cellIndex(n);
         if (!steps || *steps < 1)
             throw UsageError{"--max-steps takes a whole number of steps from 1, not '" + n + "'"};
         o.maxSteps = static_cast<std::uint32_t>(*steps);
     },
     nullptr, [](const Options& o) { return o.command == "batch"; }, "the batch command"},
    {"--dose", nullptr, Takes::Value,
     [](Options& o, const std::string& v) {
         o.dose = model::productNamed(v);
         if (!o.dose)
             throw UsageError{"--dose takes one of " + productList() +
                              " or COMPOUND:FRACTION:DENSITY, not '" + v + "'"};
     },
     nullptr, isAnalysing, "the analyse and batch commands"},
    {"--volume", nullptr, Takes::Value,
     [](Options& o, const std::string& v) { o.numberTexts.emplace_back("--volume", v); }, nullptr,
     isAnalysing, "the analyse and batch commands"},
    {"--add-acid", nullptr, Takes::Value,
     [](Options& o, const std::string& v) { o.numberTexts.emplace_back("--add-acid", v); }, nullptr,
     [](const Options& o) { return o.command == "ph"; }, "the ph command"},
    {"--add-base", nullptr, Takes::Value,
     [](Options& o, const std::string& v) { o.numberTexts.emplace_back("--add-base", v); }, nullptr,
     [](const Options& o) { return o.command == "ph"; }, "the ph command"},
    {"--progress", nullptr, Takes::Nothing,
     [](Options& o, const std::string&) { o.progress = true; },
     "  --progress               tell on stderr, once a second, how far a run has come\n",
     [](const Options& o) { return o.command == "run" || isAnalysing(o); },
     "the run, analyse and batch commands"},
    {"--help", "-h", Takes::Nothing, [](Options& o, const std::string&) { o.help = true; },
     "  --help, --version        print this text or the version, and exit\n", nullptr, nullptr},
    {"--version", nullptr, Takes::Nothing, [](Options& o, const std::string&) { o.version = true; },
     nullptr, nullptr, nullptr},
};

const OptionEntry* optionNamed(std::string_view name) {
    for (const OptionEntry& e : kOptions)
        if (name == e.name || (e.alias && name == e.alias))
            return &e;
    return nullptr;
}

/// The checks that involve several options at once, after every one has been read.
void checkTogether(Options& o, const std::vector<const OptionEntry*>& given) {
    if (o.command.empty())
        throw UsageError{"no command given"};
    for (const OptionEntry& e : kOptions) {
        const bool isGiven = std::find(given.begin(), given.end(), &e) != given.end();
        if (isGiven && e.fits && !e.fits(o))
            throw UsageError{std::string(e.name) + " goes with " + e.goesWith};
    }
    if (o.command == "batch") {
        if (o.batchFiles.empty())
            throw UsageError{"batch needs at least one data file"};
        if (o.format == ReportFormat::Text)
            throw UsageError{"batch writes csv or json"};
        if (o.preset || o.load || !o.cells.empty() || o.phEdit || o.view || o.temperature ||
            o.ionicStrength)
            throw UsageError{"batch takes each water from its file: no --preset, --load, "
                             "--cell, --ph-edit, --view, --temperature, --ionic-strength or "
                             "--conductivity"};
    }
    readNumbers(o);
    if (o.dose.has_value() != o.volume.has_value())
        throw UsageError{"--dose and --volume go together"};
    if (o.command == "ph") {
        if (o.addAcid.has_value() == o.addBase.has_value())
            throw UsageError{"ph takes one of --add-acid X and --add-base X"};
        if (o.format == ReportFormat::Csv)
            throw UsageError{"ph writes text or json"};
    }
    for (const std::string& text : o.atPhTexts) {
        const std::optional<double> parsed = numberOf(o, text);
        if (!parsed)
            throw UsageError{"--at-ph takes a pH, not '" + text + "'"};
        const double x = *parsed;
        if (!ui::isRunPh(x))
            throw UsageError{"--at-ph takes a pH from " + shortest(ui::kMinRunpH) + " to " +
                             shortest(ui::kMaxRunpH) + ", not '" + text + "'"};
        o.atPh.push_back(x);
    }
}

} // namespace

ui::Button ui::TpHmainForm::*presetButton(const std::string& name) {
    for (const auto& [presetName, button] : kPresetButtons)
        if (name == presetName)
            return button;
    return nullptr;
}

const CommandEntry* commandNamed(std::string_view name) {
    for (const CommandEntry& e : commands())
        if (name == e.name)
            return &e;
    return nullptr;
}

Options parseOptions(const std::vector<std::string>& args) {
    Options o;
    std::vector<const OptionEntry*> given;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const std::size_t eq = a.rfind("--", 0) == 0 ? a.find('=') : std::string::npos;
        const std::string name = a.substr(0, eq);
        if (const OptionEntry* option = optionNamed(name)) {
            std::string value;
            if (eq != std::string::npos) {
                if (option->takes == Takes::Nothing)
                    throw UsageError{name + " takes no value"};
                value = a.substr(eq + 1);
            } else if (option->takes == Takes::AnyValue) {
                if (i + 1 >= args.size())
                    throw UsageError{name + " needs a value"};
                value = args[++i];
            } else if (option->takes != Takes::Nothing) {
                if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)
                    throw UsageError{name + " needs a value"};
                value = args[++i];
            }
            if (option->takes == Takes::FileName && value.empty())
                throw UsageError{name + " needs a file name, not an empty text"};
            option->apply(o, value);
            given.push_back(option);
        } else if (!a.empty() && a[0] == '-') {
            throw UsageError{"unknown option '" + a + "'"};
        } else if (o.command.empty()) {
            const CommandEntry* command = commandNamed(a);
            if (!command)
                throw UsageError{"unknown command '" + a + "'"};
            o.command = a;
            if (command->operands == Operands::OneFile) {
                if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)
                    throw UsageError{a + " needs a value"};
                o.saveFile = args[++i];
                if (o.saveFile.empty())
                    throw UsageError{a + " needs a file name, not an empty text"};
            }
        } else if (commandNamed(o.command)->operands == Operands::Files) {
            o.batchFiles.push_back(a);
        } else {
            throw UsageError{"unexpected argument '" + a + "'"};
        }
    }
    if (!o.help && !o.version)
        checkTogether(o, given);
    return o;
}

bool namesChartOption(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a == "--chart" || a.rfind("--chart=", 0) == 0)
            return true;
    return false;
}

std::string usageText() {
    std::string out =
        "Usage: phbuffer-cli [options] run [--points] [--export FILE]\n"
        "                            [--chart FILE [--chart-size WxH]] | co2 | grid |\n"
        "                            save FILE | analyse [--at-ph X]... [--format F]\n"
        "                            [--dose PRODUCT --volume M3] |\n"
        "                            ph --add-acid X|--add-base X [--format F]\n"
        "       phbuffer-cli batch [--at-ph X]... [--format csv|json] [--max-steps N] FILE...\n"
        "\n"
        "Starts from the water shown at start-up (the medium preset), applies the options\n"
        "in this order, then presses a button:\n";
    for (const OptionEntry& e : kOptions)
        if (e.usage)
            out += e.usage;
    out += "Commands:\n";
    for (const CommandEntry& c : commands()) {
        std::string usage = c.usage;
        const std::size_t step = usage.find(kStepPlace);
        if (step != std::string::npos)
            usage.replace(step, kStepPlace.size(), shortest(model::stepsToMmol(1)));
        out += usage;
    }
    out +=
        "Products for --dose: " + productList() +
        ",\n  or COMPOUND:FRACTION:DENSITY of your own (COMPOUND hcl, h2so4, hno3, naoh or koh,\n"
        "  FRACTION its mass fraction, DENSITY in kg/L), as hcl:0.31:1.154\n";
    out += "Exit status: 0 success, 1 the handler failed or the output could not be written\n"
           "(message on stderr), 2 usage error, 130 a run stopped by an interrupt.\n";
    return out;
}

} // namespace phbuffer::cli
