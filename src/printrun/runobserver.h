#pragma once
/// What a print run reports while it goes: progress and each certificate printed.

#include "layout/certificateitems.h"

#include <QString>

#include <optional>

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
    /// Race `raceNo` has been marked "9" in Race.dat.
    virtual void raceMarked(int raceNo) { (void)raceNo; }
    /// Asked before each race: whether the run is to stop there, after the event in hand
    /// (the operator pressed 中止, a stop signal came).
    virtual bool stopRequested() const { return false; }
};

} // namespace tarvel
