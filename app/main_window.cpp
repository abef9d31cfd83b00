// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window.h"

#include "analysis_window.h"
#include "application_style.h"
#include "chart/chart_file.h"
#include "chart/chart_view.h"
#include "file_dialogs.h"
#include "run_timings.h"
#include "string_grid_model.h"
#include "string_grid_view.h"
#include "titration_runner.h"
#include "window_layout.h"
#include "window_shortcuts.h"

#include "ui/errors.h"
#include "ui/number_format.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace phbuffer::app {

namespace {

// The grids' heights; their widths are the form's.
constexpr int kStringGrid1Height = 255;
constexpr int kStringGrid2Height = 104;
// Label1 may take the width up to the preset buttons; a longer caption wraps.
constexpr int kLabel1MaxWidth = 656 - 399 - 4;

/// The local file that @p data carries, when it carries exactly one and nothing else.
std::optional<QString> DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return std::nullopt;
    return urls.constFirst().toLocalFile();
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(form_.Name);
    setWindowTitle(ui::TpHmainForm::Caption);
    setFont(WindowFont());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    chart_ = new ChartView(this);
    panel1_ = addPanel("Panel1", layout::kPanel1Height);
    panel2_ = addPanel("Panel2", layout::kPanel2Height);
    panel2_->setMinimumWidth(layout::kPanel2Width);
    inputScroller_ = new QScrollArea(this);
    inputScroller_->setObjectName(QStringLiteral("Panel2Scroller"));
    inputScroller_->setFrameShape(QFrame::NoFrame);
    inputScroller_->setFocusPolicy(Qt::NoFocus);
    inputScroller_->setWidgetResizable(true);
    inputScroller_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    inputScroller_->setWidget(panel2_);
    inputScroller_->setFixedHeight(layout::kPanel2Height);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(chart_, 1);
    layout->addWidget(inputScroller_);
    layout->addWidget(panel1_);

    // Panel1, the button bar.
    QPushButton* run = addButton(panel1_, form_.DoTitrationButton, {1101, 6, 105, 25});
    QPushButton* copy = addButton(panel1_, form_.CopyToClipButton, {8, 6, 105, 25});
    QPushButton* exportData = addButton(panel1_, form_.ExportPlotDataBitBtn, {127, 6, 105, 25});
    QPushButton* clear = addButton(panel1_, form_.ClearGraphButton, {248, 6, 105, 25});
    // The chart's own commands, beside the buttons that act on the chart.
    QPushButton* saveGraph = addActionButton(panel1_, chart_->saveAction(), {367, 6, 105, 25});
    QPushButton* printGraph = addActionButton(panel1_, chart_->printAction(), {486, 6, 105, 25});
    // Beside the specified buttons, in the free space of the bar.
    analysisButton_ = new QPushButton(QStringLiteral("Analysis"), panel1_);
    analysisButton_->setObjectName(QStringLiteral("AnalysisButton"));
    analysisButton_->setGeometry(605, 6, 105, 25);
    analysisButton_->setAutoDefault(false);
    // Outside the form's tab order, which stays as it is; F6 reaches it from the keyboard.
    analysisButton_->setFocusPolicy(Qt::ClickFocus);

    // Panel2, the input panel.
    label1_ = new QLabel(panel2_);
    label1_->setObjectName(form_.Label1.Name);
    label1_->move(399, 216);
    label1_->setWordWrap(true);
    grid1_ = new StringGridView(form_.StringGrid1, panel2_);
    grid1_->setGeometry(8, 1, form_.StringGrid1.Width, kStringGrid1Height);
    grid2_ = new StringGridView(form_.StringGrid2, panel2_);
    grid2_->setGeometry(399, 1, form_.StringGrid2.Width, kStringGrid2Height);
    grid1_->setAccessibleName(QStringLiteral("Buffer systems"));
    grid2_->setAccessibleName(QStringLiteral("Water conditions"));

