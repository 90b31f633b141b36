#include "printrun/printrun.h"

#include "layout/layoutfile.h"
#include "meetdb/racestatus.h"
#include "meetfixture.h"
#include "platform/failure.h"
#include "recordingdevices.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

/// The three-heat event of races 40 to 42 (100m free, men's final), one swimmer per heat
/// with the fastest in the first heat.
class ThreeHeatsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sample::MeetBuilder& builder = meet.builder();
        for (int n = 1; n <= 3; ++n)
            builder.writeSwimmer(n, swimmer(u"1000%1"_qs.arg(n), u"選手%1"_qs.arg(n)));
        builder.writeRace(40, heat(1, 3, 3, {{1, 5000}}));
        builder.writeRace(41, heat(2, 3, 3, {{2, 5200}}));
        builder.writeRace(42, heat(3, 3, 3, {{3, 5100}}));
    }

    /// The rank item of every certificate accepted so far.
    QStringList column() const
    {
        QStringList ranks;
        for (const Accepted& accepted : observer.accepted)
            ranks << accepted.items[2];
        return ranks;
    }

    QByteArray raceDat() const { return readFileBytes(meet.dataPath(u"Race.dat"_qs)); }
    char statusOf(int raceNo) const { return raceDat().at(raceNo - 1); }
    void setStatus(int raceNo, char status)
    {
        QByteArray bytes = raceDat();
        bytes[raceNo - 1] = status;
        writeFileBytes(meet.dataPath(u"Race.dat"_qs), bytes);
    }

    RunSummary run(const PrintOptions& options = PrintOptions())
    {
        Session session = sessionFor(meet, meetWith(4));
        return PrintRun(session, options, printer, nullptr, &observer);
    }

    TempMeet meet;
    RecordingPrinter printer;
    RecordingObserver observer;
};

TEST_F(ThreeHeatsTest, TheLastHeatPrintsTheWholeEventAndEveryHeatIsMarked)
{
    meet.builder().writeRaceStatus({40, 41, 42}, '8');
    const RunSummary summary = run();

    EXPECT_EQ(observer.events, (QStringList{u"mark 40"_qs, u"mark 41"_qs, u"print 40/0"_qs,
                                            u"print 42/0"_qs, u"print 41/0"_qs, u"mark 42"_qs}));
    EXPECT_EQ(column(), (QStringList{u"  1位"_qs, u"  2位"_qs, u"  3位"_qs}));
    for (int raceNo : {40, 41, 42})
        EXPECT_EQ(statusOf(raceNo), '9') << raceNo;
    EXPECT_EQ(statusOf(39), ' ');
    EXPECT_EQ(summary.racesPrinted, 1);
    EXPECT_EQ(summary.racesMarked, 3);
    EXPECT_EQ(summary.certificates, 3);
    EXPECT_EQ(summary.pages, 3);
    ASSERT_EQ(printer.documents.size(), 1);
    EXPECT_EQ(printer.documents[0].pages.size(), 3);

    // Under 同時 a marked race is not printed again; under 随時 it is.
    RecordingObserver again;
    Session session = sessionFor(meet, meetWith(4));
    EXPECT_EQ(PrintRun(session, PrintOptions(), printer, nullptr, &again).racesMarked, 0);
    EXPECT_TRUE(again.events.isEmpty());
    PrintOptions anytime;
    anytime.condition = PrintCondition::Anytime;
    EXPECT_EQ(PrintRun(session, anytime, printer, nullptr, &again).certificates, 3);
    EXPECT_EQ(again.marked, (QList<int>{40, 41, 42}));
}

TEST_F(ThreeHeatsTest, AnEventWhoseLastHeatIsNotReadyWaitsForIt)
{
    meet.builder().writeRaceStatus({40, 41}, '8');
    EXPECT_EQ(run().certificates, 0);
    EXPECT_EQ(observer.marked, (QList<int>{40, 41}));
    EXPECT_EQ(statusOf(42), ' ');

    // The next run prints the whole event, whatever the statuses of the earlier heats.
    setStatus(42, '8');
    observer = RecordingObserver();
    const RunSummary summary = run();
    EXPECT_EQ(summary.certificates, 3);
    EXPECT_EQ(observer.marked, QList<int>{42});
}

