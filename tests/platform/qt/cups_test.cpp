// Printing through a real print scheduler: a private CUPS scheduler with file queues, and
// the default destination's device in this process pointed at it.
#include "layout/drawing.h"
#include "platform/failure.h"
#include "platform/printeroffset.h"
#include "platform/qt/cupsdevice.h"
#include "platform/qt/fonts.h"
#include "platform/qt/pdfdevice.h"
#include "platform/qt/printernotice.h"
#include "platform/qt/printsystem.h"
#include "platform/qt/printtarget.h"
#include "poppler.h"
#include "privatescheduler.h"
#include "tempmeet.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

namespace tarvel::testing {
namespace {

class CupsPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString why = cups.start();
        if (!why.isEmpty())
            GTEST_SKIP() << "no private CUPS scheduler here: " << why.toStdString();
        cups.useInThisProcess();
        registerFontSubstitutions();
    }

    /// The default destination's device, after the queues are set up.
    PrintTarget target() { return openDefaultPrintTarget(meet.dataPath(u"certificates"_qs)); }

    /// `pages` certificates of the default layout as one document named `name`.
    Delivery printDocument(PrintDevice& device, const QString& name, int pages)
    {
        const Layout layout = defaultLayout();
        device.setDocumentName(name);
        for (int page = 0; page < pages; ++page)
            printPage(device, layout, startupItemTexts(layout), PreviewOnly::No);
        return device.endDocument();
    }

    PrivateScheduler cups;
    TempMeet meet;
};

TEST_F(CupsPrintTest, EachDocumentIsOneJobNamedAfterItWithItsPages)
{
    cups.addFileQueue(u"tarvel-test"_qs, true);
    PrintTarget printer = target();
    ASSERT_EQ(printer.kind, PrintTargetKind::Printer);
    EXPECT_TRUE(printer.printerName().isEmpty()) << "the default is looked up by the device";

    const Delivery run = printDocument(*printer.device, u"R012 男子 100m自由形 決勝"_qs, 3);
    EXPECT_EQ(printer.printerName(), u"tarvel-test"_qs);
    const Delivery test = printDocument(*printer.device, u"テスト印刷"_qs, 1);
    EXPECT_TRUE(run.sent);
    EXPECT_EQ(run.destination, u"tarvel-test"_qs);
    EXPECT_GT(test.jobId, run.jobId);
    EXPECT_FALSE(printer.device->endDocument().sent) << "nothing drawn, nothing sent";

    ASSERT_TRUE(cups.waitUntilIdle()) << cups.errorLogTail().toStdString();
    const QStringList spooled = cups.spooledDocuments();
    ASSERT_EQ(spooled.size(), 2);
    EXPECT_EQ(pdfPageCount(spooled[0]), 3);
    EXPECT_EQ(pdfPageCount(spooled[1]), 1);
    // A raw queue reports no paper: the design page on A4.
    EXPECT_TRUE(pdfPageSize(spooled[0]).contains(u"A4"_qs))
        << pdfPageSize(spooled[0]).toStdString();
    EXPECT_TRUE(runTool(u"pdfinfo"_qs, {spooled[0]}).contains(u"R012 男子 100m自由形 決勝"_qs));
    EXPECT_EQ(cups.pageLog().size(), 2);
}

TEST_F(CupsPrintTest, ARefusedJobIsAFailureNamingTheQueueAndLeavesNoJob)
{
    cups.addFileQueue(u"closed"_qs, true);
    cups.tool(u"cupsreject"_qs, {u"closed"_qs});
    PrintTarget printer = target();
    try {
        printDocument(*printer.device, u"R001"_qs, 2);
        FAIL() << "a rejecting queue took the job";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.path(), u"closed"_qs);
        EXPECT_TRUE(failure.reason().contains(u"not accepting"_qs)) << failure.what();
    }
    EXPECT_TRUE(cups.tool(u"lpstat"_qs, {u"-W"_qs, u"all"_qs, u"-o"_qs}).trimmed().isEmpty());
    EXPECT_TRUE(cups.spooledDocuments().isEmpty());
}

