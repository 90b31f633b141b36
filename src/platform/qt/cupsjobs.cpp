#include "platform/qt/cupsjobs.h"

#include "platform/failure.h"

#include <cups/cups.h>

#include <memory>

namespace tarvel::cups {

namespace {

const QString kAction = u"sending the certificates to the printer"_qs;

/// Hundredths of a millimetre, as the scheduler gives sizes.
double millimetres(int hundredths)
{
    return hundredths / 100.0;
}

QString lastReason()
{
    const char* reason = cupsLastErrorString();
    return reason && *reason ? QString::fromUtf8(reason) : u"the scheduler gave no reason"_qs;
}

struct DestinationsFree {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using DestinationPtr = std::unique_ptr<cups_dest_t, DestinationsFree>;

struct DestinationInfoFree {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
using DestinationInfoPtr = std::unique_ptr<cups_dinfo_t, DestinationInfoFree>;

} // namespace

std::optional<QString> defaultDestination()
{
    const DestinationPtr dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr));
    if (!dest || !dest->name)
        return std::nullopt;
    return QString::fromUtf8(dest->name);
}

std::optional<Paper> defaultPaper(const QString& destination)
{
    const QByteArray name = destination.toUtf8();
    const DestinationPtr dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr));
    if (!dest)
        return std::nullopt;
    const DestinationInfoPtr info(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get()));
    if (!info)
        return std::nullopt;
    cups_size_t size{};
    if (!cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest.get(), info.get(),
                                 CUPS_MEDIA_FLAGS_DEFAULT, &size)
        || size.width <= 0 || size.length <= 0)
        return std::nullopt;
    return Paper{QSizeF(millimetres(size.width), millimetres(size.length)),
                 QMarginsF(millimetres(size.left), millimetres(size.top),
                           millimetres(size.right), millimetres(size.bottom))};
}

int submitPdf(const QString& destination, const QString& title, const QByteArray& pdf)
{
    const QByteArray name = destination.toUtf8();
    const QByteArray jobTitle = title.toUtf8();
    const int jobId = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), jobTitle.constData(),
                                    0, nullptr);
    if (jobId <= 0)
        throw Failure(kAction, destination, lastReason());

    // From here on a failure leaves a job without its document: cancel it, so that the
    // queue holds nothing this program does not count as printed.
    const auto abandon = [&](const QString& reason) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), jobId, 0);
        throw Failure(kAction, destination, reason);
    };
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), jobId, jobTitle.constData(),
                          CUPS_FORMAT_PDF, 1)
        != HTTP_STATUS_CONTINUE)
        abandon(lastReason());
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), size_t(pdf.size()))
        != HTTP_STATUS_CONTINUE) {
        cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
        abandon(lastReason());
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) > IPP_STATUS_OK_EVENTS_COMPLETE)
        abandon(lastReason());
    return jobId;
}

} // namespace tarvel::cups
