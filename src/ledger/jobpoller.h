#pragma once
/// Job states followed in the background: a JobWatch polled on a thread of its own.

#include "ledger/jobwatch.h"
#include "platform/serialworker.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>

namespace tarvel {

/// Polls its JobWatch every `interval` on a worker thread (the scheduler and the ledger may
/// wait there, never the caller) and delivers each outcome by polled(), queued to the
/// poller's own thread. A poll still under way when the next is due is not doubled. The
/// destructor waits for the poll under way, which ends within the watch's deadlines.
class JobPoller final : public QObject {
    Q_OBJECT
public:
    JobPoller(std::unique_ptr<JobWatch> watch, std::chrono::milliseconds interval,
              QObject* parent = nullptr);
    ~JobPoller() override;

    void start();
    void stop();
    /// Polls now, unless a poll is under way.
    void pollNow();

Q_SIGNALS:
    /// On the poller's thread, after every poll.
    void polled(const tarvel::JobPoll& outcome);

private:
    std::unique_ptr<JobWatch> watch_;
    QTimer timer_;
    bool busy_ = false;
    SerialWorker<void> worker_; ///< last: it goes first, finishing the poll under way
};

} // namespace tarvel
