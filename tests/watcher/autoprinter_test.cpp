#include "watcher/autoprinter.h"

#include "eventually.h"

#include "meetdb/racestatus.h"
#include "platform/filelock.h"
#include "tempmeet.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

using namespace std::chrono_literals;

/// The hold-back and told-after delays are measured on this clock: it moves only when the
/// test turns it, so no delay runs out on a slow machine, nor before the test says so.
struct HandClock {
    std::chrono::steady_clock::time_point now{};
    void advance(std::chrono::milliseconds by) { now += by; }
};

/// A watcher over a temporary Race.dat whose runs the test scripts: by default a run marks
/// every ready race that is not held back, as the real run would.
class AutoPrinterTest : public ::testing::Test {
protected:
    void SetUp() override { meet.builder().writeRaceStatus(QByteArray(kRaceCount, '0')); }

    void makeWatcher(AutoPrinter::Timing timing)
    {
        timing.clock = [this] { return clock.now; };
        watcher = std::make_unique<AutoPrinter>(
            meet.locations(),
            [this](const QSet<int>& heldBack, RunObserver& watching) {
                heldBackSeen.append(heldBack);
                changesAtRun = changes;
                return behaviour ? behaviour(heldBack, watching) : printReady(heldBack);
            },
            timing);
        QObject::connect(watcher.get(), &AutoPrinter::runFinished,
                         [this](const RunOutcome&, News told) { news.append(told == News::New); });
        QObject::connect(watcher.get(), &AutoPrinter::changed, [this] { ++changes; });
    }

    /// Waits until the watcher has told `count` more changes: each check that starts no run
    /// tells one, and a check that starts a run has called it before it tells. So after
    /// three, the watcher has had at least one full chance to do what the test says it must
    /// not.
    [[nodiscard]] bool checkedAgain(int count = 3)
    {
        const int until = changes + count;
        return eventually([&] { return changes >= until; });
    }

    RunOutcome printReady(const QSet<int>& heldBack)
    {
        RunOutcome run;
        const RaceStatus status = loadRaceStatus(meet.locations());
        for (int raceNo = 1; raceNo <= kRaceCount; ++raceNo) {
            if (status.of(raceNo) == kRaceReady && !heldBack.contains(raceNo)) {
                markRacePrinted(meet.locations(), raceNo);
                ++run.summary.racesMarked;
            }
        }
        return run;
    }

    void setStatus(int raceNo, char status)
    {
        QFile file(meet.dataPath(u"Race.dat"_qs));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(raceNo - 1);
        file.write(&status, 1);
    }

    char statusOf(int raceNo) { return loadRaceStatus(meet.locations()).of(raceNo); }

    TempMeet meet;
    std::unique_ptr<AutoPrinter> watcher;
    std::function<RunOutcome(const QSet<int>&, RunObserver&)> behaviour;
    QList<QSet<int>> heldBackSeen;
    QList<bool> news;
    HandClock clock;
    int changes = 0;
    /// The changes told before the last run began.
    int changesAtRun = 0;
};

struct WakeCase {
    const char* name;
    AutoPrinter::Timing timing;
};

class AutoPrinterWakeTest : public AutoPrinterTest,
                            public ::testing::WithParamInterface<WakeCase> {};

// A notification alone (the poll far off), or the poll alone, finds a race turned ready;
// the run that printed it is the only one.
TEST_P(AutoPrinterWakeTest, PrintsARaceTurnedReadyOnce)
{
    makeWatcher(GetParam().timing);
    watcher->start();
    ASSERT_TRUE(eventually([&] { return watcher->state() == AutoPrinter::State::Watching; }));
    setStatus(3, kRaceReady);
    ASSERT_TRUE(eventually([&] { return statusOf(3) == kRacePrinted; }));
    // The run's end and the check right after it.
    ASSERT_TRUE(eventually([&] { return changes >= changesAtRun + 2; }));
    EXPECT_EQ(heldBackSeen.size(), 1);
    EXPECT_TRUE(watcher->lastCheck().isValid());
}

