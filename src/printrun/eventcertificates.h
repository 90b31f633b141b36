#pragma once
/// The certificates of one event: its finishers over all heats, ranked (optionally within
/// age or class groups), each certificate composed, filtered, previewed and printed.

#include "naming/racerecord.h"
#include "platform/previewsurface.h"
#include "platform/printdevice.h"
#include "printrun/printoptions.h"
#include "printrun/runobserver.h"
#include "printrun/session.h"

#include <QString>

namespace tarvel {

/// What one event produced.
struct EventSummary {
    /// Finishers listed over all heats (entry and result present, a result other than none).
    int finishers = 0;
    /// Certificates the filters accepted (each drawn in the preview when there is one).
    int certificates = 0;
    /// Pages sent to the printer: the certificates, unless preview-only.
    int pages = 0;
};

/// Prints the event whose heat `raceNo` has just been loaded as `race` (normally its last
/// heat). Heats are races raceNo - heatNo + 1 to raceNo - heatNo + heatCount, clamped to 1 to
/// 1024; lanes 0 to laneCount - 1, clamped to 0 to 12. Each heat is read once to collect the
/// finishers and once more in each group pass. The swimmer master file is open for the whole
/// call. `session.itemText` holds the last certificate composed afterwards; the
/// layout is read, never written. The print document, titled eventDocumentTitle(), is ended
/// at the end, also when nothing was printed; when it has pages its delivery is begun
/// (PrintDevice::beginDelivery), and the caller takes its outcome. A failure while
/// composing drops the document unsent and goes on to the caller as tarvel::Failure:
/// Kind::Damaged when a record of the event cannot be used (a heat or an entry past the end
/// of its file, a relay index naming no record), other kinds when the system failed.
/// `preview` and `observer` may be null.
EventSummary PrintEventCertificates(Session& session, int raceNo, const RaceRecord& race,
                                    const PrintOptions& options, PrintDevice& printer,
                                    PreviewSurface* preview, RunObserver* observer);

/// As PrintEventCertificates, but the document is left open with its pages drawn: the
/// caller ends it (beginDelivery, endDocument) or drops it (abortDocument). A failure drops
/// it here.
EventSummary ComposeEventCertificates(Session& session, int raceNo, const RaceRecord& race,
                                      const PrintOptions& options, PrintDevice& printer,
                                      PreviewSurface* preview, RunObserver* observer);

/// The title of the print document of the event whose last heat is `raceNo`:
/// "R012 男子 100m自由形 決勝". Reads the custom event table for a custom event.
QString eventDocumentTitle(const Session& session, int raceNo, const RaceRecord& race);

} // namespace tarvel
