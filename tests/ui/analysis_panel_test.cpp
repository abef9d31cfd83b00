// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/analysis_panel.h"

#include "../files/memory_file_system.h"
#include "../model/preset_water.h"
#include "../qstring_printer.h"
#include "started_form.h"

#include "files/text_file.h"

#include <gtest/gtest.h>

using namespace phbuffer;

namespace {

TEST(AnalysisPanel, BreakdownRowsAreTheWaterTheSystemsInUseAndTheTotal) {
    const model::WaterState water = model::PresetWaterState(model::Preset::Medium, 4.5);
    const model::CapacityBreakdown capacity = model::bufferCapacityAt(water, 6.3);
    std::array<QString, model::kBufferSystemCount> names;
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = QStringLiteral("system %1").arg(i + 1);
    const std::vector<ui::BreakdownRow> rows = ui::breakdownRows(capacity, names);

    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows.front().name, QStringLiteral("Water"));
    EXPECT_FALSE(rows.front().fractions);
    EXPECT_EQ(rows.back().name, QStringLiteral("Total"));
    EXPECT_EQ(rows.back().value, capacity.total);
    EXPECT_EQ(rows.back().share, 100);
    std::size_t inUse = 0;
    double shares = 0;
    for (std::size_t i = 0; i < capacity.systems.size(); ++i) {
        if (!capacity.systems[i].inUse)
            continue;
        const ui::BreakdownRow& row = rows[++inUse];
        EXPECT_EQ(row.name, names[i]);
        EXPECT_EQ(row.value, capacity.systems[i].capacity);
        ASSERT_TRUE(row.fractions);
        EXPECT_EQ(*row.fractions, capacity.systems[i].fractions);
    }
    EXPECT_EQ(rows.size(), inUse + 2) << "the unused rows are left out";
    for (std::size_t r = 0; r + 1 < rows.size(); ++r)
        shares += rows[r].share;
    EXPECT_NEAR(shares, 100, 1e-9);
}

TEST(AnalysisPanel, ProfilesSpanTheRunAndTheWholeScaleEndsIncluded) {
    const model::RunDescription description = model::PresetRunDescription(model::Preset::Low, 4.5);
    const model::WaterState water = model::waterOf(description);
    const ui::AnalysisView view = ui::computeAnalysisView(description, {8.2, 4.3}, nullptr);
    ASSERT_EQ(view.capacityProfile.size(), static_cast<std::size_t>(ui::kProfilePoints));
    EXPECT_EQ(view.capacityProfile.front().pH, water.pH);
    EXPECT_EQ(view.capacityProfile.back().pH, view.analysis.rows.back().pH);
    ASSERT_EQ(view.speciesProfile.size(), static_cast<std::size_t>(ui::kProfilePoints));
    EXPECT_EQ(view.speciesProfile.front().pH, ui::kSpeciesMaxPh);
    EXPECT_EQ(view.speciesProfile.back().pH, ui::kSpeciesMinPh);
    EXPECT_EQ(view.analysis.points.size(), 2u);
}

class AnalysisExport : public test::StartedForm {
protected:
    AnalysisExport() {
        form.Files = &files;
        form.ExecuteFileDialog = [this](ui::FileDialog& dialog, ui::FileDialogKind kind) {
            shownExt = dialog.DefaultExt;
            shownFilter = dialog.Filter;
            EXPECT_EQ(kind, ui::FileDialogKind::Save);
            return answer;
        };
    }
    test::MemoryFileSystem files;
    QString shownExt;
    QString shownFilter;
    std::optional<QString> answer;
};

TEST_F(AnalysisExport, WritesTheWholeRunAsCsvUnderTheChosenNameOrNothingOnCancel) {
    const ui::Analysis analysis =
        ui::analyseWater(model::PresetRunDescription(model::Preset::Medium, 4.5), {8.2, 4.3});
    ui::exportAnalysis(form, analysis);
    EXPECT_TRUE(files.Files.empty());

    answer = QStringLiteral("/data/raw water");
    ui::exportAnalysis(form, analysis);
    EXPECT_EQ(shownExt, QStringLiteral("csv"));
    EXPECT_EQ(shownFilter, QStringLiteral("CSV files (*.csv)|*.CSV"));
    ASSERT_EQ(files.Files.count(QStringLiteral("/data/raw water.csv")), 1u);
    EXPECT_EQ(files.Files[QStringLiteral("/data/raw water.csv")],
              files::toWindows1252(ui::analysisCsv(analysis, U'.', false)));
    EXPECT_EQ(form.SaveDialog1.FileName, QStringLiteral("/data/raw water.csv"))
        << "offered next time";
}

} // namespace

namespace phbuffer::ui {
namespace {

TEST(AddedPh, StandardEndPointsFirstThenTheAddedOnesFromHighToLowOnce) {
    std::vector<double> atPh = standardEndPoints();
    for (double pH : {5.0, 9.5, 6.0, 5.0})
        atPh = withAddedPh(atPh, pH);
    EXPECT_EQ(atPh, (std::vector<double>{8.2, 4.3, 9.5, 6.0, 5.0}));
}

TEST(AddedPh, IsReadWithTheGridsDecimalSeparatorAndToldInIt) {
    EXPECT_EQ(readTypedPh(QStringLiteral("6,2"), U',').pH, 6.2);
    const TypedPh point = readTypedPh(QStringLiteral("6.2"), U',');
    EXPECT_FALSE(point.pH);
    EXPECT_EQ(point.message,
              QStringLiteral("\"6.2\" is not a number with ',' as decimal separator."));
    EXPECT_EQ(readTypedPh(QStringLiteral("17"), U',').message,
              QStringLiteral("\"17\" is not a pH between -2 and 16."));
}

} // namespace
} // namespace phbuffer::ui
