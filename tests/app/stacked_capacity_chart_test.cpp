// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_driver.h"

#include "app/stacked_capacity_chart.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QAreaSeries>
#include <QLegend>
#include <QLegendMarker>
#include <QTest>
#include <QToolTip>

namespace phbuffer::app::gui {

namespace {

TEST(StackedCapacityChart, ShortensALongSystemNameInTheMiddleAndShowsItWholeOnHover) {
    StackedCapacityChart view;
    view.resize(600, 400);
    view.QWidget::show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    std::vector<model::CapacityBreakdown> profile(2);
    for (std::size_t i = 0; i < profile.size(); ++i) {
        profile[i].pH = 4 + 5.0 * static_cast<double>(i);
        profile[i].water = 0.1;
        profile[i].systems[0].inUse = true;
        profile[i].systems[0].capacity = 1;
    }
    std::array<QString, model::kBufferSystemCount> names;
    names[0] = QStringLiteral("Carbonic acid (CO2-to-bicarbonate and bicarbonate-to-carbonate), "
                              "from the field sheet");
    view.show(profile, names);
    ASSERT_EQ(view.areas().size(), 2);
    QAreaSeries* system = view.areas()[1];
    EXPECT_EQ(system->name(), names[0]);
    const QLegendMarker* marker = view.chart()->legend()->markers(system).value(0);
    ASSERT_NE(marker, nullptr);
    const QString label = marker->label();
    EXPECT_TRUE(label.startsWith(QStringLiteral("Carbonic")) &&
                label.endsWith(QStringLiteral("sheet")) && label.size() < names[0].size())
        << label.toStdString();

    QApplication::setActiveWindow(&view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QPoint at;
    QTRY_VERIFY((at = LegendEntryAt(view, *marker)).x() >= 0);
    QTest::mouseMove(view.viewport(), at);
    QTRY_COMPARE(QToolTip::text(), names[0]);
}

} // namespace

} // namespace phbuffer::app::gui
