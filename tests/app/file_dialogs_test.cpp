// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/file_dialogs.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace phbuffer;
using namespace phbuffer::app;

namespace {

TEST(dialogNameFilters, KeepTheDescriptionAndMatchEveryPatternInUpperAndLowerCase) {
    EXPECT_EQ(dialogNameFilters(QStringLiteral("Water quality data (*.prn)|*.PRN")),
              QStringList{QStringLiteral("Water quality data (*.prn) (*.PRN *.prn)")});
    EXPECT_EQ(dialogNameFilters(QStringLiteral("Data|*.PRN;*.dat|All files|*")),
              (QStringList{QStringLiteral("Data (*.PRN *.prn *.dat *.DAT)"),
                           QStringLiteral("All files (*)")}));
}

class ConfiguredDialog : public ::testing::Test {
protected:
    ConfiguredDialog() : settings(QStringLiteral("SaveDialog1")) {
        settings.InitialDir = dir.path();
        settings.DefaultExt = QStringLiteral("prn");
        settings.Filter = QStringLiteral("Water quality data (*.prn)|*.PRN");
        dialog.setOption(QFileDialog::DontUseNativeDialog);
    }
    QTemporaryDir dir;
    ui::FileDialog settings;
    QFileDialog dialog;
};

TEST_F(ConfiguredDialog, ListsDataFilesWhateverTheCaseOfTheirExtension) {
    for (const char* name : {"lower.prn", "upper.PRN", "other.txt"}) {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    auto* files = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(files, nullptr);
    QSignalSpy loaded(files, &QFileSystemModel::directoryLoaded);
    configureFileDialog(dialog, settings, ui::FileDialogKind::Open);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    dialog.show();
    ASSERT_TRUE(loaded.count() > 0 || loaded.wait(5000));
    const QModelIndex root = files->index(dir.path());
    EXPECT_TRUE(QTest::qWaitFor([&] { return files->rowCount(root) >= 2; }, 2000));
    QStringList listed;
    for (int r = 0; r < files->rowCount(root); ++r)
        listed << files->index(r, 0, root).data().toString();
    listed.sort();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("lower.prn"), QStringLiteral("upper.PRN")}));
    // The user reads the description without the case variants, in the box that offers
    // the filters.
    QStringList shown;
    for (const QComboBox* box : dialog.findChildren<QComboBox*>())
        if (box->isVisible())
            shown << box->currentText();
    EXPECT_TRUE(shown.contains(QStringLiteral("Water quality data (*.prn)")))
        << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(shown.contains(dialog.nameFilters().constFirst()))
        << shown.join(QLatin1Char('|')).toStdString();
    dialog.reject();
}

TEST_F(ConfiguredDialog, SaveOffersTheLastFileNameWithTheDefaultExtension) {
    settings.FileName = dir.filePath(QStringLiteral("water.prn"));
    configureFileDialog(dialog, settings, ui::FileDialogKind::Save);
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("prn"));
    EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    ASSERT_EQ(dialog.selectedFiles().size(), 1);
    EXPECT_EQ(QFileInfo(dialog.selectedFiles()[0]).fileName(), QStringLiteral("water.prn"));
}

} // namespace
