// SPDX-License-Identifier: GPL-3.0-or-later
//
// The program's look: its title, the window font and the visual style kept among its
// resources.
#pragma once

#include <QFont>
#include <QString>

class QApplication;

namespace phbuffer::app {

/// The application's title. It captions the error boxes and the progress dialog.
extern const QString kApplicationTitle;

/// The resource that holds the visual style sheet.
extern const QString kStyleSheetResource;

/// The window font: Tahoma at 11 pixels (8 points on a 96 dpi screen). Where Tahoma is
/// missing, as on most Linux systems, a condensed sans-serif of similar widths takes its
/// place, so the captions still fit their buttons; failing that the default sans-serif.
QFont WindowFont();

/// Applies the visual style: the Fusion widget style and the style sheet at
/// @p styleSheetResource. Returns an empty text on success, otherwise why the style sheet
/// was not applied; start-up goes on with the standard look in that case.
QString ApplyVisualStyle(QApplication& app,
                         const QString& styleSheetResource = kStyleSheetResource);

} // namespace phbuffer::app
