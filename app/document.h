// SPDX-License-Identifier: GPL-3.0-or-later
//
// The window as a document: what undo takes back, and the title that names the data file.
#pragma once

#include <QString>
#include <QUndoCommand>

#include <functional>
#include <vector>

namespace phbuffer::app {

/// What the user edits: the texts of both grids (as ui::TpHmainForm::gridTexts gives them)
/// and the pH box beside the CO2 button.
struct DocumentTexts {
    std::vector<QString> cells;
    QString phEq;
    bool operator==(const DocumentTexts& other) const {
        return cells == other.cells && phEq == other.phEq;
    }
    bool operator!=(const DocumentTexts& other) const { return !(*this == other); }
};

/// One step on the undo stack: the texts before and after a cell edit, a paste, a preset,
/// a load or the CO2 equilibrium. It is pushed once the change has been made, so its first
/// redo does nothing; later ones write the texts back through @p apply.
class DocumentChange : public QUndoCommand {
public:
    using Apply = std::function<void(const DocumentTexts&)>;
    DocumentChange(Apply apply, DocumentTexts before, DocumentTexts after, const QString& text);

    void undo() override;
    void redo() override;

private:
    Apply apply_;
    DocumentTexts before_;
    DocumentTexts after_;
    bool done_ = true;
};

/// The window title: the data file's name, when there is one, before @p caption, with
/// Qt's "[*]" where the modified mark goes; @p caption alone for an unmodified water
/// without a file, "Untitled" before it for a @p modified one.
QString documentTitle(const QString& caption, const QString& dataFileName, bool modified);

} // namespace phbuffer::app
