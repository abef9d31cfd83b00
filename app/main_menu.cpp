// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_menu.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace phbuffer::app {

namespace {

void addAll(QMenu* menu, const QList<QAction*>& actions) {
    for (QAction* action : actions)
        if (action)
            menu->addAction(action);
}

} // namespace

QMenuBar* buildMenuBar(QWidget* window, const WindowCommands& c) {
    auto* bar = new QMenuBar(window);
    bar->setObjectName(QStringLiteral("MenuBar"));

    QMenu* file = bar->addMenu(QCoreApplication::translate("MainMenu", "&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    file->addAction(c.open);
    c.recentFiles->setTitle(QCoreApplication::translate("MainMenu", "Open &recent"));
    file->addMenu(c.recentFiles);
    file->addSeparator();
    addAll(file, {c.save, c.saveAs});
    file->addSeparator();
    addAll(file, {c.exportPlotData, c.exportAnalysis, c.saveGraph, c.printGraph});
    file->addSeparator();
    file->addAction(c.quit);

    QMenu* edit = bar->addMenu(QCoreApplication::translate("MainMenu", "&Edit"));
    edit->setObjectName(QStringLiteral("EditMenu"));
    addAll(edit, {c.undo, c.redo});
    edit->addSeparator();
    addAll(edit, {c.cut, c.copy, c.paste, c.del});
    edit->addSeparator();
    edit->addAction(c.copyGraph);

    QMenu* water = bar->addMenu(QCoreApplication::translate("MainMenu", "&Water"));
    water->setObjectName(QStringLiteral("WaterMenu"));
    addAll(water, {c.run, c.co2Equilibrium});
    water->addSeparator();
    addAll(water, c.presets);

    QMenu* view = bar->addMenu(QCoreApplication::translate("MainMenu", "&View"));
    view->setObjectName(QStringLiteral("ViewMenu"));
    addAll(view, c.views);
    view->addSeparator();
    addAll(view, {c.wholeCurve, c.clearGraph});
    view->addSeparator();
    view->addAction(c.analysis);

    QMenu* help = bar->addMenu(QCoreApplication::translate("MainMenu", "&Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    addAll(help, {c.help, c.keys});
    help->addSeparator();
    help->addAction(c.about);
    return bar;
}

QAction* addFocusKeyAction(QWidget* window, const QString& text, const QKeySequence& key) {
    auto* action = new QAction(text, window);
    action->setShortcut(key);
    // Only the menu, which has the focus while it is open, answers the key through the
    // action; elsewhere the focused widget keeps it, as it always had it.
    action->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(action, &QAction::triggered, window, [key] {
        QWidget* target = QApplication::focusWidget();
        if (!target)
            return;
        const QKeyCombination combination = key[0];
        QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
        QKeyEvent release(QEvent::KeyRelease, combination.key(), combination.keyboardModifiers());
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    });
    return action;
}

} // namespace phbuffer::app
