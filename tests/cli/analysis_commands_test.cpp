// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_run.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <string>
#include <vector>

using phbuffer::test::Cli;
using phbuffer::test::Lines;
using phbuffer::test::Result;

namespace {

// One record per file in the order given, a failed file among them with its message; the
// acid agrees with what "run" says for the same water.
TEST(CommandLine, BatchReportsEveryFileInOrderAndFailsIfAnyFailed) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string low = dir.filePath("low.prn").toStdString();
    const std::string bad = dir.filePath("missing.prn").toStdString();
    const std::string medium = dir.filePath("medium.prn").toStdString();
    ASSERT_EQ(Cli({"--preset", "low", "save", low}).status, 0);
    ASSERT_EQ(Cli({"save", medium}).status, 0);
    const Result r = Cli({"batch", "--at-ph", "4.3", low, bad, medium});
    EXPECT_EQ(r.status, 1);
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines[1].rfind(low + ",8.20,4.50,4.242,", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind(bad + ",,,,,,,,,,,File not found", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3].rfind(medium + ",7.80,4.50,3.299,", 0), 0u) << lines[3];
    EXPECT_NE(lines[3].find(",3.353,"), std::string::npos) << "the acid to pH 4.3";

    const Result json = Cli({"analyse", "--at-ph", "6", "--format", "json"});
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out.rfind("{\"initial_ph\": 7.8, \"lower_target\": 4.5, "
                             "\"acid_to_target_mmol_l\": 3.299,",
                             0),
              0u)
        << json.out;
}

// The pH after a dose added at once, as text or JSON; an analysis with a product's dose
// for the points that need what the product gives.
TEST(CommandLine, PhAfterADoseAndDosesOfAProduct) {
    EXPECT_EQ(Cli({"ph", "--add-base", "0.5"}).out, "pH 8.3737\n");
    EXPECT_EQ(Cli({"--titrant", "base", "run"}).out, "OH- used to reach upper target: 0.31\n");
    EXPECT_EQ(Cli({"--decimal-separator", ",", "--titrant=base", "--upper-target", "9", "run"}).out,
              "OH- used to reach upper target: 1,78\n");
    EXPECT_EQ(Cli({"--decimal-separator", ",", "ph", "--add-base", "0,5"}).out, "pH 8,3737\n");
    // The water's conditions: an independent code gives pH 6.308493 here.
    EXPECT_EQ(Cli({"--preset", "high", "--temperature", "10", "--ionic-strength", "10", "ph",
                   "--add-acid", "1"})
                  .out,
              "pH 6.3085\n");
    const Result json = Cli({"ph", "--add-acid", "1", "--format", "json"});
    EXPECT_EQ(json.out.rfind("{\"acid_mmol_l\": 1, \"base_mmol_l\": 0, \"ph\": 6.76", 0), 0u)
        << json.out;
    const Result dose = Cli({"analyse", "--dose", "hcl-33", "--volume", "250", "--format", "json"});
    EXPECT_EQ(dose.status, 0);
    EXPECT_NE(dose.out.find("\"p_value_mmol_l\": -0.31, \"m_value_mmol_l\": 3.353"),
              std::string::npos)
        << dose.out;
    EXPECT_NE(dose.out.find("\"dose\": null"), std::string::npos) << "pH 8.2 needs base";
    EXPECT_NE(dose.out.find("\"dose\": {\"product\": \"hcl-33\", \"kg\": 92.61"),
              std::string::npos);
}

// A file name that a spreadsheet would run as a formula comes out as text.
TEST(CommandLine, BatchDefusesAFileNameThatLooksLikeAFormula) {
    const Result r = Cli({"batch", "=1+1.prn"});
    EXPECT_EQ(r.status, 1);
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    EXPECT_EQ(lines[1].rfind("'=1+1.prn,,,,,,,", 0), 0u) << lines[1];
}

} // namespace
