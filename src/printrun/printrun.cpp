#include "printrun/printrun.h"

#include "meetdb/meetfiles.h"
#include "meetdb/racestatus.h"
#include "naming/eventtitle.h"
#include "naming/racerecord.h"
#include "platform/numbers.h"
#include "platform/words.h"
#include "printrun/certificatewanted.h"
#include "printrun/eventcertificates.h"
#include "printrun/runlock.h"

#include <chrono>
#include <deque>
#include <map>
#include <optional>

namespace tarvel {

namespace {

enum class RankLimit { Individual, Relay };

/// A rank limit that does not begin with a number would read as 0: nothing printed, every
/// race marked.
void requireRankLimit(const QString& limit, RankLimit which)
{
    if (beginsWithNumber(limit))
        return;
    const QString reason =
        which == RankLimit::Individual
            ? Words::tr("the rank limit for individual events \"%1\" is not a number")
            : Words::tr("the rank limit for relays \"%1\" is not a number");
    throw Failure(Words::tr("starting a print run"), QString(), reason.arg(limit));
}

/// An event composed whose marks wait for its document's delivery.
struct ComposedEvent {
    EventRef event;
    RaceRecord race;
    EventSummary summary;
    /// The races to mark once delivered: its earlier heats of this run and its last heat
    /// (none when preview-only).
    QList<int> races;
    bool delivered = false;
    /// What the observer does with the delivered document before the marks.
    std::shared_future<void> recorded;
};

enum class Settle {
    UnderWay, ///< a few events may stay under way (delivered, recorded) while more are composed
    All,
};

/// Events whose delivery or record may still be going on while the next is composed: enough
/// to keep the scheduler and the ledger busy beside the drawing, few enough that the marks
/// follow closely.
constexpr std::size_t kEventsUnderWay = 8;

/// One walk over the race table.
class RunWalk {
public:
    RunWalk(Session& session, const PrintOptions& options, PrintDevice& printer,
            PreviewSurface* preview, RunObserver* observer)
        : session_(session)
        , options_(options)
        , printer_(printer)
        , preview_(preview)
        , observer_(observer)
    {
    }

    RunSummary walk()
    {
        try {
            status_ = loadRaceStatus(session_.where);
            if (observer_)
                observer_->runStarted(raceCount(session_.where));
            for (int raceNo = 1; raceNo <= kRaceCount; ++raceNo) {
                if (observer_ && observer_->stopRequested()) {
                    // The earlier heats waiting for their events stay as they are: the
                    // next run deals with them.
                    summary_.stoppedBeforeRace = raceNo;
                    pendingMarks_.clear();
                    break;
                }
                if (observer_)
                    observer_->raceReached(raceNo);
                if (!qualifies(status_.of(raceNo), options_.condition)
                    || options_.heldBack.contains(raceNo))
                    continue;
                ++summary_.racesReady;
                requireMeetFiles();
                takeRace(raceNo);
            }
            settle(Settle::All);
            // Earlier heats whose event did not finish in this run: dealt with until their
            // last heat is ready, which prints the whole event. Those of an event held back
            // stay as they are, with it.
            for (const auto& [lastHeat, heats] : pendingMarks_) {
                if (!options_.heldBack.contains(lastHeat))
                    mark(heats);
            }
        } catch (const Failure& failure) {
            if (inHand_)
                summary_.unprinted.append({*inHand_, failure.message()});
            inHand_.reset();
            // What was handed over before still counts: wait for it and mark what arrived.
            settleAfterFailure();
            throw RunStopped(firstFailure_.value_or(failure), summary_);
        }
        return summary_;
    }

private:
    bool marking() const { return options_.previewOnly == PreviewOnly::No; }

    /// The other system's files every certificate needs, checked once before anything is
    /// printed or marked, so that a wrong location is told at once rather than per event.
    void requireMeetFiles()
    {
        if (checkedMeetFiles_)
            return;
        requireMeetFile(session_.where, MeetFile::Races);
        requireMeetFile(session_.where, MeetFile::Master);
        checkedMeetFiles_ = true;
    }

    void takeRace(int raceNo)
    {
        inHand_ = EventRef{raceNo, raceLabel(raceNo)};
        std::optional<RaceRecord> race = readRace(raceNo);
        if (race && race->isLastHeat())
            printEvent(raceNo, *race);
        else if (race)
            deferMark(raceNo, *race);
        inHand_.reset();
    }

    std::optional<RaceRecord> readRace(int raceNo)
    {
        try {
            return loadRace(session_.where, raceNo);
        } catch (const Failure& failure) {
            if (failure.kind() != Failure::Kind::Damaged)
                throw;
            leaveUnprinted(*inHand_, failure);
            return std::nullopt;
        }
    }

    /// An earlier heat is marked with its event, once the event was delivered; its status is
    /// read afresh now, as a mark would.
    void deferMark(int raceNo, const RaceRecord& race)
    {
        if (!marking())
            return;
        pendingMarks_[raceNo - race.heatNo + race.heatCount].append(raceNo);
        status_ = loadRaceStatus(session_.where);
    }