TEST_F(CupsPrintTest, PositionsAreMeasuredFromThePrintableAreaOfTheDestinationsPaper)
{
    // A queue with a driver reports its paper (US Letter with 4.23 mm margins); a raw queue
    // reports none and gets the design page on A4.
    cups.tool(u"lpadmin"_qs, {u"-p"_qs, u"letter"_qs, u"-v"_qs, u"file:/dev/null"_qs, u"-m"_qs,
                              u"drv:///sample.drv/generic.ppd"_qs, u"-E"_qs});
    cups.tool(u"lpadmin"_qs, {u"-d"_qs, u"letter"_qs});
    const Layout layout = defaultLayout();
    ItemTexts texts{};
    texts[10] = u"Corner"_qs; // item 10 stands at (0, 0)
    PrintTarget printer = target();
    printPage(*printer.device, layout, texts, PreviewOnly::No);
    printer.device->endDocument();

    // The document is spooled as the job is accepted; whether the driver's filters can then
    // print it does not matter here.
    const QStringList spooled = cups.spooledDocuments();
    ASSERT_EQ(spooled.size(), 1);
    EXPECT_TRUE(pdfPageSize(spooled[0]).startsWith(u"612 x 792"_qs))
        << pdfPageSize(spooled[0]).toStdString();
    const std::vector<PdfWord> words = pdfWords(spooled[0]);
    const auto corner = std::find_if(words.begin(), words.end(),
                                     [](const PdfWord& word) { return word.text == u"Corner"_qs; });
    ASSERT_NE(corner, words.end());
    const double margin = 4.23 / 25.4 * 72; // points
    EXPECT_NEAR(corner->box.left(), margin, 0.5);
    EXPECT_NEAR(corner->box.top(), margin, 3.0); // the cell's top, above the glyphs' box
}

TEST_F(CupsPrintTest, ACalibrationOffsetMovesThePagesOfItsPrinterAndNothingElse)
{
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    cups.addFileQueue(u"calibrated"_qs, true);
    cups.addFileQueue(u"plain"_qs, false);
    savePrinterOffset(u"calibrated"_qs, {300, -140});

    Layout layout = defaultLayout();
    for (ItemLayout& item : layout.items)
        item.switchState = kSwitchOff;
    layout.items[0] = {kSwitchOn, u"1440"_qs, u"2880"_qs, u"20"_qs, 0};
    ItemTexts texts{};
    texts[0] = u"Mark"_qs;
    const auto markOn = [&](PrintDevice& device) {
        printPage(device, layout, texts, PreviewOnly::No);
        const Delivery delivery = device.endDocument();
        const QString pdf =
            delivery.jobId > 0
                ? cups.spool() + u"/d%1-001"_qs.arg(delivery.jobId, 5, 10, QChar(u'0'))
                : delivery.destination;
        const std::vector<PdfWord> words = pdfWords(pdf);
        return words.size() == 1 ? words[0].box.topLeft() : QPointF(-1, -1);
    };
    const QPointF calibrated = markOn(*target().device);
    cups.tool(u"lpadmin"_qs, {u"-d"_qs, u"plain"_qs});
    const QPointF plain = markOn(*target().device);
    PdfDevice files(meet.dataPath(u"certificates"_qs));
    const QPointF file = markOn(files);

    EXPECT_NEAR(calibrated.x() - plain.x(), 300 / 20.0, 0.1);
    EXPECT_NEAR(calibrated.y() - plain.y(), -140 / 20.0, 0.1);
    // A raw queue and a PDF file both carry the design page on A4: the same place.
    EXPECT_NEAR(file.x(), plain.x(), 0.1);
    EXPECT_NEAR(file.y(), plain.y(), 0.1);
    EXPECT_EQ(loadPrinterOffset(u"plain"_qs), PageOffset{});
}

struct ClientConfCase {
    const char* name;
    QByteArray clientConf;
    bool serverConfigured;
};

class PrintSystemTest : public ::testing::TestWithParam<ClientConfCase> {};

TEST_P(PrintSystemTest, AServerNamedInClientConfIsAPrintSystem)
{
    QTemporaryDir root;
    QFile conf(root.path() + u"/client.conf"_qs);
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write(GetParam().clientConf);
    conf.close();
    const QByteArray server = qgetenv("CUPS_SERVER");
    const QByteArray serverRoot = qgetenv("CUPS_SERVERROOT");
    qunsetenv("CUPS_SERVER");
    qputenv("CUPS_SERVERROOT", QFile::encodeName(root.path()));
    const PrintSystemFacts facts = PrintSystemFacts::ofThisMachine();
    qputenv("CUPS_SERVER", server);
    qputenv("CUPS_SERVERROOT", serverRoot);

    EXPECT_FALSE(facts.serverInEnvironment);
    EXPECT_EQ(facts.serverConfigured, GetParam().serverConfigured);
    if (!facts.localSocket && !facts.installed) {
        EXPECT_EQ(hasPrintSystem(facts), GetParam().serverConfigured);
    }
    EXPECT_TRUE(hasPrintSystem(PrintSystemFacts{true, false, false, false}))
        << "CUPS_SERVER alone, even naming a socket that is gone";
}

