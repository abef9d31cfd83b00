// SPDX-License-Identifier: GPL-3.0-or-later
//
// Long runs: off the user-interface thread, with a progress dialog that can stop them.
#include "window_fixture.h"

#include "app/analysis_window.h"
#include "chart/pinned_curve_layer.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QListWidget>
#include <QPointer>
#include <QProgressDialog>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QValueAxis>

using namespace phbuffer::app;
using namespace phbuffer::app::gui;

namespace {

class LongRun : public ShownWindow {
protected:
    ~LongRun() override { // stops whatever run a failed test left behind
        window.close();
        EXPECT_FALSE(window.isRunning());
    }
    /// From pH 7 down to the lowest target a run accepts: about a hundred million acid
    /// steps, minutes of work. Returns the progress dialog once it shows, watched: the
    /// window deletes it later once the run ends, and any event loop may do that.
    QPointer<QProgressDialog> startLongRun() {
        type(2, 1, 0, QStringLiteral("7"));
        type(2, 1, 3, QStringLiteral("-2"));
        click("DoTitrationButton");
        EXPECT_TRUE(window.isRunning());
        const bool shown = QTest::qWaitFor(
            [&] { return window.progressDialog() && window.progressDialog()->isVisible(); }, 10000);
        EXPECT_TRUE(shown) << "no progress dialog";
        return shown ? QPointer<QProgressDialog>(window.progressDialog()) : nullptr;
    }
    bool cancel(QProgressDialog* dialog) {
        QSignalSpy finished(&window, &MainWindow::runFinished);
        QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
        return finished.wait(5000);
    }
};

TEST_F(LongRun, ShowsHowFarItHasComeAndStopsOnCancelSayingWhere) {
    const QPointer<QProgressDialog> dialog = startLongRun();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("pH and buffer system calculator"));
    EXPECT_EQ(dialog->findChild<QPushButton*>()->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->value() > 0; }, 10000)) << "bar never moved";
    EXPECT_LT(dialog->value(), dialog->maximum());

    ASSERT_TRUE(cancel(dialog));
    EXPECT_FALSE(window.isRunning());
    EXPECT_TRUE(!dialog || !dialog->isVisible());
    EXPECT_TRUE(labelText().startsWith(QStringLiteral("Run stopped at pH ")))
        << labelText().toStdString();
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
    ASSERT_GT(chart()->titrationSeries()->count(), 1) << "the curve so far is drawn";
    EXPECT_EQ(chart()->titrationSeries()->at(0), QPointF(0, 7));
    // The long caption wraps beside the preset buttons instead of running under them.
    const QLabel* label = label1();
    EXPECT_LT(label->geometry().right(), button("GetDataBitBtn")->x());
    EXPECT_TRUE(label->text().contains(QStringLiteral("mmol/\u2060L\u00A0H+"))) << "never parted";
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
}

TEST_F(LongRun, ShowsThePhReachedAndTheAcidAddedAndEscStopsItAtOnce) {
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QPointer<QProgressDialog> dialog = startLongRun();
    ASSERT_NE(dialog, nullptr);
    const QLabel* text = dialog->findChild<QLabel*>();
    ASSERT_NE(text, nullptr);
    const QRegularExpression reached(
        QStringLiteral("\\npH (-?\\d+\\.\\d\\d), (\\d+\\.\\d\\d) mmol/L H\\+ added$"));
    const auto acidShown = [&] {
        const QRegularExpressionMatch m = reached.match(text->text());
        return m.hasMatch() ? m.captured(2).toDouble() : -1.0;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return acidShown() > 0; }, 10000))
        << text->text().toStdString();
    const double before = acidShown();
    EXPECT_TRUE(QTest::qWaitFor([&] { return acidShown() > before; }, 10000))
        << "the acid added goes on growing";

    // The keyboard is the dialog's: Esc, wherever the focus is in it, stops the run.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return QApplication::focusWidget() && QApplication::focusWidget()->window() == dialog;
        },
        5000));
    QSignalSpy finished(&window, &MainWindow::runFinished);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_TRUE(!finished.isEmpty() || finished.wait(5000));
    EXPECT_FALSE(window.isRunning());
    EXPECT_TRUE(labelText().startsWith(QStringLiteral("Run stopped at pH ")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isActiveWindow(); }, 5000))
        << "the window takes the keyboard back";
}

