// The venue page's live board under load: CLIENTS event-stream clients connected to the
// server, N board states published one after another; prints, over every client and every
// state, the median and the worst delay from publish to the client having read it, how many
// states a client never saw because a newer one overtook them, and the process's resident
// memory with the server alone and with every client connected.
//
//   bench_venue [--clients C] [--events N] [--bytes B] [--interval MS]
//
// The clients run in this process on one thread of their own (plain sockets and epoll);
// their own memory is a few kilobytes each and a read buffer.

#include "streamclients.h"
#include "web/httpserver.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace tarvel::bench;
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

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    raiseOpenFileLimit();
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

    StreamClients clients(server.port(), "/events", options.clients, options.events);
    if (!waitFor([&] { return clients.streamsOpen() == options.clients; }, 30s)) {
        std::fprintf(stderr, "bench_venue: only %d of %d streams opened\n", clients.streamsOpen(),
                     options.clients);
        return 1;
    }
    std::vector<long> published(std::size_t(options.events));
    const double clientsBefore = clients.cpuSeconds();
    const double cpuBefore = processCpuSeconds();
    const std::string filler(options.bytes, 'x');
    for (int state = 0; state < options.events; ++state) {
        published[std::size_t(state)] =
            std::chrono::duration_cast<std::chrono::microseconds>(BenchClock::now() - clients.start)
                .count();
        server.publish(std::to_string(state) + ' ' + filler);
        std::this_thread::sleep_for(std::chrono::milliseconds(options.intervalMs));
    }
    if (!waitFor([&] { return clients.finished() == options.clients; }, 60s))
        std::fprintf(stderr, "bench_venue: only %d clients saw the last state\n",
                     clients.finished());
    const double serverCpu =
        processCpuSeconds() - cpuBefore - (clients.cpuSeconds() - clientsBefore);
    const double withClients = residentMegabytes();
    const Delays delays = delaysOf(clients, options.clients, published);

    std::printf("%d event-stream clients, %d board states of %zu bytes every %d ms\n",
                options.clients, options.events, options.bytes, options.intervalMs);
    std::printf("  publish to client read: median %8.2f ms\n", delays.median);
    std::printf("                          p99    %8.2f ms\n", delays.p99);
    std::printf("                          worst  %8.2f ms\n", delays.worst);
    std::printf("  states overtaken by a newer one before a client read them: %ld of %ld\n",
                delays.overtaken, delays.total);
    std::printf("  the server's CPU time (the process's less the clients'): %.3f s, %.2f ms a "
                "state\n",
                serverCpu, serverCpu * 1000.0 / options.events);
    std::printf("  resident memory: server alone %.1f MB, with the clients %.1f MB (+%.1f MB)\n",
                alone, withClients, withClients - alone);
    return 0;
}
