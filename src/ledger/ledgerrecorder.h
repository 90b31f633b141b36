#pragma once
/// Recording each delivered document in the certificate ledger while the run goes on.

#include "ledger/ledger.h"
#include "platform/failure.h"
#include "platform/serialworker.h"
#include "printrun/runobserver.h"

#include <QHash>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace tarvel {

/// Keeps the certificates of each event as they are composed and, once its document was
/// delivered, writes them with the document into the ledger in one transaction. The writes
/// run on a thread of the recorder's own (the ledger's connection lives there), so the run
/// draws the next events meanwhile; the run marks an event's races once its record is done.
///
/// A ledger that cannot be opened or written never stops printing: the first failure is
/// kept (firstFailure()) for the caller to tell once, and the records are not tried again.
/// Meant to live as long as the program run: documents of many print runs go through it.
class LedgerRecorder final : public RunObserver {
public:
    using LedgerFactory = std::function<std::unique_ptr<Ledger>()>;

    /// `openLedger` is called on the recorder's thread, once, for the first record.
    explicit LedgerRecorder(LedgerFactory openLedger, QString session = thisSession());
    ~LedgerRecorder() override;

    void certificateAccepted(const AcceptedCertificate& certificate) override;
    std::shared_future<void> documentDelivered(const DeliveredDocument& document) override;

    /// Waits for the records under way (when a run ends without waiting itself).
    void finish();
    /// The first failure of the ledger, if any. Thread-safe.
    std::optional<Failure> firstFailure() const;
    /// The documents recorded so far by this recorder, by the job or file they went to.
    QList<qint64> recordedDocuments() const;

private:
    void write(const LedgerDocument& document, const QList<LedgerCertificate>& certificates);

    LedgerFactory openLedger_;
    QString session_;
    /// Certificates composed, by the event's last heat, until its document is delivered.
    QHash<int, QList<LedgerCertificate>> composed_;
    mutable std::mutex mutex_;
    std::optional<Failure> failure_;
    QList<qint64> recorded_;
    std::unique_ptr<Ledger> ledger_; ///< on the writer's thread only
    std::shared_future<void> last_;
    SerialWorker<void> writer_; ///< last: it goes first, finishing the records given
};

} // namespace tarvel
