// tarvel-batch's award lists: their own printer beside the certificates' (a private CUPS
// scheduler), the lists of printed events from the ledger, and bad usage.
#include "batchfixture.h"
#include "ledger/ledger.h"
#include "meetdb/racestatus.h"
#include "privatescheduler.h"
#include "samplemeet.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

/// The sample meet, every race ready, and a scheduler with the certificates' queue "desk"
/// (the default) and the lists' queue "lists".
class CeremonyBatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString why = cups.start();
        if (!why.isEmpty())
            GTEST_SKIP() << "no private CUPS scheduler here: " << why.toStdString();
        cups.addFileQueue(u"desk"_qs, true);
        cups.addFileQueue(u"lists"_qs, false);
        sample::writeSampleMeet(meet.builder());
    }

    BatchOutcome batch(const QStringList& more) const
    {
        return runBatch(QStringList{u"-C"_qs, meet.builder().workDir()} + more,
                        cups.clientEnvironment());
    }

    /// How many jobs each queue printed.
    QMap<QString, int> jobsPerQueue() const
    {
        QMap<QString, int> jobs;
        for (const QString& queue : cups.jobPrinters())
            ++jobs[queue];
        return jobs;
    }

    int markedRaces() const
    {
        return int(readFileBytes(meet.dataPath(u"Race.dat"_qs)).count(kRacePrinted));
    }

    QList<LedgerDocumentEntry> lists() const
    {
        QList<LedgerDocumentEntry> found;
        for (const LedgerDocumentEntry& document :
             Ledger(meet.dataPath(u"tarvel-ledger.db"_qs)).documents()) {
            if (document.document.kind == DocumentKind::CeremonyList)
                found << document;
        }
        return found;
    }

    PrivateScheduler cups;
    TempMeet meet;
};

TEST_F(CeremonyBatchTest, EachEventsListGoesToItsOwnPrinter)
{
    const BatchOutcome outcome = batch({u"--ceremony-printer"_qs, u"lists"_qs});
    ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    ASSERT_TRUE(cups.waitUntilIdle());
    const QMap<QString, int> jobs = jobsPerQueue();
    EXPECT_EQ(jobs.value(u"desk"_qs), 36);
    EXPECT_EQ(jobs.value(u"lists"_qs), 36);
    EXPECT_EQ(markedRaces(), 61);
    const QList<LedgerDocumentEntry> recorded = lists();
    ASSERT_EQ(recorded.size(), 36);
    for (const LedgerDocumentEntry& list : recorded) {
        EXPECT_EQ(list.document.destination, u"lists"_qs);
        EXPECT_GT(list.document.jobId, 0);
        EXPECT_FALSE(isFailed(list.document.state));
    }
}

TEST_F(CeremonyBatchTest, ARefusingListPrinterCostsNoCertificate)
{
    cups.tool(u"cupsreject"_qs, {u"lists"_qs});
    const BatchOutcome outcome = batch({u"--ceremony-printer"_qs, u"lists"_qs});
    // Told, and so not a clean run; but every certificate printed and marked.
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(outcome.err.contains(u"36 event(s) printed, 195 certificate(s) on 195 page(s); "
                                     u"61 race(s) marked"_qs))
        << qPrintable(outcome.err);
    EXPECT_EQ(outcome.err.count(u"Destination \"lists\" is not accepting jobs"_qs), 36)
        << qPrintable(outcome.err);
    // Told how to send them again, and that does, from the ledger.
    const qsizetype hint = outcome.err.indexOf(u"tarvel-batch --ceremony-list-of "_qs);
    ASSERT_GE(hint, 0) << qPrintable(outcome.err);
    const QString races = outcome.err.mid(hint).section(u' ', 2, 2).trimmed();
    EXPECT_EQ(races.split(u',').size(), 36) << qPrintable(races);
    ASSERT_TRUE(cups.waitUntilIdle());
    EXPECT_EQ(jobsPerQueue().value(u"desk"_qs), 36);
    EXPECT_EQ(jobsPerQueue().value(u"lists"_qs), 0);
    EXPECT_EQ(markedRaces(), 61);
    const QList<LedgerDocumentEntry> recorded = lists();
    ASSERT_EQ(recorded.size(), 36);
    for (const LedgerDocumentEntry& list : recorded)
        EXPECT_TRUE(isFailed(list.document.state));

    cups.tool(u"cupsaccept"_qs, {u"lists"_qs});
    const BatchOutcome again =
        batch({u"--ceremony-list-of"_qs, races, u"--ceremony-printer"_qs, u"lists"_qs});
    EXPECT_EQ(again.exitCode, 0) << qPrintable(again.err);
    ASSERT_TRUE(cups.waitUntilIdle());
    EXPECT_EQ(jobsPerQueue().value(u"lists"_qs), 1);
}

