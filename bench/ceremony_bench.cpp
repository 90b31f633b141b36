// Award lists' cost: a meet printed whole onto PDF files by the desk, without award lists and
// with each event's list written to a folder of its own, alternately, N times each: the
// sample meet (a dozen events, where a run's fixed costs weigh most), then the whole-meet
// benchmarks' meet (1024 races, about 250 events). Prints the median time of each and their
// ratio (the lists are meant to cost at most 10 % more), the median of the ratios within
// each pair of runs (steadier on a machine whose speed drifts), and the same for the
// process's CPU time, which the lists' own thread adds to whatever the run's wall time hides.
//
//   bench_ceremony [--repeat N] [--meet sample|whole]

#include "benchmeet.h"
#include "desk/desk.h"
#include "meetbuilder.h"
#include "meetdb/racestatus.h"
#include "platform/qt/fonts.h"
#include "samplemeet.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace tarvel;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

enum class Meet { Sample, Whole };

double cpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Cost {
    double milliseconds = 0;
    double cpuMilliseconds = 0;
};

/// One whole-meet run on a fresh copy of `meet`.
Cost timedRun(const QString& root, Meet meet, bool withLists)
{
    QDir(root).removeRecursively();
    sample::MeetBuilder builder(root);
    if (meet == Meet::Sample) {
        sample::writeSampleMeet(builder);
    } else {
        const bench::GeneratedMeet generated = bench::writeBenchMeet(builder);
        builder.writeRaceStatus(generated.races, kRaceReady);
    }
    QDir::setCurrent(builder.workDir());
    DeskServices services;
    services.openTarget = [root](const DataLocations&) {
        return openPdfTarget(root + u"/certificates"_qs);
    };
    Desk desk(startSession(), services);
    RunRequest request = desk.newRequest(RunKind::ReadyRaces);
    if (withLists)
        request.ceremonyList = {CeremonyDestinationKind::PdfFolder, root + u"/lists"_qs};
    QElapsedTimer timer;
    const double cpuBefore = cpuSeconds();
    timer.start();
    const RunOutcome outcome = desk.runAndWait(request);
    const Cost cost{double(timer.nsecsElapsed()) / 1e6, (cpuSeconds() - cpuBefore) * 1e3};
    if (outcome.failure || outcome.summary.eventsPrinted == 0
        || (withLists && outcome.sideDocuments.size() != outcome.summary.eventsPrinted)) {
        std::fprintf(stderr, "bench_ceremony: the run did not print the meet\n");
        std::exit(1);
    }
    return cost;
}

void timeMeet(const QString& root, Meet meet, int repeat)
{
    // Each run has a folder of its own, all removed at the end: a meet never deletes
    // thousands of files just before it prints, and ext4 makes every new file after such a
    // deletion search past the inodes just freed, which costs more the more files a run
    // writes.
    int runs = 0;
    const auto nextRoot = [&] { return root + u"/run"_qs + QString::number(runs++); };
    timedRun(nextRoot(), meet, true); // warms the fonts and the caches
    std::vector<double> without, with, cpuWithout, cpuWith, pairRatios, cpuPairRatios;
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    for (int i = 0; i < repeat; ++i) {
        // Each pair runs back to back, in turns first, so that a machine that slows down for
        // a while weighs on both sides of a pair alike.
        Cost plain;
        Cost lists;
        if (i % 2 == 0) {
            plain = timedRun(nextRoot(), meet, false);
            lists = timedRun(nextRoot(), meet, true);
        } else {
            lists = timedRun(nextRoot(), meet, true);
            plain = timedRun(nextRoot(), meet, false);
        }
        without.push_back(plain.milliseconds);
        cpuWithout.push_back(plain.cpuMilliseconds);
        with.push_back(lists.milliseconds);
        cpuWith.push_back(lists.cpuMilliseconds);
        pairRatios.push_back(ratio(lists.milliseconds, plain.milliseconds));
        cpuPairRatios.push_back(ratio(lists.cpuMilliseconds, plain.cpuMilliseconds));
    }
    std::printf("%s, median of %d runs each\n",
                meet == Meet::Sample ? "sample meet" : "whole-meet benchmark meet (1024 races)",
                repeat);
    std::printf("  without award lists  %8.1f ms  (CPU %8.1f ms)\n", median(without),
                median(cpuWithout));
    std::printf("  with award lists     %8.1f ms  (CPU %8.1f ms)\n", median(with), median(cpuWith));
    std::printf("  ratio                %8.3f     (CPU %8.3f)\n",
                ratio(median(with), median(without)), ratio(median(cpuWith), median(cpuWithout)));
    std::printf("  ratio within pairs   %8.3f     (CPU %8.3f)  median of each pair's\n",
                median(pairRatios), median(cpuPairRatios));
}

} // namespace

int main(int argc, char** argv)
{
    const auto app = bench::startDrawingBench(argc, argv);
    int repeat = 5;
    const QStringList arguments = QGuiApplication::arguments();
    const qsizetype at = arguments.indexOf(u"--repeat"_qs);
    if (at > 0 && at + 1 < arguments.size())
        repeat = std::max(1, arguments[at + 1].toInt());

    const qsizetype which = arguments.indexOf(u"--meet"_qs);
    const QString only =
        which > 0 && which + 1 < arguments.size() ? arguments[which + 1] : QString();

    QTemporaryDir scratch;
    if (only.isEmpty() || only == u"sample"_qs)
        timeMeet(scratch.path() + u"/sample"_qs, Meet::Sample, repeat);
    if (only.isEmpty() || only == u"whole"_qs)
        timeMeet(scratch.path() + u"/whole"_qs, Meet::Whole, repeat);
    return 0;
}
