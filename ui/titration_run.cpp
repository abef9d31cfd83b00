// SPDX-License-Identifier: GPL-3.0-or-later
#include "titration_run.h"

#include "number_format.h"

#include <QCoreApplication>

namespace phbuffer::ui {

RunResult computeRun(RunInput input, model::RunControl* control) {
    RunResult result;
    result.state = std::move(input.state);
    model::Series titration;
    model::Series bufferStrength;
    result.outcome = model::runTitration(result.state, titration, bufferStrength, control);
    result.titration = std::move(titration.points);
    result.bufferStrength = std::move(bufferStrength.points);
    return result;
}

QString runProgressText(const model::RunProgress& progress, char32_t decimalSeparator) {
    return QCoreApplication::translate("TitrationRun", "pH %1, %2 mmol/L H+ added")
        .arg(FloatToStrF(progress.pH, 12, 2, decimalSeparator),
             FloatToStrF(progress.acidAdded, 12, 2, decimalSeparator));
}

} // namespace phbuffer::ui
