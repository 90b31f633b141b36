#include "ui/ledgerdesk.h"

#include "ecert/fromledger.h"
#include "ecert/ledgermaker.h"
#include "layout/layoutini.h"
#include "platform/paths.h"
#include "ui/deskstrip.h"
#include "ui/failurereport.h"
#include "ui/historydialog.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

LedgerDesk::LedgerDesk(QWidget& window, Desk& desk, DeskStrip& strip)
    : QObject(&window)
    , window_(window)
    , desk_(desk)
    , strip_(strip)
{
    connect(&desk_, &Desk::jobsPolled, this, &LedgerDesk::showPoll);
    connect(&desk_, &Desk::runFinished, this,
            [this](const RunOutcome& outcome) { showFailedList(outcome); });
    // Told here, on the window's thread, whichever thread found it.
    connect(&desk_, &Desk::ledgerTroubleChanged, this, &LedgerDesk::tellLedger,
            Qt::QueuedConnection);
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

void LedgerDesk::showPoll(const JobPoll& outcome)
{
    if (outcome.changed && history_)
        history_->reload();
    if (!outcome.failed.isEmpty()) {
        const OpenJob& job = outcome.failed.last();
        // An award list the scheduler took and then lost is sent again as a list.
        if (job.kind == DocumentKind::CeremonyList && !job.races.isEmpty()) {
            failedList_ = job.races;
            failed_.reset();
            strip_.showFailedJob(tr("Award list not delivered: %1").arg(job.title));
        } else {
            failed_ = job;
            failedList_.reset();
            strip_.showFailedJob(tr("Print failed: %1").arg(job.title));
        }
    }
    Q_EMIT jobsPolled();
}

void LedgerDesk::openHistory()
{
    const DataLocations where = desk_.session().where;
    HistoryDialog dialog(
        [where] {
            // Reading the history never creates the ledger.
            const QString path = hostPath(where.dataFile(QString::fromUtf16(kLedgerFileName)));
            if (!QFileInfo(path).isFile())
                return QList<LedgerEntry>();
            return Ledger(where).entries();
        },
        [this](const QList<LedgerEntry>& entries) { reprint(entries); }, &window_,
        [this](const QList<int>& races) { printLists(races); },
        [this](const QList<LedgerEntry>& chosen, bool zip) { makeECertificates(chosen, zip); });
    history_ = &dialog;
    dialog.exec();
    history_ = nullptr;
}

void LedgerDesk::showFailedList(const RunOutcome& outcome)
{
    // Every list of the run not delivered is sent again by one 再印刷.
    QList<int> races;
    QString title;
    for (const SideDocument& list : outcome.sideDocuments) {
        if (!list.failure)
            continue;
        for (const int race : list.races) {
            if (!races.contains(race))
                races << race;
        }
        title = list.title;
    }
    if (races.isEmpty())
        return;
    failedList_ = races;
    failed_.reset();
    strip_.showFailedJob(tr("Award list not delivered: %1").arg(title));
}

void LedgerDesk::reprintFailed()
{
    if (failedList_) {
        printLists(*failedList_);
        failedList_.reset();
        strip_.showFailedJob(QString());
        return;
    }
    if (!failed_)
        return;
    const QList<LedgerEntry> entries = desk_.openLedger()->entriesOfDocument(failed_->documentId);
    const QString title = failed_->title;
    failed_.reset();
    strip_.showFailedJob(QString());
    if (!entries.isEmpty()) {
        reprint(entries);
        return;
    }
    // A test or calibration page holds no certificates: its own button makes it again.
    auto* box = new QMessageBox(
        QMessageBox::Information, u"Tarvel"_s,
        tr("%1 holds no certificates to print again; print it anew with its own button "
           "(テスト印刷, or 位置合わせページを印刷 in the large preview).")
            .arg(title),
        QMessageBox::Ok, &window_);
    box->setObjectName(u"failedPageMessage"_s);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void LedgerDesk::reprint(const QList<LedgerEntry>& entries)
{
    if (entries.isEmpty())
        return;
    RunRequest request = desk_.newRequest(RunKind::Reprint);
    request.reprint = entries;
    desk_.start(std::move(request));
}

void LedgerDesk::printLists(const QList<int>& races)
{
    // The destination chosen, whether each event's list is sent after it or not.
    RunRequest request = desk_.newRequest(RunKind::CeremonyList);
    request.ceremonyList = loadCeremonyDestination();
    request.ceremonyRaces = races;
    desk_.start(std::move(request));
}

void LedgerDesk::makeECertificates(const QList<LedgerEntry>& chosen, bool zip)
{
    // Everything the worker needs, copied here: the session may change meanwhile.
    const Session& session = desk_.session();
    const DataLocations where = session.where;
    const ECertificateSetup setup{
        eCertificateFolder(where), session.layout,
        desk_.fontFace(),          backdropImagePath(where, session.backdrop),
        session.meet.meetName,     QDateTime()};
    ECertificateOrder order;
    order.chosen = chosen;
    order.zip = zip;
    eCertificateWorker_.post([this, where, setup, order] {
        QString text;
        bool failed = false;
        try {
            const QString path = hostPath(where.dataFile(QString::fromUtf16(kLedgerFileName)));
            if (!QFileInfo(path).isFile())
                throw Failure(tr("making e-certificates"), path,
                              tr("no certificate has been recorded for this meet yet"));
            Ledger ledger(where);
            const ECertificatesMade made =
                tarvel::makeECertificates(ledger, setup, order, thisDesk());
            if (made.written == 0 && !made.failure)
                throw Failure(tr("making e-certificates"), setup.folder,
                              tr("the ledger holds no certificate of the rows chosen"));
            QStringList lines{tr("%1 e-certificate(s) written in %2 folder(s) of %3")
                                  .arg(made.written)
                                  .arg(made.folders.size())
                                  .arg(QDir::toNativeSeparators(setup.folder))};
            if (made.removed > 0)
                lines << tr("%1 e-certificate(s) of corrected results removed").arg(made.removed);
            for (const QString& file : made.zips)
                lines << tr("ZIP written: %1").arg(QDir::toNativeSeparators(file));
            if (made.failure) {
                lines << QString();
                if (made.failed > 0)
                    lines << tr("%1 e-certificate(s) could not be written").arg(made.failed);
                lines << failureText(*made.failure);
                if (order.zip)
                    lines << tr("no ZIP was made: it would lack files");
            }
            if (made.ledgerFailure)
                lines << QString() << failureText(*made.ledgerFailure);
            text = lines.join(u'\n');
            failed = made.failure || made.ledgerFailure;
        } catch (const Failure& failure) {
            text = failureText(failure);
            failed = true;
        }
        QMetaObject::invokeMethod(
            this, [this, text, failed] { tellECertificates(text, failed); }, Qt::QueuedConnection);
    });
}

void LedgerDesk::tellECertificates(const QString& text, bool failed)
{
    auto* box = new QMessageBox(failed ? QMessageBox::Warning : QMessageBox::Information,
                                u"Tarvel"_s, text, QMessageBox::Ok, &window_);
    box->setObjectName(u"eCertificateMessage"_s);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    Q_EMIT eCertificatesTold();
}

} // namespace tarvel::ui
