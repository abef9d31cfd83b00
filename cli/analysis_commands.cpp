// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_commands.h"

#include "ui/analysis.h"

#include <ostream>

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

} // namespace phbuffer::cli
