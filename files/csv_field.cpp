// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv_field.h"

namespace phbuffer::files {

QString csvTextField(const QString& text, QChar separator) {
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    QString cell = text;
    if (!cell.isEmpty() && kFormulaStarts.contains(cell.front()))
        cell.prepend(QLatin1Char('\''));
    const bool quote = cell.contains(separator) || cell.contains(QLatin1Char('"')) ||
                       cell.contains(QLatin1Char('\r')) || cell.contains(QLatin1Char('\n'));
    if (!quote)
        return cell;
    return QLatin1Char('"') + cell.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

} // namespace phbuffer::files
