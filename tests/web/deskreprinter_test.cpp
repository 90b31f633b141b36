// The desk pages' reprints on a real desk: through its printer claim, recorded in the
// ledger with the address that asked.
#include "web/deskreprinter.h"

#include "desk/desk.h"
#include "platform/qt/pdfdevice.h"
#include "samplemeet.h"
#include "tempmeet.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>

namespace tarvel::web {
namespace {

using namespace Qt::StringLiterals;

TEST(DeskReprinterTest, OneReprintAtATimeRecordedAsAskedByTheAddress)
{
    testing::TempMeet meet;
    sample::writeSampleMeet(meet.builder());
    QDir::setCurrent(meet.builder().workDir());
    QTemporaryDir pdfs;
    DeskServices services;
    services.openTarget = [folder = pdfs.path()](const DataLocations&) {
        return openPdfTarget(folder);
    };
    Desk desk(startSession(), services);
    ASSERT_FALSE(desk.runAndWait(desk.newRequest(RunKind::ReadyRaces)).failure);
    desk.finishRecording();
    const QList<LedgerEntry> printed = desk.openLedger()->entries();
    ASSERT_FALSE(printed.isEmpty());

    bool finished = false;
    QObject::connect(&desk, &Desk::runFinished, [&] { finished = true; });
    const Reprinter reprint = deskReprinter(desk);
    EXPECT_EQ(reprint({printed.first()}, "192.168.7.9"), ReprintAnswer::Accepted);
    // Handed over but not begun yet: a second asker hears "busy", nothing is lost.
    EXPECT_EQ(reprint({printed.last()}, "192.168.7.10"), ReprintAnswer::Busy);
    const QDeadlineTimer deadline(30000);
    while (!finished && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(finished);
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
    const QDeadlineTimer second(30000);
    while (!finished && !second.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(finished);
}

} // namespace
} // namespace tarvel::web
