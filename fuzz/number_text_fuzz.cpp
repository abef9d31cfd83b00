// SPDX-License-Identifier: GPL-3.0-or-later
//
// libFuzzer target for the number texts: the strict and the lenient conversion must
// agree, and every number the program writes must read back as (nearly) the same number.
// Input: the first byte picks the decimal separator, the rest is the text.
#include "model/number_text.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

using namespace phbuffer::model;

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool sameNumber(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

/// Writes @p value as the program does and reads it back.
void checkFormatReadsBack(double value, char32_t separator) {
    // The precision and decimals of every number text the program writes.
    static constexpr int kFormats[][2] = {{12, 3}, {12, 2}, {8, 3}, {8, 2}};
    for (const auto& [precision, digits] : kFormats) {
        const std::string text = formatFixed(value, precision, digits, separator);
        double back = 0;
        check(tryParse(text, back, separator), "a formatted number does not parse");
        if (std::isfinite(value)) {
            const double allowed =
                0.51 * std::pow(10.0, -digits) + std::fabs(value) * std::pow(10.0, 1 - precision);
            check(std::fabs(back - value) <= allowed, "a formatted number reads back wrong");
        } else {
            check(sameNumber(back, value) || (std::isnan(back) && std::isnan(value)),
                  "an infinity or NaN reads back wrong");
        }
    }
    // 18 significant digits hold every double exactly, as long as the 18 decimals reach
    // the 18th digit.
    if (std::isfinite(value) && std::fabs(value) >= 0.1) {
        double back = 0;
        check(tryParse(formatFixed(value, 18, 18, separator), back, separator) && back == value,
              "18 digits do not read back exactly");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // Arranged so that a seed starting with "," or "." uses that separator.
    static constexpr char32_t kSeparators[] = {U',', U'\u066B', U'.', U'\''};
    const char32_t separator = kSeparators[data[0] % 4];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    double lenient = 1234.5;
    const bool accepted = tryParse(text, lenient, separator);
    std::optional<long double> strict;
    try {
        strict = parseStrict(text, separator);
    } catch (const ConversionError& e) {
        check(e.what() == "'" + visibleText(text) + "' is not a valid floating point value",
              "the message does not quote the text");
    }
    check(accepted == strict.has_value(), "strict and lenient conversion disagree");
    if (!accepted) {
        check(lenient == 1234.5, "a refused text changed the target");
        return 0;
    }
    check(sameNumber(static_cast<double>(*strict), lenient), "the conversions differ in value");
    checkFormatReadsBack(lenient, separator);
    return 0;
}
