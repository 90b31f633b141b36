#include "printrun/eventcertificates.h"

#include "meetfixture.h"
#include "platform/failure.h"
#include "recordingdevices.h"
#include "recordingobserver.h"

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

/// "R/K" per certificate, "R/K/L" for a relay leg.
QStringList places(const RecordingObserver& observer)
{
    QStringList list;
    for (const Accepted& accepted : observer.accepted) {
        QString place = u"%1/%2"_qs.arg(accepted.raceNo).arg(accepted.lane);
        if (accepted.leg)
            place += u"/%1"_qs.arg(*accepted.leg);
        list << place;
    }
    return list;
}

QStringList column(const RecordingObserver& observer, int item)
{
    QStringList list;
    for (const Accepted& accepted : observer.accepted)
        list << accepted.items[item];
    return list;
}

struct EventRun {
    RecordingPrinter printer;
    RecordingObserver observer;
    EventSummary summary;
};

/// Runs the event whose last heat is `raceNo`, as the print run would.
void runEvent(EventRun& run, Session& session, int raceNo, const PrintOptions& options,
              PreviewSurface* preview = nullptr)
{
    const RaceRecord race = loadRace(session.where, raceNo);
    run.summary =
        PrintEventCertificates(session, raceNo, race, options, run.printer, preview, &run.observer);
}

TEST(EventCertificatesTest, TiesAcrossHeatsShareARankAndTheLowerRaceComesFirst)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    for (int n = 1; n <= 5; ++n)
        builder.writeSwimmer(n, swimmer(u"1000%1"_qs.arg(n), u"選手%1"_qs.arg(n)));
    builder.writeRace(11, heat(1, 2, 3, {{1, 10000}, {2, 5900}, {0, 100}}));
    builder.writeRace(12, heat(2, 2, 3, {{3, 5900}, {4, 0}, {0, 0}, {5, 6000}}));
    Session session = sessionFor(meet, meetWith(4));

    EventRun run;
    runEvent(run, session, 12, everything());

    // Lanes without an entry or without a result take no rank.
    EXPECT_EQ(places(run.observer), (QStringList{u"11/1"_qs, u"12/0"_qs, u"12/3"_qs, u"11/0"_qs}));
    EXPECT_EQ(column(run.observer, 2),
              (QStringList{u"  1位"_qs, u"  1位"_qs, u"  3位"_qs, u"  4位"_qs}));
    EXPECT_EQ(run.summary.finishers, 4);
    EXPECT_EQ(run.summary.certificates, 4);
    EXPECT_EQ(run.summary.pages, 4);
    ASSERT_EQ(run.printer.documents.size(), 1);
    EXPECT_EQ(run.printer.documents[0].name, u"R012 男子 100m自由形 決勝"_qs);
    EXPECT_EQ(run.printer.documents[0].pages.size(), 4);
    EXPECT_EQ(run.printer.documentEnds, 1);
}

TEST(EventCertificatesTest, ParticipationAndDisqualification)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    for (int n = 1; n <= 7; ++n)
        builder.writeSwimmer(n, swimmer(u"2000%1"_qs.arg(n), u"選手%1"_qs.arg(n)));
    builder.writeRace(5, heat(1, 1, 3,
                              {{1, 666666},
                               {2, 700001},
                               {3, 5000},
                               {4, 666666},
                               {5, 888888},
                               {6, 999999},
                               {7, 700007}}));
    Session session = sessionFor(meet, meetWith(8));
    PrintOptions options = everything();
    options.rankLimitIndividual = u"2"_qs;

    EventRun run;
    runEvent(run, session, 5, options);

    // Participants share the rank after the times and print no rank; disqualified never print.
    EXPECT_EQ(places(run.observer), (QStringList{u"5/2"_qs, u"5/0"_qs, u"5/3"_qs}));
    EXPECT_EQ(column(run.observer, 1), (QStringList{u"   50.00"_qs, u"参加"_qs, u"参加"_qs}));
    EXPECT_EQ(column(run.observer, 2), (QStringList{u"  1位"_qs, u"   "_qs, u"   "_qs}));

    options.rankLimitIndividual = u"1"_qs;
    EventRun limited;
    runEvent(limited, session, 5, options);
    EXPECT_EQ(places(limited.observer), QStringList{u"5/2"_qs});
}

