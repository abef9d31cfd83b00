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

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

/// Texts that no loaded cell holds, so that any cell the loader writes shows.
WaterQualityTexts untouched() {
    WaterQualityTexts texts;
    for (auto& row : texts.bufferSystems)
        row.fill(QStringLiteral("\t"));
    for (auto& row : texts.waterParameters)
        row.fill(QStringLiteral("\t"));
    texts.bufferSystems[0] = {"", "Conc. [mM]", "pKa_1", "pKa_2", "pKa_3"};
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    check(toWindows1252(fromWindows1252(bytes)) == bytes, "a byte does not survive the code page");

    const WaterQualityTexts before = untouched();
    WaterQualityTexts loaded = before;
    try {
        readWaterQualityFile(bytes, loaded);
    } catch (const DataFileError&) {
        check(loaded == before, "a refused file changed a cell");
        return 0;
    }
    check(loaded.bufferSystems[0] == before.bufferSystems[0], "the column titles were loaded");

    WaterQualityTexts again = before;
    readWaterQualityFile(encodeTextLines(waterQualityFileLines(loaded)), again);
    check(again == loaded, "a loaded file does not save and load back the same");
    return 0;
}
