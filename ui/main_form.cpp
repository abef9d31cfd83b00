// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_form.h"

#include "errors.h"
#include "number_format.h"
#include "pinned_curves.h"

#include "model/co2_equilibrium.h"
#include "model/presets.h"

#include <cmath>

namespace phbuffer::ui {

namespace {
/// Sets the column widths and makes the grid as wide as @p start plus every column with
/// its 2-pixel grid line.
void fitColumns(StringGrid& grid, std::vector<int> widths, int start) {
    grid.ColWidths = std::move(widths);
    grid.Width = start;
    for (const int w : grid.ColWidths)
        grid.Width += w + 2;
}
} // namespace

const char* const TpHmainForm::Caption =
    QT_TRANSLATE_NOOP("TpHmainForm", "pH and buffer system calculator");

TpHmainForm::TpHmainForm()
    : Component(QStringLiteral("pHmainForm")), DecimalSeparator(systemDecimalSeparator()),
      Chart1(QStringLiteral("Chart1"), tr("Titration curve")),
      DoTitrationButton(QStringLiteral("DoTitrationButton"), tr("Run pH model")),
      CopyToClipButton(QStringLiteral("CopyToClipButton"), tr("Copy graph to clip")),
      ExportPlotDataBitBtn(QStringLiteral("ExportPlotDataBitBtn"), tr("Export plot data")),
      ClearGraphButton(QStringLiteral("ClearGraphButton"), tr("Clear graph")),
      Label1(QStringLiteral("Label1"), tr(AcidUsedCaption)),
      StringGrid1(QStringLiteral("StringGrid1"), 5, 10, 0, 1),
      StringGrid2(QStringLiteral("StringGrid2"), 2, 4, 1, 0),
      WhatToShowRadioGroup(
          QStringLiteral("WhatToShowRadioGroup"), tr("What to show"),
          {tr("Show titration as added H/OH"), tr("Show titration as buffer strenght")}, 0),
      CO2EqButton(QStringLiteral("CO2EqButton"), tr("Create CO2 equilibrium at pH:")),
      phEqEdit(QStringLiteral("phEqEdit"), QStringLiteral("7")),
      ZPmediumBitBtn(QStringLiteral("ZPmediumBitBtn"), presetCaption(tr("Zorva-PIKE medium"))),
      ZPhighBitBtn(QStringLiteral("ZPhighBitBtn"), presetCaption(tr("Zorva-PIKE high"))),
      ZPmediumhighBitBtn(QStringLiteral("ZPmediumhighBitBtn"),
                         presetCaption(tr("Zorva-PIKE medium high"))),
      ZPmediumlowBitBtn(QStringLiteral("ZPmediumlowBitBtn"),
                        presetCaption(tr("Zorva-PIKE medium low"))),
      ZPlowBitBtn(QStringLiteral("ZPlowBitBtn"), presetCaption(tr("Zorva-PIKE Low"))),
      SaveDataBitBtn(QStringLiteral("SaveDataBitBtn"), tr("Save water quality data to file")),
      GetDataBitBtn(QStringLiteral("GetDataBitBtn"), tr("Get water quality data from file")),
      TitrantRadioGroup(QStringLiteral("TitrantRadioGroup"), tr("Titrant"),
                        {tr("Strong acid"), tr("Strong base")}, 0),
      UpperTargetLabel(QStringLiteral("UpperTargetLabel"), tr("Upper pH target")),
      UpperTargetEdit(QStringLiteral("UpperTargetEdit"), defaultUpperTarget()),
      OpenDialog1(QStringLiteral("OpenDialog1")), SaveDialog1(QStringLiteral("SaveDialog1")) {
    StringGrid1.Width = 320;
    StringGrid2.Width = 200;
    StringGrid2.RowHeights = {24, 23, 24, 24};
}

QString TpHmainForm::defaultUpperTarget() const {
    return Format(8.2, 8, 2);
}

QString TpHmainForm::Format(double value, int precision, int digits) const {
    return FloatToStrF(value, precision, digits, DecimalSeparator);
}

// ---- start-up and presets ----------------------------------------------------------------

void TpHmainForm::FormShow(const Component* Sender) {
    fitColumns(StringGrid1, {195, 60, 40, 40, 40}, 0);
    StringGrid1.Cells(1, 0) = tr("Conc. [mM]");
    StringGrid1.Cells(2, 0) = tr("pKa_1");
    StringGrid1.Cells(3, 0) = tr("pKa_2");
    StringGrid1.Cells(4, 0) = tr("pKa_3");
    model::LoadDefaultBufferSystems(State);
    ShowBufferSystems();

    fitColumns(StringGrid2, {195, 50}, 2); // this grid's sum starts from 2, the other's from 0
    StringGrid2.Cells(0, 0) = tr("Intial pH");
    StringGrid2.Cells(0, 1) = tr("Henry\u00B4s constant [atm/(mole fraction)]");
    StringGrid2.Cells(0, 2) = tr("Partial pressure [ppm]");
    StringGrid2.Cells(0, 3) = tr("Lower pH target");

    ZPmediumBitBtnClick(Sender);

    StringGrid2.Cells(1, 0) = phEqEdit.Text;
    StringGrid2.Cells(1, 1) = QStringLiteral("1640");
    StringGrid2.Cells(1, 2) = QStringLiteral("426");
    StringGrid2.Cells(1, 3) = Format(4.5, 8, 2);
    UpperTargetEdit.Text = defaultUpperTarget();
    savedTexts_ = gridTexts();
}

void TpHmainForm::ShowBufferSystems() {
    for (int i = 1; i <= model::kBufferSystemCount; ++i) {
        const int slot = i - 1;
        StringGrid1.Cells(0, i) = QString::fromStdString(State.SystemName[slot]);
        StringGrid1.Cells(1, i) = Format(State.Conc[slot], 8, 3);
        const double pKa[3] = {State.pKa1[slot], State.pKa2[slot], State.pKa3[slot]};
        for (int k = 0; k < 3; ++k)
            StringGrid1.Cells(2 + k, i) = pKa[k] == 0 ? QStringLiteral("-") : Format(pKa[k], 8, 2);
    }
}

void TpHmainForm::ZPmediumBitBtnClick(const Component* Sender) {
    using model::Preset;
    model::LoadDefaultBufferSystems(State);
    const model::PresetWater& medium = model::presetComposition(Preset::Medium);
    State.Conc = medium.Conc;
    phEqEdit.Text = Format(medium.pH, 12, 2);

    const std::pair<const Component*, Preset> others[] = {
        {&ZPhighBitBtn, Preset::High},
        {&ZPmediumhighBitBtn, Preset::MediumHigh},
        {&ZPmediumlowBitBtn, Preset::MediumLow},
        {&ZPlowBitBtn, Preset::Low},
    };
    for (const auto& [button, preset] : others) {
        if (Sender != button)
            continue;
        // Slots 8 and 9 keep the 0 that the medium preset gave them.
        const model::PresetWater& water = model::presetComposition(preset);
        for (int slot = 0; slot < 7; ++slot)
            State.Conc[slot] = water.Conc[slot];
        phEqEdit.Text = Format(water.pH, 12, 2);
        break;
    }
    ShowBufferSystems();
    StringGrid2.Cells(1, 0) = phEqEdit.Text;
}

// ---- CO2 equilibrium ---------------------------------------------------------------------

void TpHmainForm::CO2EqButtonClick(const Component* Sender) {
    ReadGrids(Sender);
    double pHeq = 0;
    if (!TryStrToFloat(phEqEdit.Text, pHeq, DecimalSeparator))
        pHeq = State.pH;

    errorCell = GridCell{&StringGrid2, 1, 1};
    if (!(State.HenryConstant > 0))
        throw HandlerError(tr("\"%1\" must be above 0, not '%2'")
                               .arg(StringGrid2.Cells(0, 1), StringGrid2.Cells(1, 1)));
    errorCell = GridCell{&StringGrid2, 1, 2};
    if (!(State.CO2PartialPressure >= 0))
        throw HandlerError(tr("\"%1\" must not be below 0, not '%2'")
                               .arg(StringGrid2.Cells(0, 2), StringGrid2.Cells(1, 2)));
    errorCell.reset();

    const double dissolvedCO2 = model::dissolvedCO2(State.CO2PartialPressure, State.HenryConstant);
    // The carbonate constants are conditional ones: they take -log10[H+], not the meter's pH.
    State.HConc = model::tenToMinus(pHeq + State.pHOffset);
    const double total =
        model::totalInorganicCarbon(dissolvedCO2, State.HConc, State.Ka1[0], State.Ka2[0]);
    // The check is on the mmol/L that the cell gets: a finite mol/L near the top of the
    // double range overflows when multiplied by 1000.
    const double shown = total * model::kMmolPerMol;
    if (!std::isfinite(shown))
        throw HandlerError(tr("The CO2 equilibrium at pH %1 gives no finite "
                              "inorganic carbon concentration")
                               .arg(Format(pHeq, 12, 2)));
    State.Conc[0] = total;
    StringGrid1.Cells(1, 1) = Format(shown, 12, 3);
}

// ---- chart views -------------------------------------------------------------------------

void TpHmainForm::applyViewActivity() {
    TitrationSeries.Active = WhatToShowRadioGroup.ItemIndex == 0;
    BufferStrengthSeries.Active = WhatToShowRadioGroup.ItemIndex == 1;
}

void TpHmainForm::applyViewTitles() {
    const bool titration = WhatToShowRadioGroup.ItemIndex == 0;
    Chart1.baseAdded = shownTitrant_ == model::Titrant::StrongBase;
    Chart1.Title = titration ? tr("Titration curve") : tr("Buffer capacity");
    if (shownTitrant_ == model::Titrant::StrongBase) {
        Chart1.BottomAxisTitle = titration ? tr("Added OH- [mmol/L]") : tr("pH [-]");
        Chart1.LeftAxisTitle = titration ? tr("pH [-]") : tr("Buffer capacity [mmol OH-/pH-unit]");
        return;
    }
    Chart1.BottomAxisTitle = titration ? tr("Added H+ [mmol/L]") : tr("pH [-]");
    Chart1.LeftAxisTitle = titration ? tr("pH [-]") : tr("Buffer capacity [mmol H+/pH-unit]");
}

void TpHmainForm::WhatToShowRadioGroupClick(const Component*) {
    applyViewActivity();
    applyViewTitles();
}

bool TpHmainForm::resultsOutdated() const {
    return runTexts_ && *runTexts_ != gridTexts();
}

int TpHmainForm::hintedCellCount() const {
    int count = 0;
    for (int row = 1; row < StringGrid1.RowCount; ++row)
        for (int col = 0; col < StringGrid1.ColCount; ++col)
            if (!cellHint(StringGrid1, col, row).isEmpty())
                ++count;
    return count;
}

void TpHmainForm::ClearGraphButtonClick(const Component*) {
    TitrationSeries.Clear();
    BufferStrengthSeries.Clear();
}

void TpHmainForm::CopyToClipButtonClick(const Component*) {
    if (CopyChartToClipboard)
        CopyChartToClipboard();
}

// ---- the document -------------------------------------------------------------------------

std::vector<QString> TpHmainForm::gridTexts() const {
    std::vector<QString> texts;
    for (const StringGrid* grid : {&StringGrid1, &StringGrid2})
        for (int r = 0; r < grid->RowCount; ++r)
            for (int c = 0; c < grid->ColCount; ++c)
                texts.push_back(grid->Cells(c, r));
    return texts;
}

void TpHmainForm::setGridTexts(const std::vector<QString>& texts) {
    std::size_t i = 0;
    for (StringGrid* grid : {&StringGrid1, &StringGrid2})
        for (int r = 0; r < grid->RowCount; ++r)
            for (int c = 0; c < grid->ColCount; ++c)
                if (i < texts.size())
                    grid->Cells(c, r) = texts[i++];
}

bool TpHmainForm::isModified() const {
    return gridTexts() != savedTexts_;
}

QString TpHmainForm::cellHint(const StringGrid& grid, int col, int row) const {
    if (&grid != &StringGrid1 || col < 2 || row < 1)
        return {};
    const QString& text = grid.Cells(col, row);
    double p = 0;
    if (text.trimmed().isEmpty() || text == QLatin1String("-") ||
        TryStrToFloat(text, p, DecimalSeparator))
        return {};
    return tr("'%1' is not a number with '%2' as decimal separator: this step "
              "counts as absent")
        .arg(text, QString::fromUcs4(&DecimalSeparator, 1));
}

const model::Series* TpHmainForm::selectedSeries() const {
    switch (WhatToShowRadioGroup.ItemIndex) {
    case 0:
        return &TitrationSeries;
    case 1:
        return &BufferStrengthSeries;
    default:
        return nullptr;
    }
}

} // namespace phbuffer::ui
