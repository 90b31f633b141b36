#include "ui/runview.h"

#include "ecert/fromledger.h"
#include "platform/words.h"
#include "printrun/runaccount.h"
#include "ui/failurereport.h"
#include "ui/printprogress.h"

#include <QDir>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

namespace {

/// Events named in the window's message; the rest are counted.
constexpr int kListedEvents = 8;

} // namespace

RunView::RunView(QWidget& window, Desk& desk) : QObject(&window), window_(window), desk_(desk)
{
    connect(&desk_, &Desk::runStarted, this, &RunView::started);
    connect(&desk_, &Desk::runProgress, this, [this](const RunProgress& progress) {
        if (progress_)
            progress_->showProgress(progress);
    });
    connect(
        &desk_, &Desk::runFinished, this,
        [this](const RunOutcome& outcome, RunOrigin origin, News) { finished(outcome, origin); });
    connect(&desk_, &Desk::printerNeedsAttention, this,
            [this](const PrinterNotice& notice) { notice_ = notice; });
}

void RunView::started(RunKind kind, RunOrigin origin)
{
    notice_.reset();
    delete progress_;
    if (kind != RunKind::ReadyRaces)
        return;
    progress_ = new PrintProgress(&window_, origin == RunOrigin::Automatic
                                                ? PrintProgress::Modality::None
                                                : PrintProgress::Modality::Application);
    progress_->setAttribute(Qt::WA_DeleteOnClose);
    progress_->showProgress(desk_.progress());
    connect(progress_, &PrintProgress::stopWanted, &desk_, &Desk::stop);
}

QStringList RunView::account(const RunOutcome& outcome, const Desk& desk)
{
    QStringList text;
    if (outcome.failure) {
        text << failureText(*outcome.failure);
        if (!outcome.stoppedPartWay)
            return text;
        text << QString() << Words::tr("The run stopped there. Until then:");
    }
    text << describeRun(outcome.summary, outcome.previewOnly, kListedEvents);
    if (!outcome.sideDocuments.isEmpty())
        text << QString() << describeSideDocuments(outcome.sideDocuments);
    if (outcome.eCertificatesWritten > 0)
        text << QString()
             << Words::tr("%1 e-certificate(s) written in %2")
                    .arg(outcome.eCertificatesWritten)
                    .arg(QDir::toNativeSeparators(eCertificateFolder(desk.session().where)));
    if (outcome.eCertificateFailure)
        text << QString()
             << Words::tr("The e-certificates of %1 event(s) could not be made; the printing "
                          "and marking went on.")
                    .arg(outcome.eCertificateEventsFailed)
             << failureText(*outcome.eCertificateFailure);
    if (desk.targetKind() == PrintTargetKind::PdfFiles && outcome.summary.pages > 0)
        text << QString()
             << (desk.pdfChosen()
                     ? Words::tr("The certificates were written as PDF files to %1")
                     : Words::tr("There is no printer: the certificates were written as PDF "
                                 "files to %1"))
                    .arg(QDir::toNativeSeparators(desk.targetWhere()));
    return text;
}

void RunView::finished(const RunOutcome& outcome, RunOrigin origin)
{
    if (progress_)
        progress_->close();
    delete progress_;
    Q_EMIT undrawableFound(outcome.undrawable);
    if (origin == RunOrigin::Automatic || outcome.kind == RunKind::CalibrationPage)
        return; // automatic printing and the designer tell their own
    if (outcome.kind == RunKind::ReadyRaces) {
        // A run that could not begin is an error, as any failed command; one that stopped
        // part-way or left events unprinted is a warning beside its account.
        // So is a printer that stopped with the jobs waiting on it: nothing comes out yet.
        const QMessageBox::Icon icon =
            outcome.failure && !outcome.stoppedPartWay ? QMessageBox::Critical
            : outcome.failure || hasUnprintedEvents(outcome.summary)
                    || hasFailedSideDocuments(outcome) || notice_ || outcome.eCertificateFailure
                ? QMessageBox::Warning
                : QMessageBox::Information;
        QStringList text = account(outcome, desk_);
        if (notice_)
            text << QString()
                 << Words::tr("Nothing is printed yet: %1").arg(describePrinterNotice(*notice_));
        tell(icon, text.join(u'\n'));
        if (message_)
            message_->setObjectName(u"runAccount"_s);
        return;
    }
    if (outcome.failure) {
        tell(QMessageBox::Critical, failureText(*outcome.failure));
        return;
    }
    if (outcome.kind == RunKind::CeremonyList) {
        tell(hasFailedSideDocuments(outcome) ? QMessageBox::Warning : QMessageBox::Information,
             describeSideDocuments(outcome.sideDocuments).join(u'\n'));
        return;
    }
    if (outcome.kind == RunKind::TestPage) {
        if (desk_.targetKind() == PrintTargetKind::PdfFiles && !outcome.deliveries.isEmpty()
            && outcome.deliveries.front().sent)
            tell(QMessageBox::Information,
                 (desk_.pdfChosen() ? Words::tr("The test page was written as a PDF file.\n\n%1")
                                    : Words::tr("There is no printer: the test page was written "
                                                "as a PDF file.\n\n%1"))
                     .arg(QDir::toNativeSeparators(outcome.deliveries.front().destination)));
        return;
    }
    // A reprint.
    if (outcome.deliveries.isEmpty())
        return;
    const Delivery& delivery = outcome.deliveries.front();
    QString told =
        Words::tr("%1 page(s) printed again: %2").arg(delivery.pages).arg(delivery.destination);
    if (outcome.ledgerFailure)
        told += u"\n\n"_s + failureText(*outcome.ledgerFailure);
    tell(outcome.ledgerFailure ? QMessageBox::Warning : QMessageBox::Information, told);
}

void RunView::tell(QMessageBox::Icon icon, const QString& text)
{
    // Never waits for an answer: the window goes on behind the message.
    delete message_;
    message_ = new QMessageBox(icon, u"Tarvel"_s, text, QMessageBox::Ok, &window_);
    message_->setObjectName(u"runMessage"_s);
    message_->setAttribute(Qt::WA_DeleteOnClose);
    message_->open();
}

} // namespace tarvel::ui
