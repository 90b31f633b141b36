#include "ledger/ledgerrecorder.h"

namespace tarvel {

LedgerRecorder::LedgerRecorder(LedgerFactory openLedger, QString session)
    : openLedger_(std::move(openLedger))
    , session_(std::move(session))
{
}

LedgerRecorder::~LedgerRecorder() = default;

void LedgerRecorder::certificateAccepted(const AcceptedCertificate& certificate)
{
    composed_[certificate.eventRace].append({certificate.eventRace, certificate.raceNo,
                                             certificate.lane, certificate.leg, certificate.items,
                                             std::nullopt});
}

std::shared_future<void> LedgerRecorder::documentDelivered(const DeliveredDocument& delivered)
{
    LedgerDocument document;
    document.printedAt = QDateTime::currentDateTime();
    document.title = delivered.title;
    document.destination = delivered.delivery.destination;
    document.jobId = delivered.delivery.jobId;
    document.state = delivered.delivery.jobId > 0 ? JobState::Pending : JobState::Written;
    QList<LedgerCertificate> certificates = composed_.take(delivered.raceNo);
    last_ = writer_.post([this, document, certificates] { write(document, certificates); }).share();
    return last_;
}

void LedgerRecorder::write(const LedgerDocument& document,
                           const QList<LedgerCertificate>& certificates)
{
    {
        std::lock_guard lock(mutex_);
        if (failure_)
            return; // told once; the run prints on without the ledger
    }
    try {
        if (!ledger_)
            ledger_ = openLedger_();
        const qint64 id = ledger_->record(document, certificates, session_);
        std::lock_guard lock(mutex_);
        recorded_.append(id);
    } catch (const Failure& failure) {
        std::lock_guard lock(mutex_);
        failure_ = failure;
    }
}

void LedgerRecorder::finish()
{
    if (last_.valid())
        last_.wait();
    // Events composed but never delivered (refused, dropped) leave nothing to record.
    composed_.clear();
}

std::optional<Failure> LedgerRecorder::firstFailure() const
{
    std::lock_guard lock(mutex_);
    return failure_;
}

QList<qint64> LedgerRecorder::recordedDocuments() const
{
    std::lock_guard lock(mutex_);
    return recorded_;
}

} // namespace tarvel
