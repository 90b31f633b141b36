#include "platform/qt/cupsjobs.h"

#include "platform/failure.h"
#include "platform/words.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <cups/cups.h>

namespace tarvel::cups {

namespace {

QString sendAction()
{
    return Words::tr("sending the certificates to the printer");
}

QString lookupAction()
{
    return Words::tr("looking up the default printer");
}

/// Hundredths of a millimetre, as the scheduler gives sizes.
double millimetres(int hundredths)
{
    return hundredths / 100.0;
}

bool succeeded(ipp_status_t status)
{
    return status <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

/// The default the user chose, which comes before the scheduler's: LPDEST or PRINTER in
/// the environment, or "Default" in an lpoptions file (the user's before the system's).
/// Empty when none; `source` then says nothing.
QString userDefault(QString* source)
{
    for (const char* name : {"LPDEST", "PRINTER"}) {
        const QString value = qEnvironmentVariable(name);
        // PRINTER=lp is the traditional placeholder libcups passes over too.
        if (!value.isEmpty() && !(value == u"lp"_qs && qstrcmp(name, "PRINTER") == 0)) {
            *source = QString::fromLatin1(name);
            return value.section(u'/', 0, 0); // an instance is the same printer
        }
    }
    const QString serverRoot = qEnvironmentVariableIsEmpty("CUPS_SERVERROOT")
                                   ? u"/etc/cups"_qs
                                   : qEnvironmentVariable("CUPS_SERVERROOT");
    for (const QString& path :
         {QDir::homePath() + u"/.cups/lpoptions"_qs, serverRoot + u"/lpoptions"_qs}) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        while (!file.atEnd()) {
            const QList<QByteArray> words = file.readLine(65536).simplified().split(' ');
            if (words.size() >= 2 && words[0].compare("Default", Qt::CaseInsensitive) == 0) {
                *source = path;
                return QString::fromUtf8(words[1]).section(u'/', 0, 0);
            }
        }
    }
    return {};
}

/// The URI the scheduler serves `name` under (a printer's or a class's); throws a failure
/// naming it when the scheduler does not know it or does not answer.
QByteArray printerUri(Connection& connection, const QString& name, const QString& action,
                      const QString& unknown)
{
    ipp_t* request = connection.newRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    // The scheduler finds classes under /printers/ as well.
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", name.toUtf8().constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const kAttributes[] = {"printer-uri-supported"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr,
                  kAttributes);
    ipp_t* response = connection.call(request);
    if (!response) {
        if (connection.wasNotFound())
            throw Failure::ofPrinter(action, name, unknown);
        throw connection.failure(action, name);
    }
    ipp_attribute_t* supported = ippFindAttribute(response, "printer-uri-supported", IPP_TAG_URI);
    const QByteArray found = supported ? QByteArray(ippGetString(supported, 0, nullptr)) : uri;
    ippDelete(response);
    return found;
}

} // namespace

struct Destination::Handles {
    cups_dest_t* dest = nullptr;
    cups_dinfo_t* info = nullptr;
    QByteArray uri;      ///< the printer's URI, as jobs name it
    QByteArray resource; ///< its path, where requests about it are posted

    ~Handles()
    {
        if (info)
            cupsFreeDestInfo(info);
        if (dest)
            cupsFreeDests(1, dest);
    }
};

QStringList destinationNames(Connection& connection)
{
    ipp_t* request = connection.newRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    ipp_t* response = connection.call(request);
    if (!response) {
        if (connection.wasNotFound())
            return {}; // a scheduler without destinations
        throw connection.failure(Words::tr("listing the printers"), QString());
    }
    QStringList names;
    for (ipp_attribute_t* name = ippFindAttribute(response, "printer-name", IPP_TAG_NAME); name;
         name = ippFindNextAttribute(response, "printer-name", IPP_TAG_NAME))
        names << QString::fromUtf8(ippGetString(name, 0, nullptr));
    ippDelete(response);
    names.sort();
    return names;
}

