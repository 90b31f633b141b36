#include "streamclients.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>
#include <utility>

namespace tarvel::bench {

namespace {

void fail(const char* what)
{
    std::fprintf(stderr, "stream clients: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

/// Marks fetch connections in epoll's data.
constexpr std::uint64_t kFetchBit = std::uint64_t(1) << 32;

int connectTo(std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address))
        fail("connecting a client");
    return fd;
}

void sendAll(int fd, const std::string& request)
{
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) != ssize_t(request.size()))
        fail("sending a client's request");
}

int connectStream(std::uint16_t port, const std::string& path)
{
    const int fd = connectTo(port);
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
                             StateOf stateOf, bool boardPage)
    : port_(port)
    , states_(states)
    , stateOf_(std::move(stateOf))
    , boardPage_(boardPage)
    , seen_(std::size_t(clients) * std::size_t(states))
    , heard_(std::size_t(states))
    , clients_(std::size_t(clients))
{
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    for (std::size_t i = 0; i < clients_.size(); ++i) {
        clients_[i].fd = connectStream(port, path);
        epoll_event interest{};
        interest.events = EPOLLIN;
        interest.data.u64 = i;
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, clients_[i].fd, &interest);
        if (!boardPage_)
            continue;
        clients_[i].fetchFd = connectTo(port);
        interest.data.u64 = i | kFetchBit;
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, clients_[i].fetchFd, &interest);
    }
    thread_ = std::thread([this] { run(); });
}

StreamClients::~StreamClients()
{
    done_ = true;
    thread_.join();
    for (const Client& client : clients_) {
        ::close(client.fd);
        if (client.fetchFd >= 0)
            ::close(client.fetchFd);
    }
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
        timespec cpu{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
        cpuMicroseconds_ = long(cpu.tv_sec) * 1000000 + cpu.tv_nsec / 1000;
        const int n = ::epoll_wait(epoll_, ready.data(), int(ready.size()), 50);
        const auto now = BenchClock::now();
        for (int r = 0; r < n; ++r) {
            const std::uint64_t data = ready[std::size_t(r)].data.u64;
            const std::size_t index = data & (kFetchBit - 1);
            Client& client = clients_[index];
            const bool fetched = (data & kFetchBit) != 0;
            const ssize_t got =
                ::recv(fetched ? client.fetchFd : client.fd, chunk.data(), chunk.size(), 0);
            if (got <= 0) {
                if (fetched) { // closed by the server while kept alive: open another
                    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, client.fetchFd, nullptr);
                    ::close(client.fetchFd);
                    client.fetchFd = connectTo(port_);
                    epoll_event interest{};
                    interest.events = EPOLLIN;
                    interest.data.u64 = data;
                    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, client.fetchFd, &interest);
                    client.fetched.clear();
                    if (client.inFlight)
                        sendAll(client.fetchFd,
                                "GET " + client.asked.front() + " HTTP/1.1\r\nHost: bench\r\n\r\n");
                }
                continue;
            }
            if (fetched) {
                client.fetched.append(chunk.data(), std::size_t(got));
                takeFetched(index, now);
                continue;
            }
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
        if (boardPage_)
            refresh(index); // whatever changed while away
    }
    std::size_t end;
    while ((end = client.pending.find("\n\n")) != std::string::npos) {
        if (client.pending.starts_with("data: ")) {
            const int state = stateOf_(std::string_view(client.pending).substr(6, end - 6));
            if (state >= 0 && state < states_) {
                if (!boardPage_) {
                    seen(index, state, now);
                } else {
                    if (heard_[std::size_t(state)] == 0)
                        heard_[std::size_t(state)] =
                            std::chrono::duration_cast<std::chrono::microseconds>(now - start)
                                .count();
                    notice(index, std::string_view(client.pending).substr(6, end - 6));
                    holdIfIdle(index, now);
                }
            }
        }
        client.pending.erase(0, end + 2);
    }
    // What a client keeps between reads stays small, so that the memory measured is the
    // server's.
    if (client.pending.capacity() > 16384 && client.pending.size() < 4096)
        client.pending.shrink_to_fit();
}

void StreamClients::seen(std::size_t index, int state, BenchClock::time_point now)
{
    seen_[index * std::size_t(states_) + std::size_t(state)] =
        std::chrono::duration_cast<std::chrono::microseconds>(now - start).count();
    if (state == states_ - 1)
        ++finished_;
}

// As board.js: a notice that follows the version shown is applied; any other asks the board.
void StreamClients::notice(std::size_t index, std::string_view data)
{
    Client& client = clients_[index];
    const int version = stateOf_(data);
    if (version <= client.shown)
        return;
    if (!client.loading && version == client.shown + 1
        && data.find("\"full\":true") == std::string_view::npos
        && data.find("\"events\":") != std::string_view::npos) {
        showLines(index, data);
        client.shown = version;
        return;
    }
    refresh(index);
}

