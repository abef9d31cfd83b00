// SPDX-License-Identifier: GPL-3.0-or-later
#include "titration_runner.h"

#include "application_style.h"
#include "background_run.h"

#include <QApplication>
#include <QWidget>

namespace phbuffer::app {

namespace {
// The progress bar counts in these steps from start to target.
constexpr int kProgressSteps = 1000;
// Marked here, translated where it is shown; the context is the one tr() gives
// TitrationRunner.
const char* const kRunningText =
    QT_TRANSLATE_NOOP("phbuffer::app::TitrationRunner", "Running the titration\u2026");
} // namespace

/// What the computing thread may touch: its input, its control and its result slot.
struct TitrationRunner::Job {
    ui::RunInput input;
    model::RunControl control;
    std::optional<ui::RunResult> result;
};

TitrationRunner::TitrationRunner(QWidget* window) : QObject(window), window_(window) {
    progressDelay_.setSingleShot(true);
    connect(&progressDelay_, &QTimer::timeout, this, &TitrationRunner::showProgressDialog);
    connect(&progressPoll_, &QTimer::timeout, this, &TitrationRunner::showProgress);
}

TitrationRunner::~TitrationRunner() {
    if (!thread_)
        return;
    job_->control.cancelRequested.store(true);
    thread_->wait(-1);
}

void TitrationRunner::start(ui::RunInput input, char32_t decimalSeparator) {
    if (thread_)
        return;
    decimalSeparator_ = decimalSeparator;
    job_ = std::make_unique<Job>();
    job_->input = std::move(input);
    thread_ = std::make_unique<BackgroundRun>(
        [job = job_.get()] { job->result = ui::computeRun(std::move(job->input), &job->control); });
    connect(thread_.get(), &BackgroundRun::finished, this, &TitrationRunner::finish);
    thread_->start();
    if (thread_->wait(kQuickRunMs)) {
        finish();
        return;
    }
    progressDelay_.start(kProgressDelayMs - kQuickRunMs);
    emit continuing();
}

void TitrationRunner::stop() {
    if (!thread_)
        return;
    job_->control.cancelRequested.store(true);
    finish();
}

void TitrationRunner::finish() {
    if (!thread_)
        return;
    thread_->wait(-1); // finished() follows the end of the work; this only joins the thread
    ending_ = {std::move(job_->result), thread_->error()};
    thread_.reset();
    job_.reset();
    progressDelay_.stop();
    progressPoll_.stop();
    if (progress_) {
        // The dialog had the keyboard (it has hidden itself already when it was cancelled);
        // the window takes it back.
        const QWidget* active = QApplication::activeWindow();
        const bool takeBack = !active || active == progress_;
        progress_->disconnect(this);
        progress_->hide();
        progress_->deleteLater();
        progress_ = nullptr;
        if (takeBack)
            window_->activateWindow();
    }
    emit finished();
}

void TitrationRunner::showProgressDialog() {
    if (!thread_ || progress_)
        return;
    progress_ = new QProgressDialog(tr(kRunningText), tr("Cancel"), 0, kProgressSteps, window_);
    progress_->setObjectName(QStringLiteral("RunProgressDialog"));
    progress_->setWindowTitle(applicationTitle());
    // Not modal: a modal progress dialog handles events inside setValue(), which would let
    // the end of the run pull the dialog away under its own feet. The window takes no
    // input during the run instead.
    progress_->setWindowModality(Qt::NonModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    progress_->setMinimumWidth(320);
    connect(progress_, &QProgressDialog::canceled, this, &TitrationRunner::cancel);
    showProgress();
    progress_->show();
    // The keyboard goes to the dialog, so that Esc stops the run at once.
    progress_->raise();
    progress_->activateWindow();
    progressPoll_.start(kProgressPollMs);
}

void TitrationRunner::showProgress() {
    if (!progress_ || !job_)
        return;
    const model::RunProgress progress = job_->control.progress();
    progress_->setLabelText(tr(kRunningText) + QLatin1Char('\n') +
                            ui::runProgressText(progress, decimalSeparator_));
    progress_->setValue(static_cast<int>(progress.share * kProgressSteps));
}

void TitrationRunner::cancel() {
    if (!thread_)
        return;
    emit cancelling();
    job_->control.cancelRequested.store(true);
    // The dialog hides itself on Cancel and forgets it was shown: a further value would
    // show it again, after the run has already stopped.
    progressPoll_.stop();
    if (progress_)
        progress_->setLabelText(tr("Stopping the titration\u2026"));
}

} // namespace phbuffer::app
