#include "web/httpconnection.h"

#include <boost/asio/post.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/file_body.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/serializer.hpp>
#include <boost/beast/http/write.hpp>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace tarvel::web::detail {

namespace beast = boost::beast;
using boost::system::error_code;

namespace {

/// After an answer that ends the connection, how long the peer's leftovers are read.
constexpr std::chrono::milliseconds kLingerTime{1000};

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool isFieldName(std::string_view name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '-' || c == '_';
    });
}

/// The site's own fields; those that frame the message are the server's, and a field that
/// would break the header apart is dropped.
template <class Message>
void addSiteFields(Message& message, const HttpResponse& response)
{
    for (const auto& [name, value] : response.headers) {
        if (!isFieldName(name) || hasLineBreak(value))
            continue;
        const http::field known = http::string_to_field(name);
        if (known == http::field::content_length || known == http::field::transfer_encoding
            || known == http::field::connection)
            continue;
        message.insert(name, value);
    }
    if (!hasLineBreak(response.contentType))
        message.set(http::field::content_type, response.contentType);
    secure(message);
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string toString(beast::string_view view)
{
    return std::string(view.data(), view.size());
}

bool isEventsTarget(std::string_view target, std::string_view eventsPath)
{
    return target == eventsPath
           || (target.starts_with(eventsPath) && target.size() > eventsPath.size()
               && target[eventsPath.size()] == '?');
}

/// An answer from a worker back to its connection.
struct Answer {
    HttpResponse response;
    bool head = false;
    bool keepAlive = false;
};

template <class Body>
struct Outgoing {
    explicit Outgoing(http::response<Body> response) : message(std::move(response)) {}
    http::response<Body> message;
    http::response_serializer<Body> serializer{message};
};

} // namespace

Connection::Connection(Hub& hub, tcp::socket socket)
    : where(hub.open.end())
    , hub_(hub)
    , socket_(std::move(socket))
    , timer_(hub.io)
    , idleSince_(Clock::now())
    , buffer_(hub.limits.headerBytes + 4096)
{
    error_code error;
    const tcp::endpoint peer = socket_.remote_endpoint(error);
    if (!error) {
        auto address = peer.address();
        if (address.is_v6() && address.to_v6().is_v4_mapped())
            address = asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
        remoteAddress_ = address.to_string();
    }
}

void Connection::start()
{
    waitForRequest();
}

bool Connection::spare() const
{
    if (phase_ == Phase::Closing)
        return true;
    if (phase_ != Phase::Idle)
        return false;
    // A request already waiting in the socket is not idle, only not yet noticed.
    error_code error;
    return socket_.available(error) == 0 && !error;
}

void Connection::close()
{
    if (phase_ == Phase::Closed)
        return;
    phase_ = Phase::Closed;
    disarm();
    error_code ignored;
    socket_.close(ignored);
    hub_.remove(*this);
}

// Waiting and reading are apart, so that a connection kept open with nothing asked meets the
// idle time, and a request that has begun meets the request time from its first byte on.
void Connection::waitForRequest()
{
    phase_ = Phase::Idle;
    idleSince_ = Clock::now();
    if (buffer_.size() > 0) // the next request came with the last one
        return readRequest();
    arm(hub_.limits.idleTime);
    socket_.async_wait(tcp::socket::wait_read, [self = shared_from_this()](error_code error) {
        if (self->phase_ != Phase::Idle)
            return;
        if (error)
            return self->close();
        self->readRequest();
    });
}

void Connection::readRequest()
{
    phase_ = Phase::Reading;
    timedOut_ = false;
    arm(hub_.limits.requestTime);
    parser_.emplace();
    parser_->header_limit(
        std::uint32_t(std::min<std::size_t>(hub_.limits.headerBytes, UINT32_MAX)));
    parser_->body_limit(hub_.limits.bodyBytes);
    http::async_read(
        socket_, buffer_, *parser_,
        [self = shared_from_this()](error_code error, std::size_t) { self->requestRead(error); });
}

void Connection::requestRead(error_code error)
{
    if (phase_ != Phase::Reading)
        return;
    disarm();
    if (timedOut_)
        return refuse(408);
    if (error == http::error::header_limit || error == http::error::buffer_overflow)
        return refuse(431);
    if (error == http::error::body_limit)
        return refuse(413);
    if (!error)
        return dispatch();
    if (error == http::error::end_of_stream
        || error.category() != make_error_code(http::error::end_of_stream).category())
        return close(); // the peer went, or the network failed: nobody to answer
    refuse(400);
}

