// SPDX-License-Identifier: GPL-3.0-or-later
#include "background_run.h"

#include "ui/errors.h"

#include <chrono>

namespace phbuffer::app {

BackgroundRun::BackgroundRun(std::function<void()> work, QObject* parent)
    : QObject(parent), work_(std::move(work)) {}

BackgroundRun::~BackgroundRun() {
    if (thread_.joinable())
        thread_.join();
}

void BackgroundRun::start() {
    // Plain standard threads and a standard mutex hand the work's results over, so the
    // hand-over is one that thread checkers see.
    thread_ = std::thread([this] {
        try {
            work_();
        } catch (const std::exception& e) {
            error_ = ui::errorBoxText(e);
        } catch (...) {
            error_ = ui::errorBoxText(tr("Unknown error"));
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        ended_.notify_all();
        // Queued to this object's thread; deleting this object drops it.
        QMetaObject::invokeMethod(this, &BackgroundRun::finished, Qt::QueuedConnection);
    });
}

bool BackgroundRun::wait(int milliseconds) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (milliseconds < 0)
            ended_.wait(lock, [this] { return done_; });
        else if (!ended_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                  [this] { return done_; }))
            return false;
    }
    if (thread_.joinable())
        thread_.join();
    return true;
}

} // namespace phbuffer::app
