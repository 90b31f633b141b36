#include "desk/desk.h"

#include "desk/deskrun.h"
#include "layout/layoutfile.h"
#include "layout/layoutini.h"
#include "platform/paths.h"
#include "platform/qt/cupsjobs.h"
#include "platform/words.h"
#include "printrun/runobservers.h"

#include <QMetaMethod>
#include <QSysInfo>

namespace tarvel {

namespace {

/// What the claim names while a run of `kind` holds the printer.
QString claimFor(RunKind kind)
{
    switch (kind) {
    case RunKind::ReadyRaces: return Words::tr("printing");
    case RunKind::TestPage: return Words::tr("printing the test page");
    case RunKind::CalibrationPage: return Words::tr("printing the calibration page");
    case RunKind::Reprint: return Words::tr("printing certificates again");
    case RunKind::CeremonyList: return Words::tr("printing the award lists");
    }
    return Words::tr("printing");
}

/// An automatic run stops after the event in hand once watching is switched off.
class WatchingOff final : public RunObserver {
public:
    explicit WatchingOff(const std::atomic<bool>& watching) : watching_(watching) {}
    bool stopRequested() const override { return !watching_.load(); }

private:
    const std::atomic<bool>& watching_;
};

} // namespace

PrintTarget openMeetPrintTarget(const DataLocations& where)
{
    return openDefaultPrintTarget(hostPath(where.dataFile(QString::fromUtf16(kPdfFolderName))));
}

Desk::Desk(Session session, DeskServices services, QObject* parent)
    : QObject(parent)
    , services_(std::move(services))
    , session_(std::move(session))
    , tap_(stopWanted_,
           [this] {
               if (progressPending_.exchange(true))
                   return;
               QMetaObject::invokeMethod(
                   this,
                   [this] {
                       progressPending_ = false;
                       Q_EMIT runProgress(tap_.progress());
                   },
                   Qt::QueuedConnection);
           })
    , preview_([this] {
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT previewReady(); }, Qt::QueuedConnection);
    })
{
    qRegisterMetaType<tarvel::RunOutcome>();
    qRegisterMetaType<tarvel::RunProgress>();
    qRegisterMetaType<tarvel::WatchSnapshot>();
    qRegisterMetaType<tarvel::RunKind>();
    qRegisterMetaType<tarvel::Layout>();
    qRegisterMetaType<tarvel::JobPoll>();
    qRegisterMetaType<tarvel::PrinterNotice>();
    qRegisterMetaType<std::optional<tarvel::Failure>>();

    target_ = services_.openTarget(session_.where);
    const DataLocations where = session_.where;
    recorder_ =
        std::make_unique<LedgerRecorder>([where] { return std::make_unique<Ledger>(where); });
    recorder_->setScheduler(cups::schedulerName());
    recorder_->setTroubleCallback(
        [this](const std::optional<Failure>& trouble) { Q_EMIT ledgerTroubleChanged(trouble); });
    // What a ledger held by another desk could not take is tried again now and then.
    ledgerRetry_.setInterval(services_.jobPollInterval);
    connect(&ledgerRetry_, &QTimer::timeout, this, [this] {
        if (recorder_->waitingDocuments() > 0)
            recorder_->retry();
    });
    ledgerRetry_.start();
    if (target_.kind == PrintTargetKind::Printer) {
        JobWatch::StateQuery query = services_.jobState;
        if (!query) {
            auto client = std::make_shared<cups::JobStateClient>();
            query = [client](int jobId) { return client->state(jobId); };
        }
        jobs_ = std::make_unique<JobPoller>(
            std::make_unique<JobWatch>([where] { return std::make_unique<Ledger>(where); },
                                       std::move(query), cups::schedulerName(),
                                       QSysInfo::machineHostName()),
            services_.jobPollInterval);
        connect(jobs_.get(), &JobPoller::polled, this, &Desk::jobsPolled);
        jobs_->start();
    }

    watcher_ = new AutoPrinter(
        where,
        [this](const QSet<int>& heldBack, RunObserver& watcher) {
            return watchRun(heldBack, watcher);
        },
        services_.watchTiming);
    watcher_->moveToThread(&watchThread_);
    watchThread_.setObjectName(u"tarvel watcher"_qs);
    connect(&watchThread_, &QThread::finished, watcher_, &QObject::deleteLater);
    AutoPrinter* watcher = watcher_;
    connect(
        watcher_, &AutoPrinter::changed, watcher_,
        [this, watcher] {
            Q_EMIT watchChanged({watcher->state(), watcher->eventInHand(), watcher->lastCheck(),
                                 watcher->heldBack()});
        },
        Qt::DirectConnection);
    connect(watcher_, &AutoPrinter::runFinished, this,
            [this](const RunOutcome& outcome, News news) {
                ItemTexts texts;
                {
                    std::lock_guard lock(watchMutex_);
                    texts = watchTexts_;
                }
                finished(outcome, texts, RunOrigin::Automatic, news);
            });
    connect(watcher_, &AutoPrinter::unreachable, this, &Desk::unreachable);
    connect(watcher_, &AutoPrinter::reachableAgain, this, &Desk::reachableAgain);
    connect(watcher_, &AutoPrinter::stopped, this, [this] {
        watching_ = false;
        Q_EMIT watchingStopped();
    });
    watchThread_.start();
    lookUpPrinter();
}

