// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/water_quality_file.h"

#include "files/memory_file_system.h"
#include "qstring_printer.h"

#include <gtest/gtest.h>

using namespace phbuffer::files;
using phbuffer::test::MemoryFileSystem;

namespace {

/// The grids right after start, as the data file's example has them.
WaterQualityTexts StartUpTexts() {
    WaterQualityTexts t;
    t.BufferSystems = {{
        {"", "Conc. [mM]", "pKa_1", "pKa_2", "pKa_3"},
        {"Dissolved Inorganic Carbon (CO2-total)", "3.000", "6.38", "10.32", "-"},
        {"Acetic acid", "0.200", "4.76", "-", "-"},
        {"Dissolved sulfide", "0.000", "7.05", "14.00", "-"},
        {"Phosphate", "0.155", "2.12", "7.21", "12.67"},
        {"Ammonia", "2.565", "9.21", "-", "-"},
        {"Amino groups", "2.835", "9.50", "-", "-"},
        {"Carboxyl groups/HSO4-", "0.936", "1.92", "-", "-"},
        {"Yet undefined", "0.000", "-", "-", "-"},
        {"Yet undefined", "0.000", "-", "-", "-"},
    }};
    t.WaterParameters = {
        {{"Intial pH", "7.80"},
         {QString::fromUtf8("Henry\u00B4s constant [atm/(mole fraction)]"), "1640"},
         {"Partial pressure [ppm]", "426"},
         {"Lower pH target", "4.50"}}};
    return t;
}

const QByteArray kStartUpFile = "\tConc. [mM]\tpKa_1\tpKa_2\tpKa_3\r\n"
                                "Dissolved Inorganic Carbon (CO2-total)\t3.000\t6.38\t10.32\t-\r\n"
                                "Acetic acid\t0.200\t4.76\t-\t-\r\n"
                                "Dissolved sulfide\t0.000\t7.05\t14.00\t-\r\n"
                                "Phosphate\t0.155\t2.12\t7.21\t12.67\r\n"
                                "Ammonia\t2.565\t9.21\t-\t-\r\n"
                                "Amino groups\t2.835\t9.50\t-\t-\r\n"
                                "Carboxyl groups/HSO4-\t0.936\t1.92\t-\t-\r\n"
                                "Yet undefined\t0.000\t-\t-\t-\r\n"
                                "Yet undefined\t0.000\t-\t-\t-\r\n"
                                "\r\n"
                                "Intial pH\t7.80\r\n"
                                "Henry\xB4s constant [atm/(mole fraction)]\t1640\r\n"
                                "Partial pressure [ppm]\t426\r\n"
                                "Lower pH target\t4.50\r\n";

/// Texts that differ from the start-up texts in every cell that loading writes.
WaterQualityTexts OtherTexts() {
    WaterQualityTexts t = StartUpTexts();
    for (auto& row : t.BufferSystems)
        for (QString& cell : row)
            cell = QStringLiteral("old");
    for (auto& row : t.WaterParameters)
        for (QString& cell : row)
            cell = QStringLiteral("old");
    return t;
}

TEST(WaterQualityFile, SavesTheStartUpGridsAsTheExampleFile) {
    MemoryFileSystem fs;
    SaveWaterQualityFile(fs, "water.prn", StartUpTexts());
    EXPECT_EQ(fs.Files["water.prn"], kStartUpFile);
}

TEST(WaterQualityFile, LoadsEveryCellButTheColumnTitlesBack) {
    WaterQualityTexts saved = StartUpTexts();
    saved.BufferSystems[9] = {"\u00E4\u20AC", "", " 1,5 ", "-", "x"};
    saved.WaterParameters[3] = {"", "abc"};
    MemoryFileSystem fs;
    SaveWaterQualityFile(fs, "water.prn", saved);
    WaterQualityTexts loaded = OtherTexts();
    LoadWaterQualityFile(fs, "water.prn", loaded);
    EXPECT_EQ(loaded.BufferSystems[0], OtherTexts().BufferSystems[0]);
    loaded.BufferSystems[0] = saved.BufferSystems[0];
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
        ReadWaterQualityFile(file, texts);
        WaterQualityTexts expected = StartUpTexts();
        expected.BufferSystems[0] = OtherTexts().BufferSystems[0];
        EXPECT_EQ(texts, expected) << file.toStdString();
    }
}

TEST(WaterQualityFile, ACellWithATabShiftsTheRestOfItsRowWhenLoaded) {
    WaterQualityTexts saved = StartUpTexts();
    saved.BufferSystems[2][1] = QStringLiteral("0.2\t0.3");
    WaterQualityTexts loaded = StartUpTexts();
    ReadWaterQualityFile(QByteArray(WaterQualityFileLines(saved).join("\r\n").toLatin1()), loaded);
    EXPECT_EQ(loaded.BufferSystems[2],
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
            ReadWaterQualityFile(file, texts);
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
    EXPECT_THROW(LoadWaterQualityFile(fs, "junk", texts), DataFileError);
    EXPECT_EQ(texts, OtherTexts());
    LoadWaterQualityFile(fs, "long tail", texts);
    EXPECT_EQ(texts.WaterParameters, StartUpTexts().WaterParameters);
}

TEST(WaterQualityFile, AFileErrorChangesNothing) {
    MemoryFileSystem fs;
    fs.Files["water.prn"] = kStartUpFile;
    fs.NextFailure = FileError(FileErrorKind::AccessDenied);
    WaterQualityTexts texts = OtherTexts();
    EXPECT_THROW(LoadWaterQualityFile(fs, "water.prn", texts), FileError);
    EXPECT_EQ(texts, OtherTexts());
}

} // namespace
