// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_geometry.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

namespace phbuffer::app {
namespace {

TEST(WindowGeometry, AWindowTooLargeOrOffTheScreenIsFittedInsideIt) {
    const QRect screen(0, 0, 1366, 900);
    const QMargins frame(4, 30, 4, 4);
    const QSize minimum(860, 498);
    const struct {
        QRect wanted;
        QRect fitted;
    } cases[] = {
        {{100, 50, 1218, 775}, {100, 50, 1218, 775}},   // fits: left as it is
        {{-77, -4, 1523, 946}, {4, 30, 1358, 866}},     // a scaled window: shrunk and moved in
        {{900, 600, 1218, 775}, {144, 121, 1218, 775}}, // hanging over the corner: moved in
        {{0, 0, 400, 300}, {4, 30, 860, 498}},          // small: grown to its minimum
    };
    for (const auto& c : cases)
        EXPECT_EQ(fittedOnScreen(c.wanted, screen, minimum, frame), c.fitted)
            << ::testing::PrintToString(c.wanted);
    // A screen smaller than the minimum: the whole screen, never beyond it.
    EXPECT_EQ(fittedOnScreen({0, 0, 1218, 775}, {0, 0, 800, 600}, minimum, frame),
              QRect(4, 30, 792, 566));
}

TEST(WindowGeometry, TheAnalysisWindowGoesBesideTheMainWindowWhereThereIsRoom) {
    const QRect screen(0, 0, 1920, 1080);
    const QSize size(640, 520);
    EXPECT_EQ(besideWindow({0, 0, 1218, 800}, size, screen), QPoint(1218, 0));
    EXPECT_EQ(besideWindow({700, 100, 1218, 800}, size, screen), QPoint(60, 100));
    EXPECT_EQ(besideWindow({300, 700, 1400, 300}, size, screen), QPoint(1280, 560));
}

} // namespace
} // namespace phbuffer::app
