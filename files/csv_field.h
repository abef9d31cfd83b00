// SPDX-License-Identifier: GPL-3.0-or-later
//
// The one way a text cell goes into the CSV the program writes, for the batch records and
// the analysis export alike.
#pragma once

#include <QChar>
#include <QString>

namespace phbuffer::files {

/// @p text as one CSV cell between @p separator: a text that a spreadsheet would take for a
/// formula (it begins with =, +, -, @, TAB or CR) gets a leading apostrophe, and a cell that
/// holds the separator, a quote, CR or LF is quoted with its quotes doubled. For text cells
/// only, such as file and system names: a negative number is a number and is written as is.
QString csvTextField(const QString& text, QChar separator);

} // namespace phbuffer::files
