#pragma once
/// The HTTP server's insides, private to src/web: what every connection shares (the hub) and
/// one connection, from its first byte to its close. Boost.Asio and Beast stay behind this
/// header and the two files that implement it.
///
/// Threads: everything here runs on the server's one network thread, except the handler,
/// which the hub's workers call; its answer is posted back to the network thread.

#include "web/httpserver.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include <atomic>
#include <chrono>
#include <list>
#include <memory>
#include <optional>
#include <string>

namespace tarvel::web::detail {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using Event = std::shared_ptr<const std::string>;

class Connection;

/// What the server's connections share. Members are touched on the network thread only,
/// except those marked otherwise.
struct Hub {
    Hub(HttpHandler handler, std::string eventsPath, HttpLimits limits);

    asio::io_context io;
    asio::thread_pool workers{2}; ///< calls the handler; any thread posts to it
    const HttpHandler handler;
    const std::string eventsPath;
    const HttpLimits limits;

    std::list<std::shared_ptr<Connection>> open;
    std::atomic<int> openCount{0}; ///< read from any thread
    bool stopping = false;
    /// The last event published, framed for the wire: what a new stream gets first.
    Event lastEvent;

    void add(const std::shared_ptr<Connection>& connection);
    void remove(Connection& connection);
    /// Makes room for one more connection by closing the one spare longest; false when every
    /// open connection is busy (reading, answering, writing or streaming).
    bool makeRoom();
    /// Sends `event` to every stream.
    void broadcast(const Event& event);
    /// A comment line to every stream, and cuts off a stream that has taken nothing for a
    /// whole period.
    void keepStreamsAlive();
    void closeAll();
};

/// The fields every answer carries, whatever the site put in it.
template <class Message>
void secure(Message& message)
{
    message.set("Content-Security-Policy", "default-src 'self'");
    message.set("X-Content-Type-Options", "nosniff");
    message.set(http::field::x_frame_options, "DENY");
    // Not "no-referrer": under it a browser sends "Origin: null" with the pages' own forms,
    // which tells the gate nothing of where they came from.
    message.set("Referrer-Policy", "same-origin");
}

/// Frames `data` as one server-sent event: each line "data: …", then a blank line.
std::string frameEvent(const std::string& data);

class Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(Hub& hub, tcp::socket socket);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void start();
    /// Closes at once; safe to call again.
    void close();

    /// Waiting for a request with nothing of it come yet, or closing after a last answer:
    /// may be closed to make room.
    bool spare() const;
    bool streaming() const { return phase_ == Phase::Streaming; }
    /// Since when it has been spare.
    Clock::time_point idleSince() const { return idleSince_; }
    void sendEvent(const Event& event);
    void keepAlive(Clock::time_point now);

    std::list<std::shared_ptr<Connection>>::iterator where; ///< its place in Hub::open

private:
    enum class Phase { Idle, Reading, Answering, Writing, Streaming, Closing, Closed };

    void waitForRequest();
    void readRequest();
    void requestRead(boost::system::error_code error);
    void dispatch();
    void answer(HttpResponse response, bool head, bool keepAlive);
    /// Answers with a plain error and closes once it is written.
    void refuse(int status);
    void openStream();
    void writeNextEvent();
    /// Half-closes and reads what the peer still sends for a moment, so that the peer reads
    /// the answer before the connection goes (a close with unread data would reset it).
    void linger();
    void drain();

    template <class Message>
    void send(Message message);
    template <class Outgoing>
    void writeSome(std::shared_ptr<Outgoing> outgoing);
    void written(bool keepAlive);

    /// Arms the connection's one deadline; a later arm or disarm voids the earlier.
    void arm(std::chrono::milliseconds after);
    void disarm();
    void expired();

    Hub& hub_;
    tcp::socket socket_;
    asio::steady_timer timer_;
    unsigned deadline_ = 0; ///< which arm() the timer stands for
    Phase phase_ = Phase::Idle;
    Clock::time_point idleSince_;
    bool timedOut_ = false;
    std::string remoteAddress_;
    boost::beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;

    // An event stream: what is on the wire now and the newest event waiting behind it.
    Event writing_;
    Event pending_;
    Clock::time_point writeStarted_;
    char discard_[512];
};

} // namespace tarvel::web::detail
