// SPDX-License-Identifier: GPL-3.0-or-later
//
// The chart's commands: copy it to the clipboard, save it as a picture, print it.
#include "main_window.h"

#include "file_dialogs.h"

#include "chart/chart_file.h"
#include "chart/chart_view.h"

#include "ui/errors.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace phbuffer::app {

void MainWindow::copyChartToClipboard() {
    QGuiApplication::clipboard()->setMimeData(chart_->clipboardData());
}

void MainWindow::saveChartAs() {
    QFileDialog dialog(this, tr("Save graph"));
    const QStringList filters = {tr("SVG picture (*.svg)"), tr("PNG picture (*.png)"),
                                 tr("PDF document (*.pdf)")};
    // The type last chosen comes first again, and the name is the chart's own; a name
    // typed without an extension gets that type's extension.
    const QString suffix =
        form_.saveNames.lastExtension(ui::SaveKind::Chart, QStringLiteral("svg"));
    QString selected;
    for (const QString& filter : filters)
        if (filter.contains(QStringLiteral("*.") + suffix))
            selected = filter;
    setUpFileDialog(dialog, ui::FileDialogKind::Save, QDir::currentPath(), filters, selected,
                    suffix,
                    form_.saveNames.proposal(ui::SaveKind::Chart, form_.dataFileName, suffix));
    // Or the extension of the type the user then chooses in the dialog.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.section(QLatin1String("*."), 1).chopped(1));
    });
    const std::optional<QString> path = fileDialogRunner_(dialog);
    if (path) {
        form_.saveNames.chosen(ui::SaveKind::Chart, *path);
        chart::saveChart(*chart_, *path, *form_.Files);
    }
}

void MainWindow::printChart() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(form_.Chart1.Title);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        throw ui::HandlerError(tr("The printer could not be started"));
    painter.setRenderHint(QPainter::Antialiasing);
    // As large as the page takes it, in the proportions of the chart on the screen.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    QSizeF size = QSizeF(chart_->viewport()->size());
    size.scale(QSizeF(page.size()), Qt::KeepAspectRatio);
    chart_->renderChart(painter, QRectF(QPointF(0, 0), size));
    painter.end();
}
} // namespace phbuffer::app
