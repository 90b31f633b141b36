// Award lists' cost: the sample meet printed whole onto PDF files by the desk, without award
// lists and with each event's list written to a folder of its own, alternately, N times each.
// Prints the median of each and their ratio (the lists are meant to cost at most 10 % more).
//
//   bench_ceremony [--repeat N]

#include "desk/desk.h"
#include "meetbuilder.h"
#include "platform/qt/fonts.h"
#include "samplemeet.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>

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

/// One whole-meet run on a fresh copy of the sample meet; milliseconds.
double timedRun(const QString& root, bool withLists)
{
    QDir(root).removeRecursively();
    sample::MeetBuilder builder(root);
    sample::writeSampleMeet(builder);
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
    timer.start();
    const RunOutcome outcome = desk.runAndWait(request);
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    if (outcome.failure || outcome.summary.eventsPrinted == 0
        || (withLists && outcome.sideDocuments.size() != outcome.summary.eventsPrinted)) {
        std::fprintf(stderr, "bench_ceremony: the run did not print the meet\n");
        std::exit(1);
    }
    return elapsed;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    registerFontSubstitutions();
    int repeat = 5;
    const QStringList arguments = QGuiApplication::arguments();
    const qsizetype at = arguments.indexOf(u"--repeat"_qs);
    if (at > 0 && at + 1 < arguments.size())
        repeat = std::max(1, arguments[at + 1].toInt());

    QTemporaryDir scratch;
    const QString root = scratch.path() + u"/meet"_qs;
    timedRun(root, true); // warms the fonts and the caches
    std::vector<double> without;
    std::vector<double> with;
    for (int i = 0; i < repeat; ++i) {
        without.push_back(timedRun(root, false));
        with.push_back(timedRun(root, true));
    }
    const double plain = median(without);
    const double lists = median(with);
    std::printf("whole sample meet, median of %d runs each\n", repeat);
    std::printf("  without award lists  %8.1f ms\n", plain);
    std::printf("  with award lists     %8.1f ms\n", lists);
    std::printf("  ratio                %8.3f\n", plain > 0 ? lists / plain : 0.0);
    return 0;
}
