// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/plot_export.h"

#include "files/memory_file_system.h"

#include <gtest/gtest.h>

using namespace phbuffer;
using test::MemoryFileSystem;

namespace {

TEST(PlotExport, WritesOneCrLfLinePerPointInStoredOrder) {
    model::Series series;
    series.AddXY(0.25, 7);
    series.AddXY(-0.0001, 12.3456);
    series.AddXY(0.25, 7);
    MemoryFileSystem fs;
    files::exportPlotData(fs, "curve.txt", &series, U',');
    EXPECT_EQ(fs.Files["curve.txt"],
              QByteArray("0,000\t12,346\r\n0,250\t7,000\r\n0,250\t7,000\r\n"));
}

TEST(PlotExport, NoPointsOrNoSeriesGiveAnEmptyFile) {
    MemoryFileSystem fs;
    fs.Files["a.txt"] = fs.Files["b.txt"] = "old";
    model::Series empty;
    files::exportPlotData(fs, "a.txt", &empty, U'.');
    files::exportPlotData(fs, "b.txt", nullptr, U'.');
    EXPECT_EQ(fs.Files["a.txt"], QByteArray());
    EXPECT_EQ(fs.Files["b.txt"], QByteArray());
}

} // namespace
