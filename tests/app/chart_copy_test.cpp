// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_pointer.h"
#include "window_fixture.h"

#include "../model/series_of.h"

#include "chart/chart_file.h"
#include "chart/chart_view.h"
#include "chart/pinned_curve_layer.h"

#include <QApplication>
#include <QClipboard>
#include <QGraphicsEllipseItem>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QValueAxis>
#include <QXmlStreamReader>

using namespace phbuffer;
using phbuffer::model::SeriesOf;
using namespace phbuffer::app;
using namespace phbuffer::chart;
using namespace phbuffer::app::gui;

namespace {

using ClipboardCopy = ShownWindow;

TEST_F(ClipboardCopy, TheReadoutUsesTheFormsDecimalSeparatorAndStaysOutOfTheCopy) {
    click("ZPlowBitBtn");
    ASSERT_TRUE(RunAndWait(window));
    window.form().DecimalSeparator = U',';
    Click(RadioItem(window, 0));
    QApplication::processEvents(); // the chart lays out its new titles
    const QPointF start = chart()->titrationSeries()->at(0);
    Hover(*chart(), OnScreen(*chart(), start, chart()->titrationSeries()));
    ASSERT_TRUE(chart()->readout()->isVisible());
    EXPECT_EQ(chart()->readout()->text(), QStringLiteral("Added H+ 0,000 mmol/L, pH 8,200"));

    click("CopyToClipButton");
    EXPECT_FALSE(chart()->readout()->isVisible());
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
}

TEST_F(ClipboardCopy, PutsTheChartAsDrawnThereAsSvgAndAsABitmap) {
    click("ZPmediumBitBtn");
    ASSERT_TRUE(RunAndWait(window));
    QApplication::clipboard()->setText(QStringLiteral("something else"));
    click("CopyToClipButton");
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();

    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasFormat(QStringLiteral("image/svg+xml")));
    const QByteArray svg = data->data(QStringLiteral("image/svg+xml"));
    QSvgRenderer renderer(svg);
    ASSERT_TRUE(renderer.isValid());
    const QSize viewSize = chart()->viewport()->size();
    EXPECT_EQ(renderer.viewBox(), QRect(QPoint(0, 0), viewSize));
    EXPECT_TRUE(svg.contains("Titration curve")) << "the title as text";
    EXPECT_TRUE(svg.contains("#d90000")) << "the titration curve's colour";
    EXPECT_TRUE(svg.contains("font-family=\"")) << "the font is named";
    EXPECT_FALSE(QString::fromUtf8(svg).contains(
        QRegularExpression(QStringLiteral("font-family=\"[^\"]*(?<!sans-serif)\""))))
        << "every font-family ends in a generic family";
    EXPECT_FALSE(data->hasText()) << "the copy replaces what the clipboard held";

    ASSERT_TRUE(data->hasImage());
    const QImage image = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(image.size() / image.devicePixelRatio(), viewSize);
    EXPECT_EQ(QColor(image.pixel(2, 2)), QColor(249, 243, 240));
    int curvePixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            curvePixels += QColor(image.pixel(x, y)) == QColor(217, 0, 0);
    EXPECT_GT(curvePixels, 100) << "the titration curve is in the bitmap";
}

using SaveGraph = ShownWindow;

TEST_F(SaveGraph, WritesSvgPngOrPdfByTheExtensionFromTheButtonTheKeyOrTheContextMenu) {
    click("ZPmediumBitBtn");
    ASSERT_TRUE(RunAndWait(window));
    QPushButton* save = button("SaveGraphButton");
    EXPECT_TRUE(save->toolTip().contains(QStringLiteral("Ctrl+G")))
        << save->toolTip().toStdString();
    EXPECT_TRUE(button("PrintGraphButton")->toolTip().contains(QStringLiteral("Ctrl+P")));
    QTemporaryDir dir;
    const auto saveAs = [&](const QString& name) {
        answerFileDialog = [path = dir.filePath(name)](QFileDialog&) {
            return std::optional<QString>(path);
        };
        return dir.filePath(name);
    };
    const auto bytes = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };

    const QString svgPath = saveAs(QStringLiteral("curve.svg"));
    Click(save);
    QXmlStreamReader xml(bytes(svgPath));
    int paths = 0; // the curve is a polyline, a path of straight lines
    while (!xml.atEnd())
        paths += xml.readNext() == QXmlStreamReader::StartElement &&
                 (xml.name() == QLatin1String("path") || xml.name() == QLatin1String("polyline"));
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(paths, 0);

    const QString pngPath = saveAs(QStringLiteral("curve.png"));
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_G, Qt::ControlModifier);
    const QImage png(pngPath);
    EXPECT_EQ(png.size(), chart()->viewport()->size());

    const QString pdfPath = saveAs(QStringLiteral("curve.pdf"));
    // The context menu runs its own loop: the click on its entry comes once it is up.
    QTimer::singleShot(0, [this] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(chart()->saveAction()).center());
    });
    const QPoint inChart = chart()->viewport()->rect().center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, inChart,
                                chart()->viewport()->mapToGlobal(inChart));
    QApplication::sendEvent(chart()->viewport(), &menuEvent);
    EXPECT_TRUE(bytes(pdfPath).startsWith("%PDF"));

    saveAs(QStringLiteral("curve.jpg"));
    Click(save);
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_TRUE(errors[0].text.contains(QStringLiteral("svg, png or pdf")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("curve.jpg"))));
    EXPECT_EQ(fileDialogsShown, 4);
}

} // namespace
