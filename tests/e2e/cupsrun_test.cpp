// Whole print runs of the sample meet onto a private CUPS scheduler: what the scheduler
// accepted is exactly what Race.dat marks.
#include "batchprocess.h"
#include "eventually.h"
#include "ledger/jobwatch.h"
#include "ledger/ledgerrecorder.h"
#include "meetdb/racestatus.h"
#include "naming/racerecord.h"
#include "platform/qt/cupsjobs.h"
#include "platform/qt/printtarget.h"
#include "poppler.h"
#include "printrun/printrun.h"
#include "privatescheduler.h"
#include "samplemeet.h"
#include "tempmeet.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSysInfo>

#include <csignal>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

/// The races "R012 ..." of the spooled documents' titles, in job order.
QList<int> spooledEvents(const PrivateScheduler& cups)
{
    static const QRegularExpression title(uR"(Title:\s+R(\d+) )"_qs);
    QList<int> races;
    for (const QString& document : cups.spooledDocuments())
        races << title.match(runTool(u"pdfinfo"_qs, {document})).captured(1).toInt();
    return races;
}

int spooledPages(const PrivateScheduler& cups)
{
    int pages = 0;
    for (const QString& document : cups.spooledDocuments())
        pages += pdfPageCount(document);
    return pages;
}

/// The races whose status is "9".
QSet<int> markedRaces(const TempMeet& meet)
{
    const QByteArray statuses = readFileBytes(meet.dataPath(u"Race.dat"_qs));
    QSet<int> marked;
    for (int raceNo = 1; raceNo <= statuses.size(); ++raceNo) {
        if (statuses[raceNo - 1] == kRacePrinted)
            marked << raceNo;
    }
    return marked;
}

class CupsRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString why = cups.start();
        if (!why.isEmpty())
            GTEST_SKIP() << "no private CUPS scheduler here: " << why.toStdString();
        sample::writeSampleMeet(meet.builder());
        raceDatBefore = readFileBytes(meet.dataPath(u"Race.dat"_qs));
    }

    BatchOutcome batch() const
    {
        return runBatch({u"-C"_qs, meet.builder().workDir()}, cups.clientEnvironment());
    }

    /// The meet's session, started in its folder as the window starts it (the current
    /// folder is left as it was).
    Session meetSession() const
    {
        const QString home = QDir::currentPath();
        QDir::setCurrent(meet.builder().workDir());
        Session session = startSession();
        QDir::setCurrent(home);
        return session;
    }

    /// The default printer, the private scheduler's queue once useInThisProcess() was called.
    PrintTarget defaultPrinter() const
    {
        return openDefaultPrintTarget(meet.dataPath(u"certificates"_qs));
    }

    /// The races of the event whose last heat is `lastHeat`.
    QList<int> racesOfEvent(int lastHeat) const
    {
        const RaceRecord race = loadRace(meet.locations(), lastHeat);
        QList<int> races;
        for (int raceNo = lastHeat - race.heatCount + 1; raceNo <= lastHeat; ++raceNo)
            races << raceNo;
        return races;
    }

    PrivateScheduler cups;
    TempMeet meet;
    QByteArray raceDatBefore;
};

TEST_F(CupsRunTest, AnAcceptingQueueGetsOneJobPerEventNamedAfterIt)
{
    cups.addFileQueue(u"desk"_qs, true);
    const BatchOutcome outcome = batch();
    ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(u"36 event(s) printed, 195 certificate(s) on 195 page(s); "
                                     u"61 race(s) marked"_qs))
        << qPrintable(outcome.err);

    const QList<int> events = spooledEvents(cups);
    EXPECT_EQ(events.size(), 36);
    EXPECT_EQ(QSet<int>(events.begin(), events.end()).size(), 36) << "an event sent twice";
    EXPECT_EQ(spooledPages(cups), 195);
    EXPECT_EQ(markedRaces(meet).size(), 61);
    ASSERT_TRUE(cups.waitUntilIdle());
    EXPECT_EQ(cups.pageLog().size(), 36);
}

