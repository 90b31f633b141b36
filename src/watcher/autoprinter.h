#pragma once
/// Automatic printing: a print run whenever a race of the meet turns ready ("8"), without
/// anyone pressing 印刷.

#include "meetdb/datalocations.h"
#include "meetdb/racestatus.h"
#include "platform/failure.h"
#include "printrun/runoutcome.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QTime>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace tarvel {

/// Watches Race.dat and starts a run when a race is ready. Change notifications start a
/// check at once; a poll every `interval` catches what a network share never notifies. A
/// run is never begun while one is going: the check after it picks up what changed
/// meanwhile. What the run did not deal with (an event whose records are damaged, a printer
/// that refused, preview-only) is held back for a minute, so that the same failing event is
/// not tried over and over, while races that turn ready meanwhile are printed. An event
/// delivered whose races could not be marked (Race.dat not writable) is never printed again:
/// it is passed over until its marks are written, tried at every check (markDeliveredEvents).
/// Race.dat or
/// its folder out of reach is no failure: the watcher waits and retries, and says so once
/// when it lasts, and once when it is back. It never prints a race twice: the run marks what
/// it delivered and takes the meet's run lock.
///
/// Lives on one thread with an event loop; the run function is called there, synchronously.
class AutoPrinter final : public QObject {
    Q_OBJECT
public:
    enum class State {
        Off,
        Watching, ///< 監視中: nothing ready, or everything ready held back
        Printing, ///< 印刷中: a run is going
        Waiting,  ///< 接続待ち: Race.dat or the data folder cannot be reached
        /// 接続待ち for the printer: the last run found the print scheduler refusing to
        /// connect or not answering; its events are tried again as for a refusing queue,
        /// and the state is Watching again once a run gets past the scheduler.
        WaitingForPrinter,
    };

    /// Where the hold-back and told-after times are measured: a steady clock, turned by hand
    /// in tests.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    struct Timing {
        /// Between two reads of Race.dat without a notification.
        std::chrono::milliseconds interval{500};
        /// Change notifications besides the poll; off measures polling alone.
        bool notifications = true;
        /// Out of reach for longer than this is told (once).
        std::chrono::milliseconds tellUnreachableAfter{10'000};
        /// What a run left ready is not tried again before this.
        std::chrono::milliseconds retryAfter{60'000};
        /// The meet held by another run (another desk): tried again after this.
        std::chrono::milliseconds retryBusyAfter{2'000};
        /// The three delays above are measured on this clock; the poll is a real timer.
        Clock clock = std::chrono::steady_clock::now;
    };

    /// Runs one print run under 同時 that passes over `heldBack`, with `watcher` observing
    /// beside the caller's observers (it knows the event in hand and asks the run to stop
    /// after it when watching ends). A failure is returned, never thrown.
    using RunFunction = std::function<RunOutcome(const QSet<int>& heldBack, RunObserver& watcher)>;

    AutoPrinter(DataLocations where, RunFunction run, Timing timing, QObject* parent = nullptr);
    AutoPrinter(DataLocations where, RunFunction run, QObject* parent = nullptr)
        : AutoPrinter(std::move(where), std::move(run), Timing{}, parent)
    {
    }
    ~AutoPrinter() override;

    /// Begins watching and checks at once.
    void start();
    /// Ends watching; a run going stops after the event in hand. stopped() follows once no
    /// run is going (at once when none is).
    void stop();

    State state() const { return state_; }
    /// The last heat of the event being printed; 0 while none is.
    int eventInHand() const { return eventInHand_; }
    /// When Race.dat was last read.
    QTime lastCheck() const { return lastCheck_; }
    /// Races passed over for now: those held back after a failure, and those of events
    /// delivered and still to be marked.
    QSet<int> heldBack() const;
    /// Events delivered whose races could not be marked yet.
    const QList<UnmarkedEvent>& unmarkedEvents() const { return unmarked_; }

Q_SIGNALS:
    /// The state, the event in hand or the time of the last check changed.
    void changed();
    /// A run ended. `news` is false when its trouble is what an earlier run told already
    /// (the same event failing again a minute later), or when there was none.
    void runFinished(const tarvel::RunOutcome& run, tarvel::News news);
    /// Race.dat has been out of reach for longer than Timing::tellUnreachableAfter.
    void unreachable(const QString& why);
    /// Race.dat can be read again after unreachable() was told.
    void reachableAgain();
    /// Watching ended (after stop(), once no run is going).
    void stopped();

private:
    class RunWatcher;

    void check();
    void scheduleCheck();
    void runNow(const RaceStatus& before);
    void holdBackWhatWasLeft(const RaceStatus& before, const RaceStatus& after,
                             const RunOutcome& run);
    News newsOf(const RunOutcome& run);
    /// Watching, or waiting for the printer while the scheduler did not answer the last run.
    State idleState() const;
    void waitForFolder(const Failure& why);
    void folderReached();
    void armNotifications();
    void markWhatWasDelivered();

    DataLocations where_;
    RunFunction run_;
    Timing timing_;
    std::unique_ptr<RunWatcher> runWatcher_;
    std::unique_ptr<QFileSystemWatcher> notifications_;
    /// Children, so that they move with the watcher to its thread.
    QTimer poll_;
    QTimer checkSoon_;
    State state_ = State::Off;
    bool running_ = false;
    bool stopping_ = false;
    /// The last run that got as far as the scheduler found it refusing or silent.
    bool schedulerUnreachable_ = false;
    int eventInHand_ = 0;
    QTime lastCheck_;
    using TimePoint = std::chrono::steady_clock::time_point;
    bool hasPassed(TimePoint deadline) const { return timing_.clock() >= deadline; }

    /// Races passed over until their deadline.
    QHash<int, TimePoint> held_;
    /// Delivered, not marked: passed over until marked, whatever the deadline.
    QList<UnmarkedEvent> unmarked_;
    /// Out of reach since; none while reachable.
    std::optional<TimePoint> unreachableUntilTold_;
    bool unreachableTold_ = false;
    QString unreachableWhy_;
    /// The trouble told so far by race (0: the whole run's failure), so that the same is
    /// not told again every minute.
    QHash<int, QString> told_;
};

} // namespace tarvel
