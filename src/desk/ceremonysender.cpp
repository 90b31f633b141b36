#include "desk/ceremonysender.h"

#include "ceremony/ceremonypages.h"
#include "platform/threadpriority.h"
#include "platform/words.h"

#include <algorithm>
#include <chrono>
#include <set>

namespace tarvel {

namespace {

CeremonyCertificate listed(const LedgerCertificate& certificate)
{
    return {certificate.heat, certificate.lane, certificate.leg, certificate.items};
}

} // namespace

PrintTarget openCeremonyTarget(const CeremonyDestination& destination,
                               std::shared_ptr<TrueTypeFaces> faces)
{
    PdfWriting plain{std::move(faces)};
    if (destination.kind == CeremonyDestinationKind::Printer)
        return openPrinterTarget(destination.where, std::move(plain));
    return openPdfTarget(destination.where, std::move(plain));
}

CeremonyTargetOpener ceremonyTargetOpener()
{
    return [faces = std::make_shared<TrueTypeFaces>()](const CeremonyDestination& destination) {
        return openCeremonyTarget(destination, faces);
    };
}

CeremonySender::CeremonySender(CeremonyDestination destination, CeremonyTargetOpener open,
                               CeremonyRecorder record)
    : destination_(std::move(destination))
    , open_(std::move(open))
    , record_(std::move(record))
{
    // A list may come a moment after its event's certificates; the run goes first.
    worker_.post([] { yieldToOtherThreads(); });
}

CeremonySender::~CeremonySender()
{
    finish();
}

void CeremonySender::eventStarted(int raceNo, const QString& title)
{
    (void)title;
    // What an earlier attempt at this event composed was never delivered.
    composed_[raceNo].clear();
}

void CeremonySender::certificateAccepted(const AcceptedCertificate& certificate)
{
    composed_[certificate.eventRace].append(
        {certificate.raceNo, certificate.lane, certificate.leg, certificate.items});
}

std::shared_future<void> CeremonySender::documentDelivered(const DeliveredDocument& document)
{
    const QList<CeremonyCertificate> stack = composed_.take(document.raceNo);
    if (!stack.isEmpty())
        send({meetNameOf(stack), {ceremonyEventOf(document.raceNo, document.title, stack)}});
    return {};
}

void CeremonySender::send(CeremonyList list)
{
    last_ = worker_.post([this, list = std::move(list)] { deliver(list); });
}

void CeremonySender::deliver(const CeremonyList& list)
{
    SideDocument document;
    document.title = ceremonyDocumentName(list);
    document.destination = destination_.where;
    for (const CeremonyEvent& event : list.events)
        document.races << event.raceNo;
    const auto stopped = [&] {
        const QString action = Words::tr("printing the award lists");
        const QString why = Words::tr("stopped before it was sent");
        return destination_.kind == CeremonyDestinationKind::Printer
                   ? Failure::ofPrinter(action, destination_.where, why)
                   : Failure(action, destination_.where, why);
    };
    try {
        if (stopped_)
            throw stopped();
        {
            std::lock_guard lock(targetMutex_);
            if (!target_)
                target_ = open_(destination_);
        }
        PrintDevice& device = *target_->device;
        device.setDocumentName(document.title);
        document.pages = drawCeremonyList(device, list, QDateTime::currentDateTime());
        if (document.pages == 0)
            return;
        // A stop that came while the page was drawn: the destination's device began
        // afresh with this document and may not have heard it.
        if (stopped_)
            throw stopped();
        const Delivery delivery = device.endDocument();
        document.destination = delivery.destination;
        document.jobId = delivery.jobId;
    } catch (const Failure& failure) {
        if (target_)
            target_->device->abortDocument();
        document.failure = failure;
    }
    LedgerDocument recorded;
    recorded.printedAt = QDateTime::currentDateTime();
    recorded.title = document.title;
    recorded.destination = document.destination;
    recorded.jobId = document.jobId;
    recorded.kind = DocumentKind::CeremonyList;
    recorded.races = document.races;
    recorded.state = document.failure     ? JobState::Aborted
                     : document.jobId > 0 ? JobState::Pending
                                          : JobState::Written;
    if (record_)
        record_(recorded);
    std::lock_guard lock(mutex_);
    done_.append(std::move(document));
}

void CeremonySender::stop() noexcept
{
    stopped_.store(true);
    cancelTarget();
}

void CeremonySender::cancelTarget() noexcept
{
    std::lock_guard lock(targetMutex_);
    if (target_)
        target_->device->cancelWaiting();
}

QList<SideDocument> CeremonySender::finish()
{
    // A device takes a stop that came before its document began as the last document's,
    // and a list begins its document while it draws: a stop that came just then would
    // leave the list waiting out the destination's deadline. After a stop it is given
    // again until the list in hand gives up.
    using namespace std::chrono_literals;
    while (last_.valid() && last_.wait_for(50ms) == std::future_status::timeout) {
        if (stopped_)
            cancelTarget();
    }
    std::lock_guard lock(mutex_);
    return std::exchange(done_, {});
}

CeremonyList ceremonyListFromLedger(Ledger& ledger, QList<int> races)
{
    if (races.isEmpty()) {
        std::set<int> printed;
        for (const LedgerEntry& entry : ledger.entries()) {
            if (entry.document.kind == DocumentKind::Certificates)
                printed.insert(entry.certificate.raceNo);
        }
        races = QList<int>(printed.begin(), printed.end());
    }
    CeremonyList list;
    const QList<LedgerEntry> entries = ledger.entriesOfRaces(races); // race by race
    for (auto from = entries.begin(); from != entries.end();) {
        const int race = from->certificate.raceNo;
        const auto to = std::find_if(from, entries.end(), [race](const LedgerEntry& entry) {
            return entry.certificate.raceNo != race;
        });
        QList<CeremonyCertificate> stack;
        QString title;
        for (auto entry = from; entry != to; ++entry) {
            if (entry->document.kind != DocumentKind::Certificates)
                continue;
            if (title.isEmpty())
                title = eventTitleOf(*entry);
            stack.append(listed(entry->certificate));
        }
        from = to;
        if (stack.isEmpty())
            continue;
        if (list.meetName.isEmpty())
            list.meetName = meetNameOf(stack);
        list.events.append(ceremonyEventOf(race, title, stack));
    }
    return list;
}

} // namespace tarvel