TEST_F(CupsRunTest, ARejectingQueueStopsTheRunAndRaceDatStaysByteForByte)
{
    cups.addFileQueue(u"desk"_qs, true);
    cups.tool(u"cupsreject"_qs, {u"desk"_qs});
    const BatchOutcome outcome = batch();
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(outcome.err.contains(u"desk: Destination \"desk\" is not accepting jobs"_qs))
        << qPrintable(outcome.err);
    EXPECT_EQ(readFileBytes(meet.dataPath(u"Race.dat"_qs)), raceDatBefore);
    EXPECT_TRUE(cups.spooledDocuments().isEmpty());
    // Nothing delivered, nothing in the ledger.
    if (QFile::exists(meet.dataPath(u"tarvel-ledger.db"_qs))) {
        EXPECT_TRUE(Ledger(meet.dataPath(u"tarvel-ledger.db"_qs)).entries().isEmpty());
    }
}

/// Stops the printer once two events were marked (it still takes jobs, which wait) and makes
/// it refuse jobs once four were.
class PrinterStopper : public RunObserver {
public:
    PrinterStopper(const PrivateScheduler& cups, QSet<int> lastHeats)
        : cups_(cups)
        , lastHeats_(std::move(lastHeats))
    {
    }
    void raceMarked(int raceNo) override
    {
        if (!lastHeats_.contains(raceNo))
            return;
        ++events_;
        if (events_ == 2)
            cups_.tool(u"cupsdisable"_qs, {u"desk"_qs});
        if (events_ == 4)
            cups_.tool(u"cupsreject"_qs, {u"desk"_qs});
    }

private:
    const PrivateScheduler& cups_;
    QSet<int> lastHeats_;
    int events_ = 0;
};

/// Keeps the races of the certificates.
class CertificateRaces : public RunObserver {
public:
    void certificateAccepted(const AcceptedCertificate& certificate) override
    {
        races << certificate.raceNo;
    }
    QSet<int> races;
};

TEST_F(CupsRunTest, AQueueStoppedMidRunMarksExactlyTheEventsWhoseJobsItAccepted)
{
    cups.addFileQueue(u"desk"_qs, true);
    cups.useInThisProcess();
    Session session = meetSession();
    PrintTarget printer = defaultPrinter();
    PrintOptions options;
    options.rankLimitIndividual = session.layout.rankLimitIndividual;
    options.rankLimitRelay = session.layout.rankLimitRelay;

    const auto lastHeatOf = [&](int raceNo) {
        const RaceRecord race = loadRace(session.where, raceNo);
        return raceNo - race.heatNo + race.heatCount;
    };
    // Which events have certificates at all: a preview-only run, which marks nothing.
    PrintOptions preview = options;
    preview.previewOnly = PreviewOnly::Yes;
    CertificateRaces certificates;
    PrintRun(session, preview, *printer.device, nullptr, &certificates);
    QSet<int> withCertificates, lastHeats;
    for (int raceNo : certificates.races)
        withCertificates << lastHeatOf(raceNo);
    for (int raceNo = 1; raceNo <= 61; ++raceNo)
        lastHeats << lastHeatOf(raceNo);

    PrinterStopper stopper(cups, lastHeats);
    EXPECT_THROW(PrintRun(session, options, *printer.device, nullptr, &stopper), RunStopped);

    const QList<int> accepted = spooledEvents(cups);
    ASSERT_GE(accepted.size(), 2);
    const QSet<int> marked = markedRaces(meet);
    for (int lastHeat : accepted) {
        for (int raceNo : racesOfEvent(lastHeat))
            EXPECT_TRUE(marked.contains(raceNo)) << "accepted, not marked: " << raceNo;
    }
    // Every other mark is of an event that needed no job.
    for (int raceNo : marked) {
        const int lastHeat = lastHeatOf(raceNo);
        EXPECT_TRUE(accepted.contains(lastHeat) || !withCertificates.contains(lastHeat))
            << "marked without its job: " << raceNo;
    }
    EXPECT_LT(accepted.size(), withCertificates.size()) << "the refusal stopped nothing";
    // The jobs on the stopped printer wait there, accepted.
    EXPECT_FALSE(cups.tool(u"lpstat"_qs, {u"-o"_qs}).trimmed().isEmpty());
}

