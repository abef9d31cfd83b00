// SPDX-License-Identifier: GPL-3.0-or-later
//
// The command line's "batch": the analysis of each of a list of data files, computed in
// parallel and printed in the order given, each record as soon as it and those before it
// are done, so that a batch over thousands of files shows its first records at once and
// holds only the few it is working on.
#pragma once

#include "analysis_commands.h"

#include "model/titration.h"
#include "ui/analysis.h"

#include <optional>

#include <iosfwd>
#include <string>
#include <vector>

namespace phbuffer::cli {

/// The text in a record's error field for a file that an interrupt kept from running or
/// from finishing.
inline constexpr const char* kNotRun = "not run";

/// Loads each of @p files onto a start-up form, runs it to its own lower target and prints
/// one record per file in the order given. Returns whether every file succeeded.
/// @p control, shared by all runs, stops them all: the files done by then are printed as
/// usual, the rest as not run. Its maxSteps ends any one file's run at that many steps,
/// which its record then says.
bool runBatch(const std::vector<std::string>& files, const std::vector<double>& atPh,
              ReportFormat format, char32_t decimalSeparator, model::RunControl& control,
              std::ostream& out, const std::optional<ui::DoseRequest>& dose = std::nullopt);

} // namespace phbuffer::cli
