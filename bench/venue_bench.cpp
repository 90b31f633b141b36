// The venue page's live board under load: CLIENTS event-stream clients connected to the
// server, N board states published one after another; prints, over every client and every
// state, the median and the worst delay from publish to the client having read it, how many
// states a client never saw because a newer one overtook them, and the process's resident
// memory with the server alone and with every client connected.
//
//   bench_venue [--clients C] [--events N] [--bytes B] [--interval MS]
//
// The clients run in this process on one thread of their own (plain sockets and epoll);
// their own memory is a few kilobytes each.

#include "web/httpserver.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <netinet/in.h>
#include <string>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Options {
    int clients = 200;
    int events = 200;
    std::size_t bytes = 16 * 1024; ///< one board state
    int intervalMs = 20;
};

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const long value = std::atol(argv[i + 1]);
        if (name == "--clients")
            options.clients = int(std::max(1L, value));
        else if (name == "--events")
            options.events = int(std::max(1L, value));
        else if (name == "--bytes")
            options.bytes = std::size_t(std::max(16L, value));
        else if (name == "--interval")
            options.intervalMs = int(std::max(0L, value));
    }
    return options;
}

double residentMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmRSS:"))
            return double(std::atol(line.c_str() + 6)) / 1024.0;
    return 0.0;
}

void fail(const char* what)
{
    std::fprintf(stderr, "bench_venue: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

/// One client's stream: what came but is not a whole event yet.
struct Client {
    int fd = -1;
    bool headRead = false;
    std::string pending;
};

int connectStream(std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address))
        fail("connecting a client");
    const std::string request = "GET /events HTTP/1.1\r\nHost: bench\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) != ssize_t(request.size()))
        fail("sending a client's request");
    return fd;
}

/// Reads every client until each has seen state `last` or `deadline` passes; records when
/// each client read each state (index: client * events + state).
class Readers {
public:
    Readers(std::uint16_t port, int clients, int events)
        : events_(events), seen_(std::size_t(clients) * std::size_t(events)),
          clients_(std::size_t(clients))
    {
        epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
        for (std::size_t i = 0; i < clients_.size(); ++i) {
            clients_[i].fd = connectStream(port);
            epoll_event interest{};
            interest.events = EPOLLIN;
            interest.data.u64 = i;
            ::epoll_ctl(epoll_, EPOLL_CTL_ADD, clients_[i].fd, &interest);
        }
        thread_ = std::thread([this] { run(); });
    }
    ~Readers()
    {
        done_ = true;
        thread_.join();
        for (const Client& client : clients_)
            ::close(client.fd);
        ::close(epoll_);
    }
    int streamsOpen() const { return streamsOpen_; }
    int finished() const { return finished_; }
    /// Microseconds from the start to each client's read of each state; 0 when never read.
    const std::vector<std::atomic<long>>& seen() const { return seen_; }

private:
    void run()
    {
        std::vector<epoll_event> ready(256);
        std::vector<char> chunk(256 * 1024);
        while (!done_) {
            const int n = ::epoll_wait(epoll_, ready.data(), int(ready.size()), 50);
            const auto now = Clock::now();
            for (int r = 0; r < n; ++r) {
                Client& client = clients_[ready[std::size_t(r)].data.u64];
                const ssize_t got = ::recv(client.fd, chunk.data(), chunk.size(), 0);
                if (got <= 0)
                    continue;
                client.pending.append(chunk.data(), std::size_t(got));
                take(ready[std::size_t(r)].data.u64, client, now);
            }
        }
    }

    void take(std::size_t index, Client& client, Clock::time_point now)
    {
        if (!client.headRead) {
            const std::size_t end = client.pending.find("\r\n\r\n");
            if (end == std::string::npos)
                return;
            client.headRead = true;
            client.pending.erase(0, end + 4);
            ++streamsOpen_;
        }
        std::size_t end;
        while ((end = client.pending.find("\n\n")) != std::string::npos) {
            if (client.pending.starts_with("data: ")) {
                const int state = std::atoi(client.pending.c_str() + 6);
                if (state >= 0 && state < events_) {
                    seen_[index * std::size_t(events_) + std::size_t(state)] =
                        std::chrono::duration_cast<std::chrono::microseconds>(now - start)
                            .count();
                    if (state == events_ - 1)
                        ++finished_;
                }
            }
            client.pending.erase(0, end + 2);
        }
    }

public:
    const Clock::time_point start = Clock::now();

private:
    int events_;
    std::vector<std::atomic<long>> seen_;
    std::vector<Client> clients_;
    int epoll_ = -1;
    std::atomic<bool> done_{false};
    std::atomic<int> streamsOpen_{0};
    std::atomic<int> finished_{0};
    std::thread thread_;
};

bool waitFor(const auto& condition, std::chrono::seconds within)
{
    const auto deadline = Clock::now() + within;
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);

    tarvel::web::HttpLimits limits;
    limits.connections = options.clients + 16;
    tarvel::web::HttpServer server(
        [](const tarvel::web::HttpRequest&) { return tarvel::web::HttpResponse{}; }, "/events",
        limits);
    if (const auto failure = server.listen("127.0.0.1", 0)) {
        std::fprintf(stderr, "bench_venue: listening: %s\n", failure->c_str());
        return 1;
    }
    const double alone = residentMegabytes();

    std::vector<long> published(std::size_t(options.events));
    double withClients = 0.0;
    {
        Readers readers(server.port(), options.clients, options.events);
        if (!waitFor([&] { return readers.streamsOpen() == options.clients; }, 30s)) {
            std::fprintf(stderr, "bench_venue: only %d of %d streams opened\n",
                         readers.streamsOpen(), options.clients);
            return 1;
        }
        const std::string filler(options.bytes, 'x');
        for (int state = 0; state < options.events; ++state) {
            published[std::size_t(state)] = std::chrono::duration_cast<std::chrono::microseconds>(
                                                Clock::now() - readers.start)
                                                .count();
            server.publish(std::to_string(state) + ' ' + filler);
            std::this_thread::sleep_for(std::chrono::milliseconds(options.intervalMs));
        }
        if (!waitFor([&] { return readers.finished() == options.clients; }, 60s))
            std::fprintf(stderr, "bench_venue: only %d clients saw the last state\n",
                         readers.finished());
        withClients = residentMegabytes();

        std::vector<double> delays;
        long overtaken = 0;
        for (int client = 0; client < options.clients; ++client) {
            for (int state = 0; state < options.events; ++state) {
                const long at = readers.seen()[std::size_t(client * options.events + state)];
                if (at == 0) {
                    ++overtaken;
                    continue;
                }
                delays.push_back(double(at - published[std::size_t(state)]) / 1000.0);
            }
        }
        std::sort(delays.begin(), delays.end());
        std::printf("%d event-stream clients, %d board states of %zu bytes every %d ms\n",
                    options.clients, options.events, options.bytes, options.intervalMs);
        if (!delays.empty()) {
            std::printf("  publish to client read: median %8.2f ms\n",
                        delays[delays.size() / 2]);
            std::printf("                          p99    %8.2f ms\n",
                        delays[delays.size() * 99 / 100]);
            std::printf("                          worst  %8.2f ms\n", delays.back());
        }
        std::printf("  states overtaken by a newer one before a client read them: %ld of %ld\n",
                    overtaken, long(options.clients) * options.events);
    }
    std::printf("  resident memory: server alone %.1f MB, with the clients %.1f MB (+%.1f MB)\n",
                alone, withClients, withClients - alone);
    return 0;
}
