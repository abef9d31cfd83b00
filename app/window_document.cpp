// SPDX-License-Identifier: GPL-3.0-or-later
//
// The window's document: the grids and the pH box as one undoable text, its file (open,
// save, recent files, a dropped file) and the title that shows its name and whether it
// has unsaved edits.
#include "main_window.h"

#include "application_style.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUndoStack>

namespace phbuffer::app {

namespace {

/// The local file that @p data carries, when it carries exactly one and nothing else.
std::optional<QString> droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return std::nullopt;
    return urls.constFirst().toLocalFile();
}

} // namespace

DocumentTexts MainWindow::documentTexts() const {
    return {form_.gridTexts(), form_.phEqEdit.Text};
}

void MainWindow::recordChange(const QString& change) {
    if (!formShown_)
        return;
    DocumentTexts now = documentTexts();
    if (now == recorded_)
        return;
    undoStack_->push(new DocumentChange(
        [this](const DocumentTexts& texts) { applyDocumentTexts(texts); }, recorded_, now, change));
    recorded_ = std::move(now);
}

QString MainWindow::savedStatus(const QString& text, const ui::FileDialog& dialog) const {
    // Nothing to say when the dialog was cancelled.
    return fileChosen_ ? text.arg(QDir::toNativeSeparators(dialog.FileName)) : QString();
}

void MainWindow::applyDocumentTexts(const DocumentTexts& texts) {
    form_.setGridTexts(texts.cells);
    form_.phEqEdit.Text = texts.phEq;
    recorded_ = texts;
    drawForm();
}

bool MainWindow::mayDropEdits() {
    commitInput();
    if (!form_.isModified())
        return true;
    switch (unsavedChangesAsker_()) {
    case QMessageBox::Save:
        handle([this] { form_.saveDataInPlace(); });
        return !form_.isModified(); // not when the save was cancelled or failed
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void MainWindow::loadFile(const QString& path) {
    if (!isRunning() && mayDropEdits())
        handle(
            [this, &path] {
                form_.loadDataFile(path);
                pinned_.dataFileLoaded(path);
            },
            tr("Load"), [&path] { return tr("Loaded %1").arg(QDir::toNativeSeparators(path)); });
}

void MainWindow::showRecentFiles(const QPoint& globalPos) {
    recentMenu_->clear();
    const QStringList files = recentFiles_.files();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        // Numbered for the keyboard: &1 to &8.
        QAction* action = recentMenu_->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        action->setToolTip(path);
        connect(action, &QAction::triggered, this, [this, path] { loadFile(path); });
    }
    if (files.isEmpty())
        recentMenu_->addAction(tr("No recent files"))->setEnabled(false);
    recentMenu_->setToolTipsVisible(true);
    recentMenu_->popup(globalPos);
}

void MainWindow::updateTitle() {
    setWindowFilePath(form_.dataFileName);
    setWindowTitle(
        documentTitle(QCoreApplication::translate("TpHmainForm", ui::TpHmainForm::Caption),
                      form_.dataFileName, form_.isModified()));
    setWindowModified(form_.isModified());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!isRunning() && droppedFile(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::optional<QString> file = droppedFile(event->mimeData());
    if (isRunning() || !file) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Loaded once the drop has ended: an error box here would keep the program the file
    // came from waiting for the end of the drag until the box is closed.
    QTimer::singleShot(0, this, [this, path = *file] { loadDroppedFile(path); });
}

void MainWindow::loadDroppedFile(const QString& path) {
    // The same loading, checks and errors as for a file chosen in the open dialog, which
    // then offers it next time.
    loadFile(path);
}
} // namespace phbuffer::app
