// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/water_quality_file.h"

#include "files/memory_file_system.h"
#include "files/start_up_file.h"
#include "qstring_printer.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

using namespace phbuffer::files;
using phbuffer::test::MemoryFileSystem;

namespace {

const QByteArray kStartUpFile = phbuffer::test::StartUpFile();

/// The grids right after start, read from the example file with nothing but Qt.
WaterQualityTexts StartUpTexts() {
    const QStringList lines = QString::fromLatin1(kStartUpFile).split("\r\n");
    WaterQualityTexts t;
    for (int r = 0; r < kBufferSystemRows; ++r)
        std::copy_n(lines[r].split('\t').cbegin(), kBufferSystemColumns,
                    t.bufferSystems[r].begin());
    for (int r = 0; r < kWaterParameterRows; ++r)
        std::copy_n(lines[11 + r].split('\t').cbegin(), kWaterParameterColumns,
                    t.waterParameters[r].begin());
    return t;
}

/// Texts that differ from the start-up texts in every cell that loading writes.
WaterQualityTexts OtherTexts() {
    WaterQualityTexts t = StartUpTexts();
    for (auto& row : t.bufferSystems)
        for (QString& cell : row)
            cell = QStringLiteral("old");
    for (auto& row : t.waterParameters)
        for (QString& cell : row)
            cell = QStringLiteral("old");
    return t;
}

TEST(WaterQualityFile, SavesTheStartUpGridsAsTheExampleFile) {
    MemoryFileSystem fs;
    saveWaterQualityFile(fs, "water.prn", StartUpTexts());
    EXPECT_EQ(fs.Files["water.prn"], kStartUpFile);
}

TEST(WaterQualityFile, LoadsEveryCellButTheColumnTitlesBack) {
    WaterQualityTexts saved = StartUpTexts();
    saved.bufferSystems[9] = {"\u00E4\u20AC", "", " 1,5 ", "-", "x"};
    saved.waterParameters[3] = {"", "abc"};
    MemoryFileSystem fs;
    saveWaterQualityFile(fs, "water.prn", saved);
    WaterQualityTexts loaded = OtherTexts();
    loadWaterQualityFile(fs, "water.prn", loaded);
    EXPECT_EQ(loaded.bufferSystems[0], OtherTexts().bufferSystems[0]);
    loaded.bufferSystems[0] = saved.bufferSystems[0];
    EXPECT_EQ(loaded, saved);
}

TEST(WaterQualityFile, LoadsOtherLineEndsExtraFieldsAndAnyTextInLinesOneAndEleven) {
    QByteArray lfOnly = kStartUpFile;
    lfOnly.replace("\r\n", "\n");
    lfOnly.chop(1); // the last line without its end
    QByteArray crOnly = kStartUpFile;
    crOnly.replace("\r\n", "\r");
    QByteArray lenient = kStartUpFile;
    lenient.replace("\tConc. [mM]\tpKa_1\tpKa_2\tpKa_3", "anything");
    lenient.replace("\r\n\r\nIntial", "\r\nmore\tof\tanything\r\nIntial");
    lenient.replace("\t-\r\nAcetic", "\t-\textra\tfields\r\nAcetic");
    lenient.replace("\t426\r\n", "\t426\tmore\r\n");
    lenient.append("line 16\r\n\xFF");
    for (const QByteArray& file : {lfOnly, crOnly, lenient}) {
        WaterQualityTexts texts = OtherTexts();
        readWaterQualityFile(file, texts);
        WaterQualityTexts expected = StartUpTexts();
        expected.bufferSystems[0] = OtherTexts().bufferSystems[0];
        EXPECT_EQ(texts, expected) << file.toStdString();
    }
}

TEST(WaterQualityFile, ACellWithATabShiftsTheRestOfItsRowWhenLoaded) {
    WaterQualityTexts saved = StartUpTexts();
    saved.bufferSystems[2][1] = QStringLiteral("0.2\t0.3");
    WaterQualityTexts loaded = StartUpTexts();
    readWaterQualityFile(QByteArray(waterQualityFileLines(saved).join("\r\n").toLatin1()), loaded);
    EXPECT_EQ(loaded.bufferSystems[2],
              (std::array<QString, 5>{"Acetic acid", "0.2", "0.3", "4.76", "-"}));
}

TEST(WaterQualityFile, RefusesAShortFileNamingTheLineAndChangesNothing) {
    const auto without = [](const char* from, const char* to) {
        QByteArray file = kStartUpFile;
        return file.replace(from, to);
    };
    const std::pair<QByteArray, const char*> cases[] = {
        {QByteArray(), "The file is empty, but a water quality data file has 15 lines; "
                       "nothing was loaded"},
        {kStartUpFile.left(kStartUpFile.indexOf("Intial")),
         "The file ends after line 11, but a water quality data file has 15 lines; nothing "
         "was loaded"},
        {without("\r\nLower pH target\t4.50\r\n", "\r\n"),
         "The file ends after line 14, but a water quality data file has 15 lines; nothing "
         "was loaded"},
        {without("Phosphate\t0.155\t2.12\t7.21\t12.67", "Phosphate\t0.155\t2.12\t7.21"),
         "Line 5 of the file has 4 fields where 5 are needed; nothing was loaded"},
        {without("\r\nAmmonia\t2.565\t9.21\t-\t-", "\r\n"),
         "Line 6 of the file has no fields where 5 are needed; nothing was loaded"},
        {without("Lower pH target\t4.50", "Lower pH target 4.50"),
         "Line 15 of the file has 1 field where 2 are needed; nothing was loaded"},
    };
    for (const auto& [file, message] : cases) {
        WaterQualityTexts texts = OtherTexts();
        try {
            readWaterQualityFile(file, texts);
            ADD_FAILURE() << "loaded: " << file.toStdString();
        } catch (const DataFileError& e) {
            EXPECT_STREQ(e.what(), message);
        }
        EXPECT_EQ(texts, OtherTexts()) << message;
    }
}

TEST(WaterQualityFile, ReadsNoMoreOfAHugeFileThanItsFirst15LinesNeed) {
    MemoryFileSystem fs;
    fs.Files["junk"] = QByteArray(kMaxDataFileHead + 10, '\r');
    fs.Files["long tail"] = kStartUpFile + QByteArray(kMaxDataFileHead, 'x');
    WaterQualityTexts texts = OtherTexts();
    EXPECT_THROW(loadWaterQualityFile(fs, "junk", texts), DataFileError);
    EXPECT_EQ(texts, OtherTexts());
    loadWaterQualityFile(fs, "long tail", texts);
    EXPECT_EQ(texts.waterParameters, StartUpTexts().waterParameters);
}

TEST(WaterQualityFile, AFileErrorChangesNothing) {
    MemoryFileSystem fs;
    fs.Files["water.prn"] = kStartUpFile;
    fs.NextFailure = FileError(FileErrorKind::AccessDenied);
    WaterQualityTexts texts = OtherTexts();
    EXPECT_THROW(loadWaterQualityFile(fs, "water.prn", texts), FileError);
    EXPECT_EQ(texts, OtherTexts());
}

} // namespace
