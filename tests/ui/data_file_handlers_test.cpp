// SPDX-License-Identifier: GPL-3.0-or-later
#include "started_form.h"

#include "files/memory_file_system.h"
#include "files/start_up_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace phbuffer;
using test::FailureOf;
using test::MemoryFileSystem;
using test::StartUpFile;

namespace {

/// The started form, its file dialogs answered by `answer` (nothing: cancel), each
/// dialog's settings at the moment it was shown kept in `shown` (initial directory,
/// extension, filter, file name, kind).
class FileButtons : public test::StartedForm {
protected:
    explicit FileButtons(char32_t separator = U'.') : StartedForm(separator) {
        form.ExecuteFileDialog = [this](ui::FileDialog& dialog, ui::FileDialogKind kind) {
            shown.push_back({dialog.InitialDir, dialog.DefaultExt, dialog.Filter, dialog.FileName,
                             kind == ui::FileDialogKind::Save ? "save" : "open"});
            return answer;
        };
    }

    std::vector<std::vector<QString>> Grids() const {
        std::vector<std::vector<QString>> cells;
        for (const ui::StringGrid* grid : {&form.StringGrid1, &form.StringGrid2})
            for (int r = 0; r < grid->RowCount; ++r) {
                cells.emplace_back();
                for (int c = 0; c < grid->ColCount; ++c)
                    cells.back().push_back(grid->Cells(c, r));
            }
        return cells;
    }
    QByteArray FileBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
    void Save() { form.SaveDataBitBtnClick(&form.SaveDataBitBtn); }
    void Load() { form.GetDataBitBtnClick(&form.GetDataBitBtn); }
    void Export() { form.ExportPlotDataBitBtnClick(&form.ExportPlotDataBitBtn); }

