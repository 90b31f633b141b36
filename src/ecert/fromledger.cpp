#include "ecert/fromledger.h"

#include "platform/paths.h"

#include <QMap>

#include <algorithm>

namespace tarvel {

QString eCertificateFolder(const DataLocations& where)
{
    return hostPath(where.dataFile(QString::fromUtf16(kECertificateFolderName)));
}

ECertificate ecertificateOf(const LedgerEntry& entry)
{
    const LedgerCertificate& c = entry.certificate;
    ECertificate e;
    e.raceNo = c.raceNo;
    e.heat = c.heat;
    e.lane = c.lane;
    e.leg = c.leg;
    e.eventTitle = eventTitleOf(entry);
    e.items = c.items;
    return e;
}

QList<QList<ECertificate>> latestByEvent(const QList<LedgerEntry>& entries, const QList<int>& races)
{
    QList<const LedgerEntry*> latest;
    for (const LedgerEntry& entry : entries) {
        if (entry.superseded || entry.certificate.reprintOf
            || entry.document.kind != DocumentKind::Certificates)
            continue;
        latest.append(&entry);
    }
    std::sort(latest.begin(), latest.end(),
              [](const LedgerEntry* a, const LedgerEntry* b) { return a->id < b->id; });
    QMap<int, QList<ECertificate>> byEvent;
    for (const LedgerEntry* entry : latest)
        byEvent[entry->certificate.raceNo].append(ecertificateOf(*entry));
    QList<QList<ECertificate>> events;
    for (auto it = byEvent.cbegin(); it != byEvent.cend(); ++it) {
        const bool chosen = races.isEmpty() || races.contains(it.key())
                            || std::any_of(it->cbegin(), it->cend(), [&](const ECertificate& c) {
                                   return races.contains(c.heat);
                               });
        if (chosen)
            events.append(*it);
    }
    return events;
}

QList<LedgerDocument> eCertificateDocuments(const QList<ECertificateFile>& files,
                                            const QDateTime& writtenAt)
{
    QList<LedgerDocument> documents;
    for (const ECertificateFile& file : files) {
        LedgerDocument d;
        d.printedAt = writtenAt;
        d.title = file.relativePath.section(u'/', -1).chopped(4); // without ".pdf"
        d.destination = file.path;
        d.state = JobState::Written;
        d.kind = DocumentKind::ECertificates;
        documents.append(d);
    }
    return documents;
}

} // namespace tarvel
