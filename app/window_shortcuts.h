// SPDX-License-Identifier: GPL-3.0-or-later
//
// The window's keyboard shortcuts: their tooltips, and keeping them working while a text
// editor has the focus.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

namespace phbuffer::app {

/// The tooltip of a button with shortcuts: its caption with the keys as the platform
/// writes them, "Run pH model (F5, Ctrl+R)". Just the caption when there are no keys.
QString shortcutToolTip(const QString& caption, const QList<QKeySequence>& keys);

/// The key sequences of a standard action on this platform, or @p fallback where the
/// platform gives it none: the Windows key scheme, which the offscreen platform uses too,
/// binds no key to QKeySequence::Quit.
QList<QKeySequence> standardKeys(QKeySequence::StandardKey key, const QKeySequence& fallback);

/// An event filter for line editors that leaves the given keys to the window's shortcuts.
/// A QLineEdit claims every key that the platform's bindings give an editing meaning,
/// before any shortcut sees it: under X11 Ctrl+E moves to the end of the line, so without
/// this filter the export shortcut would do nothing whenever a grid cell is being edited,
/// which is most of the time the grids have the focus.
class ShortcutKeysFirst : public QObject {
    Q_OBJECT
public:
    explicit ShortcutKeysFirst(QObject* parent = nullptr) : QObject(parent) {}

    /// Adds @p keys to the keys the filtered editors give up.
    void addKeys(const QList<QKeySequence>& keys) { keys_ += keys; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QKeySequence> keys_;
};

} // namespace phbuffer::app