void StreamClients::refresh(std::size_t index)
{
    Client& client = clients_[index];
    if (client.loading) {
        client.again = true;
        return;
    }
    client.loading = true;
    ask(index, "/board.json");
}

// The lines of a notice or a board: an event whose "list" names a document other than the
// one held has its lines fetched, unless the notice carries them. The keys come sorted:
// "lines" before "list" before "race" in each line.
void StreamClients::showLines(std::size_t index, std::string_view json)
{
    Client& client = clients_[index];
    constexpr std::string_view linesKey = "\"lines\":";
    constexpr std::string_view listKey = "\"list\":";
    constexpr std::string_view raceKey = "\"race\":";
    std::size_t at = 0;
    std::size_t linesAt = json.find(linesKey); // the next "lines" not yet passed
    while ((at = json.find(listKey, at)) != std::string_view::npos) {
        const bool carried = linesAt < at;
        at += listKey.size();
        if (carried)
            linesAt = json.find(linesKey, at);
        const long list = std::atol(std::string(json.substr(at, 20)).c_str());
        const std::size_t raceAt = json.find(raceKey, at);
        if (raceAt == std::string_view::npos)
            break;
        const int race = std::atoi(std::string(json.substr(raceAt + raceKey.size(), 12)).c_str());
        if (list == 0) {
            client.lists.erase(race);
        } else if (client.lists[race] != list) {
            client.lists[race] = list;
            if (carried)
                ++carriedLines_;
            else
                ask(index, "/board/event/" + std::to_string(race) + ".json");
        }
    }
}

void StreamClients::ask(std::size_t index, std::string path)
{
    Client& client = clients_[index];
    client.asked.push_back(std::move(path));
    sendNext(index);
}

void StreamClients::sendNext(std::size_t index)
{
    Client& client = clients_[index];
    if (client.inFlight || client.asked.empty())
        return;
    client.inFlight = true;
    sendAll(client.fetchFd, "GET " + client.asked.front() + " HTTP/1.1\r\nHost: bench\r\n\r\n");
}

// Every version up to the one shown is held once nothing is being fetched.
void StreamClients::holdIfIdle(std::size_t index, BenchClock::time_point now)
{
    Client& client = clients_[index];
    if (!client.asked.empty())
        return;
    for (int state = std::max(client.held + 1, 0); state <= client.shown && state < states_;
         ++state)
        seen(index, state, now);
    client.held = std::max(client.held, client.shown);
}

// An answer to a fetch: its head, Content-Length bytes; a board tells its version and lines.
void StreamClients::takeFetched(std::size_t index, BenchClock::time_point now)
{
    Client& client = clients_[index];
    while (client.inFlight) {
        const std::size_t headEnd = client.fetched.find("\r\n\r\n");
        if (headEnd == std::string::npos)
            return;
        const std::size_t lengthAt = client.fetched.find("Content-Length: ");
        if (lengthAt == std::string::npos || lengthAt > headEnd)
            fail("reading a fetched document's length");
        const std::size_t length = std::size_t(std::atol(client.fetched.c_str() + lengthAt + 16));
        if (client.fetched.size() < headEnd + 4 + length)
            return;
        const std::string_view body = std::string_view(client.fetched).substr(headEnd + 4, length);
        ++fetches_;
        fetchedBytes_ += long(length);
        const std::string path = std::move(client.asked.front());
        client.asked.pop_front();
        client.inFlight = false;
        if (path == "/board.json") {
            ++boardFetches_;
            client.shown = std::max(client.shown, stateOf_(body));
            showLines(index, body);
            client.loading = false;
            if (std::exchange(client.again, false))
                refresh(index);
        }
        client.fetched.erase(0, headEnd + 4 + length);
        sendNext(index);
    }
    if (client.fetched.capacity() > 16384 && client.fetched.size() < 4096)
        client.fetched.shrink_to_fit();
    holdIfIdle(index, now);
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

Delays fetchDelaysOf(const StreamClients& clients, int clientCount, int states)
{
    int first = 0; // the state a stream is given on connecting: heard, not published
    while (first < states && clients.heardAt(first) == 0)
        ++first;
    std::vector<double> delays;
    Delays figures;
    for (int state = first + 1; state < states; ++state) {
        const long heard = clients.heardAt(state);
        if (heard == 0)
            continue;
        for (int client = 0; client < clientCount; ++client) {
            ++figures.total;
            const long at = clients.readAt(client, state);
            if (at == 0)
                ++figures.overtaken;
            else
                delays.push_back(double(at - heard) / 1000.0);
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
    ::malloc_trim(0); // what is in use, not what the allocator keeps for later
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmRSS:"))
            return double(std::atol(line.c_str() + 6)) / 1024.0;
    return 0.0;
}

double processCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
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