TEST_F(ThreeHeatsTest, AnytimeTakesEveryStatusFromEightUpward)
{
    QByteArray statuses(1024, ' ');
    statuses[39] = '7';
    statuses[40] = char(0xFF);
    statuses[41] = '9';
    meet.builder().writeRaceStatus(statuses);
    PrintOptions anytime;
    anytime.condition = PrintCondition::Anytime;
    run(anytime);
    EXPECT_EQ(observer.marked, (QList<int>{41, 42}));
    EXPECT_EQ(statusOf(40), '7');
    EXPECT_EQ(observer.accepted.size(), 3);
}

TEST_F(ThreeHeatsTest, PreviewOnlyLeavesRaceDatByteForByte)
{
    meet.builder().writeRaceStatus({40, 41, 42}, '8');
    const QByteArray before = raceDat();
    PrintOptions options;
    options.previewOnly = PreviewOnly::Yes;
    RecordingPreview preview;
    Session session = sessionFor(meet, meetWith(4));

    const RunSummary summary = PrintRun(session, options, printer, &preview, &observer);
    EXPECT_EQ(raceDat(), before);
    EXPECT_EQ(summary.racesMarked, 0);
    EXPECT_EQ(summary.certificates, 3);
    EXPECT_EQ(summary.pages, 0);
    EXPECT_EQ(preview.drawings, 3);
    EXPECT_EQ(printer.pageCount(), 0);
    // The same races qualify again.
    EXPECT_EQ(PrintRun(session, options, printer, &preview, &observer).certificates, 3);
}

TEST_F(ThreeHeatsTest, AnExcludedEventIsStillMarked)
{
    meet.builder().writeRaceStatus({40, 41, 42}, '8');
    PrintOptions women;
    women.sex = 2;
    const RunSummary summary = run(women);
    EXPECT_EQ(summary.certificates, 0);
    EXPECT_EQ(summary.racesPrinted, 0);
    EXPECT_EQ(printer.documentEnds, 1); // the event was composed, and nothing passed
    EXPECT_EQ(observer.marked, (QList<int>{40, 41, 42}));
}

TEST(PrintRunTest, AnEmptyRecordCountsAsALastHeat)
{
    TempMeet meet;
    meet.builder().writeRace(3, heat(1, 1, 3, {}));
    meet.builder().writeRaceStatus({7}, '8'); // race 7 lies past the end of taikai.dat
    Session session = sessionFor(meet, meetWith(4));
    RecordingPrinter printer;
    const RunSummary summary = PrintRun(session, PrintOptions(), printer, nullptr, nullptr);
    EXPECT_EQ(summary.racesPrinted, 0);
    EXPECT_EQ(summary.certificates, 0);
    EXPECT_EQ(summary.racesMarked, 1);
    EXPECT_EQ(printer.documentEnds, 1); // its event was composed: no heats, nothing printed
    EXPECT_EQ(readFileBytes(meet.dataPath(u"Race.dat"_qs)).at(6), '9');
}

