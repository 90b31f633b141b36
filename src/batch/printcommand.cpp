#include "batch/printcommand.h"

#include "batch/batchobserver.h"
#include "batch/batchtools.h"
#include "batch/ceremonycommand.h"
#include "batch/ledgercommands.h"
#include "ecert/fromledger.h"
#include "platform/qt/fonts.h"
#include "platform/qt/printernotice.h"
#include "platform/words.h"
#include "printrun/runaccount.h"

namespace tarvel::batch {

void sayAccount(const RunOutcome& outcome, const PrintOptions& options, const Desk& desk,
                const QString& prefix)
{
    const RunSummary& summary = outcome.summary;
    for (const QString& line : describeRun(summary, options.previewOnly))
        say(prefix + line);
    if (summary.eventsPrinted > 0 && options.previewOnly == PreviewOnly::No)
        say(prefix + destination(desk.targetKind(), desk.targetWhere(), summary.eventsPrinted));
    sayCeremonyLists(outcome, prefix);
}

void sayECertificates(const RunOutcome& outcome, const Session& session, const QString& prefix)
{
    if (outcome.eCertificatesWritten > 0)
        say(prefix
            + Words::tr("%1 e-certificate(s) written in %2")
                  .arg(outcome.eCertificatesWritten)
                  .arg(eCertificateFolder(session.where)));
    if (outcome.eCertificateFailure)
        say(prefix
            + Words::tr("warning: the e-certificates of %1 event(s) could not be made; "
                        "the printing and marking went on: %2")
                  .arg(outcome.eCertificateEventsFailed)
                  .arg(outcome.eCertificateFailure->message()));
}

void sayLedgerTrouble(const Desk& desk)
{
    const int waiting = desk.ledgerWaiting();
    const std::optional<Failure> failure = desk.ledgerTrouble();
    if (waiting > 0 && failure)
        say(Words::tr("warning: the certificate ledger could not be written, the printing went "
                      "on without it; %1 document(s) are missing from it: %2")
                .arg(waiting)
                .arg(failure->message()));
}

void sayPrinterTrouble(const RunOutcome& outcome, const PrintOptions& options, const Desk& desk,
                       const QString& prefix)
{
    // Asked only when the run sent it jobs, unless it did not answer during the run.
    if (desk.targetKind() != PrintTargetKind::Printer || outcome.summary.eventsPrinted == 0
        || options.previewOnly == PreviewOnly::Yes || isSchedulerUnreachable(outcome))
        return;
    const QString printer = desk.targetWhere();
    if (printer.isEmpty())
        return;
    try {
        const PrinterNotice notice = askPrinter(printer);
        if (!notice.needsAttention())
            return;
        say(prefix + Words::tr("warning: %1").arg(describePrinterNotice(notice)));
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

namespace {

/// Opens --log, if given, with `mode`; false (said on stderr) when it cannot be opened.
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

} // namespace

std::optional<RunStart> startRun(const Request& request, const Session& session, QFile& log,
                                 QIODevice::OpenMode mode)
{
    RunStart start{requestedOptions(request, session), {}};
    try {
        start.lists = requestedCeremonyDestination(request);
    } catch (const Failure& failure) {
        say(failure.message());
        return std::nullopt;
    }
    if (!openLog(request, log, mode))
        return std::nullopt;
    return start;
}

bool finishLog(const Request& request, QFile& log)
{
    if (!log.isOpen() || (log.flush() && log.error() == QFileDevice::NoError))
        return true;
    say(Words::tr("writing the log: %1: %2").arg(*request.logFile, log.errorString()));
    return false;
}

DeskServices batchServices(const Request& request, Lookup lookup)
{
    DeskServices services;
    services.openTarget = [pdfFolder = request.pdfFolder, lookup](const DataLocations& where) {
        PrintTarget target = openTarget(pdfFolder, where, lookup);
        // The printer takes the certificate face, as the window gives it the preview's.
        target.device->setFontFace(QString::fromUtf16(kCertificateFace));
        return target;
    };
    return services;
}

int runPrint(const Request& request, Session& session)
{
    QFile log;
    const std::optional<RunStart> start = startRun(request, session, log, QIODevice::Truncate);
    if (!start)
        return kFailed;
    const PrintOptions& options = start->options;
    // A preview sends nothing: the printer is not asked for.
    const Lookup lookup =
        options.previewOnly == PreviewOnly::Yes ? Lookup::BeforeFirstDocument : Lookup::Now;
    std::optional<Desk> opened;
    try {
        opened.emplace(session, batchServices(request, lookup));
    } catch (const Failure& failure) {
        say(failure.message());
        return kFailed;
    }
    Desk& desk = *opened;
    followLedger(desk, [] { return QString(); });
    BatchObserver observer(log.isOpen() ? &log : nullptr, stderrIsTerminal()
                                                              ? BatchObserver::Progress::Shown
                                                              : BatchObserver::Progress::Hidden);
    RunRequest run = desk.newRequest(RunKind::ReadyRaces);
    run.options = options;
    run.observer = &observer;
    run.eCertificates = request.eCertificates;
    run.ceremonyList = start->lists;
    const RunOutcome outcome = desk.runAndWait(std::move(run));
    observer.finishProgress();
    sayECertificates(outcome, session);
    if (outcome.failure) {
        say(outcome.failure->message());
        if (outcome.stoppedPartWay) {
            say(Words::tr("the run stopped there:"));
            sayAccount(outcome, options, desk);
            sayPrinterTrouble(outcome, options, desk);
            sayLedgerTrouble(desk);
        }
        return kFailed;
    }
    if (!finishLog(request, log))
        return kFailed;
    sayAccount(outcome, options, desk);
    sayPrinterTrouble(outcome, options, desk);
    sayLedgerTrouble(desk);
    return hasUnprintedEvents(outcome.summary) || hasFailedSideDocuments(outcome) ? kFailed : kDone;
}

} // namespace tarvel::batch
