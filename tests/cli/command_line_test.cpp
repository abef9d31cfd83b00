// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_line.h"
#include "cli_run.h"

#include "ui/main_form.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

using phbuffer::cli::runCommandLine;

using phbuffer::test::Cli;
using phbuffer::test::Lines;
using phbuffer::test::Result;

namespace {

TEST(CommandLine, RunPrintsTheLabel) {
    const Result r = Cli({"run"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "H+ used to reach lower target: 3.30\n");
    EXPECT_EQ(r.err, "");
}

TEST(CommandLine, LowPresetBufferViewWithPoints) {
    const Result r = Cli({"--preset", "low", "--view", "buffer", "run", "--points"});
    ASSERT_EQ(r.status, 0);
    const auto lines = Lines(r.out);
    ASSERT_GT(lines.size(), 100u);
    EXPECT_EQ(lines[0], "H+ used to reach lower target: 4.24");
    double previousPH = -1;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::size_t tab = lines[i].find('\t');
        ASSERT_NE(tab, std::string::npos) << lines[i];
        EXPECT_EQ(lines[i].size() - lines[i].find('.', tab), 4u) << "three decimals";
        const double pH = std::stod(lines[i].substr(0, tab));
        EXPECT_GT(pH, previousPH) << "ascending pH";
        previousPH = pH;
    }
    EXPECT_LT(previousPH, 8.2);
}

TEST(CommandLine, TitrationPointsStartAtTheInitialPH) {
    const Result r = Cli({"run", "--points", "--decimal-separator", ","});
    const auto lines = Lines(r.out);
    ASSERT_GT(lines.size(), 2u);
    EXPECT_EQ(lines[0], "H+ used to reach lower target: 3,30");
    EXPECT_EQ(lines[1], "0,000\t7,800");
}

TEST(CommandLine, CellsAndEditApplyInOrder) {
    std::vector<std::string> args;
    for (int r = 1; r <= 9; ++r)
        args.insert(args.end(), {"--cell", "1:1:" + std::to_string(r) + "=0"});
    args.insert(args.end(), {"--cell", "1:1:9=5", "--cell", "1:1:9=1", "--cell", "1:2:9=4.76",
                             "--cell", "2:1:0=7", "run"});
    EXPECT_EQ(Cli(args).out, "H+ used to reach lower target: 0.67\n");
}

TEST(CommandLine, CO2PrintsTheNewConcentration) {
    EXPECT_EQ(Cli({"co2"}).out, "0.395\n");
    EXPECT_EQ(Cli({"--ph-edit", "7", "co2"}).out, "0.075\n");
    EXPECT_EQ(Cli({"--preset", "high", "--ph-edit", "x", "co2"}).out.substr(0, 2), "0.");
}

TEST(CommandLine, GridPrintsBothGrids) {
    const auto lines = Lines(Cli({"--preset", "low", "--cell", "2:1:1=1500", "grid"}).out);
    // The texts are the form's, as the low preset button and the typed cell leave them.
    phbuffer::ui::TpHmainForm form;
    form.FormShow(&form);
    form.ZPmediumBitBtnClick(&form.ZPlowBitBtn);
    form.StringGrid2.Cells(1, 1) = QStringLiteral("1500");
    std::vector<std::string> expected;
    for (const phbuffer::ui::StringGrid* grid : {&form.StringGrid1, &form.StringGrid2}) {
        if (grid == &form.StringGrid2)
            expected.emplace_back();
        for (int r = 0; r < grid->RowCount; ++r) {
            QStringList fields;
            for (int c = 0; c < grid->ColCount; ++c)
                fields << grid->Cells(c, r);
            expected.push_back(fields.join(QLatin1Char('\t')).toStdString());
        }
    }
    EXPECT_EQ(lines, expected);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[12].substr(lines[12].find('\t')), "\t1500");
}

TEST(CommandLine, OutputThatCanNotBeWrittenIsAFailure) {
    struct Refusing : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
    } refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    EXPECT_EQ(runCommandLine({"grid"}, out, err), 1);
    EXPECT_EQ(err.str().rfind("phbuffer-cli: could not write to standard output", 0), 0u)
        << err.str();
}

