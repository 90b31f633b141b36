#include "desk/jobpoller.h"

namespace tarvel {

class JobPoller::Worker final : public QObject {
public:
    Worker(std::unique_ptr<JobWatch> watch, std::chrono::milliseconds interval, JobPoller& owner)
        : watch_(std::move(watch))
        , timer_(this)
        , owner_(owner)
    {
        timer_.setInterval(interval);
        connect(&timer_, &QTimer::timeout, this, &Worker::poll);
    }
    void start() { timer_.start(); }
    void poll()
    {
        const QList<OpenJob> failed = watch_->poll();
        if (!failed.isEmpty())
            Q_EMIT owner_.jobsFailed(failed);
    }

private:
    std::unique_ptr<JobWatch> watch_;
    QTimer timer_;
    JobPoller& owner_;
};

JobPoller::JobPoller(std::unique_ptr<JobWatch> watch, std::chrono::milliseconds interval)
    : worker_(new Worker(std::move(watch), interval, *this))
{
    qRegisterMetaType<QList<tarvel::OpenJob>>();
    thread_.setObjectName(u"tarvel job watch"_qs);
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

JobPoller::~JobPoller()
{
    thread_.quit();
    thread_.wait();
}

void JobPoller::start()
{
    QMetaObject::invokeMethod(worker_, [w = worker_] { w->start(); });
}

void JobPoller::pollNow()
{
    QMetaObject::invokeMethod(worker_, [w = worker_] { w->poll(); });
}

} // namespace tarvel
