// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_window.h"

#include "application_style.h"
#include "background_run.h"
#include "dose_panel.h"
#include "species_chart.h"
#include "stacked_capacity_chart.h"

#include "model/number_text.h"
#include "ui/number_format.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace phbuffer::app {

/// What the analysing thread may touch: its input, its control and its result slot.
struct AnalysisWindow::Job {
    model::RunDescription description;
    std::vector<double> atPh;
    model::RunControl control;
    std::optional<ui::AnalysisView> view;
};

namespace {

QTableWidget* Table(const QStringList& header, QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(header.size()), parent);
    table->setHorizontalHeaderLabels(header);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return table;
}

void setCell(QTableWidget* table, int row, int column, const QString& text) {
    auto* item = new QTableWidgetItem(text);
    if (column > 0)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table->setItem(row, column, item);
}

} // namespace

AnalysisWindow::AnalysisWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), atPh_(ui::standardEndPoints()) {
    setObjectName(QStringLiteral("AnalysisWindow"));
    setWindowTitle(tr("Analysis"));
    tabs_ = new QTabWidget(this);
    auto* layout = new QVBoxLayout(this);
    outdated_ = new QLabel(tr("The grids have changed since this analysis: it belongs to the "
                              "water before the last change. Run the pH model again."),
                           this);
    outdated_->setObjectName(QStringLiteral("AnalysisOutdated"));
    outdated_->setWordWrap(true);
    outdated_->setForegroundRole(QPalette::PlaceholderText);
    outdated_->hide();
    layout->addWidget(outdated_);
    layout->addWidget(tabs_);

    // The breakdown: the points, the pH box to add one, the buffer capacity by source.
    auto* breakdownPage = new QWidget(tabs_);
    auto* page = new QVBoxLayout(breakdownPage);
    summary_ = new QLabel(tr("Run the pH model to analyse the water."), breakdownPage);
    summary_->setObjectName(QStringLiteral("AnalysisSummary"));
    summary_->setWordWrap(true);
    points_ = Table({tr("To pH"), tr("H+ [mmol/L]"), tr("OH- [mmol/L]"), tr("pH reached"),
                     tr("Buffer capacity"), tr("Dose [kg]"), tr("Dose [L]")},
                    breakdownPage);
    dose_ = new DosePanel(breakdownPage);
    points_->setObjectName(QStringLiteral("AnalysisPoints"));
    auto* addRow = new QHBoxLayout;
    phEdit_ = new QLineEdit(breakdownPage);
    phEdit_->setObjectName(QStringLiteral("AnalysisPhEdit"));
    phEdit_->setPlaceholderText(tr("pH"));
    phEdit_->setMaximumWidth(80);
    addPh_ = new QPushButton(tr("Add pH"), breakdownPage);
    addPh_->setObjectName(QStringLiteral("AddPhButton"));
    addPh_->setAutoDefault(false);
    export_ = new QPushButton(tr("Export analysis"), breakdownPage);
    export_->setObjectName(QStringLiteral("ExportAnalysisButton"));
    export_->setAutoDefault(false);
    export_->setEnabled(false);
    addRow->addWidget(phEdit_);
    addRow->addWidget(addPh_);
    addRow->addStretch(1);
    addRow->addWidget(export_);
    breakdownTitle_ = new QLabel(breakdownPage);
    breakdownTitle_->setObjectName(QStringLiteral("BreakdownTitle"));
    breakdown_ = Table({tr("Source"), tr("mmol/L per pH"), tr("Share [%]"), tr("Form 1"),
                        tr("Form 2"), tr("Form 3"), tr("Form 4")},
                       breakdownPage);
    breakdown_->setObjectName(QStringLiteral("AnalysisBreakdown"));
    page->addWidget(summary_);
    page->addWidget(dose_);
    page->addWidget(points_, 2);
    page->addLayout(addRow);
    page->addWidget(breakdownTitle_);
    page->addWidget(breakdown_, 3);
    tabs_->addTab(breakdownPage, tr("Breakdown"));

    capacityChart_ = new StackedCapacityChart(tabs_);
    tabs_->addTab(capacityChart_, tr("Buffer capacity by system"));

    auto* speciesPage = new QWidget(tabs_);
    auto* speciesLayout = new QVBoxLayout(speciesPage);
    system_ = new QComboBox(speciesPage);
    system_->setObjectName(QStringLiteral("SpeciesSystem"));
    speciesChart_ = new SpeciesChart(speciesPage);
    speciesLayout->addWidget(system_);
    speciesLayout->addWidget(speciesChart_, 1);
    tabs_->addTab(speciesPage, tr("Species distribution"));

    auto* comparePage = new QWidget(tabs_);
    auto* compareLayout = new QVBoxLayout(comparePage);
    auto* compareButtons = new QHBoxLayout;
    keep_ = new QPushButton(tr("Keep curve"), comparePage);
    keep_->setObjectName(QStringLiteral("KeepCurveButton"));
    remove_ = new QPushButton(tr("Remove"), comparePage);
    remove_->setObjectName(QStringLiteral("RemoveCurveButton"));
    removeAll_ = new QPushButton(tr("Remove all"), comparePage);
    removeAll_->setObjectName(QStringLiteral("RemoveAllCurvesButton"));
    for (QPushButton* b : {keep_, remove_, removeAll_}) {
        b->setAutoDefault(false);
        compareButtons->addWidget(b);
    }
    compareButtons->addStretch(1);
    pinned_ = new QListWidget(comparePage);
    pinned_->setObjectName(QStringLiteral("PinnedCurveList"));
    compareLayout->addLayout(compareButtons);
    compareLayout->addWidget(pinned_, 1);
    tabs_->addTab(comparePage, tr("Compare"));
    showPinnedCurves({});

    connect(addPh_, &QPushButton::clicked, this, &AnalysisWindow::addPh);
    connect(phEdit_, &QLineEdit::returnPressed, this, &AnalysisWindow::addPh);
    connect(export_, &QPushButton::clicked, this, &AnalysisWindow::exportClicked);
    connect(dose_, &DosePanel::changed, this, [this] {
        if (view_)
            showPoints();
        emit doseChanged();
    });
    connect(points_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (view_ && row >= 0 && static_cast<std::size_t>(row) < view_->analysis.points.size()) {
            const ui::AnalysisPoint& p = view_->analysis.points[static_cast<std::size_t>(row)];
            showBreakdown(p.capacity, tr("Buffer capacity at pH %1").arg(number(p.atPh, 2)));
        }
    });
    connect(system_, &QComboBox::currentIndexChanged, this, &AnalysisWindow::showSpecies);
    connect(keep_, &QPushButton::clicked, this, &AnalysisWindow::keepCurveClicked);
    connect(remove_, &QPushButton::clicked, this, [this] {
        if (pinned_->currentRow() >= 0)
            emit removeCurveClicked(pinned_->currentRow());
    });
    connect(removeAll_, &QPushButton::clicked, this, &AnalysisWindow::removeAllCurvesClicked);
    // Closed as any window of its kind; Delete on the list removes the selected curve.
    auto* close = new QShortcut(this);
    close->setKeys(
        {QKeySequence(Qt::Key_Escape), QKeySequence::Close, QKeySequence(Qt::CTRL | Qt::Key_W)});
    connect(close, &QShortcut::activated, this, &QWidget::close);
    pinned_->installEventFilter(this);
    resize(640, 520);
}

