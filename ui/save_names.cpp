// SPDX-License-Identifier: GPL-3.0-or-later
#include "save_names.h"

#include <QDir>
#include <QFileInfo>

namespace phbuffer::ui {

namespace {

std::size_t Slot(SaveKind kind) {
    return static_cast<std::size_t>(kind);
}

} // namespace

QString SaveNames::proposal(SaveKind kind, const QString& dataFile,
                            const QString& extension) const {
    if (kind == SaveKind::WaterData && !dataFile.isEmpty())
        return dataFile;
    const QString& last = last_[Slot(kind)];
    const QString base = !dataFile.isEmpty() ? QFileInfo(dataFile).completeBaseName()
                                             : QFileInfo(last).completeBaseName();
    if (base.isEmpty())
        return {};
    const QString name = base + QLatin1Char('.') + extension;
    const QString folder = !last.isEmpty()       ? QFileInfo(last).path()
                           : !dataFile.isEmpty() ? QFileInfo(dataFile).path()
                                                 : QString();
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

QString SaveNames::lastExtension(SaveKind kind, const QString& fallback) const {
    const QString suffix = QFileInfo(last_[Slot(kind)]).suffix();
    return suffix.isEmpty() ? fallback : suffix.toLower();
}

void SaveNames::chosen(SaveKind kind, const QString& path) {
    last_[Slot(kind)] = path;
}

} // namespace phbuffer::ui
