// SPDX-License-Identifier: GPL-3.0-or-later
//
// The values of the command line's options that have a grammar of their own: a decimal
// separator, a cell edit, a chart size, a count.
#pragma once

#include "options.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace phbuffer::cli {

/// The separator named by @p utf8: one printable character that can't be taken for part of
/// a number (a digit, a sign, an exponent letter) or for what stands between the fields
/// of a data file line (space, TAB, line ends). Throws UsageError.
char32_t decimalSeparator(const std::string& utf8);

/// A G, C or R of --cell, or a count: digits only, and no more than an int holds.
std::optional<int> cellIndex(std::string_view text);

/// The G:C:R=TEXT of --cell. Throws UsageError.
CellEdit parseCell(const std::string& text);

/// The chart size WxH in pixels of --chart-size. Throws UsageError.
std::pair<int, int> chartSize(const std::string& text);

/// The shortest text that reads back as @p value.
std::string shortest(double value);

/// A number of the command line: a full stop always works, the separator in effect too.
std::optional<double> numberOf(const Options& o, const std::string& text);

/// The numbers of the options that take one, each checked, into @p o once every option
/// has been read (so --decimal-separator may come after them). Throws UsageError.
void readNumbers(Options& o);

} // namespace phbuffer::cli
