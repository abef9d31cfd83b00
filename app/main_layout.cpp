// SPDX-License-Identifier: GPL-3.0-or-later
//
// The window's layout: the chart, the input panel in its scroller and the button bar,
// each component where the form places it, in the form's tab order.
#include "main_window.h"

#include "string_grid_view.h"
#include "window_layout.h"
#include "window_shortcuts.h"

#include "chart/chart_view.h"

#include <QAction>
#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace phbuffer::app {

namespace {

// The grids' heights; their widths are the form's.
constexpr int kStringGrid1Height = 255;
constexpr int kStringGrid2Height = 104;

} // namespace

void MainWindow::buildLayout() {
    chart_ = new ChartView(this);
    chart_->setAccessibleName(tr("Chart"));
    panel1_ = addPanel("Panel1", layout::kPanel1Height);
    panel2_ = addPanel("Panel2", layout::kPanel2Height);
    panel2_->setMinimumWidth(layout::kPanel2Width);
    inputScroller_ = new QScrollArea(this);
    inputScroller_->setObjectName(QStringLiteral("Panel2Scroller"));
    inputScroller_->setFrameShape(QFrame::NoFrame);
    inputScroller_->setFocusPolicy(Qt::NoFocus);
    inputScroller_->setWidgetResizable(true);
    inputScroller_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    inputScroller_->setWidget(panel2_);
    inputScroller_->setFixedHeight(layout::kPanel2Height);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(chart_, 1);
    layout->addWidget(inputScroller_);
    layout->addWidget(panel1_);
    addStatusBar(layout);

    // Panel1, the button bar.
    QPushButton* run = addButton(panel1_, form_.DoTitrationButton, {1101, 6, 105, 25});
    QPushButton* copy = addButton(panel1_, form_.CopyToClipButton, {8, 6, 105, 25});
    QPushButton* exportData = addButton(panel1_, form_.ExportPlotDataBitBtn, {127, 6, 105, 25});
    QPushButton* clear = addButton(panel1_, form_.ClearGraphButton, {248, 6, 105, 25});
    // The chart's own commands, beside the buttons that act on the chart.
    QPushButton* saveGraph = addActionButton(panel1_, chart_->saveAction(), {367, 6, 105, 25});
    QPushButton* printGraph = addActionButton(panel1_, chart_->printAction(), {486, 6, 105, 25});
    // Beside the specified buttons, in the free space of the bar.
    analysisButton_ = new QPushButton(tr("Analysis"), panel1_);
    analysisButton_->setObjectName(QStringLiteral("AnalysisButton"));
    analysisButton_->setGeometry(605, 6, 105, 25);
    analysisButton_->setAutoDefault(false);
    // Outside the form's tab order, which stays as it is; F6 reaches it from the keyboard.
    analysisButton_->setFocusPolicy(Qt::ClickFocus);

    // Panel2, the input panel.
    label1_ = new QLabel(panel2_);
    label1_->setObjectName(form_.Label1.Name);
    label1_->move(399, 216);
    label1_->setWordWrap(true);
    grid1_ = new StringGridView(form_.StringGrid1, panel2_);
    grid1_->setGeometry(8, 1, form_.StringGrid1.Width, kStringGrid1Height);
    grid2_ = new StringGridView(form_.StringGrid2, panel2_);
    grid2_->setGeometry(399, 1, form_.StringGrid2.Width, kStringGrid2Height);
    grid1_->setAccessibleName(tr("Buffer systems"));
    grid2_->setAccessibleName(tr("Water conditions"));

    radioGroup_ = new QGroupBox(form_.WhatToShowRadioGroup.Caption, panel2_);
    radioGroup_->setObjectName(form_.WhatToShowRadioGroup.Name);
    radioGroup_->setGeometry(399, 111, 248, 58);
    radioButtons_ = new QButtonGroup(radioGroup_);
    auto* radioLayout = new QVBoxLayout(radioGroup_);
    radioLayout->setContentsMargins(8, 12, 8, 4);
    radioLayout->setSpacing(0);
    for (int i = 0; i < form_.WhatToShowRadioGroup.Items.size(); ++i) {
        auto* item = new QRadioButton(form_.WhatToShowRadioGroup.Items[i], radioGroup_);
        item->setObjectName(QStringLiteral("%1Item%2").arg(form_.WhatToShowRadioGroup.Name).arg(i));
        radioButtons_->addButton(item, i);
        radioLayout->addWidget(item);
    }

    QPushButton* co2 = addButton(panel2_, form_.CO2EqButton, {399, 175, 156, 25});
    phEqEdit_ = new QLineEdit(panel2_);
    phEqEdit_->setObjectName(form_.phEqEdit.Name);
    phEqEdit_->setAccessibleName(tr("pH of the CO2 equilibrium"));
    phEqEdit_->setGeometry(561, 177, 50, 21);
    // A file dropped on the pH box is for the window to load, not text for the box.
    phEqEdit_->setAcceptDrops(false);
    QPushButton* medium = addButton(panel2_, form_.ZPmediumBitBtn, {656, 68, 177, 25});
    QPushButton* high = addButton(panel2_, form_.ZPhighBitBtn, {656, 6, 177, 25});
    QPushButton* mediumHigh = addButton(panel2_, form_.ZPmediumhighBitBtn, {656, 37, 177, 25});
    QPushButton* mediumLow = addButton(panel2_, form_.ZPmediumlowBitBtn, {656, 99, 177, 25});
    QPushButton* low = addButton(panel2_, form_.ZPlowBitBtn, {656, 130, 177, 25});
    QPushButton* save = addButton(panel2_, form_.SaveDataBitBtn, {656, 176, 177, 25});
    QPushButton* get = addButton(panel2_, form_.GetDataBitBtn, {656, 207, 177, 25});
    buildTitrantControls();

    // Panel1 comes before Panel2, and within each panel the components in this order.
    const QList<QWidget*> tabOrder = {run,
                                      copy,
                                      exportData,
                                      clear,
                                      saveGraph,
                                      printGraph,
                                      grid1_,
                                      grid2_,
                                      radioButtons_->button(0),
                                      radioButtons_->button(1),
                                      co2,
                                      phEqEdit_,
                                      medium,
                                      high,
                                      mediumHigh,
                                      mediumLow,
                                      low,
                                      save,
                                      get};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void MainWindow::buildTitrantControls() {
    // In the room the panel had left, in the column of the preset and file buttons: the
    // titrant between the presets and the file buttons, the upper target under those. Both
    // stay outside the form's tab order, which is as it was; the mouse reaches them, as
    // it does the Analysis button.
    // No frame: the row is as high as the gap between the buttons.
    titrantGroup_ = new QWidget(panel2_);
    titrantGroup_->setObjectName(form_.TitrantRadioGroup.Name);
    titrantGroup_->setAccessibleName(form_.TitrantRadioGroup.Caption);
    titrantGroup_->setGeometry(656, 156, 177, 19);
    titrantButtons_ = new QButtonGroup(titrantGroup_);
    auto* titrantLayout = new QHBoxLayout(titrantGroup_);
    titrantLayout->setContentsMargins(0, 0, 0, 0);
    titrantLayout->setSpacing(4);
    for (int i = 0; i < form_.TitrantRadioGroup.Items.size(); ++i) {
        auto* item = new QRadioButton(form_.TitrantRadioGroup.Items[i], titrantGroup_);
        item->setObjectName(QStringLiteral("%1Item%2").arg(form_.TitrantRadioGroup.Name).arg(i));
        item->setFocusPolicy(Qt::ClickFocus);
        titrantButtons_->addButton(item, i);
        titrantLayout->addWidget(item);
    }
    upperTargetLabel_ = new QLabel(form_.UpperTargetLabel.Caption, panel2_);
    upperTargetLabel_->setObjectName(form_.UpperTargetLabel.Name);
    upperTargetLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    upperTargetLabel_->setGeometry(656, 236, 124, 21);
    upperTargetEdit_ = new QLineEdit(panel2_);
    upperTargetEdit_->setObjectName(form_.UpperTargetEdit.Name);
    upperTargetEdit_->setAccessibleName(form_.UpperTargetLabel.Caption);
    upperTargetEdit_->setGeometry(783, 236, 50, 21);
    upperTargetEdit_->setFocusPolicy(Qt::ClickFocus);
    // A file dropped on the box is for the window to load, as on the pH box.
    upperTargetEdit_->setAcceptDrops(false);
    upperTargetLabel_->setBuddy(upperTargetEdit_);
}

QFrame* MainWindow::addPanel(const char* name, int height) {
    auto* panel = new QFrame(this);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setFixedHeight(height);
    return panel;
}

QPushButton* MainWindow::addButton(QWidget* panel, const ui::Button& button,
                                   const QRect& geometry) {
    auto* widget = new QPushButton(button.Caption, panel);
    widget->setObjectName(button.Name);
    widget->setGeometry(geometry);
    widget->setAutoDefault(false);
    buttons_.insert(&button, widget);
    return widget;
}

QPushButton* MainWindow::addActionButton(QWidget* panel, QAction* action, const QRect& geometry) {
    auto* widget = new QPushButton(action->text(), panel);
    widget->setObjectName(
        action->objectName().replace(QLatin1String("Action"), QLatin1String("Button")));
    widget->setGeometry(geometry);
    widget->setAutoDefault(false);
    widget->setToolTip(shortcutToolTip(action->text(), action->shortcuts()));
    connect(widget, &QPushButton::clicked, action, &QAction::trigger);
    return widget;
}
} // namespace phbuffer::app