    std::optional<QString> answer;
    std::vector<QStringList> shown;
    QTemporaryDir dir;
};

class FileButtonsWithComma : public FileButtons {
protected:
    FileButtonsWithComma() : FileButtons(U',') {}
};

TEST_F(FileButtons, SavingRightAfterStartWritesTheExampleFile) {
    answer = dir.filePath("water");
    Save();
    EXPECT_EQ(FileBytes(dir.filePath("water.prn")), StartUpFile('.'));
    EXPECT_EQ(QDir(dir.path()).count(), 3u) << "., .. and water.prn";
}

TEST_F(FileButtonsWithComma, SavingRightAfterStartWritesTheExampleFileWithCommas) {
    answer = dir.filePath("water.prn");
    Save();
    EXPECT_EQ(FileBytes(dir.filePath("water.prn")), StartUpFile(','));
}

TEST_F(FileButtons, TheDialogsAreSetUpAtEachClickAndOfferTheirOwnKindOfName) {
    MemoryFileSystem fs;
    form.Files = &fs;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString cwd = QDir::currentPath();
    answer = QStringLiteral("/data/water");
    Save();
    answer = QStringLiteral("/data/curve");
    Export();
    answer = QStringLiteral("/data/curve.csv");
    Export();
    answer.reset();
    Save();
    answer = QStringLiteral("/data/water.prn");
    Load();
    QDir::setCurrent(before);

    const QString prn = QStringLiteral("Water quality data (*.prn)|*.PRN");
    const QString txt = QStringLiteral("Text files (*.txt)|*.TXT");
    EXPECT_EQ(shown, (std::vector<QStringList>{{cwd, "prn", prn, "", "save"},
                                               {cwd, "txt", txt, "/data/water.txt", "save"},
                                               {cwd, "txt", txt, "/data/water.txt", "save"},
                                               {cwd, "prn", prn, "/data/water.prn", "save"},
                                               {cwd, "prn", prn, "", "open"}}));
    EXPECT_EQ(form.SaveDialog1.FileName, QStringLiteral("/data/curve.csv")) << "kept on cancel";
    EXPECT_EQ(form.OpenDialog1.FileName, QStringLiteral("/data/water.prn"));
    std::vector<QString> written;
    for (const auto& [name, bytes] : fs.Files)
        written.push_back(name);
    EXPECT_EQ(written,
              (std::vector<QString>{"/data/curve.csv", "/data/curve.txt", "/data/water.prn"}));
}

TEST_F(FileButtons, LoadingWhatWasSavedKeepsEveryCellAndLeavesStateAndChart) {
    form.StringGrid1.Cells(0, 9) = QString::fromUtf8("\u00C4pfels\u00E4ure");
    form.StringGrid1.Cells(1, 9) = QStringLiteral(" 1,5e0 ");
    form.StringGrid1.Cells(4, 9) = QString();
    form.StringGrid2.Cells(0, 2) = QStringLiteral("pCO2");
    const auto saved = Grids();
    answer = dir.filePath("water.prn");
    Save();
    form.ZPmediumBitBtnClick(&form.ZPlowBitBtn);
    form.StringGrid2.Cells(0, 2) = QStringLiteral("other");
    const double concentration = form.State.Conc[0];
    EXPECT_TRUE(form.isModified());
    Load();
    EXPECT_EQ(Grids(), saved);
    EXPECT_EQ(form.State.Conc[0], concentration) << "loading fills the grids, not the state";
}

TEST_F(FileButtons, TheDocumentIsModifiedWhenItsTextsDifferFromTheFileSavedOrLoaded) {
    EXPECT_FALSE(form.isModified()) << "as started";
    EXPECT_TRUE(form.dataFileName.isEmpty());
    const std::vector<QString> started = form.gridTexts();
    form.ZPmediumBitBtnClick(&form.ZPlowBitBtn);
    EXPECT_TRUE(form.isModified());
    answer = dir.filePath("low");
    Save();
    EXPECT_FALSE(form.isModified());
    EXPECT_EQ(form.dataFileName, dir.filePath("low.prn"));
    form.setGridTexts(started);
    EXPECT_TRUE(form.isModified());
    answer.reset(); // a cancel saves nothing
    Save();
    EXPECT_TRUE(form.isModified());
    form.loadDataFile(dir.filePath("low.prn"));
    EXPECT_FALSE(form.isModified());
    EXPECT_NE(form.gridTexts(), started);
}

TEST_F(FileButtons, ADataFileLoadedByNameShowsNoDialogAndTheOpenDialogOffersItNext) {
    const auto saved = Grids();
    answer = dir.filePath("water.prn");
    Save();
    shown.clear();
    form.ZPmediumBitBtnClick(&form.ZPlowBitBtn);
    form.loadDataFile(dir.filePath("water.prn"));
    EXPECT_EQ(Grids(), saved);
    EXPECT_TRUE(shown.empty()) << "no dialog";
    EXPECT_EQ(FailureOf([&] { form.loadDataFile(dir.filePath("gone.prn")); }),
              QStringLiteral("File not found."));
    answer.reset();
    Load();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0][3], dir.filePath("gone.prn")) << "offered as if chosen last";
}

TEST_F(FileButtons, ARefusedOrFailedLoadChangesNoCell) {
    const auto before = Grids();
    QFile shortFile(dir.filePath("short.prn"));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    const QByteArray full = StartUpFile('.');
    shortFile.write(full.left(full.indexOf("Ammonia")));
    shortFile.close();
    answer = shortFile.fileName();
    EXPECT_EQ(FailureOf([&] { Load(); }),
              QStringLiteral("The file ends after line 5, but a water quality data file has 15 "
                             "lines; nothing was loaded."));
    answer = dir.filePath("missing.prn");
    EXPECT_EQ(FailureOf([&] { Load(); }), QStringLiteral("File not found."));
    answer = dir.filePath("missing/water.prn");
    EXPECT_EQ(FailureOf([&] { Load(); }), QStringLiteral("Invalid filename."));
    EXPECT_EQ(Grids(), before);
}

TEST_F(FileButtons, AFailedSaveOrExportLeavesTheOldFile) {
    MemoryFileSystem fs;
    fs.Files["/data/water.prn"] = fs.Files["/data/curve.txt"] = "old";
    form.Files = &fs;
    answer = QStringLiteral("/data/water.prn");
    fs.NextFailure = files::FileError(files::FileErrorKind::AccessDenied);
    EXPECT_EQ(FailureOf([&] { Save(); }), QStringLiteral("File access denied."));
    answer = QStringLiteral("/data/curve.txt");
    fs.NextFailure = files::FileError(files::FileErrorKind::Other, 28);
    EXPECT_EQ(FailureOf([&] { Export(); }), QStringLiteral("I/O error 28."));
    EXPECT_EQ(fs.Files["/data/water.prn"], QByteArray("old"));
    EXPECT_EQ(fs.Files["/data/curve.txt"], QByteArray("old"));

    form.Files = &files::diskFileSystem();
    answer = dir.filePath("missing/water");
    EXPECT_EQ(FailureOf([&] { Save(); }), QStringLiteral("Invalid filename."));
    EXPECT_EQ(QDir(dir.path()).count(), 2u) << "nothing was created";
}

