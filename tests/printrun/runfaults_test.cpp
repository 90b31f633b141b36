// Faults of the meet's own files met by a print run: a Race.dat that stops taking marks,
// heat fields that contradict each other.
#include "meetdb/racestatus.h"
#include "meetfixture.h"
#include "platform/failure.h"
#include "printrun/printrun.h"
#include "printrun/runaccount.h"
#include "recordingdevices.h"
#include "recordingobserver.h"

#include <QFile>

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

/// Counts the documents handed to the observer, and moves Race.dat away once race
/// `awayAfterMark` is marked, as a share gone read-only would stop the next mark.
class Delivering : public RecordingObserver {
public:
    std::shared_future<void> documentDelivered(const DeliveredDocument& document) override
    {
        delivered.append(document.raceNo);
        return {};
    }
    void raceMarked(int raceNo) override
    {
        RecordingObserver::raceMarked(raceNo);
        if (raceNo == awayAfterMark)
            QFile::rename(raceDat, raceDat + u".away"_qs);
    }
    QList<int> delivered;
    int awayAfterMark = 0;
    QString raceDat;
};

TEST(MarkFailureTest, AFailedMarkStopsTheRunAndNamesWhatWasDeliveredUnmarked)
{
    // Races 1-2: one event; races 3 and 4: an event each. Race.dat goes away after the
    // event's last heat was marked (it is marked first), so its first heat cannot be.
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    for (int n = 1; n <= 4; ++n)
        builder.writeSwimmer(n, swimmer(u"5000%1"_qs.arg(n), u"選手"_qs));
    builder.writeRace(1, heat(1, 2, 3, {{1, 5000}}));
    builder.writeRace(2, heat(2, 2, 3, {{2, 5100}}));
    builder.writeRace(3, heat(1, 1, 4, {{3, 5000}}));
    builder.writeRace(4, heat(1, 1, 5, {{4, 5000}}));
    builder.writeRaceStatus({1, 2, 3, 4}, '8');
    const QString raceDat = meet.dataPath(u"Race.dat"_qs);
    Delivering observer;
    observer.awayAfterMark = 2;
    observer.raceDat = raceDat;
    Session session = sessionFor(meet, meetWith(4));
    RecordingPrinter printer;

    RunSummary summary;
    try {
        PrintRun(session, PrintOptions(), printer, nullptr, &observer);
        FAIL() << "a failed mark did not stop the run";
    } catch (const RunStopped& stopped) {
        EXPECT_TRUE(stopped.message().contains(u"Race.dat"_qs)) << qPrintable(stopped.message());
        summary = stopped.summary();
    }
    // Delivered once, counted once, told once; nothing after it printed.
    EXPECT_EQ(observer.delivered, QList<int>{2});
    EXPECT_EQ(printer.documents.size(), 1);
    EXPECT_EQ(summary.racesReady, 4);
    EXPECT_EQ(summary.eventsPrinted, 1);
    EXPECT_EQ(summary.certificates, 2);
    EXPECT_EQ(summary.racesMarked, 1);
    EXPECT_EQ(observer.marked, QList<int>{2});
    ASSERT_EQ(summary.deliveredUnmarked.size(), 1);
    EXPECT_EQ(summary.deliveredUnmarked[0].event.raceNo, 2);
    EXPECT_EQ(summary.deliveredUnmarked[0].races, QList<int>{1});
    EXPECT_TRUE(summary.unprinted.isEmpty());
    const QString account = describeRun(summary, PreviewOnly::No).join(u'\n');
    EXPECT_TRUE(account.contains(u"R002 男子 100m自由形 決勝: race(s) 1"_qs))
        << qPrintable(account);
    EXPECT_EQ(readFileBytes(raceDat + u".away"_qs).left(4), QByteArray("8988"));

    // Once Race.dat takes marks again, the delivered event is marked without printing; a
    // race the other system changed meanwhile is left as it is.
    ASSERT_TRUE(QFile::rename(raceDat + u".away"_qs, raceDat));
    EXPECT_TRUE(markDeliveredEvents(session.where, summary.deliveredUnmarked).isEmpty());
    EXPECT_EQ(readFileBytes(raceDat).left(4), QByteArray("9988"));
    QByteArray changed = readFileBytes(raceDat);
    changed[0] = '5';
    writeFileBytes(raceDat, changed);
    markDeliveredEvents(session.where, summary.deliveredUnmarked);
    EXPECT_EQ(readFileBytes(raceDat).left(4), QByteArray("5988"));
}

TEST(MarkFailureTest, AnAccountCountsTheRacesReadyAtTheStart)
{
    // The run stops at the first event; the account still counts every race that was ready.
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    builder.writeSwimmer(1, swimmer(u"1"_qs, u"一"_qs));
    for (int raceNo = 1; raceNo <= 6; ++raceNo)
        builder.writeRace(raceNo, heat(1, 1, 3, {{1, 5000}}));
    builder.writeRaceStatus({1, 2, 3, 4, 5, 6}, '8');
    Session session = sessionFor(meet, meetWith(4));
    RecordingPrinter printer;
    printer.refuse = [](const RecordedDocument&) { return true; };
    try {
        PrintRun(session, PrintOptions(), printer, nullptr, nullptr);
        FAIL() << "a refused document did not stop the run";
    } catch (const RunStopped& stopped) {
        EXPECT_EQ(stopped.summary().racesReady, 6);
    }
}

