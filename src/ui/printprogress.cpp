#include "ui/printprogress.h"

#include "printrun/runaccount.h"

#include "meetdb/racestatus.h"

#include <QCloseEvent>
#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

namespace {
constexpr qint64 kRefreshMilliseconds = 40;
constexpr int kShowAfterMilliseconds = 300;
} // namespace

PrintProgress::PrintProgress(QWidget* parent)
    : QProgressDialog(parent)
{
    setObjectName(u"printProgress"_s);
    setWindowTitle(u"Tarvel"_s);
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    setCancelButton(nullptr);
    setAutoClose(false);
    setAutoReset(false);
    setRange(0, kRaceCount);
    setMinimumDuration(kShowAfterMilliseconds);
    updateLabel(0);
    setValue(0);
    sinceRefresh_.start();
}

void PrintProgress::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void PrintProgress::raceReached(int raceNo)
{
    raceNo_ = raceNo;
    if (sinceRefresh_.elapsed() < kRefreshMilliseconds && raceNo != kRaceCount)
        return;
    updateLabel(raceNo);
    // setValue() lets a modal dialog process events; the timer keeps that rare.
    setValue(raceNo);
    QCoreApplication::processEvents();
    sinceRefresh_.restart();
}

void PrintProgress::certificateAccepted(const AcceptedCertificate& certificate)
{
    ++certificates_;
    if (!certificate.undrawable.empty())
        undrawable_ << describeUndrawable(certificate);
    if (sinceRefresh_.elapsed() < kRefreshMilliseconds)
        return;
    updateLabel(raceNo_);
    QCoreApplication::processEvents();
    sinceRefresh_.restart();
}

void PrintProgress::updateLabel(int raceNo)
{
    setLabelText(u"印刷中: レース %1 / %2　賞状 %3 枚"_s.arg(raceNo)
                     .arg(kRaceCount)
                     .arg(certificates_));
}

} // namespace tarvel::ui