    void printEvent(int raceNo, const RaceRecord& race)
    {
        inHand_->title = titleOf(raceNo, race);
        if (observer_)
            observer_->eventStarted(raceNo, inHand_->title);
        ComposedEvent composed;
        composed.event = *inHand_;
        composed.race = race;
        try {
            composed.summary = PrintEventCertificates(session_, raceNo, race, options_, printer_,
                                                      preview_, observer_);
        } catch (const Failure& failure) {
            if (failure.kind() != Failure::Kind::Damaged)
                throw;
            leaveUnprinted(*inHand_, failure);
            pendingMarks_.erase(raceNo);
            return;
        }
        if (marking()) {
            composed.races = pendingMarks_[raceNo];
            composed.races.append(raceNo);
        }
        pendingMarks_.erase(raceNo);
        composed_.push_back(std::move(composed));
        inHand_.reset(); // handed over: its outcome is the delivery's
        settle(Settle::UnderWay);
    }

    /// Takes the deliveries that finished, oldest first, lets the observer record each, and
    /// marks the events whose record is done too; waits for all (Settle::All) or until no
    /// more than kEventsUnderWay are left. A failed delivery stops the run: the deliveries
    /// begun after it are still waited for and marked when they arrived.
    void settle(Settle mode)
    {
        while (!composed_.empty()) {
            ComposedEvent& oldest = composed_.front();
            const bool wait = mode == Settle::All || composed_.size() > kEventsUnderWay;
            if (oldest.summary.pages > 0 && !oldest.delivered) {
                std::optional<Delivery> delivery;
                try {
                    delivery = printer_.takeDelivery(wait ? DeliveryWait::Yes : DeliveryWait::No);
                } catch (const Failure& failure) {
                    leaveUnprinted(oldest.event, failure);
                    composed_.pop_front();
                    if (!firstFailure_)
                        firstFailure_ = failure;
                    mode = Settle::All;
                    continue;
                }
                if (!delivery)
                    return; // still under way
                oldest.delivered = true;
                if (observer_)
                    oldest.recorded = observer_->documentDelivered(
                        {oldest.event.raceNo, oldest.event.title, *delivery});
            }
            if (oldest.recorded.valid()
                && oldest.recorded.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
                if (!wait)
                    return;
                oldest.recorded.wait();
            }
            count(oldest);
            mark(oldest.races);
            composed_.pop_front();
        }
        if (firstFailure_)
            throw *firstFailure_;
    }

    /// Waits for the deliveries still under way after a failure and marks what arrived;
    /// their failures join the account.
    void settleAfterFailure() noexcept
    {
        try {
            settle(Settle::All);
        } catch (...) {
        }
    }

    /// The event's title for the account; a custom event whose name cannot be read is
    /// still named by its race.
    QString titleOf(int raceNo, const RaceRecord& race) const
    {
        try {
            return eventDocumentTitle(session_, raceNo, race);
        } catch (const Failure&) {
            return raceLabel(raceNo);
        }
    }

    void leaveUnprinted(const EventRef& event, const Failure& failure)
    {
        summary_.unprinted.append({event, failure.message()});
    }

    void count(const ComposedEvent& composed)
    {
        const EventSummary& event = composed.summary;
        summary_.certificates += event.certificates;
        summary_.pages += event.pages;
        if (event.certificates > 0) {
            ++summary_.eventsPrinted;
            return;
        }
        if (event.finishers == 0)
            return;
        if (EventWanted(composed.race, options_))
            summary_.noneWithinLimits.append(composed.event);
        else
            summary_.excluded.append(composed.event);
    }

    void mark(const QList<int>& races)
    {
        for (int raceNo : races) {
            status_ = markRacePrinted(session_.where, raceNo);
            ++summary_.racesMarked;
            if (observer_)
                observer_->raceMarked(raceNo);
        }
    }

    Session& session_;
    const PrintOptions& options_;
    PrintDevice& printer_;
    PreviewSurface* preview_;
    RunObserver* observer_;
    RaceStatus status_;
    RunSummary summary_;
    /// Earlier heats waiting for their event, by the race of the event's last heat.
    std::map<int, QList<int>> pendingMarks_;
    /// Events composed, oldest first, whose delivery has not been taken yet.
    std::deque<ComposedEvent> composed_;
    std::optional<EventRef> inHand_;
    std::optional<Failure> firstFailure_;
    bool checkedMeetFiles_ = false;
};

} // namespace

bool qualifies(char status, PrintCondition condition)
{
    // Statuses compare by character code: under anytime printing "9" and every byte above
    // it count as ready too.
    const auto code = static_cast<unsigned char>(status);
    if (condition == PrintCondition::Simultaneous)
        return code == static_cast<unsigned char>(kRaceReady);
    return code >= static_cast<unsigned char>(kRaceReady);
}

RunSummary PrintRun(Session& session, const PrintOptions& options, PrintDevice& printer,
                    PreviewSurface* preview, RunObserver* observer)
{
    requireRankLimit(options.rankLimitIndividual, RankLimit::Individual);
    requireRankLimit(options.rankLimitRelay, RankLimit::Relay);
    std::optional<RunLock> lock;
    if (options.previewOnly == PreviewOnly::No)
        lock.emplace(RunLock::acquire(session.where));
    return RunWalk(session, options, printer, preview, observer).walk();
}

} // namespace tarvel
