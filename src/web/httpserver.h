#pragma once
/// The venue page's HTTP server: Boost.Beast on a thread of its own, so it answers while a
/// run prints. It holds every request to the limits below before the site sees it, and
/// streams the board's changes to every browser that listens (server-sent events).
///
/// Threads: the server's own thread does all network work; the handler is called on a small
/// pool of workers (it may wait a moment on the ledger) and never on the caller's thread.
/// All members may be called from any thread but the handler's (stop() waits for it).
///
/// Refused before the handler sees them, with a short plain answer: a header over the limit
/// (431), a body over it, declared or chunked (413), a request not whole within the request
/// time (408), anything the parser cannot read (400), a target not beginning with '/' (400),
/// methods other than GET, HEAD and POST (405). A handler that throws answers 500. When every
/// connection is in use, the one idle longest makes room; when none is idle, a new one gets
/// a short 503 and is closed without being read.

#include "web/httpexchange.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tarvel::web {

using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

struct HttpLimits {
    std::size_t headerBytes = 8 * 1024; ///< larger: 431
    std::size_t bodyBytes = 64 * 1024;  ///< larger: 413
    /// More at once: the one idle longest makes room, or the newcomer is closed at once. A
    /// browser holds two (the board's event stream and one kept alive for fetching), so
    /// this serves some 250 phones.
    int connections = 512;
    /// A request must arrive whole within this (a slow drip is cut off: 408 and closed).
    std::chrono::milliseconds requestTime{10000};
    /// A kept-alive connection with nothing asked is closed after this.
    std::chrono::milliseconds idleTime{15000};
    /// An event stream gets a comment line this often, so that dead peers are noticed.
    std::chrono::milliseconds keepAliveTime{15000};
};

class HttpServer {
public:
    /// `eventsPath`: a GET of it becomes an event stream (text/event-stream).
    HttpServer(HttpHandler handler, std::string eventsPath, HttpLimits limits = {});
    /// Stops and waits for the server's thread.
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    /// Listens on `address` ("127.0.0.1", "0.0.0.0", "::") and `port` (0: any free one)
    /// and starts serving; the reason (in English, for the caller to wrap) when it cannot.
    std::optional<std::string> listen(const std::string& address, std::uint16_t port);
    /// The port listened on; 0 before listen() succeeded.
    std::uint16_t port() const;
    /// Closes every connection, waits for the handlers still running and ends the thread;
    /// the server cannot listen again. A handler must never wait for the thread that calls
    /// this. Safe to call again.
    void stop();

    /// Sends `data` (one event; each line becomes a "data:" line) to every event stream; a
    /// stream opened later gets the last data published first. A stream still writing an
    /// earlier event keeps only the newest that came meanwhile, so a slow browser costs no
    /// memory: publish whole states, not changes.
    void publish(std::string data);
    /// Connections open now (event streams included).
    int connections() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tarvel::web
