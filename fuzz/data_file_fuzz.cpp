// SPDX-License-Identifier: GPL-3.0-or-later
//
// libFuzzer target for loading a water quality data file from arbitrary bytes: a refused
// file changes nothing, and whatever loads saves and loads again unchanged.
#include "files/text_file.h"
#include "files/water_quality_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace phbuffer::files;

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

/// Texts that no loaded cell holds, so that any cell the loader writes shows.
WaterQualityTexts Untouched() {
    WaterQualityTexts texts;
    for (auto& row : texts.BufferSystems)
        row.fill(QStringLiteral("\t"));
    for (auto& row : texts.WaterParameters)
        row.fill(QStringLiteral("\t"));
    texts.BufferSystems[0] = {"", "Conc. [mM]", "pKa_1", "pKa_2", "pKa_3"};
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    Check(ToWindows1252(FromWindows1252(bytes)) == bytes, "a byte does not survive the code page");

    const WaterQualityTexts before = Untouched();
    WaterQualityTexts loaded = before;
    try {
        ReadWaterQualityFile(bytes, loaded);
    } catch (const DataFileError&) {
        Check(loaded == before, "a refused file changed a cell");
        return 0;
    }
    Check(loaded.BufferSystems[0] == before.BufferSystems[0], "the column titles were loaded");

    WaterQualityTexts again = before;
    ReadWaterQualityFile(EncodeTextLines(WaterQualityFileLines(loaded)), again);
    Check(again == loaded, "a loaded file does not save and load back the same");
    return 0;
}
