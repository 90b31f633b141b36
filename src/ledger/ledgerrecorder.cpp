#include "ledger/ledgerrecorder.h"

#include <utility>

namespace tarvel {

LedgerRecorder::LedgerRecorder(LedgerFactory openLedger, QString session)
    : openLedger_(std::move(openLedger))
    , session_(std::move(session))
    , requestedBy_(thisDesk())
{
}

LedgerRecorder::~LedgerRecorder()
{
    // Nothing kept for a next record is left behind; the writer then finishes what waits.
    writeKept();
}

void LedgerRecorder::setRequestedBy(const QString& who)
{
    std::lock_guard lock(mutex_);
    requestedBy_ = who;
}

void LedgerRecorder::setScheduler(const QString& scheduler)
{
    std::lock_guard lock(mutex_);
    scheduler_ = scheduler;
}

void LedgerRecorder::setTroubleCallback(TroubleCallback callback)
{
    troubleCallback_ = std::move(callback);
}

void LedgerRecorder::eventStarted(int raceNo, const QString& title)
{
    // What an earlier attempt at this event composed was never delivered.
    composed_[raceNo].clear();
    titles_[raceNo] = title;
}

void LedgerRecorder::certificateAccepted(const AcceptedCertificate& certificate)
{
    LedgerCertificate recorded{certificate.eventRace,   certificate.raceNo,
                               certificate.lane,        certificate.leg,
                               certificate.items,       std::nullopt,
                               certificate.heatInEvent, titles_.value(certificate.eventRace)};
    composed_[certificate.eventRace].append(std::move(recorded));
}

std::shared_future<void> LedgerRecorder::documentDelivered(const DeliveredDocument& delivered)
{
    return enqueue(
        {deliveredDocument(delivered.delivery, delivered.title, DocumentKind::Certificates),
         composed_.take(delivered.raceNo)});
}

std::shared_future<void> LedgerRecorder::recordDocument(LedgerDocument document)
{
    return enqueue({std::move(document), {}});
}

std::shared_future<void> LedgerRecorder::recordDocuments(QList<LedgerDocument> documents)
{
    if (documents.isEmpty())
        return {};
    LedgerDocument first = documents.takeFirst();
    return enqueue({std::move(first), {}, std::move(documents)});
}

void LedgerRecorder::recordWithNext(LedgerDocument document)
{
    std::lock_guard lock(mutex_);
    kept_.append(std::move(document));
}

void LedgerRecorder::writeKept()
{
    QList<LedgerDocument> kept;
    {
        std::lock_guard lock(mutex_);
        kept = std::exchange(kept_, {});
    }
    recordDocuments(std::move(kept));
}

std::shared_future<void> LedgerRecorder::enqueue(Waiting waiting)
{
    std::unique_lock lock(mutex_);
    waiting.more += std::exchange(kept_, {});
    const auto fill = [this](LedgerDocument& document) {
        if (document.requestedBy.isEmpty())
            document.requestedBy = requestedBy_;
        if (document.jobId > 0 && document.scheduler.isEmpty())
            document.scheduler = scheduler_;
    };
    fill(waiting.document);
    for (LedgerDocument& document : waiting.more)
        fill(document);
    waiting_.append(std::move(waiting));
    const bool failing = failure_.has_value();
    lock.unlock();
    std::shared_future<void> written = writer_.post([this] { flush(); }).share();
    {
        std::lock_guard lastLock(mutex_);
        last_ = written;
    }
    if (!failing)
        return written;
    // A ledger that fails may keep failing for a while: the run goes on meanwhile, the
    // document waits here.
    std::promise<void> kept;
    kept.set_value();
    return kept.get_future().share();
}

void LedgerRecorder::retry()
{
    // One retry at a time: a ledger locked for minutes must not pile them up.
    if (retryQueued_.exchange(true))
        return;
    writer_.post([this] {
        retryQueued_ = false;
        flush();
    });
}

void LedgerRecorder::flush()
{
    for (;;) {
        Waiting next;
        {
            std::lock_guard lock(mutex_);
            if (waiting_.isEmpty())
                return;
            next = waiting_.front();
        }
        try {
            if (!ledger_)
                ledger_ = openLedger_();
            const QList<qint64> ids =
                ledger_->recordTogether(next.document, next.certificates, next.more, session_);
            bool recovered = false;
            {
                std::lock_guard lock(mutex_);
                waiting_.removeFirst();
                recorded_.append(ids);
                recovered = failure_ && waiting_.isEmpty();
                if (recovered)
                    failure_.reset();
            }
            if (recovered && troubleCallback_)
                troubleCallback_(std::nullopt);
        } catch (const Failure& failure) {
            // Another connection next time: this one may be in a state of its own.
            ledger_.reset();
            bool first = false;
            {
                std::lock_guard lock(mutex_);
                first = !failure_;
                failure_ = failure;
            }
            if (first && troubleCallback_)
                troubleCallback_(failure);
            return;
        }
    }
}

void LedgerRecorder::finish()
{
    writeKept();
    std::shared_future<void> last;
    {
        std::lock_guard lock(mutex_);
        last = last_;
    }
    if (last.valid())
        last.wait();
    if (waitingDocuments() > 0)
        writer_.post([this] { flush(); }).wait();
    // Events composed but never delivered (refused, dropped) leave nothing to record.
    composed_.clear();
}

std::optional<Failure> LedgerRecorder::currentFailure() const
{
    std::lock_guard lock(mutex_);
    return failure_;
}

int LedgerRecorder::waitingDocuments() const
{
    std::lock_guard lock(mutex_);
    return int(waiting_.size() + kept_.size());
}

QList<qint64> LedgerRecorder::recordedDocuments() const
{
    std::lock_guard lock(mutex_);
    return recorded_;
}

} // namespace tarvel
