// SPDX-License-Identifier: GPL-3.0-or-later
//
// The analysis window beside the main window: for the last run, the acid to reach pH 8.2,
// pH 4.3 and any pH the user adds, the buffer capacity there by source, the buffer
// capacity and the species distribution against pH as charts, the curves kept for
// comparison, and the export of the analysis. It computes nothing on the user-interface
// thread but the breakdown at one pH.
#pragma once

#include "ui/analysis_panel.h"
#include "ui/pinned_curves.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTabWidget;

namespace phbuffer::app {

class BackgroundRun;
class DosePanel;
class SpeciesChart;
class StackedCapacityChart;

class AnalysisWindow : public QWidget {
    Q_OBJECT
public:
    /// A window of its own, hidden until shown. Without a @p parent it is an ordinary
    /// top-level window: the desktop neither keeps it above the main window nor minimises
    /// it with that.
    explicit AnalysisWindow(QWidget* parent);
    /// Stops an analysis that goes on and waits for it.
    ~AnalysisWindow() override;

    /// Analyses the water of @p description (as a run's input) on a thread of its own at the
    /// standard end points and the pH values added; numbers are written with @p decimalSeparator.
    /// An analysis still going on is stopped first.
    void analyse(const model::RunDescription& description, char32_t decimalSeparator);

    /// The product and volume chosen for doses, which the main window's label uses too.
    std::optional<ui::DoseRequest> doseRequest() const;
    /// Stops an analysis going on and shows none: the run shown has none.
    void clear();
    bool isAnalysing() const { return worker_ != nullptr; }
    /// The analysis shown, once one has ended.
    const std::optional<ui::AnalysisView>& view() const { return view_; }
    /// Shows the breakdown at @p pH of the water analysed, as for a point of the curve.
    void showBreakdownAt(double pH);
    /// Marks what is shown as the analysis of the water before the last change, or takes
    /// the mark away.
    void setOutdated(bool outdated);
    /// Lists @p curves as the kept ones, in their colours.
    void showPinnedCurves(const std::vector<ui::PinnedCurve>& curves);

protected:
    /// Delete on the list of kept curves removes the selected one.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    /// The product or the volume of the doses changed.
    void doseChanged();
    /// An analysis has ended and is shown (or failed, and its error is shown).
    void analysed();
    void keepCurveClicked();
    void removeCurveClicked(int index);
    void removeAllCurvesClicked();
    void exportClicked();

private:
    /// Cancels the analysis going on, if any, and waits for its end.
    void stopAnalysis();
    void finishAnalysis();
    void addPh();
    void showPoints();
    void showBreakdown(const model::CapacityBreakdown& capacity, const QString& title);
    void showSpecies();
    QString number(double value, int digits) const;

    std::vector<double> atPh_;
    std::optional<model::RunDescription> description_; ///< of the analysis going on
    char32_t decimalSeparator_ = U'.';
    struct Job;
    std::unique_ptr<Job> job_;
    std::unique_ptr<BackgroundRun> worker_;
    std::optional<ui::AnalysisView> view_;

    QTabWidget* tabs_;
    QLabel* summary_;
    QLabel* outdated_; ///< the note that the water has changed since this analysis
    QTableWidget* points_;
    QLineEdit* phEdit_;
    QPushButton* addPh_;
    QLabel* breakdownTitle_;
    QTableWidget* breakdown_;
    QPushButton* export_;
    StackedCapacityChart* capacityChart_;
    QComboBox* system_;
    DosePanel* dose_;
    SpeciesChart* speciesChart_;
    QListWidget* pinned_;
    QPushButton* keep_;
    QPushButton* remove_;
    QPushButton* removeAll_;
};

} // namespace phbuffer::app
