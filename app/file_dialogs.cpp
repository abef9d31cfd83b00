// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_dialogs.h"

#include <QFileDialog>

namespace phbuffer::app {

QStringList dialogNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()})
                if (!patterns.contains(variant))
                    patterns << variant;
        }
        // QFileDialog takes the patterns from the last parentheses; the description's own
        // "(*.prn)" stays part of the text shown.
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

void setUpFileDialog(QFileDialog& dialog, ui::FileDialogKind kind, const QString& directory,
                     const QStringList& filters, const QString& selectedFilter,
                     const QString& defaultSuffix, const QString& fileName) {
    const bool save = kind == ui::FileDialogKind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (!selectedFilter.isEmpty())
        dialog.selectNameFilter(selectedFilter);
    dialog.setDirectory(directory);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
}

void configureFileDialog(QFileDialog& dialog, const ui::FileDialog& settings,
                         ui::FileDialogKind kind) {
    dialog.setObjectName(settings.Name);
    if (!settings.Title.isEmpty())
        dialog.setWindowTitle(settings.Title);
    // The patterns are shown in the description already; the case variants would only
    // repeat them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    setUpFileDialog(dialog, kind, settings.InitialDir, dialogNameFilters(settings.Filter), {},
                    settings.DefaultExt, settings.FileName);
}

} // namespace phbuffer::app
