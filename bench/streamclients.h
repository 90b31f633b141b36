#pragma once
/// Event-stream clients for the venue benchmarks: plain sockets that each open a stream on
/// 127.0.0.1, all read on one thread of their own (epoll), noting when each client read each
/// numbered state.

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
    /// Connects `clients` streams to GET `path`; exits the program when it cannot.
    StreamClients(std::uint16_t port, const std::string& path, int clients, int states,
                  StateOf stateOf = leadingNumber);
    ~StreamClients();
    StreamClients(const StreamClients&) = delete;
    StreamClients& operator=(const StreamClients&) = delete;

    /// Streams whose head has come.
    int streamsOpen() const { return streamsOpen_; }
    /// Clients that have read the last state.
    int finished() const { return finished_; }
    /// Microseconds from `start` to when `client` read `state`; 0 when it never did.
    long readAt(int client, int state) const;

    const BenchClock::time_point start = BenchClock::now();

private:
    struct Client {
        int fd = -1;
        bool headRead = false;
        std::string pending;
    };
    void run();
    void take(std::size_t index, BenchClock::time_point now);

    int states_;
    StateOf stateOf_;
    std::vector<std::atomic<long>> seen_;
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

/// This process's resident memory.
double residentMegabytes();
/// Raises the open-file limit to the hard limit.
void raiseOpenFileLimit();
/// Polls `condition` every millisecond until it holds or `within` passes.
bool waitFor(const std::function<bool()>& condition, std::chrono::seconds within);

} // namespace tarvel::bench
