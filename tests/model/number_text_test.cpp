// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using phbuffer::model::ConversionError;
using phbuffer::model::formatFixed;
using phbuffer::model::parseStrict;
using phbuffer::model::tryParse;

namespace {

std::string F(double v, int p, int d, char32_t sep = U'.') {
    return formatFixed(v, p, d, sep);
}

TEST(FormatFixed, WritesTheFixedFormWithExactlyDDecimals) {
    EXPECT_EQ(F(7.8, 12, 2), "7.80");
    EXPECT_EQ(F(4.5, 8, 2), "4.50");
    EXPECT_EQ(F(3, 8, 3), "3.000");
    EXPECT_EQ(F(7, 12, 3), "7.000");
    EXPECT_EQ(F(1640, 12, 0), "1640");
    EXPECT_EQ(F(12000.0 / 60052.0, 8, 3), "0.200");
    EXPECT_EQ(F(-0.5, 8, 2), "-0.50");
    EXPECT_EQ(F(123456789.125, 12, 3), "123456789.125");
}

TEST(FormatFixed, RoundsHalfAwayFromZeroFromEighteenDigits) {
    EXPECT_EQ(F(0.125, 12, 2), "0.13"); // an exact half
    EXPECT_EQ(F(-0.125, 12, 2), "-0.13");
    EXPECT_EQ(F(2.675, 12, 2), "2.67"); // the double lies below 2.675
    EXPECT_EQ(F(1.005, 12, 2), "1.00");
    EXPECT_EQ(F(0.0005, 12, 3), "0.001"); // the double lies just above
    EXPECT_EQ(F(0.0004999, 12, 3), "0.000");
    EXPECT_EQ(F(9.9996, 12, 3), "10.000");
    // The precision caps the digits before the decimals do: 8 digits, 3 decimals wanted.
    EXPECT_EQ(F(123456.789, 8, 3), "123456.790");
}

TEST(FormatFixed, NeverWritesMinusZero) {
    EXPECT_EQ(F(-0.0, 12, 3), "0.000");
    EXPECT_EQ(F(-0.0004, 12, 3), "0.000");
    EXPECT_EQ(F(-1e-300, 12, 3), "0.000");
    EXPECT_EQ(F(-0.0, 12, 0), "0");
}

TEST(FormatFixed, FallsBackToScientificWhenTheIntegerPartExceedsThePrecision) {
    EXPECT_EQ(F(2.5e13, 12, 3), "2.5E013");
    EXPECT_EQ(F(-2.5e13, 12, 3), "-2.5E013");
    EXPECT_EQ(F(1e13, 12, 3), "1E013");
    EXPECT_EQ(F(123456789012345.0, 12, 3), "1.23456789012E014");
    EXPECT_EQ(F(999999999999.9996, 12, 3), "1E012"); // the carry adds the thirteenth digit
    EXPECT_EQ(F(999999999999.4, 12, 3), "999999999999.000");
    EXPECT_EQ(F(1.5e300, 12, 3), "1.5E300");
    // The exponent is filled to D digits only when D is 4 or less.
    EXPECT_EQ(F(2.5e13, 12, 0), "2.5E13");
    EXPECT_EQ(F(2.5e13, 12, 4), "2.5E0013");
    EXPECT_EQ(F(2.5e13, 12, 5), "2.5E13");
    EXPECT_EQ(F(1.5e13, 12, 3, U','), "1,5E013");
}

TEST(FormatFixed, ClampsPrecisionAndDecimals) {
    EXPECT_EQ(F(123.456, 1, 3), "1.2E002"); // precision counts as 2
    EXPECT_EQ(F(0.5, 12, 25), "0.500000000000000000");
    EXPECT_EQ(F(0.1, 18, 18), "0.100000000000000006");
}

TEST(FormatFixed, WritesInfinitiesAndNotANumberWithTheirSign) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(F(inf, 12, 3), "INF");
    EXPECT_EQ(F(-inf, 12, 3), "-INF");
    EXPECT_EQ(F(nan, 12, 3), "NAN");
    EXPECT_EQ(F(std::copysign(nan, -1.0), 12, 3), "-NAN");
}

TEST(FormatFixed, UsesTheGivenSeparator) {
    EXPECT_EQ(F(4.5, 8, 2, U','), "4,50");
    EXPECT_EQ(F(4.5, 8, 2, U'\u066B'), "4\u066B50");
}

TEST(ParseStrict, AcceptsTheNumberGrammar) {
    EXPECT_EQ(parseStrict("12.5", U'.'), 12.5L);
    EXPECT_EQ(parseStrict("  -12.5  ", U'.'), -12.5L);
    EXPECT_EQ(parseStrict("+3", U'.'), 3.0L);
    EXPECT_EQ(parseStrict(".5", U'.'), 0.5L);
    EXPECT_EQ(parseStrict("5.", U'.'), 5.0L);
    EXPECT_EQ(parseStrict("1e3", U'.'), 1000.0L);
    EXPECT_EQ(parseStrict("1E+3", U'.'), 1000.0L);
    EXPECT_EQ(parseStrict("2.5e-3", U'.'), 0.0025L);
    EXPECT_EQ(parseStrict("1,5", U','), 1.5L);
    EXPECT_EQ(parseStrict("4\u066B5", U'\u066B'), 4.5L);
}

