// The venue page's cost to a whole-meet run: the desk prints the benchmark meet (1024 races)
// onto PDF files without the venue page, with it and nobody looking, and with it serving 200
// board clients, in turn, N times each. A client does what the board page does: it listens
// to the event stream, applies each notice that follows the version it shows, fetches
// /board.json when it cannot, takes a newly printed event's ceremony lines from the notice
// that carries them and fetches them, once per ledger document, only when it does not (one
// fetch at a time, on a connection kept alive). Prints the median time and CPU time of each
// run and their ratios (the venue page is meant to cost at most 5 % more; the CPU time, less the
// clients' own, tells the cost apart from what else the machine was doing), the delays from the
// first client hearing of a change to every client holding a board with it (meant to be within a
// second), and the resident memory with the clients against the venue page alone.
//
//   bench_venuemeet [--repeat N] [--clients C]

#include "benchmeet.h"
#include "desk/desk.h"
#include "platform/qt/fonts.h"
#include "streamclients.h"
#include "web/venue.h"

#include <QCoreApplication>
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

/// Board versions in one run at most.
constexpr int kMaxStates = 4000;

struct Options {
    int repeat = 3;
    int clients = 200;
};

/// The number after the last "version": (the board's and the notices' top-level field).
int versionOf(std::string_view json)
{
    constexpr std::string_view key = "\"version\":";
    const std::size_t at = json.rfind(key);
    if (at == std::string_view::npos)
        return -1;
    return std::atoi(std::string(json.substr(at + key.size(), 12)).c_str());
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

struct Served {
    Delays delays;
    long fetches = 0;
    long boardFetches = 0;
    long fetchedBytes = 0;
    long carriedLines = 0;
    double clientSeconds = 0;
    double aloneMegabytes = 0;
    double withClientsMegabytes = 0;
};

struct Timed {
    double milliseconds = 0;
    /// The process's CPU time during the run, less the clients' own: what the run and the
    /// venue page used, whatever else the machine was doing.
    double cpuSeconds = 0;
};

/// One whole-meet run. With `served`, the desk's venue page serves the clients meanwhile.
Timed timedRun(sample::MeetBuilder& builder, const QList<int>& races, const QString& pdfDir,
               const Options& options, Served* served)
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

    std::unique_ptr<web::VenueService> venue;
    std::unique_ptr<StreamClients> clients;
    if (served) {
        web::VenueOptions venueOptions;
        venueOptions.port = 0;
        venue = std::make_unique<web::VenueService>(desk, venueOptions);
        venue->start();
        const QString url = venue->url(); // http://127.0.0.1:PORT/
        const auto port = std::uint16_t(url.section(u':', 2).section(u'/', 0, 0).toUInt());
        served->aloneMegabytes = residentMegabytes();
        clients = std::make_unique<StreamClients>(port, "/events", options.clients, kMaxStates,
                                                  versionOf, true);
        if (!waitFor([&] { return clients->streamsOpen() == options.clients; }, 30s)) {
            std::fprintf(stderr, "bench_venuemeet: the streams did not open\n");
            std::exit(1);
        }
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
    const double clientsBefore = clients ? clients->cpuSeconds() : 0.0;
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    desk.start(std::move(request));
    loop.exec();
    Timed timed;
    timed.milliseconds = double(timer.nsecsElapsed()) / 1e6;
    timed.cpuSeconds =
        processCpuSeconds() - cpuBefore - (clients ? clients->cpuSeconds() - clientsBefore : 0.0);
    if (certificates <= 0) {
        std::fprintf(stderr, "bench_venuemeet: the run did not print the meet\n");
        std::exit(1);
    }
    if (served) {
        // The board's last changes (the ledger read after the run) reach every client.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        served->delays = fetchDelaysOf(*clients, options.clients, kMaxStates);
        served->fetches = clients->fetches();
        served->boardFetches = clients->boardFetches();
        served->fetchedBytes = clients->fetchedBytes();
        served->carriedLines = clients->carriedLines();
        served->clientSeconds = clients->cpuSeconds();
        // Less the clients' own tables of when they read what.
        served->withClientsMegabytes =
            residentMegabytes()
            - double(options.clients + 1) * kMaxStates * sizeof(long) / 1048576.0;
    }
    return timed;
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
    }
    QTemporaryDir temporary;
    sample::MeetBuilder builder(temporary.path());
    const GeneratedMeet meet = writeBenchMeet(builder);
    const QString pdfDir = temporary.path() + u"/pdf"_qs;

    timedRun(builder, meet.races, pdfDir, options, nullptr); // warms the fonts and the caches
    std::vector<Timed> without;
    std::vector<Timed> alone;
    std::vector<Timed> with;
    Served worst;
    Options noClients = options;
    noClients.clients = 0;
    for (int i = 0; i < options.repeat; ++i) {
        without.push_back(timedRun(builder, meet.races, pdfDir, options, nullptr));
        Served unwatched;
        alone.push_back(timedRun(builder, meet.races, pdfDir, noClients, &unwatched));
        Served served;
        with.push_back(timedRun(builder, meet.races, pdfDir, options, &served));
        if (served.delays.worst >= worst.delays.worst)
            worst = served;
    }
    const auto medians = [](const std::vector<Timed>& runs) {
        std::vector<double> wall;
        std::vector<double> cpu;
        for (const Timed& run : runs) {
            wall.push_back(run.milliseconds);
            cpu.push_back(run.cpuSeconds);
        }
        return Timed{median(wall), median(cpu)};
    };
    const Timed plain = medians(without);
    std::printf("whole benchmark meet (%d races), median of %d runs each\n", int(meet.races.size()),
                options.repeat);
    std::printf("                                     time      ratio    CPU time  ratio\n");
    const auto line = [&](const char* what, const Timed& run) {
        std::printf("  %-32s %9.1f ms %6.3f %8.2f s %6.3f\n", what, run.milliseconds,
                    plain.milliseconds > 0 ? run.milliseconds / plain.milliseconds : 0.0,
                    run.cpuSeconds, plain.cpuSeconds > 0 ? run.cpuSeconds / plain.cpuSeconds : 0.0);
    };
    line("without the venue page", plain);
    line("with it and no client", medians(alone));
    const std::string clients = "with it and " + std::to_string(options.clients) + " board clients";
    line(clients.c_str(), medians(with));
    std::printf("  heard of a change to every client holding it (the worst run): median %.1f ms, "
                "p99 %.1f ms, worst %.1f ms over %ld; %ld never held\n",
                worst.delays.median, worst.delays.p99, worst.delays.worst, worst.delays.total,
                worst.delays.overtaken);
    std::printf("  fetched %ld documents (%ld of them board.json), %.1f MB in all; %ld events' "
                "lines taken from notices; the clients' own CPU time (in this process, on the "
                "same cores) %.1f s\n",
                worst.fetches, worst.boardFetches, double(worst.fetchedBytes) / 1048576.0,
                worst.carriedLines, worst.clientSeconds);
    std::printf("  resident memory: venue page alone %.1f MB, with the clients after the run "
                "%.1f MB (+%.1f MB)\n",
                worst.aloneMegabytes, worst.withClientsMegabytes,
                worst.withClientsMegabytes - worst.aloneMegabytes);
    return 0;
}