bool AnalysisWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pinned_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Delete)) {
        remove_->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void AnalysisWindow::setOutdated(bool outdated) {
    outdated_->setVisible(outdated);
    setWindowTitle(outdated ? tr("Analysis (before the last change)") : tr("Analysis"));
}

AnalysisWindow::~AnalysisWindow() {
    stopAnalysis();
}

void AnalysisWindow::stopAnalysis() {
    if (!worker_)
        return;
    job_->control.cancelRequested.store(true);
    worker_->wait(-1);
    worker_.reset();
    job_.reset();
}

QString AnalysisWindow::number(double value, int digits) const {
    return ui::FloatToStrF(value, 15, digits, decimalSeparator_);
}

std::optional<ui::DoseRequest> AnalysisWindow::doseRequest() const {
    return dose_->request();
}

void AnalysisWindow::clear() {
    stopAnalysis();
    view_.reset();
    description_.reset();
    summary_->setText(tr("The last run did not reach its lower target: no analysis."));
    points_->setRowCount(0);
    breakdown_->setRowCount(0);
    breakdownTitle_->clear();
    capacityChart_->show({}, {});
    system_->clear();
    export_->setEnabled(false);
}

void AnalysisWindow::analyse(const model::RunDescription& description, char32_t decimalSeparator) {
    stopAnalysis();
    decimalSeparator_ = decimalSeparator;
    dose_->setDecimalSeparator(decimalSeparator);
    description_ = description;
    job_ = std::make_unique<Job>();
    job_->description = description;
    job_->atPh = atPh_;
    summary_->setText(tr("Analysing\u2026"));
    export_->setEnabled(false);
    worker_ = std::make_unique<BackgroundRun>([job = job_.get()] {
        job->view = ui::computeAnalysisView(job->description, job->atPh, &job->control);
    });
    connect(worker_.get(), &BackgroundRun::finished, this, &AnalysisWindow::finishAnalysis);
    worker_->start();
}

void AnalysisWindow::finishAnalysis() {
    if (!worker_)
        return;
    worker_->wait(-1);
    const std::optional<QString> error = worker_->error();
    std::optional<ui::AnalysisView> view = std::move(job_->view);
    worker_.reset();
    job_.reset();
    if (error || !view) {
        summary_->setText(error.value_or(tr("The analysis did not end.")));
        emit analysed();
        return;
    }
    view_ = std::move(view);
    const ui::Analysis& a = view_->analysis;
    const bool base = a.titrant == model::Titrant::StrongBase;
    const QString run =
        a.stopped
            ? (base ? tr("Initial pH %1; the run stopped at pH %2 after %3 mmol/L OH-.")
                    : tr("Initial pH %1; the run stopped at pH %2 after %3 mmol/L H+."))
                  .arg(number(a.initialPh, 2), number(a.finalPh, 4), number(a.acidToTarget(), 3))
            : (base ? tr("Initial pH %1; %2 mmol/L OH- to the upper target, pH %3.")
                    : tr("Initial pH %1; %2 mmol/L H+ to the lower target, pH %3."))
                  .arg(number(a.initialPh, 2), number(a.acidToTarget(), 3),
                       number(a.lowerTarget, 2));
    summary_->setText(ui::endPointsSummary(a, decimalSeparator_) + QLatin1Char('\n') + run);
    showPoints();
    capacityChart_->show(view_->capacityProfile, a.names);
    const QString chosen = system_->currentText();
    {
        const QSignalBlocker block(system_);
        system_->clear();
        for (std::size_t i = 0; i < model::kBufferSystemCount; ++i)
            if (!view_->speciesProfile.empty() && view_->speciesProfile.front().systems[i].inUse)
                system_->addItem(a.names[i], static_cast<int>(i));
        system_->setCurrentIndex(std::max(0, system_->findText(chosen)));
    }
    showSpecies();
    export_->setEnabled(!a.rows.empty());
    emit analysed();
}

void AnalysisWindow::showPoints() {
    const ui::Analysis& a = view_->analysis;
    points_->setRowCount(static_cast<int>(a.points.size()));
    for (int row = 0; row < points_->rowCount(); ++row) {
        const ui::AnalysisPoint& p = a.points[static_cast<std::size_t>(row)];
        setCell(points_, row, 0, number(p.atPh, 2));
        setCell(points_, row, 1, p.reached ? number(p.acid(), 3) : tr("not reached"));
        setCell(points_, row, 2, p.reached ? number(p.base(), 3) : QString());
        setCell(points_, row, 3, p.reached ? number(p.pH, 4) : QString());
        setCell(points_, row, 4, number(p.capacity.total, 4));
        const std::optional<model::Dose> d = ui::pointDose(p, dose_->request());
        setCell(points_, row, 5, d ? number(d->kilograms, 2) : QString());
        setCell(points_, row, 6, d ? number(d->litres, 2) : QString());
    }
    if (points_->rowCount() > 0) {
        points_->setCurrentCell(0, 0);
        const ui::AnalysisPoint& p = a.points.front();
        showBreakdown(p.capacity, tr("Buffer capacity at pH %1").arg(number(p.atPh, 2)));
    }
}

void AnalysisWindow::showBreakdown(const model::CapacityBreakdown& capacity, const QString& title) {
    if (!view_)
        return;
    breakdownTitle_->setText(title);
    const std::vector<ui::BreakdownRow> rows =
        ui::breakdownRows(capacity, view_->analysis.names, view_->analysis.speciesNames);
    breakdown_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < breakdown_->rowCount(); ++r) {
        const ui::BreakdownRow& row = rows[static_cast<std::size_t>(r)];
        setCell(breakdown_, r, 0, row.name);
        setCell(breakdown_, r, 1, number(row.value, 4));
        setCell(breakdown_, r, 2, number(row.share, 1));
        for (std::size_t f = 0; f < 4; ++f)
            setCell(breakdown_, r, 3 + static_cast<int>(f),
                    row.fractions && f < row.forms.size()
                        ? row.forms[f] + QLatin1Char(' ') + number((*row.fractions)[f], 4)
                        : QString());
    }
}

