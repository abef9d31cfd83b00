// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_driver.h"

#include <QApplication>
#include <QChartView>
#include <QDropEvent>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace phbuffer::app::gui {

QPushButton* ButtonNamed(const MainWindow& window, const QString& name) {
    return window.findChild<QPushButton*>(name);
}

StringGridView* GridNumber(const MainWindow& window, int number) {
    return window.findChild<StringGridView*>(QStringLiteral("StringGrid%1").arg(number));
}

QLineEdit* PhEdit(const MainWindow& window) {
    return window.findChild<QLineEdit*>(QStringLiteral("phEqEdit"));
}

QRadioButton* RadioItem(const MainWindow& window, int item) {
    return window.findChild<QRadioButton*>(QStringLiteral("WhatToShowRadioGroupItem%1").arg(item));
}

void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}

QPoint LegendEntryAt(const QChartView& view, const QLegendMarker& marker) {
    // An entry is drawn by an item of the chart's own, with a text item for its label.
    for (QGraphicsItem* item : view.scene()->items()) {
        const auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item);
        if (text && text->isVisible() && view.chart()->legend()->isAncestorOf(text) &&
            text->toPlainText() == marker.label())
            return view.mapFromScene(text->sceneBoundingRect().center());
    }
    return {-1, -1};
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

void DragOverCells(StringGridView* grid, int col1, int row1, int col2, int row2) {
    const QPoint from = grid->visualRect(grid->cellIndex(col1, row1)).center();
    const QPoint to = grid->visualRect(grid->cellIndex(col2, row2)).center();
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, from);
    // QTest's move carries no pressed button, and a drag is a move with the button held.
    QMouseEvent move(QEvent::MouseMove, to, grid->viewport()->mapToGlobal(to), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &move);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, to);
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

bool DropAt(QWidget* window, QPoint pos, const QMimeData& data) {
    QWidget* target = window->childAt(pos);
    if (!target)
        target = window;
    while (target != window && !target->acceptDrops())
        target = target->parentWidget();
    if (!target->acceptDrops())
        return false;
    const QPointF at = target->mapFrom(window, pos);
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(at.toPoint(), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    bool taken = enter.isAccepted();
    if (taken) {
        QDragMoveEvent move(at.toPoint(), actions, &data, Qt::LeftButton, Qt::NoModifier);
        move.setAccepted(true); // a drag taken at its entry stays taken unless refused
        QApplication::sendEvent(target, &move);
        taken = move.isAccepted();
    }
    if (taken) {
        QDropEvent drop(at, actions, &data, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        taken = drop.isAccepted();
    } else {
        QDragLeaveEvent leave;
        QApplication::sendEvent(target, &leave);
    }
    QApplication::processEvents();
    return taken;
}

std::unique_ptr<QMimeData> FileDrag(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    data->setText(paths.join(QLatin1Char('\n')));
    return data;
}

} // namespace phbuffer::app::gui
