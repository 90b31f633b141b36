#include "platform/qt/cupsjobs.h"

#include "platform/failure.h"
#include "platform/words.h"

#include <QSysInfo>

#include <cups/cups.h>

namespace tarvel::cups {

namespace {

QString sendAction()
{
    return Words::tr("sending the certificates to the printer");
}

/// Hundredths of a millimetre, as the scheduler gives sizes.
double millimetres(int hundredths)
{
    return hundredths / 100.0;
}

QString lastReason()
{
    const char* reason = cupsLastErrorString();
    return reason && *reason ? QString::fromUtf8(reason)
                             : Words::tr("the scheduler gave no reason");
}

bool succeeded(ipp_status_t status)
{
    return status <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

} // namespace

struct Destination::Handles {
    cups_dest_t* dest = nullptr;
    cups_dinfo_t* info = nullptr;

    ~Handles()
    {
        if (info)
            cupsFreeDestInfo(info);
        if (dest)
            cupsFreeDests(1, dest);
    }
};

std::optional<QString> defaultDestination()
{
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest)
        return std::nullopt;
    const QString name = QString::fromUtf8(dest->name);
    cupsFreeDests(1, dest);
    return name;
}

QString schedulerName()
{
    const QString server = QString::fromUtf8(cupsServer());
    const bool local = server.startsWith(u'/') || server == u"localhost"
                       || server.startsWith(u"127.") || server == u"::1";
    const QString named = server.startsWith(u'/') ? server : u"%1:%2"_qs.arg(server).arg(ippPort());
    return local ? QSysInfo::machineHostName() + u':' + named : named;
}

namespace {

std::optional<JobState> stateOf(int ippState)
{
    switch (ippState) {
    case IPP_JSTATE_PENDING: return JobState::Pending;
    case IPP_JSTATE_HELD: return JobState::Held;
    case IPP_JSTATE_PROCESSING: return JobState::Processing;
    case IPP_JSTATE_STOPPED: return JobState::Stopped;
    case IPP_JSTATE_CANCELED: return JobState::Canceled;
    case IPP_JSTATE_ABORTED: return JobState::Aborted;
    case IPP_JSTATE_COMPLETED: return JobState::Completed;
    default: return std::nullopt;
    }
}

/// Gives up a read or write that waits longer than the connection's timeout.
int giveUp(http_t*, void*)
{
    return 0;
}

} // namespace

struct JobStateClient::Connection {
    http_t* http = nullptr;
    ~Connection() { httpClose(http); }
};

JobStateClient::JobStateClient(std::chrono::milliseconds deadline) : deadline_(deadline) {}

JobStateClient::~JobStateClient() = default;

std::optional<JobState> JobStateClient::state(int jobId)
{
    using Clock = std::chrono::steady_clock;
    if (Clock::now() < quietUntil_)
        return std::nullopt;
    const auto unanswered = [this] {
        connection_.reset();
        quietUntil_ = Clock::now() + deadline_;
        return std::nullopt;
    };
    if (!connection_) {
        http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(),
                                    1, int(deadline_.count()), nullptr);
        if (!http)
            return unanswered();
        httpSetTimeout(http, double(deadline_.count()) / 1000.0, giveUp, nullptr);
        connection_ = std::make_unique<Connection>();
        connection_->http = http;
    }

    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/jobs/%d", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    static const char* const kAttributes[] = {"job-state"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr,
                  kAttributes);
    // cupsDoRequest takes the request and frees it.
    ipp_t* response = cupsDoRequest(connection_->http, request, "/");
    if (!response)
        return unanswered();
    std::optional<JobState> state;
    if (ipp_attribute_t* found = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
        state = stateOf(ippGetInteger(found, 0));
    ippDelete(response);
    return state;
}

std::optional<JobState> jobState(int jobId)
{
    return JobStateClient().state(jobId);
}

Destination::Destination(const QString& name) : name_(name), handles_(std::make_unique<Handles>())
{
    const QByteArray utf8 = name.toUtf8();
    handles_->dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, utf8.constData(), nullptr);
    if (!handles_->dest)
        throw Failure(sendAction(), name,
                      Words::tr("the scheduler does not know this printer (%1)").arg(lastReason()));
    handles_->info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, handles_->dest);
    if (!handles_->info)
        throw Failure(sendAction(), name, lastReason());
}

Destination::~Destination() = default;

std::optional<Paper> Destination::defaultPaper() const
{
    cups_size_t size{};
    if (!cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, handles_->dest, handles_->info,
                                 CUPS_MEDIA_FLAGS_DEFAULT, &size)
        || size.width <= 0 || size.length <= 0)
        return std::nullopt;
    return Paper{QSizeF(millimetres(size.width), millimetres(size.length)),
                 QMarginsF(millimetres(size.left), millimetres(size.top), millimetres(size.right),
                           millimetres(size.bottom))};
}

int Destination::submitPdf(const QString& title, const QByteArray& pdf)
{
    cups_dest_t* dest = handles_->dest;
    cups_dinfo_t* info = handles_->info;
    const QByteArray jobTitle = title.toUtf8();
    int jobId = 0;
    if (!succeeded(cupsCreateDestJob(CUPS_HTTP_DEFAULT, dest, info, &jobId, jobTitle.constData(), 0,
                                     nullptr))
        || jobId <= 0)
        throw Failure(sendAction(), name_, lastReason());

    // From here on a failure leaves a job without its document: cancel it, so that the
    // queue holds nothing this program does not count as printed.
    const auto abandon = [&](const QString& reason) {
        cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest, jobId);
        throw Failure(sendAction(), name_, reason);
    };
    if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, dest, info, jobId, jobTitle.constData(),
                              CUPS_FORMAT_PDF, 0, nullptr, 1)
        != HTTP_STATUS_CONTINUE)
        abandon(lastReason());
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), size_t(pdf.size()))
        != HTTP_STATUS_CONTINUE) {
        cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest, info);
        abandon(lastReason());
    }
    if (!succeeded(cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest, info)))
        abandon(lastReason());
    return jobId;
}

} // namespace tarvel::cups
