#include "ledger/reprint.h"

#include "layout/drawing.h"
#include "platform/words.h"

#include <QHash>
#include <QSet>

#include <map>
#include <tuple>

namespace tarvel {

namespace {

/// A certificate's place: the race swum in, the lane, the leg (-1 for none).
using Place = std::tuple<int, int, int>;

Place placeOf(const LedgerCertificate& certificate)
{
    return {certificate.heat, certificate.lane, certificate.leg.value_or(-1)};
}

} // namespace

QList<LedgerEntry> latestCopies(const QList<LedgerEntry>& chosen, const QList<LedgerEntry>& all)
{
    std::map<Place, const LedgerEntry*> latest;
    for (const LedgerEntry& entry : all) {
        if (entry.certificate.reprintOf)
            continue;
        const LedgerEntry*& found = latest[placeOf(entry.certificate)];
        if (!found || found->id < entry.id)
            found = &entry;
    }
    QList<LedgerEntry> copies;
    QSet<qint64> taken;
    for (const LedgerEntry& entry : chosen) {
        const auto copy = latest.find(placeOf(entry.certificate));
        const LedgerEntry& use = copy != latest.end() ? *copy->second : entry;
        // The latest print of its place superseded all the same: its event was delivered
        // again without it, so it is no longer anyone's certificate.
        if (use.superseded && !use.certificate.reprintOf)
            continue;
        if (!taken.contains(use.id)) {
            taken.insert(use.id);
            copies.append(use);
        }
    }
    return copies;
}

bool reprintNeedsAsking(const QList<LedgerEntry>& entries)
{
    if (entries.size() > kReprintWithoutAsking)
        return true;
    QSet<int> events;
    for (const LedgerEntry& entry : entries)
        events.insert(entry.certificate.raceNo);
    return events.size() > 1;
}

QString reprintTitle(const LedgerEntry& anyOfTheEvent)
{
    return Words::tr("Reprint %1").arg(eventTitleOf(anyOfTheEvent));
}

ReprintResult reprintCertificates(const QList<LedgerEntry>& entries, const Layout& layout,
                                  PrintDevice& printer, Ledger& ledger, const ReprintRecord& record)
{
    // One document per event, the events in the order of their first certificate.
    QList<int> events;
    QHash<int, QList<LedgerEntry>> byEvent;
    for (const LedgerEntry& entry : entries) {
        const int event = entry.certificate.raceNo;
        if (!byEvent.contains(event))
            events.append(event);
        byEvent[event].append(entry);
    }

    ReprintResult result;
    for (int event : events) {
        const QList<LedgerEntry>& ofEvent = byEvent[event];
        const QString title = reprintTitle(ofEvent.first());
        printer.setDocumentName(title);
        QList<LedgerCertificate> certificates;
        try {
            for (const LedgerEntry& entry : ofEvent) {
                printPage(printer, layout, entry.certificate.items, PreviewOnly::No);
                LedgerCertificate again = entry.certificate;
                again.reprintOf = entry.id;
                again.eventTitle = eventTitleOf(entry);
                certificates.append(again);
            }
        } catch (...) {
            printer.abortDocument();
            throw;
        }
        const Delivery delivery = printer.endDocument();
        result.deliveries.append(delivery);

        LedgerDocument document = deliveredDocument(delivery, title, DocumentKind::Reprint);
        document.requestedBy = record.requestedBy;
        if (delivery.jobId > 0)
            document.scheduler = record.scheduler;
        try {
            ledger.record(document, certificates, record.session);
        } catch (const Failure& failure) {
            if (!result.ledgerFailure)
                result.ledgerFailure = failure;
        }
    }
    return result;
}

} // namespace tarvel
