// SPDX-License-Identifier: GPL-3.0-or-later
//
// "Run pH model": the grids and the titrant read into the run, the checks of its input,
// and its result shown in Label1, the series and the chart titles.
#include "main_form.h"

#include "model/conditions.h"

#include "errors.h"
#include "number_format.h"

#include <cmath>
#include <limits>

namespace phbuffer::ui {

namespace {
// Marked here, translated where it is shown: a translator comes after static initialisation.
const char* const kBaseUsedCaption =
    QT_TRANSLATE_NOOP("TpHmainForm", "OH- used to reach upper target:");
} // namespace

const char* const TpHmainForm::AcidUsedCaption =
    QT_TRANSLATE_NOOP("TpHmainForm", "H+ used to reach lower target:");

void TpHmainForm::ReadGrids(const Component*) {
    // Each strict conversion names its cell first: the one that throws stays named.
    const auto strict = [this](const StringGrid& grid, int col, int row) {
        errorCell = GridCell{&grid, col, row};
        return StrToFloat(grid.Cells(col, row), DecimalSeparator);
    };
    // Each value goes into the state as soon as it is read: a cell that throws leaves the
    // values before it in place, as a reading cell by cell does.
    model::RunDescription& description = runDescription;
    description.conditions = WaterConditions;
    State.pHOffset =
        model::log10Gamma(1, WaterConditions.ionicStrength, WaterConditions.temperature);
    for (int r = 1; r <= model::kBufferSystemCount; ++r) {
        const int slot = r - 1;
        model::BufferSystem& system = description.systems[slot];
        system = model::catalogueSystem(slot);
        // Another acid typed into the row keeps the row's charge, but not its forms' names.
        const QString name = StringGrid1.Cells(0, r);
        if (name.toStdString() != system.name)
            system.speciesNames = {};
        system.name = name.toStdString();
        system.concentration =
            static_cast<double>(strict(StringGrid1, 1, r) / model::kMmolPerMolLong);
        State.Conc[slot] = system.concentration;
        for (int k = 0; k < 3; ++k) {
            double p = 0;
            system.pKa[k] = TryStrToFloat(StringGrid1.Cells(2 + k, r), p, DecimalSeparator)
                                ? std::optional<double>(p)
                                : std::nullopt;
        }
        const std::array<double, 3> K =
            model::dissociationConstants(system, description.conditions);
        State.Ka1[slot] = K[0];
        State.Ka2[slot] = K[1];
        State.Ka3[slot] = K[2];
    }
    description.initialPh = State.pH = static_cast<double>(strict(StringGrid2, 1, 0));
    State.HenryConstant = static_cast<double>(strict(StringGrid2, 1, 1));
    State.CO2PartialPressure =
        static_cast<double>(strict(StringGrid2, 1, 2) / model::kPartsPerMillionLong);
    description.targetPh = State.LowerpHTarget = static_cast<double>(strict(StringGrid2, 1, 3));
    errorCell.reset();
    description.titrant = selectedTitrant();
    if (description.titrant == model::Titrant::StrongBase) {
        // No number is no pH: the run's check refuses it, naming the edit.
        double upper = std::numeric_limits<double>::quiet_NaN();
        if (!TryStrToFloat(UpperTargetEdit.Text, upper, DecimalSeparator))
            upper = std::numeric_limits<double>::quiet_NaN();
        description.targetPh = upper;
    }
}

model::Titrant TpHmainForm::selectedTitrant() const {
    return TitrantRadioGroup.ItemIndex == 1 ? model::Titrant::StrongBase
                                            : model::Titrant::StrongAcid;
}

void TpHmainForm::checkRunInput() {
    // Every message substitutes all its arguments at once: a %1 in a name the user typed
    // must stay as typed, not be taken for the next argument's place.
    const auto rowName = [this](int r) {
        return tr("\"%1\" (row %2)").arg(StringGrid1.Cells(0, r), QString::number(r));
    };
    for (int r = 1; r <= model::kBufferSystemCount; ++r) {
        const int slot = r - 1;
        const double C = State.Conc[slot];
        errorCell = GridCell{&StringGrid1, 1, r};
        if (!(C >= 0) || std::isinf(C))
            throw HandlerError(tr("The concentration of %1 must be a finite number "
                                  "not below 0, not '%2'")
                                   .arg(rowName(r), StringGrid1.Cells(1, r)));
        if (C > kMaxRunConcentration / model::kMmolPerMol)
            throw HandlerError(tr("The concentration of %1 must not be above %2 "
                                  "mmol/L, not '%3'")
                                   .arg(rowName(r), QString::number(kMaxRunConcentration),
                                        StringGrid1.Cells(1, r)));
        const double K[3] = {State.Ka1[slot], State.Ka2[slot], State.Ka3[slot]};
        for (int k = 0; k < 3; ++k) {
            errorCell = GridCell{&StringGrid1, 2 + k, r};
            if (!std::isfinite(K[k]))
                throw HandlerError(
                    tr("The %1 of %2 gives a dissociation constant "
                       "that is not finite: '%3'")
                        .arg(StringGrid1.Cells(2 + k, 0), rowName(r), StringGrid1.Cells(2 + k, r)));
        }
    }
    const std::pair<int, double> pHs[] = {{0, State.pH}, {3, State.LowerpHTarget}};
    for (const auto& [row, value] : pHs) {
        errorCell = GridCell{&StringGrid2, 1, row};
        if (!isRunPh(value))
            throw HandlerError(tr("\"%1\" must be a pH from %2 to %3, not '%4'")
                                   .arg(StringGrid2.Cells(0, row), QString::number(kMinRunpH),
                                        QString::number(kMaxRunpH), StringGrid2.Cells(1, row)));
    }
    // The upper target is no cell of a grid: the message names its edit by its caption.
    errorCell.reset();
    if (runDescription.titrant == model::Titrant::StrongBase && !isRunPh(runDescription.targetPh))
        throw HandlerError(tr("\"%1\" must be a pH from %2 to %3, not '%4'")
                               .arg(UpperTargetLabel.Caption, QString::number(kMinRunpH),
                                    QString::number(kMaxRunpH), UpperTargetEdit.Text));
}

RunInput TpHmainForm::prepareRun(const Component* Sender) {
    ReadGrids(Sender);
    checkRunInput();
    // The run's results name the systems as the grid does: a name the user typed there
    // is the one the analysis and its files show.
    RunInput input{runDescription, State};
    for (int r = 1; r <= model::kBufferSystemCount; ++r)
        input.state.SystemName[r - 1] = runDescription.systems[r - 1].name;
    return input;
}

void TpHmainForm::DoTitrationButtonClick(const Component* Sender) {
    applyRun(computeRun(prepareRun(Sender), &RunControl));
}

void TpHmainForm::RunModel(const Component*) {
    applyRun(computeRun(RunInput{runDescription, State}, &RunControl));
}

void TpHmainForm::applyRun(RunResult result) {
    runTexts_ = gridTexts();
    State = std::move(result.state);
    TitrationSeries.points = std::move(result.titration);
    BufferStrengthSeries.points = std::move(result.bufferStrength);
    applyViewActivity();

    shownTitrant_ = result.titrant;
    const bool base = result.titrant == model::Titrant::StrongBase;
    const model::RunOutcome& outcome = result.outcome;
    const double acidUsed = model::addedAcid(outcome.StepCount, State.AcidStep);
    if (outcome.end == model::RunEnd::ReachedTarget) {
        Label1.Caption = tr(base ? kBaseUsedCaption : AcidUsedCaption) + QLatin1Char(' ') +
                         Format(acidUsed, 12, 2);
    } else if (base) {
        Label1.Caption = tr("Run stopped at pH %1 after %2 mmol/L OH-; upper target "
                            "not reached")
                             .arg(Format(State.pH, 12, 2), Format(acidUsed, 12, 2));
    } else {
        Label1.Caption = tr("Run stopped at pH %1 after %2 mmol/L H+; lower target "
                            "not reached")
                             .arg(Format(State.pH, 12, 2), Format(acidUsed, 12, 2));
    }
    applyViewTitles();
    if (outcome.end == model::RunEnd::NotANumber && base)
        throw HandlerError(tr("The proton balance can't be computed above pH %1: "
                              "the concentrations or pKa values are beyond what the "
                              "model can handle")
                               .arg(Format(State.pH, 12, 2)));
    if (outcome.end == model::RunEnd::NotANumber)
        throw HandlerError(tr("The proton balance can't be computed below pH %1: "
                              "the concentrations or pKa values are beyond what the "
                              "model can handle")
                               .arg(Format(State.pH, 12, 2)));
}

} // namespace phbuffer::ui
