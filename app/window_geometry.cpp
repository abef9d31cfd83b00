// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_geometry.h"

#include <QMargins>
#include <QSettings>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace phbuffer::app {

namespace {

const QString kMainWindowKey = QStringLiteral("window/main");
const QString kAnalysisWindowKey = QStringLiteral("window/analysis");

} // namespace

QRect fittedOnScreen(const QRect& wanted, const QRect& available, const QSize& minimum,
                     const QMargins& frame) {
    const QSize room = available.size().shrunkBy(frame);
    const QSize size(
        std::max(std::min(wanted.width(), room.width()), std::min(minimum.width(), room.width())),
        std::max(std::min(wanted.height(), room.height()),
                 std::min(minimum.height(), room.height())));
    QRect placed(wanted.topLeft(), size);
    const QRect inner = available.marginsRemoved(frame);
    placed.moveLeft(std::clamp(placed.left(), inner.left(),
                               std::max(inner.left(), inner.right() + 1 - size.width())));
    placed.moveTop(std::clamp(placed.top(), inner.top(),
                              std::max(inner.top(), inner.bottom() + 1 - size.height())));
    return placed;
}

QPoint besideWindow(const QRect& mainFrame, const QSize& size, const QRect& available) {
    const int top = std::clamp(mainFrame.top(), available.top(),
                               std::max(available.top(), available.bottom() + 1 - size.height()));
    if (mainFrame.right() + 1 + size.width() <= available.right() + 1)
        return {mainFrame.right() + 1, top};
    if (mainFrame.left() - size.width() >= available.left())
        return {mainFrame.left() - size.width(), top};
    return {std::max(available.left(), available.right() + 1 - size.width()), top};
}

void restoreWindowPlaces(QWidget& window, QWidget& analysis) {
    const QSettings settings;
    // Qt's restore moves a window that would be off every screen back onto one.
    window.restoreGeometry(settings.value(kMainWindowKey).toByteArray());
    analysis.restoreGeometry(settings.value(kAnalysisWindowKey).toByteArray());
}

void saveWindowPlaces(const QWidget& window, const QWidget& analysis) {
    QSettings settings;
    settings.setValue(kMainWindowKey, window.saveGeometry());
    if (analysis.windowHandle()) // it has been shown
        settings.setValue(kAnalysisWindowKey, analysis.saveGeometry());
}

} // namespace phbuffer::app
