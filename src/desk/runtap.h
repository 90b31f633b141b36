#pragma once
/// The desk's own observer of a run: its progress for the front end, the characters no
/// face could draw, and the stop the operator asked for.

#include "printrun/runobserver.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>

namespace tarvel {

/// Where a run is, for a progress display.
struct RunProgress {
    /// The meet's own races (taikai.dat's records) and the race reached.
    int lastRace = 0;
    int raceNo = 0;
    /// The event in hand ("R012 男子 100m自由形 決勝"); empty before the first.
    QString event;
    int certificates = 0;
};

/// Called on the run's thread. `changed` is called there at most every few tens of
/// milliseconds (and at the start), never for each certificate, so a GUI that shows the
/// progress does not slow the run; progress() is safe on any thread.
class RunTap final : public RunObserver {
public:
    RunTap(const std::atomic<bool>& stopWanted, std::function<void()> changed);

    void runStarted(int lastRace) override;
    void raceReached(int raceNo) override;
    void eventStarted(int raceNo, const QString& title) override;
    void certificateAccepted(const AcceptedCertificate& certificate) override;
    bool stopRequested() const override { return stopWanted_.load(); }

    /// A new run begins: nothing counted yet.
    void reset();
    RunProgress progress() const;
    /// One line per certificate with characters no face could draw; once the run is over.
    QStringList undrawable() const;

private:
    /// Now: whatever was told last; WhenDue: once the interval since the last is over.
    enum class Tell { Now, WhenDue };
    void tell(Tell when);

    const std::atomic<bool>& stopWanted_;
    std::function<void()> changed_;
    mutable std::mutex mutex_;
    RunProgress progress_;
    QStringList undrawable_;
    QElapsedTimer sinceTold_;
};

} // namespace tarvel