void Desk::lookUpPrinter()
{
    if (target_.kind != PrintTargetKind::Printer || !targetWhere().isEmpty())
        return;
    // The scheduler may keep the caller waiting up to its deadline: never the GUI thread.
    lookups_.post([this] {
        std::optional<Failure> trouble;
        QString name;
        try {
            name = lookUpDefaultPrinter(cups::SchedulerSettings::fromEnvironment(), &lookupCancel_);
        } catch (const Failure& failure) {
            trouble = failure;
        }
        QMetaObject::invokeMethod(
            this,
            [this, name, trouble] {
                lookedUp_ = name;
                Q_EMIT targetKnown(trouble);
            },
            Qt::QueuedConnection);
    });
}

QString Desk::targetDescription() const
{
    if (target_.kind != PrintTargetKind::Printer)
        return target_.description();
    const QString name = targetWhere();
    return Words::tr("printer: %1").arg(name.isEmpty() ? Words::tr("the default printer") : name);
}

void Desk::askPrinterAfter(const RunOutcome& outcome)
{
    const bool sent = outcome.summary.eventsPrinted > 0 || !outcome.deliveries.isEmpty();
    if (target_.kind != PrintTargetKind::Printer || outcome.previewOnly == PreviewOnly::Yes || !sent
        || isSchedulerUnreachable(outcome))
        return;
    const QString printer = targetWhere();
    if (printer.isEmpty()
        || !isSignalConnected(QMetaMethod::fromSignal(&Desk::printerNeedsAttention)))
        return;
    try {
        const PrinterNotice notice = askPrinter(printer);
        if (notice.needsAttention())
            Q_EMIT printerNeedsAttention(notice);
    } catch (const Failure&) {
        // The run's own failure, if any, tells of a scheduler that does not answer.
    }
}

Desk::~Desk()
{
    watching_ = false;
    stopWanted_ = true;
    lookupCancel_.cancel();
    // The watcher's thread ends once the automatic run in hand has (after its event).
    watchThread_.quit();
    watchThread_.wait();
    // A run the operator started ends after its event too, as runs_ goes first.
}

std::unique_ptr<Ledger> Desk::openLedger() const
{
    return std::make_unique<Ledger>(session_.where);
}

RunRequest Desk::newRequest(RunKind kind) const
{
    RunRequest request;
    request.kind = kind;
    request.session = session_;
    request.fontFace = fontFace_;
    request.ceremonyList = ceremonyList_;
    request.eCertificates = eCertificates_;
    return request;
}

void Desk::start(RunRequest request)
{
    auto held = std::make_shared<PrinterClaim::Held>(claim_.claim(claimFor(request.kind)));
    stopWanted_ = false;
    tap_.reset();
    Q_EMIT runStarted(request.kind, RunOrigin::Operator);
    runs_.post([this, request = std::move(request), held]() mutable {
        const RunOutcome outcome = execute(request, nullptr);
        if (request.whenDone)
            request.whenDone(outcome);
        askPrinterAfter(outcome);
        const ItemTexts texts = request.session.itemText;
        // Free before the window hears of the end: its answer may be the next run.
        *held = PrinterClaim::Held();
        QMetaObject::invokeMethod(
            this,
            [this, outcome, texts] { finished(outcome, texts, RunOrigin::Operator, News::New); },
            Qt::QueuedConnection);
    });
}

