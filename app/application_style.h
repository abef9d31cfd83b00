// SPDX-License-Identifier: GPL-3.0-or-later
//
// The program's look: its title, the window font and the visual style kept among its
// resources.
#pragma once

#include "chart/window_font.h"

#include <QFont>
#include <QString>

class QApplication;

namespace phbuffer::app {

/// The application's title, translated. It captions the error boxes and the progress
/// dialog.
QString applicationTitle();

/// The resource that holds the visual style sheet.
extern const QString kStyleSheetResource;

using chart::windowFont;

/// Applies the visual style: the Fusion widget style and the style sheet at
/// @p styleSheetResource. Returns an empty text on success, otherwise why the style sheet
/// was not applied; start-up goes on with the standard look in that case.
QString applyVisualStyle(QApplication& app,
                         const QString& styleSheetResource = kStyleSheetResource);

} // namespace phbuffer::app
