// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application_style.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

using namespace phbuffer::app;

namespace {

TEST(VisualStyle, TravelsInsideTheProgramAndAMissingOneChangesNothing) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(applyVisualStyle(*app), QString());
    const QString applied = app->styleSheet();
    EXPECT_TRUE(applied.contains(QStringLiteral("QPushButton")));
    const QString problem = applyVisualStyle(*app, QStringLiteral(":/style/missing.qss"));
    EXPECT_TRUE(problem.contains(QStringLiteral(":/style/missing.qss"))) << problem.toStdString();
    EXPECT_EQ(app->styleSheet(), applied);
}

TEST(windowFont, IsElevenPixelsTahomaOrACondensedSansSerif) {
    const QFontInfo font(windowFont());
    EXPECT_EQ(font.pixelSize(), 11);
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma"))) {
        EXPECT_EQ(font.family(), QStringLiteral("Tahoma"));
    } else if (QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans Condensed"))) {
        EXPECT_EQ(font.family(), QStringLiteral("DejaVu Sans Condensed"));
    }
}

} // namespace
