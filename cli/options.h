// SPDX-License-Identifier: GPL-3.0-or-later
//
// The command line's options and commands as one table each: an option or a command is
// one entry, and the parser, the checks of what goes with what and the usage text all
// read the tables.
#pragma once

#include "analysis_commands.h"

#include "model/products.h"
#include "ui/analysis.h"
#include "ui/main_form.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace phbuffer::cli {

/// A command line that can't be carried out as given; the message says why.
struct UsageError {
    std::string message;
};

struct CellEdit {
    int grid;
    int col;
    int row;
    QString text;
};

/// What a command line asks for, as parsed and checked.
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
    std::optional<model::Titrant> titrant;
    std::optional<QString> upperTarget;  ///< the text for UpperTargetEdit
    std::optional<double> temperature;   ///< [°C]
    std::optional<double> ionicStrength; ///< [mol/L], given or from the conductivity
    std::optional<model::Product> dose;
    std::optional<double> volume;  ///< [m³]
    std::optional<double> addAcid; ///< [mmol/L]
    std::optional<double> addBase; ///< [mmol/L]
    /// Numbers as given, option by option, read once the decimal separator is known.
    std::vector<std::pair<std::string, std::string>> numberTexts;
    /// The dose that --dose and --volume ask for, if they do.
    std::optional<ui::DoseRequest> doseRequest() const {
        if (!dose || !volume)
            return std::nullopt;
        return ui::DoseRequest{*dose, *volume};
    }
};

struct CommandContext;

/// What a command takes after it.
enum class Operands { None, OneFile, Files };

struct CommandEntry {
    const char* name;
    Operands operands;
    /// The usage's lines for the command; kStepPlace stands for the titrant's step.
    const char* usage;
    /// Carries the command out; returns the exit status.
    int (*execute)(CommandContext&);
};

/// Where a command's usage names the step of a run, in mmol/L.
inline constexpr std::string_view kStepPlace = "{step}";

/// Every command, in the order of the usage text. Defined with the commands themselves.
const std::vector<CommandEntry>& commands();

/// The command named @p name; null for none.
const CommandEntry* commandNamed(std::string_view name);

/// The button that --preset @p name presses; null for a name that is none of them.
ui::Button ui::TpHmainForm::*presetButton(const std::string& name);

/// Parses and checks @p args (without the program name). An option's value follows it as
/// the next argument or after "=" in the same one (--preset=low). Throws UsageError.
Options parseOptions(const std::vector<std::string>& args);

/// Whether @p args name an option that writes a chart (--chart FILE or --chart=FILE).
bool namesChartOption(const std::vector<std::string>& args);

/// The usage text printed by --help and after a usage error.
std::string usageText();

} // namespace phbuffer::cli