INSTANTIATE_TEST_SUITE_P(
    ClientConf, PrintSystemTest,
    ::testing::Values(ClientConfCase{"Named", "ServerName print.example:631\n", true},
                      ClientConfCase{"AnyCase", "Encryption Never\nservername  /run/x.sock\n",
                                     true},
                      ClientConfCase{"CommentedOut", "# ServerName print.example\n", false},
                      ClientConfCase{"NameMissing", "ServerName\n", false},
                      ClientConfCase{"Empty", "", false}),
    [](const ::testing::TestParamInfo<ClientConfCase>& info) { return info.param.name; });

/// A frozen scheduler: the wait for it ends at the deadline, or at once when stopped.
struct FrozenCase {
    const char* name;
    int deadlineMs;
    bool cancelled;
    QString reason;
    qint64 withinMs;
};

class FrozenSchedulerTest : public CupsPrintTest,
                            public ::testing::WithParamInterface<FrozenCase> {};

TEST_P(FrozenSchedulerTest, TheDocumentInHandFailsSayingWhy)
{
    cups.addFileQueue(u"desk"_qs, true);
    cups::SchedulerSettings settings;
    settings.deadline = std::chrono::milliseconds(GetParam().deadlineMs);
    CupsDevice device(QString(), settings);
    EXPECT_TRUE(printDocument(device, u"R001"_qs, 1).sent);
    cups.freeze();

    std::atomic<bool> returned = false;
    std::thread stopper;
    if (GetParam().cancelled)
        stopper = std::thread([&device, &returned] {
            // Stopped again and again until the call returns: a stop before the document
            // began is forgotten by it, so one during its wait must end that wait.
            const QDeadlineTimer deadline(30000);
            while (!returned.load() && !deadline.hasExpired()) {
                device.cancelWaiting();
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    QElapsedTimer clock;
    clock.start();
    try {
        printDocument(device, u"R002"_qs, 1);
        returned = true;
        ADD_FAILURE() << "a frozen scheduler took the job";
    } catch (const Failure& failure) {
        returned = true;
        EXPECT_EQ(failure.kind(), Failure::Kind::Unreachable);
        EXPECT_EQ(failure.subject(), Failure::Subject::Printer);
        EXPECT_EQ(failure.path(), u"desk"_qs);
        EXPECT_TRUE(failure.reason().contains(GetParam().reason)) << failure.what();
        EXPECT_TRUE(failure.reason().contains(cups.socket())) << failure.what();
    }
    EXPECT_LT(clock.elapsed(), GetParam().withinMs);
    if (stopper.joinable())
        stopper.join();
}

INSTANTIATE_TEST_SUITE_P(
    Waits, FrozenSchedulerTest,
    ::testing::Values(FrozenCase{"Deadline", 1000, false, u"did not answer within 1 seconds"_qs,
                                 4000},
                      FrozenCase{"Stopped", 60000, true, u"stopped while waiting"_qs, 2000}),
    [](const ::testing::TestParamInfo<FrozenCase>& info) { return info.param.name; });

TEST_F(CupsPrintTest, TheSchedulersReasonComesInTheLanguageAsked)
{
    cups.addFileQueue(u"closed"_qs, true);
    cups.tool(u"cupsreject"_qs, {u"closed"_qs});
    const QList<std::pair<QString, QString>> cases = {{u"ja"_qs, u"受け付けていません"_qs},
                                                      {u"en"_qs, u"not accepting jobs"_qs}};
    for (const auto& [language, reason] : cases) {
        cups::SchedulerSettings settings;
        settings.language = language;
        CupsDevice device(u"closed"_qs, settings);
        try {
            printDocument(device, u"R001"_qs, 1);
            ADD_FAILURE() << "a rejecting queue took the job";
        } catch (const Failure& failure) {
            EXPECT_TRUE(failure.reason().contains(reason)) << failure.what();
        }
    }
}

TEST_F(CupsPrintTest, AStoppedPrinterIsToldWithItsReasonAndItsWaitingJobs)
{
    cups.addFileQueue(u"desk"_qs, true);
    const PrinterNotice idle = askPrinter(u"desk"_qs);
    EXPECT_FALSE(idle.needsAttention());
    EXPECT_EQ(idle.waitingJobs, 0);

    cups.tool(u"cupsdisable"_qs, {u"desk"_qs});
    PrintTarget printer = target();
    printDocument(*printer.device, u"R001"_qs, 1);
    printDocument(*printer.device, u"R002"_qs, 2);
    const PrinterNotice stopped = askPrinter(u"desk"_qs);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_TRUE(stopped.needsAttention());
    EXPECT_TRUE(stopped.reasonKeywords.contains(u"paused"_qs))
        << stopped.reasonKeywords.join(u' ').toStdString();
    EXPECT_EQ(stopped.reasons.size(), stopped.reasonKeywords.size());
    EXPECT_EQ(stopped.waitingJobs, 2);
    EXPECT_THROW(askPrinter(u"ghost"_qs), Failure);
}

} // namespace
} // namespace tarvel::testing
