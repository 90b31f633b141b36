#pragma once
/// Printing certificates again from the ledger: their stored texts with today's layout.

#include "layout/certificateitems.h"
#include "ledger/ledger.h"
#include "platform/failure.h"

#include <optional>

namespace tarvel {

struct ReprintResult {
    Delivery delivery;
    /// The ledger could not record the reprints (they were printed all the same).
    std::optional<Failure> ledgerFailure;
};

/// The title of a reprint document: "再印刷 R012 ..." for one document's certificates, or
/// the count for a mixed choice.
QString reprintTitle(const QList<LedgerEntry>& entries);

/// Prints `entries` again as one document titled reprintTitle(), each page drawn with
/// `layout` from the texts the ledger keeps, and records them in `ledger` as reprints of
/// the certificates they repeat. Race.dat is not touched. Throws tarvel::Failure when the
/// document is not delivered (nothing is recorded then); a ledger that cannot record them
/// after delivery is told in the result.
ReprintResult reprintCertificates(const QList<LedgerEntry>& entries, const Layout& layout,
                                  PrintDevice& printer, Ledger& ledger,
                                  const QString& session = thisSession());

} // namespace tarvel