TEST_F(BatchTest, ListsOfPrintedEventsComeFromTheLedgerAsOneDocument)
{
    ASSERT_EQ(runBatch(arguments()).exitCode, 0);
    const QString lists = output.path() + u"/lists"_qs;
    const BatchOutcome outcome =
        runBatch({u"-C"_qs, meet.builder().workDir(), u"--ceremony-list-of"_qs, u"all"_qs,
                  u"--ceremony-pdf"_qs, lists});
    ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    const QStringList files = QDir(lists).entryList({u"*.pdf"_qs}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    const QStringList rows = pdfRows(pdfWords(lists + u'/' + files.first()));
    // The two events printed, in race order; the heat left out by the round has no list.
    const QStringList titles = rows.filter(QRegularExpression(u"^R\\d{3}"_qs));
    ASSERT_EQ(titles.size(), 2) << qPrintable(rows.join(u'\n'));
    EXPECT_TRUE(titles[0].startsWith(u"R002"_qs));
    EXPECT_TRUE(titles[1].startsWith(u"R003"_qs));
    // The tie-free two-heat final in the order printed, the relay team once with its legs.
    const QString text = rows.join(u'\n');
    for (const QString& row : {u"1位青空三郎青空ＳＣ静岡県59.99"_qs, u"1位青空ＳＣ静岡県2:00.00"_qs,
                               u"1青空一郎"_qs, u"4青空四郎"_qs})
        EXPECT_TRUE(rows.contains(row)) << qPrintable(row) << "\n" << qPrintable(text);
    EXPECT_FALSE(text.contains(u"青空五郎"_qs)) << "the heat left out is not listed";
    EXPECT_TRUE(rows.filter(QRegularExpression(u"^4位"_qs)).isEmpty())
        << "the fourth is beyond the rank limit: no certificate, not listed";

    // Races named that were never printed: nothing to list.
    const BatchOutcome none =
        runBatch({u"-C"_qs, meet.builder().workDir(), u"--ceremony-list-of"_qs, u"4"_qs,
                  u"--ceremony-pdf"_qs, lists});
    EXPECT_EQ(none.exitCode, 1);
}

TEST_F(BatchTest, BadAwardListOptionsExitTwo)
{
    const QList<QStringList> cases = {
        {u"--ceremony-printer"_qs, u"a"_qs, u"--ceremony-pdf"_qs, u"b"_qs},
        {u"--ceremony-printer"_qs, QString()},
        {u"--ceremony-pdf"_qs, QString()},
        {u"--ceremony-list-of"_qs, u"0"_qs},
        {u"--ceremony-list-of"_qs, u"1,1025"_qs},
        {u"--ceremony-list-of"_qs, u"1,,2"_qs},
        {u"--ceremony-list-of"_qs, u"alle"_qs},
        {u"--ceremony-list-of"_qs, u"all"_qs, u"--watch"_qs},
        {u"--history"_qs, u"--ceremony-list"_qs},
        {u"--reprint"_qs, u"2"_qs, u"--ceremony-pdf"_qs, u"x"_qs},
    };
    for (const QStringList& bad : cases) {
        SCOPED_TRACE(qPrintable(bad.join(u' ')));
        const BatchOutcome outcome =
            runBatch(QStringList{u"-C"_qs, meet.builder().workDir()} + bad);
        EXPECT_EQ(outcome.exitCode, 2) << qPrintable(outcome.err);
    }
    EXPECT_FALSE(QFile::exists(meet.dataPath(u"tarvel.dat"_qs)));

    // Lists asked for with no destination chosen anywhere: told before anything is printed.
    QTemporaryDir settings;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_qs, settings.path());
    const BatchOutcome unchosen = runBatch(arguments({u"--ceremony-list"_qs}), environment);
    EXPECT_EQ(unchosen.exitCode, 1);
    EXPECT_TRUE(unchosen.err.contains(u"--ceremony-pdf"_qs)) << qPrintable(unchosen.err);
    EXPECT_TRUE(pdfFiles().isEmpty());
}

} // namespace
} // namespace tarvel::testing
