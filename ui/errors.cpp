// SPDX-License-Identifier: GPL-3.0-or-later
#include "errors.h"

#include "model/number_text.h"

namespace phbuffer::ui {

HandlerError::HandlerError(const QString& message)
    : std::runtime_error(model::visibleText(message.toStdString())) {}

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() <= u'.')
        return message;
    return message + QLatin1Char('.');
}

QString errorBoxText(const std::exception& error) {
    return errorBoxText(QString::fromUtf8(error.what()));
}

} // namespace phbuffer::ui