struct DamagedHeats {
    const char* name;
    /// The heat fields of race 12; races 10 and 11 are heats 1 and 2 of 3.
    int heatNo;
    int heatCount;
    /// Race.dat for races 10 to 12 and 20 afterwards.
    QByteArray statuses;
    /// Certificates printed: race 20's, and the event's when any of it is sound.
    int certificates;
};

class DamagedHeatsTest : public ::testing::TestWithParam<DamagedHeats> {};

TEST_P(DamagedHeatsTest, NoRaceOfTheEventIsMarkedWithoutItsCertificates)
{
    const DamagedHeats& row = GetParam();
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    for (int n = 1; n <= 4; ++n)
        builder.writeSwimmer(n, swimmer(u"6000%1"_qs.arg(n), u"選手"_qs));
    builder.writeRace(10, heat(1, 3, 3, {{1, 5000}}));
    builder.writeRace(11, heat(2, 3, 3, {{2, 5100}}));
    builder.writeRace(12, heat(row.heatNo, row.heatCount, 3, {{3, 5200}}));
    builder.writeRace(20, heat(1, 1, 4, {{4, 5000}}));
    builder.writeRaceStatus({10, 11, 12, 20}, '8');
    Session session = sessionFor(meet, meetWith(4));
    RecordingPrinter printer;

    const RunSummary summary = PrintRun(session, PrintOptions(), printer, nullptr, nullptr);
    const QByteArray after = readFileBytes(meet.dataPath(u"Race.dat"_qs));
    EXPECT_EQ(after.mid(9, 3) + after.mid(19, 1), row.statuses);
    EXPECT_EQ(summary.certificates, row.certificates);
    ASSERT_FALSE(summary.unprinted.isEmpty());
    EXPECT_TRUE(summary.unprinted[0].why.contains(u"taikai.dat"_qs))
        << qPrintable(summary.unprinted[0].why);
    EXPECT_TRUE(hasUnprintedEvents(summary));
}

const DamagedHeats kDamagedHeats[] = {
    {"heat 4 of 3", 4, 3, "8889", 1},
    {"heat 0 of 3", 0, 3, "8889", 1},
    {"heat 3 of 0", 3, 0, "8889", 1},
    {"heat -1 of -1", -1, -1, "8889", 1},
    {"an event before race 1", 13, 13, "8889", 1},
    // A sound last heat whose event begins at race 11: race 10 claims to belong to it but
    // is not in its document.
    {"a first heat the last heat disowns", 2, 2, "8999", 3},
};

INSTANTIATE_TEST_SUITE_P(HeatFields, DamagedHeatsTest, ::testing::ValuesIn(kDamagedHeats),
                         [](const ::testing::TestParamInfo<DamagedHeats>& info) {
                             std::string name = info.param.name;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return name;
                         });

// Random heat fields over a meet where every race is ready: whatever they say, a race is
// marked only when it lies within an event printed in the run (its last heat itself, or a
// heat of the range that last heat's record names).
TEST(RandomHeatsTest, NoRaceIsMarkedOutsideAnEventPrinted)
{
    constexpr int kRaces = 30;
    quint32 seed = 19;
    auto random = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % quint32(range));
    };
    struct Started : RecordingObserver {
        void eventStarted(int raceNo, const QString&) override { events.append(raceNo); }
        QList<int> events;
    };
    for (int round = 0; round < 60; ++round) {
        TempMeet meet;
        sample::MeetBuilder& builder = meet.builder();
        builder.writeSwimmer(1, swimmer(u"1"_qs, u"一"_qs));
        std::map<int, RaceRecord> races;
        for (int raceNo = 1; raceNo <= kRaces; ++raceNo) {
            const int count = random(5) - 1;
            const int no = random(6) - 1;
            races[raceNo] = heat(no, count, 3, {{1, 5000 + raceNo}});
            builder.writeRace(raceNo, races[raceNo]);
        }
        QList<int> all;
        for (int raceNo = 1; raceNo <= kRaces + 2; ++raceNo) // two past the end of taikai.dat
            all.append(raceNo);
        builder.writeRaceStatus(all, '8');
        Session session = sessionFor(meet, meetWith(4));
        RecordingPrinter printer;
        Started observer;

        PrintRun(session, PrintOptions(), printer, nullptr, &observer);
        for (int raceNo : observer.marked) {
            const bool inEvent =
                std::any_of(observer.events.cbegin(), observer.events.cend(), [&](int last) {
                    const RaceRecord& record = races[last];
                    return raceNo == last || (raceNo >= last - record.heatNo + 1 && raceNo <= last);
                });
            EXPECT_TRUE(inEvent) << "round " << round << ": race " << raceNo << " marked";
        }
    }
}

} // namespace
} // namespace tarvel::testing
