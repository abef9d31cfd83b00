// SPDX-License-Identifier: GPL-3.0-or-later
#include "document.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <utility>

namespace phbuffer::app {

DocumentChange::DocumentChange(Apply apply, DocumentTexts before, DocumentTexts after,
                               const QString& text)
    : QUndoCommand(text), apply_(std::move(apply)), before_(std::move(before)),
      after_(std::move(after)) {}

void DocumentChange::undo() {
    apply_(before_);
    done_ = false;
}

void DocumentChange::redo() {
    // The stack redoes a command as it is pushed; this one has already happened.
    if (done_)
        return;
    apply_(after_);
    done_ = true;
}

QString documentTitle(const QString& caption, const QString& dataFileName, bool modified) {
    // The desktop appends the program's name to a title that does not end with it, so
    // an edited water without a file is named as untitled rather than marked in the
    // middle of the caption.
    if (dataFileName.isEmpty())
        return modified ? QCoreApplication::translate("Document", "Untitled[*] - %1").arg(caption)
                        : caption;
    return QCoreApplication::translate("Document", "%1[*] - %2")
        .arg(QFileInfo(dataFileName).fileName(), caption);
}

} // namespace phbuffer::app
