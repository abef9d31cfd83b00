// SPDX-License-Identifier: GPL-3.0-or-later
//
// The file buttons through the window: what the dialog offers, and what the user then
// finds in the file or in the grids.
#include "window_fixture.h"

#include "files/start_up_file.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QTemporaryDir>

using namespace phbuffer::app;
using namespace phbuffer::app::gui;

namespace {

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
    FileButtons() : previousDir_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~FileButtons() override { QDir::setCurrent(previousDir_); }

    QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }
    QByteArray contents(const char* name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    /// Clicks @p buttonName; its dialog answers @p answer (nothing: cancel).
    void clickAnswering(const char* buttonName, const std::optional<QString>& answer) {
        answerFileDialog = [this, answer](QFileDialog& d) {
            const QStringList offered = d.selectedFiles();
            seen.push_back({d.acceptMode(), QDir(d.directory()).canonicalPath(), d.nameFilters(),
                            d.defaultSuffix(),
                            offered.isEmpty() ? QString() : QFileInfo(offered[0]).fileName()});
            return answer;
        };
        click(buttonName);
    }

    void write(const char* name, const QByteArray& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    /// Where in the window @p widget's middle is.
    QPoint middleOf(const QWidget* widget) const {
        return widget->mapTo(&window, widget->rect().center());
    }

    const QStringList dataFilter = {QStringLiteral("Water quality data (*.prn) (*.PRN *.prn)")};
    const QStringList textFilter = {QStringLiteral("Text files (*.txt) (*.TXT *.txt)")};
    std::vector<SeenDialog> seen;

private:
    QTemporaryDir dir_;
    QString previousDir_;
};

TEST_F(FileButtons, SaveAndLoadOfferDataFilesInTheCurrentDirectoryAndCarryBothGrids) {
    clickAnswering("SaveDataBitBtn", path("water"));
    const QByteArray saved = contents("water.prn");
    EXPECT_EQ(saved, phbuffer::test::StartUpFile());

    QByteArray edited = saved;
    edited.replace("Acetic acid\t0.200", "Vinegar\t1.250");
    QFile f(path("edited.PRN"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(edited);
    f.close();
    clickAnswering("GetDataBitBtn", path("edited.PRN"));
    EXPECT_EQ(cell(1, 0, 2), QStringLiteral("Vinegar"));
    EXPECT_EQ(cell(1, 1, 2), QStringLiteral("1.250"));

    ASSERT_EQ(seen.size(), 2u);
    const QString here = QDir(QDir::currentPath()).canonicalPath();
    EXPECT_EQ(seen[0].mode, QFileDialog::AcceptSave);
    EXPECT_EQ(seen[1].mode, QFileDialog::AcceptOpen);
    for (const SeenDialog& d : seen) {
        EXPECT_EQ(d.directory, here);
        EXPECT_EQ(d.nameFilters, dataFilter);
        EXPECT_EQ(d.defaultSuffix, QStringLiteral("prn"));
    }
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
}

TEST_F(FileButtons, ExportWritesTheSelectedCurveAndOffersItsOwnKindOfName) {
    clickAnswering("ExportPlotDataBitBtn", path("empty"));
    EXPECT_EQ(contents("empty.txt"), QByteArray()) << "no run, no points";

    ASSERT_TRUE(RunAndWait(window));
    Click(RadioItem(window, 1));
    clickAnswering("ExportPlotDataBitBtn", path("buffer.txt"));
    const QList<QByteArray> lines = contents("buffer.txt").split('\n');
    EXPECT_EQ(lines.size(), chart()->bufferStrengthSeries()->count() + 1) << "a line a point";
    // Lowest pH first: the buffer capacity points in ascending pH, from 4.5 up to 7.8.
    EXPECT_TRUE(lines.front().startsWith("4.50")) << lines.front().data();
    EXPECT_TRUE(lines[lines.size() - 2].startsWith("7.7")) << lines[lines.size() - 2].data();

    clickAnswering("SaveDataBitBtn", std::nullopt);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].nameFilters, textFilter);
    EXPECT_EQ(seen[0].defaultSuffix, QStringLiteral("txt"));
    EXPECT_EQ(seen[1].offeredFile, QStringLiteral("empty.txt"));
    EXPECT_FALSE(seen[2].offeredFile.endsWith(QLatin1String(".txt")))
        << "a water is never offered the plot's file: " << seen[2].offeredFile.toStdString();
    EXPECT_EQ(seen[2].nameFilters, dataFilter);
}

TEST_F(FileButtons, ACancelChangesNothingAndAFileErrorShowsTheErrorBox) {
    type(1, 1, 2, QStringLiteral("0.5"));
    clickAnswering("GetDataBitBtn", std::nullopt);
    clickAnswering("SaveDataBitBtn", std::nullopt);
    clickAnswering("ExportPlotDataBitBtn", std::nullopt);
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
    EXPECT_EQ(cell(1, 1, 2), QStringLiteral("0.5"));
    EXPECT_TRUE(QDir(QDir::currentPath()).entryList(QDir::Files).isEmpty());

    clickAnswering("GetDataBitBtn", path("missing.prn"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].title, QStringLiteral("pH and buffer system calculator"));
    EXPECT_EQ(errors[0].text, QStringLiteral("File not found."));
    EXPECT_EQ(cell(1, 1, 2), QStringLiteral("0.5"));
}

// ---- a file dropped on the window --------------------------------------------------------

TEST_F(FileButtons, ADroppedFileLoadsWhereverItLandsAsTheOpenDialogWouldLoadIt) {
    clickAnswering("SaveDataBitBtn", path("water"));
    QByteArray edited = contents("water.prn");
    edited.replace("Acetic acid\t0.200", "Vinegar\t1.250");
    write("vinegar.dat", edited);
    edited.replace("Vinegar\t1.250", "Lemon\t2.500");
    write("lemon.prn", edited);

    // No dialog is shown: the fixture fails on one it does not expect.
    answerFileDialog = nullptr;
    ASSERT_TRUE(DropAt(&window, middleOf(chart()), *FileDrag({path("vinegar.dat")})));
    EXPECT_EQ(cell(1, 0, 2), QStringLiteral("Vinegar"));
    EXPECT_EQ(cell(1, 1, 2), QStringLiteral("1.250"));
    EXPECT_EQ(window.form().StringGrid1.Cells(1, 2), QStringLiteral("1.250"));

    // A file manager's drag carries the path as text too; an open cell editor and the pH
    // box leave it to the window instead of taking the text.
    type(1, 1, 3, QStringLiteral("typed"));
    ASSERT_NE(grid(1)->openEditor(), nullptr);
    ASSERT_TRUE(DropAt(&window, middleOf(grid(1)->openEditor()), *FileDrag({path("lemon.prn")})));
    EXPECT_EQ(cell(1, 0, 2), QStringLiteral("Lemon"));
    EXPECT_EQ(cell(1, 1, 3), QStringLiteral("0.000")) << "the file's text, not the typed one";
    auto* phEdit = PhEdit(window);
    ASSERT_TRUE(DropAt(&window, middleOf(phEdit), *FileDrag({path("vinegar.dat")})));
    EXPECT_EQ(cell(1, 0, 2), QStringLiteral("Vinegar"));
    EXPECT_EQ(phEdit->text(), QStringLiteral("7.80"));
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();

    // The open dialog offers the file dropped last, as it would the file chosen last.
    clickAnswering("GetDataBitBtn", std::nullopt);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].offeredFile, QStringLiteral("vinegar.dat"));
    EXPECT_EQ(seen[1].nameFilters, dataFilter);
}