TEST_F(LongRun, TakesNoInputWhileItGoesOnAndAllOfItAgainAfterwards) {
    const QPointer<QProgressDialog> dialog = startLongRun();
    ASSERT_NE(dialog, nullptr);
    const char* inputs[] = {"DoTitrationButton", "CopyToClipButton", "ClearGraphButton",
                            "StringGrid1",       "StringGrid2",      "WhatToShowRadioGroupItem1",
                            "phEqEdit",          "ZPlowBitBtn",      "GetDataBitBtn"};
    for (const char* name : inputs)
        EXPECT_FALSE(window.findChild<QWidget*>(QLatin1String(name))->isEnabled()) << name;
    click("ZPlowBitBtn");
    EXPECT_EQ(cell(1, 1, 1), QStringLiteral("3.000")) << "a click that gets through does nothing";
    EXPECT_TRUE(chart()->isEnabled()) << "the chart keeps painting";
    // Nor do the buttons' keys, the clipboard or a dropped file; the fixture fails on any
    // file dialog.
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QKeySequence keys[] = {QKeySequence(Qt::Key_F5),
                                 QKeySequence(Qt::CTRL | Qt::Key_R),
                                 QKeySequence::Open,
                                 QKeySequence::Save,
                                 QKeySequence(Qt::CTRL | Qt::Key_E),
                                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)};
    QApplication::clipboard()->setText(QStringLiteral("on the clipboard"));
    for (const QKeySequence& key : keys)
        QTest::keySequence(&window, key);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("on the clipboard"));
    EXPECT_FALSE(DropAt(&window, QPoint(600, 200), *FileDrag({QDir::temp().filePath("a.prn")})));
    EXPECT_TRUE(window.isRunning());
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();

    ASSERT_TRUE(cancel(dialog));
    for (const char* name : inputs)
        EXPECT_TRUE(window.findChild<QWidget*>(QLatin1String(name))->isEnabled()) << name;
    click("ZPlowBitBtn");
    EXPECT_EQ(cell(1, 1, 1), QStringLiteral("4.000"));
    // The keys work again: the one that copies the chart replaces the text.
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    EXPECT_NE(QApplication::clipboard()->text(), QStringLiteral("on the clipboard"));
}

TEST_F(LongRun, TakesTheNewDecimalSeparatorWhenItHasEnded) {
    // Whole numbers read alike under any separator; the pKa texts then read as absent.
    window.form().DecimalSeparator = U'#';
    for (int r = 1; r <= 9; ++r)
        type(1, 1, r, QStringLiteral("1"));
    const QPointer<QProgressDialog> dialog = startLongRun();
    ASSERT_NE(dialog, nullptr);
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(&window, &change);
    EXPECT_EQ(window.form().DecimalSeparator, U'#') << "not under the running titration";
    ASSERT_TRUE(cancel(dialog));
    EXPECT_EQ(window.form().DecimalSeparator, U'.');
}

TEST_F(LongRun, ClosingTheWindowStopsTheRunAndTakesItsDialogAway) {
    const QPointer<QProgressDialog> dialog = startLongRun();
    ASSERT_NE(dialog, nullptr);
    window.close();
    EXPECT_FALSE(window.isRunning());
    EXPECT_TRUE(!dialog || !dialog->isVisible());
}

TEST_F(LongRun, TheQuitKeyWorksFromTheProgressDialogToo) {
    const QPointer<QProgressDialog> dialog = startLongRun();
    ASSERT_NE(dialog, nullptr);
    QApplication::setActiveWindow(dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    QTest::keySequence(dialog, QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_FALSE(window.isRunning());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(!dialog || !dialog->isVisible());
}

TEST_F(ShownWindow, StrongBaseRunsToTheUpperTargetAndKeepsItsCurveBesideAnAcidOne) {
    auto* base = window.findChild<QRadioButton*>(QStringLiteral("TitrantRadioGroupItem1"));
    ASSERT_NE(base, nullptr);
    QTest::mouseClick(base, Qt::LeftButton);
    EXPECT_TRUE(base->isChecked());
    EXPECT_EQ(window.form().TitrantRadioGroup.ItemIndex, 1);
    ASSERT_TRUE(RunAndWait(window));
    QTRY_VERIFY(labelText().startsWith(QStringLiteral("OH- used to reach upper target: ")));
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
    EXPECT_EQ(chart()->bottomAxis()->titleText(), QStringLiteral("Added OH- [mmol/L]"));

    // Kept, the base run's curve is named for its titrant and stays beside an acid run's.
    click("AnalysisButton");
    AnalysisWindow* analysis = window.analysisWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(analysis));
    Click(analysis->findChild<QPushButton*>(QStringLiteral("KeepCurveButton")));
    auto* list = analysis->findChild<QListWidget*>(QStringLiteral("PinnedCurveList"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 1);
    EXPECT_TRUE(list->item(0)->text().contains(QStringLiteral("(OH-)")))
        << list->item(0)->text().toStdString();
    QTest::mouseClick(window.findChild<QRadioButton*>(QStringLiteral("TitrantRadioGroupItem0")),
                      Qt::LeftButton);
    ASSERT_TRUE(RunAndWait(window));
    QTRY_VERIFY(labelText().startsWith(QStringLiteral("H+ used to reach lower target: ")));
    EXPECT_EQ(chart()->bottomAxis()->titleText(), QStringLiteral("Added H+ [mmol/L]"));
    EXPECT_EQ(chart()->pinnedCurves().titrationSeries().size(), 1);
    QLegend* legend = chart()->chart()->legend();
    QTRY_COMPARE(legend->markers(chart()->titrationSeries()).value(0)->label(),
                 QStringLiteral("Run 2 (current)"));
}

} // namespace