TEST(ParseStrict, YieldsExtendedPrecision) {
    EXPECT_EQ(parseStrict("0.1", U'.'), 0.1L);
    EXPECT_NE(parseStrict("0.1", U'.'), static_cast<long double>(0.1));
}

TEST(ParseStrict, AcceptsInfinityAndNotANumberInAnyCase) {
    EXPECT_EQ(parseStrict("INF", U'.'), HUGE_VALL);
    EXPECT_EQ(parseStrict("inf", U'.'), HUGE_VALL);
    EXPECT_EQ(parseStrict("+Inf", U'.'), HUGE_VALL);
    EXPECT_EQ(parseStrict("-iNF", U'.'), -HUGE_VALL);
    EXPECT_TRUE(std::isnan(parseStrict("nan", U'.')));
}

TEST(ParseStrict, RefusesEverythingElseWithTheConversionMessage) {
    for (const char* text :
         {"", " ", "abc", "-", "1e", "e3", "1.2.3", "1 000", "1,5", "0x10", "1e3.5", "--1", " INF",
          "+NAN", "-NAN", "infinity", "1e400", "-1e400"}) {
        try {
            parseStrict(text, U'.');
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid floating point value");
        }
    }
    EXPECT_THROW(parseStrict("1.5", U','), ConversionError);
    EXPECT_THROW(parseStrict("\t1", U'.'), ConversionError);
    EXPECT_THROW(parseStrict("1\t", U'.'), ConversionError);
}

TEST(ParseStrict, QuotesControlCharactersVisiblyAndWhole) {
    using namespace std::string_literals;
    try {
        parseStrict("a\0b\t\r\n\x1B\x7F\u0085\u00B4"s, U'.');
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "'a\\0b\\t\\r\\n\\x1B\\x7F\\u0085\u00B4' is not a valid "
                                         "floating point value");
    }
}

TEST(ParseStrict, AcceptsTextsThatRoundToTheLargestDouble) {
    constexpr double kMax = std::numeric_limits<double>::max();
    // Just below the midpoint to 2^1024: extended precision rounds it onto the midpoint.
    EXPECT_EQ(static_cast<double>(parseStrict("1.797693134862315807937e308", U'.')), kMax);
    EXPECT_EQ(static_cast<double>(parseStrict("-1.797693134862315807937e308", U'.')), -kMax);
    double v = 0;
    EXPECT_TRUE(tryParse("1.797693134862315807937e308", v, U'.'));
    EXPECT_EQ(v, kMax);
    EXPECT_THROW(parseStrict("1.7976931348623158079372897140530341507994e308", U'.'),
                 ConversionError)
        << "just above the midpoint: infinity";
}

TEST(ParseStrict, TurnsTinyNumbersIntoZeroOrTinyValues) {
    EXPECT_EQ(static_cast<double>(parseStrict("1e-400", U'.')), 0.0);
    EXPECT_EQ(parseStrict("1e-99999999999999999999", U'.'), 0.0L);
    EXPECT_TRUE(std::signbit(parseStrict("-1e-99999", U'.')));
    EXPECT_EQ(parseStrict("0e99999999999999999999", U'.'), 0.0L);
    EXPECT_EQ(static_cast<double>(parseStrict("4.9e-324", U'.')), 4.9e-324);
}

TEST(TryParse, ReturnsFalseAndLeavesTheTargetAlone) {
    double v = 42;
    EXPECT_FALSE(tryParse("-", v, U'.'));
    EXPECT_FALSE(tryParse("", v, U'.'));
    EXPECT_FALSE(tryParse("1e309", v, U'.')); // finite, but beyond a double
    EXPECT_FALSE(tryParse("4.76", v, U','));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(tryParse("4,76", v, U','));
    EXPECT_EQ(v, 4.76);
    EXPECT_TRUE(tryParse("-INF", v, U'.'));
    EXPECT_EQ(v, -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(tryParse("NaN", v, U'.'));
    EXPECT_TRUE(std::isnan(v));
    EXPECT_TRUE(tryParse("1.7976931348623157e308", v, U'.'));
    EXPECT_EQ(v, std::numeric_limits<double>::max());
}

TEST(NumberText, FormattedNumbersParseBack) {
    for (char32_t sep : {U'.', U','})
        for (double v : {0.0, 3.0, 0.2, 12.67, -0.5, 7.8, 2.5e13, 123456.789}) {
            const std::string text = formatFixed(v, 12, 3, sep);
            double back = -1;
            ASSERT_TRUE(tryParse(text, back, sep)) << text;
            EXPECT_NEAR(back, v, std::fabs(v) * 1e-12 + 5e-4) << text;
        }
}

} // namespace
