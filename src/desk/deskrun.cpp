#include "desk/deskrun.h"

#include "ecert/ecertrecorder.h"
#include "ecert/fromledger.h"
#include "layout/calibrationpage.h"
#include "layout/drawing.h"
#include "ledger/reprint.h"
#include "platform/printeroffset.h"
#include "platform/words.h"
#include "printrun/runobservers.h"

namespace tarvel {

namespace {

/// A document of the run's own (not of the events'): recorded without certificates.
void recordPage(RunContext& context, const RunRequest& request, const Delivery& delivery,
                const QString& title, DocumentKind kind)
{
    if (!delivery.sent || !context.recorder)
        return;
    LedgerDocument document = deliveredDocument(delivery, title, kind);
    document.requestedBy = request.requestedBy;
    context.recorder->recordDocument(std::move(document));
}

/// The e-certificates' recorder of a run that asks for them and prints; each file written
/// goes into the ledger as a document of its own.
std::unique_ptr<ECertificateRecorder> eCertificatesOf(const RunContext& context,
                                                      const RunRequest& request)
{
    if (!request.eCertificates || request.options.previewOnly == PreviewOnly::Yes)
        return nullptr;
    const Session& session = request.session;
    LedgerRecorder* recorder = context.recorder;
    return std::make_unique<ECertificateRecorder>(
        ECertificateSetup{eCertificateFolder(session.where), session.layout, request.fontFace,
                          backdropImagePath(session.where, session.backdrop), session.meet.meetName,
                          QDateTime()},
        [recorder, requestedBy = request.requestedBy](const QList<ECertificateFile>& files) {
            QList<LedgerDocument> documents =
                eCertificateDocuments(files, QDateTime::currentDateTime());
            for (LedgerDocument& document : documents)
                document.requestedBy = requestedBy;
            if (recorder)
                recorder->recordDocuments(std::move(documents));
        });
}

/// Award lists are recorded as the desk's other documents without certificates.
CeremonyRecorder listRecorder(const RunContext& context, const RunRequest& request)
{
    LedgerRecorder* recorder = context.recorder;
    return [recorder, requestedBy = request.requestedBy](LedgerDocument document) {
        document.requestedBy = requestedBy;
        // With the next event's certificates: one commit for both.
        if (recorder)
            recorder->recordWithNext(std::move(document));
    };
}

void printReadyRaces(RunContext& context, RunRequest& request, RunOutcome& outcome)
{
    const std::unique_ptr<ECertificateRecorder> eCertificates = eCertificatesOf(context, request);
    // Each event's award list follows its certificates, to a destination of its own.
    std::optional<CeremonySender> lists;
    if (request.ceremonyList.isOn() && request.options.previewOnly == PreviewOnly::No)
        lists.emplace(request.ceremonyList, context.openCeremonyTarget,
                      listRecorder(context, request));
    StopRelay unstoppable;
    const StopRelay::Registration stopsLists =
        (context.stops ? *context.stops : unstoppable).add([&lists]() noexcept {
            if (lists)
                lists->stop();
        });
    RunObservers observers{&context.observer, request.observer, lists ? &*lists : nullptr,
                           eCertificates.get()};
    try {
        outcome.summary = PrintRun(request.session, request.options, *context.target.device,
                                   context.preview, &observers);
    } catch (const RunStopped& stopped) {
        outcome.summary = stopped.summary();
        outcome.failure = stopped;
        outcome.stoppedPartWay = true;
    }
    if (eCertificates) {
        const ECertificateAccount account = eCertificates->finish();
        outcome.eCertificatesWritten = account.written;
        outcome.eCertificateEventsFailed = account.eventsFailed;
        outcome.eCertificateFailure = account.failure;
    }
    if (lists)
        outcome.sideDocuments = lists->finish();
}

void printCeremonyLists(RunContext& context, const RunRequest& request, RunOutcome& outcome)
{
    if (!request.ceremonyList.isOn())
        throw Failure(Words::tr("printing the award lists"), QString(),
                      Words::tr("no destination is chosen for the award lists"));
    const std::unique_ptr<Ledger> ledger = context.openLedger();
    const CeremonyList list = ceremonyListFromLedger(*ledger, request.ceremonyRaces);
    if (list.events.isEmpty())
        throw Failure(Words::tr("printing the award lists"), ledger->path(),
                      Words::tr("the ledger holds no certificates of the events asked for"));
    CeremonySender sender(request.ceremonyList, context.openCeremonyTarget,
                          listRecorder(context, request));
    StopRelay unstoppable;
    const StopRelay::Registration stops =
        (context.stops ? *context.stops : unstoppable).add([&sender]() noexcept { sender.stop(); });
    sender.send(list);
    outcome.sideDocuments = sender.finish();
}

void printTestPage(RunContext& context, const RunRequest& request, RunOutcome& outcome)
{
    if (request.options.previewOnly == PreviewOnly::Yes)
        return;
    PrintDevice& device = *context.target.device;
    const QString title = Words::tr("Test page");
    device.setDocumentName(title);
    printPage(device, request.session.layout, request.session.itemText, PreviewOnly::No);
    outcome.deliveries << device.endDocument();
    recordPage(context, request, outcome.deliveries.last(), title, DocumentKind::TestPage);
}

void printCalibration(RunContext& context, const RunRequest& request, RunOutcome& outcome)
{
    // The default printer's name is known once it was looked up (here, on the run's thread).
    QString printer = context.target.kind == PrintTargetKind::Printer ? context.target.printerName()
                                                                      : context.target.where;
    if (printer.isEmpty())
        printer = lookUpDefaultPrinter();
    outcome.deliveries << printCalibrationPage(*context.target.device, printer,
                                               loadPrinterOffset(printer));
    recordPage(context, request, outcome.deliveries.last(), calibrationPageTitle(),
               DocumentKind::Calibration);
}

void reprint(RunContext& context, const RunRequest& request, RunOutcome& outcome)
{
    if (request.reprint.isEmpty())
        return;
    const std::unique_ptr<Ledger> ledger = context.openLedger();
    ReprintRecord record;
    record.scheduler = context.scheduler;
    if (!request.requestedBy.isEmpty())
        record.requestedBy = request.requestedBy;
    const ReprintResult result = reprintCertificates(request.reprint, request.session.layout,
                                                     *context.target.device, *ledger, record);
    outcome.deliveries << result.deliveries;
    outcome.ledgerFailure = result.ledgerFailure;
}

} // namespace

RunOutcome executeRun(RunContext& context, RunRequest& request)
{
    RunOutcome outcome;
    outcome.kind = request.kind;
    outcome.previewOnly = request.options.previewOnly;
    try {
        if (!request.fontFace.isEmpty())
            context.target.device->setFontFace(request.fontFace);
        switch (request.kind) {
        case RunKind::ReadyRaces: printReadyRaces(context, request, outcome); break;
        case RunKind::TestPage: printTestPage(context, request, outcome); break;
        case RunKind::CalibrationPage: printCalibration(context, request, outcome); break;
        case RunKind::Reprint: reprint(context, request, outcome); break;
        case RunKind::CeremonyList: printCeremonyLists(context, request, outcome); break;
        }
    } catch (const Failure& failure) {
        outcome.failure = failure;
    }
    // The lists are done (their senders waited for them): the rows kept for a next record
    // are written now, so that the history shows them as soon as the run is over.
    if (context.recorder)
        context.recorder->writeKept();
    return outcome;
}

} // namespace tarvel