TEST_F(CupsRunTest, JobStatesFollowTheSchedulersQueueIntoTheLedger)
{
    // A run onto a stopped printer: its jobs are accepted and wait.
    cups.addFileQueue(u"desk"_qs, true);
    cups.tool(u"cupsdisable"_qs, {u"desk"_qs});
    cups.useInThisProcess();
    Session session = meetSession();
    PrintTarget printer = defaultPrinter();
    PrintOptions options;
    options.rankLimitIndividual = u"1"_qs;
    options.rankLimitRelay = u"1"_qs;
    const auto openLedger = [&session] { return std::make_unique<Ledger>(session.where); };
    LedgerRecorder recorder(openLedger, u"another desk"_qs);
    recorder.setScheduler(cups::schedulerName());
    PrintRun(session, options, *printer.device, nullptr, &recorder);
    recorder.finish();
    ASSERT_EQ(recorder.waitingDocuments(), 0) << recorder.currentFailure()->what();
    // Asked by a program run that sent none of the jobs, over a connection of its own.
    cups::JobStateClient client;
    JobWatch watch(
        openLedger, [&client](int jobId) { return client.state(jobId); }, cups::schedulerName(),
        QSysInfo::machineHostName());
    EXPECT_TRUE(watch.poll().failed.isEmpty());
    Ledger ledger(session.where);
    const auto pending = [&] {
        return ledger.pendingJobs(cups::schedulerName(), QSysInfo::machineHostName());
    };
    const QList<OpenJob> waiting = pending();
    ASSERT_EQ(waiting.size(), 36);
    for (const OpenJob& job : waiting)
        EXPECT_TRUE(job.state == JobState::Pending || job.state == JobState::Stopped);

    // One cancelled: told once as failed; the rest printed once the printer is started.
    cups.tool(u"cancel"_qs, {QString::number(waiting[5].jobId)});
    const QList<OpenJob> failed = watch.poll().failed;
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0].documentId, waiting[5].documentId);
    EXPECT_EQ(failed[0].state, JobState::Canceled);
    EXPECT_TRUE(watch.poll().failed.isEmpty());
    cups.tool(u"cupsenable"_qs, {u"desk"_qs});
    ASSERT_TRUE(cups.waitUntilIdle());
    watch.poll();
    EXPECT_TRUE(pending().isEmpty());
    QMap<JobState, int> states;
    for (const LedgerEntry& entry : ledger.entries())
        states[entry.document.state] += 1;
    EXPECT_EQ(states.keys(), (QList<JobState>{JobState::Canceled, JobState::Completed}));
}

TEST_F(CupsRunTest, AClassOfTwoQueuesSpreadsTheJobsAndEveryPageArrivesOnce)
{
    cups.addFileQueue(u"left"_qs, false);
    cups.addFileQueue(u"right"_qs, false);
    for (const QString& member : {u"left"_qs, u"right"_qs})
        cups.tool(u"lpadmin"_qs, {u"-p"_qs, member, u"-c"_qs, u"desk"_qs});
    cups.tool(u"cupsenable"_qs, {u"desk"_qs});
    cups.tool(u"cupsaccept"_qs, {u"desk"_qs});
    cups.tool(u"lpadmin"_qs, {u"-d"_qs, u"desk"_qs});

    const BatchOutcome outcome = batch();
    ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    ASSERT_TRUE(cups.waitUntilIdle());
    const QMap<int, QString> printers = cups.jobPrinters();
    EXPECT_EQ(printers.size(), 36);
    EXPECT_EQ(printers.values().count(u"left"_qs) + printers.values().count(u"right"_qs), 36);
    EXPECT_GT(printers.values().count(u"left"_qs), 0);
    EXPECT_GT(printers.values().count(u"right"_qs), 0);
    EXPECT_EQ(spooledPages(cups), 195);
    EXPECT_EQ(markedRaces(meet).size(), 61);
}

