// SPDX-License-Identifier: GPL-3.0-or-later
//
// The command line's "analyse": the acid to given pH values and the buffer capacity there
// for the water its options built.
#pragma once

#include "model/titration.h"
#include "ui/analysis.h"
#include "ui/main_form.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace phbuffer::cli {

enum class ReportFormat { Text, Csv, Json };

/// Presses "Run pH model" on @p form and reports the analysis of its water at @p atPh
/// (the standard end points when empty) in @p format. Throws as the run's handler does.
/// Returns false when the run was stopped by @p control.
bool runAnalyse(ui::TpHmainForm& form, const std::vector<double>& atPh, ReportFormat format,
                std::ostream& out, const std::optional<ui::DoseRequest>& dose = std::nullopt);

} // namespace phbuffer::cli
