// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_shortcuts.h"

#include <QKeyEvent>

namespace phbuffer::app {

QString shortcutToolTip(const QString& caption, const QList<QKeySequence>& keys) {
    if (keys.isEmpty())
        return caption;
    QStringList texts;
    for (const QKeySequence& key : keys)
        texts << key.toString(QKeySequence::NativeText);
    return QStringLiteral("%1 (%2)").arg(caption, texts.join(QStringLiteral(", ")));
}

QList<QKeySequence> standardKeys(QKeySequence::StandardKey key, const QKeySequence& fallback) {
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    return keys.isEmpty() ? QList<QKeySequence>{fallback} : keys;
}

bool ShortcutKeysFirst::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        // Left unaccepted, the override lets the shortcut map have the key.
        if (keys_.contains(pressed)) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace phbuffer::app