INSTANTIATE_TEST_SUITE_P(
    Wakes, AutoPrinterWakeTest,
    ::testing::Values(WakeCase{"Notification", {.interval = 60s, .notifications = true}},
                      WakeCase{"PollAlone", {.interval = 50ms, .notifications = false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AutoPrinterTest, ARaceTurnedReadyDuringARunIsPrintedRightAfterIt)
{
    makeWatcher({.interval = 60s, .notifications = false});
    setStatus(1, kRaceReady);
    behaviour = [this](const QSet<int>& heldBack, RunObserver&) {
        RunOutcome run = printReady(heldBack);
        if (heldBackSeen.size() == 1)
            setStatus(2, kRaceReady); // the meet system, while the walk is past race 2
        return run;
    };
    watcher->start();
    ASSERT_TRUE(eventually([&] { return statusOf(2) == kRacePrinted; }));
    EXPECT_EQ(heldBackSeen.size(), 2);
}

// What a run leaves ready (a damaged event) waits its full delay, and its trouble is news
// once; a race turning ready meanwhile is printed without it.
TEST_F(AutoPrinterTest, WhatARunLeftIsHeldBackAndToldOnce)
{
    const AutoPrinter::Timing timing{.interval = 20ms, .notifications = false};
    makeWatcher(timing);
    setStatus(5, kRaceReady);
    behaviour = [this](const QSet<int>& heldBack, RunObserver&) {
        RunOutcome run = printReady(heldBack | QSet<int>{5});
        if (!heldBack.contains(5))
            run.summary.unprinted.append({{5, u"R005"_qs}, u"race record damaged"_qs});
        return run;
    };
    watcher->start();
    ASSERT_TRUE(eventually([&] { return news.size() == 1; }));
    setStatus(6, kRaceReady);
    ASSERT_TRUE(eventually([&] { return statusOf(6) == kRacePrinted; }));
    EXPECT_EQ(heldBackSeen.last(), QSet<int>{5});
    EXPECT_EQ(watcher->heldBack(), QSet<int>{5});

    clock.advance(timing.retryAfter - 1ms);
    ASSERT_TRUE(checkedAgain());
    EXPECT_EQ(news.size(), 2) << "tried again before its delay was over";
    clock.advance(1ms);
    ASSERT_TRUE(eventually([&] { return news.size() == 3; }));
    EXPECT_TRUE(heldBackSeen.last().isEmpty()) << "tried again once its delay was over";
    EXPECT_EQ(news, (QList<bool>{true, false, false}));
    EXPECT_EQ(statusOf(5), kRaceReady);
}

// An event delivered whose marks could not be written is never printed again: it is passed
// over, whatever the retry delay, until the watcher has written its marks.
TEST_F(AutoPrinterTest, ADeliveredEventLeftUnmarkedIsMarkedLaterAndNeverPrintedAgain)
{
    const AutoPrinter::Timing timing{.interval = 20ms, .notifications = false};
    makeWatcher(timing);
    setStatus(7, kRaceReady);
    int deliveries = 0;
    behaviour = [&](const QSet<int>& heldBack, RunObserver&) {
        RunOutcome run;
        if (!heldBack.contains(7)) {
            ++deliveries;
            run.summary.deliveredUnmarked.append(UnmarkedEvent{{7, u"R007"_qs}, {7}});
            run.failure = Failure(u"marking"_qs, u"Race.dat"_qs, u"Read-only file system"_qs);
        }
        return run;
    };
    // Another desk holds the meet: the marks must wait for it too.
    std::optional<FileLock> other =
        FileLock::tryAcquire(meet.dataPath(u"tarvel.lock"_qs), u"test"_qs);
    ASSERT_TRUE(other);
    watcher->start();
    ASSERT_TRUE(eventually([&] { return deliveries == 1 && !news.isEmpty(); }));
    clock.advance(timing.retryAfter * 10);
    ASSERT_TRUE(checkedAgain());
    EXPECT_EQ(deliveries, 1);
    EXPECT_EQ(statusOf(7), kRaceReady);
    EXPECT_TRUE(watcher->heldBack().contains(7));

    other.reset();
    ASSERT_TRUE(eventually([&] { return statusOf(7) == kRacePrinted; }));
    ASSERT_TRUE(checkedAgain());
    EXPECT_EQ(deliveries, 1);
    EXPECT_TRUE(watcher->unmarkedEvents().isEmpty());
}

// A meet held by another desk is tried again after the short delay, not the long one, and
// without trouble told.
TEST_F(AutoPrinterTest, AMeetHeldByAnotherRunIsTriedAgainSoonWithoutTrouble)
{
    const AutoPrinter::Timing timing{.interval = 20ms, .notifications = false};
    ASSERT_LT(timing.retryBusyAfter, timing.retryAfter);
    makeWatcher(timing);
    setStatus(4, kRaceReady);
    behaviour = [this](const QSet<int>& heldBack, RunObserver&) {
        if (heldBackSeen.size() < 3) {
            RunOutcome busy;
            busy.failure = Failure(u"starting a print run"_qs, u"tarvel.lock"_qs,
                                   u"held by desk 2"_qs, Failure::Kind::Busy);
            return busy;
        }
        return printReady(heldBack);
    };
    watcher->start();
    for (qsizetype attempt = 1; attempt < 3; ++attempt) {
        ASSERT_TRUE(eventually([&] { return heldBackSeen.size() == attempt; }));
        clock.advance(timing.retryBusyAfter - 1ms);
        ASSERT_TRUE(checkedAgain());
        EXPECT_EQ(heldBackSeen.size(), attempt) << "tried again before its delay";
        clock.advance(1ms);
    }
    ASSERT_TRUE(eventually([&] { return statusOf(4) == kRacePrinted; }));
    EXPECT_EQ(news, (QList<bool>{false, false, false}));
}

// Race.dat gone (a share dropped) is waited for: told once when it lasts, once when back,
// and what turned ready meanwhile is printed then.
TEST_F(AutoPrinterTest, AnUnreachableRaceTableIsWaitedForAndToldOnce)
{
    const AutoPrinter::Timing timing{.interval = 20ms};
    makeWatcher(timing);
    int toldGone = 0;
    int toldBack = 0;
    QObject::connect(watcher.get(), &AutoPrinter::unreachable, [&] { ++toldGone; });
    QObject::connect(watcher.get(), &AutoPrinter::reachableAgain, [&] { ++toldBack; });
    watcher->start();
    const QString path = meet.dataPath(u"Race.dat"_qs);
    const QByteArray table = readFileBytes(path);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(eventually([&] { return watcher->state() == AutoPrinter::State::Waiting; }));
    clock.advance(timing.tellUnreachableAfter - 1ms);
    ASSERT_TRUE(checkedAgain());
    EXPECT_EQ(toldGone, 0) << "a short drop is not told";
    clock.advance(1ms);
    ASSERT_TRUE(eventually([&] { return toldGone == 1; }));
    ASSERT_TRUE(checkedAgain());
    EXPECT_EQ(toldGone, 1);
    EXPECT_TRUE(heldBackSeen.isEmpty());

    QByteArray ready = table;
    ready[6] = kRaceReady;
    writeFileBytes(path, ready);
    ASSERT_TRUE(eventually([&] { return statusOf(7) == kRacePrinted; }));
    EXPECT_EQ(toldBack, 1);
    EXPECT_EQ(toldGone, 1);
    EXPECT_NE(watcher->state(), AutoPrinter::State::Waiting);
}

TEST_F(AutoPrinterTest, StoppingDuringARunEndsItAfterTheEventInHandAndStartsNoOther)
{
    makeWatcher({.interval = 20ms});
    setStatus(1, kRaceReady);
    setStatus(9, kRaceReady);
    bool stopSeenByRun = false;
    behaviour = [&](const QSet<int>&, RunObserver& watching) {
        watching.eventStarted(1, u"R001"_qs);
        EXPECT_EQ(watcher->eventInHand(), 1);
        watcher->stop(); // the switch turned off while the run processes events
        stopSeenByRun = watching.stopRequested();
        return RunOutcome{};
    };
    bool stopped = false;
    QObject::connect(watcher.get(), &AutoPrinter::stopped, [&] { stopped = true; });
    watcher->start();
    ASSERT_TRUE(eventually([&] { return stopped; }));
    EXPECT_TRUE(stopSeenByRun);
    EXPECT_EQ(watcher->state(), AutoPrinter::State::Off);
    // Stopped, nothing is left to fire: whatever was queued runs now.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(heldBackSeen.size(), 1);
}

} // namespace
} // namespace tarvel::testing
