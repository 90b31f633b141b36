#include "batch/servecommand.h"

#include "batch/batchtools.h"
#include "batch/ledgercommands.h"
#include "batch/printcommand.h"
#include "platform/failure.h"
#include "platform/stopsignals.h"
#include "platform/words.h"
#include "web/secret.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>

namespace tarvel::batch {

namespace {

/// Longer than any code anybody types: the file is not what was meant.
constexpr qint64 kLongestSecretFile = 4096;

/// The code kept in `path` as the service keeps it: a salted hash; none without a file.
std::optional<web::SaltedHash> secretOf(const std::optional<QString>& path, const QString& action)
{
    if (!path)
        return std::nullopt;
    return web::saltedHashOf(readSecretFile(*path, action));
}

} // namespace

QString readSecretFile(const QString& path, const QString& action)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(action, shown, file.errorString(),
                      file.exists() ? Failure::Kind::System : Failure::Kind::Missing);
    if (file.permissions() & QFileDevice::ReadOther)
        throw Failure(action, shown,
                      Words::tr("anybody on this machine may read it; make it readable by its "
                                "owner only (chmod 600)"),
                      Failure::Kind::Damaged);
    const QByteArray content = file.read(kLongestSecretFile + 1);
    if (file.error() != QFileDevice::NoError)
        throw Failure(action, shown, file.errorString());
    if (content.size() > kLongestSecretFile)
        throw Failure(action, shown, Words::tr("the file is too long for a code"),
                      Failure::Kind::Damaged);
    const QString line = QString::fromUtf8(content.left(content.indexOf('\n'))).trimmed();
    if (line.isEmpty())
        throw Failure(action, shown, Words::tr("its first line is empty"), Failure::Kind::Damaged);
    return line;
}

void sayPageRuns(Desk& desk, const PrintOptions& options)
{
    QObject::connect(&desk, &Desk::runFinished, &desk,
                     [&desk, options](const RunOutcome& outcome, RunOrigin origin) {
                         if (origin != RunOrigin::Operator)
                             return;
                         const QString stamp = timeStamp();
                         if (outcome.failure)
                             say(stamp + outcome.failure->message());
                         sayAccount(outcome, options, desk, stamp);
                     });
}

std::unique_ptr<web::VenueService> startVenue(const Request& request, Desk& desk,
                                              const std::function<QString()>& stamp)
{
    try {
        web::VenueOptions options;
        options.address = request.listen.address;
        options.port = request.listen.port;
        options.accessCode = secretOf(request.accessCodeFile, Words::tr("reading the access code"));
        options.deskPin = secretOf(request.deskPinFile, Words::tr("reading the desk PIN"));
        auto venue = std::make_unique<web::VenueService>(desk, std::move(options));
        venue->start();
        say(stamp() + Words::tr("the venue page is served at %1").arg(venue->url()));
        if (!request.accessCodeFile)
            say(stamp() + Words::tr("no --access-code-file: the team page refuses every code"));
        if (!request.deskPinFile)
            say(stamp() + Words::tr("no --desk-pin-file: the desk's page refuses every PIN"));
        return venue;
    } catch (const Failure& failure) {
        say(stamp() + failure.message());
        return nullptr;
    }
}

int runServe(const Request& request, Session& session)
{
    const PrintOptions options = requestedOptions(request, session);
    // The printer is looked up by each reprint the desk's page asks for, as when watching.
    Desk desk(session, batchServices(request, Lookup::BeforeFirstDocument));
    followLedger(desk, timeStamp);
    StopSignals signals;
    sayPageRuns(desk, options);
    std::unique_ptr<web::VenueService> venue = startVenue(request, desk, timeStamp);
    if (!venue)
        return kFailed;
    QObject::connect(&signals, &StopSignals::arrivedNow, QCoreApplication::instance(),
                     &QCoreApplication::quit, Qt::QueuedConnection);
    say(timeStamp() + Words::tr("serving until stopped with Ctrl+C"));
    if (!signals.arrived())
        QCoreApplication::exec();
    say(timeStamp() + Words::tr("stopping: the venue page closes; a reprint in hand ends first"));
    venue->stop();
    venue.reset();
    if (desk.running()) {
        QEventLoop reprint;
        QObject::connect(&desk, &Desk::runFinished, &reprint, &QEventLoop::quit);
        if (desk.running())
            reprint.exec();
    }
    desk.finishRecording();
    say(timeStamp() + Words::tr("serving ended"));
    sayLedgerTrouble(desk);
    return kDone;
}

} // namespace tarvel::batch
