// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/analysis.h"

#include "../model/preset_water.h"
#include "../qstring_printer.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace phbuffer;

namespace {

TEST(Analysis, ReportsEachPointWithAcidOrBaseAndTheTargetFromTheRun) {
    const model::RunDescription description =
        model::PresetRunDescription(model::Preset::Medium, 4.5);
    const model::WaterState water = model::waterOf(description);
    const ui::Analysis a = ui::analyseWater(description, {4.3, 9.0, 8.2});
    model::WaterState own = water;
    model::Series t, b;
    const model::RunOutcome run = model::runTitration(own, t, b, nullptr);
    EXPECT_FALSE(a.stopped);
    EXPECT_EQ(a.steps, run.StepCount);
    EXPECT_EQ(a.finalPh, own.pH);
    ASSERT_EQ(a.points.size(), 3u);
    EXPECT_EQ(a.points[0].atPh, 4.3);
    EXPECT_GT(a.points[0].steps, a.steps) << "below the target, the run went on for it";
    EXPECT_EQ(a.points[1].steps, 0u) << "above the initial pH no acid is needed";
    EXPECT_GT(a.points[1].baseSteps, 0u) << "but base";
    EXPECT_GT(a.points[1].pH, 9.0) << "the first base step past it";
    EXPECT_EQ(a.points[0].baseSteps, 0u);
    // The rows follow the run to its target only, highest pH first.
    ASSERT_FALSE(a.rows.empty());
    EXPECT_GT(a.rows.front().pH, a.rows.back().pH);
    EXPECT_GE(a.rows.back().pH, a.finalPh);
}

TEST(Analysis, JsonReadsBackToTheSameNumbers) {
    const ui::Analysis a =
        ui::analyseWater(model::PresetRunDescription(model::Preset::Low, 4.5), {4.3});
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(ui::analysisJson(a).toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject o = doc.object();
    EXPECT_EQ(o["initial_ph"].toDouble(), 8.2);
    EXPECT_EQ(o["acid_to_target_mmol_l"].toDouble(), a.steps / 1000.0);
    EXPECT_EQ(o["final_ph"].toDouble(), a.finalPh);
    const QJsonObject p = o["points"].toArray()[0].toObject();
    EXPECT_EQ(p["ph"].toDouble(), a.points[0].pH);
    const QJsonArray systems = p["buffer_capacity"].toObject()["systems"].toArray();
    ASSERT_EQ(systems.size(), 9);
    EXPECT_EQ(systems[0].toObject()["name"].toString(),
              QStringLiteral("Dissolved Inorganic Carbon (CO2-total)"));
    EXPECT_EQ(systems[8].toObject()["value"].toDouble(), 0);
    EXPECT_EQ(systems[0].toObject()["value"].toDouble(), a.points[0].capacity.systems[0].capacity);
    EXPECT_EQ(ui::jsonString(QStringLiteral("a\"b\\\n")), QStringLiteral("\"a\\\"b\\\\\\u000a\""));
    EXPECT_EQ(ui::jsonNumber(0.1), QStringLiteral("0.1"));
}

TEST(Analysis, CsvOpensAsATableInTheUsersLocale) {
    model::RunDescription water = model::PresetRunDescription(model::Preset::Medium, 6);
    water.systems[1].name = "Acetic \"acid\", glacial";
    const ui::Analysis a = ui::analyseWater(water, {});
    const QStringList comma = ui::analysisCsv(a, U',', false).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(comma[0].startsWith(QStringLiteral("acid [mmol/L];pH;numeric")));
    EXPECT_TRUE(
        comma[0].contains(QStringLiteral(";\"Acetic \"\"acid\"\", glacial [mmol/L per pH]\"")));
    EXPECT_TRUE(comma[1].startsWith(QStringLiteral("0,")));
    EXPECT_EQ(comma[1].count(QLatin1Char(';')), comma[0].count(QLatin1Char(';')));
    const QStringList point = ui::analysisCsv(a, U'.', true).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(point[0].startsWith(QStringLiteral("at pH,acid [mmol/L],pH,analytic")));
    EXPECT_EQ(point.size(), 2) << "the header, then nothing after its line end";
}

} // namespace

namespace {

// The p-value is the acid to pH 8.2, or minus the base to it from below; the m-value the
// same to pH 4.3; both exact to the step, and in the JSON as they are.
TEST(Analysis, GivesThePAndMValuesOfWaterAnalysisAsTheJsonReadsThem) {
    const ui::Analysis medium =
        ui::analyseWater(model::PresetRunDescription(model::Preset::Medium, 4.5), {});
    ASSERT_TRUE(medium.pValue && medium.mValue);
    EXPECT_EQ(*medium.pValue, -0.310) << "a base capacity of 0.310 mmol/L";
    EXPECT_EQ(*medium.mValue, 3.353);
    const QJsonObject o = QJsonDocument::fromJson(ui::analysisJson(medium).toUtf8()).object();
    EXPECT_EQ(o["p_value_mmol_l"].toDouble(), -0.310);
    EXPECT_EQ(o["m_value_mmol_l"].toDouble(), 3.353);
    const ui::Analysis low =
        ui::analyseWater(model::PresetRunDescription(model::Preset::Low, 4.5), {});
    EXPECT_EQ(low.pValue, 0.0) << "the low water starts at pH 8.2";
}

} // namespace

namespace {

// At 37 °C and 50 mmol/L the breakdown uses the constants the run used: along the run its
// analytic total follows the titration's own measure.
TEST(Analysis, TheBreakdownAtConditionsFollowsTheNumericCurve) {
    model::RunDescription description = model::PresetRunDescription(model::Preset::Medium, 4.5);
    description.conditions = {37, 0.05};
    const ui::Analysis a = ui::analyseWater(description, {});
    ASSERT_GT(a.rows.size(), 100u);
    for (const ui::AnalysisRow& r : a.rows)
        ASSERT_NEAR(r.capacity.total, r.numericCapacity, 0.03 * r.numericCapacity) << r.pH;
}

} // namespace
