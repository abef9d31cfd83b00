// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/number_format.h"

#include <gtest/gtest.h>

using namespace phbuffer::ui;

namespace {

TEST(keepQuantitiesTogether, JoinsEveryNumberToItsUnitOrNameAndKeepsTheUnitWhole) {
    const QString nbsp(QChar(0x00A0));
    EXPECT_EQ(keepQuantitiesTogether(
                  QStringLiteral("Run stopped at pH -0,5 after 2.1 mmol/L H+; lower target")),
              QStringLiteral("Run stopped at pH") + nbsp + QStringLiteral("-0,5 after 2.1") + nbsp +
                  QStringLiteral("mmol/\u2060L") + nbsp + QStringLiteral("H+; lower target"));
    EXPECT_EQ(keepQuantitiesTogether(QStringLiteral("H+ used to reach lower target: 3.30")),
              QStringLiteral("H+ used to reach lower target: 3.30"));
}

} // namespace
