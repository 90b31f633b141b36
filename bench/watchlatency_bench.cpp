// Automatic printing's latency: from a race's "8" written into Race.dat to its event's
// document delivered (its PDF file written and closed, or its job accepted by the print
// scheduler), with change notifications and with the poll alone. Prints the median and the
// worst of the samples for each.
//
//   bench_watchlatency [--samples N] [--interval MS] [--cups]
//
// --cups prints onto the default destination (bench/cups-queue gives it a private one:
// BENCH=bench_watchlatency bench/cups-queue build --cups).

#include "benchmeet.h"
#include "meetbuilder.h"
#include "meetdb/racestatus.h"
#include "platform/qt/cupsdevice.h"
#include "platform/qt/cupsjobs.h"
#include "platform/qt/fonts.h"
#include "platform/qt/pdfdevice.h"
#include "printrun/runobservers.h"
#include "watcher/autoprinter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace tarvel;

/// `events` events of one heat each (races 1 to `events`), eight finishers per heat.
void writeMeet(sample::MeetBuilder& builder, int events)
{
    builder.writeLocationFile();
    MeetSettings meet;
    meet.meetName = u"自動印刷計測大会"_qs;
    meet.meetDate = 20261208;
    meet.venue = u"計測プール"_qs;
    meet.laneCount = 8;
    builder.writeMeetHeader(meet);
    builder.writeMasterHeader(MasterHeader());
    for (int n = 1; n <= 8; ++n)
        builder.writeSwimmer(
            n, sample::MeetBuilder::swimmer(u"3000%1"_qs.arg(n), u"計測　選手%1"_qs.arg(n),
                                            u"静岡県"_qs, u"計測ＳＣ"_qs, u"21"_qs, 15, u"1"_qs));
    for (int raceNo = 1; raceNo <= events; ++raceNo) {
        RaceRecord race;
        race.heatNo = race.heatCount = 1;
        race.eventCode = qint16(1 + raceNo % 22);
        race.raceSex = u"1"_qs;
        race.roundCode = u"2"_qs;
        race.classHigh = 100;
        for (int lane = 0; lane < 8; ++lane) {
            race.laneEntryNo[lane] = qint16(lane + 1);
            race.laneResult[lane] = 6000 + 37 * lane;
        }
        builder.writeRace(raceNo, race);
    }
    builder.writeRaceStatus(QByteArray(kRaceCount, '0'));
}

/// When each event's document was delivered, on the benchmark's clock.
class DeliveryClock final : public RunObserver {
public:
    explicit DeliveryClock(const QElapsedTimer& clock) : clock_(clock) {}
    std::shared_future<void> documentDelivered(const DeliveredDocument& document) override
    {
        delivered.insert(document.raceNo, clock_.nsecsElapsed());
        return {};
    }
    QHash<int, qint64> delivered;

private:
    const QElapsedTimer& clock_;
};

void pause(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void writeReady(const QString& raceTable, int raceNo)
{
    QFile file(raceTable);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(raceNo - 1) || file.write("8", 1) != 1)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(raceTable));
}

struct Figures {
    double medianMs = 0;
    double worstMs = 0;
    int missed = 0;
};

Figures measure(sample::MeetBuilder& builder, int samples, AutoPrinter::Timing timing,
                bool cupsTarget, const QString& pdfDir)
{
    builder.writeRaceStatus(QByteArray(kRaceCount, '0'));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(builder.workDir());
    Session session = startSession();
    QDir::setCurrent(previous);
    std::unique_ptr<PrintDevice> device;
    if (cupsTarget)
        device = std::make_unique<CupsDevice>(QString()); // the default destination
    else
        device = std::make_unique<PdfDevice>(pdfDir);
    device->setFontFace(QString::fromUtf16(kCertificateFace));

    QElapsedTimer clock;
    clock.start();
    DeliveryClock deliveries(clock);
    AutoPrinter watcher(
        session.where,
        [&](const QSet<int>& heldBack, RunObserver& watching) {
            PrintOptions options;
            options.heldBack = heldBack;
            RunObservers observers{&deliveries, &watching};
            RunOutcome run;
            try {
                run.summary = PrintRun(session, options, *device, nullptr, &observers);
            } catch (const Failure& failure) {
                run.failure = failure;
                std::fprintf(stderr, "%s\n", qPrintable(failure.message()));
            }
            return run;
        },
        timing);
    watcher.start();
    pause(200);

    const QString raceTable = builder.dataDirPath() + u"/Race.dat"_qs;
    std::vector<double> latencies;
    Figures figures;
    for (int raceNo = 1; raceNo <= samples; ++raceNo) {
        // Writes land at every phase of the poll.
        pause(40 + (raceNo * 97) % 500);
        const qint64 written = clock.nsecsElapsed();
        writeReady(raceTable, raceNo);
        const QDeadlineTimer deadline(10000);
        while (!deliveries.delivered.contains(raceNo) && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (!deliveries.delivered.contains(raceNo)) {
            ++figures.missed;
            continue;
        }
        latencies.push_back(double(deliveries.delivered.value(raceNo) - written) / 1e6);
    }
    watcher.stop();
    if (!latencies.empty()) {
        std::sort(latencies.begin(), latencies.end());
        figures.medianMs = latencies[latencies.size() / 2];
        figures.worstMs = latencies.back();
    }
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    const auto app = bench::startDrawingBench(argc, argv);
    int samples = 50;
    int interval = 500;
    bool cupsTarget = false;
    const QStringList arguments = QGuiApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == u"--samples"_qs && i + 1 < arguments.size())
            samples = std::clamp(arguments[++i].toInt(), 1, 1000);
        else if (arguments[i] == u"--interval"_qs && i + 1 < arguments.size())
            interval = std::max(10, arguments[++i].toInt());
        else if (arguments[i] == u"--cups"_qs)
            cupsTarget = true;
    }

    QTemporaryDir dir;
    sample::MeetBuilder builder(dir.path());
    writeMeet(builder, samples);
    const QString pdfDir = dir.path() + u"/pdf"_qs;

    std::printf("automatic printing latency, %d samples, onto %s, poll every %d ms\n", samples,
                cupsTarget ? "the print scheduler" : "PDF files", interval);
    const struct {
        const char* name;
        bool notifications;
    } modes[] = {{"with change notification", true}, {"with the poll alone", false}};
    for (const auto& mode : modes) {
        AutoPrinter::Timing timing;
        timing.interval = std::chrono::milliseconds(interval);
        timing.notifications = mode.notifications;
        const Figures figures = measure(builder, samples, timing, cupsTarget, pdfDir);
        std::printf("  %-26s median %7.1f ms   worst %7.1f ms%s\n", mode.name, figures.medianMs,
                    figures.worstMs,
                    figures.missed ? qPrintable(u"   (%1 never delivered)"_qs.arg(figures.missed))
                                   : "");
    }
    return 0;
}
