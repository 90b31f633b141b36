// The desk pages' reprints on a real desk: through its printer claim, recorded in the
// ledger with the address that asked.
#include "web/deskreprinter.h"

#include "eventually.h"
#include "sampledesk.h"

#include <gtest/gtest.h>

namespace tarvel::web {
namespace {

using namespace Qt::StringLiterals;

TEST(DeskReprinterTest, OneReprintAtATimeRecordedAsAskedByTheAddress)
{
    testing::SampleMeetDesk sample;
    Desk& desk = sample.desk();
    ASSERT_FALSE(sample.printReadyRaces().failure);
    const QList<LedgerEntry> printed = desk.openLedger()->entries();
    ASSERT_FALSE(printed.isEmpty());

    bool finished = false;
    QObject::connect(&desk, &Desk::runFinished, [&] { finished = true; });
    const Reprinter reprint = deskReprinter(desk);
    EXPECT_EQ(reprint({printed.first()}, "192.168.7.9"), ReprintAnswer::Accepted);
    // Handed over but not begun yet: a second asker hears "busy", nothing is lost.
    EXPECT_EQ(reprint({printed.last()}, "192.168.7.10"), ReprintAnswer::Busy);
    ASSERT_TRUE(testing::eventually([&] { return finished; }, std::chrono::seconds(30)));
    desk.finishRecording();

    QList<LedgerDocumentEntry> reprints;
    for (const LedgerDocumentEntry& document : desk.openLedger()->documents())
        if (document.document.kind == DocumentKind::Reprint)
            reprints << document;
    ASSERT_EQ(reprints.size(), 1);
    EXPECT_EQ(reprints[0].document.requestedBy, u"192.168.7.9"_s);
    const QList<LedgerEntry> again = desk.openLedger()->entriesOfDocument(reprints[0].id);
    ASSERT_EQ(again.size(), 1);
    EXPECT_EQ(again[0].certificate.reprintOf, printed.first().id);
    // Free again once the run is over.
    EXPECT_EQ(reprint({printed.last()}, "192.168.7.10"), ReprintAnswer::Accepted);
    finished = false;
    EXPECT_TRUE(testing::eventually([&] { return finished; }, std::chrono::seconds(30)));
}

TEST(DeskReprinterTest, AnAcceptedReprintWaitsForARunTheOperatorBeganMeanwhile)
{
    testing::SampleMeetDesk sample;
    Desk& desk = sample.desk();
    ASSERT_FALSE(sample.printReadyRaces().failure);
    const QList<LedgerEntry> printed = desk.openLedger()->entries();
    ASSERT_FALSE(printed.isEmpty());

    int finished = 0;
    QObject::connect(&desk, &Desk::runFinished, [&] { ++finished; });
    const Reprinter reprint = deskReprinter(desk);
    ASSERT_EQ(reprint({printed.first()}, "192.168.7.9"), ReprintAnswer::Accepted);
    // The operator takes the printer before the page's reprint reaches the desk's thread.
    RunRequest operatorRun = desk.newRequest(RunKind::Reprint);
    operatorRun.reprint = {printed.last()};
    desk.start(std::move(operatorRun));
    ASSERT_TRUE(testing::eventually([&] { return finished == 2; }, std::chrono::seconds(30)));
    desk.finishRecording();

    QStringList askers;
    for (const LedgerDocumentEntry& document : desk.openLedger()->documents())
        if (document.document.kind == DocumentKind::Reprint)
            askers << document.document.requestedBy;
    ASSERT_EQ(askers.size(), 2) << askers.join(u", "_s).toStdString();
    EXPECT_TRUE(askers.contains(u"192.168.7.9"_s)) << askers.join(u", "_s).toStdString();
    EXPECT_EQ(reprint({printed.last()}, "192.168.7.10"), ReprintAnswer::Accepted);
}

} // namespace
} // namespace tarvel::web
