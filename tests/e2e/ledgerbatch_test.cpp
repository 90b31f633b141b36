// The certificate ledger through tarvel-batch: what a run records, the history, reprints.

#include "batchfixture.h"
#include "eventually.h"
#include "ledger/ledger.h"
#include "ledger/sqlite.h"
#include "platform/qt/cupsjobs.h"
#include "privatescheduler.h"
#include "watchprocess.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QProcess>
#include <QSet>

#include <cups/cups.h>

#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tarvel::testing {
namespace {

using LedgerBatchTest = BatchTest;

/// (race, lane, leg, items) of a certificate, as the log and the ledger both tell it: lanes
/// and legs from 1, -1 for no leg.
using Certificate = std::tuple<int, int, int, QStringList>;

QList<Certificate> ledgerCertificates(const TempMeet& meet)
{
    QList<Certificate> found;
    for (const LedgerEntry& entry : Ledger(meet.dataPath(u"tarvel-ledger.db"_qs)).entries()) {
        const LedgerCertificate& c = entry.certificate;
        found.prepend({c.heat, c.lane + 1, c.leg ? *c.leg + 1 : -1,
                       QStringList(c.items.begin(), c.items.end())});
    }
    return found;
}

TEST_F(LedgerBatchTest, ARunRecordsExactlyTheCertificatesDeliveredAndPreviewNothing)
{
    ASSERT_EQ(runBatch(arguments({u"--preview-only"_qs})).exitCode, 0);
    EXPECT_FALSE(QFile::exists(meet.dataPath(u"tarvel-ledger.db"_qs)));

    const Outcome outcome = runBatch(arguments());
    ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    QList<Certificate> logged;
    for (const QJsonObject& line : logLines()) {
        QStringList items;
        for (const QJsonValue& item : line[u"items"_qs].toArray())
            items << item.toString();
        logged.append({line[u"race"_qs].toInt(), line[u"lane"_qs].toInt(),
                       line[u"leg"_qs].isNull() ? -1 : line[u"leg"_qs].toInt(), items});
    }
    EXPECT_EQ(ledgerCertificates(meet), logged);
    // Each certificate with the document it went in: one PDF file per event.
    const QList<LedgerEntry> entries = Ledger(meet.dataPath(u"tarvel-ledger.db"_qs)).entries();
    QSet<QString> files;
    for (const LedgerEntry& entry : entries) {
        files.insert(entry.document.destination);
        EXPECT_EQ(entry.document.state, JobState::Written);
    }
    EXPECT_EQ(files.size(), 2);
}

TEST_F(LedgerBatchTest, ReprintsOfAnEventALaneAndALegGiveThosePagesAndTouchNoStatus)
{
    ASSERT_EQ(runBatch(arguments()).exitCode, 0);
    const QByteArray statuses = raceDat();
    const struct {
        const char* reprint;
        int pages;
        const char16_t* name; // on the last page (the given name: words come apart)
    } cases[] = {
        {"3", 4, u"四郎"},     // the relay: four legs
        {"3:1:2", 1, u"二郎"}, // its second leg only
        {"1:2", 1, u"二郎"},   // the swimmer of heat 1, lane 2
        {"2", 3, u"一郎"},     // the two-heat event, by its last heat
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reprint);
        QDir(pdfDir).removeRecursively();
        const Outcome outcome = runBatch({u"-C"_qs, meet.builder().workDir(), u"--pdf"_qs, pdfDir,
                                          u"--reprint"_qs, QString::fromLatin1(c.reprint)});
        ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
        const QStringList files = pdfFiles();
        ASSERT_EQ(files.size(), 1);
        EXPECT_EQ(pdfPageCount(pdfDir + u'/' + files[0]), c.pages);
        const QStringList pages = pdfText(pdfDir + u'/' + files[0]).split(u'\f');
        EXPECT_TRUE(pages[c.pages - 1].contains(QString::fromUtf16(c.name)))
            << qPrintable(pages[c.pages - 1]);
    }
    EXPECT_EQ(raceDat(), statuses);
    // Recorded as reprints, each naming the certificate it repeats.
    int reprints = 0;
    for (const LedgerEntry& entry : Ledger(meet.dataPath(u"tarvel-ledger.db"_qs)).entries())
        reprints += entry.certificate.reprintOf.has_value();
    EXPECT_EQ(reprints, 4 + 1 + 1 + 3);

