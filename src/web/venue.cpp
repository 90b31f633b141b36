#include "web/venue.h"

#include "desk/desk.h"
#include "ecert/fromledger.h"
#include "platform/paths.h"
#include "platform/words.h"
#include "web/board.h"
#include "web/deskpages.h"
#include "web/deskreprinter.h"
#include "web/gate.h"
#include "web/httpserver.h"
#include "web/teampages.h"
#include "web/venuesite.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTimer>

#include <mutex>

namespace tarvel::web {

namespace {

/// The board reads Race.dat this often: the meet-management system tells nobody.
constexpr std::chrono::milliseconds kPollInterval{1000};

QString hostForUrl(const QString& address)
{
    const QHostAddress listened(address);
    QHostAddress shown = listened;
    if (listened == QHostAddress(QHostAddress::AnyIPv4) || listened == QHostAddress::AnyIPv6) {
        shown = QHostAddress(QHostAddress::LocalHost);
        for (const QHostAddress& mine : QNetworkInterface::allAddresses()) {
            const bool sameFamily = listened == QHostAddress::AnyIPv6
                                    || mine.protocol() == QAbstractSocket::IPv4Protocol;
            if (!mine.isLoopback() && !mine.isLinkLocal() && sameFamily) {
                shown = mine;
                break;
            }
        }
    }
    if (shown.protocol() == QAbstractSocket::IPv6Protocol)
        return u'[' + shown.toString() + u']';
    return shown.isNull() ? address : shown.toString();
}

/// The server's reason in the operator's words.
QString whyNotListening(const std::string& reason)
{
    const QString why = QString::fromStdString(reason);
    if (why.contains(u"in use"_qs, Qt::CaseInsensitive))
        return Words::tr("another program uses this port (%1)").arg(why);
    if (why.contains(u"assign"_qs, Qt::CaseInsensitive)
        || why.contains(u"invalid"_qs, Qt::CaseInsensitive)
        || why.contains(u"not an IP"_qs, Qt::CaseInsensitive))
        return Words::tr("the address is not this computer's (%1)").arg(why);
    return Words::tr("cannot listen there (%1)").arg(why);
}

} // namespace

struct VenueService::Impl {
    Impl(Desk& d, VenueOptions o)
        : desk(d)
        , options(std::move(o))
        , teamPages(gate, ledgerPath(d), eCertificateFolder(d.session().where))
        , deskPages(gate, ledgerPath(d), deskReprinter(d))
        , board(d.session(),
                [this](std::string notice) {
                    std::lock_guard lock(serverMutex);
                    if (server)
                        server->publish(std::move(notice));
                })
        , site(
              board, [this](const HttpRequest& request) { return teamPages.handle(request); },
              [this](const HttpRequest& request) { return deskPages.handle(request); })
    {
        gate.setCode(GateKind::Team, options.accessCode);
        gate.setCode(GateKind::Desk, options.deskPin);
    }

    static QString ledgerPath(const Desk& desk)
    {
        return hostPath(desk.session().where.dataFile(QString::fromUtf16(kLedgerFileName)));
    }

    Desk& desk;
    const VenueOptions options; ///< where to listen; the codes live in the gate
    Gate gate;
    TeamPages teamPages;
    DeskPages deskPages;
    std::mutex serverMutex; ///< the board publishes on its own thread; outlives the board
    std::unique_ptr<HttpServer> server;
    Board board;
    VenueSite site;
    QTimer poll;
    QList<QMetaObject::Connection> connections;
};

VenueService::VenueService(Desk& desk, VenueOptions options, QObject* parent)
    : QObject(parent)
    , impl_(std::make_unique<Impl>(desk, std::move(options)))
{
    impl_->poll.setInterval(kPollInterval);
    // The board's refreshes run on its own thread: these only post them.
    connect(&impl_->poll, &QTimer::timeout, this, [this] {
        Desk& desk = impl_->desk;
        impl_->board.setInHand(desk.running() ? desk.progress().event : QString());
        impl_->board.poll();
    });
}

VenueService::~VenueService()
{
    stop();
}

void VenueService::start()
{
    if (serving())
        return;
    Impl& impl = *impl_;
    auto server = std::make_unique<HttpServer>(
        [&site = impl.site](const HttpRequest& request) { return site.handle(request); },
        "/events");
    const std::string address = impl.options.address.toStdString();
    if (const std::optional<std::string> why = server->listen(address, impl.options.port)) {
        throw Failure(Words::tr("starting the venue page"),
                      impl.options.address + u':' + QString::number(impl.options.port),
                      whyNotListening(*why));
    }
    {
        std::lock_guard lock(impl.serverMutex);
        impl.server = std::move(server);
    }
    Desk& desk = impl.desk;
    Board& board = impl.board;
    impl.connections = {
        // Nothing is in hand until the run names its first event (the progress kept is the
        // last run's until then).
        connect(&desk, &Desk::runStarted, this, [&] { board.setInHand({}); }),
        connect(&desk, &Desk::runProgress, this,
                [&](const RunProgress& progress) {
                    // A progress queued before the run's end must not put its event back in hand.
                    board.setInHand(desk.running() ? progress.event : QString());
                }),
        connect(&desk, &Desk::runFinished, this,
                [&](const RunOutcome& outcome) { board.runFinished(outcome); }),
        connect(&desk, &Desk::watchChanged, this,
                [&](const WatchSnapshot& watch) { board.setWatchInHand(watch.eventInHand); }),
        connect(&desk, &Desk::jobsPolled, this, [&] { board.ledgerChanged(); }),
    };
    board.poll();
    impl.poll.start();
}

void VenueService::stop()
{
    Impl& impl = *impl_;
    impl.poll.stop();
    for (const QMetaObject::Connection& connection : std::as_const(impl.connections))
        disconnect(connection);
    impl.connections.clear();
    std::unique_ptr<HttpServer> server;
    {
        std::lock_guard lock(impl.serverMutex);
        server = std::move(impl.server);
    }
    if (server)
        server->stop();
}

bool VenueService::serving() const
{
    std::lock_guard lock(impl_->serverMutex);
    return impl_->server != nullptr;
}

QString VenueService::url() const
{
    std::uint16_t port = impl_->options.port;
    {
        std::lock_guard lock(impl_->serverMutex);
        if (impl_->server)
            port = impl_->server->port();
    }
    return u"http://"_qs + hostForUrl(impl_->options.address) + u':' + QString::number(port) + u'/';
}

void VenueService::setAccessCode(std::optional<SaltedHash> code)
{
    impl_->gate.setCode(GateKind::Team, std::move(code));
}

void VenueService::setDeskPin(std::optional<SaltedHash> pin)
{
    impl_->gate.setCode(GateKind::Desk, std::move(pin));
}

} // namespace tarvel::web
