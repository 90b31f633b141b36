#include "batch/printcommand.h"

#include "batch/batchobserver.h"
#include "batch/batchtools.h"
#include "ledger/ledgerrecorder.h"
#include "platform/qt/fonts.h"
#include "platform/words.h"
#include "printrun/printrun.h"
#include "printrun/runaccount.h"
#include "printrun/runobservers.h"

#include <QFile>

namespace tarvel::batch {

namespace {

void sayAccount(const RunSummary& summary, const PrintOptions& options,
                const PrintTarget& target)
{
    for (const QString& line : describeRun(summary, options.previewOnly))
        say(line);
    if (summary.eventsPrinted > 0 && options.previewOnly == PreviewOnly::No)
        say(destination(target));
}

/// A ledger that could not be written never stops printing; it is told once, at the end.
void sayLedgerTrouble(const LedgerRecorder& recorder)
{
    if (const std::optional<Failure> failure = recorder.firstFailure())
        say(Words::tr("warning: the certificate ledger could not be written, the printing went "
                      "on without it: %1")
                .arg(failure->message()));
}

} // namespace

int runPrint(const Request& request, Session& session)
{
    PrintOptions options = request.options;
    options.rankLimitIndividual =
        request.rankLimitIndividual.value_or(session.layout.rankLimitIndividual);
    options.rankLimitRelay = request.rankLimitRelay.value_or(session.layout.rankLimitRelay);

    QFile log;
    if (request.logFile) {
        log.setFileName(*request.logFile);
        if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            say(Words::tr("opening the log: %1: %2").arg(*request.logFile, log.errorString()));
            return kFailed;
        }
    }

    PrintTarget target = openTarget(request, session);
    // The printer takes the certificate face, as the window gives it the preview's.
    target.device->setFontFace(QString::fromUtf16(kCertificateFace));
    BatchObserver observer(log.isOpen() ? &log : nullptr,
                           stderrIsTerminal() ? BatchObserver::Progress::Shown
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
    sayLedgerTrouble(recorder);
    return hasUnprintedEvents(summary) ? kFailed : kDone;
}

} // namespace tarvel::batch
