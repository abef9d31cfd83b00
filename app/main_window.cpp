// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window.h"

#include "analysis_window.h"
#include "application_style.h"
#include "chart/chart_view.h"
#include "file_dialogs.h"
#include "string_grid_view.h"
#include "titration_runner.h"
#include "window_geometry.h"
#include "window_layout.h"

#include "ui/errors.h"
#include "ui/number_format.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QUndoStack>

namespace phbuffer::app {

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(form_.Name);
    setWindowTitle(QCoreApplication::translate("TpHmainForm", ui::TpHmainForm::Caption));
    setFont(windowFont());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    buildLayout();

    errorPresenter_ = [this](const QString& title, const QString& text) {
        // Plain text: a message quotes what the user typed, which may look like markup.
        QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };
    fileDialogRunner_ = [](QFileDialog& dialog) -> std::optional<QString> {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst();
    };
    form_.ExecuteFileDialog = [this](ui::FileDialog& settings, ui::FileDialogKind kind) {
        QFileDialog dialog(this);
        configureFileDialog(dialog, settings, kind);
        std::optional<QString> chosen = fileDialogRunner_(dialog);
        fileChosen_ = chosen.has_value();
        return chosen;
    };
    unsavedChangesAsker_ = [this] {
        return static_cast<int>(QMessageBox::question(
            this, applicationTitle(),
            tr("The water quality data have changed since they were last saved. "
               "Save the changes?"),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save));
    };
    form_.CopyChartToClipboard = [this] { copyChartToClipboard(); };
    undoStack_ = new QUndoStack(this);
    recentMenu_ = new QMenu(this);
    recentMenu_->setObjectName(QStringLiteral("RecentFilesMenu"));
    // Apart from the window, so that the desktop treats it as a window of its own; it
    // goes with the window (see the destructor and closeEvent).
    analysis_ = new AnalysisWindow(nullptr);
    analysis_->setAttribute(Qt::WA_QuitOnClose, false);
    connectHandlers();
    connectAnalysis();
    addShortcuts();
    setAcceptDrops(true);

    runner_ = new TitrationRunner(this);
    connect(runner_, &TitrationRunner::continuing, this, &MainWindow::holdInput);
    connect(runner_, &TitrationRunner::finished, this, &MainWindow::finishRun);

    // The menu bar above and the status bar below the client area, which keeps its size.
    const QSize menuHeight(0, menuBar_->sizeHint().height() + statusBar_->sizeHint().height());
    setMinimumSize(layout::kMinimumClientSize + menuHeight);
    resize(layout::kClientSize + menuHeight);
    if (const QScreen* screen = this->screen()) {
        // The whole window on the screen it opens on, at any scale. The frame is not known
        // before the window manager has drawn it, so room for two title bars is kept above
        // (a window manager may also place the client below where it was asked to) and a
        // border's width around.
        const QRect available = screen->availableGeometry();
        const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
        const QMargins frame(border, 2 * style()->pixelMetric(QStyle::PM_TitleBarHeight) + border,
                             border, border);
        QRect wanted(QPoint(), size());
        wanted.moveCenter(available.center());
        const QRect fitted = fittedOnScreen(wanted, available, minimumSize(), frame);
        resize(fitted.size());
        // A window's position is its frame's: the title bar goes above the client area.
        move(fitted.topLeft() - QPoint(frame.left(), frame.top()));
    }
    drawForm();
}

MainWindow::~MainWindow() {
    delete analysis_; // stops an analysis, if one goes on
    delete runner_;   // stops a run, if one goes on, before the widgets go
    // The widgets go next, while the form still stands: an open cell editor commits its
    // text into the form's grid when the focus leaves it on the way out.
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        delete child;
}

void MainWindow::setErrorPresenter(ErrorPresenter presenter) {
    errorPresenter_ = std::move(presenter);
}

void MainWindow::setFileDialogRunner(FileDialogRunner runner) {
    fileDialogRunner_ = std::move(runner);
}

void MainWindow::setUnsavedChangesAsker(UnsavedChangesAsker asker) {
    unsavedChangesAsker_ = std::move(asker);
}

// ---- handlers ----------------------------------------------------------------------------

void MainWindow::commitInput() {
    grid1_->commitEditor();
    grid2_->commitEditor();
    form_.phEqEdit.Text = phEqEdit_->text();
    form_.UpperTargetEdit.Text = upperTargetEdit_->text();
}

