// SPDX-License-Identifier: GPL-3.0-or-later
//
// The file buttons through the window: what the dialog offers, and what the user then
// finds in the file or in the grids.
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace phbuffer::app;
using namespace phbuffer::app::gui;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

/// What a file dialog looked like when it was shown.
struct SeenDialog {
    QFileDialog::AcceptMode mode;
    QString directory;
    QStringList nameFilters;
    QString defaultSuffix;
    QString offeredFile;
};

class FileButtons : public ShownWindow {
protected:
    FileButtons() : previousDir_(QDir::currentPath()) {
        EXPECT_TRUE(dir_.isValid());
        QDir::setCurrent(dir_.path());
    }
    ~FileButtons() override { QDir::setCurrent(previousDir_); }

    QString path(const QString& name) const { return dir_.filePath(name); }
    /// The next dialog answers @p answer (nothing: cancel) and is remembered in seen.
    void answerNext(std::optional<QString> answer) {
        answerFileDialog = [this, answer](QFileDialog& d) {
            seen.push_back({d.acceptMode(), QDir(d.directory()).canonicalPath(), d.nameFilters(),
                            d.defaultSuffix(),
                            d.selectedFiles().isEmpty()
                                ? QString()
                                : QFileInfo(d.selectedFiles()[0]).fileName()});
            return answer;
        };
    }

    std::vector<SeenDialog> seen;

private:
    QTemporaryDir dir_;
    QString previousDir_;
};

const char kStartUpFile[] = "\tConc. [mM]\tpKa_1\tpKa_2\tpKa_3\r\n"
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

TEST_F(FileButtons, SaveOffersWaterQualityDataInTheCurrentDirectoryAndWritesBothGrids) {
    answerNext(path(QStringLiteral("water")));
    click("SaveDataBitBtn");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].mode, QFileDialog::AcceptSave);
    EXPECT_EQ(seen[0].directory, QDir(QDir::currentPath()).canonicalPath());
    EXPECT_EQ(seen[0].nameFilters,
              QStringList{QStringLiteral("Water quality data (*.prn) (*.PRN *.prn)")});
    EXPECT_EQ(seen[0].defaultSuffix, QStringLiteral("prn"));
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
    EXPECT_EQ(ReadAll(path(QStringLiteral("water.prn"))), QByteArray(kStartUpFile));
}

TEST_F(FileButtons, SaveAndExportShareTheFileNameOfferedNextTime) {
    answerNext(path(QStringLiteral("water")));
    click("SaveDataBitBtn");
    answerNext(path(QStringLiteral("curve")));
    click("ExportPlotDataBitBtn");
    answerNext(std::nullopt);
    click("SaveDataBitBtn");
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].offeredFile, QStringLiteral("water.prn"));
    EXPECT_EQ(seen[1].nameFilters, QStringList{QStringLiteral("Text files (*.txt) (*.TXT *.txt)")});
    EXPECT_EQ(seen[1].defaultSuffix, QStringLiteral("txt"));
    EXPECT_EQ(seen[2].offeredFile, QStringLiteral("curve.txt"));
    EXPECT_EQ(seen[2].nameFilters,
              QStringList{QStringLiteral("Water quality data (*.prn) (*.PRN *.prn)")});
}

TEST_F(FileButtons, ExportWritesTheCurveOfTheSelectedView) {
    answerNext(path(QStringLiteral("before.txt")));
    click("ExportPlotDataBitBtn");
    EXPECT_EQ(ReadAll(path(QStringLiteral("before.txt"))), QByteArray()) << "no run, no points";

    ASSERT_TRUE(RunAndWait(window));
    answerNext(path(QStringLiteral("titration.txt")));
    click("ExportPlotDataBitBtn");
    const QList<QByteArray> lines = ReadAll(path(QStringLiteral("titration.txt"))).split('\n');
    ASSERT_EQ(lines.size(), chart()->titrationSeries()->count() + 1) << "one line per point";
    EXPECT_EQ(lines[0], QByteArray("0.000\t7.800\r"));

    Click(window.findChild<QWidget*>(QStringLiteral("WhatToShowRadioGroupItem1")));
    answerNext(path(QStringLiteral("buffer.txt")));
    click("ExportPlotDataBitBtn");
    const QList<QByteArray> buffer = ReadAll(path(QStringLiteral("buffer.txt"))).split('\n');
    ASSERT_EQ(buffer.size(), chart()->bufferStrengthSeries()->count() + 1);
    EXPECT_TRUE(buffer[0].startsWith("4.4") || buffer[0].startsWith("4.5")) << buffer[0].data();
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
}

TEST_F(FileButtons, LoadShowsTheFileInBothGrids) {
    QByteArray file(kStartUpFile);
    file.replace("Acetic acid\t0.200", "Vinegar\t1.250");
    file.replace("Lower pH target\t4.50", "Lowest pH\t5.00");
    WriteAll(path(QStringLiteral("edited.PRN")), file);

    answerNext(path(QStringLiteral("edited.PRN")));
    click("GetDataBitBtn");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].mode, QFileDialog::AcceptOpen);
    EXPECT_EQ(seen[0].nameFilters,
              QStringList{QStringLiteral("Water quality data (*.prn) (*.PRN *.prn)")});
    EXPECT_EQ(seen[0].directory, QDir(QDir::currentPath()).canonicalPath());
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
    EXPECT_EQ(cell(1, 0, 2), QStringLiteral("Vinegar"));
    EXPECT_EQ(cell(1, 1, 2), QStringLiteral("1.250"));
    EXPECT_EQ(cell(2, 0, 3), QStringLiteral("Lowest pH"));
    EXPECT_EQ(cell(2, 1, 3), QStringLiteral("5.00"));
    EXPECT_EQ(cell(2, 0, 1), QStringLiteral("Henry\u00B4s constant [atm/(mole fraction)]"));
}

TEST_F(FileButtons, ACancelledDialogChangesNothing) {
    type(1, 1, 2, QStringLiteral("0.5"));
    answerNext(std::nullopt);
    click("GetDataBitBtn");
    answerNext(std::nullopt);
    click("SaveDataBitBtn");
    answerNext(std::nullopt);
    click("ExportPlotDataBitBtn");
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
    EXPECT_EQ(cell(1, 1, 2), QStringLiteral("0.5"));
    EXPECT_TRUE(QDir(QDir::currentPath()).entryList(QDir::Files).isEmpty());
}

TEST_F(FileButtons, AFileErrorShowsTheErrorBoxAndKeepsTheGrids) {
    answerNext(path(QStringLiteral("missing.prn")));
    click("GetDataBitBtn");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].text, QStringLiteral("File not found."));
    EXPECT_EQ(errors[0].title, QStringLiteral("pH and buffer system calculator"));
    EXPECT_EQ(cell(1, 1, 1), QStringLiteral("3.000"));

    answerNext(path(QStringLiteral("no such folder/water.prn")));
    click("SaveDataBitBtn");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_FALSE(errors[1].text.isEmpty());
    EXPECT_TRUE(button("SaveDataBitBtn")->isEnabled());
}

} // namespace
