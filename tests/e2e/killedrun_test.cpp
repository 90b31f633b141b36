// A whole-meet tarvel-batch run writing PDF files, killed (SIGKILL) at moments spread over
// the run and started again each time: no certificate is lost, none is delivered twice
// beyond the one event in hand at each kill, Race.dat only ever changes from "8" to "9",
// and no PDF is ever left half written under its final name.
#include "batchprocess.h"
#include "eventually.h"
#include "meetdb/racestatus.h"
#include "poppler.h"
#include "samplemeet.h"
#include "tempmeet.h"

#include <QDir>
#include <QMap>
#include <QProcess>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

/// The event's last heat, from a certificate file's name: "<stamp>-R012_...pdf".
int eventRaceOf(const QString& fileName)
{
    return fileName.mid(21, 3).toInt();
}

/// The PDF files of `folder` by the event they hold, each with its page count.
QMap<int, QList<int>> documentsByEvent(const QString& folder)
{
    QMap<int, QList<int>> documents;
    for (const QString& file : QDir(folder).entryList({u"*.pdf"_qs}, QDir::Files))
        documents[eventRaceOf(file)].append(pdfPageCount(folder + u'/' + file));
    return documents;
}

int pdfCount(const QString& folder)
{
    return int(QDir(folder).entryList({u"*.pdf"_qs}, QDir::Files).size());
}

TEST(KilledRunTest, EveryCertificateIsDeliveredAndAtMostTheEventInHandTwicePerKill)
{
    // What the meet prints when nothing goes wrong.
    TempMeet reference;
    sample::writeSampleMeet(reference.builder());
    const QString referencePdf = reference.builder().root() + u"/pdf"_qs;
    ASSERT_EQ(
        runBatch({u"-C"_qs, reference.builder().workDir(), u"--pdf"_qs, referencePdf}).exitCode, 0);
    const QMap<int, QList<int>> expected = documentsByEvent(referencePdf);
    ASSERT_FALSE(expected.isEmpty());

    TempMeet meet;
    sample::writeSampleMeet(meet.builder());
    const QString raceDat = meet.dataPath(u"Race.dat"_qs);
    const QByteArray before = readFileBytes(raceDat);
    const QString pdf = meet.builder().root() + u"/pdf"_qs;

    // Killed once no file, then 2, 7, ... files are there: early, in the middle, late.
    const int killAtFiles[] = {0, 2, 7, 13, 20, 28, 33};
    int kills = 0;
    for (const int files : killAtFiles) {
        QProcess run;
        run.start(batchProgram(), {u"-C"_qs, meet.builder().workDir(), u"--pdf"_qs, pdf});
        ASSERT_TRUE(run.waitForStarted());
        eventually([&] { return pdfCount(pdf) >= files || run.state() != QProcess::Running; },
                   std::chrono::seconds(60));
        if (run.state() == QProcess::Running) {
            run.kill();
            ++kills;
        }
        run.waitForFinished(60000);

        // Delivered but not marked: at most the one event in hand.
        const QByteArray statuses = readFileBytes(raceDat);
        int unmarked = 0;
        for (int eventRace : documentsByEvent(pdf).keys())
            unmarked += statuses.at(eventRace - 1) == kRaceReady ? 1 : 0;
        EXPECT_LE(unmarked, 1) << "after the kill at " << files << " files";
    }
    ASSERT_GE(kills, 4) << "the runs ended before they could be killed";
    const BatchOutcome last = runBatch({u"-C"_qs, meet.builder().workDir(), u"--pdf"_qs, pdf});
    EXPECT_EQ(last.exitCode, 0) << qPrintable(last.err);

    // Every event delivered whole, each copy complete (pdfinfo reads every file), and no
    // more copies than one per kill beyond the first.
    const QMap<int, QList<int>> delivered = documentsByEvent(pdf);
    EXPECT_EQ(delivered.keys(), expected.keys());
    int copiesBeyondFirst = 0;
    for (auto it = delivered.cbegin(); it != delivered.cend(); ++it) {
        for (int pages : it.value())
            EXPECT_EQ(pages, expected.value(it.key()).value(0)) << "event " << it.key();
        copiesBeyondFirst += int(it.value().size()) - 1;
    }
    EXPECT_LE(copiesBeyondFirst, kills);

    // Race.dat: each byte as it was, or "8" become "9"; every ready race marked.
    const QByteArray after = readFileBytes(raceDat);
    ASSERT_EQ(after.size(), before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const bool same = after[i] == before[i];
        const bool marked = before[i] == kRaceReady && after[i] == kRacePrinted;
        EXPECT_TRUE(same || marked) << "race " << i + 1;
        EXPECT_NE(after[i], kRaceReady) << "race " << i + 1;
    }
}

} // namespace
} // namespace tarvel::testing