TEST(CommandLine, HandlerFailureGoesToStderrWithStatusOne) {
    const Result r = Cli({"--cell", "1:1:5=", "run"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "'' is not a valid floating point value.\n");
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

TEST(CommandLine, SaveThenLoadBetweenPresetAndCells) {
    QTemporaryDir dir;
    const std::string water = dir.filePath("water").toStdString();
    const Result saved = Cli({"--cell", "1:1:2=0.5", "--cell", "2:0:2=pCO2", "save", water});
    EXPECT_EQ(saved.status, 0);
    EXPECT_EQ(saved.out + saved.err, "");
    const QByteArray bytes = FileBytes(dir.filePath("water.prn"));
    EXPECT_TRUE(bytes.startsWith("\tConc. [mM]\tpKa_1\tpKa_2\tpKa_3\r\n")) << bytes.toStdString();
    EXPECT_TRUE(bytes.endsWith("\r\n\r\nIntial pH\t7.80\r\nHenry\xB4s constant [atm/(mole "
                               "fraction)]\t1640\r\npCO2\t426\r\nLower pH target\t4.50\r\n"));

    // The preset comes before the file, so the file wins; the cell comes after it.
    const auto lines =
        Lines(Cli({"--preset", "low", "--load", water + ".prn", "--cell", "2:1:3=4", "grid"}).out);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[1], "Dissolved Inorganic Carbon (CO2-total)\t3.000\t6.38\t10.32\t-");
    EXPECT_EQ(lines[2], "Acetic acid\t0.5\t4.76\t-\t-");
    EXPECT_EQ(lines[13], "pCO2\t426");
    EXPECT_EQ(lines[14], "Lower pH target\t4");
}

TEST(CommandLine, RunExportsTheSelectedCurve) {
    QTemporaryDir dir;
    const Result r = Cli({"run", "--export", dir.filePath("curve").toStdString()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "H+ used to reach lower target: 3.30\n");
    const QByteArray curve = FileBytes(dir.filePath("curve.txt"));
    EXPECT_TRUE(curve.startsWith("0.000\t7.800\r\n")) << curve.left(40).toStdString();
    EXPECT_TRUE(curve.endsWith("\r\n"));
}

TEST(CommandLine, FileErrorsGoToStderrWithStatusOne) {
    QTemporaryDir dir;
    const std::string missingFolder = dir.filePath("missing/water").toStdString();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"save", missingFolder}, "Invalid filename.\n"},
        {{"--load", dir.filePath("missing.prn").toStdString(), "grid"}, "File not found.\n"},
        {{"--load", dir.path().toStdString(), "grid"}, "File access denied.\n"},
        {{"run", "--export", missingFolder}, "Invalid filename.\n"},
    };
    for (const auto& [args, message] : cases) {
        const Result r = Cli(args);
        EXPECT_EQ(r.status, 1) << args[1];
        EXPECT_EQ(r.err, message) << args[1];
    }
    EXPECT_EQ(QDir(dir.path()).count(), 2u) << "nothing was created";
}

TEST(CommandLine, RunChartGoesToTheWriterAtTheDefaultOrTheGivenSize) {
    struct Written {
        QString path;
        int width;
        int height;
        QString title;
        qsizetype points;
    };
    std::vector<Written> written;
    const phbuffer::cli::ChartWriter writer = [&](const QString& path, int width, int height,
                                                  const phbuffer::ui::TpHmainForm& form) {
        written.push_back({path, width, height, form.Chart1.Title,
                           static_cast<qsizetype>(form.selectedSeries()->Count())});
    };
    std::ostringstream out, err;
    EXPECT_EQ(runCommandLine({"run", "--chart", "a.SVG"}, out, err, nullptr, writer), 0);
    EXPECT_EQ(
        runCommandLine({"--view", "buffer", "run", "--chart", "b.pdf", "--chart-size", "640x480"},
                       out, err, nullptr, writer),
        0);
    ASSERT_EQ(written.size(), 2U);
    EXPECT_EQ(written[0].path, QStringLiteral("a.SVG"));
    EXPECT_EQ(written[0].width, 1218);
    EXPECT_EQ(written[0].height, 454);
    EXPECT_EQ(written[0].title, QStringLiteral("Titration curve"));
    EXPECT_GT(written[0].points, 1) << "written after the run";
    EXPECT_EQ(written[1].width, 640);
    EXPECT_EQ(written[1].height, 480);
    EXPECT_EQ(written[1].title, QStringLiteral("Buffer capacity"));

    const Result without = Cli({"run", "--chart", "a.png"});
    EXPECT_EQ(without.status, 1) << "a binary built without the chart says so";
}

// --progress tells only of steps taken: nothing for a run refused before it starts, and never
// the empty progress of a run that has not begun.
TEST(CommandLine, ProgressStartsWithTheFirstStep) {
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"--progress", "--cell", "2:1:3=abc", "run"}, 1},
        {{"--progress", "--cell", "2:1:0=abc", "analyse"}, 1},
        {{"--progress", "run"}, 0},
        {{"--progress", "--preset", "low", "analyse"}, 0},
    };
    for (const auto& c : cases) {
        const Result r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << ::testing::PrintToString(c.args);
        EXPECT_EQ(r.err.find("pH 0.00, 0.00 mmol/L"), std::string::npos) << r.err;
        if (c.status != 0) {
            EXPECT_EQ(r.err, "'abc' is not a valid floating point value.\n");
        }
    }
}

