#include "ledger/jobpoller.h"

namespace tarvel {

JobPoller::JobPoller(std::unique_ptr<JobWatch> watch, std::chrono::milliseconds interval,
                     QObject* parent)
    : QObject(parent)
    , watch_(std::move(watch))
{
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this, &JobPoller::pollNow);
}

JobPoller::~JobPoller() = default;

void JobPoller::start()
{
    timer_.start();
}

void JobPoller::stop()
{
    timer_.stop();
}

void JobPoller::pollNow()
{
    if (busy_)
        return;
    busy_ = true;
    worker_.post([this] {
        const JobPoll outcome = watch_->poll();
        // Queued to the poller's thread. The destructor waits for this task before the
        // QObject goes, which drops the event if it is still queued.
        QMetaObject::invokeMethod(
            this,
            [this, outcome] {
                busy_ = false;
                Q_EMIT polled(outcome);
            },
            Qt::QueuedConnection);
    });
}

} // namespace tarvel
