// SPDX-License-Identifier: GPL-3.0-or-later
//
// pHmainForm: the Qt view of the form logic TpHmainForm. It lays out and draws the form's
// components, turns clicks into handler calls, shows the file dialogs and the error box,
// and runs a titration off the user-interface thread. It holds no chemistry and no file
// format: every number and text it shows comes from the form. Keys, the clipboard and a
// file dropped on it lead into the same handlers as the buttons.
#pragma once

#include "ui/main_form.h"
#include "ui/pinned_curves.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QButtonGroup;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QShortcut;

namespace phbuffer::app {

class AnalysisWindow;
class ChartView;
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

    explicit MainWindow(QWidget* parent = nullptr);
    /// Stops a run that is still going and waits for it.
    ~MainWindow() override;

    /// The form logic behind the window. A run computes on a copy of its state, so the
    /// form is the user-interface thread's alone.
    ui::TpHmainForm& form() { return form_; }
    void setErrorPresenter(ErrorPresenter presenter);
    void setFileDialogRunner(FileDialogRunner runner);
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
    /// A drag of one local file is welcome while no run goes on; anything else is refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    /// Loads the dropped file as "Get water quality data from file" loads the file chosen
    /// in its dialog.
    void dropEvent(QDropEvent* event) override;

private:
    QFrame* addPanel(const char* name, int height);
    QPushButton* addButton(QWidget* panel, const ui::Button& button, const QRect& geometry);
    void connectHandlers();
    /// The keys of the buttons, shown in their tooltips, and the key that closes the window.
    void addShortcuts();

    /// Calls a handler on the user-interface thread with the typed input committed, then
    /// draws the form and shows the handler's failure, if any.
    void handle(const std::function<void()>& handler);
    /// Copies text still in an editor (grid cell, pH box) into the form.
    void commitInput();
    /// Draws every component from the form.
    void drawForm();
    void presentError(const QString& text);
    void refreshDecimalSeparator();
    void copyChartToClipboard();
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
    QLabel* label1_ = nullptr;
    StringGridView* grid1_ = nullptr;
    StringGridView* grid2_ = nullptr;
    QGroupBox* radioGroup_ = nullptr;
    QButtonGroup* radioButtons_ = nullptr;
    QLineEdit* phEqEdit_ = nullptr;
    /// Every button, by the form's component it shows.
    QHash<const ui::Button*, QPushButton*> buttons_;
    QList<QShortcut*> buttonShortcuts_;
    ShortcutKeysFirst* shortcutKeysFirst_ = nullptr;

    ErrorPresenter errorPresenter_;
    FileDialogRunner fileDialogRunner_;

    TitrationRunner* runner_ = nullptr;
    QPointer<QWidget> focusBeforeRun_;
    bool formShown_ = false;
    bool localeChangedDuringRun_ = false;
    RunTimings* timings_ = nullptr;

    AnalysisWindow* analysis_ = nullptr;
    QPushButton* analysisButton_ = nullptr;
    ui::PinnedCurves pinned_;
    /// The water of the run going on, analysed once the run has been shown.
    std::optional<model::WaterState> runWater_;
    /// The last file dialog was answered with a name.
    bool fileChosen_ = false;
};

} // namespace phbuffer::app
