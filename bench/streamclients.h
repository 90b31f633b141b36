#pragma once
/// Event-stream clients for the venue benchmarks: plain sockets that each open a stream on
/// 127.0.0.1, all read on one thread of their own (epoll), noting when each client read each
/// numbered state. A client may instead behave as the board page does (board.js): it applies
/// each notice that follows the version it shows, fetches /board.json when it cannot (on
/// opening, after a gap, a "full" notice), takes an event's ceremony lines from the notice
/// that carries them and otherwise fetches /board/event/N.json once for each ledger document
/// an event's line names; its fetches go one at a time on a second connection kept alive. It holds
/// a version once it applied it and its fetches are done.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

namespace tarvel::bench {

using BenchClock = std::chrono::steady_clock;

/// Which state an event's data stands for (0 … states - 1), or -1 for none.
using StateOf = std::function<int(std::string_view data)>;

/// The number the data begins with.
int leadingNumber(std::string_view data);

class StreamClients {
public:
    /// Connects `clients` streams to GET `path`; exits the program when it cannot. With
    /// `boardPage`, the clients behave as the board page, `stateOf` reading the version of
    /// notices and boards.
    StreamClients(std::uint16_t port, const std::string& path, int clients, int states,
                  StateOf stateOf = leadingNumber, bool boardPage = false);
    ~StreamClients();
    StreamClients(const StreamClients&) = delete;
    StreamClients& operator=(const StreamClients&) = delete;

    /// Streams whose head has come.
    int streamsOpen() const { return streamsOpen_; }
    /// Clients that have read the last state.
    int finished() const { return finished_; }
    /// Microseconds from `start` to when `client` read `state` (fetching: a document of
    /// that state or a later one); 0 when it never did.
    long readAt(int client, int state) const;
    /// Fetching: microseconds from `start` to the first client hearing of `state`; 0 when
    /// none did.
    long heardAt(int state) const { return heard_[std::size_t(state)]; }
    /// Fetching: documents fetched (boards among them), and their bytes.
    long fetches() const { return fetches_; }
    long boardFetches() const { return boardFetches_; }
    long fetchedBytes() const { return fetchedBytes_; }
    /// Fetching: an event's ceremony lines taken from a notice instead of fetched.
    long carriedLines() const { return carriedLines_; }
    /// The CPU time the clients' thread has used so far, in seconds: in this process, but
    /// not the server's.
    double cpuSeconds() const { return double(cpuMicroseconds_) / 1e6; }

    const BenchClock::time_point start = BenchClock::now();

private:
    struct Client {
        int fd = -1;
        bool headRead = false;
        std::string pending;
        // Board page: the second connection, what came on it, the paths asked on it in
        // turn (the first one sent), the version shown and the last one held.
        int fetchFd = -1;
        std::string fetched;
        std::deque<std::string> asked;
        bool inFlight = false; ///< the first asked is sent
        bool loading = false;  ///< a board is asked
        bool again = false;    ///< and another after it
        int shown = -1;
        int held = -1;
        std::unordered_map<int, long> lists; ///< event → the document of the lines held
    };
    void run();
    void take(std::size_t index, BenchClock::time_point now);
    void takeFetched(std::size_t index, BenchClock::time_point now);
    void notice(std::size_t index, std::string_view data);
    void refresh(std::size_t index);
    void showLines(std::size_t index, std::string_view json);
    void ask(std::size_t index, std::string path);
    void sendNext(std::size_t index);
    void holdIfIdle(std::size_t index, BenchClock::time_point now);
    void seen(std::size_t index, int state, BenchClock::time_point now);

    std::uint16_t port_;
    int states_;
    StateOf stateOf_;
    bool boardPage_;
    std::vector<std::atomic<long>> seen_;
    std::vector<std::atomic<long>> heard_;
    std::atomic<long> fetches_{0};
    std::atomic<long> boardFetches_{0};
    std::atomic<long> fetchedBytes_{0};
    std::atomic<long> carriedLines_{0};
    std::atomic<long> cpuMicroseconds_{0};
    std::vector<Client> clients_;
    int epoll_ = -1;
    std::atomic<bool> done_{false};
    std::atomic<int> streamsOpen_{0};
    std::atomic<int> finished_{0};
    std::thread thread_;
};

/// Publish-to-read delays over every client and state, in milliseconds.
struct Delays {
    double median = 0;
    double p99 = 0;
    double worst = 0;
    long overtaken = 0; ///< states a client never read (a newer one came first)
    long total = 0;
};
/// `publishedAt`: microseconds from the clients' start to each state's publish.
Delays delaysOf(const StreamClients& clients, int clientCount,
                const std::vector<long>& publishedAt);

/// Fetching: from the first client hearing of each state to each client holding a document
/// of it (or later), over the states heard after the clients connected, in milliseconds.
Delays fetchDelaysOf(const StreamClients& clients, int clientCount, int states);

/// This process's resident memory, after the allocator has given back what it could.
double residentMegabytes();
/// This process's CPU time so far (every thread, user and system), in seconds.
double processCpuSeconds();
/// Raises the open-file limit to the hard limit.
void raiseOpenFileLimit();
/// Polls `condition` every millisecond until it holds or `within` passes.
bool waitFor(const std::function<bool()>& condition, std::chrono::seconds within);

} // namespace tarvel::bench
