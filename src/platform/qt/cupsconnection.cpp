#include "platform/qt/cupsconnection.h"

#include "platform/words.h"

#include <QFileInfo>
#include <QLocale>

#include <cups/cups.h>

namespace tarvel::cups {

namespace {

using Clock = std::chrono::steady_clock;

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

/// Whether a scheduler at `host` answers a request within kProbeMilliseconds. A connection
/// alone proves nothing: the socket of a scheduler that was killed can outlive it in a
/// child for a moment, and a frozen one still takes connections.
bool answersAtAll(const QByteArray& host)
{
    http_t* probe = connectTo(host.constData(), kProbeMilliseconds);
    if (!probe)
        return false;
    httpSetTimeout(probe, kProbeMilliseconds / 1000.0, nullptr, nullptr);
    ipp_t* response = cupsDoRequest(probe, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
    const bool answered = response != nullptr;
    ippDelete(response);
    httpClose(probe);
    return answered;
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

void CancelFlag::cancel() noexcept
{
    cancelled_.store(true);
    try {
        std::lock_guard lock(mutex_);
        if (attached_)
            httpShutdown(attached_);
    } catch (...) {
        // The flag alone still stops the next call.
    }
}

void CancelFlag::attach(http_t* http)
{
    std::lock_guard lock(mutex_);
    attached_ = http;
}

void CancelFlag::detach()
{
    std::lock_guard lock(mutex_);
    attached_ = nullptr;
}

struct Connection::State {
    SchedulerSettings settings;
    CancelFlag* cancel = nullptr;
    QByteArray host;
    QString server;
    QByteArray language;
    http_t* http = nullptr;
    Clock::time_point deadline;
    Interruption interruption = Interruption::None;

    /// libcups asks this when a wait on the connection reached the timeout: 1 waits on,
    /// 0 gives up the call.
    static int onTimeout(http_t*, void* data)
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
        return 1; // a wait begun late in the call: the call's deadline is not reached yet
    }
};

Connection::Connection(const SchedulerSettings& settings, CancelFlag* cancel, const QString& action)
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
    httpSetTimeout(state_->http, std::chrono::duration<double>(settings.deadline).count(),
                   &State::onTimeout, state_.get());
    if (cancel) {
        cancel->attach(state_->http);
        if (cancel->isCancelled()) // stopped while connecting
            httpShutdown(state_->http);
    }
}

Connection::~Connection()
{
    if (state_->cancel)
        state_->cancel->detach();
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
    // The call broke off without an answer (libcups may still say "success", or name an
    // errno of its own): tell whether the scheduler is still there.
    if (answersAtAll(state_->host))
        return unreachable(
            Words::tr("the print scheduler %1 broke off the connection").arg(state_->server));
    return unreachable(
        Words::tr("the print scheduler %1 went away and no longer answers").arg(state_->server));
}

} // namespace tarvel::cups
