// SPDX-License-Identifier: GPL-3.0-or-later
//
// The main window's behaviour without a window: its components as plain data and its
// event handlers. Every handler takes the component that sent the event; a handler that
// fails throws (HandlerError, or model::ConversionError from a number conversion) and
// leaves assigned what it assigned before the failure.
#pragma once

#include "components.h"
#include "save_names.h"
#include "titration_run.h"

#include "files/file_system.h"
#include "files/water_quality_file.h"
#include "model/run_description.h"
#include "model/series.h"
#include "model/titration.h"
#include "model/water_state.h"

#include <QCoreApplication>

#include <functional>
#include <optional>

namespace phbuffer::ui {

enum class FileDialogKind { Open, Save };

/// Shows @p dialog with the settings the handler gave it and answers with the chosen file
/// name, or nothing when the user cancels. The window shows a real dialog; the command
/// line and the tests answer directly.
using FileDialogExecutor =
    std::function<std::optional<QString>(FileDialog& dialog, FileDialogKind kind)>;

/// The pH range that a titration accepts for the initial pH and the lower target: every
/// real water lies inside it, and 10^-pH and Kw / 10^-pH stay far from the limits of a
/// double at both ends.
constexpr double kMinRunpH = -2;
constexpr double kMaxRunpH = 16;
/// Whether @p pH is one a run can start from or go to; false for NaN.
inline bool isRunPh(double pH) {
    return pH >= kMinRunpH && pH <= kMaxRunpH;
}
/// The highest concentration of a buffer system that a titration accepts [mmol/L]. No
/// water holds more, and far above it a run would take practically forever.
constexpr double kMaxRunConcentration = 10000;

class TpHmainForm : public Component {
    // tr() in the context "TpHmainForm", for the texts the form shows and its messages.
    Q_DECLARE_TR_FUNCTIONS(TpHmainForm)

public:
    TpHmainForm();

    /// The window caption, untranslated: translate it in the context "TpHmainForm" where
    /// it is shown.
    static const char* const Caption;
    /// Label1's caption before the amount of a run that reached the lower target,
    /// untranslated as Caption.
    static const char* const AcidUsedCaption;

    // ---- state -------------------------------------------------------------------------
    model::WaterState State;
    /// The water's temperature and ionic strength; the ideal water at 25 °C unless set.
    model::Conditions WaterConditions;
    /// The run the grids describe, as ReadGrids last read them.
    model::RunDescription runDescription;
    /// Decimal separator of all number texts; the locale's, refreshed by the window when
    /// the regional settings change.
    char32_t DecimalSeparator;
    /// Follows and stops the runs of DoTitrationButtonClick and RunModel from another
    /// thread (the command line's interrupt); whoever starts such a run clears
    /// cancelRequested first. A run computed apart from the form has a control of its own.
    model::RunControl RunControl;

    // ---- components, in creation order -------------------------------------------------
    Chart Chart1;
    model::Series TitrationSeries;
    model::Series BufferStrengthSeries;
    Button DoTitrationButton;
    Button CopyToClipButton;
    Button ExportPlotDataBitBtn;
    Button ClearGraphButton;
    Label Label1;
    StringGrid StringGrid1; ///< buffer systems: 5 columns x 10 rows, header row 0
    StringGrid StringGrid2; ///< water parameters: 2 columns x 4 rows, label column 0
    RadioGroup WhatToShowRadioGroup;
    Button CO2EqButton;
    Edit phEqEdit;
    Button ZPmediumBitBtn;
    Button ZPhighBitBtn;
    Button ZPmediumhighBitBtn;
    Button ZPmediumlowBitBtn;
    Button ZPlowBitBtn;
    Button SaveDataBitBtn;
    Button GetDataBitBtn;
    /// The titrant of the next run: item 0 strong acid (to the lower target of the grid),
    /// item 1 strong base (to UpperTargetEdit's pH).
    RadioGroup TitrantRadioGroup;
    Label UpperTargetLabel;
    /// The pH a strong base run ends above, with DecimalSeparator.
    Edit UpperTargetEdit;
    FileDialog OpenDialog1;
    FileDialog SaveDialog1;

    /// Answers the file dialogs; must be set before a file handler runs.
    FileDialogExecutor ExecuteFileDialog;
    /// Where the file handlers read and write: the disk, unless a test puts in another.
    files::FileSystem* Files = &files::diskFileSystem();
    /// Puts the chart as drawn on the clipboard; set by the window, which draws it.
    std::function<void()> CopyChartToClipboard;

    // ---- the document ------------------------------------------------------------------
    /// The data file last saved or loaded; empty before either.
    QString dataFileName;
    /// What each kind of save dialog proposes: its own name, never another kind's.
    SaveNames saveNames;
    /// The cell whose text the last failing ReadGrids, run check or CO2 equilibrium
    /// refused, so the window can show it; empty when the failure names no cell. ReadGrids
    /// clears it, and whoever calls another handler that may fail clears it first.
    std::optional<GridCell> errorCell;
    /// Whether the grids hold texts other than those last saved or loaded, or, before
    /// either, those that FormShow wrote.
    bool isModified() const;
    /// The texts of both grids, every cell, StringGrid1's first: what the data file keeps.
    std::vector<QString> gridTexts() const;
    /// Writes @p texts, as gridTexts gave them, back into both grids.
    void setGridTexts(const std::vector<QString>& texts);
    /// A hint for cell (@p col, @p row) of @p grid whose text counts as something the user
    /// may not mean: a pKa that is not a number under the decimal separator, so its step
    /// counts as absent. "-" and an empty cell are absent steps on purpose and get none.
    QString cellHint(const StringGrid& grid, int col, int row) const;
    /// How many pKa cells of StringGrid1 have a hint: they count as absent only because
    /// they are no number under the decimal separator.
    int hintedCellCount() const;
    /// Whether the last run's results (Label1, the series, the analysis) belong to grids
    /// other than those shown: the grids have changed since that run. False before any run.
    bool resultsOutdated() const;