TEST(EventCertificatesTest, LanesAndHeatsStayWithinTheRecordAndTheRaceTable)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    builder.writeSwimmer(1, swimmer(u"30001"_qs, u"外側"_qs));
    builder.writeSwimmer(2, swimmer(u"30002"_qs, u"前組"_qs));
    RaceRecord wide = heat(1, 1, 3, {});
    wide.laneEntryNo[11] = 1;
    wide.laneResult[11] = 5000;
    builder.writeRace(7, wide);
    // A damaged record claims to be heat 5 of 5 at race 2: its heats would start at race -2.
    builder.writeRace(1, heat(1, 1, 3, {{2, 6000}}));
    builder.writeRace(2, heat(5, 5, 3, {}));

    Session session = sessionFor(meet, meetWith(40));
    EventRun run;
    runEvent(run, session, 7, everything());
    EXPECT_EQ(places(run.observer), QStringList{u"7/11"_qs});

    EventRun damaged;
    runEvent(damaged, session, 2, everything());
    EXPECT_EQ(places(damaged.observer), QStringList{u"1/0"_qs});

    session.meet.laneCount = -3;
    EventRun none;
    runEvent(none, session, 7, everything());
    EXPECT_TRUE(none.observer.accepted.isEmpty());
    EXPECT_EQ(none.printer.documentEnds, 1);
}

class RelayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sample::MeetBuilder& builder = meet.builder();
        builder.writeSwimmer(1, swimmer(u"12000000000001"_qs, u"泳者一"_qs));
        builder.writeSwimmer(2, swimmer(u"21000000000002"_qs, u"泳者二"_qs));
        builder.writeSwimmer(100,
                             sample::MeetBuilder::swimmer(u"99000"_qs, u"Ａチーム"_qs, u"大阪府"_qs,
                                                          u"リレーＳＣ"_qs, u"31"_qs, 16, u"1"_qs));
        builder.writeSwimmer(101,
                             sample::MeetBuilder::swimmer(u"99001"_qs, u"Ｂチーム"_qs, u"京都府"_qs,
                                                          u"京ＳＣ"_qs, u"31"_qs, 16, u"1"_qs));
        RaceRecord relay = heat(1, 1, 26, {{100, 20000}, {101, 21000}});
        relay.relayIndex = 3;
        builder.writeRace(20, relay);
        std::array<std::array<qint16, 12>, 4> legs{};
        legs[0][0] = 1; // leg a of lane k: legs[a][k]
        legs[1][0] = 2;
        builder.writeRelay(3, legs);
        // Past the end of relay.dat.
        relay.relayIndex = 500;
        builder.writeRace(21, relay);
    }

    TempMeet meet;
};

TEST_F(RelayTest, FourCertificatesPerTeamWithTheLegsNamed)
{
    Session session = sessionFor(meet, meetWith(4));
    EventRun run;
    runEvent(run, session, 20, everything());

    EXPECT_EQ(places(run.observer),
              (QStringList{u"20/0/0"_qs, u"20/0/1"_qs, u"20/0/2"_qs, u"20/0/3"_qs, u"20/1/0"_qs,
                           u"20/1/1"_qs, u"20/1/2"_qs, u"20/1/3"_qs}));
    EXPECT_EQ(column(run.observer, 4).mid(0, 4),
              (QStringList{u"泳者一  "_qs, u"泳者二  "_qs, QString(), QString()}));
    EXPECT_EQ(column(run.observer, 9).mid(0, 4),
              (QStringList{u"12000"_qs, u"21000"_qs, QString(), QString()}));
    for (int item : {7, 8})
        EXPECT_EQ(column(run.observer, item).mid(2, 6), QStringList(6, QString())) << item;
    // The team's own prefecture and affiliation on every leg.
    EXPECT_EQ(column(run.observer, 5).mid(0, 4), QStringList(4, u"大阪府"_qs));
    EXPECT_EQ(column(run.observer, 6).mid(4, 4), QStringList(4, u"京ＳＣ  "_qs));
    EXPECT_EQ(column(run.observer, 2), QStringList(4, u"  1位"_qs) + QStringList(4, u"  2位"_qs));
    EXPECT_EQ(run.printer.pageCount(), 8);
}

TEST_F(RelayTest, TheNumberPrefixIsTestedPerLegAndAnEmptyLegNeverMatches)
{
    Session session = sessionFor(meet, meetWith(4));
    PrintOptions options = everything();
    options.numberPrefix = u"12"_qs;
    EventRun run;
    runEvent(run, session, 20, options);
    EXPECT_EQ(places(run.observer), QStringList{u"20/0/0"_qs});
}

TEST_F(RelayTest, ARecordPastTheEndOfRelayDatIsDamageNotFourNamelessLegs)
{
    Session session = sessionFor(meet, meetWith(4));
    EventRun run;
    try {
        runEvent(run, session, 21, everything());
        FAIL() << "printed legs that relay.dat does not hold";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), Failure::Kind::Damaged);
        EXPECT_EQ(failure.record(), 510) << qPrintable(failure.message());
    }
    EXPECT_TRUE(run.observer.accepted.isEmpty());
    EXPECT_TRUE(run.printer.documents.isEmpty());
}

