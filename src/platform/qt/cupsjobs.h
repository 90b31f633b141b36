#pragma once
/// The print scheduler (CUPS) as the certificate printer uses it: the default destination,
/// its paper, and jobs sent as PDF. The scheduler is the one the system names (CUPS_SERVER,
/// client.conf, or the local one). Every call goes over a Connection of the calling thread,
/// under its deadline.

#include "platform/printdevice.h"
#include "platform/qt/cupsconnection.h"

#include <QByteArray>
#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>

namespace tarvel::cups {

/// A destination's default paper: its size, and the margins of its printable area (left,
/// top, right, bottom), in millimetres.
struct Paper {
    QSizeF size;
    QMarginsF margins;
};

/// The default destination (a printer or a class): the user's choice (LPDEST, PRINTER,
/// lpoptions) or else the scheduler's. Throws tarvel::Failure when the scheduler does not
/// answer (Kind::Unreachable), when the chosen default does not exist (naming it), or when
/// there is no default at all.
QString defaultDestination(Connection& connection);

/// The names of the scheduler's destinations (printers and classes), sorted. Throws
/// tarvel::Failure when the scheduler does not answer.
QStringList destinationNames(Connection& connection);

/// The scheduler this process sends to, named so that every desk sharing a ledger names it
/// alike: "host:port" of a scheduler on the network, this machine's name before a local one
/// ("desk-3:/run/cups/cups.sock", "desk-3:localhost:631").
QString schedulerName();

/// Asks the scheduler after print jobs over a connection of its own (made on first use,
/// made again after a failure), each question answered within `deadline` or given up.
/// Once a question went unanswered, the next ones within `deadline` are not asked (a poll
/// of many jobs ends quickly when the scheduler hangs). Use from one thread at a time; it
/// may wait, so never on the GUI thread.
class JobStateClient {
public:
    explicit JobStateClient(std::chrono::milliseconds deadline = std::chrono::seconds(5));
    ~JobStateClient();
    JobStateClient(const JobStateClient&) = delete;
    JobStateClient& operator=(const JobStateClient&) = delete;

    /// The state of job `jobId`; nothing when the scheduler does not answer in time or does
    /// not know the job.
    std::optional<JobState> state(int jobId);

private:
    struct Connection;
    std::chrono::milliseconds deadline_;
    std::unique_ptr<Connection> connection_;
    std::chrono::steady_clock::time_point quietUntil_{};
};

/// The state of job `jobId`, asked once over a connection of its own (see JobStateClient).
std::optional<JobState> jobState(int jobId);

/// One destination of the scheduler, looked up once: what it says of itself is kept, so
/// that a job costs the scheduler one request and the document, not a lookup each time.
class Destination {
public:
    /// Looks `name` up over `connection`, which it keeps using (it must outlive this).
    /// Throws tarvel::Failure naming it when the scheduler does not know it or cannot be
    /// reached.
    Destination(Connection& connection, const QString& name);
    ~Destination();
    Destination(const Destination&) = delete;
    Destination& operator=(const Destination&) = delete;

    const QString& name() const { return name_; }

    /// The default media with its printable area; nothing when the scheduler does not say
    /// (a class, a queue without a driver).
    std::optional<Paper> defaultPaper() const;

    /// Sends `pdf` as one job titled `title`: the job is created, the document sent and the
    /// job closed, each step's answer checked. Returns the job's id once the scheduler has
    /// accepted the whole job. Throws tarvel::Failure naming the destination and the
    /// scheduler's own reason when any step fails (a queue rejecting jobs, a destination
    /// gone, the scheduler unreachable); a job created but not completed is cancelled.
    int submitPdf(const QString& title, const QByteArray& pdf);

private:
    /// A request of operation `op` about this destination, in the connection's language.
    ipp_t* newJobRequest(int op) const;

    struct Handles;
    Connection& connection_;
    QString name_;
    std::unique_ptr<Handles> handles_;
};

} // namespace tarvel::cups