TEST_F(FileButtons, ExportWritesTheSelectedViewsCurve) {
    answer = dir.filePath("start.txt");
    Export();
    EXPECT_EQ(FileBytes(dir.filePath("start.txt")), QByteArray()) << "no run, no points";

    form.DoTitrationButtonClick(&form.DoTitrationButton);
    answer = dir.filePath("titration");
    Export();
    form.WhatToShowRadioGroup.ItemIndex = 1;
    form.WhatToShowRadioGroupClick(&form.WhatToShowRadioGroup);
    answer = dir.filePath("buffer.txt");
    Export();

    for (const auto& [name, series] : {std::pair{"titration.txt", &form.TitrationSeries},
                                       {"buffer.txt", &form.BufferStrengthSeries}}) {
        const QList<QByteArray> lines = FileBytes(dir.filePath(name)).split('\n');
        ASSERT_EQ(lines.size(), static_cast<qsizetype>(series->Count()) + 1) << name;
        EXPECT_EQ(lines.back(), QByteArray()) << "the last line ends too";
        double previousX = -1e9;
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            ASSERT_TRUE(lines[i].endsWith('\r')) << name << " line " << i;
            const QList<QByteArray> fields = lines[i].chopped(1).split('\t');
            ASSERT_EQ(fields.size(), 2);
            EXPECT_EQ(fields[0].size() - fields[0].indexOf('.'), 4) << "three decimals";
            EXPECT_GE(fields[0].toDouble(), previousX) << name << " line " << i;
            previousX = fields[0].toDouble();
        }
    }
    EXPECT_TRUE(FileBytes(dir.filePath("titration.txt")).startsWith("0.000\t7.800\r\n"));
    EXPECT_TRUE(FileBytes(dir.filePath("buffer.txt")).startsWith("4.50"));
}

TEST_F(FileButtons, KeepsTheTitrantAndUpperTargetAfterTheGridsAndGivesTheDefaultsWithout) {
    form.TitrantRadioGroup.ItemIndex = 1;
    form.UpperTargetEdit.Text = QStringLiteral("9.10");
    answer = dir.filePath("base.prn");
    Save();
    const QByteArray conditions = "Titrant\tbase\r\nUpper pH target\t9.10\r\n";
    EXPECT_EQ(FileBytes(dir.filePath("base.prn")), StartUpFile('.') + conditions);

    form.TitrantRadioGroup.ItemIndex = 0;
    form.UpperTargetEdit.Text = QStringLiteral("7");
    Load();
    EXPECT_EQ(form.TitrantRadioGroup.ItemIndex, 1);
    EXPECT_EQ(form.UpperTargetEdit.Text, QStringLiteral("9.10"));

    // What follows the grids: each case loaded after the base conditions above.
    struct Case {
        QByteArray extra;
        int titrant;
        const char* upperTarget;
    };
    const Case cases[] = {
        {"", 0, "8.20"}, // the same file without its conditions lines
        {"Titrant\tbase\r\n", 1, "8.20"},
        {"Colour\tred\r\nUpper pH target\t8.75\r\n", 0, "8.75"},
        {"Titrant\tstrong\r\nUpper pH target\tabc\r\n", 0, "8.20"},
    };
    for (const Case& c : cases) {
        QFile file(dir.filePath("base.prn"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(StartUpFile('.') + c.extra);
        file.close();
        form.TitrantRadioGroup.ItemIndex = 1;
        form.UpperTargetEdit.Text = QStringLiteral("9.10");
        Load();
        EXPECT_EQ(form.TitrantRadioGroup.ItemIndex, c.titrant) << c.extra.toStdString();
        EXPECT_EQ(form.UpperTargetEdit.Text, QString::fromLatin1(c.upperTarget))
            << c.extra.toStdString();
    }
}

} // namespace
