// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_fixture.h"

#include "app/analysis_window.h"
#include "app/dose_panel.h"
#include "app/species_chart.h"
#include "app/stacked_capacity_chart.h"
#include "chart/pinned_curve_layer.h"

#include "files/text_file.h"
#include "ui/number_format.h"

#include <QAreaSeries>
#include <QComboBox>
#include <QFile>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWindow>

namespace phbuffer::app::gui {

namespace {

class AnalysisShown : public ShownWindow {
protected:
    /// Runs the start-up water, opens the analysis window and waits for its analysis.
    void runAndOpen() {
        ASSERT_TRUE(RunAndWait(window));
        click("AnalysisButton");
        ASSERT_TRUE(QTest::qWaitForWindowExposed(analysis()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return analysis()->view().has_value(); }, 20000));
    }
    AnalysisWindow* analysis() const { return window.analysisWindow(); }
    template <class T> T* part(const char* name) const {
        T* found = analysis()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString number(double value, int digits) {
        return ui::FloatToStrF(value, 15, digits, window.form().DecimalSeparator);
    }
};

TEST_F(AnalysisShown, AfterARunShowsTheEndPointsTheBreakdownAndBothCharts) {
    runAndOpen();
    const ui::Analysis expected =
        ui::analyseWater(analysis()->view()->description, ui::standardEndPoints(), nullptr);
    auto* points = part<QTableWidget>("AnalysisPoints");
    ASSERT_EQ(points->rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        const ui::AnalysisPoint& p = expected.points[static_cast<std::size_t>(row)];
        EXPECT_EQ(points->item(row, 0)->text(), number(p.atPh, 2));
        EXPECT_EQ(points->item(row, 1)->text(), number(p.acid(), 3));
    }
    // The acid to the lower target is the label's, from the run that was shown.
    EXPECT_TRUE(
        part<QLabel>("AnalysisSummary")->text().contains(number(expected.acidToTarget(), 3)));

    // The second point's breakdown on a click of its row; the total row is last.
    QTest::mouseClick(points->viewport(), Qt::LeftButton, {},
                      points->visualItemRect(points->item(1, 0)).center());
    auto* breakdown = part<QTableWidget>("AnalysisBreakdown");
    QTRY_COMPARE(part<QLabel>("BreakdownTitle")->text(),
                 QStringLiteral("Buffer capacity at pH %1").arg(number(4.3, 2)));
    const int last = breakdown->rowCount() - 1;
    EXPECT_EQ(breakdown->item(0, 0)->text(), QStringLiteral("Water"));
    EXPECT_EQ(breakdown->item(last, 0)->text(), QStringLiteral("Total"));
    EXPECT_EQ(breakdown->item(last, 1)->text(), number(expected.points[1].capacity.total, 4));

    // A point of the curve under the mouse: its breakdown.
    ChartView* view = chart();
    const QPointF start = view->titrationSeries()->at(0);
    const QPoint at = view->mapFromScene(
        view->chart()->mapToScene(view->chart()->mapToPosition(start, view->titrationSeries())));
    QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTRY_VERIFY(
        part<QLabel>("BreakdownTitle")->text().contains(QStringLiteral("point of the curve")));

    // Both charts: one area per source, topped by the total; the forms of a system.
    const auto* stacked = analysis()->findChild<StackedCapacityChart*>();
    ASSERT_NE(stacked, nullptr);
    EXPECT_EQ(stacked->areas().size(), breakdown->rowCount() - 1);
    const QAreaSeries* top = stacked->areas().back();
    const model::CapacityBreakdown& first = analysis()->view()->capacityProfile.front();
    EXPECT_NEAR(top->upperSeries()->at(0).y(), first.total, 1e-12 * first.total);
    EXPECT_FALSE(analysis()->findChild<SpeciesChart*>()->curves().isEmpty());

    // A pH of the user's own is added to the points.
    TypeInto(part<QLineEdit>("AnalysisPhEdit"), number(6.0, 1));
    Click(part<QPushButton>("AddPhButton"));
    QTRY_COMPARE_WITH_TIMEOUT(points->rowCount(), 3, 20000);
    EXPECT_EQ(points->item(2, 0)->text(), number(6.0, 2));
}

TEST_F(AnalysisShown, KeepsACurveUnderItsPresetsNameUntilRemoved) {
    click("ZPlowBitBtn");
    runAndOpen();
    Click(part<QPushButton>("KeepCurveButton"));
    auto* list = part<QListWidget>("PinnedCurveList");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Zorva-PIKE Low"));
    const QList<QLineSeries*>& kept = chart()->pinnedCurves().titrationSeries();
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(kept.front()->isVisible());
    EXPECT_EQ(kept.front()->points(), chart()->titrationSeries()->points());
    EXPECT_TRUE(chart()->chart()->legend()->isVisible());
    // The legend names the kept curve and the current one, once it has laid itself out.
    QLegend* legend = chart()->chart()->legend();
    QTRY_VERIFY(legend->markers(kept.front()).value(0)->isVisible());
    for (QLegendMarker* marker : legend->markers())
        EXPECT_EQ(marker->isVisible(), marker->series() == kept.front() ||
                                           marker->series() == chart()->titrationSeries())
            << marker->label().toStdString();
    EXPECT_EQ(legend->markers(chart()->titrationSeries()).value(0)->label(),
              QStringLiteral("Zorva-PIKE Low (current)"));

    // Another run replaces the current curve only.
    click("ZPhighBitBtn");
    ASSERT_TRUE(RunAndWait(window));
    ASSERT_EQ(chart()->pinnedCurves().titrationSeries().size(), 1);
    EXPECT_NE(chart()->pinnedCurves().titrationSeries().front()->points(),
              chart()->titrationSeries()->points());

    list->setCurrentRow(0);
    Click(part<QPushButton>("RemoveCurveButton"));
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(chart()->pinnedCurves().titrationSeries().isEmpty());
    EXPECT_FALSE(chart()->chart()->legend()->isVisible());
}

TEST_F(AnalysisShown, IsAWindowOfItsOwnClosedByItsKeysAndDeleteRemovesTheSelectedCurve) {
    runAndOpen();
    // Not a tool window of the main window: the desktop keeps neither above the other.
    EXPECT_EQ(analysis()->parentWidget(), nullptr);
    EXPECT_EQ(analysis()->windowType(), Qt::Window);
    EXPECT_EQ(analysis()->windowHandle()->transientParent(), nullptr);

    Click(part<QPushButton>("KeepCurveButton"));
    auto* list = part<QListWidget>("PinnedCurveList");
    ASSERT_EQ(list->count(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(chart()->pinnedCurves().titrationSeries().isEmpty());

    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        click("AnalysisButton");
        QApplication::setActiveWindow(analysis());
        ASSERT_TRUE(QTest::qWaitForWindowActive(analysis()));
        QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget() : analysis(),
                           key);
        QTRY_VERIFY(!analysis()->isVisible());
    }
}

TEST_F(AnalysisShown, ExportsTheBreakdownAlongTheRunThroughASaveDialog) {
    runAndOpen();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    answerFileDialog = [&](QFileDialog& dialog) -> std::optional<QString> {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        return dir.filePath(QStringLiteral("analysis"));
    };
    Click(part<QPushButton>("ExportAnalysisButton"));
    EXPECT_EQ(fileDialogsShown, 1);
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
    QFile file(dir.filePath(QStringLiteral("analysis.csv")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              files::toWindows1252(ui::analysisCsv(analysis()->view()->analysis,
                                                   window.form().DecimalSeparator, false)));
}

TEST_F(AnalysisShown, IsNotComputedAgainForARunThatWasStopped) {
    runAndOpen();
    // Back in the main window, as a user clicks into it to edit the water.
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    // About a hundred million acid steps: stopped by the user, not to be repeated unseen.
    type(2, 1, 0, QStringLiteral("7"));
    type(2, 1, 3, QStringLiteral("-2"));
    click("DoTitrationButton");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.progressDialog() && window.progressDialog()->isVisible(); }, 10000));
    QSignalSpy finished(&window, &MainWindow::runFinished);
    QTest::mouseClick(window.progressDialog()->findChild<QPushButton*>(), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_FALSE(analysis()->isAnalysing());
    EXPECT_FALSE(analysis()->view().has_value());
    EXPECT_EQ(part<QTableWidget>("AnalysisPoints")->rowCount(), 0);
    EXPECT_FALSE(part<QPushButton>("ExportAnalysisButton")->isEnabled());
}

} // namespace

} // namespace phbuffer::app::gui