TEST(EventCertificatesTest, AgeGroupsRankEachGroupFromOne)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    struct Girl {
        qint16 age;
        qint32 result;
    };
    // Entry n in lane n - 1.
    const QList<Girl> girls = {{17, 6000}, {14, 5900}, {13, 6000},
                               {16, 7000}, {12, 5800}, {19, 5000}};
    QList<Lane> lanes;
    for (int n = 1; n <= girls.size(); ++n) {
        builder.writeSwimmer(
            n, swimmer(u"4000%1"_qs.arg(n), u"女子%1"_qs.arg(n), girls[n - 1].age, u"2"_qs));
        lanes.append({qint16(n), girls[n - 1].result});
    }
    RaceRecord women = heat(1, 1, 3, lanes);
    women.raceSex = u"2"_qs;
    builder.writeRace(30, women);
    builder.writeSwimmer(7, swimmer(u"50007"_qs, u"男子17"_qs, 17, u"1"_qs));
    builder.writeSwimmer(8, swimmer(u"50008"_qs, u"男子16"_qs, 16, u"1"_qs));
    builder.writeRace(31, heat(1, 1, 3, {{7, 6500}, {8, 6000}}));
    Session session = sessionFor(meet, meetWith(8, u"4"_qs, u"1"_qs));

    EventRun run;
    runEvent(run, session, 30, everything());
    // Group 3: the girl of 12; group 4: 14 and 13; group 5: 17 (tied with the last of group 4,
    // yet ranked 1) and 16; the woman of 19 is in no group.
    EXPECT_EQ(places(run.observer),
              (QStringList{u"30/4"_qs, u"30/1"_qs, u"30/2"_qs, u"30/0"_qs, u"30/3"_qs}));
    EXPECT_EQ(column(run.observer, 2),
              (QStringList{u"  1位"_qs, u"  1位"_qs, u"  2位"_qs, u"  1位"_qs, u"  2位"_qs}));

    EventRun men;
    runEvent(men, session, 31, everything());
    // The boy of 16 in group 5, the boy of 17 in group 6.
    EXPECT_EQ(places(men.observer), (QStringList{u"31/1"_qs, u"31/0"_qs}));
    EXPECT_EQ(column(men.observer, 2), (QStringList{u"  1位"_qs, u"  1位"_qs}));
}

TEST(EventCertificatesTest, ClassCodeGroupsFollowTheGradeCode)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    const QStringList codes = {u"61"_qs, u"55"_qs, u"61"_qs, u"13"_qs, u"55"_qs};
    const QList<qint32> results = {5000, 5500, 5200, 4000, 5400};
    QList<Lane> lanes;
    for (int n = 1; n <= codes.size(); ++n) {
        builder.writeSwimmer(
            n, swimmer(u"6000%1"_qs.arg(n), u"選手%1"_qs.arg(n), 30, u"1"_qs, codes[n - 1]));
        lanes.append({qint16(n), results[n - 1]});
    }
    builder.writeRace(40, heat(1, 1, 3, lanes));
    Session session = sessionFor(meet, meetWith(8, u"4"_qs, u"2"_qs));

    EventRun run;
    runEvent(run, session, 40, everything());
    EXPECT_EQ(places(run.observer), (QStringList{u"40/4"_qs, u"40/1"_qs, u"40/0"_qs, u"40/2"_qs}));
    EXPECT_EQ(column(run.observer, 2),
              (QStringList{u"  1位"_qs, u"  2位"_qs, u"  1位"_qs, u"  2位"_qs}));
    EXPECT_EQ(column(run.observer, 7), (QStringList{u"Ｅ"_qs, u"Ｅ"_qs, u"Ｋ"_qs, u"Ｋ"_qs}));
}

