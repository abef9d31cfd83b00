// SPDX-License-Identifier: GPL-3.0-or-later
#include "recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace phbuffer::app {

namespace {
const QString kKey = QStringLiteral("recentFiles");
} // namespace

QStringList RecentFiles::files() const {
    QStringList existing;
    for (const QString& path : QSettings().value(kKey).toStringList())
        if (QFileInfo(path).isFile())
            existing << path;
    return existing;
}

void RecentFiles::add(const QString& path) {
    QSettings settings;
    QStringList paths = settings.value(kKey).toStringList();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!paths.isEmpty() && paths.constFirst() == absolute)
        return;
    paths.removeAll(absolute);
    paths.prepend(absolute);
    while (paths.size() > kMaxCount)
        paths.removeLast();
    settings.setValue(kKey, paths);
}

} // namespace phbuffer::app
