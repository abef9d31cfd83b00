// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window.h"

#include "analysis_window.h"
#include "application_style.h"
#include "chart/chart_file.h"
#include "chart/chart_view.h"
#include "file_dialogs.h"
#include "help_pages.h"
#include "main_menu.h"
#include "run_timings.h"
#include "string_grid_model.h"
#include "string_grid_view.h"
#include "titration_runner.h"
#include "window_geometry.h"
#include "window_layout.h"
#include "window_shortcuts.h"

#include "ui/errors.h"
#include "ui/number_format.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
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
#include <QStatusBar>
#include <QStyle>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace phbuffer::app {

namespace {

// The grids' heights; their widths are the form's.
constexpr int kStringGrid1Height = 255;
constexpr int kStringGrid2Height = 104;

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

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(form_.Name);
    setWindowTitle(ui::TpHmainForm::Caption);
    setFont(windowFont());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    chart_ = new ChartView(this);
    chart_->setAccessibleName(tr("Chart"));
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
    addStatusBar(layout);

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
    phEqEdit_->setAccessibleName(tr("pH of the CO2 equilibrium"));
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
        configureFileDialog(dialog, settings, kind);
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
    widget->setToolTip(shortcutToolTip(action->text(), action->shortcuts()));
    connect(widget, &QPushButton::clicked, action, &QAction::trigger);
    return widget;
}

void MainWindow::connectHandlers() {
    const auto on = [this](const ui::Button& button, const std::function<void()>& handler) {
        connect(buttons_.value(&button), &QPushButton::clicked, this,
                [this, handler] { handle(handler); });
    };
    on(form_.CopyToClipButton, [this] { form_.CopyToClipButtonClick(&form_.CopyToClipButton); });
    connect(buttons_.value(&form_.ExportPlotDataBitBtn), &QPushButton::clicked, this, [this] {
        fileChosen_ = false;
        handle(
            [this] { form_.ExportPlotDataBitBtnClick(&form_.ExportPlotDataBitBtn); }, {},
            [this] { return savedStatus(tr("Exported the plot data to %1"), form_.SaveDialog1); });
    });
    on(form_.ClearGraphButton, [this] { form_.ClearGraphButtonClick(&form_.ClearGraphButton); });
    connect(buttons_.value(&form_.SaveDataBitBtn), &QPushButton::clicked, this, [this] {
        fileChosen_ = false;
        handle([this] { form_.SaveDataBitBtnClick(&form_.SaveDataBitBtn); }, {},
               [this] { return savedStatus(tr("Saved %1"), form_.SaveDialog1); });
    });
    connect(buttons_.value(&form_.CO2EqButton), &QPushButton::clicked, this, [this] {
        handle([this] { form_.CO2EqButtonClick(&form_.CO2EqButton); },
               QStringLiteral("CO2 equilibrium"),
               [this] {
                   return tr("Inorganic carbon in equilibrium with the gas phase at pH %1 "
                             "written into row 1")
                       .arg(form_.phEqEdit.Text);
               });
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
                QStringLiteral("Load"),
                [this] { return savedStatus(tr("Loaded %1"), form_.OpenDialog1); });
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
                QStringLiteral("Preset"),
                [preset] { return tr("Preset loaded: %1").arg(preset->Caption); });
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
            showResultsState();
        });
        connect(grid, &StringGridView::blockPasted, this, [this] {
            recordChange(QStringLiteral("Paste"));
            updateTitle();
            showResultsState();
            showStatus(tr("Pasted a block of cells"));
        });
        connect(grid, &StringGridView::blockCleared, this, [this](const QString& change) {
            recordChange(change);
            updateTitle();
            showResultsState();
        });
    }
    grid1_->gridModel()->setCellHint(
        [this](int col, int row) { return form_.cellHint(form_.StringGrid1, col, row); });
}

