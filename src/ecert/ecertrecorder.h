#pragma once
/// E-certificates made alongside a print run: each event's, right after its document was
/// delivered, on a thread of their own.

#include "ecert/ecertwriter.h"
#include "platform/failure.h"
#include "platform/serialworker.h"
#include "printrun/runobserver.h"

#include <QHash>
#include <QList>

#include <functional>

#include <memory>
#include <mutex>
#include <optional>

namespace tarvel {

/// What a run's e-certificates came to.
struct ECertificateAccount {
    int written = 0;
    /// Files of corrected certificates that changed their names, removed.
    int removed = 0;
    /// Events whose e-certificates could not be made (all or some of them).
    int eventsFailed = 0;
    /// The first failure (a full disk, a folder that cannot be written, a backdrop that
    /// cannot be read): told once a run.
    std::optional<Failure> failure;
};

/// Observes a run: keeps each event's certificates as composed (texts as printed) and,
/// once its document was delivered, hands them to a thread of its own that writes the
/// event's e-certificates (ECertificateWriter, made there at the first event). The run is
/// never held up: documentDelivered() returns no future, so the races are marked at once,
/// and a failure never reaches the run; it is kept for the account. A preview-only run
/// delivers nothing and so makes nothing. Callbacks on the run's thread; finish() on any.
class ECertificateRecorder final : public RunObserver {
public:
    /// Given each event's files as written, on the recorder's thread (the ledger's record).
    using FilesWritten = std::function<void(const QList<ECertificateFile>& files)>;

    explicit ECertificateRecorder(ECertificateSetup setup, FilesWritten filesWritten = {});
    /// Finishes the events handed over first.
    ~ECertificateRecorder() override;

    void eventStarted(int raceNo, const QString& title) override;
    void certificateAccepted(const AcceptedCertificate& certificate) override;
    std::shared_future<void> documentDelivered(const DeliveredDocument& document) override;

    /// Waits for the events handed over; the account of the run so far.
    ECertificateAccount finish();

private:
    void writeEvent(const QList<ECertificate>& event);

    ECertificateSetup setup_;
    FilesWritten filesWritten_;
    /// Composed and not yet delivered, by the event's last heat; a race is begun again
    /// when the event is composed again.
    QHash<int, QList<ECertificate>> composed_;
    QHash<int, QString> titles_;
    /// Used on the worker's thread only.
    std::unique_ptr<ECertificateWriter> writer_;
    bool writerFailed_ = false;
    mutable std::mutex mutex_;
    ECertificateAccount account_;
    /// Last: it goes first, finishing its tasks while the rest is still there.
    SerialWorker<void> worker_;
};

} // namespace tarvel
