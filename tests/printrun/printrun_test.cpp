#include "printrun/printrun.h"

#include "layout/layoutfile.h"
#include "meetdb/racestatus.h"
#include "meetfixture.h"
#include "platform/failure.h"
#include "printrun/runlock.h"
#include "recordingdevices.h"
#include "recordingobserver.h"

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

    // The earlier heats are marked with the event, once its document was delivered; the last
    // heat first, as it is the one that would print the event again.
    EXPECT_EQ(observer.events, (QStringList{u"print 40/0"_qs, u"print 42/0"_qs, u"print 41/0"_qs,
                                            u"mark 42"_qs, u"mark 40"_qs, u"mark 41"_qs}));
    EXPECT_EQ(column(), (QStringList{u"  1位"_qs, u"  2位"_qs, u"  3位"_qs}));
    for (int raceNo : {40, 41, 42})
        EXPECT_EQ(statusOf(raceNo), '9') << raceNo;
    EXPECT_EQ(statusOf(39), ' ');
    EXPECT_EQ(summary.eventsPrinted, 1);
    EXPECT_EQ(summary.racesMarked, 3);
    EXPECT_EQ(summary.certificates, 3);
    EXPECT_EQ(summary.pages, 3);
    ASSERT_EQ(printer.documents.size(), 1);
    EXPECT_EQ(printer.documents[0].pages.size(), 3);
    EXPECT_EQ(printer.documents[0].name, u"R042 男子 100m自由形 決勝"_qs);

    // Under 同時 a marked race is not printed again; under 随時 it is.
    RecordingObserver again;
    Session session = sessionFor(meet, meetWith(4));
    EXPECT_EQ(PrintRun(session, PrintOptions(), printer, nullptr, &again).racesMarked, 0);
    EXPECT_TRUE(again.events.isEmpty());
    PrintOptions anytime;
    anytime.condition = PrintCondition::Anytime;
    EXPECT_EQ(PrintRun(session, anytime, printer, nullptr, &again).certificates, 3);
    EXPECT_EQ(again.marked, (QList<int>{42, 40, 41}));
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

TEST_F(ThreeHeatsTest, ARefusedDocumentLeavesEveryHeatOfItsEventUnmarked)
{
    meet.builder().writeRaceStatus({40, 41, 42}, '8');
    const QByteArray before = raceDat();
    printer.refuse = [](const RecordedDocument&) { return true; };
    try {
        run();
        FAIL() << "a refused document did not stop the run";
    } catch (const RunStopped& stopped) {
        EXPECT_EQ(stopped.reason(), u"refused"_qs);
        ASSERT_EQ(stopped.summary().unprinted.size(), 1);
        EXPECT_EQ(stopped.summary().unprinted[0].event.raceNo, 42);
        EXPECT_EQ(stopped.summary().racesMarked, 0);
    }
    EXPECT_EQ(raceDat(), before);
    EXPECT_TRUE(observer.marked.isEmpty());
}

// Automatic printing holds back an event that failed a moment ago: its last heat is passed
// over, and its earlier heats stay ready with it instead of being marked at the run's end.
TEST_F(ThreeHeatsTest, AHeldBackEventIsPassedOverWithItsEarlierHeats)
{
    meet.builder().writeRaceStatus({40, 41, 42}, '8');
    const QByteArray before = raceDat();
    PrintOptions options;
    options.heldBack = {42};
    const RunSummary summary = run(options);
    EXPECT_EQ(summary.certificates, 0);
    EXPECT_TRUE(observer.marked.isEmpty());
    EXPECT_EQ(raceDat(), before);
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
    EXPECT_EQ(observer.marked, (QList<int>{42, 41}));
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
    EXPECT_EQ(summary.eventsPrinted, 0);
    EXPECT_EQ(printer.documentEnds, 1); // the event was composed, and nothing passed
    EXPECT_EQ(observer.marked, (QList<int>{42, 40, 41}));
    ASSERT_EQ(summary.excluded.size(), 1);
    EXPECT_EQ(summary.excluded[0].raceNo, 42);
    EXPECT_TRUE(summary.noneWithinLimits.isEmpty());

    // Within the filters but past the rank limit: told apart from a filtered-out event.
    meet.builder().writeRaceStatus({40, 41, 42}, '8');
    PrintOptions none;
    none.rankLimitIndividual = u"0"_qs;
    const RunSummary limited = run(none);
    EXPECT_TRUE(limited.excluded.isEmpty());
    ASSERT_EQ(limited.noneWithinLimits.size(), 1);
    EXPECT_EQ(limited.noneWithinLimits[0].title, u"R042 男子 100m自由形 決勝"_qs);
}