namespace phbuffer::app::gui {

namespace {

// A product and a volume chosen by the keys give each point that needs acid its dose, and
// the choice comes back in the next window.
TEST_F(AnalysisShown, DosesTheChosenProductAndRemembersTheChoice) {
    runAndOpen();
    auto* product = part<QComboBox>("DoseProduct");
    product->setFocus();
    QTest::keyClick(product, Qt::Key_Down); // hydrochloric acid 30 %
    QTest::keyClick(product, Qt::Key_Down); // 33 %
    TypeInto(part<QLineEdit>("DoseVolume"), QStringLiteral("250"));
    auto* points = part<QTableWidget>("AnalysisPoints");
    const ui::AnalysisPoint& mValue = analysis()->view()->analysis.points[1];
    const model::Dose dose = model::doseOf(*model::productNamed("hcl-33"), mValue.acid(), 250);
    QTRY_COMPARE(points->item(1, 5)->text(), number(dose.kilograms, 2));
    EXPECT_EQ(points->item(0, 5)->text(), QString()) << "pH 8.2 needs base, not acid";
    // The run's own acid, as a dose beside its label in the main window.
    const ui::DoseRequest chosen{*model::productNamed("hcl-33"), 250};
    const QString beside = ui::runDoseText(model::addedAcid(3299, model::kTitrantStep), false,
                                           chosen, window.form().DecimalSeparator);
    QTRY_VERIFY(window.findChild<QLabel*>(QStringLiteral("Label1"))->text().endsWith(beside));

    const DosePanel next;
    const std::optional<ui::DoseRequest> remembered = next.request();
    ASSERT_TRUE(remembered);
    EXPECT_EQ(remembered->product.key, "hcl-33");
    EXPECT_EQ(remembered->cubicMetres, 250);
}

} // namespace

} // namespace phbuffer::app::gui
