// SPDX-License-Identifier: GPL-3.0-or-later
//
// The window's menu bar. Every command in it is the action that its button and its key
// trigger too, so a menu entry, a click and a key lead into the same handler.
#pragma once

#include <QKeySequence>
#include <QList>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace phbuffer::app {

/// The window's commands, by menu. Each is an action the window made and connected.
struct WindowCommands {
    // File
    QAction* open = nullptr;
    QMenu* recentFiles = nullptr;
    QAction* save = nullptr;
    QAction* saveAs = nullptr;
    QAction* exportPlotData = nullptr;
    QAction* exportAnalysis = nullptr;
    QAction* saveGraph = nullptr;
    QAction* printGraph = nullptr;
    QAction* quit = nullptr;
    // Edit
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* cut = nullptr;
    QAction* copy = nullptr;
    QAction* paste = nullptr;
    QAction* del = nullptr;
    QAction* copyGraph = nullptr;
    // Water
    QAction* run = nullptr;
    QAction* co2Equilibrium = nullptr;
    QList<QAction*> presets;
    // View
    QList<QAction*> views; ///< the radio group's items, one checkable action each
    QAction* wholeCurve = nullptr;
    QAction* clearGraph = nullptr;
    QAction* analysis = nullptr;
    // Help
    QAction* help = nullptr;
    QAction* keys = nullptr;
    QAction* about = nullptr;
};

/// The menu bar of @p window holding @p commands in File, Edit, Water, View and Help.
QMenuBar* buildMenuBar(QWidget* window, const WindowCommands& commands);

/// The Edit commands act on whatever has the keyboard focus, as their keys do there: the
/// action sends its key to the focused widget (a grid, its cell editor, the pH box). The
/// key is shown in the menu but left to the focused widget while the menu is closed.
QAction* addFocusKeyAction(QWidget* window, const QString& text, const QKeySequence& key);

} // namespace phbuffer::app