TEST_F(ThreeHeatsTest, ARunThatCannotBeginTouchesNothing)
{
    meet.builder().writeRaceStatus({40, 41, 42}, '8');
    const QByteArray before = raceDat();
    PrintOptions notANumber;
    notANumber.rankLimitRelay = u"abc"_qs;
    EXPECT_THROW(run(notANumber), Failure);

    // Another run holds the meet: nothing is printed, and preview-only needs no lock.
    const RunLock other = RunLock::acquire(meet.locations());
    try {
        run();
        FAIL() << "a second run went ahead";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), Failure::Kind::Busy);
        EXPECT_TRUE(failure.reason().contains(u"process"_qs)) << qPrintable(failure.reason());
    }
    EXPECT_TRUE(observer.accepted.isEmpty());
    PrintOptions previewOnly;
    previewOnly.previewOnly = PreviewOnly::Yes;
    EXPECT_EQ(run(previewOnly).certificates, 3);
    EXPECT_EQ(raceDat(), before);
}

TEST(PrintRunTest, AnEmptyRecordCountsAsALastHeat)
{
    TempMeet meet;
    meet.builder().writeSwimmer(1, swimmer(u"1"_qs, u"先"_qs));
    meet.builder().writeRace(7, RaceRecord());
    meet.builder().writeRaceStatus({7}, '8');
    Session session = sessionFor(meet, meetWith(4));
    RecordingPrinter printer;
    const RunSummary summary = PrintRun(session, PrintOptions(), printer, nullptr, nullptr);
    EXPECT_EQ(summary.eventsPrinted, 0);
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
    EXPECT_EQ(after.mid(0, 6), QByteArray("9 9 5"
                                          "8"));
}

TEST(PrintRunTest, DamageInOneEventLeavesItUnprintedAndTheRunGoesOn)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    builder.writeSwimmer(1, swimmer(u"1"_qs, u"先"_qs));
    builder.writeRace(1, heat(1, 1, 3, {{1, 5000}}));
    RaceRecord broken = heat(1, 1, 26, {{1, 5000}});
    broken.relayIndex = -30;
    builder.writeRace(2, broken);
    builder.writeRace(3, heat(1, 2, 3, {{1, 5000}}));  // its last heat, race 4, is damaged
    builder.writeRace(4, heat(2, 2, 3, {{99, 5000}})); // entry 99 is not in the master file
    builder.writeRace(5, heat(1, 1, 3, {{1, 5000}}));
    builder.writeRaceStatus({1, 2, 3, 4, 5, 9}, '8'); // race 9 is not in taikai.dat yet
    Session session = sessionFor(meet, meetWith(4));
    RecordingPrinter printer;
    RecordingObserver observer;

    const RunSummary summary = PrintRun(session, PrintOptions(), printer, nullptr, &observer);
    EXPECT_EQ(observer.marked, (QList<int>{1, 5}));
    EXPECT_EQ(readFileBytes(meet.dataPath(u"Race.dat"_qs)).mid(0, 9), QByteArray("98889   8"));
    EXPECT_EQ(printer.documents.size(), 2);
    EXPECT_EQ(printer.documentAborts, 2);
    ASSERT_EQ(summary.unprinted.size(), 3);
    EXPECT_EQ(summary.unprinted[0].event.title, u"R002 男子 100mリレー 決勝"_qs);
    EXPECT_TRUE(summary.unprinted[0].why.contains(u"relay.dat"_qs))
        << qPrintable(summary.unprinted[0].why);
    EXPECT_TRUE(summary.unprinted[1].why.contains(u"swimmer entry 99"_qs))
        << qPrintable(summary.unprinted[1].why);
    EXPECT_EQ(summary.unprinted[2].event.title, u"R009"_qs);
    EXPECT_TRUE(summary.unprinted[2].why.contains(u"taikai.dat"_qs));
}