QString defaultDestination(Connection& connection)
{
    QString source;
    const QString chosen = userDefault(&source);
    if (!chosen.isEmpty()) {
        printerUri(connection, chosen, lookupAction(),
                   Words::tr("the default printer (set by %1) does not exist at the print "
                             "scheduler %2")
                       .arg(source, connection.server()));
        return chosen;
    }
    ipp_t* response = connection.call(connection.newRequest(IPP_OP_CUPS_GET_DEFAULT));
    if (!response) {
        if (connection.wasNotFound())
            throw Failure::ofPrinter(lookupAction(), connection.server(),
                                     Words::tr("the print scheduler has no default printer"));
        throw connection.failure(lookupAction(), QString());
    }
    ipp_attribute_t* name = ippFindAttribute(response, "printer-name", IPP_TAG_NAME);
    const QString found = name ? QString::fromUtf8(ippGetString(name, 0, nullptr)) : QString();
    ippDelete(response);
    if (found.isEmpty())
        throw Failure::ofPrinter(lookupAction(), connection.server(),
                                 Words::tr("the print scheduler has no default printer"));
    return found;
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

Destination::Destination(Connection& connection, const QString& name)
    : connection_(connection)
    , name_(name)
    , handles_(std::make_unique<Handles>())
{
    // The destination is made from the scheduler's own answer rather than with
    // cupsGetNamedDest, which after a call that found no answer goes on asking over
    // libcups's shared connection, with no deadline.
    const QByteArray uri = printerUri(
        connection_, name, sendAction(),
        Words::tr("the print scheduler %1 does not know this printer").arg(connection_.server()));
    handles_->uri = uri;
    char scheme[32], user[256], host[256], resource[1024];
    int port = 0;
    handles_->resource =
        httpSeparateURI(HTTP_URI_CODING_ALL, uri.constData(), scheme, sizeof scheme, user,
                        sizeof user, host, sizeof host, &port, resource, sizeof resource)
                >= HTTP_URI_STATUS_OK
            ? QByteArray(resource)
            : QByteArray("/");
    cupsAddDest(name.toUtf8().constData(), nullptr, 0, &handles_->dest);
    if (!handles_->dest)
        throw Failure::ofPrinter(sendAction(), name, Words::tr("out of memory"));
    handles_->dest->num_options =
        cupsAddOption("printer-uri-supported", uri.constData(), handles_->dest->num_options,
                      &handles_->dest->options);
    connection_.beginCall();
    handles_->info = cupsCopyDestInfo(connection_.http(), handles_->dest);
    if (!handles_->info)
        throw connection_.failure(sendAction(), name);
}

Destination::~Destination() = default;

std::optional<Paper> Destination::defaultPaper() const
{
    cups_size_t size{};
    connection_.beginCall();
    if (!cupsGetDestMediaDefault(connection_.http(), handles_->dest, handles_->info,
                                 CUPS_MEDIA_FLAGS_DEFAULT, &size)
        || size.width <= 0 || size.length <= 0)
        return std::nullopt;
    return Paper{QSizeF(millimetres(size.width), millimetres(size.length)),
                 QMarginsF(millimetres(size.left), millimetres(size.top), millimetres(size.right),
                           millimetres(size.bottom))};
}

ipp_t* Destination::newJobRequest(int op) const
{
    ipp_t* request = connection_.newRequest(op);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 handles_->uri.constData());
    return request;
}

int Destination::submitPdf(const QString& title, const QByteArray& pdf)
{
    // The requests are made here rather than by libcups's job functions, which would ask
    // for the scheduler's texts in the process's language instead of the caller's.
    const char* resource = handles_->resource.constData();
    ipp_t* create = newJobRequest(IPP_OP_CREATE_JOB);
    ippAddString(create, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                 title.toUtf8().constData());
    ipp_t* created = connection_.call(create, resource);
    if (!created)
        throw connection_.failure(sendAction(), name_);
    ipp_attribute_t* id = ippFindAttribute(created, "job-id", IPP_TAG_INTEGER);
    const int jobId = id ? ippGetInteger(id, 0) : 0;
    ippDelete(created);
    if (jobId <= 0)
        throw Failure::ofPrinter(sendAction(), name_,
                                 Words::tr("the print scheduler gave the job no number"));

    // From here on a failure leaves a job without its document: cancel it, so that the
    // queue holds nothing this program does not count as printed. A scheduler that did not
    // answer is not asked again (it drops the job itself once it sees the call broken off).
    const auto abandon = [&] {
        const Failure failure = connection_.failure(sendAction(), name_);
        if (!connection_.wasInterrupted()) {
            ipp_t* cancel = newJobRequest(IPP_OP_CANCEL_JOB);
            ippAddInteger(cancel, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
            ippDelete(connection_.call(cancel, resource));
        }
        throw failure;
    };
    ipp_t* send = newJobRequest(IPP_OP_SEND_DOCUMENT);
    ippAddInteger(send, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    ippAddString(send, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 CUPS_FORMAT_PDF);
    ippAddBoolean(send, IPP_TAG_OPERATION, "last-document", 1);
    connection_.beginCall();
    const http_status_t started =
        cupsSendRequest(connection_.http(), send, resource, CUPS_LENGTH_VARIABLE);
    ippDelete(send);
    if (started != HTTP_STATUS_CONTINUE)
        abandon();
    if (cupsWriteRequestData(connection_.http(), pdf.constData(), size_t(pdf.size()))
        != HTTP_STATUS_CONTINUE)
        abandon();
    ipp_t* response = cupsGetResponse(connection_.http(), resource);
    const bool accepted = response && succeeded(cupsLastError()) && !connection_.wasInterrupted();
    ippDelete(response);
    if (!accepted)
        abandon();
    return jobId;
}

} // namespace tarvel::cups