void MainWindow::addShortcuts() {
    shortcutKeysFirst_ = new ShortcutKeysFirst(this);
    // An action of the window: its keys reach it from any of the window's widgets, before
    // an editor that would take them for itself. Off while a run goes on.
    const auto command = [this](const QString& text, const QList<QKeySequence>& keys,
                                const char* name) {
        auto* action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        addAction(action);
        shortcutKeysFirst_->addKeys(keys);
        inputActions_ << action;
        return action;
    };
    // A button's action is its click: the typed input is committed first, a failure shows
    // the error box, and a disabled button (during a run) does nothing.
    const auto buttonCommand = [this, &command](const ui::Button& button,
                                                const QList<QKeySequence>& keys) {
        QPushButton* widget = buttons_.value(&button);
        QAction* action =
            command(button.Caption, keys, (button.Name + QStringLiteral("Action")).toLatin1());
        connect(action, &QAction::triggered, widget, &QPushButton::click);
        widget->setToolTip(shortcutToolTip(button.Caption, keys));
        return action;
    };
    WindowCommands menu;
    menu.open =
        buttonCommand(form_.GetDataBitBtn, standardKeys(QKeySequence::Open, Qt::CTRL | Qt::Key_O));
    menu.open->setText(tr("&Open..."));
    // The button always asks for a name, as "Save As" does; the Save key saves in place.
    menu.saveAs = buttonCommand(
        form_.SaveDataBitBtn, standardKeys(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    menu.saveAs->setText(tr("Save &As..."));
    menu.save =
        command(tr("&Save"), standardKeys(QKeySequence::Save, Qt::CTRL | Qt::Key_S), "SaveAction");
    connect(menu.save, &QAction::triggered, this, [this] {
        if (!isRunning())
            handle(
                [this] { form_.saveDataInPlace(); }, {},
                [this] {
                    return form_.isModified()
                               ? QString()
                               : tr("Saved %1").arg(QDir::toNativeSeparators(form_.dataFileName));
                });
    });
    menu.run = buttonCommand(form_.DoTitrationButton, {Qt::Key_F5, Qt::CTRL | Qt::Key_R});
    menu.exportPlotData = buttonCommand(form_.ExportPlotDataBitBtn, {Qt::CTRL | Qt::Key_E});
    menu.copyGraph = buttonCommand(form_.CopyToClipButton, {Qt::CTRL | Qt::SHIFT | Qt::Key_C});
    menu.clearGraph = buttonCommand(form_.ClearGraphButton, {});
    menu.co2Equilibrium = buttonCommand(form_.CO2EqButton, {});
    for (const ui::Button* preset :
         {&form_.ZPhighBitBtn, &form_.ZPmediumhighBitBtn, &form_.ZPmediumBitBtn,
          &form_.ZPmediumlowBitBtn, &form_.ZPlowBitBtn})
        menu.presets << buttonCommand(*preset, {});
    menu.analysis = command(analysisButton_->text(), {Qt::Key_F6}, "AnalysisAction");
    connect(menu.analysis, &QAction::triggered, analysisButton_, &QPushButton::click);
    analysisButton_->setToolTip(shortcutToolTip(analysisButton_->text(), {Qt::Key_F6}));
    menu.exportAnalysis = command(tr("Export &analysis..."), {}, "ExportAnalysisAction");
    connect(menu.exportAnalysis, &QAction::triggered, this, [this] {
        // What the analysis window's own export button does, once there is an analysis.
        if (analysis_->view())
            emit analysis_->exportClicked();
        else
            presentError(tr("There is no analysis to export yet: run the pH model first."));
    });

    // Undo and redo take the grids back, not the text of an editor: what is typed into a
    // cell is committed first and taken back as one edit.
    const auto documentCommand = [this, &command](const QString& text,
                                                  const QList<QKeySequence>& keys, const char* name,
                                                  const std::function<void()>& act) {
        QAction* action = command(text, keys, name);
        connect(action, &QAction::triggered, this, [this, act] {
            if (isRunning())
                return;
            commitInput();
            recordChange(QStringLiteral("Edit pH")); // the grids' edits are recorded as made
            act();
        });
        return action;
    };
    menu.undo = documentCommand(tr("&Undo"), standardKeys(QKeySequence::Undo, Qt::CTRL | Qt::Key_Z),
                                "UndoAction", [this] { undoStack_->undo(); });
    // Ctrl+Y beside the desktop's own redo key, as the spreadsheets have it.
    QList<QKeySequence> redoKeys =
        standardKeys(QKeySequence::Redo, Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redoKeys << QKeySequence(Qt::CTRL | Qt::Key_Y);
    menu.redo =
        documentCommand(tr("&Redo"), redoKeys, "RedoAction", [this] { undoStack_->redo(); });
    const QList<QKeySequence> recentKeys = {Qt::CTRL | Qt::SHIFT | Qt::Key_O};
    documentCommand(tr("Recent files"), recentKeys, "RecentFilesAction", [this] {
        QPushButton* get = buttons_.value(&form_.GetDataBitBtn);
        showRecentFiles(get->mapToGlobal(QPoint(0, get->height())));
    });
    QPushButton* get = buttons_.value(&form_.GetDataBitBtn);
    get->setToolTip(get->toolTip() +
                    QStringLiteral("; recent files: %1 or right-click")
                        .arg(recentKeys.constFirst().toString(QKeySequence::NativeText)));
    menu.recentFiles = recentMenu_;

    menu.cut = addFocusKeyAction(this, tr("Cu&t"), QKeySequence::Cut);
    menu.copy = addFocusKeyAction(this, tr("&Copy"), QKeySequence::Copy);
    menu.paste = addFocusKeyAction(this, tr("&Paste"), QKeySequence::Paste);
    menu.del = addFocusKeyAction(this, tr("&Delete"), QKeySequence::Delete);
    inputActions_ << menu.cut << menu.copy << menu.paste << menu.del;

    menu.saveGraph = chart_->saveAction();
    menu.printGraph = chart_->printAction();
    menu.wholeCurve = chart_->wholeCurveAction();
    for (const QAction* action :
         {chart_->saveAction(), chart_->printAction(), chart_->wholeCurveAction()})
        shortcutKeysFirst_->addKeys(action->shortcuts());

    auto* views = new QActionGroup(this);
    for (QAbstractButton* item : radioButtons_->buttons()) {
        auto* action = new QAction(item->text(), views);
        action->setCheckable(true);
        connect(action, &QAction::triggered, item, &QAbstractButton::click);
        menu.views << action;
        inputActions_ << action;
    }
    viewActions_ = menu.views;

    // Quit works during a run too, from the progress dialog as well: closing the window
    // stops the run.
    menu.quit = new QAction(tr("&Quit"), this);
    menu.quit->setObjectName(QStringLiteral("QuitAction"));
    const QList<QKeySequence> quitKeys = standardKeys(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q);
    menu.quit->setShortcuts(quitKeys);
    menu.quit->setShortcutContext(Qt::ApplicationShortcut);
    addAction(menu.quit);
    connect(menu.quit, &QAction::triggered, this, &QWidget::close);
    shortcutKeysFirst_->addKeys(quitKeys);

    menu.help = new QAction(tr("&Help"), this);
    menu.help->setShortcuts(standardKeys(QKeySequence::HelpContents, Qt::Key_F1));
    addAction(menu.help);
    connect(menu.help, &QAction::triggered, this, [this] { showHelpPage(this); });
    menu.keys = new QAction(tr("&Keys"), this);
    connect(menu.keys, &QAction::triggered, this, [this] { showKeysPage(this); });
    menu.about = new QAction(tr("&About"), this);
    connect(menu.about, &QAction::triggered, this, [this] { showAbout(this); });
    menuBar_ = buildMenuBar(this, menu);
    layout()->setMenuBar(menuBar_);

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
    recordChange(change.isEmpty() ? QStringLiteral("Edit") : change);
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
            QStringLiteral("Load"),
            [&path] { return tr("Loaded %1").arg(QDir::toNativeSeparators(path)); });
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
    setWindowTitle(documentTitle(ui::TpHmainForm::Caption, form_.dataFileName, form_.isModified()));
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
    showResultsState();
    if (phEqEdit_->text() != form_.phEqEdit.Text)
        phEqEdit_->setText(form_.phEqEdit.Text);
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
    errorPresenter_(kApplicationTitle, text);
}

void MainWindow::copyChartToClipboard() {
    QGuiApplication::clipboard()->setMimeData(chart_->clipboardData());
}

void MainWindow::saveChartAs() {
    QFileDialog dialog(this, QStringLiteral("Save graph"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = {QStringLiteral("SVG picture (*.svg)"),
                                 QStringLiteral("PNG picture (*.png)"),
                                 QStringLiteral("PDF document (*.pdf)")};
    dialog.setNameFilters(filters);
    // The type last chosen comes first again, and the name is the chart's own.
    const QString suffix =
        form_.saveNames.lastExtension(ui::SaveKind::Chart, QStringLiteral("svg"));
    for (const QString& filter : filters)
        if (filter.contains(QStringLiteral("*.") + suffix))
            dialog.selectNameFilter(filter);
    dialog.setDirectory(QDir::currentPath());
    const QString proposal =
        form_.saveNames.proposal(ui::SaveKind::Chart, form_.dataFileName, suffix);
    if (!proposal.isEmpty())
        dialog.selectFile(proposal);
    // A name typed without an extension gets the one of the type chosen in the dialog.
    dialog.setDefaultSuffix(suffix);
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.section(QLatin1String("*."), 1).chopped(1));
    });
    const std::optional<QString> path = fileDialogRunner_(dialog);
    if (path) {
        form_.saveNames.chosen(ui::SaveKind::Chart, *path);
        chart::saveChart(*chart_, *path, *form_.Files);
    }
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
            QStringLiteral("Load"));
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
        presentError(ui::errorBoxText(e));
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
            error = ui::errorBoxText(e);
        }
    }
    if (!error && runWater_) {
        pinned_.runShown();
        chart_->setCurrentCurveName(pinned_.shownName());
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
    showStatus(error ? tr("Run failed") : tr("Run finished: %1").arg(form_.Label1.Caption));
    if (error)
        presentError(*error);
    emit runFinished();
}

void MainWindow::connectAnalysis() {
    connect(analysisButton_, &QPushButton::clicked, this, [this] {
        if (!analysis_->isVisible() && !analysisPlaced_) {
            // Beside the main window, where the screen has room, rather than over its chart.
            analysisPlaced_ = true;
            analysis_->move(besideWindow(frameGeometry(), analysis_->frameGeometry().size(),
                                         screen()->availableGeometry()));
        }
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
    for (QAction* action : inputActions_)
        action->setEnabled(enabled);
}

} // namespace phbuffer::app
