#pragma once
/// What a print run reports while it goes: progress and each certificate printed.

#include "layout/certificateitems.h"
#include "layout/drawing.h"
#include "platform/printdevice.h"

#include <QString>

#include <future>
#include <optional>
#include <vector>

namespace tarvel {

/// One certificate the filters accepted, as it was drawn and printed.
struct AcceptedCertificate {
    /// The heat the finisher swam in (1 to 1024) and the lane index there (0 to 11).
    int raceNo = 0;
    int lane = 0;
    /// The relay leg 0 to 3; none for an individual event.
    std::optional<int> leg;
    /// The nineteen texts exactly as composed; valid only during the call.
    const ItemTexts& items;
    /// The event's last heat: the race its document is printed for.
    int eventRace = 0;
    /// Characters of the drawn items that no installed face can draw; empty for nearly
    /// every certificate.
    std::vector<UndrawableCharacter> undrawable;
};

/// An event's document, delivered: the scheduler accepted its job, or its file was written.
struct DeliveredDocument {
    /// The event's last heat and its title.
    int raceNo = 0;
    QString title;
    Delivery delivery;
};

/// Called on the run's thread; every callback must be cheap and may not re-enter the run.
/// The defaults do nothing.
class RunObserver {
public:
    virtual ~RunObserver() = default;

    /// The run begins; the meet holds races 1 to `lastRace` (taikai.dat's records, at most
    /// kRaceCount), though it looks at the status of every race up to kRaceCount.
    virtual void runStarted(int lastRace) { (void)lastRace; }
    /// The run has reached race `raceNo` of kRaceCount, before its status is looked at.
    virtual void raceReached(int raceNo) { (void)raceNo; }
    /// The event whose last heat is `raceNo` is about to be composed.
    virtual void eventStarted(int raceNo, const QString& title)
    {
        (void)raceNo;
        (void)title;
    }
    /// A certificate was accepted and drawn (and printed unless preview-only).
    virtual void certificateAccepted(const AcceptedCertificate& certificate) { (void)certificate; }
    /// An event's document was delivered; its races are marked next. Called once per
    /// delivery, never for a document that failed. Whatever the observer must finish before
    /// the marks (a record written elsewhere) may go on in the background: the run marks
    /// them as soon as the future returned is ready, meanwhile composing the next event, and
    /// waits for it before that event's delivery begins. An invalid future: nothing to wait
    /// for.
    virtual std::shared_future<void> documentDelivered(const DeliveredDocument& document)
    {
        (void)document;
        return {};
    }
    /// Race `raceNo` has been marked "9" in Race.dat.
    virtual void raceMarked(int raceNo) { (void)raceNo; }
    /// Asked before each race: whether the run is to stop there, after the event in hand
    /// (the operator pressed 中止, a stop signal came).
    virtual bool stopRequested() const { return false; }
};

} // namespace tarvel
