// The venue page's cost to a whole-meet run: the desk prints the benchmark meet (1024 races)
// onto PDF files without the venue page, and with 200 event-stream clients connected to a
// server that publishes a board state of B bytes at every progress the desk reports (what
// the board does at each change), alternately, N times each. Prints the median of each run
// and their ratio (the venue page is meant to cost at most 5 % more), the delays from each
// publish to every client having read it, and the resident memory with the clients against
// the server alone.
//
//   bench_venuemeet [--repeat N] [--clients C] [--bytes B]

#include "benchmeet.h"
#include "desk/desk.h"
#include "platform/qt/fonts.h"
#include "streamclients.h"
#include "web/httpserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace tarvel;
using namespace tarvel::bench;
using namespace std::chrono_literals;

/// States published in one run at most (the desk reports progress every few tens of ms).
constexpr int kMaxStates = 4000;

struct Options {
    int repeat = 3;
    int clients = 200;
    int bytes = 16 * 1024;
};

struct Board {
    std::unique_ptr<web::HttpServer> server;
    std::unique_ptr<StreamClients> clients;
    std::vector<long> published;
    double aloneMegabytes = 0;
    double withClientsMegabytes = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

/// One whole-meet run; milliseconds. With `board`, its server publishes at every progress.
double timedRun(sample::MeetBuilder& builder, const QList<int>& races, const QString& pdfDir,
                Board* board, const Options& options)
{
    builder.writeRaceStatus(races, kRaceReady);
    QDir(pdfDir).removeRecursively();
    QFile::remove(builder.dataDirPath() + u"/tarvel-ledger.db"_qs);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(builder.workDir());
    Session session = startSession();
    QDir::setCurrent(previous);
    DeskServices services;
    services.openTarget = [pdfDir](const DataLocations&) { return openPdfTarget(pdfDir); };
    Desk desk(std::move(session), std::move(services));

    const std::string filler(std::size_t(options.bytes), 'x');
    if (board) {
        QObject::connect(&desk, &Desk::runProgress, [&](const RunProgress&) {
            const int state = int(board->published.size());
            if (state >= kMaxStates)
                return;
            board->published.push_back(std::chrono::duration_cast<std::chrono::microseconds>(
                                           BenchClock::now() - board->clients->start)
                                           .count());
            board->server->publish(std::to_string(state) + ' ' + filler);
        });
    }
    QEventLoop loop;
    int certificates = 0;
    QObject::connect(&desk, &Desk::runFinished, &loop, [&](const RunOutcome& outcome) {
        certificates = outcome.failure ? -1 : outcome.summary.certificates;
        loop.quit();
    });
    RunRequest request = desk.newRequest(RunKind::ReadyRaces);
    request.options.rankLimitIndividual = u"15"_qs;
    request.options.rankLimitRelay = u"6"_qs;
    QElapsedTimer timer;
    timer.start();
    desk.start(std::move(request));
    loop.exec();
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    if (certificates <= 0) {
        std::fprintf(stderr, "bench_venuemeet: the run did not print the meet\n");
        std::exit(1);
    }
    return elapsed;
}

std::unique_ptr<Board> openBoard(const Options& options)
{
    auto board = std::make_unique<Board>();
    web::HttpLimits limits;
    limits.connections = options.clients + 16;
    board->server = std::make_unique<web::HttpServer>(
        [](const web::HttpRequest&) { return web::HttpResponse{}; }, "/events", limits);
    if (const auto failure = board->server->listen("127.0.0.1", 0)) {
        std::fprintf(stderr, "bench_venuemeet: listening: %s\n", failure->c_str());
        std::exit(1);
    }
    board->aloneMegabytes = residentMegabytes();
    board->clients = std::make_unique<StreamClients>(board->server->port(), "/events",
                                                     options.clients, kMaxStates);
    if (!waitFor([&] { return board->clients->streamsOpen() == options.clients; }, 30s)) {
        std::fprintf(stderr, "bench_venuemeet: the streams did not open\n");
        std::exit(1);
    }
    return board;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    registerFontSubstitutions();
    raiseOpenFileLimit();
    Options options;
    const QStringList args = QGuiApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        const int value = std::max(1, args[i + 1].toInt());
        if (args[i] == u"--repeat")
            options.repeat = value;
        else if (args[i] == u"--clients")
            options.clients = value;
        else if (args[i] == u"--bytes")
            options.bytes = value;
    }
    QTemporaryDir temporary;
    sample::MeetBuilder builder(temporary.path());
    const GeneratedMeet meet = writeBenchMeet(builder);
    const QString pdfDir = temporary.path() + u"/pdf"_qs;

    timedRun(builder, meet.races, pdfDir, nullptr, options); // warms the fonts and the caches
    std::vector<double> without;
    std::vector<double> with;
    Delays worstDelays;
    double aloneMegabytes = 0;
    double withClientsMegabytes = 0;
    for (int i = 0; i < options.repeat; ++i) {
        without.push_back(timedRun(builder, meet.races, pdfDir, nullptr, options));
        const auto board = openBoard(options);
        with.push_back(timedRun(builder, meet.races, pdfDir, board.get(), options));
        const int last = int(board->published.size()) - 1;
        waitFor(
            [&] {
                for (int client = 0; client < options.clients; ++client)
                    if (last >= 0 && board->clients->readAt(client, last) == 0)
                        return false;
                return true;
            },
            30s);
        const Delays delays = delaysOf(*board->clients, options.clients, board->published);
        if (delays.worst >= worstDelays.worst)
            worstDelays = delays;
        aloneMegabytes = board->aloneMegabytes;
        // Less the clients' own table of when they read what.
        withClientsMegabytes =
            residentMegabytes() - double(options.clients) * kMaxStates * sizeof(long) / 1048576.0;
    }
    const double plain = median(without);
    const double served = median(with);
    std::printf("whole benchmark meet (%d races), median of %d runs each\n", int(meet.races.size()),
                options.repeat);
    std::printf("  without the venue page          %9.1f ms\n", plain);
    std::printf("  with %3d board clients           %9.1f ms\n", options.clients, served);
    std::printf("  ratio                           %9.3f\n", plain > 0 ? served / plain : 0.0);
    std::printf("  board states of %d bytes, publish to read (the worst run): median %.2f ms, "
                "p99 %.2f ms, worst %.2f ms; %ld of %ld overtaken by a newer one\n",
                options.bytes, worstDelays.median, worstDelays.p99, worstDelays.worst,
                worstDelays.overtaken, worstDelays.total);
    std::printf("  resident memory: server alone %.1f MB, with the clients after a run %.1f MB "
                "(+%.1f MB)\n",
                aloneMegabytes, withClientsMegabytes, withClientsMegabytes - aloneMegabytes);
    return 0;
}
