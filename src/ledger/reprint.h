#pragma once
/// Printing certificates again from the ledger: their stored texts with today's layout.

#include "layout/certificateitems.h"
#include "ledger/ledger.h"
#include "platform/failure.h"

#include <optional>

namespace tarvel {

struct ReprintResult {
    /// One delivery per event, in the order of the events' first certificates.
    QList<Delivery> deliveries;
    /// The ledger could not record the reprints (they were printed all the same).
    std::optional<Failure> ledgerFailure;
    /// Where the last document went, for telling.
    QString destination() const
    {
        return deliveries.isEmpty() ? QString() : deliveries.last().destination;
    }
};

/// The latest copy of each certificate chosen, once each, in the order chosen: a copy that a
/// later print of its race, lane and leg superseded, or a reprint, stands for the latest
/// original print among `all` (the ledger's entries, as entries() gives them); one whose
/// event was delivered again without it is left out.
QList<LedgerEntry> latestCopies(const QList<LedgerEntry>& chosen, const QList<LedgerEntry>& all);

/// More certificates than this, or more than one event, are printed again only after asking.
inline constexpr int kReprintWithoutAsking = 20;

/// Whether printing `entries` again asks first: they span more than one event, or they are
/// more than kReprintWithoutAsking certificates.
bool reprintNeedsAsking(const QList<LedgerEntry>& entries);

/// The title of a reprint document of one event's certificates: "再印刷 R012 女子 ...".
QString reprintTitle(const LedgerEntry& anyOfTheEvent);

/// How reprints are recorded: the program run, who asked, the scheduler jobs go to.
struct ReprintRecord {
    QString session = thisSession();
    QString requestedBy = thisDesk();
    QString scheduler;
};

/// Prints `entries` again, one document per event (the race printed for) titled
/// reprintTitle(), each page drawn with `layout` from the texts the ledger keeps, and records
/// each document in `ledger` as reprints of the certificates they repeat. Race.dat is not
/// touched. Throws tarvel::Failure when a document is not delivered (it records nothing;
/// the events before it were printed and recorded); a ledger that cannot record them after
/// delivery is told in the result.
ReprintResult reprintCertificates(const QList<LedgerEntry>& entries, const Layout& layout,
                                  PrintDevice& printer, Ledger& ledger,
                                  const ReprintRecord& record = {});

} // namespace tarvel