TEST(EventCertificatesTest, EveryItemOfOneCertificate)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    builder.writeSwimmer(9, sample::MeetBuilder::swimmer(u"13579246801234"_qs, u"山田　太郎"_qs,
                                                         u"神奈川県"_qs, u"ＡＢ水泳"_qs, u"21"_qs,
                                                         14, u"1"_qs));
    RaceRecord race = heat(1, 1, 3, {{9, 12345, 11}});
    race.classLow = 10;
    race.classHigh = 12;
    builder.writeRace(3, race);
    Session session = sessionFor(meet, meetWith(4, QString(), u"1"_qs));
    session.itemText[13] = u"おめでとう"_qs;

    EventRun run;
    RecordingPreview preview;
    runEvent(run, session, 3, everything(), &preview);

    const ItemTexts expected = {
        u"100m自由形"_qs,   u" 1:23.45"_qs,   u"  1位"_qs,          u"日本新"_qs,
        u"山田　太郎"_qs,   u"神奈川"_qs,     u"ＡＢ水泳 "_qs,      u"中1"_qs,
        u"14"_qs,           u"13579"_qs,      u"2003年02月24日"_qs, u"テスト大会"_qs,
        u"テストプール"_qs, u"おめでとう"_qs, u"テキスト2"_qs,      u"テキスト3"_qs,
        u"テキスト4"_qs,    u"テキスト5"_qs,  u" 10- 12才"_qs,
    };
    ASSERT_EQ(run.observer.accepted.size(), 1);
    EXPECT_EQ(run.observer.accepted[0].items, expected);
    EXPECT_EQ(session.itemText, expected);
    // Printed and previewed with every item switched on, in item order.
    const QStringList drawn(expected.begin(), expected.end());
    ASSERT_EQ(run.printer.documents.size(), 1);
    EXPECT_EQ(run.printer.documents[0].pages, QList<QStringList>{drawn});
    EXPECT_EQ(preview.drawings, 1);
    EXPECT_EQ(preview.lastTexts(), drawn);
}

TEST(EventCertificatesTest, ItemsAtTheEdges)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    builder.writeSwimmer(1, swimmer(u"70001"_qs, u"百五歳"_qs, 105));
    builder.writeSwimmer(2, swimmer(u"70002"_qs, u"五歳"_qs, 5));
    builder.writeRace(3, heat(1, 1, 3, {{1, 5000, 40}, {2, 666666, 31}}));
    MeetSettings settings = meetWith(4);
    settings.meetDate = 0;
    Session session = sessionFor(meet, settings);

    EventRun run;
    runEvent(run, session, 3, everything());
    ASSERT_EQ(run.observer.accepted.size(), 2);
    const ItemTexts& old = run.observer.accepted[0].items;
    EXPECT_EQ(old[8], u"05"_qs);
    EXPECT_EQ(old[3], u"新"_qs);        // a record code without a name
    EXPECT_EQ(old[10], u"0年月0日"_qs); // no meet date
    const ItemTexts& young = run.observer.accepted[1].items;
    EXPECT_EQ(young[8], u" 5"_qs);
    EXPECT_EQ(young[3], u"大会新"_qs);
    EXPECT_EQ(young[2], u"   "_qs);
}

TEST(EventCertificatesTest, AnEventWithoutFinishersStillEndsItsDocument)
{
    TempMeet meet;
    meet.builder().writeMasterHeader(MasterHeader());
    meet.builder().writeRace(8, heat(1, 1, 3, {{0, 5000}, {3, 999999}}));
    Session session = sessionFor(meet, meetWith(4));
    EventRun run;
    runEvent(run, session, 8, everything());
    EXPECT_EQ(run.summary.certificates, 0);
    EXPECT_EQ(run.printer.documentEnds, 1);
    EXPECT_TRUE(run.printer.documents.isEmpty());
}

TEST(EventCertificatesTest, DamageDropsTheDocumentUnsentAndNamesTheRecord)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    builder.writeSwimmer(1, swimmer(u"80001"_qs, u"先"_qs));
    builder.writeSwimmer(2, swimmer(u"80002"_qs, u"後"_qs));
    builder.writeRelay(1, {});
    RaceRecord first = heat(1, 2, 26, {{1, 20000}});
    first.relayIndex = 1;
    RaceRecord second = heat(2, 2, 26, {{2, 30000}});
    second.relayIndex = -20; // names no record of relay.dat
    builder.writeRace(10, first);
    builder.writeRace(11, second);
    Session session = sessionFor(meet, meetWith(4));

    EventRun run;
    try {
        runEvent(run, session, 11, everything());
        FAIL() << "a damaged relay index went unnoticed";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), Failure::Kind::Damaged);
        EXPECT_TRUE(failure.path().endsWith(u"relay.dat"_qs)) << qPrintable(failure.message());
        EXPECT_TRUE(failure.reason().contains(u"-20"_qs)) << qPrintable(failure.message());
    }
    // The four pages of the first team were composed and never sent.
    EXPECT_EQ(run.observer.accepted.size(), 4);
    EXPECT_EQ(run.printer.documentEnds, 0);
    EXPECT_EQ(run.printer.documentAborts, 1);
    EXPECT_TRUE(run.printer.documents.isEmpty());
}

} // namespace
} // namespace tarvel::testing
