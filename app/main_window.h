// SPDX-License-Identifier: GPL-3.0-or-later
//
// pHmainForm: the Qt view of the form logic TpHmainForm. It lays out and draws the form's
// components, turns clicks into handler calls, shows the file dialogs and the error box,
// and runs a titration off the user-interface thread. It holds no chemistry and no file
// format: every number and text it shows comes from the form. Keys, the clipboard and a
// file dropped on it lead into the same handlers as the buttons.
#pragma once

#include "document.h"
#include "recent_files.h"

#include "ui/main_form.h"
#include "ui/pinned_curves.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QAction;
class QButtonGroup;
class QFileDialog;
class QFrame;
class QMenu;
class QMenuBar;
class QStatusBar;
class QVBoxLayout;
class QUndoStack;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QScrollArea;
class QShortcut;

namespace phbuffer::chart {
class ChartView;
}

namespace phbuffer::app {

using chart::ChartView;
class AnalysisWindow;
class RunTimings;
class ShortcutKeysFirst;
class StringGridView;
class TitrationRunner;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    /// Shows a handler's failure. The default is a modal error box with an error icon.
    using ErrorPresenter = std::function<void(const QString& title, const QString& text)>;
    /// Shows a configured file dialog and answers with the chosen file name, or nothing on
    /// cancel. The default runs the dialog modally.
    using FileDialogRunner = std::function<std::optional<QString>(QFileDialog& dialog)>;
    /// Asks whether to save unsaved edits before they would be lost, and answers Save,
    /// Discard or Cancel. The default is a modal question box.
    using UnsavedChangesAsker = std::function<int()>;

    explicit MainWindow(QWidget* parent = nullptr);
    /// Stops a run that is still going and waits for it.
    ~MainWindow() override;

    /// The form logic behind the window. A run computes on a copy of its state, so the
    /// form is the user-interface thread's alone.
    ui::TpHmainForm& form() { return form_; }
    void setErrorPresenter(ErrorPresenter presenter);
    void setFileDialogRunner(FileDialogRunner runner);
    void setUnsavedChangesAsker(UnsavedChangesAsker asker);
    /// Loads the data file @p path once the window is first shown, over the start-up
    /// water, as if it had been chosen in the open dialog. For a file named on the command
    /// line; call before show().
    void openAtStart(const QString& path) { startFile_ = path; }
    /// The edits that undo and redo go through.
    QUndoStack* undoStack() const { return undoStack_; }
    /// The menu of recent files that the load button's context menu and its key show.
    QMenu* recentFilesMenu() const { return recentMenu_; }
    /// Writes to stderr how long after @p started the window was first drawn, and for
    /// every run the time from the click to the redrawn chart.
    void reportTimings(QElapsedTimer started);

    /// Whether a titration run is going on.
    bool isRunning() const;
    /// The progress dialog of the run going on, once it has appeared.
    QProgressDialog* progressDialog() const;
    ChartView* chartView() const { return chart_; }
    /// The analysis of the last run and the kept curves, in a window of their own.
    AnalysisWindow* analysisWindow() const { return analysis_; }

signals:
    /// A click on "Run pH model" has been dealt with: the run has ended and the window
    /// shows its result, or the run's input was refused. An error box, if any, is shown
    /// before this.
    void runFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    /// Keeps "Run pH model" at the right edge and makes room for the input panel's scroll
    /// bar when the window is too narrow for the panel.
    void resizeEvent(QResizeEvent* event) override;
    /// A drag of one local file is welcome while no run goes on; anything else is refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    /// Loads the dropped file as "Get water quality data from file" loads the file chosen
    /// in its dialog.
    void dropEvent(QDropEvent* event) override;

private:
    /// Makes the window's widgets and lays them out (main_layout.cpp).
    void buildLayout();
    /// The titrant's buttons and the upper target's edit, in Panel2.
    void buildTitrantControls();
    QFrame* addPanel(const char* name, int height);
    QPushButton* addButton(QWidget* panel, const ui::Button& button, const QRect& geometry);
    /// A button that triggers @p action, with the action's keys in its tooltip.
    QPushButton* addActionButton(QWidget* panel, QAction* action, const QRect& geometry);
    void connectHandlers();
    /// The keys of the buttons, shown in their tooltips, and the key that closes the window.
    void addShortcuts();