/// What befalls the scheduler around a run that cannot be delivered.
enum class Fault { FrozenBefore, FrozenDuring, KilledDuring, SocketMissing, GhostDefault };

struct FaultCase {
    const char* name;
    Fault fault;
    QString told; ///< a pattern of the message, besides the scheduler or printer it names
};

class SchedulerFaultTest : public CupsRunTest, public ::testing::WithParamInterface<FaultCase> {};

/// How long one scheduler call may wait in these runs.
constexpr int kDeadlineMs = 1000;

TEST_P(SchedulerFaultTest, TheRunFailsWithinTheDeadlineNamingItAndMarksNothingUndelivered)
{
    cups.addFileQueue(u"desk"_qs, true);
    const Fault fault = GetParam().fault;
    QProcessEnvironment environment = cups.clientEnvironment();
    environment.insert(u"TARVEL_SCHEDULER_DEADLINE_MS"_qs, QString::number(kDeadlineMs));
    environment.insert(u"LC_ALL"_qs, u"C.UTF-8"_qs);
    QString named = cups.socket();
    if (fault == Fault::SocketMissing) {
        named = cups.root() + u"/gone.sock"_qs;
        environment.insert(u"CUPS_SERVER"_qs, named);
    }
    if (fault == Fault::GhostDefault) {
        named = u"ghost"_qs;
        environment.insert(u"LPDEST"_qs, named);
    }
    if (fault == Fault::FrozenBefore)
        cups.freeze();

    QProcess batch;
    batch.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    batch.start(batchProgram(), {u"-C"_qs, meet.builder().workDir()});
    ASSERT_TRUE(batch.waitForStarted());
    if (fault == Fault::FrozenDuring || fault == Fault::KilledDuring) {
        // Strike once the scheduler has taken a few jobs.
        eventually(
            [&] {
                return cups.spooledDocuments().size() >= 3 || batch.state() != QProcess::Running;
            },
            std::chrono::seconds(60), std::chrono::milliseconds(10));
        ASSERT_EQ(batch.state(), QProcess::Running) << "the run ended before the fault";
        clock.restart();
        fault == Fault::FrozenDuring ? cups.freeze() : cups.kill();
    }
    ASSERT_TRUE(batch.waitForFinished(60000));
    const qint64 elapsed = clock.elapsed();
    const QString err = QString::fromUtf8(batch.readAllStandardError());

    EXPECT_EQ(batch.exitCode(), 1) << qPrintable(err);
    // One deadline for the call in hand; the documents queued behind it fail with it.
    EXPECT_LT(elapsed, kDeadlineMs + 3000) << qPrintable(err);
    EXPECT_TRUE(err.contains(QRegularExpression(GetParam().told))) << qPrintable(err);
    EXPECT_FALSE(err.contains(u"Invalid argument"_qs) || err.contains(u"Success"_qs))
        << qPrintable(err);
    EXPECT_TRUE(err.contains(named)) << qPrintable(err);
    EXPECT_FALSE(QFileInfo::exists(meet.dataPath(u"certificates"_qs))) << "PDF files instead";

    // The events the account names as unprinted (the one in hand first) keep their status.
    QList<int> left;
    bool inUnprinted = false;
    for (const QString& line : err.split(u'\n')) {
        if (line.contains(u"Left unprinted"_qs)) {
            inUnprinted = true;
        } else if (inUnprinted && line.startsWith(u"tarvel-batch:   R"_qs)) {
            static const QRegularExpression race(u"R(\\d+) "_qs);
            left << race.match(line).captured(1).toInt();
        } else {
            inUnprinted = false;
        }
    }
    const QByteArray raceDat = readFileBytes(meet.dataPath(u"Race.dat"_qs));
    for (int lastHeat : left) {
        for (int raceNo : racesOfEvent(lastHeat))
            EXPECT_EQ(raceDat[raceNo - 1], raceDatBefore[raceNo - 1]) << "marked: " << raceNo;
    }
    if (fault == Fault::FrozenDuring || fault == Fault::KilledDuring) {
        EXPECT_FALSE(left.isEmpty()) << qPrintable(err);
    } else {
        EXPECT_EQ(raceDat, raceDatBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SchedulerFaultTest,
    ::testing::Values(
        FaultCase{"FrozenBeforeTheRun", Fault::FrozenBefore, u"did not answer within 1 seconds"_qs},
        FaultCase{"FrozenDuringTheRun", Fault::FrozenDuring, u"did not answer within 1 seconds"_qs},
        // Killed during a call, or between two (the next one cannot connect).
        FaultCase{"KilledDuringTheRun", Fault::KilledDuring,
                  u"went away and no longer answers|does not accept connections"_qs},
        FaultCase{"SocketNotThere", Fault::SocketMissing, u"is not running"_qs},
        FaultCase{"DefaultPrinterThatDoesNotExist", Fault::GhostDefault,
                  u"the default printer \\(set by LPDEST\\) does not exist"_qs}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST_F(CupsRunTest, AStoppedPrinterTakesTheJobsAndTheRunWarnsWithTheWaitingCount)
{
    cups.addFileQueue(u"desk"_qs, true);
    cups.tool(u"cupsdisable"_qs, {u"desk"_qs});
    QProcessEnvironment environment = cups.clientEnvironment();
    environment.insert(u"LC_ALL"_qs, u"C.UTF-8"_qs);
    const BatchOutcome outcome = runBatch({u"-C"_qs, meet.builder().workDir()}, environment);
    EXPECT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    EXPECT_EQ(markedRaces(meet).size(), 61) << "accepted jobs are delivered, waiting or not";
    EXPECT_TRUE(outcome.err.contains(u"warning: the printer desk is stopped ("_qs))
        << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(u"); 36 job(s) wait on it"_qs)) << qPrintable(outcome.err);
}

TEST_F(CupsRunTest, WatchingEndsOnSigtermWhileTheSchedulerDoesNotAnswer)
{
    cups.addFileQueue(u"desk"_qs, true);
    cups.freeze();
    QProcessEnvironment environment = cups.clientEnvironment();
    environment.insert(u"TARVEL_SCHEDULER_DEADLINE_MS"_qs, u"120000"_qs);
    environment.insert(u"LC_ALL"_qs, u"C.UTF-8"_qs);
    QProcess watcher;
    watcher.setProcessEnvironment(environment);
    watcher.start(batchProgram(), {u"-C"_qs, meet.builder().workDir(), u"--watch"_qs});
    ASSERT_TRUE(watcher.waitForStarted());
    QString err;
    const QDeadlineTimer started(30000);
    while (!err.contains(u"watching"_qs) && !started.hasExpired()
           && watcher.state() == QProcess::Running) {
        watcher.waitForReadyRead(100);
        err += QString::fromUtf8(watcher.readAllStandardError());
    }
    ASSERT_TRUE(err.contains(u"watching"_qs)) << qPrintable(err);
    // The first run is under way once it holds the meet (its note names the process); it
    // cannot end while the scheduler answers nothing.
    const QByteArray holder = "pid=" + QByteArray::number(watcher.processId()) + '\n';
    const auto runBegun = [&] {
        QFile lock(meet.dataPath(u"tarvel.lock"_qs));
        return lock.open(QIODevice::ReadOnly) && lock.readAll().contains(holder);
    };
    const QDeadlineTimer deadline(30000);
    while (!runBegun() && !deadline.hasExpired() && watcher.state() == QProcess::Running)
        watcher.waitForReadyRead(20);
    ASSERT_TRUE(runBegun()) << qPrintable(err);

    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(watcher.processId()), SIGTERM);
    ASSERT_TRUE(watcher.waitForFinished(30000));
    err += QString::fromUtf8(watcher.readAllStandardError());
    EXPECT_LT(clock.elapsed(), 5000) << qPrintable(err);
    EXPECT_EQ(watcher.exitCode(), 0) << qPrintable(err);
    EXPECT_TRUE(err.contains(u"watching ended"_qs)) << qPrintable(err);
    EXPECT_EQ(readFileBytes(meet.dataPath(u"Race.dat"_qs)), raceDatBefore);
}

} // namespace
} // namespace tarvel::testing
