#include "ui/ledgerdesk.h"

#include "ledger/reprint.h"
#include "platform/paths.h"
#include "ui/deskstrip.h"
#include "ui/failurereport.h"
#include "ui/historydialog.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

LedgerDesk::LedgerDesk(QWidget& window, Desk& desk, DeskStrip& strip)
    : QObject(&window)
    , window_(window)
    , desk_(desk)
    , strip_(strip)
{
    connect(&desk_, &Desk::jobsFailed, this, &LedgerDesk::jobsFailed);
    connect(&desk_, &Desk::runFinished, this, &LedgerDesk::afterRun);
}

void LedgerDesk::afterRun()
{
    const std::optional<Failure> trouble = desk_.ledgerTrouble();
    if (!trouble || troubleTold_)
        return;
    troubleTold_ = true;
    // Told without waiting for an answer: an automatic run may be next.
    auto* box = new QMessageBox(QMessageBox::Warning, u"Tarvel"_s,
                                tr("The certificate ledger could not be written; printing goes "
                                   "on without it, and the print history misses these "
                                   "certificates.")
                                    + u"\n\n"_s + failureText(*trouble),
                                QMessageBox::Ok, &window_);
    box->setObjectName(u"ledgerTrouble"_s);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

void LedgerDesk::jobsFailed(const QList<OpenJob>& failed)
{
    if (failed.isEmpty())
        return;
    failed_ = failed.last();
    strip_.showFailedJob(tr("Print failed: %1").arg(failed_->title));
}

void LedgerDesk::openHistory()
{
    HistoryDialog dialog(
        [this] {
            // Reading the history never creates the ledger.
            const QString path =
                hostPath(desk_.session().where.dataFile(QString::fromUtf16(kLedgerFileName)));
            if (!QFileInfo(path).isFile())
                return QList<LedgerEntry>();
            return desk_.openLedger()->entries();
        },
        [this](const QList<LedgerEntry>& entries) { reprint(entries); }, &window_);
    dialog.exec();
}

void LedgerDesk::reprintFailed()
{
    if (!failed_)
        return;
    reprint(desk_.openLedger()->entriesOfDocument(failed_->documentId));
    failed_.reset();
    strip_.showFailedJob(QString());
}

void LedgerDesk::reprint(const QList<LedgerEntry>& entries)
{
    if (entries.isEmpty())
        return;
    RunRequest request = desk_.newRequest(RunKind::Reprint);
    request.reprint = entries;
    desk_.start(std::move(request));
}

} // namespace tarvel::ui
