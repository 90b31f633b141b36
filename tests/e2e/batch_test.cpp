// tarvel-batch run as a separate process on built meets.

#include "batchfixture.h"
#include "meetdb/racestatus.h"
#include "naming/racerecord.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

TEST_F(BatchTest, HonoursTheWidestWidthsAndTellsCharactersNoFaceCanDraw)
{
    // A user-defined character of cp932 (F040, U+E000) in a name, as a meet's own additions
    // to the character set come; no installed face has it.
    meet.builder().writeSwimmer(3, sample::MeetBuilder::swimmer(u"11003"_qs, u"青空\uE000郎"_qs,
                                                                u"静岡県"_qs, u"青空ＳＣ"_qs,
                                                                u"31"_qs, 16, u"2"_qs));
    writeFileBytes(meet.dataPath(u"tarvel.ini"_qs), "[item11]\nmaxWidth=1000\n");
    const Outcome outcome = runBatch(arguments());
    ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    // Swimmer 3 won race 2 in its first lane and swam the third leg of the relay.
    EXPECT_TRUE(outcome.err.contains(u"Race 2, lane 1, "_qs)) << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(u"Race 3, lane 1, leg 3, "_qs)) << qPrintable(outcome.err);
    EXPECT_EQ(outcome.err.count(u"U+E000"_qs), 2) << qPrintable(outcome.err);

    const QString first = pdfDir + u'/' + pdfFiles().value(0);
    int meetNames = 0;
    for (const PdfWord& word : pdfWords(first)) {
        if (word.text != u"終点テスト大会"_qs)
            continue;
        ++meetNames;
        EXPECT_LE(word.box.width(), 1000 / 20.0 + 0.5);
    }
    EXPECT_EQ(meetNames, 3);
}

TEST_F(BatchTest, PrintsOnePdfPerEventAndLogsEveryCertificate)
{
    const Outcome outcome = runBatch(arguments());
    ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);

    // One document per event with pages: races 2 (three certificates within rank 3) and 3.
    const QStringList files = pdfFiles();
    ASSERT_EQ(files.size(), 2) << qPrintable(files.join(u' '));
    EXPECT_TRUE(files[0].endsWith(u"-R002_女子_100m自由形_決勝.pdf"_qs)) << qPrintable(files[0]);
    EXPECT_TRUE(files[1].endsWith(u"-R003_女子_100mリレー_決勝.pdf"_qs)) << qPrintable(files[1]);
    EXPECT_EQ(pdfPageCount(pdfDir + u'/' + files[0]), 3);
    EXPECT_EQ(pdfPageCount(pdfDir + u'/' + files[1]), 4);
    const QString firstEvent = pdfText(pdfDir + u'/' + files[0]);
    EXPECT_TRUE(firstEvent.contains(u"三郎"_qs)) << qPrintable(firstEvent);
    EXPECT_TRUE(firstEvent.contains(u"終点テスト大会"_qs));

    const QList<QJsonObject> lines = logLines();
    ASSERT_EQ(lines.size(), 7);
    // Lanes and legs from 1.
    const QList<std::pair<int, int>> places = {{2, 1}, {1, 2}, {1, 1}, {3, 1},
                                               {3, 1}, {3, 1}, {3, 1}};
    for (int i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lines[i][u"race"_qs].toInt(), places[i].first);
        EXPECT_EQ(lines[i][u"lane"_qs].toInt(), places[i].second);
        EXPECT_EQ(lines[i][u"items"_qs].toArray().size(), 19);
        if (i < 3)
            EXPECT_TRUE(lines[i][u"leg"_qs].isNull());
        else
            EXPECT_EQ(lines[i][u"leg"_qs].toInt(-1), i - 2);
    }
    const QJsonArray first = lines[0][u"items"_qs].toArray();
    EXPECT_EQ(first[0].toString(), u"100m自由形"_qs);
    EXPECT_EQ(first[1].toString(), u"   59.99"_qs);
    EXPECT_EQ(first[2].toString(), u"  1位"_qs);
    EXPECT_EQ(first[4].toString(), u"青空　三郎"_qs);
    EXPECT_EQ(lines[6][u"items"_qs].toArray()[4].toString(), u"青空　四郎"_qs);
    // The raw line keeps the documented order of the fields.
    EXPECT_TRUE(readFileBytes(logFile).startsWith(
        "{\"race\": 2, \"lane\": 1, \"leg\": null, \"items\": [\""));

    EXPECT_EQ(raceDat().left(5), QByteArray("9999 "));
    EXPECT_TRUE(outcome.err.contains(u"4 race(s) ready: 2 event(s) printed, 7 certificate(s) on "
                                     u"7 page(s); 4 race(s) marked as printed."_qs))
        << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(u"2 PDF file(s) in "_qs)) << qPrintable(outcome.err);
}

TEST_F(BatchTest, OptionsChooseTheCertificatesAndNeverChangeTheLayoutFile)
{
    // A first run creates the layout file with the defaults.
    ASSERT_EQ(runBatch(arguments({u"--preview-only"_qs})).exitCode, 0);
    const QByteArray layout = readFileBytes(meet.dataPath(u"tarvel.dat"_qs));

    const Outcome outcome =
        runBatch(arguments({u"--stroke"_qs, u"free"_qs, u"--rank-individual"_qs, u"1"_qs,
                            u"--condition"_qs, u"anytime"_qs, u"--round"_qs, u"all"_qs}));
    ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    // Free style only (the relay is ＦＲ, not 自由), rank 1 only: the final and the heat.
    const QList<QJsonObject> lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0][u"race"_qs].toInt(), 2);
    EXPECT_EQ(lines[1][u"race"_qs].toInt(), 4);
    EXPECT_EQ(readFileBytes(meet.dataPath(u"tarvel.dat"_qs)), layout);
}

