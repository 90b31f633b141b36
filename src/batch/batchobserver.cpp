#include "batch/batchobserver.h"

#include "meetdb/racestatus.h"
#include "printrun/runaccount.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace tarvel::batch {

QByteArray logLine(const AcceptedCertificate& certificate)
{
    QJsonArray items;
    for (const QString& text : certificate.items)
        items.append(text);
    QByteArray line = "{\"race\": " + QByteArray::number(certificate.raceNo)
        + ", \"lane\": " + QByteArray::number(certificate.lane) + ", \"leg\": "
        + (certificate.leg ? QByteArray::number(*certificate.leg) : QByteArray("null"))
        + ", \"items\": " + QJsonDocument(items).toJson(QJsonDocument::Compact) + "}\n";
    return line;
}

void BatchObserver::raceReached(int raceNo)
{
    if (progress_ == Progress::Hidden)
        return;
    std::fprintf(stderr, "\rrace %d of %d", raceNo, kRaceCount);
    std::fflush(stderr);
    progressShown_ = true;
}

void BatchObserver::certificateAccepted(const AcceptedCertificate& certificate)
{
    ++certificates_;
    const QString undrawable = describeUndrawable(certificate);
    if (!undrawable.isEmpty()) {
        finishProgress();
        std::fputs(qPrintable(u"tarvel-batch: "_qs + undrawable + u"\n"_qs), stderr);
    }
    if (log_)
        log_->write(logLine(certificate));
}

void BatchObserver::raceMarked(int) { ++racesMarked_; }

void BatchObserver::finishProgress()
{
    if (!progressShown_)
        return;
    std::fputs("\r                    \r", stderr);
    std::fflush(stderr);
    progressShown_ = false;
}

} // namespace tarvel::batch