    radioGroup_ = new QGroupBox(form_.WhatToShowRadioGroup.Caption, panel2_);
    radioGroup_->setObjectName(form_.WhatToShowRadioGroup.Name);
    radioGroup_->setGeometry(399, 111, 248, 58);
    radioButtons_ = new QButtonGroup(radioGroup_);
    auto* radioLayout = new QVBoxLayout(radioGroup_);
    radioLayout->setContentsMargins(8, 12, 8, 4);
    radioLayout->setSpacing(0);
    for (int i = 0; i < form_.WhatToShowRadioGroup.Items.size(); ++i) {
        auto* item = new QRadioButton(form_.WhatToShowRadioGroup.Items[i], radioGroup_);
        item->setObjectName(QStringLiteral("%1Item%2").arg(form_.WhatToShowRadioGroup.Name).arg(i));
        radioButtons_->addButton(item, i);
        radioLayout->addWidget(item);
    }

    QPushButton* co2 = addButton(panel2_, form_.CO2EqButton, {399, 175, 156, 25});
    phEqEdit_ = new QLineEdit(panel2_);
    phEqEdit_->setObjectName(form_.phEqEdit.Name);
    phEqEdit_->setGeometry(561, 177, 50, 21);
    // A file dropped on the pH box is for the window to load, not text for the box.
    phEqEdit_->setAcceptDrops(false);
    QPushButton* medium = addButton(panel2_, form_.ZPmediumBitBtn, {656, 68, 177, 25});
    QPushButton* high = addButton(panel2_, form_.ZPhighBitBtn, {656, 6, 177, 25});
    QPushButton* mediumHigh = addButton(panel2_, form_.ZPmediumhighBitBtn, {656, 37, 177, 25});
    QPushButton* mediumLow = addButton(panel2_, form_.ZPmediumlowBitBtn, {656, 99, 177, 25});
    QPushButton* low = addButton(panel2_, form_.ZPlowBitBtn, {656, 130, 177, 25});
    QPushButton* save = addButton(panel2_, form_.SaveDataBitBtn, {656, 176, 177, 25});
    QPushButton* get = addButton(panel2_, form_.GetDataBitBtn, {656, 207, 177, 25});

    // Panel1 comes before Panel2, and within each panel the components in this order.
    const QList<QWidget*> tabOrder = {run,
                                      copy,
                                      exportData,
                                      clear,
                                      saveGraph,
                                      printGraph,
                                      grid1_,
                                      grid2_,
                                      radioButtons_->button(0),
                                      radioButtons_->button(1),
                                      co2,
                                      phEqEdit_,
                                      medium,
                                      high,
                                      mediumHigh,
                                      mediumLow,
                                      low,
                                      save,
                                      get};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

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
        ConfigureFileDialog(dialog, settings, kind);
        std::optional<QString> chosen = fileDialogRunner_(dialog);
        fileChosen_ = chosen.has_value();
        return chosen;
    };
    unsavedChangesAsker_ = [this] {
        return static_cast<int>(QMessageBox::question(
            this, kApplicationTitle,
            QStringLiteral("The water quality data have changed since they were last saved. "
                           "Save the changes?"),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save));
    };
    form_.CopyChartToClipboard = [this] { copyChartToClipboard(); };
    undoStack_ = new QUndoStack(this);
    recentMenu_ = new QMenu(this);
    recentMenu_->setObjectName(QStringLiteral("RecentFilesMenu"));
    analysis_ = new AnalysisWindow(this);
    connectHandlers();
    connectAnalysis();
    addShortcuts();
    setAcceptDrops(true);

    runner_ = new TitrationRunner(this);
    connect(runner_, &TitrationRunner::continuing, this, &MainWindow::holdInput);
    connect(runner_, &TitrationRunner::finished, this, &MainWindow::finishRun);

    setMinimumSize(layout::kMinimumClientSize);
    resize(layout::kClientSize);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    drawForm();
}

MainWindow::~MainWindow() {
    delete runner_; // stops a run, if one goes on, before the widgets go
    // The widgets go next, while the form still stands: an open cell editor commits its
    // text into the form's grid when the focus leaves it on the way out.
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        delete child;
}

QFrame* MainWindow::addPanel(const char* name, int height) {
    auto* panel = new QFrame(this);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setFixedHeight(height);
    return panel;
}

QPushButton* MainWindow::addButton(QWidget* panel, const ui::Button& button,
                                   const QRect& geometry) {
    auto* widget = new QPushButton(button.Caption, panel);
    widget->setObjectName(button.Name);
    widget->setGeometry(geometry);
    widget->setAutoDefault(false);
    buttons_.insert(&button, widget);
    return widget;
}

