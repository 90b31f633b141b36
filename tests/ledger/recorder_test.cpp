// The recorder across print runs: each certificate recorded once per delivery, and nothing
// lost while another desk holds the ledger.

#include "eventually.h"
#include "ledger/ledgerrecorder.h"
#include "printrun/printrun.h"
#include "printrun/runobservers.h"
#include "recordingdevices.h"
#include "recordingobserver.h"
#include "samplemeet.h"
#include "tempmeet.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace tarvel::testing {
namespace {

/// Asks the run to stop once `events` documents were delivered.
class StopAfter : public RunObserver {
public:
    explicit StopAfter(int events) : events_(events) {}
    std::shared_future<void> documentDelivered(const DeliveredDocument&) override
    {
        --events_;
        return {};
    }
    bool stopRequested() const override { return events_ <= 0; }

private:
    int events_;
};

TEST(RecorderTest, EachCertificateIsRecordedOnceWithTheDeliveryThatSucceeded)
{
    // Runs in one program run, as under automatic printing: the first `refusals` runs have
    // their first document refused, or stop after `stopAfter` events; the last runs to the end.
    const struct {
        const char* name;
        int refusals;
        int stopAfter;
    } cases[] = {
        {"refused then accepted", 1, 0},
        {"two refusals", 2, 0},
        {"stopped mid-run", 0, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempMeet meet;
        sample::writeSampleMeet(meet.builder());
        const QString previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(meet.builder().workDir()));
        Session session = startSession();
        QDir::setCurrent(previous);
        const DataLocations where = session.where;
        LedgerRecorder recorder([where] { return std::make_unique<Ledger>(where); });
        RecordingPrinter printer;
        printer.inBackground = true;

        int refusals = c.refusals;
        printer.refuse = [&](const RecordedDocument&) { return refusals > 0; };
        for (int run = 0; run < c.refusals; ++run) {
            EXPECT_THROW(PrintRun(session, PrintOptions(), printer, nullptr, &recorder),
                         RunStopped);
            --refusals;
        }
        if (c.stopAfter > 0) {
            StopAfter stop(c.stopAfter);
            RunObservers observers{&recorder, &stop};
            PrintRun(session, PrintOptions(), printer, nullptr, &observers);
            ASSERT_LT(printer.documents.size(), 36);
        }
        PrintRun(session, PrintOptions(), printer, nullptr, &recorder);
        recorder.finish();

        // Every event delivered once in all, and the ledger holds exactly its pages.
        QSet<QString> delivered;
        for (const RecordedDocument& document : printer.documents)
            delivered.insert(document.name);
        EXPECT_EQ(delivered.size(), printer.documents.size());
        const QList<LedgerEntry> entries = Ledger(where).entries();
        EXPECT_GT(entries.size(), 150);
        EXPECT_EQ(entries.size(), printer.pageCount());
        std::set<std::tuple<int, int, int>> places;
        for (const LedgerEntry& entry : entries)
            places.insert({entry.certificate.heat, entry.certificate.lane,
                           entry.certificate.leg.value_or(-1)});
        EXPECT_EQ(qsizetype(places.size()), entries.size()) << "a certificate recorded twice";
    }
}

TEST(RecorderTest, ALedgerHeldByAnotherDeskIsWrittenOnceFreeAndToldOnceEachWay)
{
    QTemporaryDir dir;
    const QString path = dir.path() + u"/tarvel-ledger.db"_qs;
    {
        Ledger created(path);
    }
    std::mutex toldMutex;
    QStringList told;
    LedgerRecorder recorder([path] { return std::make_unique<Ledger>(path, 50); });
    recorder.setTroubleCallback([&](const std::optional<Failure>& failure) {
        std::lock_guard lock(toldMutex);
        told << (failure ? u"failing"_qs : u"recovered"_qs);
    });
    const auto toldSoFar = [&] {
        std::lock_guard lock(toldMutex);
        return told;
    };
    const auto deliver = [&](int event) {
        const ItemTexts items{};
        recorder.eventStarted(event, u"R%1"_qs.arg(event));
        recorder.certificateAccepted({event, 0, std::nullopt, items, event, {}, 1});
        return recorder.documentDelivered({event, u"R%1"_qs.arg(event), {true, u"desk"_qs, 0, 1}});
    };

    // Another desk holds the file: nothing is written, the run is not held up for it.
    auto other = std::make_unique<sql::Database>(path, sql::Database::Mode::ReadWrite, 0);
    other->execute("BEGIN EXCLUSIVE");
    deliver(1).wait();
    ASSERT_TRUE(eventually([&] { return toldSoFar().size() == 1; }));
    for (int event = 2; event <= 3; ++event) {
        std::shared_future<void> kept = deliver(event);
        EXPECT_EQ(kept.wait_for(std::chrono::seconds(0)), std::future_status::ready);
    }
    recorder.retry();
    EXPECT_TRUE(eventually([&] { return recorder.waitingDocuments() == 3; }));
    EXPECT_TRUE(recorder.currentFailure().has_value());

    other.reset(); // free again
    recorder.retry();
    ASSERT_TRUE(eventually([&] { return recorder.waitingDocuments() == 0; }));
    recorder.finish();
    EXPECT_EQ(toldSoFar(), (QStringList{u"failing"_qs, u"recovered"_qs}));
    EXPECT_FALSE(recorder.currentFailure().has_value());
    QStringList titles;
    for (const LedgerEntry& entry : Ledger(path).entries())
        titles.prepend(entry.document.title);
    EXPECT_EQ(titles, (QStringList{u"R1"_qs, u"R2"_qs, u"R3"_qs}));
}

TEST(RecorderTest, AKeptListIsWrittenWithTheNextRecordOrWhenNoneComes)
{
    // A list kept for the next record: written in that record's transaction (after it), or
    // by writeKept(), or when the recorder goes; never lost, never written twice.
    enum class Then { NextRecord, WriteKept, RecorderGoes };
    for (const Then then : {Then::NextRecord, Then::WriteKept, Then::RecorderGoes}) {
        SCOPED_TRACE(int(then));
        QTemporaryDir dir;
        const QString path = dir.path() + u"/tarvel-ledger.db"_qs;
        {
            auto recorder =
                std::make_unique<LedgerRecorder>([path] { return std::make_unique<Ledger>(path); });
            LedgerDocument list{QDateTime::currentDateTime(), u"表彰者一覧 R1"_qs, u"lists"_qs};
            list.kind = DocumentKind::CeremonyList;
            recorder->recordWithNext(list);
            EXPECT_EQ(recorder->waitingDocuments(), 1);
            if (then == Then::NextRecord) {
                recorder->eventStarted(2, u"R2"_qs);
                recorder->certificateAccepted({2, 0, std::nullopt, ItemTexts{}, 2, {}, 1});
                recorder->documentDelivered({2, u"R2"_qs, {true, u"desk"_qs, 0, 1}}).wait();
            } else if (then == Then::WriteKept) {
                recorder->writeKept();
            }
            if (then != Then::RecorderGoes) {
                ASSERT_TRUE(eventually([&] { return recorder->waitingDocuments() == 0; }));
            }
        }
        QStringList titles;
        for (const LedgerDocumentEntry& entry : Ledger(path).documents())
            titles << entry.document.title;
        titles.sort();
        const QStringList expected = then == Then::NextRecord
                                         ? QStringList{u"R2"_qs, u"表彰者一覧 R1"_qs}
                                         : QStringList{u"表彰者一覧 R1"_qs};
        EXPECT_EQ(titles, expected);
    }
}

} // namespace
} // namespace tarvel::testing
