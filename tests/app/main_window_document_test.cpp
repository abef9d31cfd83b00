// SPDX-License-Identifier: GPL-3.0-or-later
//
// The window as a document: its title, the question before unsaved edits are lost, undo
// and redo, the recent files and a file named on the command line.
#include "window_fixture.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QWindow>

using namespace phbuffer::app;
using namespace phbuffer::app::gui;

namespace {

const QString kCaption = QStringLiteral("pH and buffer system calculator");

class Document : public ShownWindow {
protected:
    Document() {
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    /// Clicks @p buttonName, its file dialog answering @p file.
    void clickAnswering(const char* buttonName, const QString& file) {
        answerFileDialog = [file](QFileDialog&) { return std::optional<QString>(file); };
        click(buttonName);
    }
    QString title() const { return window.windowHandle()->title(); }
    void press(const QKeySequence& key) { QTest::keySequence(QApplication::focusWidget(), key); }

    QTemporaryDir dir;
    int& questions = unsavedQuestions;
    int& answer = unsavedAnswer;
};

TEST_F(Document, UndoTakesBackPresetsAndCellEditsOneByOneAndRedoBringsThemAgain) {
    const QString started = cell(1, 1, 1);
    click("ZPlowBitBtn");
    const QString low = cell(1, 1, 1);
    ASSERT_NE(low, started);
    EXPECT_TRUE(window.isWindowModified());
    EXPECT_EQ(title(), QStringLiteral("Untitled* - ") + kCaption)
        << "the desktop would append the caption to a title that does not end with it";

    type(1, 1, 2, QStringLiteral("7")); // still in the editor when undo is pressed
    press(QKeySequence::Undo);
    EXPECT_EQ(window.form().StringGrid1.Cells(1, 2), cell(1, 1, 2));
    EXPECT_EQ(cell(1, 1, 1), low) << "the typed text went first";
    press(QKeySequence::Undo);
    EXPECT_EQ(cell(1, 1, 1), started);
    EXPECT_EQ(PhEdit(window)->text(), window.form().StringGrid2.Cells(1, 0));
    EXPECT_FALSE(window.isWindowModified()) << "back to the water of start-up";
    press(QKeySequence::Redo);
    EXPECT_EQ(cell(1, 1, 1), low);
    press(QKeySequence::Redo);
    EXPECT_EQ(cell(1, 1, 2), QStringLiteral("7"));
}

TEST_F(Document, TheTitleNamesTheFileSavedOrLoadedAndMarksEditsSinceThen) {
    clickAnswering("SaveDataBitBtn", path("soft"));
    EXPECT_EQ(title(), QStringLiteral("soft.prn - ") + kCaption);
    EXPECT_EQ(window.windowFilePath(), path("soft.prn"));
    click("ZPhighBitBtn");
    clickAnswering("SaveDataBitBtn", path("hard.prn"));
    type(1, 1, 3, QStringLiteral("1"));
    answer = QMessageBox::Discard;
    clickAnswering("GetDataBitBtn", path("soft.prn"));
    EXPECT_EQ(questions, 1) << "the edit would have been lost";
    EXPECT_EQ(title(), QStringLiteral("soft.prn - ") + kCaption);
    EXPECT_FALSE(window.isWindowModified());
    click("ZPlowBitBtn");
    EXPECT_EQ(title(), QStringLiteral("soft.prn* - ") + kCaption);
}

TEST_F(Document, AsksBeforeQuittingOrLoadingOverUnsavedEditsAndCancelKeepsEverything) {
    window.close();
    EXPECT_EQ(questions, 0) << "nothing to lose";
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    click("ZPlowBitBtn");
    const QString low = cell(1, 1, 1);
    answer = QMessageBox::Cancel;
    press(QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(window.isVisible());
    click("GetDataBitBtn"); // no dialog: the cancel comes first
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(fileDialogsShown, 0);
    EXPECT_EQ(cell(1, 1, 1), low);

    // Save: the dialog is answered, the file written, and the window closes.
    answer = QMessageBox::Save;
    answerFileDialog = [this](QFileDialog&) { return std::optional<QString>(path("low.prn")); };
    window.close();
    EXPECT_EQ(questions, 3);
    EXPECT_TRUE(QFileInfo::exists(path("low.prn")));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(Document, TheLoadButtonsContextMenuOffersTheFilesUsedLastNewestFirst) {
    clickAnswering("SaveDataBitBtn", path("first.prn"));
    click("ZPhighBitBtn");
    const QString high = cell(1, 1, 1);
    clickAnswering("SaveDataBitBtn", path("second.prn"));
    click("ZPlowBitBtn");

    QPushButton* get = button("GetDataBitBtn");
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, get->rect().center(),
                                get->mapToGlobal(get->rect().center()));
    QApplication::sendEvent(get, &menuEvent);
    QMenu* menu = window.recentFilesMenu();
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 1000));
    QStringList entries;
    for (const QAction* action : menu->actions())
        entries << action->text();
    EXPECT_GE(entries.size(), 2);
    EXPECT_EQ(entries.mid(0, 2), (QStringList{"&1 second.prn", "&2 first.prn"}));
    answer = QMessageBox::Discard;
    QTest::keyClick(menu, Qt::Key_1);
    QTRY_COMPARE(cell(1, 1, 1), high);
    EXPECT_EQ(title(), QStringLiteral("second.prn - ") + kCaption);
}

TEST(CommandLine, AFileNamedAtStartIsOpenedOverTheStartUpWater) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("named.prn"));
    {
        MainWindow saver;
        saver.setFileDialogRunner([&](QFileDialog&) { return std::optional<QString>(file); });
        saver.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&saver));
        QTest::mouseClick(ButtonNamed(saver, QStringLiteral("ZPhighBitBtn")), Qt::LeftButton);
        QTest::mouseClick(ButtonNamed(saver, QStringLiteral("SaveDataBitBtn")), Qt::LeftButton);
    }
    MainWindow window;
    window.openAtStart(file);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    MainWindow started;
    started.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&started));
    EXPECT_NE(window.form().gridTexts(), started.form().gridTexts());
    EXPECT_EQ(window.form().StringGrid1.Cells(1, 1), ShownCell(GridNumber(window, 1), 1, 1));
    EXPECT_EQ(window.windowHandle()->title(), QStringLiteral("named.prn - ") + kCaption);
    EXPECT_FALSE(window.isWindowModified());
}

} // namespace