QPushButton* MainWindow::addActionButton(QWidget* panel, QAction* action, const QRect& geometry) {
    auto* widget = new QPushButton(action->text(), panel);
    widget->setObjectName(
        action->objectName().replace(QLatin1String("Action"), QLatin1String("Button")));
    widget->setGeometry(geometry);
    widget->setAutoDefault(false);
    widget->setToolTip(ShortcutToolTip(action->text(), action->shortcuts()));
    connect(widget, &QPushButton::clicked, action, &QAction::trigger);
    return widget;
}

void MainWindow::connectHandlers() {
    const auto on = [this](const ui::Button& button, const std::function<void()>& handler) {
        connect(buttons_.value(&button), &QPushButton::clicked, this,
                [this, handler] { handle(handler); });
    };
    on(form_.CopyToClipButton, [this] { form_.CopyToClipButtonClick(&form_.CopyToClipButton); });
    on(form_.ExportPlotDataBitBtn,
       [this] { form_.ExportPlotDataBitBtnClick(&form_.ExportPlotDataBitBtn); });
    on(form_.ClearGraphButton, [this] { form_.ClearGraphButtonClick(&form_.ClearGraphButton); });
    on(form_.SaveDataBitBtn, [this] { form_.SaveDataBitBtnClick(&form_.SaveDataBitBtn); });
    connect(buttons_.value(&form_.CO2EqButton), &QPushButton::clicked, this, [this] {
        handle([this] { form_.CO2EqButtonClick(&form_.CO2EqButton); },
               QStringLiteral("CO2 equilibrium"));
    });
    QPushButton* get = buttons_.value(&form_.GetDataBitBtn);
    connect(get, &QPushButton::clicked, this, [this] {
        if (!isRunning() && mayDropEdits()) {
            fileChosen_ = false;
            handle(
                [this] {
                    form_.GetDataBitBtnClick(&form_.GetDataBitBtn);
                    // Loaded: the next run's curve is kept under the file's name.
                    if (fileChosen_)
                        pinned_.dataFileLoaded(form_.OpenDialog1.FileName);
                },
                QStringLiteral("Load"));
        }
    });
    get->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(get, &QWidget::customContextMenuRequested, this,
            [this, get](const QPoint& pos) { showRecentFiles(get->mapToGlobal(pos)); });
    // One handler for the five presets; the form tells them apart by the sender.
    for (const ui::Button* preset :
         {&form_.ZPmediumBitBtn, &form_.ZPhighBitBtn, &form_.ZPmediumhighBitBtn,
          &form_.ZPmediumlowBitBtn, &form_.ZPlowBitBtn})
        connect(buttons_.value(preset), &QPushButton::clicked, this, [this, preset] {
            handle(
                [this, preset] {
                    form_.ZPmediumBitBtnClick(preset);
                    pinned_.presetChosen(*preset);
                },
                QStringLiteral("Preset"));
        });

    connect(buttons_.value(&form_.DoTitrationButton), &QPushButton::clicked, this, [this] {
        if (timings_)
            timings_->clicked();
        startRun();
    });
    connect(radioButtons_, &QButtonGroup::idClicked, this, [this](int item) {
        handle([this, item] {
            form_.WhatToShowRadioGroup.ItemIndex = item;
            form_.WhatToShowRadioGroupClick(&form_.WhatToShowRadioGroup);
        });
    });
    connect(chart_->saveAction(), &QAction::triggered, this,
            [this] { handle([this] { saveChartAs(); }); });
    connect(chart_->printAction(), &QAction::triggered, this,
            [this] { handle([this] { printChart(); }); });
    connect(phEqEdit_, &QLineEdit::textEdited, this,
            [this](const QString& text) { form_.phEqEdit.Text = text; });
    connect(phEqEdit_, &QLineEdit::editingFinished, this,
            [this] { recordChange(QStringLiteral("Edit pH")); });
    for (StringGridView* grid : {grid1_, grid2_}) {
        connect(grid->gridModel(), &StringGridModel::cellEdited, this, [this] {
            recordChange(QStringLiteral("Edit cell"));
            updateTitle();
        });
        connect(grid, &StringGridView::blockPasted, this, [this] {
            recordChange(QStringLiteral("Paste"));
            updateTitle();
        });
        connect(grid, &StringGridView::blockCleared, this, [this](const QString& change) {
            recordChange(change);
            updateTitle();
        });
    }
    grid1_->gridModel()->setCellHint(
        [this](int col, int row) { return form_.cellHint(form_.StringGrid1, col, row); });
}

