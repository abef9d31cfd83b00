// SPDX-License-Identifier: GPL-3.0-or-later
#include "option_values.h"

#include "files/water_quality_file.h"
#include "model/conditions.h"
#include "model/number_text.h"
#include "ui/main_form.h"
#include "ui/number_format.h"

#include <QChar>
#include <QString>

#include <charconv>
#include <cmath>
#include <cstddef>

namespace phbuffer::cli {

/// The separator named by @p utf8: one printable character that can't be taken for part of
/// a number (a digit, a sign, an exponent letter) or for what stands between the fields
/// of a data file line (space, TAB, line ends).
char32_t decimalSeparator(const std::string& utf8) {
    const QString text = QString::fromStdString(utf8);
    const auto ucs4 = text.toUcs4();
    if (ucs4.size() != 1 || text.toStdString() != utf8) // the round trip fails for bad UTF-8
        throw UsageError{"--decimal-separator takes exactly one character"};
    const char32_t c = ucs4.front();
    if (!QChar::isPrint(c) || QChar::isDigit(c) || QChar::isSpace(c) ||
        std::u32string_view(U"+-eE").find(c) != std::u32string_view::npos)
        throw UsageError{"--decimal-separator takes a printable character that is not a digit, "
                         "a sign, e, E or a space"};
    return c;
}

/// A G, C or R of --cell: digits only, and no more than an int holds.
std::optional<int> cellIndex(std::string_view text) {
    int value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text[0] == '-' || res.ec != std::errc() ||
        res.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

CellEdit parseCell(const std::string& text) {
    // G:C:R=TEXT
    const std::size_t eq = text.find('=');
    const auto bad = [&] { return UsageError{"--cell expects G:C:R=TEXT, not '" + text + "'"}; };
    const std::string_view where = std::string_view(text).substr(0, eq);
    const std::size_t colon1 = where.find(':');
    const std::size_t colon2 =
        colon1 == std::string_view::npos ? colon1 : where.find(':', colon1 + 1);
    if (eq == std::string::npos || colon2 == std::string_view::npos)
        throw bad();
    const auto g = cellIndex(where.substr(0, colon1));
    const auto c = cellIndex(where.substr(colon1 + 1, colon2 - colon1 - 1));
    const auto r = cellIndex(where.substr(colon2 + 1));
    if (!g || !c || !r)
        throw bad();
    using namespace files;
    const bool inRange = (*g == 1 && *c < kBufferSystemColumns && *r < kBufferSystemRows) ||
                         (*g == 2 && *c < kWaterParameterColumns && *r < kWaterParameterRows);
    const auto last = [](int count) { return std::to_string(count - 1); };
    if (!inRange)
        throw UsageError{"--cell " + std::string(where) + ": grid 1 has columns 0-" +
                         last(kBufferSystemColumns) + " and rows 0-" + last(kBufferSystemRows) +
                         ", grid 2 columns 0-" + last(kWaterParameterColumns) + " and rows 0-" +
                         last(kWaterParameterRows)};
    return {*g, *c, *r, QString::fromStdString(text.substr(eq + 1))};
}

/// The chart size WxH in pixels of --chart-size.
std::pair<int, int> chartSize(const std::string& text) {
    constexpr int kMaxSide = 20000;
    const auto bad = [&] {
        return UsageError{"--chart-size expects WxH, two whole numbers of pixels from 1 to " +
                          std::to_string(kMaxSide) + ", not '" + text + "'"};
    };
    const std::size_t x = text.find('x');
    if (x == std::string::npos)
        throw bad();
    const auto side = [&](std::string_view s) {
        int v = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (ec != std::errc() || end != s.data() + s.size() || v < 1 || v > kMaxSide)
            throw bad();
        return v;
    };
    const std::string_view all(text);
    return {side(all.substr(0, x)), side(all.substr(x + 1))};
}

/// The shortest text that reads back as @p value.
std::string shortest(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

/// A number of the command line: a full stop always works, the separator in effect too.
/// Read after all options, so that --decimal-separator may come later.
std::optional<double> numberOf(const Options& o, const std::string& text) {
    const char32_t sep = o.decimalSeparator.value_or(ui::systemDecimalSeparator());
    double x = 0;
    if (!model::tryParse(text, x, U'.') && !model::tryParse(text, x, sep))
        return std::nullopt;
    return x;
}

/// The numbers of --volume, --add-acid and --add-base, each checked.
void readNumbers(Options& o) {
    for (const auto& [name, text] : o.numberTexts) {
        const std::optional<double> x = numberOf(o, text);
        if (name == "--temperature") {
            if (!x || !(*x >= model::kMinTemperature && *x <= model::kMaxTemperature))
                throw UsageError{"--temperature takes a temperature from 0 to 100 °C, not '" +
                                 text + "'"};
            o.temperature = x;
        } else if (name == "--ionic-strength" || name == "--conductivity") {
            const bool conductivity = name == "--conductivity";
            const double I = x ? (conductivity ? model::ionicStrengthOfConductivity(*x)
                                               : *x / model::kMmolPerMol)
                               : -1;
            if (!x || !(*x >= 0) || !(I <= model::kMaxIonicStrength))
                throw UsageError{conductivity
                                     ? "--conductivity takes uS/cm from 0 to 62500 (an ionic "
                                       "strength up to 1000 mmol/L), not '" +
                                           text + "'"
                                     : "--ionic-strength takes mmol/L from 0 to 1000, not '" +
                                           text + "'"};
            o.ionicStrength = I;
        } else if (name == "--upper-target") {
            if (!x || !ui::isRunPh(*x))
                throw UsageError{"--upper-target takes a pH from " + shortest(ui::kMinRunpH) +
                                 " to " + shortest(ui::kMaxRunpH) + ", not '" + text + "'"};
            o.upperTarget = QString::fromStdString(text);
        } else if (name == "--volume") {
            if (!x || !(*x > 0) || !std::isfinite(*x))
                throw UsageError{"--volume takes a volume of water in m3 above 0, not '" + text +
                                 "'"};
            o.volume = x;
        } else {
            if (!x || !(*x >= 0) || !std::isfinite(*x))
                throw UsageError{name + " takes an amount in mmol/L from 0, not '" + text + "'"};
            (name == "--add-acid" ? o.addAcid : o.addBase) = x;
        }
    }
}

} // namespace phbuffer::cli
