// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_commands.h"

#include "ui/analysis.h"

#include <ostream>

namespace phbuffer::cli {

bool runAnalyse(ui::TpHmainForm& form, const std::vector<double>& atPh, ReportFormat format,
                std::ostream& out, const std::optional<ui::DoseRequest>& dose) {
    const std::vector<double>& points = atPh.empty() ? ui::standardEndPoints() : atPh;
    // The button's own checks come first, so a refused water fails as "run" fails.
    const ui::RunInput input = form.prepareRun(&form.DoTitrationButton);
    const ui::Analysis analysis = ui::analyseWater(input.description, points, &form.RunControl);
    if (form.RunControl.cancelRequested.load())
        return false;
    switch (format) {
    case ReportFormat::Text:
        out << ui::analysisText(analysis, form.DecimalSeparator, dose).toStdString();
        break;
    case ReportFormat::Csv:
        out << ui::analysisCsv(analysis, form.DecimalSeparator, true, dose).toStdString();
        break;
    case ReportFormat::Json:
        out << ui::analysisJson(analysis, dose).toStdString() << '\n';
        break;
    }
    return true;
}

} // namespace phbuffer::cli
