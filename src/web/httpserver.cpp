#include "web/httpserver.h"

#include "web/httpconnection.h"

#include <boost/asio/post.hpp>

#include <mutex>
#include <thread>
#include <vector>

namespace tarvel::web {

using namespace detail;
using boost::system::error_code;

namespace {

/// When accepting fails (out of descriptors), how long before trying again.
constexpr std::chrono::milliseconds kAcceptRetry{50};

/// A short answer for a connection over the limit, sent without reading anything.
constexpr std::string_view kBusy = "HTTP/1.1 503 Service Unavailable\r\n"
                                   "Content-Type: text/plain; charset=utf-8\r\n"
                                   "Content-Security-Policy: default-src 'self'\r\n"
                                   "X-Content-Type-Options: nosniff\r\n"
                                   "X-Frame-Options: DENY\r\n"
                                   "Referrer-Policy: same-origin\r\n"
                                   "Connection: close\r\n"
                                   "Content-Length: 20\r\n"
                                   "\r\n"
                                   "Service Unavailable\n";

} // namespace

namespace detail {

Hub::Hub(HttpHandler handler, std::string eventsPath, HttpLimits limits)
    : handler(std::move(handler))
    , eventsPath(std::move(eventsPath))
    , limits(limits)
{
}

void Hub::add(const std::shared_ptr<Connection>& connection)
{
    connection->where = open.insert(open.end(), connection);
    openCount = int(open.size());
}

void Hub::remove(Connection& connection)
{
    if (connection.where == open.end())
        return;
    const auto where = connection.where;
    connection.where = open.end();
    open.erase(where); // the caller still holds the connection
    openCount = int(open.size());
}

bool Hub::makeRoom()
{
    std::shared_ptr<Connection> longest;
    for (const auto& connection : open)
        if (connection->spare() && (!longest || connection->idleSince() < longest->idleSince()))
            longest = connection;
    if (!longest)
        return false;
    longest->close();
    return true;
}

void Hub::closeAll()
{
    const std::vector<std::shared_ptr<Connection>> all(open.begin(), open.end());
    for (const auto& connection : all)
        connection->close();
}

} // namespace detail

struct HttpServer::Impl {
    Impl(HttpHandler handler, std::string eventsPath, HttpLimits limits)
        : hub(std::move(handler), std::move(eventsPath), limits)
        , acceptor(hub.io)
        , acceptRetry(hub.io)
        , keepAliveTimer(hub.io)
    {
    }

    void accept();
    void accepted(tcp::socket socket);
    void tickKeepAlive();

    Hub hub;
    tcp::acceptor acceptor;
    asio::steady_timer acceptRetry;
    asio::steady_timer keepAliveTimer;
    std::thread network;
    std::atomic<std::uint16_t> port{0};

    std::mutex lifecycle; ///< guards listening/stopped against listen() and stop() at once
    bool listening = false;
    bool stopped = false;
};

void HttpServer::Impl::accept()
{
    acceptor.async_accept([this](error_code error, tcp::socket socket) {
        if (hub.stopping || !acceptor.is_open())
            return;
        if (error) {
            // Out of descriptors, most likely: try again shortly rather than spin.
            acceptRetry.expires_after(kAcceptRetry);
            acceptRetry.async_wait([this](error_code waited) {
                if (!waited)
                    accept();
            });
            return;
        }
        accepted(std::move(socket));
        accept();
    });
}

void HttpServer::Impl::accepted(tcp::socket socket)
{
    if (hub.openCount >= hub.limits.connections && !hub.makeRoom()) {
        // Every connection is busy: a short answer if the socket takes it at once, then close.
        error_code ignored;
        socket.non_blocking(true, ignored);
        socket.write_some(asio::buffer(kBusy.data(), kBusy.size()), ignored);
        socket.shutdown(tcp::socket::shutdown_send, ignored);
        socket.close(ignored);
        return;
    }
    auto connection = std::make_shared<Connection>(hub, std::move(socket));
    hub.add(connection);
    connection->start();
}

void HttpServer::Impl::tickKeepAlive()
{
    keepAliveTimer.expires_after(hub.limits.keepAliveTime);
    keepAliveTimer.async_wait([this](error_code error) {
        if (error || hub.stopping)
            return;
        hub.keepStreamsAlive();
        tickKeepAlive();
    });
}

HttpServer::HttpServer(HttpHandler handler, std::string eventsPath, HttpLimits limits)
    : impl_(std::make_unique<Impl>(std::move(handler), std::move(eventsPath), limits))
{
}

HttpServer::~HttpServer()
{
    stop();
}

std::optional<std::string> HttpServer::listen(const std::string& address, std::uint16_t port)
{
    std::lock_guard lock(impl_->lifecycle);
    if (impl_->stopped)
        return std::string("the server was stopped");
    if (impl_->listening)
        return std::string("the server is already listening");
    error_code error;
    const auto ip = asio::ip::make_address(address, error);
    if (error)
        return "\"" + address + "\" is not an IP address";
    const tcp::endpoint endpoint(ip, port);
    tcp::acceptor& acceptor = impl_->acceptor;
    acceptor.open(endpoint.protocol(), error);
    if (!error)
        acceptor.set_option(tcp::acceptor::reuse_address(true), error);
    if (!error)
        acceptor.bind(endpoint, error);
    if (!error)
        acceptor.listen(asio::socket_base::max_listen_connections, error);
    if (error) {
        error_code ignored;
        acceptor.close(ignored);
        return error.message();
    }
    impl_->port = acceptor.local_endpoint(error).port();
    impl_->listening = true;
    impl_->accept();
    impl_->tickKeepAlive();
    impl_->network = std::thread([this] {
        for (;;) {
            try {
                impl_->hub.io.run();
                return;
            } catch (const std::exception&) {
                // Only that one connection's step failed (out of memory, most likely); the
                // others go on being served.
            }
        }
    });
    return std::nullopt;
}

std::uint16_t HttpServer::port() const
{
    return impl_->port;
}

void HttpServer::stop()
{
    std::lock_guard lock(impl_->lifecycle);
    if (impl_->stopped)
        return;
    impl_->stopped = true;
    Impl& impl = *impl_;
    // Everything closes on the network thread, where the connections live; run() then returns
    // once the aborted operations have ended.
    asio::post(impl.hub.io, [&impl] {
        impl.hub.stopping = true;
        error_code ignored;
        impl.acceptor.close(ignored);
        impl.acceptRetry.cancel();
        impl.keepAliveTimer.cancel();
        impl.hub.closeAll();
    });
    if (impl.network.joinable())
        impl.network.join();
    // Handlers still running finish; their answers find their connections closed.
    impl.hub.workers.join();
    impl.hub.io.restart();
    impl.hub.stopping = true;
    impl.hub.closeAll();
    impl.hub.io.poll();
    impl.port = 0;
}

void HttpServer::publish(std::string data)
{
    auto event = std::make_shared<const std::string>(frameEvent(data));
    asio::post(impl_->hub.io, [this, event = std::move(event)] {
        if (!impl_->hub.stopping)
            impl_->hub.broadcast(event);
    });
}

int HttpServer::connections() const
{
    return impl_->hub.openCount;
}

} // namespace tarvel::web
