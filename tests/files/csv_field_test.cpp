// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/csv_field.h"

#include <gtest/gtest.h>

namespace {

// A text a spreadsheet would run as a formula is defused; a cell that would break the row is
// quoted; anything else is left as it is.
TEST(CsvTextField, DefusesFormulasAndQuotesWhatWouldBreakTheRow) {
    const struct {
        const char* text;
        char separator;
        const char* cell;
    } cases[] = {
        {"low.prn", ',', "low.prn"},
        {"", ',', ""},
        {"=HYPERLINK(\"x\")", ',', "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+1", ',', "'+1"},
        {"-2", ',', "'-2"},
        {"@SUM(A1)", ',', "'@SUM(A1)"},
        {"\tx", ',', "'\tx"},
        {"\rx", ',', "\"'\rx\""},
        {"a,b", ',', "\"a,b\""},
        {"a,b", ';', "a,b"},
        {"a;b", ';', "\"a;b\""},
        {"a\nb", ';', "\"a\nb\""},
        {"a\rb", ',', "\"a\rb\""},
        {"say \"hi\"", ',', "\"say \"\"hi\"\"\""},
        {"x=1", ',', "x=1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(phbuffer::files::csvTextField(QString::fromUtf8(c.text), QChar(c.separator)),
                  QString::fromUtf8(c.cell))
            << c.text;
}

} // namespace
