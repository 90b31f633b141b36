#include "ledger/reprint.h"

#include "layout/drawing.h"
#include "platform/words.h"

#include <QSet>

namespace tarvel {

QString reprintTitle(const QList<LedgerEntry>& entries)
{
    QSet<qint64> documents;
    for (const LedgerEntry& entry : entries)
        documents.insert(entry.documentId);
    if (documents.size() == 1)
        return Words::tr("Reprint %1").arg(entries.first().document.title);
    return Words::tr("Reprint of %1 certificate(s)").arg(entries.size());
}

ReprintResult reprintCertificates(const QList<LedgerEntry>& entries, const Layout& layout,
                                  PrintDevice& printer, Ledger& ledger, const QString& session)
{
    ReprintResult result;
    if (entries.isEmpty())
        return result;
    const QString title = reprintTitle(entries);
    printer.setDocumentName(title);
    QList<LedgerCertificate> certificates;
    try {
        for (const LedgerEntry& entry : entries) {
            printPage(printer, layout, entry.certificate.items, PreviewOnly::No);
            LedgerCertificate again = entry.certificate;
            again.reprintOf = entry.id;
            certificates.append(again);
        }
    } catch (...) {
        printer.abortDocument();
        throw;
    }
    result.delivery = printer.endDocument();

    LedgerDocument document;
    document.printedAt = QDateTime::currentDateTime();
    document.title = title;
    document.destination = result.delivery.destination;
    document.jobId = result.delivery.jobId;
    document.state = result.delivery.jobId > 0 ? JobState::Pending : JobState::Written;
    try {
        ledger.record(document, certificates, session);
    } catch (const Failure& failure) {
        result.ledgerFailure = failure;
    }
    return result;
}

} // namespace tarvel
