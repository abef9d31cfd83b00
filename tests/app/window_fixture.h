// SPDX-License-Identifier: GPL-3.0-or-later
//
// The main window after start, with its error box and file dialogs answered by the test.
#pragma once

#include "gui_driver.h"
#include "qt_printers.h"

#include "chart/chart_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <optional>
#include <vector>

namespace phbuffer::app::gui {

struct ShownError {
    QString title;
    QString text;
    QWidget* focus; ///< where the keyboard focus was when the box showed
};

class ShownWindow : public ::testing::Test {
protected:
    ShownWindow() {
        window.setErrorPresenter([this](const QString& title, const QString& text) {
            errors.push_back({title, text, QApplication::focusWidget()});
        });
        window.setFileDialogRunner([this](QFileDialog& dialog) -> std::optional<QString> {
            ++fileDialogsShown;
            if (!answerFileDialog) {
                ADD_FAILURE() << "a file dialog was shown that the test did not expect";
                return std::nullopt;
            }
            return answerFileDialog(dialog);
        });
        window.setUnsavedChangesAsker([this] {
            ++unsavedQuestions;
            return unsavedAnswer;
        });
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QPushButton* button(const char* name) const {
        QPushButton* b = ButtonNamed(window, QString::fromLatin1(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    void click(const char* name) { Click(button(name)); }
    StringGridView* grid(int number) const { return GridNumber(window, number); }
    QString cell(int gridNumber, int col, int row) const {
        return ShownCell(grid(gridNumber), col, row);
    }
    void type(int gridNumber, int col, int row, const QString& text) {
        ASSERT_TRUE(TypeIntoCell(grid(gridNumber), col, row, text))
            << "no editor on cell " << col << "," << row << " of grid " << gridNumber;
    }
    ChartView* chart() const { return window.chartView(); }
    const QLabel* label1() const { return window.findChild<QLabel*>(QStringLiteral("Label1")); }
    /// Label1's words; its spaces may be non-breaking ones, and a word joiner may keep a
    /// unit whole, to keep a number on the line of its unit.
    QString labelText() const {
        return label1()->text().replace(QChar(0x00A0), u' ').remove(QChar(0x2060));
    }
    QString errorTexts() const {
        QString all;
        for (const ShownError& e : errors)
            all += e.text + QLatin1Char('\n');
        return all;
    }

    MainWindow window;
    std::vector<ShownError> errors;
    /// Answers the file dialogs that the window shows; it gets the configured dialog.
    std::function<std::optional<QString>(QFileDialog&)> answerFileDialog;
    int fileDialogsShown = 0;
    /// How the question before unsaved edits are lost is answered, and how often it came.
    int unsavedAnswer = QMessageBox::Discard;
    int unsavedQuestions = 0;
};

} // namespace phbuffer::app::gui