TEST(CommandLine, UsageErrorsExitWithTwo) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"fly"},
             {"run", "grid"},
             {"--preset", "huge", "run"},
             {"--view", "sideways", "run"},
             {"--cell", "3:0:0=x", "grid"},
             {"--cell", "1:5:0=x", "grid"},
             {"--cell", "1:1:1", "grid"},
             {"--decimal-separator", ",,", "run"},
             {"grid", "--points"},
             {"--frobnicate", "run"},
             {"run", "--preset"},
             {"save"},
             {"save", ""},
             {"run", "--chart", "curve.jpg"},
             {"run", "--chart", "curve"},
             {"grid", "--chart", "curve.svg"},
             {"run", "--chart-size", "10x10"},
             {"run", "--chart", "c.png", "--chart-size", "10"},
             {"run", "--chart", "c.png", "--chart-size", "0x5"},
             {"--load", "", "grid"},
             {"grid", "--export", "a.txt"},
             {"run", "--export"},
             // an option is not the value of the one before
             {"run", "--export", "--points"},
             {"save", "--points"},
             {"--ph-edit", "--view", "buffer", "co2"},
             // outside the grid, or beyond an int
             {"--cell", "2:1:4=x", "grid"},
             {"--cell", "1:-1:1=x", "grid"},
             {"--cell", "4294967297:1:1=x", "grid"},
             {"--cell", "1:1:1:1=x", "grid"},
             // a separator that reads as part of a number
             // or a field boundary, or is no character
             {"--decimal-separator", "5", "grid"},
             {"--decimal-separator", "-", "grid"},
             {"--decimal-separator", "e", "grid"},
             {"--decimal-separator", "E", "grid"},
             {"--decimal-separator", " ", "grid"},
             {"--decimal-separator", "\t", "grid"},
             {"--decimal-separator", "\r", "grid"},
             {"--decimal-separator", "\n", "grid"},
             {"--decimal-separator", "\x01", "grid"},
             {"--decimal-separator", "\xC3", "grid"},
             {"--decimal-separator", "", "grid"},
             // the analysis commands' own options
             {"analyse", "--at-ph", "x"},
             {"analyse", "--at-ph", "17"},
             {"analyse", "--at-ph"},
             {"analyse", "--format", "xml"},
             {"run", "--at-ph", "4"},
             {"batch"},
             {"batch", "--format", "text", "a.prn"},
             {"--preset", "low", "batch", "a.prn"},
             // a value after "=", where one is taken
             {"--points=yes", "run"},
             {"--preset=", "run"},
             {"--load=", "grid"},
             // doses, and the pH after a dose
             {"analyse", "--dose", "hcl-34", "--volume", "1"},
             {"analyse", "--dose", "hcl-33"},
             {"analyse", "--dose", "hcl-33", "--volume", "0"},
             {"run", "--dose", "hcl-33", "--volume", "1"},
             {"ph"},
             {"ph", "--add-acid", "1", "--add-base", "1"},
             {"ph", "--add-base", "-1"},
             {"ph", "--add-base", "1", "--format", "csv"},
             {"analyse", "--add-acid", "1"},
             {"--titrant", "lye", "run"},
             {"--titrant", "base", "--upper-target", "17", "run"}}) {
        const Result r = Cli(args);
        EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(r.err.find("Usage: phbuffer-cli"), std::string::npos);
        EXPECT_EQ(r.out, "");
    }
    const Result help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: phbuffer-cli", 0), 0u);
    EXPECT_EQ(Cli({"-h"}).out, help.out);
    EXPECT_EQ(Cli({"--preset=low", "--cell=1:1:2=0.5", "run"}).out,
              Cli({"--preset", "low", "--cell", "1:1:2=0.5", "run"}).out);
}

} // namespace

namespace {

// What the user typed and named comes out as it stands: the grid's names in the results,
// a file name in the bytes it was given, and a cell that would break the data file apart
// refused, named.
TEST(CommandLine, NamesComeOutAsTheUserGaveThem) {
    const Result named = Cli({"--cell", "1:0:2=Volatile acids", "analyse", "--format", "csv"});
    EXPECT_EQ(named.status, 0);
    EXPECT_NE(named.out.find("Volatile acids [mmol/L per pH]"), std::string::npos) << named.out;
    EXPECT_EQ(named.out.find("Acetic acid"), std::string::npos);

    const std::pair<std::string, std::string> broken[] = {
        {"1:0:2=Acetic\nacid", "The name in row 2 holds a line break"},
        {"1:3:2=4.76\r", "The cell \"Acetic acid\", \"pKa_2\" holds a line break"},
    };
    for (const auto& [cell, message] : broken) {
        const Result r = Cli({"--cell", cell, "save", "never"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind(message, 0), 0u) << r.err;
        EXPECT_FALSE(QFile::exists("never.prn"));
    }

    QTemporaryDir dir;
    const std::string latin1 = QFile::encodeName(dir.path()).toStdString() + "/lat\xe9";
    ASSERT_EQ(Cli({"--preset", "low", "save", latin1}).status, 0);
    const Result batch = Cli({"batch", latin1 + ".prn"});
    EXPECT_EQ(batch.status, 0) << batch.out;
    const auto lines = Lines(batch.out);
    ASSERT_EQ(lines.size(), 2u) << batch.out;
    EXPECT_EQ(lines[1].rfind(dir.path().toStdString() + "/lat\\xe9.prn,8.20,4.50,4.242,", 0), 0u)
        << lines[1];
    EXPECT_EQ(::unlink((latin1 + ".prn").c_str()), 0) << "saved under its own bytes";
}

} // namespace
