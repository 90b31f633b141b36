#include "ecert/ledgermaker.h"

#include "ecert/affiliationzip.h"
#include "ecert/filenames.h"
#include "ecert/fromledger.h"

#include <set>
#include <tuple>

namespace tarvel {

namespace {

/// A certificate's place: the race swum in, the lane, the leg (-1 for none).
using Place = std::tuple<int, int, int>;

Place placeOf(int heat, int lane, std::optional<int> leg)
{
    return {heat, lane, leg.value_or(-1)};
}

} // namespace

ECertificatesMade makeECertificates(Ledger& ledger, const ECertificateSetup& setup,
                                    const ECertificateOrder& order, const QString& requestedBy)
{
    QList<int> races = order.chosen.isEmpty() ? order.races : QList<int>();
    std::set<Place> places;
    for (const LedgerEntry& entry : order.chosen) {
        const LedgerCertificate& c = entry.certificate;
        if (!races.contains(c.raceNo))
            races.append(c.raceNo);
        places.insert(placeOf(c.heat, c.lane, c.leg));
    }
    // Nothing chosen: every event. A chosen row stands for its place's latest copy.
    const QList<QList<ECertificate>> events = latestByEvent(ledger.entries(), races);
    const auto wanted = [&](const ECertificate& c) {
        return (places.empty() || places.contains(placeOf(c.heat, c.lane, c.leg)))
               && (order.affiliationFolder.isEmpty()
                   || affiliationFolder(c) == order.affiliationFolder);
    };
    ECertificateWriter writer(setup);
    ECertificatesMade made;
    QList<ECertificateFile> files;
    for (const EventECertificates& event : writer.writeEvents(events, wanted)) {
        made.written += int(event.written.size());
        made.removed += int(event.removed.size());
        made.failed += event.failed;
        if (!made.failure)
            made.failure = event.failure;
        files << event.written;
        for (const ECertificateFile& file : event.written) {
            const QString folder = file.relativePath.section(u'/', 0, 0);
            if (!made.folders.contains(folder))
                made.folders.append(folder);
        }
    }
    made.folders.sort();
    try {
        // What was written is recorded, whatever failed after it.
        QList<LedgerDocument> documents =
            eCertificateDocuments(files, QDateTime::currentDateTime());
        for (LedgerDocument& document : documents)
            document.requestedBy = requestedBy;
        ledger.recordDocuments(documents, thisSession());
    } catch (const Failure& failure) {
        made.ledgerFailure = failure;
    }
    if (order.zip && !made.failure) {
        for (const QString& folder : std::as_const(made.folders))
            made.zips.append(writeAffiliationZip(setup.folder, folder));
    }
    return made;
}

} // namespace tarvel
