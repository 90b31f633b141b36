#include "ecert/ecertrecorder.h"

#include "platform/threadpriority.h"

namespace tarvel {

ECertificateRecorder::ECertificateRecorder(ECertificateSetup setup, FilesWritten filesWritten)
    : setup_(std::move(setup))
    , filesWritten_(std::move(filesWritten))
{
    // The e-certificates may come a moment after their event's paper; the run goes first.
    worker_.post([] { yieldToOtherThreads(); });
}

ECertificateRecorder::~ECertificateRecorder() = default;

void ECertificateRecorder::eventStarted(int raceNo, const QString& title)
{
    composed_.remove(raceNo);
    titles_.insert(raceNo, title);
}

void ECertificateRecorder::certificateAccepted(const AcceptedCertificate& certificate)
{
    ECertificate c;
    c.raceNo = certificate.eventRace;
    c.heat = certificate.raceNo;
    c.lane = certificate.lane;
    c.leg = certificate.leg;
    c.eventTitle = titles_.value(certificate.eventRace);
    c.items = certificate.items;
    composed_[certificate.eventRace].append(c);
}

std::shared_future<void> ECertificateRecorder::documentDelivered(const DeliveredDocument& document)
{
    QList<ECertificate> event = composed_.take(document.raceNo);
    if (!event.isEmpty())
        worker_.post([this, event = std::move(event)] { writeEvent(event); });
    return {};
}

void ECertificateRecorder::writeEvent(const QList<ECertificate>& event)
{
    std::optional<Failure> failure;
    EventECertificates outcome;
    try {
        if (!writer_ && !writerFailed_) {
            writerFailed_ = true; // until it was made
            writer_ = std::make_unique<ECertificateWriter>(setup_);
            writerFailed_ = false;
        }
        if (writer_) {
            outcome = writer_->writeEvent(event);
            failure = outcome.failure;
        }
    } catch (const Failure& f) {
        failure = f;
    }
    if (filesWritten_ && !outcome.written.isEmpty())
        filesWritten_(outcome.written);
    std::lock_guard lock(mutex_);
    account_.written += int(outcome.written.size());
    account_.removed += int(outcome.removed.size());
    if (failure || !writer_) {
        ++account_.eventsFailed;
        if (!account_.failure)
            account_.failure = failure;
    }
}

ECertificateAccount ECertificateRecorder::finish()
{
    worker_.post([] {}).wait(); // the tasks run in order: all before it are done
    std::lock_guard lock(mutex_);
    return account_;
}

} // namespace tarvel
