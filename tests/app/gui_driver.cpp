// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_driver.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace phbuffer::app::gui {

QPushButton* ButtonNamed(const MainWindow& window, const QString& name) {
    return window.findChild<QPushButton*>(name);
}

StringGridView* GridNumber(const MainWindow& window, int number) {
    return window.findChild<StringGridView*>(QStringLiteral("StringGrid%1").arg(number));
}

void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}

bool TypeIntoCell(StringGridView* grid, int col, int row, const QString& text) {
    const QModelIndex cell = grid->cellIndex(col, row);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    QLineEdit* editor = grid->openEditor();
    if (!editor || grid->currentIndex() != cell)
        return false;
    editor->selectAll();
    QTest::keyClicks(editor, text);
    return true;
}

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QString ShownCell(const StringGridView* grid, int col, int row) {
    return grid->cellIndex(col, row).data().toString();
}

bool RunAndWait(MainWindow& window, int timeoutMs) {
    QSignalSpy finished(&window, &MainWindow::runFinished);
    Click(ButtonNamed(window, QStringLiteral("DoTitrationButton")));
    return !finished.isEmpty() || finished.wait(timeoutMs);
}

} // namespace phbuffer::app::gui
