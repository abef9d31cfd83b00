// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <stdexcept>

namespace phbuffer::ui {

/// A handler's failure. The message is UTF-8; the error box shows it through
/// ErrorBoxText. Whatever the handler assigned before it failed stays assigned.
class HandlerError : public std::runtime_error {
public:
    /// The user's texts that @p message quotes may hold control characters (a cell loaded
    /// from a file can hold a NUL); they are written visibly, as model::visibleText does.
    explicit HandlerError(const QString& message);
};

/// The text of the error box for a failure @p message: the message followed by a full
/// stop, unless it already ends in a full stop or another character whose code is at
/// most that of the full stop (U+002E).
QString errorBoxText(const QString& message);

/// ErrorBoxText for any exception a handler lets out.
QString errorBoxText(const std::exception& error);

} // namespace phbuffer::ui
