#pragma once
/// SIGINT and SIGTERM taken as a request to stop at the next good moment, instead of
/// ending the process wherever it is.

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace tarvel {

/// Keeps SIGINT and SIGTERM from ending the process: call first thing in main(), before any
/// thread is started, so that every thread inherits it. Then either StopSignals takes them,
/// or releaseStopSignals() gives them their usual effect again.
void holdStopSignals();
void releaseStopSignals();

/// Receives the held signals (Linux: through a signalfd, so no handler and no global state
/// are involved). arrivedNow() is emitted from the event loop; arrived() can be asked at
/// any time on the owning thread, also while the event loop is busy with a run.
class StopSignals final : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    /// Whether a stop signal has come (reads what is pending without waiting).
    bool arrived();

Q_SIGNALS:
    void arrivedNow();

private:
    int fd_ = -1;
    bool arrived_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace tarvel