void MainWindow::handle(const std::function<void()>& handler, const QString& change,
                        const std::function<QString()>& status) {
    if (isRunning()) // the panels are disabled during a run; this guards a click already queued
        return;
    commitInput();
    form_.errorCell.reset();
    std::optional<QString> error;
    try {
        handler();
    } catch (const std::exception& e) {
        error = ui::errorBoxText(e);
    }
    // What the handler assigned before it failed stays, and is shown behind the box.
    drawForm();
    recordChange(change.isEmpty() ? tr("Edit") : change);
    if (!error && !form_.dataFileName.isEmpty())
        recentFiles_.add(form_.dataFileName);
    if (error) {
        showStatus(tr("Failed: %1").arg(error->section(QLatin1Char('\n'), 0, 0)));
        showErrorCell();
        presentError(*error);
    } else if (status) {
        if (const QString said = status(); !said.isEmpty())
            showStatus(said);
    }
}

void MainWindow::showErrorCell() {
    if (!form_.errorCell)
        return;
    StringGridView* grid = form_.errorCell->grid == &form_.StringGrid1 ? grid1_ : grid2_;
    inputScroller_->ensureWidgetVisible(grid);
    grid->showCell(form_.errorCell->col, form_.errorCell->row);
}

void MainWindow::drawForm() {
    grid1_->sync();
    grid2_->sync();
    chart_->setDecimalSeparator(form_.DecimalSeparator);
    chart_->draw(form_.Chart1, form_.TitrationSeries, form_.BufferStrengthSeries);
    // Sized to its text, on as many lines as it takes not to run under the buttons.
    showResultsState();
    if (phEqEdit_->text() != form_.phEqEdit.Text)
        phEqEdit_->setText(form_.phEqEdit.Text);
    if (upperTargetEdit_->text() != form_.UpperTargetEdit.Text)
        upperTargetEdit_->setText(form_.UpperTargetEdit.Text);
    if (QAbstractButton* titrant = titrantButtons_->button(form_.TitrantRadioGroup.ItemIndex))
        titrant->setChecked(true);
    updateTitle();
    const int item = form_.WhatToShowRadioGroup.ItemIndex;
    for (qsizetype i = 0; i < viewActions_.size(); ++i)
        viewActions_[i]->setChecked(i == item);
    if (QAbstractButton* selected = radioButtons_->button(item)) {
        selected->setChecked(true);
    } else if (QAbstractButton* checked = radioButtons_->checkedButton()) {
        // No item selected: an exclusive group can't uncheck its last button by itself.
        radioButtons_->setExclusive(false);
        checked->setChecked(false);
        radioButtons_->setExclusive(true);
    }
}

void MainWindow::presentError(const QString& text) {
    errorPresenter_(applicationTitle(), text);
}

void MainWindow::refreshDecimalSeparator() {
    form_.DecimalSeparator = ui::systemDecimalSeparator();
    chart_->setDecimalSeparator(form_.DecimalSeparator);
    // Whether a pKa text counts as a number, and so its tint, follows the separator.
    grid1_->sync();
    grid2_->sync();
}

// ---- window events -----------------------------------------------------------------------

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (formShown_)
        return;
    formShown_ = true;
    handle([this] { form_.FormShow(&form_); });
    recorded_ = documentTexts();
    undoStack_->clear();
    // Typing starts in the first editable cell, as in a spreadsheet.
    grid1_->setFocus(Qt::OtherFocusReason);
    if (!startFile_.isEmpty())
        handle(
            [this] {
                form_.loadDataFile(startFile_);
                pinned_.dataFileLoaded(startFile_);
            },
            tr("Load"));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (formShown_ && !mayDropEdits()) {
        event->ignore();
        return;
    }
    // A run stops within a millisecond of the request; its dialog goes with it.
    runner_->stop();
    analysis_->close();
    event->accept();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The input panel scrolls sideways in a narrow window; its scroll bar goes below it.
    const bool narrow = width() < layout::kPanel2Width;
    const int barHeight = narrow ? inputScroller_->horizontalScrollBar()->sizeHint().height() : 0;
    inputScroller_->setFixedHeight(layout::kPanel2Height + barHeight);
    QPushButton* run = buttons_.value(&form_.DoTitrationButton);
    run->move(width() - layout::kRunButtonRightGap, run->y());
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::LocaleChange)
        return;
    // A run's texts are all written with the separator its input was read with; the new
    // one is taken when it has ended.
    if (isRunning())
        localeChangedDuringRun_ = true;
    else
        refreshDecimalSeparator();
}

} // namespace phbuffer::app
