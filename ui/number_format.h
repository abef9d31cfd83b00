// SPDX-License-Identifier: GPL-3.0-or-later
//
// The number text conventions on QString, with the decimal separator of the locale.
#pragma once

#include <QString>

namespace phbuffer::ui {

/// The decimal separator of the user's regional settings (LC_ALL, LC_NUMERIC, LANG),
/// a full stop when they give none.
char32_t systemDecimalSeparator();

/// Fixed-point text of @p value with @p precision significant digits and @p digits decimals.
QString FloatToStrF(double value, int precision, int digits, char32_t decimalSeparator);

/// The strict conversion; raises "'<text>' is not a valid floating point value".
long double StrToFloat(const QString& text, char32_t decimalSeparator);

/// The lenient conversion: false, and @p value untouched, for a text that is not a number.
bool TryStrToFloat(const QString& text, double& value, char32_t decimalSeparator);

/// @p text for a label that wraps: the space between a number and its "mmol", the one
/// between "pH" and its number, and the one in "mmol/L H+" made non-breaking, and a word joiner
/// after its slash, so that no number is parted from its unit or name and the unit stays whole.
QString keepQuantitiesTogether(const QString& text);

} // namespace phbuffer::ui
