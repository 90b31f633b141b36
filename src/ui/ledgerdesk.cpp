#include "ui/ledgerdesk.h"

#include "ledger/reprint.h"
#include "platform/paths.h"
#include "platform/qt/cupsjobs.h"
#include "ui/deskstrip.h"
#include "ui/failurereport.h"
#include "ui/historydialog.h"
#include "ui/printeruse.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSysInfo>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

LedgerDesk::LedgerDesk(QWidget& window, Session& session, PrintTarget& target, PrinterUse& printer,
                       DeskStrip& strip)
    : QObject(&window)
    , window_(window)
    , session_(session)
    , target_(target)
    , printer_(printer)
    , strip_(strip)
{
    recorder_ = std::make_unique<LedgerRecorder>([this] { return openLedger(); });
    recorder_->setScheduler(cups::schedulerName());
    recorder_->setTroubleCallback([this](const std::optional<Failure>& trouble) {
        QMetaObject::invokeMethod(
            this, [this, trouble] { tellLedger(trouble); }, Qt::QueuedConnection);
    });
    connect(&retry_, &QTimer::timeout, this, [this] { afterRun(); });
    retry_.start(kPollMilliseconds);
    auto client = std::make_shared<cups::JobStateClient>();
    setJobStateQuery([client](int jobId) { return client->state(jobId); });
}

std::unique_ptr<Ledger> LedgerDesk::openLedger() const
{
    return std::make_unique<Ledger>(session_.where);
}

void LedgerDesk::setJobStateQuery(JobWatch::StateQuery query)
{
    const DataLocations where = session_.where;
    jobs_ = std::make_unique<JobPoller>(
        std::make_unique<JobWatch>([where] { return std::make_unique<Ledger>(where); },
                                   std::move(query), cups::schedulerName(),
                                   QSysInfo::machineHostName()),
        std::chrono::milliseconds(kPollMilliseconds));
    connect(jobs_.get(), &JobPoller::polled, this, &LedgerDesk::showPoll);
    if (target_.kind == PrintTargetKind::Printer)
        jobs_->start();
}

void LedgerDesk::afterRun()
{
    // What a ledger held by another desk could not take is tried again at once.
    if (recorder_->waitingDocuments() > 0)
        recorder_->retry();
}

void LedgerDesk::tellLedger(const std::optional<Failure>& trouble)
{
    // Told without waiting for an answer: an automatic run may be next.
    const QString text =
        trouble ? tr("The certificate ledger cannot be written now; printing goes on, and the "
                     "certificates printed are kept and written into it once it can be.")
                      + u"\n\n"_s + failureText(*trouble)
                : tr("The certificate ledger is written again; no certificate was lost.");
    auto* box = new QMessageBox(trouble ? QMessageBox::Warning : QMessageBox::Information,
                                u"Tarvel"_s, text, QMessageBox::Ok, &window_);
    box->setObjectName(trouble ? u"ledgerTrouble"_s : u"ledgerRecovered"_s);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

void LedgerDesk::pollJobs()
{
    jobs_->pollNow();
}

void LedgerDesk::showPoll(const JobPoll& outcome)
{
    if (outcome.changed && history_)
        history_->reload();
    if (!outcome.failed.isEmpty()) {
        failed_ = outcome.failed.last();
        strip_.showFailedJob(tr("Print failed: %1").arg(failed_->title));
    }
    Q_EMIT jobsPolled();
}

void LedgerDesk::openHistory()
{
    HistoryDialog dialog(
        [this] {
            // Reading the history never creates the ledger.
            const QString path =
                hostPath(session_.where.dataFile(QString::fromUtf16(kLedgerFileName)));
            if (!QFileInfo(path).isFile())
                return QList<LedgerEntry>();
            return openLedger()->entries();
        },
        [this](const QList<LedgerEntry>& entries) { reprint(entries); }, &window_);
    history_ = &dialog;
    dialog.exec();
    history_ = nullptr;
}

void LedgerDesk::reprintFailed()
{
    if (!failed_)
        return;
    reprint(openLedger()->entriesOfDocument(failed_->documentId));
    failed_.reset();
    strip_.showFailedJob(QString());
}

void LedgerDesk::reprint(const QList<LedgerEntry>& entries)
{
    if (entries.isEmpty())
        return;
    const PrinterUse::Claim claim = printer_.claim(tr("printing certificates again"));
    const std::unique_ptr<Ledger> ledger = openLedger();
    ReprintRecord record;
    record.scheduler = cups::schedulerName();
    const ReprintResult result =
        reprintCertificates(entries, session_.layout, *target_.device, *ledger, record);
    QString told =
        tr("%1 certificate(s) printed again: %2").arg(entries.size()).arg(result.destination());
    if (result.ledgerFailure)
        told += u"\n\n"_s + failureText(*result.ledgerFailure);
    QMessageBox::information(&window_, u"Tarvel"_s, told);
}

} // namespace tarvel::ui
