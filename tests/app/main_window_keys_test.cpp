// SPDX-License-Identifier: GPL-3.0-or-later
//
// The keyboard: the buttons' keys and blocks of cells copied and pasted through the
// clipboard. The key that closes the window is tried during a run, with the long runs.
#include "window_fixture.h"

#include "app/window_shortcuts.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QShortcut>
#include <QSignalSpy>

using namespace phbuffer::app;
using namespace phbuffer::app::gui;

namespace {

TEST(ShortcutKeysFirst, LetsAShortcutHaveAKeyThatALineEditorWouldClaim) {
    // Every line editor takes Ctrl+A (select all) for itself, as it takes Ctrl+E under
    // X11; with the filter the window's shortcut gets the key.
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_A), &window);
    QSignalSpy activated(shortcut, &QShortcut::activated);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();

    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(activated.count(), 0) << "the editor took the key";

    ShortcutKeysFirst filter;
    filter.addKeys({QKeySequence(Qt::CTRL | Qt::Key_A)});
    edit->installEventFilter(&filter);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(activated.count(), 1);
    QTest::keyClicks(edit, QStringLiteral("ab"));
    EXPECT_EQ(edit->text(), QStringLiteral("ab")) << "other keys still reach the editor";
}

class ActiveWindow : public ShownWindow {
protected:
    ActiveWindow() {
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    /// Presses @p key where the keyboard focus is.
    void press(const QKeySequence& key) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keySequence(focus, key);
    }
    /// The mode and filters of the file dialog that pressing @p key shows; cancels it.
    QString dialogOf(const QKeySequence& key) {
        QString shown;
        answerFileDialog = [&](QFileDialog& dialog) -> std::optional<QString> {
            shown = QStringLiteral("%1 %2").arg(
                dialog.acceptMode() == QFileDialog::AcceptOpen ? "open" : "save",
                dialog.nameFilters().join(QLatin1Char('|')));
            return std::nullopt;
        };
        press(key);
        answerFileDialog = nullptr;
        return shown;
    }
};

TEST_F(ActiveWindow, ButtonsKeepTheirCaptionsAndShowTheirKeysInTheirTooltips) {
    const std::pair<const char*, const char*> buttons[] = {
        {"DoTitrationButton", "Run pH model (F5, Ctrl+R)"},
        {"ExportPlotDataBitBtn", "Export plot data (Ctrl+E)"},
        {"CopyToClipButton", "Copy graph to clip (Ctrl+Shift+C)"},
        {"SaveDataBitBtn", "Save water quality data to file (Ctrl+Shift+S)"},
        {"GetDataBitBtn", "Get water quality data from file (Ctrl+O); recent files: Ctrl+Shift+O "
                          "or right-click"},
    };
    for (const auto& [name, toolTip] : buttons) {
        EXPECT_EQ(button(name)->toolTip(), QLatin1String(toolTip));
        EXPECT_TRUE(QLatin1String(toolTip).startsWith(button(name)->text())) << name;
    }
    EXPECT_EQ(button("DoTitrationButton")->text(), QStringLiteral("Run pH model"));
}

TEST_F(ActiveWindow, EachKeyClicksItsButtonFromAnOpenCellEditorWithTheTypedTextCommitted) {
    // Pure water from pH 7: 0.03 mmol/L of acid to pH 4.5. The last editor stays open.
    for (int r = 1; r <= 9; ++r)
        type(1, 1, r, QStringLiteral("0"));
    type(2, 1, 0, QStringLiteral("7"));
    ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(grid(2)->openEditor()));

    QSignalSpy finished(&window, &MainWindow::runFinished);
    press(QKeySequence(Qt::Key_F5));
    ASSERT_TRUE(!finished.isEmpty() || finished.wait(60000));
    EXPECT_EQ(labelText(), QStringLiteral("H+ used to reach lower target: 0.03"));
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();

    type(2, 1, 3, QStringLiteral("low"));
    press(QKeySequence(Qt::CTRL | Qt::Key_R));
    ASSERT_TRUE(finished.size() == 2 || finished.wait(60000));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].text, QStringLiteral("'low' is not a valid floating point value."));

    const QString data = QStringLiteral("Water quality data (*.prn) (*.PRN *.prn)");
    EXPECT_EQ(dialogOf(QKeySequence::Open), QStringLiteral("open ") + data);
    EXPECT_EQ(dialogOf(QKeySequence::Save), QStringLiteral("save ") + data);
    EXPECT_EQ(dialogOf(QKeySequence(Qt::CTRL | Qt::Key_E)),
              QStringLiteral("save Text files (*.txt) (*.TXT *.txt)"));
    EXPECT_EQ(fileDialogsShown, 3);

    QApplication::clipboard()->clear();
    press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    ASSERT_NE(clip, nullptr);
    EXPECT_TRUE(clip->hasFormat(QStringLiteral("image/svg+xml"))) << "the chart was copied";
    EXPECT_EQ(errors.size(), 1u) << errorTexts().toStdString();
    EXPECT_EQ(window.form().StringGrid2.Cells(1, 3), QStringLiteral("low"));
}

TEST_F(ActiveWindow, ASpreadsheetBlockPastedIntoTheGridsGoesIntoTheirCellsAndCopiesBack) {
    // A column of nine concentrations as a spreadsheet copies it, with CR LF line ends.
    QApplication::clipboard()->setText(
        QStringLiteral("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"));
    type(1, 1, 1, QString());
    press(QKeySequence::Paste);
    // A row of values runs off the grid's last column; a block reaches below its last row.
    QApplication::clipboard()->setText(QStringLiteral("7\tignored\n1640\n426\n4.5\n2"));
    type(2, 1, 0, QString());
    press(QKeySequence::Paste);

    for (int r = 1; r <= 9; ++r)
        EXPECT_EQ(window.form().StringGrid1.Cells(1, r), QStringLiteral("0")) << "row " << r;
    const char* values[] = {"7", "1640", "426", "4.5"};
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(window.form().StringGrid2.Cells(1, r), QLatin1String(values[r]));
    EXPECT_EQ(cell(2, 0, 0), QStringLiteral("Intial pH"));
    EXPECT_EQ(grid(2)->openEditor()->text(), QStringLiteral("7")) << "the editor shows its cell";
    ASSERT_TRUE(RunAndWait(window));
    EXPECT_EQ(labelText(), QStringLiteral("H+ used to reach lower target: 0.03"));

    // Names and concentrations of rows 1 and 2, selected by dragging over them.
    const QPoint from = grid(1)->visualRect(grid(1)->cellIndex(0, 1)).center();
    const QPoint to = grid(1)->visualRect(grid(1)->cellIndex(1, 2)).center();
    QTest::mousePress(grid(1)->viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, grid(1)->viewport()->mapToGlobal(to), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid(1)->viewport(), &move);
    QTest::mouseRelease(grid(1)->viewport(), Qt::LeftButton, {}, to);
    press(QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("Dissolved Inorganic Carbon (CO2-total)\t0\nAcetic acid\t0"));
}

} // namespace
