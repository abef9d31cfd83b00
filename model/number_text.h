// SPDX-License-Identifier: GPL-3.0-or-later
//
// Number texts: the one place where numbers become text and text becomes numbers.
// Every grid cell, the pH edit box, the run label and the plot data file go through here,
// so formatting and parsing always use the same decimal separator.
//
// The conversions never consult the C library's global locale (a Qt application sets it
// from the environment); the separator is always an explicit argument.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace phbuffer::model {

/// Raised by parseStrict for a text that is not a number. Its message is
/// "'<text>' is not a valid floating point value", the text as visibleText shows it.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(std::string_view text);
};

/// Formats @p value fixed-point with at most @p precision significant digits (2 to 18)
/// and exactly @p digits decimals (at most 18), rounding half away from zero from the
/// value's 18-digit decimal expansion. A value whose integer part needs more digits than
/// @p precision is written in scientific form ("2.5E013"); infinities and not-a-number
/// are written "INF", "-INF", "NAN" or "-NAN". A value that rounds to zero never carries
/// a minus sign. The result is UTF-8; @p decimalSeparator is one Unicode character.
std::string formatFixed(double value, int precision, int digits, char32_t decimalSeparator);

/// The strict conversion: optional spaces, an optional sign, digits with at most one
/// @p decimalSeparator, an optional exponent, optional spaces; or exactly INF, +INF, -INF
/// or NAN in any case. Yields extended precision. A number too large for a double raises,
/// one too small comes out as zero or a tiny value.
/// @throws ConversionError for any other text.
long double parseStrict(std::string_view text, char32_t decimalSeparator);

/// The lenient conversion into a double: true and @p result set when the text is a
/// number by the rules of parseStrict; false and @p result untouched otherwise.
/// A finite number beyond the range of a double is refused; infinities and NaN pass.
bool tryParse(std::string_view text, double& result, char32_t decimalSeparator);

/// @p utf8 with every control character written visibly: NUL as \0, TAB, LF and CR as
/// \t, \n and \r, any other as \xHH (U+0000 to U+001F, U+007F) or \u00HH (U+0080 to
/// U+009F). A message that quotes user text this way shows it whole, on one line, and is
/// never cut short where it becomes a C string.
std::string visibleText(std::string_view utf8);

/// The decimal separator as UTF-8 text.
std::string separatorText(char32_t decimalSeparator);

} // namespace phbuffer::model