    // ---- handlers ----------------------------------------------------------------------
    /// Lays out the grids, loads the catalogue and the medium preset, fills the water
    /// parameters. Called once, when the window is first shown. The texts it leaves are
    /// the unmodified document.
    void FormShow(const Component* Sender);
    /// One handler for the five preset buttons; any other sender gets the medium preset.
    void ZPmediumBitBtnClick(const Component* Sender);
    /// "Run pH model": prepareRun, computeRun with RunControl, applyRun. The window does
    /// the same three steps, computing on a thread of its own.
    void DoTitrationButtonClick(const Component* Sender);
    /// "Create CO2 equilibrium at pH:": the inorganic carbon in equilibrium with the gas
    /// phase at the pH of phEqEdit, written into the concentration cell of row 1.
    void CO2EqButtonClick(const Component* Sender);
    void WhatToShowRadioGroupClick(const Component* Sender);
    void ClearGraphButtonClick(const Component* Sender);
    void CopyToClipButtonClick(const Component* Sender);
    /// "Save water quality data to file": both grids' texts into a file chosen in
    /// SaveDialog1, ".prn" appended to a name without an extension. An old file of that
    /// name is replaced only once the new one is complete; on failure it is unchanged.
    void SaveDataBitBtnClick(const Component* Sender);
    /// "Get water quality data from file": both grids' texts from a file chosen in
    /// OpenDialog1, all or nothing: a file error, or a file that is short of lines or
    /// fields, leaves every cell as it was. The state and the chart are not touched.
    void GetDataBitBtnClick(const Component* Sender);
    /// Loads both grids' texts from @p path as GetDataBitBtnClick loads the file chosen in
    /// its dialog, and makes OpenDialog1 offer @p path next time. For a file dropped on
    /// the window, and for the open button once its dialog has answered.
    void loadDataFile(const QString& path);
    /// "Save": both grids' texts into the data file they came from or went to, in place,
    /// as SaveDataBitBtnClick writes them; asks for a name as that handler does while the
    /// water has no data file yet.
    void saveDataInPlace();
    /// Throws, naming the first cell that holds a line break (and setting errorCell): the
    /// data file has one line per row, so such a text would break the file apart.
    void checkOneLineCells();
    /// "Export plot data": the selected view's points into a file chosen in SaveDialog1,
    /// ".txt" appended to a name without an extension; replaces an old file like saving.
    void ExportPlotDataBitBtnClick(const Component* Sender);

    /// Writes the nine buffer systems of the state into rows 1 to 9 of StringGrid1.
    void ShowBufferSystems();
    /// Converts both grids into runDescription and the state: concentrations to mol/L, pKa cells
    /// to dissociation constants (0 where a cell is not a number), and the four water
    /// parameters. Stops at the first concentration or parameter that is not a number;
    /// the state then holds what the cells before it gave. Then the titrant of
    /// TitrantRadioGroup and, for a base run, the target of UpperTargetEdit (NaN when it
    /// is no number, for the run's check to refuse); the state's LowerpHTarget stays the
    /// grid's.
    void ReadGrids(const Component* Sender);
    /// The titration from the state's initial pH to the lower target, into both series,
    /// Label1 and the chart titles: computeRun over runDescription and the state with RunControl,
    /// then applyRun. Expects ReadGrids to have just filled both.
    void RunModel(const Component* Sender);

    /// The default of UpperTargetEdit under DecimalSeparator: pH 8.20.
    QString defaultUpperTarget() const;

    /// The first step of a run, on the user-interface thread: ReadGrids and the checks of
    /// the run's input. Throws, leaving the state as ReadGrids left it, when a run can't
    /// start.
    RunInput prepareRun(const Component* Sender);
    /// The last step of a run, on the user-interface thread: the result into the state,
    /// both series (the selected view's active), Label1 and the chart titles. Throws, with
    /// all of that assigned, when the proton balance could not be computed.
    void applyRun(RunResult result);

    /// The series of the selected view, or null when the selection is neither view.
    const model::Series* selectedSeries() const;

    /// Shows SaveDialog1 set up for @p extension and @p filter, titled @p title and
    /// offering the name saveNames proposes for @p kind; the chosen name completed with the
    /// default extension, or nothing when the user cancels (the dialog then keeps the name
    /// it held before).
    std::optional<QString> chooseSaveName(SaveKind kind, const QString& extension,
                                          const QString& filter, const QString& title);

private:
    /// Refuses, naming the cell, input under which a run can't give a sound result.
    void checkRunInput();
    /// The titrant TitrantRadioGroup selects.
    model::Titrant selectedTitrant() const;
    /// A loaded data file's texts into the grids, TitrantRadioGroup and UpperTargetEdit.
    void showTexts(const files::WaterQualityTexts& texts);
    void applyViewActivity();
    void applyViewTitles();
    QString Format(double value, int precision, int digits) const;

    std::vector<QString> savedTexts_;
    /// The titrant of the run last applied, which the label and the axes name; acid
    /// before the first.
    model::Titrant shownTitrant_ = model::Titrant::StrongAcid;
    /// The grids' texts of the run last applied; none before the first.
    std::optional<std::vector<QString>> runTexts_;
};

} // namespace phbuffer::ui
