// SPDX-License-Identifier: GPL-3.0-or-later
#include "background_run.h"

#include "ui/errors.h"

#include <QDeadlineTimer>
#include <QThread>

namespace phbuffer::app {

BackgroundRun::BackgroundRun(std::function<void()> work, QObject* parent)
    : QObject(parent), work_(std::move(work)) {
    thread_ = QThread::create([this] {
        try {
            work_();
        } catch (const std::exception& e) {
            error_ = ui::ErrorBoxText(e);
        } catch (...) {
            error_ = ui::ErrorBoxText(QStringLiteral("Unknown error"));
        }
    });
    thread_->setObjectName(QStringLiteral("phbuffer run"));
    // Queued to this object's thread; deleting this object drops a finished() still queued.
    connect(thread_, &QThread::finished, this, &BackgroundRun::finished, Qt::QueuedConnection);
}

BackgroundRun::~BackgroundRun() {
    thread_->wait();
    delete thread_;
}

void BackgroundRun::start() {
    thread_->start();
}

bool BackgroundRun::wait(int milliseconds) {
    return milliseconds < 0 ? thread_->wait() : thread_->wait(QDeadlineTimer(milliseconds));
}

} // namespace phbuffer::app