RunOutcome Desk::runAndWait(RunRequest request)
{
    PrinterClaim::Held held = claim_.claim(claimFor(request.kind));
    stopWanted_ = false;
    tap_.reset();
    RunOutcome outcome;
    runs_.post([&] { outcome = execute(request, nullptr); }).get();
    recorder_->finish();
    if (request.whenDone)
        request.whenDone(outcome);
    return outcome;
}

RunOutcome Desk::execute(RunRequest& request, RunObserver* alsoObserving)
{
    RunObservers observers{&tap_, recorder_.get(), alsoObserving};
    RunContext context{target_,
                       observers,
                       request.showPreview ? &preview_ : nullptr,
                       [this] { return openLedger(); },
                       cups::schedulerName(),
                       recorder_.get(),
                       services_.openCeremonyTarget,
                       &stopRelay_};
    RunOutcome outcome = executeRun(context, request);
    outcome.undrawable = tap_.undrawable();
    return outcome;
}

void Desk::finished(const RunOutcome& outcome, const ItemTexts& lastTexts, RunOrigin origin,
                    News news)
{
    // The preview goes on from the last certificate composed, with the free texts as the
    // operator has them now.
    if (outcome.kind == RunKind::ReadyRaces) {
        for (int item = 0; item < kItemCount; ++item) {
            if (!isFreeTextItem(item))
                session_.itemText[item] = lastTexts[item];
        }
    }
    Q_EMIT runFinished(outcome, origin, news);
}

void Desk::stop()
{
    stopWanted_ = true;
    target_.device->cancelWaiting();
    stopRelay_.stopAll();
    if (watching_)
        stopWatching();
}

RunProgress Desk::progress() const
{
    return tap_.progress();
}

void Desk::reopenTarget()
{
    const PrinterClaim::Held held = claim_.claim(Words::tr("taking the printer's calibration"));
    target_ = pdfChosen_ ? openPdfTarget(*pdfChosen_) : services_.openTarget(session_.where);
}

void Desk::choosePdfFiles(const QString& folder)
{
    {
        const PrinterClaim::Held held = claim_.claim(Words::tr("choosing PDF files"));
        target_ = openPdfTarget(folder);
        pdfChosen_ = folder;
    }
    Q_EMIT targetKnown(std::nullopt);
}

void Desk::choosePrinter()
{
    {
        const PrinterClaim::Held held = claim_.claim(Words::tr("choosing the printer"));
        target_ = services_.openTarget(session_.where);
        pdfChosen_.reset();
    }
    Q_EMIT targetKnown(std::nullopt);
    // A name the start could not learn (no answer then) is asked for again.
    lookUpPrinter();
}

void Desk::startWatching(RunRequest request)
{
    setWatchRequest(std::move(request));
    watching_ = true;
    QMetaObject::invokeMethod(watcher_, &AutoPrinter::start);
}

void Desk::setWatchRequest(RunRequest request)
{
    std::lock_guard lock(watchMutex_);
    watchRequest_ = std::move(request);
}

void Desk::stopWatching()
{
    watching_ = false;
    QMetaObject::invokeMethod(watcher_, &AutoPrinter::stop);
}

void Desk::pollJobsNow()
{
    if (jobs_)
        jobs_->pollNow();
}

RunOutcome Desk::watchRun(const QSet<int>& heldBack, RunObserver& watcher)
{
    RunRequest request;
    {
        std::lock_guard lock(watchMutex_);
        request = watchRequest_;
    }
    request.kind = RunKind::ReadyRaces;
    request.options.heldBack = heldBack;
    RunOutcome outcome;
    outcome.previewOnly = request.options.previewOnly;
    PrinterClaim::Held held;
    try {
        held = claim_.claim(Words::tr("printing automatically"));
        if (request.saveLayoutFirst) {
            saveLayout(request.session.where, request.session.layout);
            saveItemWidths(request.session.where, request.session.layout);
            Q_EMIT layoutSaved(request.session.layout);
        }
    } catch (const Failure& failure) {
        outcome.failure = failure;
        if (request.whenDone)
            request.whenDone(outcome);
        return outcome;
    }
    stopWanted_ = false;
    tap_.reset();
    Q_EMIT runStarted(RunKind::ReadyRaces, RunOrigin::Automatic);
    WatchingOff watchingOff(watching_);
    RunObservers observers{&watcher, &watchingOff};
    outcome = execute(request, &observers);
    if (request.whenDone)
        request.whenDone(outcome);
    askPrinterAfter(outcome);
    std::lock_guard lock(watchMutex_);
    watchTexts_ = request.session.itemText;
    return outcome;
}

} // namespace tarvel
