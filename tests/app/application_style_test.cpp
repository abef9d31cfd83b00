// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application_style.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStyle>

using namespace phbuffer::app;

namespace {

TEST(VisualStyle, TravelsInsideTheProgram) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(ApplyVisualStyle(*app), QString());
    EXPECT_TRUE(app->styleSheet().contains(QStringLiteral("QPushButton")));
}

TEST(VisualStyle, AMissingStyleIsReportedAndChangesNothing) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    const QString before = app->styleSheet();
    const QString problem = ApplyVisualStyle(*app, QStringLiteral(":/style/missing.qss"));
    EXPECT_TRUE(problem.contains(QStringLiteral(":/style/missing.qss"))) << problem.toStdString();
    EXPECT_EQ(app->styleSheet(), before);
}

TEST(WindowFont, IsElevenPixelsTahomaOrACondensedSansSerif) {
    const QFont font = WindowFont();
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_EQ(QFontInfo(font).pixelSize(), 11);
    const QString family = QFontInfo(font).family();
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma"))) {
        EXPECT_EQ(family, QStringLiteral("Tahoma"));
    } else if (QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans Condensed"))) {
        EXPECT_EQ(family, QStringLiteral("DejaVu Sans Condensed"));
    }
}

} // namespace
