// SPDX-License-Identifier: GPL-3.0-or-later
//
// Drives the real window as a user does: mouse clicks on buttons and cells, keys typed
// into editors. Shared by the GUI tests and the screenshot tour.
#pragma once

#include "app/main_window.h"
#include "app/string_grid_view.h"

#include <QMimeData>
#include <QPoint>
#include <QString>

#include <memory>

class QChartView;
class QLegendMarker;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace phbuffer::app::gui {

/// The window's push button named @p name (the form's component name), or null.
QPushButton* ButtonNamed(const MainWindow& window, const QString& name);
/// StringGrid1 (@p number 1) or StringGrid2 (2).
StringGridView* GridNumber(const MainWindow& window, int number);
/// The pH box beside the CO2 button.
QLineEdit* PhEdit(const MainWindow& window);
/// Item @p item (0 or 1) of "What to show".
QRadioButton* RadioItem(const MainWindow& window, int item);
/// A left click in the middle of @p widget.
void Click(QWidget* widget);
/// Clicks cell (@p col, @p row) of @p grid and types @p text into the editor that opens,
/// replacing the cell's text. The editor stays open, as when the user goes on to click a
/// button. False when no editor opened.
bool TypeIntoCell(StringGridView* grid, int col, int row, const QString& text);
/// Drags the mouse over @p grid from cell (@p col1, @p row1) to cell (@p col2, @p row2),
/// selecting that block.
void DragOverCells(StringGridView* grid, int col1, int row1, int col2, int row2);
/// Selects all of @p edit and types @p text.
void TypeInto(QLineEdit* edit, const QString& text);
/// The text that @p grid shows in cell (@p col, @p row).
QString ShownCell(const StringGridView* grid, int col, int row);
/// Where the label of @p marker's entry in the legend of @p view is drawn, on the view's
/// viewport: the middle of the label's text; (-1, -1) when it is not drawn.
QPoint LegendEntryAt(const QChartView& view, const QLegendMarker& marker);
/// Clicks "Run pH model" and waits at most @p timeoutMs for the run to end.
bool RunAndWait(MainWindow& window, int timeoutMs = 60000);
/// Drags @p data from another program onto @p window at @p pos (window coordinates) and
/// drops it there, delivered as Qt delivers such a drag: to the widget under the point
/// that accepts drops, passed on to its parents until one takes it. Then lets the event
/// loop run once. Whether the drop was taken.
bool DropAt(QWidget* window, QPoint pos, const QMimeData& data);
/// The mime data of local files dragged from a file manager: their URLs and their paths
/// as text.
std::unique_ptr<QMimeData> FileDrag(const QStringList& paths);

} // namespace phbuffer::app::gui
