// SPDX-License-Identifier: GPL-3.0-or-later
//
// The file buttons: the dialogs' settings, the default extension, and the grids' texts
// copied into and out of the data file.
#include "main_form.h"

#include "files/plot_export.h"
#include "files/text_file.h"
#include "files/water_quality_file.h"

#include <QDir>

namespace phbuffer::ui {

namespace {

const QString kDataFileExtension = QStringLiteral("prn");
const QString kDataFileFilter = QStringLiteral("Water quality data (*.prn)|*.PRN");
const QString kPlotFileExtension = QStringLiteral("txt");
const QString kPlotFileFilter = QStringLiteral("Text files (*.txt)|*.TXT");

/// The dialogs are shared between buttons, so each use sets them up afresh.
void SetUp(FileDialog& dialog, const QString& extension, const QString& filter) {
    dialog.InitialDir = QDir::currentPath();
    dialog.DefaultExt = extension;
    dialog.Filter = filter;
}

files::WaterQualityTexts TextsOf(const StringGrid& bufferSystems,
                                 const StringGrid& waterParameters) {
    files::WaterQualityTexts texts;
    for (int r = 0; r < files::kBufferSystemRows; ++r)
        for (int c = 0; c < files::kBufferSystemColumns; ++c)
            texts.bufferSystems[r][c] = bufferSystems.Cells(c, r);
    for (int r = 0; r < files::kWaterParameterRows; ++r)
        for (int c = 0; c < files::kWaterParameterColumns; ++c)
            texts.waterParameters[r][c] = waterParameters.Cells(c, r);
    return texts;
}

void Show(const files::WaterQualityTexts& texts, StringGrid& bufferSystems,
          StringGrid& waterParameters) {
    for (int r = 0; r < files::kBufferSystemRows; ++r)
        for (int c = 0; c < files::kBufferSystemColumns; ++c)
            bufferSystems.Cells(c, r) = texts.bufferSystems[r][c];
    for (int r = 0; r < files::kWaterParameterRows; ++r)
        for (int c = 0; c < files::kWaterParameterColumns; ++c)
            waterParameters.Cells(c, r) = texts.waterParameters[r][c];
}

} // namespace

std::optional<QString> TpHmainForm::ChooseSaveName(const QString& extension,
                                                   const QString& filter) {
    SetUp(SaveDialog1, extension, filter);
    const std::optional<QString> chosen = ExecuteFileDialog(SaveDialog1, FileDialogKind::Save);
    if (!chosen)
        return std::nullopt;
    // The completed name stays in the dialog, which offers it the next time.
    SaveDialog1.FileName = files::withDefaultExtension(*chosen, SaveDialog1.DefaultExt);
    return SaveDialog1.FileName;
}

void TpHmainForm::SaveDataBitBtnClick(const Component*) {
    if (const auto name = ChooseSaveName(kDataFileExtension, kDataFileFilter)) {
        files::saveWaterQualityFile(*Files, *name, TextsOf(StringGrid1, StringGrid2));
        dataFileName = *name;
        savedTexts_ = gridTexts();
    }
}

void TpHmainForm::GetDataBitBtnClick(const Component*) {
    SetUp(OpenDialog1, kDataFileExtension, kDataFileFilter);
    const std::optional<QString> chosen = ExecuteFileDialog(OpenDialog1, FileDialogKind::Open);
    if (chosen)
        LoadDataFile(*chosen);
}

void TpHmainForm::LoadDataFile(const QString& path) {
    OpenDialog1.FileName = path;
    files::WaterQualityTexts texts = TextsOf(StringGrid1, StringGrid2);
    files::loadWaterQualityFile(*Files, path, texts);
    Show(texts, StringGrid1, StringGrid2);
    dataFileName = path;
    savedTexts_ = gridTexts();
}

void TpHmainForm::ExportPlotDataBitBtnClick(const Component*) {
    if (const auto name = ChooseSaveName(kPlotFileExtension, kPlotFileFilter))
        files::exportPlotData(*Files, *name, SelectedSeries(), DecimalSeparator);
}

} // namespace phbuffer::ui