    /// Calls a handler on the user-interface thread with the typed input committed, then
    /// draws the form and shows the handler's failure, if any.
    /// @p status, when given, says in the status bar what the handler did once it succeeded.
    void handle(const std::function<void()>& handler, const QString& change = {},
                const std::function<QString()>& status = nullptr);
    /// The status bar at the bottom of @p layout, with the count of hinted cells beside.
    QStatusBar* addStatusBar(QVBoxLayout* layout);
    void showStatus(const QString& text);
    /// @p text with the name of the file that @p dialog chose, or nothing when it was
    /// cancelled.
    QString savedStatus(const QString& text, const ui::FileDialog& dialog) const;
    /// Marks Label1, the chart and the analysis as the previous water's while the grids
    /// differ from those of the last run, and counts the hinted cells.
    void showResultsState();
    /// Pushes the change of the grids or the pH box since the last one onto the undo stack,
    /// named @p change.
    void recordChange(const QString& change);
    DocumentTexts documentTexts() const;
    /// Shows @p texts, as undo or redo brings them back.
    void applyDocumentTexts(const DocumentTexts& texts);
    /// Whether unsaved edits may go: none, or the user had them saved or discarded them.
    bool mayDropEdits();
    /// Loads @p path after asking about unsaved edits, as the open button does.
    void loadFile(const QString& path);
    void showRecentFiles(const QPoint& globalPos);
    void updateTitle();
    /// Selects the cell that a refused text came from, scrolled into sight, if any.
    void showErrorCell();
    /// Copies text still in an editor (grid cell, pH box) into the form.
    void commitInput();
    /// Draws every component from the form.
    void drawForm();
    void presentError(const QString& text);
    void refreshDecimalSeparator();
    void copyChartToClipboard();
    /// "Save graph as...": the chart as drawn, in the picture type of the chosen name.
    void saveChartAs();
    /// "Print...": the chart on one page of the printer chosen in the print dialog.
    void printChart();
    /// Loads a dropped file, once the drop has ended.
    void loadDroppedFile(const QString& path);

    /// "Run pH model": the run prepared here, computed by the runner, shown on its end.
    void startRun();
    /// The run goes on for a while: the window takes no input until it has ended.
    void holdInput();
    void finishRun();
    void setInputEnabled(bool enabled);
    /// The analysis window's connections: the kept curves and the analysis export.
    void connectAnalysis();
    void showPinnedCurves();

    ui::TpHmainForm form_;

    ChartView* chart_ = nullptr;
    QFrame* panel1_ = nullptr;
    QFrame* panel2_ = nullptr;
    QScrollArea* inputScroller_ = nullptr; ///< holds Panel2
    QLabel* label1_ = nullptr;
    StringGridView* grid1_ = nullptr;
    StringGridView* grid2_ = nullptr;
    QGroupBox* radioGroup_ = nullptr;
    QButtonGroup* radioButtons_ = nullptr;
    QLineEdit* phEqEdit_ = nullptr;
    QWidget* titrantGroup_ = nullptr;
    QButtonGroup* titrantButtons_ = nullptr;
    QLabel* upperTargetLabel_ = nullptr;
    QLineEdit* upperTargetEdit_ = nullptr;
    /// Every button, by the form's component it shows.
    QHash<const ui::Button*, QPushButton*> buttons_;
    /// The window's commands that take input, off while a run goes on.
    QList<QAction*> inputActions_;
    /// The View menu's two curves, in step with the radio group.
    QList<QAction*> viewActions_;
    QMenuBar* menuBar_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* hintedCells_ = nullptr;
    ShortcutKeysFirst* shortcutKeysFirst_ = nullptr;

    ErrorPresenter errorPresenter_;
    FileDialogRunner fileDialogRunner_;
    UnsavedChangesAsker unsavedChangesAsker_;

    QUndoStack* undoStack_ = nullptr;
    DocumentTexts recorded_; ///< the texts as the undo stack last saw them
    RecentFiles recentFiles_;
    QMenu* recentMenu_ = nullptr;
    QString startFile_;

    TitrationRunner* runner_ = nullptr;
    QPointer<QWidget> focusBeforeRun_;
    bool formShown_ = false;
    bool localeChangedDuringRun_ = false;
    RunTimings* timings_ = nullptr;

    AnalysisWindow* analysis_ = nullptr;
    QPushButton* analysisButton_ = nullptr;
    bool analysisPlaced_ = false; ///< the analysis window has been placed once
    ui::PinnedCurves pinned_;
    /// The water of the run going on, analysed once the run has been shown.
    std::optional<model::RunDescription> runDescription_;
    /// The titrant the last run used to reach its target, shown as a dose while Label1
    /// still holds that run's caption.
    struct RunAmount {
        bool base = false;
        double mmolPerLitre = 0;
        QString caption;
    };
    std::optional<RunAmount> runAmount_;
    /// The last file dialog was answered with a name.
    bool fileChosen_ = false;
};

} // namespace phbuffer::app
