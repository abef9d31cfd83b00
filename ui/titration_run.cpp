// SPDX-License-Identifier: GPL-3.0-or-later
#include "titration_run.h"

#include "number_format.h"

#include <QCoreApplication>

namespace phbuffer::ui {

RunResult computeRun(RunInput input, model::RunControl* control) {
    model::RunResult run = model::runTitration(input.description, control, std::move(input.state));
    RunResult result;
    result.state = std::move(run.state);
    result.titration = std::move(run.titration.points);
    result.bufferStrength = std::move(run.bufferStrength.points);
    result.outcome = run.outcome;
    result.titrant = input.description.titrant;
    return result;
}

QString runProgressText(const model::RunProgress& progress, char32_t decimalSeparator) {
    const QString text =
        progress.direction == model::Direction::Rising
            ? QCoreApplication::translate("TitrationRun", "pH %1, %2 mmol/L OH- added")
            : QCoreApplication::translate("TitrationRun", "pH %1, %2 mmol/L H+ added");
    return text.arg(FloatToStrF(progress.pH, 12, 2, decimalSeparator),
                    FloatToStrF(progress.acidAdded, 12, 2, decimalSeparator));
}

} // namespace phbuffer::ui
