#include "batch/batchobserver.h"

#include "platform/words.h"
#include "printrun/runaccount.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cstdio>

namespace tarvel::batch {

QByteArray logLine(const AcceptedCertificate& certificate)
{
    QJsonArray items;
    for (const QString& text : certificate.items)
        items.append(text);
    // Lanes and legs counted from 1, as the history, the CSV file and --reprint count them.
    QByteArray line =
        "{\"race\": " + QByteArray::number(certificate.raceNo)
        + ", \"lane\": " + QByteArray::number(certificate.lane + 1) + ", \"leg\": "
        + (certificate.leg ? QByteArray::number(*certificate.leg + 1) : QByteArray("null"))
        + ", \"items\": " + QJsonDocument(items).toJson(QJsonDocument::Compact) + "}\n";
    return line;
}

void BatchObserver::runStarted(int lastRace)
{
    lastRace_ = lastRace;
}

void BatchObserver::raceReached(int raceNo)
{
    raceNo_ = raceNo;
    // Past the meet's own races only statuses are looked at: nothing to show.
    if (raceNo <= lastRace_)
        showProgress();
}

void BatchObserver::eventStarted(int raceNo, const QString& title)
{
    raceNo_ = raceNo;
    event_ = title;
    showProgress();
}

void BatchObserver::certificateAccepted(const AcceptedCertificate& certificate)
{
    ++certificates_;
    const QString undrawable = describeUndrawable(certificate);
    if (!undrawable.isEmpty()) {
        finishProgress();
        std::fputs((u"tarvel-batch: "_qs + undrawable + u'\n').toUtf8().constData(), stderr);
    }
    if (log_)
        log_->write(logLine(certificate));
    showProgress();
}

void BatchObserver::showProgress()
{
    if (progress_ == Progress::Hidden)
        return;
    QString line = Words::tr("race %1 of %2").arg(std::min(raceNo_, lastRace_)).arg(lastRace_);
    if (!event_.isEmpty())
        line += u"  "_qs + event_;
    line += u"  "_qs + Words::tr("%1 certificate(s)").arg(certificates_);
    // Back to the start of the line and clear it: the terminal shows one line that changes.
    std::fputs("\r\033[K", stderr);
    std::fputs(line.toUtf8().constData(), stderr);
    std::fflush(stderr);
    progressShown_ = true;
}

void BatchObserver::raceMarked(int)
{
    ++racesMarked_;
}

void BatchObserver::finishProgress()
{
    if (!progressShown_)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    progressShown_ = false;
}

} // namespace tarvel::batch
