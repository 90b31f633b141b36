#include "printrun/runwalk.h"

#include "meetdb/meetfiles.h"
#include "meetdb/racestatus.h"
#include "naming/eventtitle.h"
#include "naming/racerecord.h"
#include "platform/words.h"
#include "printrun/certificatewanted.h"
#include "printrun/eventcertificates.h"
#include "printrun/heatfields.h"
#include "printrun/runcontext.h"

#include <QSet>

#include <chrono>
#include <map>
#include <optional>

namespace tarvel {

namespace {

/// An event whose document was handed to the printer; its marks wait for the delivery.
struct EventInFlight {
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

/// One walk over the race table.
class RunWalk {
public:
    explicit RunWalk(const RunContext& run) : run_(run), pageHook_(*this) {}

    RunSummary walk()
    {
        try {
            status_ = loadRaceStatus(run_.session.where);
            if (run_.observer)
                run_.observer->runStarted(raceCount(run_.session.where));
            for (int raceNo = 1; raceNo <= kRaceCount; ++raceNo) {
                if (isReady(raceNo))
                    readyAtStart_.insert(raceNo);
            }
            summary_.racesReady = int(readyAtStart_.size());
            if (!readyAtStart_.isEmpty())
                requireMeetFiles();
            for (int raceNo = 1; raceNo <= kRaceCount; ++raceNo) {
                if (run_.observer && run_.observer->stopRequested()) {
                    // The earlier heats waiting for their events stay as they are: the
                    // next run deals with them.
                    summary_.stoppedBeforeRace = raceNo;
                    pendingMarks_.clear();
                    break;
                }
                if (run_.observer)
                    run_.observer->raceReached(raceNo);
                advance(DeliveryWait::No);
                if (!isReady(raceNo))
                    continue;
                if (!readyAtStart_.contains(raceNo)) {
                    ++summary_.racesReady; // turned ready while the run went
                    requireMeetFiles();
                }
                takeRace(raceNo);
            }
            advance(DeliveryWait::Yes);
            markEarlierHeats();
        } catch (const Failure& failure) {
            if (inHand_)
                summary_.unprinted.append({*inHand_, failure.message()});
            inHand_.reset();
            // What was handed over before still counts: wait for it and mark it if it arrived.
            finishAfterFailure();
            throw RunStopped(failure, summary_);
        }
        return summary_;
    }

private:
    /// Passes the composer's calls on, and after each certificate moves the event in flight
    /// on, so that it is marked as soon as its delivery and record are done.
    class PageHook final : public RunObserver {
    public:
        explicit PageHook(RunWalk& walk) : walk_(walk) {}
        void certificateAccepted(const AcceptedCertificate& certificate) override
        {
            if (walk_.run_.observer)
                walk_.run_.observer->certificateAccepted(certificate);
            walk_.advance(DeliveryWait::No);
        }

    private:
        RunWalk& walk_;
    };

    bool marking() const { return run_.options.previewOnly == PreviewOnly::No; }

    bool isReady(int raceNo) const
    {
        return qualifies(status_.of(raceNo), run_.options.condition)
               && !run_.options.heldBack.contains(raceNo);
    }

    /// The other system's files every certificate needs, and Race.dat's writability, checked
    /// once before anything is printed or marked, so that a wrong location or a table that
    /// cannot take marks is told at once rather than after events were printed.
    void requireMeetFiles()
    {
        if (checkedMeetFiles_)
            return;
        requireMeetFile(run_.session.where, MeetFile::Races);
        requireMeetFile(run_.session.where, MeetFile::Master);
        if (marking())
            requireRaceStatusWritable(run_.session.where);
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
            RaceRecord race = loadRace(run_.session.where, raceNo);
            requireSoundHeats(run_.session.where, raceNo, race);
            return race;
        } catch (const Failure& failure) {
            if (failure.kind() != Failure::Kind::Damaged)
                throw;
            leaveUnprinted(*inHand_, failure);
            // The earlier heats waiting for this race are of the event just reported.
            pendingMarks_.erase(raceNo);
            return std::nullopt;
        }
    }

    /// An earlier heat is marked with its event, once the event was delivered; its status is
    /// read afresh now, as a mark would.
    void deferMark(int raceNo, const RaceRecord& race)
    {
        if (!marking())
            return;
        pendingMarks_[lastHeatOf(raceNo, race)].append(raceNo);
        status_ = loadRaceStatus(run_.session.where);
    }

    void printEvent(int raceNo, const RaceRecord& race)
    {
        inHand_->title = titleOf(raceNo, race);
        if (run_.observer)
            run_.observer->eventStarted(raceNo, inHand_->title);
        EventInFlight composed;
        composed.event = *inHand_;
        composed.race = race;
        try {
            composed.summary = ComposeEventCertificates(
                run_.session, raceNo, race, run_.options, run_.printer, run_.preview,
                run_.observer || marking() ? &pageHook_ : nullptr);
        } catch (const Failure& failure) {
            if (failure.kind() != Failure::Kind::Damaged)
                throw;
            leaveUnprinted(*inHand_, failure);
            pendingMarks_.erase(raceNo);
            return;
        }
        if (marking())
            composed.races = heatsToMark(raceNo, race);
        pendingMarks_.erase(raceNo);
        // One document under way at a time: the one before is delivered and marked first.
        try {
            advance(DeliveryWait::Yes);
        } catch (...) {
            run_.printer.abortDocument();
            throw;
        }
        if (composed.summary.pages > 0) {
            run_.printer.beginDelivery();
            inFlight_ = std::move(composed);
            inHand_.reset();           // handed over: its outcome is the delivery's
            advance(DeliveryWait::No); // a file written at once is marked at once
            return;
        }
        run_.printer.endDocument(); // nothing drawn: nothing to send, nothing to wait for
        inHand_.reset();
        count(composed);
        mark(composed);
    }