void MainWindow::addShortcuts() {
    shortcutKeysFirst_ = new ShortcutKeysFirst(this);
    const auto add = [this](const ui::Button& button, const QList<QKeySequence>& keys) {
        QPushButton* widget = buttons_.value(&button);
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        // The button's own click: the typed input is committed first, a failure shows the
        // error box, and a disabled button (during a run) does nothing.
        connect(shortcut, &QShortcut::activated, widget, &QPushButton::click);
        widget->setToolTip(ShortcutToolTip(button.Caption, keys));
        shortcutKeysFirst_->addKeys(keys);
        buttonShortcuts_ << shortcut;
    };
    add(form_.GetDataBitBtn, StandardKeys(QKeySequence::Open, Qt::CTRL | Qt::Key_O));
    add(form_.SaveDataBitBtn, StandardKeys(QKeySequence::Save, Qt::CTRL | Qt::Key_S));
    add(form_.DoTitrationButton, {Qt::Key_F5, Qt::CTRL | Qt::Key_R});
    add(form_.ExportPlotDataBitBtn, {Qt::CTRL | Qt::Key_E});
    add(form_.CopyToClipButton, {Qt::CTRL | Qt::SHIFT | Qt::Key_C});
    auto* analysis = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(analysis, &QShortcut::activated, analysisButton_, &QPushButton::click);
    analysisButton_->setToolTip(ShortcutToolTip(analysisButton_->text(), {Qt::Key_F6}));
    shortcutKeysFirst_->addKeys({Qt::Key_F6});
    buttonShortcuts_ << analysis;

    // Undo and redo take the grids back, not the text of an editor: what is typed into a
    // cell is committed first and taken back as one edit.
    const auto addDocumentKey = [this](const QList<QKeySequence>& keys,
                                       const std::function<void()>& action) {
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        connect(shortcut, &QShortcut::activated, this, [this, action] {
            if (isRunning())
                return;
            commitInput();
            recordChange(QStringLiteral("Edit pH")); // the grids' edits are recorded as made
            action();
        });
        shortcutKeysFirst_->addKeys(keys);
        buttonShortcuts_ << shortcut;
    };
    addDocumentKey(StandardKeys(QKeySequence::Undo, Qt::CTRL | Qt::Key_Z),
                   [this] { undoStack_->undo(); });
    addDocumentKey(StandardKeys(QKeySequence::Redo, Qt::CTRL | Qt::Key_Y),
                   [this] { undoStack_->redo(); });
    const QList<QKeySequence> recentKeys = {Qt::CTRL | Qt::SHIFT | Qt::Key_O};
    addDocumentKey(recentKeys, [this] {
        QPushButton* get = buttons_.value(&form_.GetDataBitBtn);
        showRecentFiles(get->mapToGlobal(QPoint(0, get->height())));
    });
    QPushButton* get = buttons_.value(&form_.GetDataBitBtn);
    get->setToolTip(get->toolTip() +
                    QStringLiteral("; recent files: %1 or right-click")
                        .arg(recentKeys.constFirst().toString(QKeySequence::NativeText)));

    // Quit works during a run too, from the progress dialog as well: closing the window
    // stops the run.
    auto* quit = new QShortcut(this);
    const QList<QKeySequence> quitKeys = StandardKeys(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q);
    quit->setKeys(quitKeys);
    quit->setContext(Qt::ApplicationShortcut);
    connect(quit, &QShortcut::activated, this, &QWidget::close);
    shortcutKeysFirst_->addKeys(quitKeys);
    for (const QAction* action :
         {chart_->saveAction(), chart_->printAction(), chart_->wholeCurveAction()})
        shortcutKeysFirst_->addKeys(action->shortcuts());

    phEqEdit_->installEventFilter(shortcutKeysFirst_);
    grid1_->setEditorEventFilter(shortcutKeysFirst_);
    grid2_->setEditorEventFilter(shortcutKeysFirst_);
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

void MainWindow::reportTimings(QElapsedTimer started) {
    if (timings_)
        return;
    timings_ = new RunTimings(started, chart_, this);
    connect(runner_, &TitrationRunner::cancelling, timings_, &RunTimings::cancelled);
}

bool MainWindow::isRunning() const {
    return runner_->isRunning();
}

QProgressDialog* MainWindow::progressDialog() const {
    return runner_->progressDialog();
}

// ---- handlers ----------------------------------------------------------------------------

void MainWindow::commitInput() {
    grid1_->commitEditor();
    grid2_->commitEditor();
    form_.phEqEdit.Text = phEqEdit_->text();
}

void MainWindow::handle(const std::function<void()>& handler, const QString& change) {
    if (isRunning()) // the panels are disabled during a run; this guards a click already queued
        return;
    commitInput();
    form_.errorCell.reset();
    std::optional<QString> error;
    try {
        handler();
    } catch (const std::exception& e) {
        error = ui::ErrorBoxText(e);
    }
    // What the handler assigned before it failed stays, and is shown behind the box.
    drawForm();
    recordChange(change.isEmpty() ? QStringLiteral("Edit") : change);
    if (!error && !form_.dataFileName.isEmpty())
        recentFiles_.add(form_.dataFileName);
    if (error) {
        showErrorCell();
        presentError(*error);
    }
}

// ---- the document ------------------------------------------------------------------------

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
        handle([this] { form_.SaveDataBitBtnClick(&form_.SaveDataBitBtn); });
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
                form_.LoadDataFile(path);
                pinned_.dataFileLoaded(path);
            },
            QStringLiteral("Load"));
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
        recentMenu_->addAction(QStringLiteral("No recent files"))->setEnabled(false);
    recentMenu_->setToolTipsVisible(true);
    recentMenu_->popup(globalPos);
}

