#pragma once
/// The e-certificates the ledger calls for: the latest copy of each certificate delivered,
/// with its texts as printed.

#include "ecert/ecertificate.h"
#include "ecert/ecertwriter.h"
#include "ledger/ledger.h"
#include "meetdb/datalocations.h"

#include <QList>
#include <QString>

namespace tarvel {

/// The data folder's "e-certificates", a path of this machine.
inline constexpr char16_t kECertificateFolderName[] = u"e-certificates";
QString eCertificateFolder(const DataLocations& where);

/// A ledger entry as the certificate it printed.
ECertificate ecertificateOf(const LedgerEntry& entry);

/// The latest copy of each certificate in `entries` (as Ledger::entries() gives them):
/// originals of print runs only (a reprint repeats one; a superseded copy was corrected),
/// grouped by event (its race number), events in race order and certificates in the order
/// they were printed. With `races`, only the events whose race number, or a heat swum in
/// them, is listed. Pure.
QList<QList<ECertificate>> latestByEvent(const QList<LedgerEntry>& entries,
                                         const QList<int>& races = {});

/// The ledger's record of e-certificate files written at `writtenAt`: one document each,
/// titled with the file's name, its path as the destination. Pure.
QList<LedgerDocument> eCertificateDocuments(const QList<ECertificateFile>& files,
                                            const QDateTime& writtenAt);

} // namespace tarvel