    const Outcome nothing =
        runBatch({u"-C"_qs, meet.builder().workDir(), u"--reprint"_qs, u"9"_qs});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.err.contains(u"race 9"_qs)) << qPrintable(nothing.err);
}

TEST_F(LedgerBatchTest, TheHistoryIsListedNewestFirstAndWrittenAsCsv)
{
    const Outcome empty = runBatch({u"-C"_qs, meet.builder().workDir(), u"--history"_qs});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_TRUE(empty.out.isEmpty());
    ASSERT_EQ(runBatch(arguments()).exitCode, 0);

    const Outcome history = runBatch({u"-C"_qs, meet.builder().workDir(), u"--history"_qs});
    ASSERT_EQ(history.exitCode, 0) << qPrintable(history.err);
    const QStringList lines = history.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines.first().contains(u"青空　四郎"_qs)) << qPrintable(lines.first());
    EXPECT_TRUE(lines.last().contains(u"青空　三郎"_qs)) << qPrintable(lines.last());

    const QString csv = output.path() + u"/history.csv"_qs;
    ASSERT_EQ(
        runBatch({u"-C"_qs, meet.builder().workDir(), u"--history"_qs, u"--csv"_qs, csv}).exitCode,
        0);
    const QByteArray bytes = readFileBytes(csv);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(bytes.count("\r\n"), 8);
}

TEST_F(LedgerBatchTest, ALedgerThatCannotBeWrittenWarnsAndThePrintingGoesOn)
{
    ASSERT_TRUE(QDir().mkpath(meet.dataPath(u"tarvel-ledger.db"_qs))); // a folder in its place
    const Outcome outcome = runBatch(arguments());
    EXPECT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(u"certificate ledger could not be written"_qs))
        << qPrintable(outcome.err);
    EXPECT_EQ(pdfFiles().size(), 2);
    EXPECT_EQ(raceDat().left(4), QByteArray("9999"));
}

/// Watching that reads Race.dat often.
const QStringList kQuickWatch{u"--interval"_qs, u"200"_qs};

TEST_F(LedgerBatchTest, WatchingTellsALedgerHeldByAnotherDeskAtOnceAndLosesNothing)
{
    const QString path = meet.dataPath(u"tarvel-ledger.db"_qs);
    {
        Ledger created(path);
    }
    auto otherDesk = std::make_unique<sql::Database>(path, sql::Database::Mode::ReadWrite, 0);
    otherDesk->execute("BEGIN EXCLUSIVE");
    WatchProcess watch(arguments(), kQuickWatch);
    // Told while watching, not at the end; the printing goes on meanwhile.
    ASSERT_TRUE(watch.says(u"certificate ledger could not be written"_qs))
        << qPrintable(watch.err());
    ASSERT_TRUE(watch.says(u"event(s) printed"_qs)) << qPrintable(watch.err());
    otherDesk.reset();
    ASSERT_TRUE(watch.says(u"written again; nothing was lost"_qs)) << qPrintable(watch.err());
    EXPECT_EQ(watch.stop(SIGTERM), 0);
    EXPECT_EQ(watch.err().count(u"could not be written"_qs), 1) << qPrintable(watch.err());
    EXPECT_EQ(Ledger(path).entries().size(), logLines().size());
    EXPECT_EQ(logLines().size(), 7);
}

TEST_F(LedgerBatchTest, ASymbolicLinkNamedAsTheLedgerIsNeitherFollowedNorCreated)
{
    const QString target = output.path() + u"/planted.db"_qs;
    ASSERT_TRUE(QFile::link(target, meet.dataPath(u"tarvel-ledger.db"_qs)));
    const Outcome outcome = runBatch(arguments());
    EXPECT_TRUE(outcome.err.contains(u"symbolic link"_qs)) << qPrintable(outcome.err);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(pdfFiles().size(), 2); // the printing itself went on
}

TEST(JobStateClientTest, ASchedulerThatDoesNotAnswerIsGivenUpWithinTheDeadline)
{
    // A socket that takes connections and never answers, as a stopped scheduler does.
    QTemporaryDir dir;
    const QByteArray socketPath = QFile::encodeName(dir.path() + u"/silent.sock"_qs);
    const int silent = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(silent, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(silent, 8), 0);
    cupsSetServer(socketPath.constData());

    cups::JobStateClient client(std::chrono::milliseconds(800));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(client.state(1).has_value());
    EXPECT_LT(clock.elapsed(), 5000);
    clock.restart();
    for (int job = 2; job <= 20; ++job)
        EXPECT_FALSE(client.state(job).has_value()); // not asked again at once
    EXPECT_LT(clock.elapsed(), 500);
    cupsSetServer(nullptr);
    ::close(silent);
}

