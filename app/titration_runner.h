// SPDX-License-Identifier: GPL-3.0-or-later
//
// A titration computed off the user-interface thread, and the progress dialog that
// follows it and can stop it.
#pragma once

#include "ui/titration_run.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include <memory>
#include <optional>

namespace phbuffer::app {

class BackgroundRun;

/// Computes one run at a time with ui::computeRun on a thread of its own. Nothing it runs
/// there touches the form or a widget: the run gets its input as a copy and gives its
/// result back when it has ended. A run that ends within kQuickRunMs ends before start()
/// returns; a longer one announces itself with continuing(), and its progress dialog
/// appears kProgressDelayMs after the start, showing the pH reached and the acid added.
class TitrationRunner : public QObject {
    Q_OBJECT
public:
    /// The progress dialog of a run appears this long after the start.
    static constexpr int kProgressDelayMs = 500;
    /// A run that ends within this time is shown at once, without the window taking no
    /// input in between (the presets take a few milliseconds).
    static constexpr int kQuickRunMs = 40;
    /// How often the progress dialog follows the run.
    static constexpr int kProgressPollMs = 50;

    /// What a run left: its result, or the error box text when it failed.
    struct Ending {
        std::optional<ui::RunResult> result;
        std::optional<QString> error;
    };

    /// The progress dialog appears over @p window.
    explicit TitrationRunner(QWidget* window);
    /// Stops a run that is still going and waits for it, without finished().
    ~TitrationRunner() override;

    /// Starts computing @p input; the progress is written with @p decimalSeparator. Does
    /// nothing while a run goes on.
    void start(ui::RunInput input, char32_t decimalSeparator);
    /// Stops the run going on, if any, and waits for it: finished() comes before this
    /// returns.
    void stop();
    bool isRunning() const { return thread_ != nullptr; }
    /// The progress dialog of the run going on, once it has appeared.
    QProgressDialog* progressDialog() const { return progress_; }
    /// What the run that has just finished left; to be taken once, on finished().
    Ending takeEnding() { return std::move(ending_); }

signals:
    /// The run goes on past kQuickRunMs.
    void continuing();
    /// The user asked the run to stop.
    void cancelling();
    /// The run has ended (to the target, stopped, or failed) and its dialog is gone.
    void finished();

private:
    struct Job;

    void finish();
    void showProgressDialog();
    void showProgress();
    void cancel();

    QWidget* window_;
    std::unique_ptr<Job> job_;
    std::unique_ptr<BackgroundRun> thread_;
    char32_t decimalSeparator_ = U'.';
    Ending ending_;
    QTimer progressDelay_;
    QTimer progressPoll_;
    QPointer<QProgressDialog> progress_;
};

} // namespace phbuffer::app
