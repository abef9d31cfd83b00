// SPDX-License-Identifier: GPL-3.0-or-later
//
// Long runs: off the user-interface thread, with a progress dialog that can stop them.
#include "window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>

using namespace phbuffer::app;
using namespace phbuffer::app::gui;

namespace {

class LongRun : public ShownWindow {
protected:
    /// From pH 7 down to the lowest target a run accepts: about a hundred million acid
    /// steps, minutes of work.
    void startLongRun() {
        type(2, 1, 0, QStringLiteral("7"));
        type(2, 1, 3, QStringLiteral("-2"));
        click("DoTitrationButton");
        ASSERT_TRUE(window.isRunning());
    }
    QProgressDialog* waitForProgressDialog() {
        QProgressDialog* dialog = nullptr;
        const bool shown = QTest::qWaitFor(
            [&] {
                dialog = window.progressDialog();
                return dialog && dialog->isVisible();
            },
            10000);
        EXPECT_TRUE(shown) << "no progress dialog";
        return shown ? dialog : nullptr;
    }
    static QPushButton* cancelButton(QProgressDialog* dialog) {
        return dialog->findChild<QPushButton*>();
    }
    /// Stops whatever run a failed test left behind.
    ~LongRun() override {
        window.form().RunControl.cancelRequested.store(true);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isRunning(); }, 10000));
    }
};

TEST_F(LongRun, IsStoppedThroughTheProgressDialogAndSaysWhereItStopped) {
    startLongRun();
    QProgressDialog* dialog = waitForProgressDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("pH and buffer system calculator"));
    QPushButton* cancel = cancelButton(dialog);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));

    QSignalSpy finished(&window, &MainWindow::runFinished);
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_FALSE(window.isRunning());
    EXPECT_TRUE(labelText().startsWith(QStringLiteral("Run stopped at pH ")))
        << labelText().toStdString();
    // The long caption wraps beside the preset buttons instead of running under them.
    const auto* label = window.findChild<QLabel*>(QStringLiteral("Label1"));
    EXPECT_LT(label->geometry().right(), button("GetDataBitBtn")->x());
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    EXPECT_LE(label->geometry().bottom(), label->parentWidget()->height());
    EXPECT_FALSE(window.progressDialog() && window.progressDialog()->isVisible());
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
    // The curve so far is drawn, starting at pH 7.
    ASSERT_GT(chart()->titrationSeries()->count(), 1);
    EXPECT_EQ(chart()->titrationSeries()->at(0), QPointF(0, 7));
}

TEST_F(LongRun, TakesNoInputWhileItGoesOnAndAllOfItAgainAfterwards) {
    startLongRun();
    const QStringList inputs = {"DoTitrationButton",
                                "CopyToClipButton",
                                "ExportPlotDataBitBtn",
                                "ClearGraphButton",
                                "StringGrid1",
                                "StringGrid2",
                                "WhatToShowRadioGroupItem0",
                                "WhatToShowRadioGroupItem1",
                                "CO2EqButton",
                                "phEqEdit",
                                "ZPmediumBitBtn",
                                "ZPlowBitBtn",
                                "SaveDataBitBtn",
                                "GetDataBitBtn"};
    for (const QString& name : inputs)
        EXPECT_FALSE(window.findChild<QWidget*>(name)->isEnabled()) << name.toStdString();
    // A click that gets through anyway changes nothing.
    click("ZPlowBitBtn");
    EXPECT_EQ(cell(1, 1, 1), QStringLiteral("3.000"));
    EXPECT_TRUE(chart()->isEnabled()) << "the chart keeps painting";

    QProgressDialog* dialog = waitForProgressDialog();
    ASSERT_NE(dialog, nullptr);
    QSignalSpy finished(&window, &MainWindow::runFinished);
    QTest::mouseClick(cancelButton(dialog), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(5000));
    for (const QString& name : inputs)
        EXPECT_TRUE(window.findChild<QWidget*>(name)->isEnabled()) << name.toStdString();
    click("ZPlowBitBtn");
    EXPECT_EQ(cell(1, 1, 1), QStringLiteral("4.000"));
}

TEST_F(LongRun, ShowsHowFarItHasCome) {
    startLongRun();
    QProgressDialog* dialog = waitForProgressDialog();
    ASSERT_NE(dialog, nullptr);
    // Covering the first pH units takes a fraction of the run's time.
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->value() > 0; }, 10000))
        << "the bar never moved";
    EXPECT_LT(dialog->value(), dialog->maximum());
}

TEST_F(LongRun, TakesTheNewDecimalSeparatorWhenItHasEnded) {
    // Whole numbers read alike under any separator; the pKa texts then read as absent.
    window.form().DecimalSeparator = U'#';
    for (int r = 1; r <= 9; ++r)
        type(1, 1, r, QStringLiteral("1"));
    startLongRun();
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(&window, &change);
    EXPECT_EQ(window.form().DecimalSeparator, U'#') << "not under the running titration";
    QProgressDialog* dialog = waitForProgressDialog();
    ASSERT_NE(dialog, nullptr);
    QSignalSpy finished(&window, &MainWindow::runFinished);
    QTest::mouseClick(cancelButton(dialog), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(window.form().DecimalSeparator, U'.');
}

TEST_F(LongRun, ClosingTheWindowStopsTheRunAndTakesItsDialogAway) {
    startLongRun();
    QProgressDialog* dialog = waitForProgressDialog();
    ASSERT_NE(dialog, nullptr);
    window.close();
    EXPECT_FALSE(window.isRunning());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(labelText().startsWith(QStringLiteral("Run stopped at pH ")));
}

} // namespace
