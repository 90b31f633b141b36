#pragma once
/// A client on a plain POSIX socket, for sending the server exactly the bytes a test wants
/// (broken, oversized, dripped) and reading back what comes, each wait bounded by a deadline.

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tarvel::testing {

using namespace std::chrono_literals;
using TestClock = std::chrono::steady_clock;

/// An answer as read back; header names in lower case.
struct RawAnswer {
    int status = 0;
    std::map<std::string, std::string> fields;
    std::string body;
    std::string field(const std::string& lowerName) const;
};

/// How a wait for the server ended.
enum class Ending { Closed, TimedOut };

class RawClient {
public:
    /// Connects to 127.0.0.1:`port`; see connected().
    explicit RawClient(std::uint16_t port);
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool connected() const { return fd_ >= 0; }
    /// Sends all of `bytes`; false when the server has closed or reset the connection.
    bool send(const std::string& bytes);
    /// Reads one whole answer (to a HEAD when `head`), within `within`.
    std::optional<RawAnswer> readAnswer(std::chrono::milliseconds within = 5s, bool head = false);
    /// Reads only the head of an answer (an event stream's, which has no end); what follows
    /// it stays in received().
    std::optional<RawAnswer> readHead(std::chrono::milliseconds within = 5s);
    /// Reads until the server closes (or resets) the connection; TimedOut if it does not
    /// within `within`. What came is kept in received().
    Ending readUntilClosed(std::chrono::milliseconds within = 5s);
    /// Reads until received() holds `text`; false when the deadline passes or the server
    /// closes first.
    bool readUntil(const std::string& text, std::chrono::milliseconds within = 5s);
    /// Everything read and not yet taken by readAnswer().
    const std::string& received() const { return received_; }
    void clearReceived() { received_.clear(); }
    void close();
    int fd() const { return fd_; }

private:
    enum class Part { Whole, Head, HeadOfHead };
    std::optional<RawAnswer> read(std::chrono::milliseconds within, Part part);
    /// One read of what is there within the deadline: bytes read, 0 on close, -1 on timeout.
    long readSome(TestClock::time_point deadline);

    int fd_ = -1;
    std::string received_;
};

/// Raises this process's open-file limit to at least `wanted` (up to the hard limit);
/// returns the limit now in force.
long raiseOpenFileLimit(long wanted);

} // namespace tarvel::testing