void AnalysisWindow::showBreakdownAt(double pH) {
    if (!view_ || !std::isfinite(pH))
        return;
    showBreakdown(model::bufferCapacityAt(view_->water, pH),
                  tr("Buffer capacity at pH %1 (point of the curve)").arg(number(pH, 3)));
}

void AnalysisWindow::showSpecies() {
    if (!view_ || system_->currentIndex() < 0) {
        speciesChart_->show({}, 0, QString(), {});
        return;
    }
    const auto slot = static_cast<std::size_t>(system_->currentData().toInt());
    speciesChart_->show(view_->speciesProfile, slot, system_->currentText(),
                        slot < model::kBufferSystemCount ? view_->analysis.speciesNames[slot]
                                                         : std::vector<QString>());
}

void AnalysisWindow::addPh() {
    const ui::TypedPh typed = ui::readTypedPh(phEdit_->text(), decimalSeparator_);
    if (!typed.pH) {
        summary_->setText(typed.message);
        return;
    }
    atPh_ = ui::withAddedPh(atPh_, *typed.pH);
    phEdit_->clear();
    // The run is computed again down to the new pH; it needs the water of the last run.
    if (description_)
        analyse(*description_, decimalSeparator_);
}

void AnalysisWindow::showPinnedCurves(const std::vector<ui::PinnedCurve>& curves) {
    pinned_->clear();
    for (const ui::PinnedCurve& curve : curves) {
        QPixmap swatch(14, 14);
        swatch.fill(QColor::fromRgba(curve.colour));
        pinned_->addItem(new QListWidgetItem(QIcon(swatch), curve.name));
    }
    remove_->setEnabled(!curves.empty());
    removeAll_->setEnabled(!curves.empty());
}

} // namespace phbuffer::app
