#pragma once
/// Following the print jobs on a thread of their own: the scheduler and the ledger may
/// each keep a caller waiting for seconds.

#include "ledger/jobwatch.h"

#include <QObject>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <memory>

namespace tarvel {

/// Polls every `interval` on its own thread; jobsFailed() arrives on the owner's thread.
class JobPoller final : public QObject {
    Q_OBJECT
public:
    JobPoller(std::unique_ptr<JobWatch> watch, std::chrono::milliseconds interval);
    ~JobPoller() override;

    /// Starts polling (a printer target only: PDF files have no jobs).
    void start();
    /// Asks once now, besides the timer.
    void pollNow();

Q_SIGNALS:
    /// Jobs that ended without their pages coming out (canceled, aborted).
    void jobsFailed(const QList<tarvel::OpenJob>& jobs);

private:
    class Worker;
    QThread thread_;
    Worker* worker_ = nullptr; ///< lives on thread_, deleted there
};

} // namespace tarvel
