// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pinned_curves.h"

#include "../qstring_printer.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

#include <set>

using namespace phbuffer;

namespace {

model::Series Curve(double x0, double y0, double x1, double y1) {
    model::Series s;
    s.AddXY(x0, y0);
    s.AddXY(x1, y1);
    return s;
}

TEST(PinnedCurves, AreNamedAfterTheWatersSourceOrTheRunsCount) {
    ui::TpHmainForm form;
    ui::PinnedCurves pinned;
    pinned.runShown();
    EXPECT_EQ(pinned.shownName(), QStringLiteral("Run 1"));
    pinned.presetChosen(form.ZPhighBitBtn);
    EXPECT_EQ(pinned.shownName(), QStringLiteral("Run 1")) << "named when the run is shown";
    pinned.runShown();
    EXPECT_EQ(pinned.shownName(), QStringLiteral("Zorva-PIKE high"));
    pinned.dataFileLoaded(QStringLiteral("/lab/samples/raw.prn"));
    pinned.runShown();
    EXPECT_EQ(pinned.shownName(), QStringLiteral("raw.prn"));
}

/// A translation that puts the verb of a preset's caption after the name.
class VerbLastTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* sourceText, const char* = nullptr,
                      int = -1) const override {
        if (qstrcmp(context, "PinnedCurves") == 0 && qstrcmp(sourceText, "Set %1") == 0)
            return QStringLiteral("%1 laden");
        return {};
    }
    bool isEmpty() const override { return false; }
};

TEST(PinnedCurves, NameAPresetInTheWordOrderOfItsTranslatedCaption) {
    int argc = 1;
    char program[] = "test_ui";
    char* argv[] = {program, nullptr};
    const QCoreApplication app(argc, argv);
    VerbLastTranslator translator;
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    const ui::TpHmainForm form;
    EXPECT_EQ(form.ZPhighBitBtn.Caption, QStringLiteral("Zorva-PIKE high laden"));
    ui::PinnedCurves pinned;
    pinned.presetChosen(form.ZPhighBitBtn);
    pinned.runShown();
    EXPECT_EQ(pinned.shownName(), QStringLiteral("Zorva-PIKE high"));
}

TEST(PinnedCurves, KeepInDistinctColoursUntilRemovedOneByOneOrAll) {
    ui::PinnedCurves pinned;
    pinned.runShown();
    EXPECT_FALSE(pinned.keep(model::Series(), model::Series())) << "nothing shown, nothing kept";
    const model::Series t = Curve(0, 8, 1, 5);
    const model::Series b = Curve(5, 0.2, 8, 1.1);
    for (std::size_t i = 0; i < ui::kPinnedCurvePalette.size(); ++i)
        ASSERT_TRUE(pinned.keep(t, b));
    std::set<std::uint32_t> colours;
    for (const ui::PinnedCurve& c : pinned.curves())
        colours.insert(c.colour);
    EXPECT_EQ(colours.size(), ui::kPinnedCurvePalette.size());
    EXPECT_EQ(pinned.curves().front().name, QStringLiteral("Run 1"));
    EXPECT_EQ(pinned.curves().front().titration.size(), 2u);

    // A removed curve's colour is the next one given.
    const std::uint32_t second = pinned.curves()[1].colour;
    pinned.remove(1);
    pinned.remove(99);
    EXPECT_EQ(pinned.curves().size(), ui::kPinnedCurvePalette.size() - 1);
    ASSERT_TRUE(pinned.keep(t, b));
    EXPECT_EQ(pinned.curves().back().colour, second);
    pinned.removeAll();
    EXPECT_TRUE(pinned.curves().empty());
}

TEST(PinnedCurves, WidenTheAxesOfTheShownViewOnly) {
    ui::PinnedCurves pinned;
    pinned.runShown();
    model::Series t = Curve(0, 8, 3, 4);
    t.AddXY(4, std::numeric_limits<double>::quiet_NaN());
    ASSERT_TRUE(pinned.keep(t, Curve(4, 0.5, 8, 9)));
    const ui::AxisRanges base{0, 1, 2};
    const ui::AxisRanges titration = ui::widenedRanges(base, pinned.curves(), true);
    EXPECT_EQ(titration.xMin, 0);
    EXPECT_EQ(titration.xMax, 3) << "the point that is not a number is left out";
    EXPECT_EQ(titration.yMax, 8);
    const ui::AxisRanges buffer = ui::widenedRanges(base, pinned.curves(), false);
    EXPECT_EQ(buffer.xMax, 8);
    EXPECT_EQ(buffer.yMax, 9);
}

} // namespace