void MainWindow::updateTitle() {
    setWindowFilePath(form_.dataFileName);
    setWindowTitle(DocumentTitle(ui::TpHmainForm::Caption, form_.dataFileName));
    setWindowModified(form_.isModified());
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
    const QString caption = ui::KeepQuantitiesTogether(form_.Label1.Caption);
    label1_->setText(caption);
    const int textWidth = label1_->fontMetrics().horizontalAdvance(caption) + 1;
    const int labelWidth = std::min(textWidth, kLabel1MaxWidth);
    label1_->resize(labelWidth, label1_->heightForWidth(labelWidth));
    if (phEqEdit_->text() != form_.phEqEdit.Text)
        phEqEdit_->setText(form_.phEqEdit.Text);
    updateTitle();
    const int item = form_.WhatToShowRadioGroup.ItemIndex;
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
    errorPresenter_(kApplicationTitle, text);
}

void MainWindow::copyChartToClipboard() {
    QGuiApplication::clipboard()->setMimeData(chart_->clipboardData());
}

void MainWindow::saveChartAs() {
    QFileDialog dialog(this, chart_->saveAction()->text());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = {QStringLiteral("SVG picture (*.svg)"),
                                 QStringLiteral("PNG picture (*.png)"),
                                 QStringLiteral("PDF document (*.pdf)")};
    dialog.setNameFilters(filters);
    // A name typed without an extension gets the one of the type chosen in the dialog.
    dialog.setDefaultSuffix(QStringLiteral("svg"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.section(QLatin1String("*."), 1).chopped(1));
    });
    const std::optional<QString> path = fileDialogRunner_(dialog);
    if (path)
        chart::saveChart(*chart_, *path, *form_.Files);
}

void MainWindow::printChart() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(form_.Chart1.Title);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        throw ui::HandlerError(QStringLiteral("The printer could not be started"));
    painter.setRenderHint(QPainter::Antialiasing);
    // As large as the page takes it, in the proportions of the chart on the screen.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    QSizeF size = QSizeF(chart_->viewport()->size());
    size.scale(QSizeF(page.size()), Qt::KeepAspectRatio);
    chart_->renderChart(painter, QRectF(QPointF(0, 0), size));
    painter.end();
}

