#pragma once
/// The account of a print run in words, the same for the window and tarvel-batch.

#include "printrun/printoptions.h"
#include "printrun/printrun.h"
#include "printrun/runobserver.h"
#include "printrun/runoutcome.h"

#include <QString>
#include <QStringList>

#include <limits>

namespace tarvel {

/// The account's lines: what was printed and marked (or, preview-only, previewed), then
/// the events left unprinted with why, the events delivered but left unmarked with their
/// races, the events the filters left out and the events with
/// finishers but no certificate. Each list names at most `listed` events and counts the
/// rest. When no race was ready, the one line says so.
QStringList describeRun(const RunSummary& summary, PreviewOnly previewOnly,
                        int listed = std::numeric_limits<int>::max());

/// One line per side document (an award ceremony list): where it went, or why it did not.
QStringList describeSideDocuments(const QList<SideDocument>& documents);

/// Whether a side document (an award list) was not delivered: the operator must look.
inline bool hasFailedSideDocuments(const RunOutcome& outcome)
{
    for (const SideDocument& document : outcome.sideDocuments) {
        if (document.failure)
            return true;
    }
    return false;
}

/// "Race 12, lane 4, 名前: U+E000 cannot be drawn by any installed face" for a certificate
/// with characters no face can draw (lanes counted from 1); empty when it has none.
QString describeUndrawable(const AcceptedCertificate& certificate);

/// Whether the operator must look at the account: an event was left unprinted.
inline bool hasUnprintedEvents(const RunSummary& summary)
{
    return !summary.unprinted.isEmpty();
}

} // namespace tarvel
