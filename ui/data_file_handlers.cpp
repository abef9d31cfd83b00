// SPDX-License-Identifier: GPL-3.0-or-later
//
// The file buttons: the dialogs' settings, the default extension, and the files.
// A first version: plain writes and reads.
#include "main_form.h"

#include "errors.h"
#include "files/plot_export.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

namespace phbuffer::ui {

namespace {

/// Appends ".ext" when the last component of @p name (after the last "\\" or ":") has no ".".
QString WithDefaultExtension(const QString& name, const QString& ext) {
    const qsizetype lastSeparator = std::max(name.lastIndexOf(QLatin1Char('\\')),
                                             std::max(name.lastIndexOf(QLatin1Char(':')),
                                                      name.lastIndexOf(QLatin1Char('/'))));
    return name.indexOf(QLatin1Char('.'), lastSeparator + 1) >= 0 ? name
                                                                  : name + QLatin1Char('.') + ext;
}

void WriteLines(const QString& path, const QStringList& lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw HandlerError(QStringLiteral("File access denied"));
    QStringEncoder encode("windows-1252");
    for (const QString& line : lines)
        file.write(QByteArray(encode(line)) + "\r\n");
}

} // namespace

void TpHmainForm::SaveDataBitBtnClick(const Component*) {
    SaveDialog1.InitialDir = QDir::currentPath();
    SaveDialog1.DefaultExt = QStringLiteral("prn");
    SaveDialog1.Filter = QStringLiteral("Water quality data (*.prn)|*.PRN");
    const std::optional<QString> chosen = ExecuteFileDialog(SaveDialog1, FileDialogKind::Save);
    if (!chosen)
        return;
    SaveDialog1.FileName = WithDefaultExtension(*chosen, SaveDialog1.DefaultExt);
    QStringList lines;
    for (int r = 0; r < StringGrid1.RowCount; ++r) {
        QStringList fields;
        for (int c = 0; c < StringGrid1.ColCount; ++c)
            fields << StringGrid1.Cells(c, r);
        lines << fields.join(QLatin1Char('\t'));
    }
    lines << QString();
    for (int r = 0; r < StringGrid2.RowCount; ++r)
        lines << StringGrid2.Cells(0, r) + QLatin1Char('\t') + StringGrid2.Cells(1, r);
    WriteLines(SaveDialog1.FileName, lines);
}

void TpHmainForm::GetDataBitBtnClick(const Component*) {
    OpenDialog1.InitialDir = QDir::currentPath();
    OpenDialog1.DefaultExt = QStringLiteral("prn");
    OpenDialog1.Filter = QStringLiteral("Water quality data (*.prn)|*.PRN");
    const std::optional<QString> chosen = ExecuteFileDialog(OpenDialog1, FileDialogKind::Open);
    if (!chosen)
        return;
    OpenDialog1.FileName = *chosen;
    QFile file(*chosen);
    if (!file.open(QIODevice::ReadOnly))
        throw HandlerError(QStringLiteral("File not found"));
    QStringDecoder decode("windows-1252");
    const QStringList lines = QString(decode(file.readAll())).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    for (int r = 1; r <= 9 && r < lines.size(); ++r) {
        const QStringList fields = lines[r].split(QLatin1Char('\t'));
        for (int c = 0; c < 5 && c < fields.size(); ++c)
            StringGrid1.Cells(c, r) = fields[c];
    }
    for (int r = 0; r < 4 && 11 + r < lines.size(); ++r) {
        const QStringList fields = lines[11 + r].split(QLatin1Char('\t'));
        for (int c = 0; c < 2 && c < fields.size(); ++c)
            StringGrid2.Cells(c, r) = fields[c];
    }
}

void TpHmainForm::ExportPlotDataBitBtnClick(const Component*) {
    SaveDialog1.InitialDir = QDir::currentPath();
    SaveDialog1.DefaultExt = QStringLiteral("txt");
    SaveDialog1.Filter = QStringLiteral("Text files (*.txt)|*.TXT");
    const std::optional<QString> chosen = ExecuteFileDialog(SaveDialog1, FileDialogKind::Save);
    if (!chosen)
        return;
    SaveDialog1.FileName = WithDefaultExtension(*chosen, SaveDialog1.DefaultExt);
    WriteLines(SaveDialog1.FileName, files::PlotDataLines(SelectedSeries(), DecimalSeparator));
}

} // namespace phbuffer::ui
