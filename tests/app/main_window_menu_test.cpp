// SPDX-License-Identifier: GPL-3.0-or-later
//
// The menu bar and the document commands: each kind of file proposes its own name, Save
// saves in place, Ctrl+Y redoes, and every menu command is its button's.
#include "window_fixture.h"

#include "app/analysis_window.h"
#include "app/main_window.h"

#include <QAction>
#include <QChart>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>

namespace phbuffer::app::gui {
namespace {

class MenuWindow : public ShownWindow {
protected:
    MenuWindow() : previousDir_(QDir::currentPath()) {
        QDir::setCurrent(dir_.path());
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    ~MenuWindow() override { QDir::setCurrent(previousDir_); }

    QString path(const QString& name) const { return dir_.filePath(name); }
    QByteArray contents(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void press(const QKeySequence& key) { QTest::keySequence(QApplication::focusWidget(), key); }
    /// Runs @p act; its file dialog answers @p answer. Gives the dialog's title and the
    /// file name it proposed, or nothing when no dialog came.
    std::optional<std::pair<QString, QString>> dialogOf(const std::function<void()>& act,
                                                        const std::optional<QString>& answer) {
        std::optional<std::pair<QString, QString>> shown;
        answerFileDialog = [&](QFileDialog& d) {
            const QStringList offered = d.selectedFiles();
            shown = {d.windowTitle(), offered.isEmpty() ? QString() : offered[0]};
            return answer;
        };
        act();
        answerFileDialog = nullptr;
        return shown;
    }
    QAction* action(const char* menuName, const QString& text) const {
        auto* menu = window.findChild<QMenu*>(QLatin1String(menuName));
        EXPECT_NE(menu, nullptr) << menuName;
        for (QAction* a : menu->actions())
            if (a->text().remove(QLatin1Char('&')) == text)
                return a;
        ADD_FAILURE() << "no " << text.toStdString() << " in " << menuName;
        return nullptr;
    }
    /// Opens @p menuName from the menu bar with the mouse and clicks its entry @p text.
    void chooseFromMenu(const char* menuName, const QString& text) {
        auto* bar = window.findChild<QMenuBar*>();
        auto* menu = window.findChild<QMenu*>(QLatin1String(menuName));
        QAction* entry = action(menuName, text);
        ASSERT_TRUE(entry);
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        ASSERT_TRUE(QTest::qWaitFor([menu] { return !menu->isVisible(); }));
    }

private:
    QTemporaryDir dir_;
    QString previousDir_;
};

TEST_F(MenuWindow, EachKindOfFileProposesItsOwnNameAndNeverAnothersKind) {
    const auto saveKey = [this] { press(QKeySequence::Save); };
    EXPECT_EQ(dialogOf(saveKey, path("wsave"))->first, QStringLiteral("Save water quality data"));
    ASSERT_TRUE(RunAndWait(window));
    QTRY_VERIFY(window.analysisWindow()->view().has_value());

    const auto exportKey = [this] { press(QKeySequence(Qt::CTRL | Qt::Key_E)); };
    EXPECT_EQ(dialogOf(exportKey, std::nullopt),
              std::make_pair(QStringLiteral("Export plot data"), path("wsave.txt")));
    const auto graphKey = [this] { press(QKeySequence(Qt::CTRL | Qt::Key_G)); };
    EXPECT_EQ(dialogOf(graphKey, std::nullopt),
              std::make_pair(QStringLiteral("Save graph"), path("wsave.svg")));
    const auto exportAnalysis = [this] { chooseFromMenu("FileMenu", "Export analysis..."); };
    EXPECT_EQ(dialogOf(exportAnalysis, path("exp1.csv")),
              std::make_pair(QStringLiteral("Export analysis"), path("wsave.csv")));
    EXPECT_NE(contents(QStringLiteral("exp1.csv")), QByteArray("<missing>"));

    // After the analysis went to exp1.csv, the water and the plot keep their own names.
    const auto saveAsKey = [this] { press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)); };
    EXPECT_EQ(dialogOf(saveAsKey, std::nullopt)->second, path("wsave.prn"));
    EXPECT_EQ(dialogOf(exportKey, std::nullopt)->second, path("wsave.txt"));
    EXPECT_EQ(dialogOf(exportAnalysis, std::nullopt)->second, path("wsave.csv"));
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
}

TEST_F(MenuWindow, SaveWritesInPlaceAndSoDoesTheCloseQuestionsSave) {
    click("ZPlowBitBtn");
    EXPECT_TRUE(dialogOf([this] { click("SaveDataBitBtn"); }, path("low")));
    type(1, 1, 2, QStringLiteral("0.321"));
    press(QKeySequence(Qt::Key_Return));
    EXPECT_TRUE(window.isWindowModified());
    EXPECT_FALSE(dialogOf([this] { press(QKeySequence::Save); }, std::nullopt)) << "no dialog";
    EXPECT_FALSE(window.isWindowModified());
    // The bytes are those the button writes for the same water.
    EXPECT_TRUE(dialogOf([this] { click("SaveDataBitBtn"); }, path("again.prn")));
    EXPECT_EQ(contents(QStringLiteral("low.prn")), contents(QStringLiteral("again.prn")));
    EXPECT_TRUE(contents(QStringLiteral("low.prn")).contains("\t0.321\t"));

    // Saved as again.prn, the water now belongs to that file.
    type(1, 1, 2, QStringLiteral("0.654"));
    press(QKeySequence(Qt::Key_Return));
    unsavedAnswer = QMessageBox::Save;
    EXPECT_FALSE(dialogOf([this] { window.close(); }, std::nullopt)) << "no dialog";
    EXPECT_EQ(unsavedQuestions, 1);
    EXPECT_TRUE(contents(QStringLiteral("again.prn")).contains("\t0.654\t"));
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
}

TEST_F(MenuWindow, CtrlYRedoesBesideCtrlShiftZ) {
    const QString started = cell(1, 1, 1);
    click("ZPlowBitBtn");
    const QString low = cell(1, 1, 1);
    ASSERT_NE(low, started);
    for (const QKeySequence& redo :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        press(QKeySequence::Undo);
        EXPECT_EQ(cell(1, 1, 1), started);
        press(redo);
        EXPECT_EQ(cell(1, 1, 1), low) << redo.toString().toStdString();
    }
}

TEST_F(MenuWindow, EveryMenuCommandClicksItsButton) {
    const struct {
        const char* menu;
        const char* entry;
        const char* button;
    } commands[] = {
        {"FileMenu", "Open...", "GetDataBitBtn"},
        {"FileMenu", "Save As...", "SaveDataBitBtn"},
        {"FileMenu", "Export plot data", "ExportPlotDataBitBtn"},
        {"EditMenu", "Copy graph to clip", "CopyToClipButton"},
        {"WaterMenu", "Run pH model", "DoTitrationButton"},
        {"WaterMenu", "Create CO2 equilibrium at pH:", "CO2EqButton"},
        {"WaterMenu", "Set Zorva-PIKE Low", "ZPlowBitBtn"},
        {"ViewMenu", "Clear graph", "ClearGraphButton"},
        {"ViewMenu", "Analysis", "AnalysisButton"},
    };
    answerFileDialog = [](QFileDialog&) { return std::nullopt; };
    for (const auto& c : commands) {
        QSignalSpy clicked(button(c.button), &QPushButton::clicked);
        chooseFromMenu(c.menu, QString::fromUtf8(c.entry));
        EXPECT_EQ(clicked.count(), 1) << c.entry;
        QTRY_VERIFY(!window.isRunning());
        if (window.analysisWindow()->isVisible()) {
            window.analysisWindow()->hide();
            QApplication::setActiveWindow(&window);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        }
    }
    // The View menu's curves are the radio group's items.
    chooseFromMenu("ViewMenu", RadioItem(window, 1)->text());
    EXPECT_TRUE(RadioItem(window, 1)->isChecked());
    EXPECT_EQ(window.form().WhatToShowRadioGroup.ItemIndex, 1);
    EXPECT_TRUE(action("ViewMenu", RadioItem(window, 1)->text())->isChecked());
    EXPECT_TRUE(
        action("EditMenu", "Redo")->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
}

TEST_F(MenuWindow, ResultsOfAnEarlierWaterAreMarkedUntilTheNextRun) {
    ASSERT_TRUE(RunAndWait(window));
    QTRY_VERIFY(window.analysisWindow()->view().has_value());
    const QString label = labelText();
    const QString note = QStringLiteral(" (before the last change)");
    auto* status = window.findChild<QStatusBar*>();
    EXPECT_TRUE(status->currentMessage().startsWith(QStringLiteral("Run finished: ")));

    type(1, 1, 2, QStringLiteral("0.777"));
    press(QKeySequence(Qt::Key_Return));
    EXPECT_EQ(labelText(), label + note);
    EXPECT_EQ(chart()->chart()->title(), window.form().Chart1.Title + note);
    EXPECT_TRUE(window.analysisWindow()->windowTitle().endsWith(note));
    EXPECT_EQ(window.form().Label1.Caption, label) << "the form's caption stays the run's";

    press(QKeySequence::Undo); // the water of the run again: nothing is out of date
    EXPECT_EQ(labelText(), label);
    press(QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(labelText(), label + note);
    ASSERT_TRUE(RunAndWait(window));
    EXPECT_FALSE(labelText().endsWith(note));
    EXPECT_EQ(chart()->chart()->title(), window.form().Chart1.Title);

    // A pKa that is no number under the decimal separator is counted in the status bar.
    type(1, 2, 2, QStringLiteral("4;76"));
    press(QKeySequence(Qt::Key_Return));
    auto* hinted = window.findChild<QLabel*>(QStringLiteral("HintedCellCount"));
    EXPECT_TRUE(hinted->isVisible());
    EXPECT_TRUE(hinted->text().startsWith(QStringLiteral("1 pKa cell")))
        << hinted->text().toStdString();
}

} // namespace
} // namespace phbuffer::app::gui
