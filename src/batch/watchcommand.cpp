#include "batch/watchcommand.h"

#include "batch/batchobserver.h"
#include "batch/batchtools.h"
#include "batch/ceremonycommand.h"
#include "batch/ledgercommands.h"
#include "batch/printcommand.h"
#include "batch/servecommand.h"
#include "platform/paths.h"
#include "platform/qt/cupsjobs.h"
#include "platform/stopsignals.h"
#include "platform/words.h"

#include <QCoreApplication>
#include <QDir>

namespace tarvel::batch {

int runWatch(const Request& request, Session& session)
{
    QFile log;
    const std::optional<RunStart> start = startRun(request, session, log, QIODevice::Append);
    if (!start)
        return kFailed;
    const PrintOptions& options = start->options;
    // The printer is looked up by each run: a scheduler that does not answer fails that run,
    // and the next is tried as for a refusing queue.
    DeskServices services = batchServices(request, Lookup::BeforeFirstDocument);
    services.watchTiming.interval = std::chrono::milliseconds(request.watchInterval);
    // Short waits: a stop signal ends the watching after the question under way.
    auto jobs = std::make_shared<cups::JobStateClient>(std::chrono::seconds(3));
    services.jobState = [jobs](int jobId) { return jobs->state(jobId); };
    Desk desk(session, std::move(services));
    followLedger(desk, timeStamp);
    StopSignals signals;
    // Used on the watcher's thread, one run at a time.
    BatchObserver observer(log.isOpen() ? &log : nullptr, stderrIsTerminal()
                                                              ? BatchObserver::Progress::Shown
                                                              : BatchObserver::Progress::Hidden);
    bool busyTold = false;
    RunRequest watch = desk.newRequest(RunKind::ReadyRaces);
    watch.options = options;
    watch.ceremonyList = start->lists;
    watch.observer = &observer;
    watch.eCertificates = request.eCertificates;
    watch.whenDone = [&](const RunOutcome& run) {
        observer.finishProgress();
        if (log.isOpen())
            log.flush();
        const bool busy = isBusy(run);
        if (busy && busyTold)
            return; // another desk prints this meet: told once until it is done
        busyTold = busy;
        const QString stamp = timeStamp();
        if (run.failure)
            say(stamp + run.failure->message());
        if (busy)
            return;
        sayAccount(run, options, desk, stamp);
        sayECertificates(run, session, stamp);
        sayPrinterTrouble(run, options, desk, stamp);
    };
    QObject::connect(&desk, &Desk::unreachable, [](const QString& why) {
        say(timeStamp()
            + Words::tr("waiting for the data folder (unreachable for more than 10 "
                        "seconds): %1")
                  .arg(why));
    });
    QObject::connect(&desk, &Desk::reachableAgain, [] {
        say(timeStamp() + Words::tr("the data folder is reachable again; watching goes on"));
    });
    // A stop signal ends a wait on the printer at once and the watching after the event in
    // hand. It is read here only, on this thread: a run that read the signal itself would
    // leave nobody to end the watching.
    QObject::connect(&signals, &StopSignals::arrivedNow, &desk, &Desk::stop);
    // Said once the stop was asked (connected after it): the event in hand may take a while.
    QObject::connect(&signals, &StopSignals::arrivedNow, [] {
        say(timeStamp() + Words::tr("stopping: watching ends after the event in hand"));
    });
    QObject::connect(&desk, &Desk::watchingStopped, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
    // Serving begins before watching: a port that is taken ends the command at once.
    std::unique_ptr<web::VenueService> venue;
    if (request.serve && !(venue = startVenue(request, desk, timeStamp)))
        return kFailed;
    if (venue)
        sayPageRuns(desk, options);
    say(timeStamp()
        + Words::tr("watching %1 (every %2 ms); stop with Ctrl+C")
              .arg(QDir::toNativeSeparators(
                  hostPath(session.where.dataFile(QString::fromUtf16(kRaceStatusFile)))))
              .arg(request.watchInterval));
    desk.startWatching(std::move(watch));
    if (!signals.arrived())
        QCoreApplication::exec();
    if (venue)
        venue->stop();
    desk.finishRecording();
    say(timeStamp() + Words::tr("watching ended"));
    if (!finishLog(request, log))
        return kFailed;
    sayLedgerTrouble(desk);
    return kDone;
}

} // namespace tarvel::batch
