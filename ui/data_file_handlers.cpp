// SPDX-License-Identifier: GPL-3.0-or-later
//
// The file buttons: the dialogs' settings, the default extension, and the grids' texts
// copied into and out of the data file.
#include "main_form.h"

#include "errors.h"
#include "number_format.h"

#include "files/plot_export.h"
#include "files/text_file.h"
#include "files/water_quality_file.h"

#include <QDir>

namespace phbuffer::ui {

namespace {

const QString kDataFileExtension = QStringLiteral("prn");
// The dialogs' texts, marked here and translated as a dialog is set up.
const char* const kDataFileFilter =
    QT_TRANSLATE_NOOP("TpHmainForm", "Water quality data (*.prn)|*.PRN");
const QString kPlotFileExtension = QStringLiteral("txt");
const char* const kPlotFileFilter = QT_TRANSLATE_NOOP("TpHmainForm", "Text files (*.txt)|*.TXT");
const char* const kSaveDataTitle = QT_TRANSLATE_NOOP("TpHmainForm", "Save water quality data");
const char* const kOpenDataTitle = QT_TRANSLATE_NOOP("TpHmainForm", "Open water quality data");
const char* const kExportPlotTitle = QT_TRANSLATE_NOOP("TpHmainForm", "Export plot data");

/// The dialogs are shared between buttons, so each use sets them up afresh.
void SetUp(FileDialog& dialog, const QString& extension, const QString& filter) {
    dialog.InitialDir = QDir::currentPath();
    dialog.DefaultExt = extension;
    dialog.Filter = filter;
}

files::WaterQualityTexts textsOf(const TpHmainForm& form) {
    files::WaterQualityTexts texts;
    for (int r = 0; r < files::kBufferSystemRows; ++r)
        for (int c = 0; c < files::kBufferSystemColumns; ++c)
            texts.bufferSystems[r][c] = form.StringGrid1.Cells(c, r);
    for (int r = 0; r < files::kWaterParameterRows; ++r)
        for (int c = 0; c < files::kWaterParameterColumns; ++c)
            texts.waterParameters[r][c] = form.StringGrid2.Cells(c, r);
    // A water under the default conditions keeps the file it always had, of 15 lines.
    const bool base = form.TitrantRadioGroup.ItemIndex == 1;
    if (base || form.UpperTargetEdit.Text != form.defaultUpperTarget())
        texts.conditions = files::DataFileConditions{base ? model::Titrant::StrongBase
                                                          : model::Titrant::StrongAcid,
                                                     form.UpperTargetEdit.Text};
    return texts;
}

} // namespace

std::optional<QString> TpHmainForm::chooseSaveName(SaveKind kind, const QString& extension,
                                                   const QString& filter, const QString& title) {
    SetUp(SaveDialog1, extension, filter);
    SaveDialog1.Title = title;
    const QString held = SaveDialog1.FileName;
    SaveDialog1.FileName = saveNames.proposal(kind, dataFileName, extension);
    const std::optional<QString> chosen = ExecuteFileDialog(SaveDialog1, FileDialogKind::Save);
    if (!chosen) {
        SaveDialog1.FileName = held;
        return std::nullopt;
    }
    // The completed name stays in the dialog as well; what it offers next depends on
    // the kind of file it saves then.
    SaveDialog1.FileName = files::withDefaultExtension(*chosen, SaveDialog1.DefaultExt);
    saveNames.chosen(kind, SaveDialog1.FileName);
    return SaveDialog1.FileName;
}

void TpHmainForm::checkOneLineCells() {
    for (const StringGrid* grid : {&StringGrid1, &StringGrid2})
        for (int r = 0; r < grid->RowCount; ++r)
            for (int c = 0; c < grid->ColCount; ++c) {
                const QString& text = grid->Cells(c, r);
                if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
                    continue;
                errorCell = GridCell{grid, c, r};
                const QString cell =
                    c == 0
                        ? tr("The name in row %1").arg(r)
                        : tr("The cell \"%1\", \"%2\"").arg(grid->Cells(0, r), grid->Cells(c, 0));
                throw HandlerError(cell + tr(" holds a line break; a cell holds "
                                             "one line of text"));
            }
}

void TpHmainForm::SaveDataBitBtnClick(const Component*) {
    checkOneLineCells();
    if (const auto name = chooseSaveName(SaveKind::WaterData, kDataFileExtension,
                                         tr(kDataFileFilter), tr(kSaveDataTitle))) {
        files::saveWaterQualityFile(*Files, *name, textsOf(*this));
        dataFileName = *name;
        savedTexts_ = gridTexts();
    }
}

void TpHmainForm::saveDataInPlace() {
    if (dataFileName.isEmpty()) {
        SaveDataBitBtnClick(&SaveDataBitBtn);
        return;
    }
    checkOneLineCells();
    files::saveWaterQualityFile(*Files, dataFileName, textsOf(*this));
    savedTexts_ = gridTexts();
}

void TpHmainForm::GetDataBitBtnClick(const Component*) {
    SetUp(OpenDialog1, kDataFileExtension, tr(kDataFileFilter));
    OpenDialog1.Title = tr(kOpenDataTitle);
    const std::optional<QString> chosen = ExecuteFileDialog(OpenDialog1, FileDialogKind::Open);
    if (chosen)
        loadDataFile(*chosen);
}

void TpHmainForm::loadDataFile(const QString& path) {
    OpenDialog1.FileName = path;
    files::WaterQualityTexts texts = textsOf(*this);
    files::loadWaterQualityFile(*Files, path, texts);
    showTexts(texts);
    dataFileName = path;
    savedTexts_ = gridTexts();
}

void TpHmainForm::showTexts(const files::WaterQualityTexts& texts) {
    for (int r = 0; r < files::kBufferSystemRows; ++r)
        for (int c = 0; c < files::kBufferSystemColumns; ++c)
            StringGrid1.Cells(c, r) = texts.bufferSystems[r][c];
    for (int r = 0; r < files::kWaterParameterRows; ++r)
        for (int c = 0; c < files::kWaterParameterColumns; ++c)
            StringGrid2.Cells(c, r) = texts.waterParameters[r][c];
    const files::DataFileConditions conditions =
        texts.conditions.value_or(files::DataFileConditions{});
    TitrantRadioGroup.ItemIndex = conditions.titrant == model::Titrant::StrongBase ? 1 : 0;
    // An upper target that is no number under this separator counts as no line at all.
    double upper = 0;
    UpperTargetEdit.Text = TryStrToFloat(conditions.upperTarget, upper, DecimalSeparator)
                               ? conditions.upperTarget
                               : defaultUpperTarget();
}

void TpHmainForm::ExportPlotDataBitBtnClick(const Component*) {
    if (const auto name = chooseSaveName(SaveKind::PlotData, kPlotFileExtension,
                                         tr(kPlotFileFilter), tr(kExportPlotTitle)))
        files::exportPlotData(*Files, *name, selectedSeries(), DecimalSeparator);
}

} // namespace phbuffer::ui