TEST_F(BatchTest, PreviewOnlyPrintsNothingAndMarksNothing)
{
    const QByteArray before = raceDat();
    const Outcome outcome = runBatch(arguments({u"--preview-only"_qs}));
    ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    EXPECT_EQ(logLines().size(), 7);
    EXPECT_TRUE(pdfFiles().isEmpty());
    EXPECT_EQ(raceDat(), before);
    EXPECT_TRUE(outcome.err.contains(u"2 event(s) previewed, 7 certificate(s); nothing printed, "
                                     u"nothing marked"_qs))
        << qPrintable(outcome.err);
}

TEST_F(BatchTest, BadUsageExitsTwoAndTouchesNothing)
{
    const QList<QStringList> cases = {
        {u"--bogus"_qs},
        {u"--condition"_qs, u"sometimes"_qs},
        {u"--distance"_qs, u"30"_qs},
        {u"--stroke"_qs, u"crawl"_qs},
        {u"--round"_qs, u"final2"_qs},
        {u"--sex"_qs, u"mixed"_qs},
        {u"--round"_qs, u"決勝戦"_qs},
        {u"--rank-individual"_qs, u"abc"_qs},
        {u"--rank-relay"_qs, u"-1"_qs},
        {u"--rank-individual"_qs, u"2.5"_qs},
        {u"stray"_qs},
        {u"--log"_qs},
        {u"--pdf"_qs, QString()},
    };
    for (const QStringList& bad : cases) {
        SCOPED_TRACE(qPrintable(bad.join(u' ')));
        const Outcome outcome = runBatch(QStringList{u"-C"_qs, meet.builder().workDir()} + bad);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_TRUE(outcome.err.contains(u"tarvel-batch:"_qs)) << qPrintable(outcome.err);
    }
    EXPECT_FALSE(QFile::exists(meet.dataPath(u"tarvel.dat"_qs)));
    EXPECT_FALSE(QFile::exists(logFile));

    const Outcome help = runBatch({u"--help"_qs});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(u"--rank-relay"_qs)) << qPrintable(help.out);
}

TEST(BatchFailureTest, AMissingLocationFileExitsOneAndWritesNothing)
{
    TempMeet meet; // no ctl/dr_kyo.ctl
    meet.builder().writeRaceStatus({1}, '8');
    QTemporaryDir output;
    const QString pdfDir = output.path() + u"/pdf"_qs;
    const QString logFile = output.path() + u"/run.jsonl"_qs;
    const QByteArray statuses = readFileBytes(meet.dataPath(u"Race.dat"_qs));

    const Outcome outcome =
        runBatch({u"-C"_qs, meet.builder().workDir(), u"--pdf"_qs, pdfDir, u"--log"_qs, logFile});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(outcome.err.contains(u"dr_kyo.ctl"_qs)) << qPrintable(outcome.err);
    EXPECT_FALSE(QFile::exists(pdfDir));
    EXPECT_FALSE(QFile::exists(logFile));
    EXPECT_EQ(QDir(meet.builder().dataDirPath()).entryList(QDir::Files),
              QStringList{u"Race.dat"_qs});
    EXPECT_EQ(readFileBytes(meet.dataPath(u"Race.dat"_qs)), statuses);

    const Outcome nowhere = runBatch({u"-C"_qs, meet.builder().root() + u"/missing"_qs});
    EXPECT_EQ(nowhere.exitCode, 1);
    EXPECT_TRUE(nowhere.err.contains(u"/missing"_qs)) << qPrintable(nowhere.err);
}

TEST(BatchFailureTest, AFailureDuringTheRunExitsOneAfterTheEarlierRaces)
{
    TempMeet meet;
    sample::MeetBuilder& builder = meet.builder();
    builder.writeLocationFile();
    builder.writeSwimmer(1, sample::MeetBuilder::swimmer(u"1"_qs, u"先"_qs, u"県"_qs, u"所"_qs,
                                                         u"31"_qs, 16, u"1"_qs));
    builder.writeRace(1, race(1, 1, 3, u"2"_qs, {{1, 5000}}));
    RaceRecord broken = race(1, 1, 26, u"2"_qs, {{1, 5000}});
    broken.relayIndex = -30; // names no record of relay.dat
    builder.writeRace(2, broken);
    builder.writeRaceStatus({1, 2}, '8');
    QTemporaryDir output;

    const Outcome outcome = runBatch({u"-C"_qs, builder.workDir(), u"--pdf"_qs, output.path()});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(outcome.err.contains(u"relay.dat"_qs)) << qPrintable(outcome.err);
    EXPECT_EQ(readFileBytes(meet.dataPath(u"Race.dat"_qs)).left(2), QByteArray("98"));
    EXPECT_EQ(QDir(output.path()).entryList({u"*.pdf"_qs}).size(), 1);
}

} // namespace
} // namespace tarvel::testing