TEST(PrintRunTest, StatusChangesCountFromTheNextMarkOn)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    for (int raceNo : {1, 3, 5, 6}) {
        builder.writeSwimmer(raceNo, swimmer(u"9000%1"_qs.arg(raceNo), u"選手"_qs));
        builder.writeRace(raceNo, heat(1, 1, 3, {{qint16(raceNo), 5000}}));
    }
    builder.writeRaceStatus({1, 5}, '8');
    const QString raceDat = meet.dataPath(u"Race.dat"_qs);
    auto setStatus = [&](int raceNo, char status) {
        QByteArray bytes = readFileBytes(raceDat);
        bytes[raceNo - 1] = status;
        writeFileBytes(raceDat, bytes);
    };

    RecordingObserver observer;
    // The other system finishes race 3 and takes race 5 back while race 1 is printed: the mark
    // of race 1 re-reads the table, so both changes count. Race 6 is finished after the mark
    // of race 3, the last one before race 6 is reached: it waits for the next run.
    observer.onCertificate = [&](const AcceptedCertificate& certificate) {
        if (certificate.raceNo == 1) {
            setStatus(3, '8');
            setStatus(5, '5');
        }
    };
    observer.onRace = [&](int raceNo) {
        if (raceNo == 4)
            setStatus(6, '8');
    };
    Session session = sessionFor(meet, meetWith(4));
    RecordingPrinter printer;
    PrintRun(session, PrintOptions(), printer, nullptr, &observer);

    EXPECT_EQ(observer.marked, (QList<int>{1, 3}));
    const QByteArray after = readFileBytes(raceDat);
    EXPECT_EQ(after.mid(0, 6), QByteArray("9 9 5" "8"));
}

TEST(PrintRunTest, AFailureEndsTheRunAndKeepsEarlierMarks)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    builder.writeSwimmer(1, swimmer(u"1"_qs, u"先"_qs));
    builder.writeRace(1, heat(1, 1, 3, {{1, 5000}}));
    RaceRecord broken = heat(1, 1, 26, {{1, 5000}});
    broken.relayIndex = -30;
    builder.writeRace(2, broken);
    builder.writeRace(3, heat(1, 1, 3, {{1, 5000}}));
    builder.writeRaceStatus({1, 2, 3}, '8');
    Session session = sessionFor(meet, meetWith(4));
    RecordingPrinter printer;
    RecordingObserver observer;

    EXPECT_THROW(PrintRun(session, PrintOptions(), printer, nullptr, &observer), Failure);
    EXPECT_EQ(observer.marked, QList<int>{1});
    EXPECT_EQ(readFileBytes(meet.dataPath(u"Race.dat"_qs)).mid(0, 3), QByteArray("988"));
    EXPECT_EQ(printer.documentEnds, 2);
    EXPECT_EQ(printer.documents.size(), 1);
}

TEST(SessionTest, StartUpReadsTheLocationsTheLayoutAndTheMeet)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    builder.writeLocationFile();
    builder.writeMeetHeader(meetWith(6));
    const QString layoutFile = meet.dataPath(u"tarvel.dat"_qs);
    Layout saved = defaultLayout();
    saved.freeTexts[2] = u"よくがんばりました"_qs;
    saved.rankLimitRelay = u"8"_qs;
    writeFileBytes(layoutFile, encodeLayout(saved));

    const Session session = startSession(builder.root() + u"/ctl/dr_kyo.ctl"_qs);
    EXPECT_EQ(session.where.dataDir, meet.locations().dataDir);
    EXPECT_EQ(session.meet.meetName, u"テスト大会"_qs);
    EXPECT_EQ(session.meet.laneCount, 6);
    EXPECT_EQ(session.layout.rankLimitRelay, u"8"_qs);
    EXPECT_EQ(session.itemText[0], u"種目"_qs);
    EXPECT_EQ(session.itemText[15], u"よくがんばりました"_qs);
    EXPECT_EQ(session.itemText[16], u"テキスト4"_qs);
}

TEST(SessionTest, AMissingLayoutFileIsCreatedAndAMissingLocationFileStopsBeforeWriting)
{
    TempMeet meet;
    const QString layoutFile = meet.dataPath(u"tarvel.dat"_qs);
    EXPECT_THROW(startSession(meet.builder().root() + u"/ctl/dr_kyo.ctl"_qs), Failure);
    EXPECT_FALSE(QFile::exists(layoutFile));

    meet.builder().writeLocationFile();
    const Session session = startSession(meet.builder().root() + u"/ctl/dr_kyo.ctl"_qs);
    EXPECT_EQ(readFileBytes(layoutFile), encodeLayout(defaultLayout()));
    EXPECT_EQ(session.meet.laneCount, 4); // no kijun.dat: the defaults
}

} // namespace
} // namespace tarvel::testing
