#include "batch/watchcommand.h"

#include "batch/batchobserver.h"
#include "batch/batchtools.h"
#include "batch/printcommand.h"
#include "platform/paths.h"
#include "platform/stopsignals.h"
#include "platform/words.h"
#include "printrun/runobservers.h"
#include "watcher/autoprinter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

namespace tarvel::batch {

namespace {

/// "[2026-12-08 10:15:03] ", put before every line a watching run tells.
QString timeStamp()
{
    return u"["_qs + QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_qs) + u"] "_qs;
}

/// A stop signal asks the run in hand to stop after its event, even while the event loop
/// waits for the run.
class StopSignalObserver final : public RunObserver {
public:
    explicit StopSignalObserver(StopSignals& signals) : signals_(signals) {}
    bool stopRequested() const override { return signals_.arrived(); }

private:
    StopSignals& signals_;
};

} // namespace

int runWatch(const Request& request, Session& session)
{
    const PrintOptions options = requestedOptions(request, session);
    QFile log;
    if (!openLog(request, log, QIODevice::Append))
        return kFailed;
    // The printer is looked up by each run: a scheduler that does not answer fails that run,
    // and the next is tried as for a refusing queue.
    PrintTarget target = openCertificateTarget(request, session, Lookup::BeforeFirstDocument);
    const DataLocations where = session.where;
    LedgerRecorder recorder([where] { return std::make_unique<Ledger>(where); });
    StopSignals signals;
    StopSignalObserver stopSignal(signals);
    // The run in hand may be waiting on the scheduler, with no event loop to see the signal.
    PrintDevice& device = *target.device;
    signals.alsoOnArrival([&device] { device.cancelWaiting(); });
    const BatchObserver::Progress progress =
        stderrIsTerminal() ? BatchObserver::Progress::Shown : BatchObserver::Progress::Hidden;

    AutoPrinter::Timing timing;
    timing.interval = std::chrono::milliseconds(request.watchInterval);
    AutoPrinter* watcherPtr = nullptr;
    AutoPrinter watcher(
        where,
        [&](const QSet<int>& heldBack, RunObserver& watching) {
            PrintOptions runOptions = options;
            runOptions.heldBack = heldBack;
            BatchObserver observer(log.isOpen() ? &log : nullptr, progress);
            RunObservers observers{&observer, &recorder, &watching, &stopSignal};
            AutoRun run;
            try {
                run.summary = PrintRun(session, runOptions, *target.device, nullptr, &observers);
            } catch (const RunStopped& stopped) {
                run.summary = stopped.summary();
                run.failure = stopped;
            } catch (const Failure& failure) {
                run.failure = failure;
            }
            observer.finishProgress();
            if (log.isOpen())
                log.flush();
            // The signal may have been taken by the run: end the watching after it.
            if (signals.arrived())
                watcherPtr->stop();
            return run;
        },
        timing);
    watcherPtr = &watcher;

    bool busyTold = false;
    QObject::connect(&watcher, &AutoPrinter::runFinished, [&](const AutoRun& run, bool) {
        const bool busy = isBusy(run);
        if (busy && busyTold)
            return; // another desk prints this meet: told once until it is done
        busyTold = busy;
        const QString stamp = timeStamp();
        if (run.failure)
            say(stamp + run.failure->message());
        if (busy)
            return;
        sayAccount(run.summary, options, target, stamp);
        if (run.summary.eventsPrinted > 0 && options.previewOnly == PreviewOnly::No
            && (!run.failure || run.failure->kind() != Failure::Kind::Unreachable))
            sayPrinterTrouble(target, stamp);
    });
    QObject::connect(&watcher, &AutoPrinter::unreachable, [](const QString& why) {
        say(timeStamp()
            + Words::tr("waiting for the data folder (unreachable for more than 10 "
                        "seconds): %1")
                  .arg(why));
    });
    QObject::connect(&watcher, &AutoPrinter::reachableAgain, [] {
        say(timeStamp() + Words::tr("the data folder is reachable again; watching goes on"));
    });
    QObject::connect(&signals, &StopSignals::arrivedNow, &watcher, &AutoPrinter::stop);
    QObject::connect(&watcher, &AutoPrinter::stopped, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);

    say(timeStamp()
        + Words::tr("watching %1 (every %2 ms); stop with Ctrl+C")
              .arg(QDir::toNativeSeparators(
                  hostPath(where.dataFile(QString::fromUtf16(kRaceStatusFile)))))
              .arg(request.watchInterval));
    watcher.start();
    if (!signals.arrived())
        QCoreApplication::exec();
    recorder.finish();
    say(timeStamp() + Words::tr("watching ended"));
    if (log.isOpen() && (!log.flush() || log.error() != QFileDevice::NoError)) {
        say(Words::tr("writing the log: %1: %2").arg(*request.logFile, log.errorString()));
        return kFailed;
    }
    sayLedgerTrouble(recorder);
    return kDone;
}

} // namespace tarvel::batch
