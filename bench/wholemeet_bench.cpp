// Whole-meet benchmark: a print run over 1024 races onto PDF files, and onto the print
// scheduler's default destination when there is one, against a baseline that renders the
// same pages (the same nineteen texts at the same places and sizes) directly with QPainter
// into one PDF, and into one PDF per print document as the run writes them. Prints the times
// and the runs' ratios to each.
//
//   bench_wholemeet [--repeat N] [--keep DIR] [--only run|ledger|cups|null|bare|split]
//
// --only times one of the lines alone, N times, for profiling it. bench/cups-queue runs it
// with a private scheduler whose default destination is a file queue.

#include "benchmeet.h"
#include "layout/drawing.h"
#include "ledger/ledgerrecorder.h"
#include "meetbuilder.h"
#include "meetdb/racestatus.h"
#include "naming/events.h"
#include "platform/numbers.h"
#include "platform/pageunits.h"
#include "platform/qt/cupsdevice.h"
#include "platform/qt/fonts.h"
#include "platform/qt/pdfdevice.h"
#include "platform/qt/printtarget.h"
#include "printrun/printrun.h"
#include "printrun/runobservers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace tarvel;
using bench::GeneratedMeet;
using bench::writeBenchMeet;

/// Keeps the texts of every certificate, for the baseline to draw the same pages, and where
/// each print document ends (an event's pages come just before the mark of its last heat).
class PageCollector : public RunObserver {
public:
    void certificateAccepted(const AcceptedCertificate& certificate) override
    {
        pages.push_back(certificate.items);
    }
    void raceMarked(int) override
    {
        if (documentEnds.empty() ? !pages.empty() : documentEnds.back() != pages.size())
            documentEnds.push_back(pages.size());
    }
    std::vector<ItemTexts> pages;
    std::vector<size_t> documentEnds;
};

/// Takes every call and draws nothing: what the run costs without rendering.
class NullDevice : public PrintDevice {
public:
    void setPosition(double, double) override {}
    void setFontFace(const QString&) override {}
    void setFontSize(double) override {}
    void setMaxWidth(double) override {}
    void drawText(const QString&) override {}
    void drawLine(double, double, double, double) override {}
    void endPage() override {}
    Delivery endDocument() override { return {}; }
    void abortDocument() noexcept override {}
};

double seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

struct RunTimes {
    double seconds = 0.0;
    RunSummary summary;
};

enum class Target { Pdf, PdfWithLedger, Cups, Nothing };

RunTimes timeRun(sample::MeetBuilder& builder, const QList<int>& races, const QString& pdfDir,
                 Target target, PageCollector* collector)
{
    builder.writeRaceStatus(races, kRaceReady);
    QDir(pdfDir).removeRecursively();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(builder.workDir());
    Session session = startSession();
    QDir::setCurrent(previous);
    PrintOptions options;
    options.rankLimitIndividual = u"15"_qs;
    options.rankLimitRelay = u"6"_qs;

    // A ledger of its own each time, so that every run writes the same records.
    const QString ledger = builder.dataDirPath() + u"/tarvel-ledger.db"_qs;
    QFile::remove(ledger);
    const DataLocations where = session.where;
    LedgerRecorder recorder([where] { return std::make_unique<Ledger>(where); });

    QElapsedTimer timer;
    timer.start();
    RunTimes times;
    if (target == Target::Pdf || target == Target::PdfWithLedger) {
        PdfDevice device(pdfDir);
        device.setFontFace(QString::fromUtf16(kCertificateFace));
        RunObservers observers{collector, target == Target::PdfWithLedger ? &recorder : nullptr};
        times.summary = PrintRun(session, options, device, nullptr, &observers);
        recorder.finish();
    } else if (target == Target::Cups) {
        CupsDevice device{QString()}; // the default destination
        device.setFontFace(QString::fromUtf16(kCertificateFace));
        times.summary = PrintRun(session, options, device, nullptr, collector);
    } else {
        NullDevice device;
        times.summary = PrintRun(session, options, device, nullptr, collector);
    }
    times.seconds = seconds(timer);
    return times;
}

/// The bare rendering: pages `first` to `last` - 1, one PDF, QPainter only.
void renderPages(const std::vector<ItemTexts>& pages, size_t first, size_t last,
                 const QString& file)
{
    const Layout layout = defaultLayout();
    QPdfWriter writer(file);
    writer.setResolution(kTwipsPerInch); // one unit per twip
    const QMarginsF margins(kSideMarginTwips, kTopBottomMarginTwips, kSideMarginTwips,
                            kTopBottomMarginTwips);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     margins / kTwipsPerPoint, QPageLayout::Point));
    QPainter painter(&writer);
    QFont font(QString::fromUtf16(kCertificateFace));
    for (size_t page = first; page < last; ++page) {
        const ItemTexts& texts = pages[page];
        if (page != first)
            writer.newPage();
        for (int i = 0; i < kItemCount; ++i) {
            const ItemLayout& item = layout.items[i];
            font.setPointSizeF(numericValue(item.size));
            painter.setFont(font);
            const double ascent = painter.fontMetrics().ascent();
            const QPointF baseline(numericValue(item.x), numericValue(item.y) + ascent);
            painter.drawText(baseline, texts[i]);
        }
    }
    painter.end();
}

