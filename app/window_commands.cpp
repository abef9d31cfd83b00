// SPDX-License-Identifier: GPL-3.0-or-later
//
// The window's commands: what each button's click does, and the actions behind the keys
// and the menu bar that lead into the same clicks.
#include "main_window.h"

#include "analysis_window.h"
#include "help_pages.h"
#include "main_menu.h"
#include "run_timings.h"
#include "string_grid_model.h"
#include "string_grid_view.h"
#include "window_shortcuts.h"

#include "chart/chart_view.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QDir>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QUndoStack>

namespace phbuffer::app {

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
        handle([this] { form_.CO2EqButtonClick(&form_.CO2EqButton); }, tr("CO2 equilibrium"),
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
                tr("Load"), [this] { return savedStatus(tr("Loaded %1"), form_.OpenDialog1); });
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
                tr("Preset"), [preset] { return tr("Preset loaded: %1").arg(preset->Caption); });
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
    connect(phEqEdit_, &QLineEdit::editingFinished, this, [this] { recordChange(tr("Edit pH")); });
    connect(titrantButtons_, &QButtonGroup::idClicked, this, [this](int item) {
        handle([this, item] { form_.TitrantRadioGroup.ItemIndex = item; }, tr("Choose titrant"));
    });
    connect(upperTargetEdit_, &QLineEdit::textEdited, this,
            [this](const QString& text) { form_.UpperTargetEdit.Text = text; });
    for (StringGridView* grid : {grid1_, grid2_}) {
        connect(grid->gridModel(), &StringGridModel::cellEdited, this, [this] {
            recordChange(tr("Edit cell"));
            updateTitle();
            showResultsState();
        });
        connect(grid, &StringGridView::blockPasted, this, [this] {
            recordChange(tr("Paste"));
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
            recordChange(tr("Edit pH")); // the grids' edits are recorded as made
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
                    tr("; recent files: %1 or right-click")
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
    upperTargetEdit_->installEventFilter(shortcutKeysFirst_);
    grid1_->setEditorEventFilter(shortcutKeysFirst_);
    grid2_->setEditorEventFilter(shortcutKeysFirst_);
}
} // namespace phbuffer::app
