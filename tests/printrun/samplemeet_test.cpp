// The demo's sample meet holds what the demo promises, and prints.

#include "meetdb/racestatus.h"
#include "printrun/printrun.h"
#include "recordingdevices.h"
#include "recordingobserver.h"
#include "samplemeet.h"
#include "tempmeet.h"

#include <QDir>
#include <QSet>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

TEST(SampleMeetTest, HasEveryKindOfResultAndPrints)
{
    TempMeet meet;
    const sample::SampleMeetSummary written = sample::writeSampleMeet(meet.builder());
    EXPECT_GE(written.races, 60);

    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(meet.builder().workDir()));
    Session session = startSession();
    QDir::setCurrent(previous);
    EXPECT_EQ(session.meet.laneCount, 8);

    // Every race is ready; heats of two and three, every stroke, relays and a custom event.
    const RaceStatus status = loadRaceStatus(session.where);
    QSet<int> heatCounts;
    QSet<qint16> eventCodes;
    QSet<qint32> results;
    for (int raceNo = 1; raceNo <= written.races; ++raceNo) {
        EXPECT_EQ(status.of(raceNo), kRaceReady) << raceNo;
        const RaceRecord race = loadRace(session.where, raceNo);
        heatCounts.insert(race.heatCount);
        eventCodes.insert(race.eventCode);
        for (qint32 result : race.laneResult)
            results.insert(result);
    }
    EXPECT_TRUE(heatCounts.contains(2) && heatCounts.contains(3));
    for (qint16 code : {1, 8, 12, 16, 20, 24, 27, 30})
        EXPECT_TRUE(eventCodes.contains(code)) << code;
    EXPECT_TRUE(results.contains(700002)); // a disqualification
    EXPECT_TRUE(results.contains(666666)); // a participation

    RecordingPrinter printer;
    RecordingObserver observer;
    const RunSummary summary = PrintRun(session, PrintOptions(), printer, nullptr, &observer);
    EXPECT_EQ(summary.racesMarked, written.races);
    EXPECT_GT(summary.certificates, 150);

    // What the certificates show, per event (event and class name, sex).
    QMap<QString, QStringList> ranks;
    QSet<QString> remarks;
    QSet<QString> resultTexts;
    for (const Accepted& accepted : observer.accepted) {
        const QString event = accepted.items[0] + accepted.items[18]
                              + loadRace(session.where, accepted.raceNo).raceSex;
        ranks[event] << accepted.items[2];
        remarks.insert(accepted.items[3]);
        resultTexts.insert(accepted.items[1]);
        EXPECT_FALSE(accepted.items[4].trimmed().isEmpty()); // every leg is named
    }
    EXPECT_TRUE(remarks.contains(u"大会新"_qs));
    EXPECT_TRUE(remarks.contains(u"県　新"_qs));
    EXPECT_TRUE(resultTexts.contains(u"参加"_qs));
    // The tie across heats: two second places from different races of one event.
    const QStringList girls50 = ranks.value(u"50m自由形 11- 12才2"_qs);
    EXPECT_EQ(girls50.count(u"  2位"_qs), 2);
    // The age-grouped medley: each of its three groups ranks from 1.
    EXPECT_EQ(ranks.value(u"400m個人メドレー 11- 18才2"_qs).count(u"  1位"_qs), 3);
    EXPECT_EQ(ranks.value(u"ちびっこリレー８才以下3"_qs).size(), 12);
}

} // namespace
} // namespace tarvel::testing
