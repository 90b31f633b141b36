#pragma once
/// What a print run reports while it goes: progress and each certificate printed.

#include "layout/certificateitems.h"
#include "layout/drawing.h"

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
    /// Characters of the drawn items that no installed face can draw; empty for nearly
    /// every certificate.
    std::vector<UndrawableCharacter> undrawable;
};

/// Called on the run's thread; every callback must be cheap and may not re-enter the run.
/// The defaults do nothing.
class RunObserver {
public:
    virtual ~RunObserver() = default;

    /// The run has reached race `raceNo` of kRaceCount, before its status is looked at.
    virtual void raceReached(int raceNo) { (void)raceNo; }
    /// A certificate was accepted and drawn (and printed unless preview-only).
    virtual void certificateAccepted(const AcceptedCertificate& certificate) { (void)certificate; }
    /// Race `raceNo` has been marked "9" in Race.dat.
    virtual void raceMarked(int raceNo) { (void)raceNo; }
};

} // namespace tarvel
