// SPDX-License-Identifier: GPL-3.0-or-later
//
// Work done on a thread of its own, so that the window keeps painting while it goes on.
#pragma once

#include <QObject>
#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace phbuffer::app {

/// Runs @p work once on a new thread. An exception that the work lets out is kept as the
/// error box text. finished() arrives on the owner's thread after the work has ended;
/// the object may be destroyed once the work has ended, also before finished() arrived,
/// which is then dropped. Whatever the work wrote is visible to the owner once wait()
/// has said the work ended.
class BackgroundRun : public QObject {
    Q_OBJECT
public:
    explicit BackgroundRun(std::function<void()> work, QObject* parent = nullptr);
    /// Waits for the work to end: whoever owns the run stops it first (see RunControl).
    ~BackgroundRun() override;

    void start();
    /// Waits at most @p milliseconds (-1: for ever) for the work to end; true when it has.
    bool wait(int milliseconds);
    /// The error box text of the exception that ended the work, if one did. Valid once
    /// wait() has said the work ended.
    const std::optional<QString>& error() const { return error_; }

signals:
    void finished();

private:
    std::function<void()> work_;
    std::optional<QString> error_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
};

} // namespace phbuffer::app
