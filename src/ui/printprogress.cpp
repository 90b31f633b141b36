#include "ui/printprogress.h"

#include "printrun/runaccount.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

namespace {
constexpr qint64 kRefreshMilliseconds = 40;
constexpr int kShowAfterMilliseconds = 300;
} // namespace

PrintProgress::PrintProgress(QWidget* parent, Modality modality) : QProgressDialog(parent)
{
    setObjectName(u"printProgress"_s);
    setWindowTitle(u"Tarvel"_s);
    if (modality == Modality::Application) {
        setWindowModality(Qt::ApplicationModal);
    } else {
        setWindowModality(Qt::NonModal);
        setAttribute(Qt::WA_ShowWithoutActivating);
    }
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    auto* stop = new QPushButton(tr("Stop"), this);
    stop->setObjectName(u"cmdChuushi"_s);
    setCancelButton(stop);
    // The dialog's own cancelling would reset it; the button only asks the run to stop.
    disconnect(this, SIGNAL(canceled()), this, SLOT(cancel()));
    connect(this, &QProgressDialog::canceled, this, &PrintProgress::reject);
    setAutoClose(false);
    setAutoReset(false);
    setRange(0, 1);
    setMinimumDuration(kShowAfterMilliseconds);
    updateLabel();
    setValue(0);
    sinceRefresh_.start();
}

void PrintProgress::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void PrintProgress::reject()
{
    if (stopRequested_)
        return;
    stopRequested_ = true;
    if (QPushButton* stop = findChild<QPushButton*>(u"cmdChuushi"_s))
        stop->setEnabled(false);
    refresh(true);
}

void PrintProgress::runStarted(int lastRace)
{
    lastRace_ = lastRace;
    setRange(0, std::max(1, lastRace));
    refresh(true);
}

void PrintProgress::raceReached(int raceNo)
{
    raceNo_ = raceNo;
    refresh(raceNo == lastRace_);
}

void PrintProgress::eventStarted(int raceNo, const QString& title)
{
    raceNo_ = raceNo;
    event_ = title;
    refresh(false);
}

void PrintProgress::certificateAccepted(const AcceptedCertificate& certificate)
{
    ++certificates_;
    if (!certificate.undrawable.empty())
        undrawable_ << describeUndrawable(certificate);
    refresh(false);
}

void PrintProgress::refresh(bool now)
{
    if (!now && sinceRefresh_.elapsed() < kRefreshMilliseconds)
        return;
    updateLabel();
    // setValue() lets a modal dialog process events; the timer keeps that rare.
    setValue(std::min(raceNo_, maximum()));
    QCoreApplication::processEvents();
    sinceRefresh_.restart();
}

void PrintProgress::updateLabel()
{
    QStringList lines{
        tr("Printing: race %1 of %2").arg(std::min(raceNo_, lastRace_)).arg(lastRace_)};
    if (!event_.isEmpty())
        lines << event_;
    lines << tr("%1 certificate(s) so far").arg(certificates_);
    if (stopRequested_)
        lines << tr("Stopping after this event...");
    setLabelText(lines.join(u'\n'));
}

} // namespace tarvel::ui