class LedgerSchedulerTest : public BatchTest {
protected:
    void SetUp() override
    {
        const QString why = cups.start();
        if (!why.isEmpty())
            GTEST_SKIP() << "no private CUPS scheduler here: " << why.toStdString();
        BatchTest::SetUp();
        cups.addFileQueue(u"desk"_qs, true);
        cups.tool(u"cupsdisable"_qs, {u"desk"_qs}); // jobs are accepted and wait
    }
    QStringList onPrinter() const
    {
        return {u"-C"_qs, meet.builder().workDir(), u"--log"_qs, logFile};
    }
    QList<LedgerEntry> entries() const
    {
        return Ledger(meet.dataPath(u"tarvel-ledger.db"_qs)).entries();
    }
    /// The job ids of the ledger, oldest first.
    QList<int> jobs() const
    {
        QList<int> ids;
        for (const LedgerEntry& entry : entries()) {
            if (!ids.contains(entry.document.jobId))
                ids.prepend(entry.document.jobId);
        }
        return ids;
    }
    JobState stateOf(int jobId) const
    {
        for (const LedgerEntry& entry : entries()) {
            if (entry.document.jobId == jobId)
                return entry.document.state;
        }
        return JobState::Written;
    }

    PrivateScheduler cups;
};

TEST_F(LedgerSchedulerTest, HistoryLearnsWhatBecameOfJobsAnotherRunSent)
{
    const Outcome run = runBatch(onPrinter(), cups.clientEnvironment());
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const QList<int> sent = jobs();
    ASSERT_EQ(sent.size(), 2);
    cups.tool(u"cancel"_qs, {QString::number(sent[0])});
    cups.tool(u"lp"_qs, {u"-i"_qs, QString::number(sent[1]), u"-H"_qs, u"hold"_qs});

    QProcessEnvironment english = cups.clientEnvironment();
    english.insert(u"LC_ALL"_qs, u"C.UTF-8"_qs);
    const Outcome history =
        runBatch({u"-C"_qs, meet.builder().workDir(), u"--history"_qs}, english);
    ASSERT_EQ(history.exitCode, 0) << qPrintable(history.err);
    EXPECT_TRUE(history.err.contains(u"print job %1 "_qs.arg(sent[0]))) << qPrintable(history.err);
    EXPECT_EQ(stateOf(sent[0]), JobState::Canceled);
    EXPECT_EQ(stateOf(sent[1]), JobState::Held);

    cups.tool(u"lp"_qs, {u"-i"_qs, QString::number(sent[1]), u"-H"_qs, u"resume"_qs});
    cups.tool(u"cupsenable"_qs, {u"desk"_qs});
    ASSERT_TRUE(cups.waitUntilIdle());
    const Outcome again = runBatch({u"-C"_qs, meet.builder().workDir(), u"--history"_qs}, english);
    EXPECT_EQ(stateOf(sent[1]), JobState::Completed);
    EXPECT_FALSE(again.err.contains(u"print job"_qs)) << "told twice: " << qPrintable(again.err);
}

TEST_F(LedgerSchedulerTest, WatchingTellsAJobCanceledAfterItWasAcceptedOnce)
{
    WatchProcess watch(onPrinter(), kQuickWatch, cups.clientEnvironment());
    ASSERT_TRUE(watch.says(u"event(s) printed"_qs)) << qPrintable(watch.err());
    QList<int> sent;
    // Each look opens the ledger the watcher writes: not too often.
    eventually([&] { return (sent = jobs()).size() >= 2; }, std::chrono::seconds(10),
               std::chrono::milliseconds(50));
    ASSERT_EQ(sent.size(), 2);
    cups.tool(u"cancel"_qs, {QString::number(sent[1])});
    const QString told = u"print job %1 "_qs.arg(sent[1]);
    ASSERT_TRUE(watch.says(told)) << qPrintable(watch.err());
    // Some polls later, still told once.
    watch.says(u"never said"_qs, 1, 7000);
    EXPECT_EQ(watch.stop(SIGTERM), 0);
    EXPECT_EQ(watch.err().count(told), 1) << qPrintable(watch.err());
    EXPECT_EQ(stateOf(sent[1]), JobState::Canceled);
    EXPECT_EQ(entries().size(), 7); // every page the scheduler received, recorded once
}

} // namespace
} // namespace tarvel::testing
