#pragma once
/// An HttpServer on a free port of 127.0.0.1 with a small site of its own, for the tests that
/// talk to it over raw sockets.
///
/// The site: "/" answers "hello"; "/echo" answers what it was asked (method, target, peer,
/// the field x-test, the body); "/throw" throws; "/file", "/nofile" and "/folder" answer
/// with a file, a file that does not exist and a folder; "/status/N" answers status N;
/// "/fields" sets fields of its own, some of them broken;
/// "/block" waits until the gate opens.

#include "eventually.h"
#include "rawclient.h"
#include "web/httpserver.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>

namespace tarvel::testing {

/// Holds handlers at "/block" until opened.
class Gate {
public:
    /// Called by the handler: counts it in and waits (at most half a minute) for open().
    void pass();
    void open();
    /// Waits until `count` handlers are inside; false when they are not within `within`.
    bool waitInside(int count, std::chrono::milliseconds within = 5s);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int inside_ = 0;
    bool open_ = false;
};

/// Limits short enough for a test to see them act.
web::HttpLimits testLimits();

class ServerFixture {
public:
    explicit ServerFixture(web::HttpLimits limits = testLimits());
    ~ServerFixture();

    web::HttpServer& server() { return *server_; }
    std::uint16_t port() const { return server_->port(); }
    Gate& gate() { return gate_; }
    int handled() const { return handled_; }
    /// The bytes "/file" answers with.
    const std::string& fileBytes() const { return fileBytes_; }

private:
    web::HttpResponse handle(const web::HttpRequest& request);

    Gate gate_;
    std::atomic<int> handled_{0};
    std::filesystem::path folder_;
    std::string fileBytes_;
    std::unique_ptr<web::HttpServer> server_;
};

/// "GET target" with a Host field, kept alive.
std::string getRequest(const std::string& target, const std::string& method = "GET");

} // namespace tarvel::testing
