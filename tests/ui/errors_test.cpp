// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/errors.h"

#include "model/number_text.h"

#include <gtest/gtest.h>

using phbuffer::ui::errorBoxText;

namespace {

TEST(ErrorBox, AddsAFullStopUnlessTheMessageEndsInOneOrBelow) {
    EXPECT_EQ(errorBoxText(QStringLiteral("File not found")), QStringLiteral("File not found."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Done.")), QStringLiteral("Done."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Why!")), QStringLiteral("Why!"));   // U+0021
    EXPECT_EQ(errorBoxText(QStringLiteral("(see)")), QStringLiteral("(see)")); // U+0029
    EXPECT_EQ(errorBoxText(QStringLiteral("a-")), QStringLiteral("a-"));       // U+002D
    EXPECT_EQ(errorBoxText(QStringLiteral("a/")), QStringLiteral("a/."));      // U+002F
    EXPECT_EQ(errorBoxText(QStringLiteral("'x'")), QStringLiteral("'x'"));     // U+0027
    EXPECT_EQ(errorBoxText(QString()), QStringLiteral("."));
}

TEST(ErrorBox, ShowsTheConversionErrorWithItsFullStop) {
    try {
        phbuffer::model::parseStrict("3,000", U'.');
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_EQ(errorBoxText(e), QStringLiteral("'3,000' is not a valid floating point value."));
    }
}

} // namespace
