// SPDX-License-Identifier: GPL-3.0-or-later
#include "number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>

namespace phbuffer::model {

ConversionError::ConversionError(std::string_view text)
    : std::runtime_error("'" + visibleText(text) + "' is not a valid floating point value") {}

std::string visibleText(std::string_view utf8) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const unsigned next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) { // U+0080 to U+009F
            out += "\\u00";
            out += kHex[next >> 4];
            out += kHex[next & 0xF];
            ++i;
        } else if (byte == 0) {
            out += "\\0";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

std::string separatorText(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string formatFixed(double value, int precision, int digits, char32_t decimalSeparator) {
    const int P = std::clamp(precision, 2, 18);
    const int D = std::clamp(digits, 0, 18);
    const bool negative = std::signbit(value);
    if (std::isnan(value))
        return negative ? "-NAN" : "NAN";
    if (std::isinf(value))
        return negative ? "-INF" : "INF";

    // The decimal expansion to 18 significant digits: digit k stands for 10^(exp - k).
    std::string mant;
    int exp = 0;
    if (value != 0.0) {
        char buf[48];
        const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                       std::chars_format::scientific, 17);
        const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
        const std::size_t ePos = sci.find('e');
        for (std::size_t i = 0; i < ePos; ++i)
            if (sci[i] != '.')
                mant += sci[i];
        std::from_chars(sci.data() + ePos + (sci[ePos + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                        exp);
    }

    // Keep at most P significant digits and at most D decimals, whichever keeps fewer.
    std::string kept; // rounded digits, kept[0] standing for 10^exp
    if (!mant.empty()) {
        const int keep = std::min(P, exp + D + 1);
        if (keep >= 0) {
            kept = mant.substr(0, static_cast<std::size_t>(keep));
            if (static_cast<std::size_t>(keep) < mant.size() &&
                mant[static_cast<std::size_t>(keep)] >= '5') {
                // Round the magnitude up; a carry out of the first digit adds a digit.
                int i = keep - 1;
                for (; i >= 0 && kept[static_cast<std::size_t>(i)] == '9'; --i)
                    kept[static_cast<std::size_t>(i)] = '0';
                if (i >= 0) {
                    ++kept[static_cast<std::size_t>(i)];
                } else {
                    kept.insert(kept.begin(), '1');
                    ++exp;
                }
            }
        }
        kept.erase(kept.find_last_not_of('0') + 1);
    }
    if (kept.empty()) // rounds to zero: no sign
        return D > 0 ? "0" + separatorText(decimalSeparator) + std::string(D, '0') : "0";

    std::string out = negative ? "-" : "";
    if (exp + 1 > P) {
        out += kept[0];
        if (kept.size() > 1)
            out += separatorText(decimalSeparator) + kept.substr(1);
        std::string e = std::to_string(exp);
        if (D <= 4 && static_cast<int>(e.size()) < D)
            e.insert(0, static_cast<std::size_t>(D) - e.size(), '0');
        return out + "E" + e;
    }
    const auto digitAt = [&](int pos) { // the digit standing for 10^pos
        const int k = exp - pos;
        return k >= 0 && k < static_cast<int>(kept.size()) ? kept[static_cast<std::size_t>(k)]
                                                           : '0';
    };
    if (exp < 0)
        out += '0';
    for (int pos = exp; pos >= 0; --pos)
        out += digitAt(pos);
    if (D > 0) {
        out += separatorText(decimalSeparator);
        for (int pos = -1; pos >= -D; --pos)
            out += digitAt(pos);
    }
    return out;
}

namespace {

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
        if (x != b[i])
            return false;
    }
    return true;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

/// The value of a number text in extended precision, or nothing when the text is not a
/// number or is too large for a double.
std::optional<long double> parseNumber(std::string_view text, char32_t decimalSeparator) {
    if (equalsIgnoreCase(text, "INF") || equalsIgnoreCase(text, "+INF"))
        return std::numeric_limits<long double>::infinity();
    if (equalsIgnoreCase(text, "-INF"))
        return -std::numeric_limits<long double>::infinity();
    if (equalsIgnoreCase(text, "NAN"))
        return std::numeric_limits<long double>::quiet_NaN();

    const std::string sep = separatorText(decimalSeparator);
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::string intDigits, fracDigits;
    while (i < n && isDigit(text[i]))
        intDigits += text[i++];
    if (text.substr(i, sep.size()) == sep && !sep.empty()) {
        i += sep.size();
        while (i < n && isDigit(text[i]))
            fracDigits += text[i++];
    }
    if (intDigits.empty() && fracDigits.empty())
        return std::nullopt;
    std::string expDigits;
    bool expNegative = false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            expNegative = text[i++] == '-';
        while (i < n && isDigit(text[i]))
            expDigits += text[i++];
        if (expDigits.empty())
            return std::nullopt;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        return std::nullopt;

    std::string normal = (negative ? "-" : "") + (intDigits.empty() ? "0" : intDigits) + "." +
                         fracDigits +
                         (expDigits.empty() ? "" : (expNegative ? "e-" : "e") + expDigits);
    long double value = 0;
    const auto res = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        // Tell an underflow from an overflow by where the first significant digit stands.
        const std::string all = intDigits + fracDigits;
        const std::size_t first = all.find_first_not_of('0');
        long long magnitude =
            static_cast<long long>(intDigits.size()) - static_cast<long long>(first) - 1;
        long long e = 0;
        for (char c : expDigits)
            e = std::min<long long>(e * 10 + (c - '0'), 100000000);
        magnitude += expNegative ? -e : e;
        if (magnitude >= 0)
            return std::nullopt;
        value = negative ? -0.0L : 0.0L;
    } else if (res.ec != std::errc() || res.ptr != normal.data() + normal.size()) {
        return std::nullopt;
    }
    if (std::fabs(value) > std::numeric_limits<double>::max()) {
        // Rounded to extended precision first, a text just below the midpoint between the
        // largest double and the next power of two reaches that midpoint, and would then
        // round to infinity. Whether the text is beyond the range of a double is for the
        // text itself to tell.
        double nearest = 0;
        const auto asDouble =
            std::from_chars(normal.data(), normal.data() + normal.size(), nearest);
        if (asDouble.ec != std::errc())
            return std::nullopt; // finite, but beyond the range of a double
        value = nearest;
    }
    return value;
}

} // namespace

long double parseStrict(std::string_view text, char32_t decimalSeparator) {
    const auto value = parseNumber(text, decimalSeparator);
    if (!value)
        throw ConversionError(text);
    return *value;
}

bool tryParse(std::string_view text, double& result, char32_t decimalSeparator) {
    const auto value = parseNumber(text, decimalSeparator);
    if (!value)
        return false;
    result = static_cast<double>(*value);
    return true;
}

} // namespace phbuffer::model