TEST_F(FileButtons, ADroppedFileThatCannotBeLoadedShowsTheOpenButtonsErrorAndChangesNoCell) {
    type(1, 1, 2, QStringLiteral("0.5"));
    write("short.prn", "\tConc. [mM]\r\nWater\t1\t2\t3\t4\r\n");
    const std::pair<const char*, const char*> failures[] = {
        {"short.prn", "The file ends after line 2, but a water quality data file has 15 lines; "
                      "nothing was loaded."},
        {"missing.prn", "File not found."},
    };
    for (const auto& [name, message] : failures) {
        errors.clear();
        ASSERT_TRUE(DropAt(&window, middleOf(grid(1)), *FileDrag({path(name)}))) << name;
        ASSERT_EQ(errors.size(), 1u) << name;
        EXPECT_EQ(errors[0].title, QStringLiteral("pH and buffer system calculator"));
        EXPECT_EQ(errors[0].text, QLatin1String(message));
        EXPECT_EQ(cell(1, 0, 1), QStringLiteral("Dissolved Inorganic Carbon (CO2-total)"));
        EXPECT_EQ(cell(1, 1, 2), QStringLiteral("0.5"));
    }
}

TEST_F(FileButtons, TakesNoDropButOneLocalFile) {
    QMimeData twoFiles;
    twoFiles.setUrls({QUrl::fromLocalFile(path("a.prn")), QUrl::fromLocalFile(path("b.prn"))});
    QMimeData webPage;
    webPage.setUrls({QUrl(QStringLiteral("https://example.org/water.prn"))});
    QMimeData text;
    text.setText(path("a.prn"));
    for (const QMimeData* data : {&twoFiles, &webPage, &text})
        EXPECT_FALSE(DropAt(&window, middleOf(chart()), *data))
            << data->formats().join(' ').toStdString();
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
    EXPECT_EQ(cell(1, 0, 1), QStringLiteral("Dissolved Inorganic Carbon (CO2-total)"));
}

} // namespace