void Connection::dispatch()
{
    auto& message = parser_->get();
    const http::verb verb = message.method();
    const bool keepAlive = message.keep_alive() && !hub_.stopping;
    if (verb != http::verb::get && verb != http::verb::head && verb != http::verb::post) {
        parser_.reset();
        HttpResponse refusal = HttpResponse::plain(405, "Method Not Allowed\n");
        refusal.headers.emplace_back("Allow", "GET, HEAD, POST");
        return answer(std::move(refusal), false, keepAlive);
    }
    HttpRequest request;
    request.target = toString(message.target());
    if (!request.target.starts_with('/')) {
        parser_.reset();
        return answer(HttpResponse::plain(400, "Bad Request\n"), false, keepAlive);
    }
    if (verb == http::verb::get && isEventsTarget(request.target, hub_.eventsPath)) {
        parser_.reset();
        return openStream();
    }
    request.method = toString(message.method_string());
    for (const auto& field : message)
        request.headers.emplace_back(lowerCase(toString(field.name_string())),
                                     toString(field.value()));
    request.body = std::move(message.body());
    request.remoteAddress = remoteAddress_;
    parser_.reset();

    phase_ = Phase::Answering;
    const bool head = verb == http::verb::head;
    asio::post(hub_.workers, [self = shared_from_this(), request = std::move(request), head,
                              keepAlive]() mutable {
        Answer answer{HttpResponse{}, head, keepAlive};
        try {
            answer.response = self->hub_.handler(request);
        } catch (...) {
            answer.response = HttpResponse::plain(500, "Internal Server Error\n");
        }
        Hub& hub = self->hub_;
        asio::post(hub.io, [self = std::move(self), answer = std::move(answer)]() mutable {
            if (self->phase_ == Phase::Answering)
                self->answer(std::move(answer.response), answer.head, answer.keepAlive);
        });
    });
}

void Connection::answer(HttpResponse response, bool head, bool keepAlive)
{
    if (response.status < 200 || response.status > 599)
        response = HttpResponse::plain(500, "Internal Server Error\n");
    if (response.status == 204 || response.status == 304) { // answers that carry no body
        response.body.clear();
        response.filePath.clear();
    }
    keepAlive = keepAlive && !hub_.stopping;
    if (!response.filePath.empty()) {
        http::file_body::value_type file;
        std::error_code notFile;
        error_code error;
        if (std::filesystem::is_regular_file(response.filePath, notFile))
            file.open(response.filePath.c_str(), beast::file_mode::scan, error);
        if (error || !file.is_open()) {
            response = HttpResponse::plain(404, "Not Found\n");
        } else if (!head) {
            http::response<http::file_body> message{http::status(response.status), 11,
                                                    std::move(file)};
            addSiteFields(message, response);
            message.keep_alive(keepAlive);
            message.prepare_payload();
            return send(std::move(message));
        } else {
            http::response<http::empty_body> message{http::status(response.status), 11};
            addSiteFields(message, response);
            message.keep_alive(keepAlive);
            message.content_length(file.size());
            return send(std::move(message));
        }
    }
    if (head) {
        http::response<http::empty_body> message{http::status(response.status), 11};
        addSiteFields(message, response);
        message.keep_alive(keepAlive);
        message.content_length(response.body.size());
        return send(std::move(message));
    }
    http::response<http::string_body> message{http::status(response.status), 11,
                                              std::move(response.body)};
    addSiteFields(message, response);
    message.keep_alive(keepAlive);
    message.prepare_payload();
    send(std::move(message));
}

void Connection::refuse(int status)
{
    parser_.reset();
    const auto code = http::status(status);
    http::response<http::string_body> message{code, 11,
                                              toString(http::obsolete_reason(code)) + "\n"};
    message.set(http::field::content_type, "text/plain; charset=utf-8");
    secure(message);
    message.keep_alive(false);
    message.prepare_payload();
    send(std::move(message));
}

template <class Message>
void Connection::send(Message message)
{
    phase_ = Phase::Writing;
    writeSome(std::make_shared<Outgoing<typename Message::body_type>>(std::move(message)));
}

// Written piece by piece, each piece within the idle time: a peer that reads slowly gets its
// file, a peer that stops reading is cut off.
template <class Outgoing>
void Connection::writeSome(std::shared_ptr<Outgoing> outgoing)
{
    arm(hub_.limits.idleTime);
    http::async_write_some(socket_, outgoing->serializer,
                           [self = shared_from_this(), outgoing](error_code error, std::size_t) {
                               if (self->phase_ != Phase::Writing)
                                   return;
                               if (error)
                                   return self->close();
                               if (!outgoing->serializer.is_done())
                                   return self->writeSome(outgoing);
                               self->written(outgoing->message.keep_alive());
                           });
}

void Connection::written(bool keepAlive)
{
    disarm();
    if (keepAlive && !hub_.stopping)
        return waitForRequest();
    linger();
}

void Connection::linger()
{
    phase_ = Phase::Closing;
    idleSince_ = Clock::now();
    error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_send, ignored);
    arm(std::min(kLingerTime, hub_.limits.requestTime));
    drain();
}

void Connection::drain()
{
    socket_.async_read_some(asio::buffer(discard_),
                            [self = shared_from_this()](error_code error, std::size_t) {
                                if (self->phase_ != Phase::Closing)
                                    return;
                                if (error)
                                    return self->close();
                                self->drain();
                            });
}

void Connection::arm(std::chrono::milliseconds after)
{
    const unsigned deadline = ++deadline_;
    timer_.expires_after(after);
    timer_.async_wait([self = shared_from_this(), deadline](error_code error) {
        if (!error && deadline == self->deadline_)
            self->expired();
    });
}

void Connection::disarm()
{
    ++deadline_;
    timer_.cancel();
}

void Connection::expired()
{
    if (phase_ == Phase::Reading) {
        // The read ends with operation_aborted and answers 408.
        timedOut_ = true;
        error_code ignored;
        socket_.cancel(ignored);
        return;
    }
    close();
}

} // namespace tarvel::web::detail