    /// The races the event marks once delivered: its last heat first, so that an event
    /// whose marks stop part-way is never printed again (its last heat is what prints it);
    /// an earlier heat left over is marked by the next run as one whose last heat did not
    /// come up. Earlier heats whose records disagree with the last heat are left out and
    /// reported.
    QList<int> heatsToMark(int raceNo, const RaceRecord& race)
    {
        QList<int> races{raceNo};
        for (int heat : pendingMarks_[raceNo]) {
            try {
                requireHeatOfEvent(run_.session.where, heat, raceNo, race);
                races.append(heat);
            } catch (const Failure& failure) {
                leaveUnprinted({heat, raceLabel(heat)}, failure);
            }
        }
        return races;
    }

    /// Earlier heats whose event did not finish in this run: dealt with until their last
    /// heat is ready, which prints the whole event; marked when that heat's record agrees
    /// that they are its. Those of an event held back stay as they are, with it.
    void markEarlierHeats()
    {
        for (const auto& [lastHeat, heats] : pendingMarks_) {
            if (run_.options.heldBack.contains(lastHeat))
                continue;
            EventInFlight earlier;
            try {
                const RaceRecord last = loadRace(run_.session.where, lastHeat);
                requireSoundHeats(run_.session.where, lastHeat, last);
                for (int heat : heats) {
                    requireHeatOfEvent(run_.session.where, heat, lastHeat, last);
                    earlier.races.append(heat);
                }
            } catch (const Failure& failure) {
                if (failure.kind() != Failure::Kind::Damaged)
                    throw;
                for (int heat : heats) {
                    if (!earlier.races.contains(heat))
                        leaveUnprinted({heat, raceLabel(heat)}, failure);
                }
            }
            earlier.event = {lastHeat, raceLabel(lastHeat)};
            mark(earlier);
        }
    }

    /// Moves the event in flight on: takes its delivery, hands it to the observer, waits for
    /// the observer's record and marks its races. With DeliveryWait::No it stops at the
    /// first step still under way. A refused delivery or a failed mark ends the event in
    /// flight and goes on as tarvel::Failure.
    void advance(DeliveryWait wait)
    {
        if (!inFlight_ || advancing_)
            return;
        advancing_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{advancing_};
        EventInFlight& event = *inFlight_;
        if (!event.delivered) {
            std::optional<Delivery> delivery;
            try {
                delivery = run_.printer.takeDelivery(wait);
            } catch (const Failure& failure) {
                leaveUnprinted(event.event, failure);
                inFlight_.reset();
                throw;
            }
            if (!delivery)
                return; // still under way
            event.delivered = true;
            count(event);
            if (run_.observer)
                event.recorded = run_.observer->documentDelivered(
                    {event.event.raceNo, event.event.title, *delivery});
        }
        if (event.recorded.valid()
            && event.recorded.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            if (wait == DeliveryWait::No)
                return;
            event.recorded.wait();
        }
        const EventInFlight delivered = std::move(event);
        inFlight_.reset();
        mark(delivered);
    }

    /// After a failure: waits for the event in flight, and marks it if it arrived.
    void finishAfterFailure() noexcept
    {
        try {
            advance(DeliveryWait::Yes);
        } catch (...) {
            // told by the account: unprinted, or delivered but unmarked
        }
    }

    /// The event's title for the account; a custom event whose name cannot be read is
    /// still named by its race.
    QString titleOf(int raceNo, const RaceRecord& race) const
    {
        try {
            return eventDocumentTitle(run_.session, raceNo, race);
        } catch (const Failure&) {
            return raceLabel(raceNo);
        }
    }

    void leaveUnprinted(const EventRef& event, const Failure& failure)
    {
        summary_.unprinted.append({event, failure.message()});
    }

    void count(const EventInFlight& composed)
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
        if (EventWanted(composed.race, run_.options))
            summary_.noneWithinLimits.append(composed.event);
        else
            summary_.excluded.append(composed.event);
    }

    /// Marks the event's races in their order; a mark that fails leaves the rest listed as
    /// delivered but unmarked.
    void mark(const EventInFlight& event)
    {
        for (qsizetype i = 0; i < event.races.size(); ++i) {
            try {
                status_ = markRacePrinted(run_.session.where, event.races[i]);
            } catch (const Failure&) {
                if (event.delivered)
                    summary_.deliveredUnmarked.append({event.event, event.races.mid(i)});
                throw;
            }
            ++summary_.racesMarked;
            if (run_.observer)
                run_.observer->raceMarked(event.races[i]);
        }
    }

    RunContext run_;
    RaceStatus status_;
    RunSummary summary_;
    /// Earlier heats waiting for their event, by the race of the event's last heat.
    std::map<int, QList<int>> pendingMarks_;
    PageHook pageHook_;
    /// Races ready when the run began.
    QSet<int> readyAtStart_;
    /// The event whose document was handed over and whose marks are not written yet.
    std::optional<EventInFlight> inFlight_;
    bool advancing_ = false;
    std::optional<EventRef> inHand_;
    bool checkedMeetFiles_ = false;
};

} // namespace

RunSummary walkRaceTable(Session& session, const PrintOptions& options, PrintDevice& printer,
                         PreviewSurface* preview, RunObserver* observer)
{
    return RunWalk({session, options, printer, preview, observer}).walk();
}

} // namespace tarvel
