// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the window says about itself: the status bar's word on the last action, and the
// mark on results that belong to the water as it was before the last change.
#include "main_window.h"

#include "analysis_window.h"
#include "window_layout.h"

#include "chart/chart_view.h"
#include "ui/number_format.h"

#include <QChart>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace phbuffer::app {

namespace {

// Marked here, translated where it is shown: a translator is installed after static
// initialisation. The context is the one tr() gives MainWindow.
const char* const kOutdatedNote =
    QT_TRANSLATE_NOOP("phbuffer::app::MainWindow", "(before the last change)");

} // namespace

QStatusBar* MainWindow::addStatusBar(QVBoxLayout* layout) {
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar"));
    statusBar_->setSizeGripEnabled(false);
    hintedCells_ = new QLabel(statusBar_);
    hintedCells_->setObjectName(QStringLiteral("HintedCellCount"));
    statusBar_->addPermanentWidget(hintedCells_);
    layout->addWidget(statusBar_);
    return statusBar_;
}

void MainWindow::showStatus(const QString& text) {
    statusBar_->showMessage(text);
}

void MainWindow::showResultsState() {
    const bool outdated = form_.resultsOutdated();
    // The form's caption stays as the run wrote it; the view adds the note.
    const QString caption = ui::keepQuantitiesTogether(form_.Label1.Caption);
    QString text = outdated ? caption + QLatin1Char(' ') + tr(kOutdatedNote) : caption;
    // Beside the amount, the dose of the product chosen in the analysis window.
    if (const std::optional<ui::DoseRequest> dose = analysis_->doseRequest();
        dose && runAmount_ && runAmount_->caption == form_.Label1.Caption) {
        const QString doseText = ui::runDoseText(runAmount_->mmolPerLitre, runAmount_->base, *dose,
                                                 form_.DecimalSeparator);
        if (!doseText.isEmpty())
            text += QStringLiteral(": ") + doseText;
    }
    label1_->setText(text);
    // Sized to its text, on as many lines as it takes not to run under the buttons.
    const int textWidth = label1_->fontMetrics().horizontalAdvance(text) + 1;
    const int labelWidth = std::min(textWidth, layout::kLabel1MaxWidth);
    label1_->resize(labelWidth, label1_->heightForWidth(labelWidth));
    label1_->setForegroundRole(outdated ? QPalette::PlaceholderText : QPalette::WindowText);
    label1_->setToolTip(outdated ? tr("The grids have changed since this run: run the pH model "
                                      "again for the water as it is now.")
                                 : QString());
    const QString title =
        outdated ? form_.Chart1.Title + QLatin1Char(' ') + tr(kOutdatedNote) : form_.Chart1.Title;
    if (chart_->chart()->title() != title)
        chart_->chart()->setTitle(title);
    // A screen reader names the chart by what it shows.
    chart_->setAccessibleDescription(title);
    analysis_->setOutdated(outdated);

    const int hinted = form_.hintedCellCount();
    hintedCells_->setText(hinted == 0 ? QString()
                                      : tr("%n pKa cell(s) count as absent: no number under the "
                                           "decimal separator",
                                           nullptr, hinted));
    hintedCells_->setVisible(hinted > 0);
}

} // namespace phbuffer::app
