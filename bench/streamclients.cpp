#include "streamclients.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarvel::bench {

namespace {

void fail(const char* what)
{
    std::fprintf(stderr, "stream clients: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

int connectStream(std::uint16_t port, const std::string& path)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address))
        fail("connecting a client");
    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: bench\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) != ssize_t(request.size()))
        fail("sending a client's request");
    return fd;
}

} // namespace

int leadingNumber(std::string_view data)
{
    return std::atoi(std::string(data.substr(0, 12)).c_str());
}

StreamClients::StreamClients(std::uint16_t port, const std::string& path, int clients, int states,
                             StateOf stateOf)
    : states_(states)
    , stateOf_(std::move(stateOf))
    , seen_(std::size_t(clients) * std::size_t(states))
    , clients_(std::size_t(clients))
{
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    for (std::size_t i = 0; i < clients_.size(); ++i) {
        clients_[i].fd = connectStream(port, path);
        epoll_event interest{};
        interest.events = EPOLLIN;
        interest.data.u64 = i;
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, clients_[i].fd, &interest);
    }
    thread_ = std::thread([this] { run(); });
}

StreamClients::~StreamClients()
{
    done_ = true;
    thread_.join();
    for (const Client& client : clients_)
        ::close(client.fd);
    ::close(epoll_);
}

long StreamClients::readAt(int client, int state) const
{
    return seen_[std::size_t(client) * std::size_t(states_) + std::size_t(state)];
}

void StreamClients::run()
{
    std::vector<epoll_event> ready(256);
    std::vector<char> chunk(256 * 1024);
    while (!done_) {
        const int n = ::epoll_wait(epoll_, ready.data(), int(ready.size()), 50);
        const auto now = BenchClock::now();
        for (int r = 0; r < n; ++r) {
            const std::size_t index = ready[std::size_t(r)].data.u64;
            Client& client = clients_[index];
            const ssize_t got = ::recv(client.fd, chunk.data(), chunk.size(), 0);
            if (got <= 0)
                continue;
            client.pending.append(chunk.data(), std::size_t(got));
            take(index, now);
        }
    }
}

void StreamClients::take(std::size_t index, BenchClock::time_point now)
{
    Client& client = clients_[index];
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
            const int state = stateOf_(std::string_view(client.pending).substr(6, end - 6));
            if (state >= 0 && state < states_) {
                seen_[index * std::size_t(states_) + std::size_t(state)] =
                    std::chrono::duration_cast<std::chrono::microseconds>(now - start).count();
                if (state == states_ - 1)
                    ++finished_;
            }
        }
        client.pending.erase(0, end + 2);
    }
}

Delays delaysOf(const StreamClients& clients, int clientCount, const std::vector<long>& publishedAt)
{
    std::vector<double> delays;
    Delays figures;
    for (int client = 0; client < clientCount; ++client) {
        for (std::size_t state = 0; state < publishedAt.size(); ++state) {
            ++figures.total;
            const long at = clients.readAt(client, int(state));
            if (at == 0) {
                ++figures.overtaken;
                continue;
            }
            delays.push_back(double(at - publishedAt[state]) / 1000.0);
        }
    }
    if (delays.empty())
        return figures;
    std::sort(delays.begin(), delays.end());
    figures.median = delays[delays.size() / 2];
    figures.p99 = delays[delays.size() * 99 / 100];
    figures.worst = delays.back();
    return figures;
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

void raiseOpenFileLimit()
{
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);
}

bool waitFor(const std::function<bool()>& condition, std::chrono::seconds within)
{
    const auto deadline = BenchClock::now() + within;
    while (!condition()) {
        if (BenchClock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace tarvel::bench