void MainWindow::refreshDecimalSeparator() {
    form_.DecimalSeparator = ui::SystemDecimalSeparator();
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
        handle([this] { form_.LoadDataFile(startFile_); }, QStringLiteral("Load"));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (formShown_ && !mayDropEdits()) {
        event->ignore();
        return;
    }
    // A run stops within a millisecond of the request; its dialog goes with it.
    runner_->stop();
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

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!isRunning() && DroppedFile(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::optional<QString> file = DroppedFile(event->mimeData());
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

// ---- the titration run -------------------------------------------------------------------

void MainWindow::startRun() {
    if (isRunning())
        return;
    commitInput();
    std::optional<ui::RunInput> input;
    try {
        input = form_.prepareRun(&form_.DoTitrationButton);
    } catch (const std::exception& e) {
        // Refused before anything was computed; the window shows what it showed.
        drawForm();
        showErrorCell();
        presentError(ui::ErrorBoxText(e));
        emit runFinished();
        return;
    }
    runWater_ = input->state;
    // Drawn once, when the run has ended.
    runner_->start(std::move(*input), form_.DecimalSeparator);
}

void MainWindow::holdInput() {
    focusBeforeRun_ = QApplication::focusWidget();
    setInputEnabled(false);
}

void MainWindow::finishRun() {
    if (timings_)
        timings_->stopped();
    TitrationRunner::Ending ending = runner_->takeEnding();
    setInputEnabled(true);
    if (focusBeforeRun_)
        focusBeforeRun_->setFocus(Qt::OtherFocusReason);
    focusBeforeRun_ = nullptr;

    std::optional<QString> error = std::move(ending.error);
    // A stopped run may have been stopped for taking too long: it is not run again.
    const bool reachedTarget =
        ending.result && ending.result->outcome.end == model::RunEnd::ReachedTarget;
    if (ending.result) {
        try {
            form_.applyRun(std::move(*ending.result));
        } catch (const std::exception& e) {
            error = ui::ErrorBoxText(e);
        }
    }
    if (!error && runWater_) {
        pinned_.runShown();
        // The analysis runs again over the run's own input, off this thread.
        if (reachedTarget)
            analysis_->analyse(*runWater_, form_.DecimalSeparator);
        else
            analysis_->clear();
    }
    runWater_.reset();
    if (localeChangedDuringRun_) {
        localeChangedDuringRun_ = false;
        refreshDecimalSeparator();
    }
    drawForm();
    if (timings_)
        timings_->runDrawn();
    if (error)
        presentError(*error);
    emit runFinished();
}

void MainWindow::connectAnalysis() {
    connect(analysisButton_, &QPushButton::clicked, this, [this] {
        analysis_->show();
        analysis_->raise();
        analysis_->activateWindow();
    });
    connect(chart_, &ChartView::pointRead, analysis_, &AnalysisWindow::showBreakdownAt);
    connect(analysis_, &AnalysisWindow::keepCurveClicked, this, [this] {
        if (!isRunning() && pinned_.keep(form_.TitrationSeries, form_.BufferStrengthSeries))
            showPinnedCurves();
    });
    connect(analysis_, &AnalysisWindow::removeCurveClicked, this, [this](int index) {
        pinned_.remove(static_cast<std::size_t>(index));
        showPinnedCurves();
    });
    connect(analysis_, &AnalysisWindow::removeAllCurvesClicked, this, [this] {
        pinned_.removeAll();
        showPinnedCurves();
    });
    connect(analysis_, &AnalysisWindow::exportClicked, this, [this] {
        if (const auto& view = analysis_->view())
            handle([this, &view] { ui::exportAnalysis(form_, view->analysis); });
    });
}

void MainWindow::showPinnedCurves() {
    chart_->setPinnedCurves(pinned_.curves());
    analysis_->showPinnedCurves(pinned_.curves());
}

void MainWindow::setInputEnabled(bool enabled) {
    panel1_->setEnabled(enabled);
    panel2_->setEnabled(enabled);
    for (QShortcut* shortcut : buttonShortcuts_)
        shortcut->setEnabled(enabled);
}

} // namespace phbuffer::app
