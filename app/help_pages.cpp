// SPDX-License-Identifier: GPL-3.0-or-later
#include "help_pages.h"

#include "application_style.h"

#include "model/run_constants.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace phbuffer::app {

namespace {

QString helpHtml() {
    return QCoreApplication::translate(
               "HelpPages",
               "<h2>pH and buffer system calculator</h2>"
               "<p>Describe the water in the tables below the chart: up to nine buffer systems, "
               "each with its concentration in mmol/L and up to three pKa values (\"-\" or an "
               "empty cell for a step it does not have), and the initial pH, the lower pH target "
               "and the CO2 conditions of the gas phase.</p>"
               "<p><b>Run pH model</b> titrates the water with strong acid in steps of %1 "
               "mmol/L down to the lower target and shows the titration curve or the buffer "
               "capacity curve; the label below the tables says how much acid reached the "
               "target.</p>"
               "<p>The five preset buttons load typical media. <b>Create CO2 equilibrium at "
               "pH</b> puts the inorganic carbon in equilibrium with the gas phase into the "
               "first row.</p>"
               "<p>The <b>Analysis</b> window (F6) shows the acid to reach pH 8.2, 4.3 and any pH "
               "you add, the buffer capacity by system, the species of a system against pH, and "
               "curves kept for comparison.</p>"
               "<p>Save and load the water as a data file (.prn); export the plot points as text, "
               "the analysis as CSV, and the chart as SVG, PNG or PDF.</p>"
               "<p>The grids behave like a spreadsheet: type into a cell, Enter moves down, the "
               "arrows move between cells, Shift selects a block, and Ctrl+C, Ctrl+X, Ctrl+V "
               "and Delete copy, cut, paste and clear blocks as TAB-separated text.</p>")
        .arg(QString::number(model::stepsToMmol(1)));
}

QString keysHtml() {
    const auto key = [](QKeySequence::StandardKey standard, const char* fallback) {
        const QList<QKeySequence> keys = QKeySequence::keyBindings(standard);
        return keys.isEmpty() ? QString::fromLatin1(fallback)
                              : keys.constFirst().toString(QKeySequence::NativeText);
    };
    const QList<std::pair<QString, QString>> rows = {
        {QCoreApplication::translate("HelpPages", "Run pH model"), QStringLiteral("F5, Ctrl+R")},
        {QCoreApplication::translate("HelpPages", "Open a data file"),
         key(QKeySequence::Open, "Ctrl+O")},
        {QCoreApplication::translate("HelpPages", "Open a recent data file"),
         QStringLiteral("Ctrl+Shift+O")},
        {QCoreApplication::translate("HelpPages", "Save the water (in place)"),
         key(QKeySequence::Save, "Ctrl+S")},
        {QCoreApplication::translate("HelpPages", "Save the water as"),
         QStringLiteral("Ctrl+Shift+S")},
        {QCoreApplication::translate("HelpPages", "Export plot data"), QStringLiteral("Ctrl+E")},
        {QCoreApplication::translate("HelpPages", "Copy graph to clipboard"),
         QStringLiteral("Ctrl+Shift+C")},
        {QCoreApplication::translate("HelpPages", "Save graph"), QStringLiteral("Ctrl+G")},
        {QCoreApplication::translate("HelpPages", "Print graph"), QStringLiteral("Ctrl+P")},
        {QCoreApplication::translate("HelpPages", "Whole curve"), QStringLiteral("Ctrl+0")},
        {QCoreApplication::translate("HelpPages", "Analysis window"), QStringLiteral("F6")},
        {QCoreApplication::translate("HelpPages", "Undo, redo"),
         QStringLiteral("Ctrl+Z; Ctrl+Shift+Z, Ctrl+Y")},
        {QCoreApplication::translate("HelpPages", "Cut, copy, paste, clear cells"),
         QStringLiteral("Ctrl+X, Ctrl+C, Ctrl+V, Delete")},
        {QCoreApplication::translate("HelpPages", "Help"), QStringLiteral("F1")},
        {QCoreApplication::translate("HelpPages", "Quit"), key(QKeySequence::Quit, "Ctrl+Q")},
    };
    QString html = QStringLiteral("<h2>%1</h2><table cellpadding=\"3\">")
                       .arg(QCoreApplication::translate("HelpPages", "Keys"));
    for (const auto& [what, keys] : rows)
        html += QStringLiteral("<tr><td>%1</td><td><b>%2</b></td></tr>")
                    .arg(what.toHtmlEscaped(), keys.toHtmlEscaped());
    return html + QStringLiteral("</table>");
}

void showPage(QWidget* parent, const QString& objectName, const QString& title,
              const QString& html) {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(objectName);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(title);
    auto* browser = new QTextBrowser(dialog);
    browser->setOpenExternalLinks(true);
    browser->setHtml(html);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(browser);
    layout->addWidget(buttons);
    dialog->resize(560, 480);
    dialog->show();
}

} // namespace

void showHelpPage(QWidget* parent) {
    showPage(parent, QStringLiteral("HelpPage"), QCoreApplication::translate("HelpPages", "Help"),
             helpHtml());
}

void showKeysPage(QWidget* parent) {
    showPage(parent, QStringLiteral("KeysPage"), QCoreApplication::translate("HelpPages", "Keys"),
             keysHtml());
}

void showAbout(QWidget* parent) {
    QMessageBox::about(
        parent, QCoreApplication::translate("HelpPages", "About %1").arg(applicationTitle()),
        QCoreApplication::translate(
            "HelpPages", "<h3>%1</h3><p>Version %2</p>"
                         "<p>Titrates a water described as nine weak-acid buffer systems with "
                         "strong acid and shows its titration and buffer capacity curves.</p>"
                         "<p>License: GPL-3.0-or-later. This program comes with absolutely no "
                         "warranty.</p>")
            .arg(applicationTitle().toHtmlEscaped(), QStringLiteral(PHBUFFER_VERSION)));
}

} // namespace phbuffer::app
