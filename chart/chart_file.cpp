// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_file.h"

#include "chart_view.h"
#include "window_font.h"

#include "files/file_system.h"
#include "ui/errors.h"

#include "svg_font_family.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace phbuffer::chart {

namespace {

void paint(ChartView& view, QPaintDevice& device, const QRectF& target) {
    QPainter painter;
    if (!painter.begin(&device))
        throw ui::HandlerError(
            QCoreApplication::translate("ChartFile", "The chart could not be drawn as a picture"));
    painter.setRenderHint(QPainter::Antialiasing);
    view.renderChart(painter, target);
    painter.end();
}

} // namespace

QByteArray chartPicture(ChartView& view, ui::ChartFormat format) {
    const QSize size = view.viewport()->size();
    if (size.isEmpty())
        throw ui::HandlerError(
            QCoreApplication::translate("ChartFile", "The chart has no size to draw"));
    if (format == ui::ChartFormat::Png && qint64{size.width()} * size.height() > ui::kMaxPngPixels)
        throw ui::HandlerError(QCoreApplication::translate(
                                   "ChartFile", "A PNG chart has at most %1 million pixels, not "
                                                "%2x%3; choose a smaller size, or svg or pdf")
                                   .arg(ui::kMaxPngPixels / 1'000'000)
                                   .arg(size.width())
                                   .arg(size.height()));
    const QRectF whole(QPointF(0, 0), QSizeF(size));
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    switch (format) {
    case ui::ChartFormat::Svg: {
        QSvgGenerator generator;
        generator.setOutputDevice(&bytes);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setResolution(view.logicalDpiX());
        generator.setTitle(view.chart()->title());
        paint(view, generator, whole);
        return withGenericFontFamily(bytes.data());
    }
    case ui::ChartFormat::Png: {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        paint(view, image, whole);
        if (!image.save(&bytes, "PNG"))
            throw ui::HandlerError(QCoreApplication::translate(
                "ChartFile", "The chart could not be drawn as a bitmap"));
        break;
    }
    case ui::ChartFormat::Pdf: {
        // One point of the page for one pixel of the chart: the page is the chart's size.
        QPdfWriter writer(&bytes);
        writer.setTitle(view.chart()->title());
        writer.setCreator(QStringLiteral("phbuffer"));
        writer.setResolution(72);
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(size), QPageSize::Point),
                                         QPageLayout::Portrait, QMarginsF()));
        paint(view, writer, whole);
        break;
    }
    }
    return bytes.data();
}

void saveChart(ChartView& view, const QString& path, files::FileSystem& fileSystem) {
    const std::optional<ui::ChartFormat> format = ui::chartFormatOf(path);
    if (!format)
        throw ui::HandlerError(
            QCoreApplication::translate(
                "ChartFile", "'%1' does not end in a picture type the chart is saved as (%2)")
                .arg(path, ui::chartFormatNames()));
    fileSystem.replace(path, chartPicture(view, *format));
}

void writeChartFile(const QString& path, QSize size, const ui::Chart& chart,
                    const model::Series& titration, const model::Series& bufferStrength,
                    char32_t decimalSeparator, files::FileSystem& fileSystem) {
    // In the window's font, laid out as on the screen without ever being there.
    QWidget frame;
    frame.setFont(windowFont());
    frame.setAttribute(Qt::WA_DontShowOnScreen);
    // Never painted: shown, a window gets a bitmap of its whole size behind it, 1.6 GB at
    // the largest size; the file is drawn from the chart's items, not from that bitmap.
    frame.setUpdatesEnabled(false);
    frame.resize(size);
    auto* view = new ChartView(&frame);
    view->setGeometry(QRect(QPoint(0, 0), size));
    frame.show();
    view->setDecimalSeparator(decimalSeparator);
    view->draw(chart, titration, bufferStrength);
    // Qt Charts lays out its titles and labels when the events it posted are handled.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    saveChart(*view, path, fileSystem);
}

} // namespace phbuffer::chart