double timeBaseline(const std::vector<ItemTexts>& pages, const QString& file)
{
    QElapsedTimer timer;
    timer.start();
    renderPages(pages, 0, pages.size(), file);
    return seconds(timer);
}

/// The same, split into one file per print document as the run writes them.
double timeBaselinePerDocument(const PageCollector& collector, const QString& folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QElapsedTimer timer;
    timer.start();
    size_t first = 0;
    for (size_t end : collector.documentEnds) {
        renderPages(collector.pages, first, end, folder + u"/%1.pdf"_qs.arg(end));
        first = end;
    }
    return seconds(timer);
}

} // namespace

int main(int argc, char** argv)
{
    const auto app = bench::startDrawingBench(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    const int repeat =
        std::max(1, bench::optionValue(args, u"--repeat"_qs).value_or(u"3"_qs).toInt());
    const QString only = bench::optionValue(args, u"--only"_qs).value_or(QString());
    const QString keep = bench::optionValue(args, u"--keep"_qs).value_or(QString());
    QTemporaryDir temporary;
    const QString root = keep.isEmpty() ? temporary.path() : QDir(keep).absolutePath();
    sample::MeetBuilder builder(root);
    const GeneratedMeet meet = writeBenchMeet(builder);
    const QString pdfDir = root + u"/pdf"_qs;

    if (!only.isEmpty()) {
        PageCollector collector;
        if (only == u"bare" || only == u"split")
            timeRun(builder, meet.races, pdfDir, Target::Nothing, &collector);
        for (int i = 0; i < repeat; ++i) {
            double time = 0.0;
            if (only == u"run")
                time = timeRun(builder, meet.races, pdfDir, Target::Pdf, nullptr).seconds;
            else if (only == u"ledger")
                time = timeRun(builder, meet.races, pdfDir, Target::PdfWithLedger, nullptr).seconds;
            else if (only == u"cups")
                time = timeRun(builder, meet.races, pdfDir, Target::Cups, nullptr).seconds;
            else if (only == u"null")
                time = timeRun(builder, meet.races, pdfDir, Target::Nothing, nullptr).seconds;
            else if (only == u"bare")
                time = timeBaseline(collector.pages, root + u"/baseline.pdf"_qs);
            else if (only == u"split")
                time = timeBaselinePerDocument(collector, root + u"/baseline-split"_qs);
            else
                return 2;
            std::printf("%s: %.3f s\n", qPrintable(only), time);
        }
        return 0;
    }

    // Warm-up: fonts and caches as a running program has them.
    PageCollector collector;
    const RunTimes warm = timeRun(builder, meet.races, pdfDir, Target::Pdf, &collector);
    std::printf("meet: %d races, %d events (%d relays), %d certificates, %d pages, %d PDF files\n",
                int(meet.races.size()), meet.events, meet.relayEvents, warm.summary.certificates,
                warm.summary.pages, int(QDir(pdfDir).entryList({u"*.pdf"_qs}).size()));

    QString printer;
    try {
        printer = lookUpDefaultPrinter();
    } catch (const Failure&) {
        // No scheduler answering, or no default: the scheduler's run is left out.
    }
    const bool withCups = !printer.isEmpty();
    std::vector<double> runs, ledgerRuns, cupsRuns, composes, baselines, splits;
    for (int i = 0; i < repeat; ++i) {
        runs.push_back(timeRun(builder, meet.races, pdfDir, Target::Pdf, nullptr).seconds);
        ledgerRuns.push_back(
            timeRun(builder, meet.races, pdfDir, Target::PdfWithLedger, nullptr).seconds);
        if (withCups)
            cupsRuns.push_back(timeRun(builder, meet.races, pdfDir, Target::Cups, nullptr).seconds);
        composes.push_back(timeRun(builder, meet.races, pdfDir, Target::Nothing, nullptr).seconds);
        baselines.push_back(timeBaseline(collector.pages, root + u"/baseline.pdf"_qs));
        splits.push_back(timeBaselinePerDocument(collector, root + u"/baseline-split"_qs));
    }
    auto best = [](const std::vector<double>& times) {
        return *std::min_element(times.begin(), times.end());
    };
    const double run = best(runs);
    const double baseline = best(baselines);
    const double split = best(splits);
    std::printf("print run to PDF files:               %8.3f s (best of %d)\n", run, repeat);
    std::printf("  the same with the ledger:           %8.3f s (+%.1f %%, goal: at most 5 %%)\n",
                best(ledgerRuns), 100.0 * (best(ledgerRuns) / run - 1.0));
    std::printf("  the same run onto a null device:    %8.3f s (composing, filtering, marking)\n",
                best(composes));
    std::printf("bare QPainter rendering, one PDF:     %8.3f s\n", baseline);
    std::printf("  the same, one PDF per document:     %8.3f s\n", split);
    std::printf("ratio run / bare rendering, one PDF:  %8.3f\n", run / baseline);
    std::printf("ratio run / bare rendering per document: %5.3f (goal: at most 1.25)\n",
                run / split);
    if (withCups) {
        const double cupsRun = best(cupsRuns);
        std::printf("print run to the scheduler (%s): %8.3f s\n", qPrintable(printer), cupsRun);
        std::printf("ratio scheduler run / bare rendering per document: %5.3f (goal: at most "
                    "1.25)\n",
                    cupsRun / split);
    }
    return 0;
}
