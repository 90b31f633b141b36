#include "platform/qt/cupsconnection.h"

#include "platform/words.h"

#include <QFileInfo>
#include <QLocale>

#include <cups/cups.h>

#include <cerrno>
#include <cstring>

namespace tarvel::cups {

namespace {

using Clock = std::chrono::steady_clock;

/// How often a wait looks at the deadline and the cancel flag: the delay of a stop.
constexpr double kWaitSlice = 0.2; // seconds

/// How long the check whether a scheduler that broke off a call still runs may take.
constexpr int kProbeMilliseconds = 1000;

enum class Interruption { None, Deadline, Cancelled };

QByteArray languageTag(const SchedulerSettings& settings)
{
    const QString tag = settings.language.isEmpty() ? QLocale().bcp47Name() : settings.language;
    return tag.toLower().toUtf8();
}

QString seconds(std::chrono::milliseconds span)
{
    return QLocale().toString(span.count() / 1000.0, 'g', 3);
}

http_t* connectTo(const char* host, int milliseconds)
{
    return httpConnect2(host, ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, milliseconds,
                        nullptr);
}

} // namespace

SchedulerSettings SchedulerSettings::fromEnvironment()
{
    SchedulerSettings settings;
    bool ok = false;
    const int milliseconds = qEnvironmentVariableIntValue("TARVEL_SCHEDULER_DEADLINE_MS", &ok);
    if (ok && milliseconds > 0)
        settings.deadline = std::chrono::milliseconds(milliseconds);
    return settings;
}

QString schedulerName()
{
    return QString::fromUtf8(cupsServer());
}

struct Connection::State {
    SchedulerSettings settings;
    const CancelFlag* cancel = nullptr;
    QByteArray host;
    QString server;
    QByteArray language;
    http_t* http = nullptr;
    Clock::time_point deadline;
    Interruption interruption = Interruption::None;

    /// libcups asks this whenever a wait on the connection found nothing for kWaitSlice:
    /// 1 waits on, 0 gives up the call.
    static int onWaitSlice(http_t*, void* data)
    {
        auto* state = static_cast<State*>(data);
        if (state->cancel && state->cancel->isCancelled()) {
            state->interruption = Interruption::Cancelled;
            return 0;
        }
        if (Clock::now() >= state->deadline) {
            state->interruption = Interruption::Deadline;
            return 0;
        }
        return 1;
    }
};

Connection::Connection(const SchedulerSettings& settings, const CancelFlag* cancel,
                       const QString& action)
    : state_(std::make_unique<State>())
{
    state_->settings = settings;
    state_->cancel = cancel;
    state_->host = cupsServer();
    state_->server = QString::fromUtf8(state_->host);
    state_->language = languageTag(settings);
    if (cancel && cancel->isCancelled())
        throw failure(action, QString());
    state_->interruption = Interruption::None;
    state_->http = connectTo(state_->host.constData(), int(settings.deadline.count()));
    if (!state_->http) {
        // libcups leaves no dependable errno here; a local socket that is gone can be told.
        const bool socketGone =
            state_->server.startsWith(u'/') && !QFileInfo::exists(state_->server);
        throw Failure::ofPrinter(
            action, state_->server,
            socketGone ? Words::tr("the print scheduler is not running (its socket is not there)")
                       : Words::tr("the print scheduler does not accept connections"),
            Failure::Kind::Unreachable);
    }
    httpSetTimeout(state_->http, kWaitSlice, &State::onWaitSlice, state_.get());
}

Connection::~Connection()
{
    if (state_->http)
        httpClose(state_->http);
}

void Connection::beginCall()
{
    state_->interruption = Interruption::None;
    state_->deadline = Clock::now() + state_->settings.deadline;
}

http_t* Connection::http() const
{
    return state_->http;
}

const QString& Connection::server() const
{
    return state_->server;
}

ipp_t* Connection::newRequest(int op) const
{
    ipp_t* request = ippNewRequest(ipp_op_t(op));
    // libcups fills in the process's language; the caller's may differ (the window speaks
    // Japanese whatever the locale).
    if (ipp_attribute_t* language =
            ippFindAttribute(request, "attributes-natural-language", IPP_TAG_LANGUAGE))
        ippSetString(request, &language, 0, state_->language.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

ipp_t* Connection::call(ipp_t* request, const char* resource)
{
    beginCall();
    ipp_t* response = cupsDoRequest(state_->http, request, resource);
    if (response && cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE && !wasInterrupted())
        return response;
    ippDelete(response);
    return nullptr;
}

bool Connection::wasNotFound() const
{
    return !wasInterrupted() && cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND;
}

bool Connection::wasInterrupted() const
{
    return state_->interruption != Interruption::None
           || (state_->cancel && state_->cancel->isCancelled());
}

Failure Connection::failure(const QString& action, const QString& printer) const
{
    const QString subject = printer.isEmpty() ? state_->server : printer;
    const auto unreachable = [&](const QString& reason) {
        return Failure::ofPrinter(action, subject, reason, Failure::Kind::Unreachable);
    };
    if (state_->interruption == Interruption::Cancelled
        || (state_->cancel && state_->cancel->isCancelled()))
        return unreachable(
            Words::tr("stopped while waiting for the print scheduler %1").arg(state_->server));
    if (state_->interruption == Interruption::Deadline)
        return unreachable(Words::tr("the print scheduler %1 did not answer within %2 seconds")
                               .arg(state_->server, seconds(state_->settings.deadline)));

    const ipp_status_t status = cupsLastError();
    const int transportError = state_->http ? httpError(state_->http) : 0;
    const bool answered = status > IPP_STATUS_OK_EVENTS_COMPLETE
                          && status != IPP_STATUS_ERROR_INTERNAL
                          && status != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE && transportError == 0;
    if (answered) {
        const char* text = cupsLastErrorString();
        return Failure::ofPrinter(action, subject,
                                  text && *text ? QString::fromUtf8(text)
                                                : Words::tr("the print scheduler gave no reason"));
    }
    // The call broke off without an answer (libcups may still say "success" or name some
    // errno of its own): tell whether the scheduler is still there.
    const QString why = transportError ? QString::fromLocal8Bit(std::strerror(transportError))
                        : status > IPP_STATUS_OK_EVENTS_COMPLETE
                            ? QString::fromUtf8(cupsLastErrorString())
                            : Words::tr("no answer");
    if (http_t* probe = connectTo(state_->host.constData(), kProbeMilliseconds)) {
        httpClose(probe);
        return unreachable(Words::tr("the print scheduler %1 broke off the connection (%2)")
                               .arg(state_->server, why));
    }
    return unreachable(
        Words::tr("the print scheduler %1 went away and no longer accepts connections")
            .arg(state_->server));
}

} // namespace tarvel::cups
