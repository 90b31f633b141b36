#include "batch/printcommand.h"

#include "batch/batchobserver.h"
#include "batch/batchtools.h"
#include "platform/qt/fonts.h"
#include "platform/qt/printernotice.h"
#include "platform/words.h"
#include "printrun/runaccount.h"
#include "printrun/runobservers.h"

namespace tarvel::batch {

void sayAccount(const RunSummary& summary, const PrintOptions& options, const PrintTarget& target,
                const QString& prefix)
{
    for (const QString& line : describeRun(summary, options.previewOnly))
        say(prefix + line);
    if (summary.eventsPrinted > 0 && options.previewOnly == PreviewOnly::No)
        say(prefix + destination(target, summary.eventsPrinted));
}

void sayLedgerTrouble(const LedgerRecorder& recorder)
{
    if (const std::optional<Failure> failure = recorder.firstFailure())
        say(Words::tr("warning: the certificate ledger could not be written, the printing went "
                      "on without it: %1")
                .arg(failure->message()));
}

void sayPrinterTrouble(const PrintTarget& target, const QString& prefix)
{
    const QString printer = target.printerName();
    if (printer.isEmpty())
        return;
    try {
        const PrinterNotice notice = askPrinter(printer);
        if (!notice.needsAttention())
            return;
        const QString reasons =
            notice.reasons.isEmpty() ? Words::tr("no reason given") : notice.reasons.join(u", "_qs);
        say(prefix
            + (notice.stopped
                   ? Words::tr("warning: the printer %1 is stopped (%2); %3 job(s) wait on it")
                   : Words::tr("warning: the printer %1 needs attention (%2); %3 job(s) wait on "
                               "it"))
                  .arg(printer, reasons)
                  .arg(notice.waitingJobs));
    } catch (const Failure& failure) {
        say(prefix
            + Words::tr("warning: the printer's state could not be asked: %1")
                  .arg(failure.message()));
    }
}

PrintOptions requestedOptions(const Request& request, const Session& session)
{
    PrintOptions options = request.options;
    options.rankLimitIndividual =
        request.rankLimitIndividual.value_or(session.layout.rankLimitIndividual);
    options.rankLimitRelay = request.rankLimitRelay.value_or(session.layout.rankLimitRelay);
    return options;
}

bool openLog(const Request& request, QFile& log, QIODevice::OpenMode mode)
{
    if (!request.logFile)
        return true;
    log.setFileName(*request.logFile);
    if (log.open(QIODevice::WriteOnly | mode))
        return true;
    say(Words::tr("opening the log: %1: %2").arg(*request.logFile, log.errorString()));
    return false;
}

PrintTarget openCertificateTarget(const Request& request, const Session& session, Lookup lookup)
{
    PrintTarget target = openTarget(request, session, lookup);
    // The printer takes the certificate face, as the window gives it the preview's.
    target.device->setFontFace(QString::fromUtf16(kCertificateFace));
    return target;
}

int runPrint(const Request& request, Session& session)
{
    const PrintOptions options = requestedOptions(request, session);
    QFile log;
    if (!openLog(request, log, QIODevice::Truncate))
        return kFailed;
    PrintTarget target;
    try {
        // A preview sends nothing: the printer is not asked for.
        target = openCertificateTarget(
            request, session,
            options.previewOnly == PreviewOnly::Yes ? Lookup::BeforeFirstDocument : Lookup::Now);
    } catch (const Failure& failure) {
        say(failure.message());
        return kFailed;
    }
    BatchObserver observer(log.isOpen() ? &log : nullptr, stderrIsTerminal()
                                                              ? BatchObserver::Progress::Shown
                                                              : BatchObserver::Progress::Hidden);
    const DataLocations where = session.where;
    LedgerRecorder recorder([where] { return std::make_unique<Ledger>(where); });
    RunObservers observers{&observer, &recorder};
    RunSummary summary;
    try {
        summary = PrintRun(session, options, *target.device, nullptr, &observers);
    } catch (const RunStopped& stopped) {
        observer.finishProgress();
        say(stopped.message());
        say(Words::tr("the run stopped there:"));
        sayAccount(stopped.summary(), options, target);
        // A scheduler that did not answer would not answer this either.
        if (stopped.summary().eventsPrinted > 0 && options.previewOnly == PreviewOnly::No
            && stopped.kind() != Failure::Kind::Unreachable)
            sayPrinterTrouble(target);
        sayLedgerTrouble(recorder);
        return kFailed;
    } catch (const Failure& failure) {
        observer.finishProgress();
        say(failure.message());
        return kFailed;
    }
    observer.finishProgress();
    recorder.finish();

    if (log.isOpen() && (!log.flush() || log.error() != QFileDevice::NoError)) {
        say(Words::tr("writing the log: %1: %2").arg(*request.logFile, log.errorString()));
        return kFailed;
    }
    sayAccount(summary, options, target);
    if (summary.eventsPrinted > 0 && options.previewOnly == PreviewOnly::No)
        sayPrinterTrouble(target);
    sayLedgerTrouble(recorder);
    return hasUnprintedEvents(summary) ? kFailed : kDone;
}

} // namespace tarvel::batch
