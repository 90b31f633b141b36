#include "batch/ledgercommands.h"

#include "batch/batchtools.h"
#include "batch/printcommand.h"
#include "ledger/historyexport.h"
#include "ledger/jobwatch.h"
#include "ledger/reprint.h"
#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/qt/cupsjobs.h"
#include "platform/qt/fonts.h"
#include "platform/words.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>

#include <cstdio>

namespace tarvel::batch {

namespace {

/// The meet's ledger, when it exists: reading the history must not create one.
std::unique_ptr<Ledger> existingLedger(const Session& session)
{
    const QString path = hostPath(session.where.dataFile(QString::fromUtf16(kLedgerFileName)));
    if (!QFileInfo(path).isFile()) {
        say(Words::tr("no certificate has been recorded for this meet yet (there is no %1)")
                .arg(path));
        return nullptr;
    }
    return std::make_unique<Ledger>(path);
}

/// Asks the scheduler after every job still pending in the ledger, whichever desk sent it,
/// so that the history tells what became of them; jobs that failed are told on stderr.
void refreshPendingJobs(Ledger& ledger)
{
    auto client = std::make_shared<cups::JobStateClient>();
    JobWatch watch([&ledger] { return std::make_unique<Ledger>(ledger.path()); },
                   [client](int jobId) { return client->state(jobId); }, cups::schedulerName(),
                   QSysInfo::machineHostName());
    for (const OpenJob& job : watch.poll().failed)
        say(failedJobText(job));
}

} // namespace

QString failedJobText(const OpenJob& job)
{
    return Words::tr("print job %1 (%2) on %3 was %4: its certificates did not come out; "
                     "print them again from the history")
        .arg(job.jobId)
        .arg(job.title, job.destination,
             job.state == JobState::Aborted ? Words::tr("aborted") : Words::tr("canceled"));
}

int showHistory(const Request& request, const Session& session)
{
    try {
        const std::unique_ptr<Ledger> ledger = existingLedger(session);
        if (ledger)
            refreshPendingJobs(*ledger);
        const QList<LedgerEntry> entries = ledger ? ledger->entries() : QList<LedgerEntry>();
        // Documents without certificates (award lists, test pages) have lines of their own.
        const QList<QStringList> rows =
            historyRows(entries, ledger ? ledger->documents() : QList<LedgerDocumentEntry>());
        if (request.csvFile) {
            QSaveFile csv(*request.csvFile);
            if (!csv.open(QIODevice::WriteOnly) || csv.write(historyCsv(rows)) < 0
                || !csv.commit()) {
                say(Words::tr("writing the CSV file: %1: %2")
                        .arg(*request.csvFile, csv.errorString()));
                return kFailed;
            }
            say(Words::tr("%1 certificate(s) written to %2")
                    .arg(entries.size())
                    .arg(*request.csvFile));
            return kDone;
        }
        for (const QStringList& row : rows)
            std::fputs((historyLine(row) + u'\n').toUtf8().constData(), stdout);
    } catch (const Failure& failure) {
        say(failure.message());
        return kFailed;
    }
    return kDone;
}

void followLedger(Desk& desk, std::function<QString()> prefix)
{
    QObject::connect(
        &desk, &Desk::ledgerTroubleChanged, [prefix](const std::optional<Failure>& failure) {
            if (failure)
                say(prefix()
                    + Words::tr("warning: the certificate ledger could not be written; the "
                                "certificates are kept and written once it can be: %1")
                          .arg(failure->message()));
            else
                say(prefix()
                    + Words::tr("the certificate ledger is written again; nothing was lost"));
        });
    QObject::connect(&desk, &Desk::jobsPolled, [prefix](const JobPoll& outcome) {
        for (const OpenJob& job : outcome.failed)
            say(prefix() + failedJobText(job));
    });
}

int reprintFromLedger(const Request& request, const Session& session)
{
    try {
        const std::unique_ptr<Ledger> ledger = existingLedger(session);
        const ReprintChoice& choice = request.reprint;
        const QList<LedgerEntry> entries =
            ledger ? ledger->entriesOfRace(choice.raceNo, choice.lane, choice.leg)
                   : QList<LedgerEntry>();
        if (entries.isEmpty()) {
            say(Words::tr("the ledger holds no certificate printed for %1")
                    .arg(choice.lane ? choice.leg ? Words::tr("race %1, lane %2, leg %3")
                                                        .arg(choice.raceNo)
                                                        .arg(*choice.lane + 1)
                                                        .arg(*choice.leg + 1)
                                                  : Words::tr("race %1, lane %2")
                                                        .arg(choice.raceNo)
                                                        .arg(*choice.lane + 1)
                                     : Words::tr("race %1").arg(choice.raceNo)));
            return kFailed;
        }
        Desk desk(session, batchServices(request));
        RunRequest reprint = desk.newRequest(RunKind::Reprint);
        reprint.reprint = entries;
        const RunOutcome outcome = desk.runAndWait(std::move(reprint));
        if (outcome.failure)
            throw *outcome.failure;
        say(Words::tr("%1 certificate(s) printed again: %2")
                .arg(entries.size())
                .arg(outcome.deliveries.isEmpty() ? QString()
                                                  : outcome.deliveries.last().destination));
        if (outcome.ledgerFailure)
            say(Words::tr("warning: the reprint could not be recorded in the certificate "
                          "ledger: %1")
                    .arg(outcome.ledgerFailure->message()));
    } catch (const Failure& failure) {
        say(failure.message());
        return kFailed;
    }
    return kDone;
}

} // namespace tarvel::batch
