#pragma once
/// Event-stream clients for the venue benchmarks: plain sockets that each open a stream on
/// 127.0.0.1, all read on one thread of their own (epoll), noting when each client read each
/// numbered state. As the board page does, a client may instead fetch a document on each
/// event (one fetch at a time, on a second connection kept alive), the state then being
/// what that document says.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tarvel::bench {

using BenchClock = std::chrono::steady_clock;

/// Which state an event's data stands for (0 … states - 1), or -1 for none.
using StateOf = std::function<int(std::string_view data)>;

/// The number the data begins with.
int leadingNumber(std::string_view data);

class StreamClients {
public:
    /// Connects `clients` streams to GET `path`; exits the program when it cannot. With a
    /// `fetchPath`, each event makes the client GET it, and `stateOf` reads its body.
    StreamClients(std::uint16_t port, const std::string& path, int clients, int states,
                  StateOf stateOf = leadingNumber, std::string fetchPath = {});
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
    /// Fetching: documents fetched, and their bytes.
    long fetches() const { return fetches_; }
    long fetchedBytes() const { return fetchedBytes_; }
    /// The CPU time the clients' thread has used so far, in seconds: in this process, but
    /// not the server's.
    double cpuSeconds() const { return double(cpuMicroseconds_) / 1e6; }

    const BenchClock::time_point start = BenchClock::now();

private:
    struct Client {
        int fd = -1;
        bool headRead = false;
        std::string pending;
        // Fetching: the second connection, what came on it, and what is wanted.
        int fetchFd = -1;
        std::string fetched;
        bool fetching = false;
        int wanted = -1;
        int shown = -1;
    };
    void run();
    void take(std::size_t index, BenchClock::time_point now);
    void takeFetched(std::size_t index, BenchClock::time_point now);
    void fetch(std::size_t index);
    void seen(std::size_t index, int state, BenchClock::time_point now);

    std::uint16_t port_;
    int states_;
    StateOf stateOf_;
    std::string fetchPath_;
    std::vector<std::atomic<long>> seen_;
    std::vector<std::atomic<long>> heard_;
    std::atomic<long> fetches_{0};
    std::atomic<long> fetchedBytes_{0};
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
