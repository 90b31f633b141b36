#pragma once
/// Recording each delivered document in the certificate ledger while the run goes on.

#include "ledger/ledger.h"
#include "platform/failure.h"
#include "platform/serialworker.h"
#include "printrun/runobserver.h"

#include <QHash>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace tarvel {

/// Keeps the certificates of each event as they are composed and, once its document was
/// delivered, writes them with the document into the ledger in one transaction. The writes
/// run on a thread of the recorder's own (the ledger's connection lives there), so the run
/// draws the next events meanwhile; the run marks an event's races once its record is done.
/// An event begun again (a document refused, a run stopped) starts with nothing composed:
/// each certificate is recorded once, with the delivery that succeeded.
///
/// A ledger that cannot be opened or written never stops printing, and loses nothing: the
/// documents it could not take wait in memory, in order, and are written at the next record
/// or retry() once the ledger is free again. While it fails, the run no longer waits for
/// the ledger before marking. The trouble callback is told once when the ledger starts
/// failing and once when everything waiting was written.
/// Meant to live as long as the program run: documents of many print runs go through it.
class LedgerRecorder final : public RunObserver {
public:
    using LedgerFactory = std::function<std::unique_ptr<Ledger>()>;
    /// Called on the recorder's thread: with the failure when the ledger starts failing,
    /// with nothing when what waited has been written. Must not call back into the recorder.
    using TroubleCallback = std::function<void(const std::optional<Failure>& failure)>;

    /// `openLedger` is called on the recorder's thread, for the first record and again after
    /// a failure.
    explicit LedgerRecorder(LedgerFactory openLedger, QString session = thisSession());
    ~LedgerRecorder() override;

    /// Who asks for the documents recorded from now on ("user@host" by default).
    void setRequestedBy(const QString& who);
    /// The scheduler printer jobs go to, recorded with each job so that any desk can ask
    /// after it.
    void setScheduler(const QString& scheduler);
    /// Set before the first record.
    void setTroubleCallback(TroubleCallback callback);

    void eventStarted(int raceNo, const QString& title) override;
    void certificateAccepted(const AcceptedCertificate& certificate) override;
    std::shared_future<void> documentDelivered(const DeliveredDocument& document) override;

    /// Records a document without certificates of a run (a test page, a calibration page),
    /// like documentDelivered(). Any thread.
    std::shared_future<void> recordDocument(LedgerDocument document);
    /// Records documents without certificates (e-certificate files) in one transaction,
    /// like recordDocument(). Any thread.
    std::shared_future<void> recordDocuments(QList<LedgerDocument> documents);
    /// Keeps a document without certificates (an award list) to be written in the same
    /// transaction as the next document recorded, or by writeKept(): a list and the next
    /// event's certificates then share one commit and its wait on the disk. Any thread.
    void recordWithNext(LedgerDocument document);
    /// Records the documents kept by recordWithNext() now; returns at once. Any thread.
    void writeKept();
    /// Tries again to write what waits; returns at once. Any thread (a timer's).
    void retry();

    /// Waits for the records under way and tries once more what waits.
    void finish();
    /// The ledger's failure while it fails; nothing while it records. Thread-safe.
    std::optional<Failure> currentFailure() const;
    /// The documents delivered and not yet recorded: each waiting record (documents written
    /// in one transaction count once) and each list kept for the next one. Thread-safe.
    int waitingDocuments() const;
    /// The documents recorded so far by this recorder, in order. Thread-safe.
    QList<qint64> recordedDocuments() const;

private:
    struct Waiting {
        LedgerDocument document;
        QList<LedgerCertificate> certificates;
        /// Further documents without certificates, written in the same transaction.
        QList<LedgerDocument> more{};
    };

    std::shared_future<void> enqueue(Waiting waiting);
    void flush();

    LedgerFactory openLedger_;
    QString session_;
    QString requestedBy_;
    QString scheduler_;
    TroubleCallback troubleCallback_;
    /// Certificates composed, by the event's last heat, until its document is delivered.
    QHash<int, QList<LedgerCertificate>> composed_;
    QHash<int, QString> titles_;
    mutable std::mutex mutex_;
    QList<Waiting> waiting_;
    QList<LedgerDocument> kept_; ///< for the next record
    std::optional<Failure> failure_;
    QList<qint64> recorded_;
    std::unique_ptr<Ledger> ledger_; ///< on the writer's thread only
    std::shared_future<void> last_;
    std::atomic<bool> retryQueued_ = false;
    SerialWorker<void> writer_; ///< last: it goes first, finishing the records given
};

} // namespace tarvel