TEST(PrintRunTest, OneDocumentIsUnderWayAtATime)
{
    // Three single-heat events; the device delivers only when waited for, as a busy
    // scheduler would, and refuses the second event's document. The next event is composed
    // while a delivery goes on, but handed over only once the one before was delivered and
    // marked: the third is never sent, and the refusal leaves both later events unprinted.
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    for (int raceNo = 1; raceNo <= 3; ++raceNo) {
        builder.writeSwimmer(raceNo, swimmer(u"7000%1"_qs.arg(raceNo), u"選手"_qs));
        builder.writeRace(raceNo, heat(1, 1, qint16(raceNo), {{qint16(raceNo), 5000}}));
    }
    builder.writeRaceStatus({1, 2, 3}, '8');
    Session session = sessionFor(meet, meetWith(4));
    RecordingPrinter printer;
    printer.inBackground = true;
    printer.refuse = [](const RecordedDocument& document) {
        return document.name.startsWith(u"R002"_qs);
    };
    RecordingObserver observer;

    try {
        PrintRun(session, PrintOptions(), printer, nullptr, &observer);
        FAIL() << "a refused delivery did not stop the run";
    } catch (const RunStopped& stopped) {
        ASSERT_EQ(stopped.summary().unprinted.size(), 2);
        EXPECT_EQ(stopped.summary().unprinted[0].event.raceNo, 2);
        EXPECT_EQ(stopped.summary().unprinted[1].event.raceNo, 3);
        EXPECT_EQ(stopped.summary().eventsPrinted, 1);
    }
    EXPECT_EQ(observer.events,
              (QStringList{u"print 1/0"_qs, u"print 2/0"_qs, u"mark 1"_qs, u"print 3/0"_qs}));
    EXPECT_EQ(printer.documents.size(), 1);
    EXPECT_EQ(printer.documentAborts, 1);
    EXPECT_EQ(readFileBytes(meet.dataPath(u"Race.dat"_qs)).left(3), QByteArray("988"));
}

TEST(PrintRunTest, AStopRequestEndsTheRunAfterTheEventInHand)
{
    // Races 1-2 are one event, 3 and 4 single heats; the stop is asked for while race 2's
    // event is composed: that event is finished and marked, nothing after it is looked at.
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    builder.writeSwimmer(1, swimmer(u"1"_qs, u"一"_qs));
    builder.writeRace(1, heat(1, 2, 3, {{1, 5000}}));
    builder.writeRace(2, heat(2, 2, 3, {{1, 5100}}));
    builder.writeRace(3, heat(1, 2, 4, {{1, 5000}})); // its last heat, race 4, never comes
    builder.writeRace(4, heat(2, 2, 4, {{1, 5000}}));
    builder.writeRaceStatus({1, 2, 3, 4}, '8');
    struct Stopping : RecordingObserver {
        bool stop = false;
        void eventStarted(int, const QString&) override { stop = true; }
        bool stopRequested() const override { return stop; }
    } observer;
    Session session = sessionFor(meet, meetWith(4));
    RecordingPrinter printer;

    const RunSummary summary = PrintRun(session, PrintOptions(), printer, nullptr, &observer);
    EXPECT_EQ(summary.stoppedBeforeRace, 3);
    EXPECT_EQ(observer.marked, (QList<int>{2, 1}));
    EXPECT_EQ(printer.documents.size(), 1);
    EXPECT_EQ(readFileBytes(meet.dataPath(u"Race.dat"_qs)).left(4), QByteArray("9988"));
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
