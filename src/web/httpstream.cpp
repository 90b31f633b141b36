// The server's event streams: a GET of the events path held open, each publish written to it
// as a server-sent event.

#include "web/httpconnection.h"

#include <boost/asio/write.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/write.hpp>

#include <sstream>
#include <vector>

namespace tarvel::web::detail {

using boost::system::error_code;

std::string frameEvent(const std::string& data)
{
    // A browser ends a line at CR, LF or CRLF: each becomes a "data:" line of its own.
    std::string framed = "data: ";
    framed.reserve(data.size() + 8);
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] != '\r' && data[i] != '\n') {
            framed += data[i];
            continue;
        }
        if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
            ++i;
        framed += "\ndata: ";
    }
    framed += "\n\n";
    return framed;
}

void Hub::broadcast(const Event& event)
{
    lastEvent = event;
    const std::vector<std::shared_ptr<Connection>> all(open.begin(), open.end());
    for (const auto& connection : all)
        connection->sendEvent(event);
}

void Hub::keepStreamsAlive()
{
    const auto now = Clock::now();
    const std::vector<std::shared_ptr<Connection>> all(open.begin(), open.end());
    for (const auto& connection : all)
        connection->keepAlive(now);
}

void Connection::openStream()
{
    phase_ = Phase::Streaming;
    http::response<http::empty_body> message{http::status::ok, 11};
    message.set(http::field::content_type, "text/event-stream");
    message.set(http::field::cache_control, "no-store");
    secure(message);
    // The stream lasts as long as the connection: no length, closed to end it.
    message.keep_alive(false);
    std::ostringstream header;
    header << message.base();
    // The last event goes with the head, so that nothing published meanwhile overtakes it.
    if (hub_.lastEvent)
        header << *hub_.lastEvent;
    pending_ = std::make_shared<const std::string>(std::move(header).str());
    writeNextEvent();
    // Nothing is expected from the peer; reading shows at once when it goes.
    socket_.async_read_some(asio::buffer(discard_),
                            [self = shared_from_this()](error_code, std::size_t) {
                                if (self->phase_ == Phase::Streaming)
                                    self->close();
                            });
}

void Connection::sendEvent(const Event& event)
{
    if (phase_ != Phase::Streaming)
        return;
    pending_ = event; // a stream that cannot keep up gets only the newest
    if (!writing_)
        writeNextEvent();
}

void Connection::writeNextEvent()
{
    writing_ = std::move(pending_);
    pending_.reset();
    if (!writing_)
        return;
    writeStarted_ = Clock::now();
    asio::async_write(socket_, asio::buffer(*writing_),
                      [self = shared_from_this()](error_code error, std::size_t) {
                          if (self->phase_ != Phase::Streaming)
                              return;
                          if (error)
                              return self->close();
                          self->writeNextEvent();
                      });
}

void Connection::keepAlive(Clock::time_point now)
{
    if (phase_ != Phase::Streaming)
        return;
    if (writing_) {
        if (now - writeStarted_ >= hub_.limits.keepAliveTime)
            close(); // it has taken nothing for a whole period
        return;
    }
    static const Event comment = std::make_shared<const std::string>(":\n\n");
    pending_ = comment;
    writeNextEvent();
}

} // namespace tarvel::web::detail
