#include "watcher/autoprinter.h"

#include "platform/paths.h"

#include <QFileInfo>

namespace tarvel {

/// Tells the watcher which event is in hand, and asks the run to stop when watching ends.
class AutoPrinter::RunWatcher final : public RunObserver {
public:
    explicit RunWatcher(AutoPrinter& owner) : owner_(owner) {}

    void eventStarted(int raceNo, const QString&) override
    {
        owner_.eventInHand_ = raceNo;
        Q_EMIT owner_.changed();
    }
    bool stopRequested() const override { return owner_.stopping_; }

private:
    AutoPrinter& owner_;
};

namespace {

/// The key under which a failure of the whole run (not of one event) is remembered as told.
constexpr int kWholeRun = 0;

} // namespace

AutoPrinter::AutoPrinter(DataLocations where, RunFunction run, Timing timing, QObject* parent)
    : QObject(parent)
    , where_(std::move(where))
    , run_(std::move(run))
    , timing_(timing)
    , runWatcher_(std::make_unique<RunWatcher>(*this))
    , poll_(this)
    , checkSoon_(this)
{
    connect(&poll_, &QTimer::timeout, this, &AutoPrinter::check);
    // Notifications come in bursts (a program saving a file writes it in pieces): one check
    // for each burst.
    checkSoon_.setSingleShot(true);
    checkSoon_.setInterval(0);
    connect(&checkSoon_, &QTimer::timeout, this, &AutoPrinter::check);
}

AutoPrinter::~AutoPrinter() = default;

void AutoPrinter::start()
{
    if (state_ != State::Off)
        return;
    stopping_ = false;
    state_ = State::Watching;
    armNotifications();
    poll_.start(timing_.interval);
    scheduleCheck();
}

void AutoPrinter::stop()
{
    if (state_ == State::Off)
        return;
    stopping_ = true;
    poll_.stop();
    checkSoon_.stop();
    notifications_.reset();
    if (running_)
        return; // the run ends after the event in hand; runNow() finishes the stop
    stopping_ = false;
    held_.clear();
    schedulerUnreachable_ = false;
    unreachableUntilTold_.reset();
    unreachableTold_ = false;
    state_ = State::Off;
    Q_EMIT stopped();
}

QSet<int> AutoPrinter::heldBack() const
{
    QSet<int> races;
    for (auto it = held_.cbegin(); it != held_.cend(); ++it) {
        if (!hasPassed(it.value()))
            races.insert(it.key());
    }
    for (const UnmarkedEvent& event : unmarked_) {
        races.insert(event.event.raceNo);
        for (int raceNo : event.races)
            races.insert(raceNo);
    }
    return races;
}

void AutoPrinter::scheduleCheck()
{
    if (state_ != State::Off && !stopping_ && !checkSoon_.isActive())
        checkSoon_.start();
}

void AutoPrinter::check()
{
    // While a run goes, the check after it picks up whatever changed meanwhile.
    if (state_ == State::Off || stopping_ || running_)
        return;
    lastCheck_ = QTime::currentTime();
    markWhatWasDelivered(); // before the read, so that the races it marks are seen marked
    RaceStatus status;
    try {
        status = readRaceStatus(where_);
    } catch (const Failure& failure) {
        waitForFolder(failure);
        Q_EMIT changed();
        return;
    }
    folderReached();
    // A file replaced or deleted and made again is no longer watched: watch the new one.
    armNotifications();
    held_.removeIf([this](const auto& race) { return hasPassed(race.value()); });
    const QSet<int> passedOver = heldBack();
    for (int raceNo = 1; raceNo <= kRaceCount; ++raceNo) {
        if (status.of(raceNo) == kRaceReady && !passedOver.contains(raceNo)) {
            runNow(status);
            return;
        }
    }
    state_ = idleState();
    Q_EMIT changed();
}

AutoPrinter::State AutoPrinter::idleState() const
{
    return schedulerUnreachable_ ? State::WaitingForPrinter : State::Watching;
}

void AutoPrinter::runNow(const RaceStatus& before)
{
    running_ = true;
    eventInHand_ = 0;
    state_ = State::Printing;
    Q_EMIT changed();
    const RunOutcome run = run_(heldBack(), *runWatcher_);
    eventInHand_ = 0;
    unmarked_ += run.summary.deliveredUnmarked;
    // A run that could not begin (another desk holds the meet) did not ask the scheduler.
    if (!isBusy(run))
        schedulerUnreachable_ = isSchedulerUnreachable(run);

    News news = News::ToldAlready;
    try {
        const RaceStatus after = readRaceStatus(where_);
        holdBackWhatWasLeft(before, after, run);
        news = newsOf(run);
        state_ = idleState();
    } catch (const Failure& failure) {
        // Out of reach right after the run: whatever failed is tried again once it is back,
        // nothing held, nothing told but the waiting.
        waitForFolder(failure);
    }
    // Still running while the account is told: a receiver's own event loop starts no run.
    Q_EMIT runFinished(run, news);
    running_ = false;
    if (stopping_) {
        stopping_ = false;
        stop();
        return;
    }
    Q_EMIT changed();
    scheduleCheck();
}

void AutoPrinter::holdBackWhatWasLeft(const RaceStatus& before, const RaceStatus& after,
                                      const RunOutcome& run)
{
    // A race ready before the run and still ready after it was left by the run on purpose:
    // damage, a failure, preview-only, an event held back. A race that turned ready while the
    // walk was past it was not ready before, and is printed by the next run.
    const TimePoint until =
        timing_.clock() + (isBusy(run) ? timing_.retryBusyAfter : timing_.retryAfter);
    for (int raceNo = 1; raceNo <= kRaceCount; ++raceNo) {
        if (before.of(raceNo) == kRaceReady && after.of(raceNo) == kRaceReady
            && !held_.contains(raceNo))
            held_.insert(raceNo, until);
    }
    // What was told about a race is forgotten once the race is dealt with, so that it is
    // told again should it fail another day.
    told_.removeIf([&after](const auto& entry) {
        const int raceNo = entry.key();
        return raceNo != kWholeRun && after.of(raceNo) != kRaceReady;
    });
    if (!run.failure || isBusy(run))
        told_.remove(kWholeRun);
}

News AutoPrinter::newsOf(const RunOutcome& run)
{
    News news = News::ToldAlready;
    auto remember = [&](int key, const QString& text) {
        if (told_.value(key) != text) {
            told_.insert(key, text);
            news = News::New;
        }
    };
    if (run.failure && !isBusy(run))
        remember(kWholeRun, run.failure->message());
    for (const UnprintedEvent& unprinted : run.summary.unprinted)
        remember(unprinted.event.raceNo, unprinted.why);
    return news;
}

void AutoPrinter::markWhatWasDelivered()
{
    if (unmarked_.isEmpty())
        return;
    try {
        unmarked_ = markDeliveredEvents(where_, unmarked_);
    } catch (const Failure&) {
        // Still not writable: the events stay passed over, and the runs say why.
    }
}

void AutoPrinter::waitForFolder(const Failure& why)
{
    unreachableWhy_ = why.message();
    if (!unreachableUntilTold_)
        unreachableUntilTold_ = timing_.clock() + timing_.tellUnreachableAfter;
    state_ = State::Waiting;
    if (!unreachableTold_ && hasPassed(*unreachableUntilTold_)) {
        unreachableTold_ = true;
        Q_EMIT unreachable(unreachableWhy_);
    }
}

void AutoPrinter::folderReached()
{
    const bool wasTold = unreachableTold_;
    unreachableUntilTold_.reset();
    unreachableTold_ = false;
    unreachableWhy_.clear();
    if (wasTold)
        Q_EMIT reachableAgain();
}

void AutoPrinter::armNotifications()
{
    if (!timing_.notifications || stopping_)
        return;
    if (!notifications_) {
        notifications_ = std::make_unique<QFileSystemWatcher>();
        connect(notifications_.get(), &QFileSystemWatcher::fileChanged, this,
                &AutoPrinter::scheduleCheck);
        connect(notifications_.get(), &QFileSystemWatcher::directoryChanged, this,
                &AutoPrinter::scheduleCheck);
    }
    // The folder too: a file saved by writing a new one and renaming it over the old shows
    // only there.
    const QString file = hostPath(where_.dataFile(QString::fromUtf16(kRaceStatusFile)));
    const QString folder = QFileInfo(file).absolutePath();
    if (!notifications_->directories().contains(folder) && QFileInfo(folder).isDir())
        notifications_->addPath(folder);
    if (!notifications_->files().contains(file) && QFileInfo(file).isFile())
        notifications_->addPath(file);
}

} // namespace tarvel
