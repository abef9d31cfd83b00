// SPDX-License-Identifier: GPL-3.0-or-later
//
// The command line's analysis commands: "analyse" reports the acid to given pH values and
// the buffer capacity there for the water its options built; "batch" does the same for a
// list of data files, computed in parallel, one record per file.
#pragma once

#include "model/titration.h"
#include "ui/main_form.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace phbuffer::cli {

enum class ReportFormat { Text, Csv, Json };

/// Presses "Run pH model" on @p form and reports the analysis of its water at @p atPh
/// (the standard end points when empty) in @p format. Throws as the run's handler does.
/// Returns false when the run was stopped by @p control.
bool RunAnalyse(ui::TpHmainForm& form, const std::vector<double>& atPh, ReportFormat format,
                std::ostream& out);

/// Loads each of @p files onto a start-up form, runs it to its own lower target and prints
/// one record per file in the order given, each file on a thread of the pool. Returns
/// whether every file succeeded. @p control, shared by all runs, stops them all.
bool RunBatch(const std::vector<std::string>& files, const std::vector<double>& atPh,
              ReportFormat format, char32_t decimalSeparator, model::RunControl& control,
              std::ostream& out);

} // namespace phbuffer::cli
