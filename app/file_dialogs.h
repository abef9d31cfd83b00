// SPDX-License-Identifier: GPL-3.0-or-later
//
// The form's file dialog settings shown as a QFileDialog.
#pragma once

#include "ui/main_form.h"

#include <QStringList>

class QFileDialog;

namespace phbuffer::app {

/// The name filters of a QFileDialog for a filter in the form's "description|pattern"
/// form (pairs may repeat: "d1|p1|d2|p2"). Each entry keeps its description as the user
/// reads it and matches its patterns in upper and in lower case, so "*.PRN" lists both
/// x.prn and x.PRN, as the file names of a case-blind file system would be listed.
QStringList dialogNameFilters(const QString& filter);

/// Sets up @p dialog to save (@p kind Save) or open a file: the directory it starts in,
/// the name filters with @p selectedFilter offered first (none: the first), the extension
/// that a name typed without one gets, and the file name it proposes, if any.
void setUpFileDialog(QFileDialog& dialog, ui::FileDialogKind kind, const QString& directory,
                     const QStringList& filters, const QString& selectedFilter,
                     const QString& defaultSuffix, const QString& fileName);

/// Sets up @p dialog from @p settings: save or open, the initial directory, the filters,
/// the default extension and the file name to offer.
void configureFileDialog(QFileDialog& dialog, const ui::FileDialog& settings,
                         ui::FileDialogKind kind);

} // namespace phbuffer::app
