#pragma once
/// E-certificates made on demand from the ledger: the latest copies of the certificates
/// chosen, their files recorded, and the ZIPs of their affiliations when asked.

#include "ecert/ecertwriter.h"
#include "ledger/ledger.h"
#include "platform/failure.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace tarvel {

struct ECertificateOrder {
    /// The certificates chosen (any copies of them, as the history lists them); empty: every
    /// certificate printed.
    QList<LedgerEntry> chosen;
    /// Without rows chosen: the events by their race numbers or a heat swum in them; empty:
    /// every event.
    QList<int> races;
    /// Only the certificates of this affiliation folder (affiliationFolder()); empty: all.
    QString affiliationFolder;
    /// One ZIP per affiliation of the files made as well.
    bool zip = false;
};

struct ECertificatesMade {
    int written = 0;
    int removed = 0;
    /// The affiliation folders written in, sorted.
    QStringList folders;
    /// The ZIPs written, paths of this machine.
    QStringList zips;
    /// Certificates whose files could not be written (a full disk, a folder that cannot
    /// be written), and the first reason. The files written are recorded all the same; no
    /// ZIP is written then, since it would lack files.
    int failed = 0;
    std::optional<Failure> failure;
    /// The ledger could not record the files (they were written all the same).
    std::optional<Failure> ledgerFailure;
};

/// Reads the ledger, writes the latest copy of each certificate `order` asks for with
/// `setup` (events superseded by a corrected result replace their files), records each file
/// written in the ledger and writes the ZIPs. Blocking: call off the GUI thread. Throws
/// tarvel::Failure when the ledger cannot be read, the blank certificate cannot be read or
/// a ZIP cannot be written; a file that cannot be written is kept in `failed`.
ECertificatesMade makeECertificates(Ledger& ledger, const ECertificateSetup& setup,
                                    const ECertificateOrder& order, const QString& requestedBy);

} // namespace tarvel
