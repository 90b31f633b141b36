// tarvel-batch --watch: races turned ready by another process, one by one, in bursts, with
// Race.dat replaced under it, and stopped by a signal in the middle of a run.

#include "batchfixture.h"
#include "eventually.h"
#include "ledger/ledger.h"
#include "ledger/sqlite.h"
#include "meetdb/racestatus.h"
#include "watchprocess.h"

#include <QRegularExpression>
#include <QThread>

#include <csignal>

namespace tarvel::testing {
namespace {

/// Events of one heat each, after the small meet's four races.
constexpr int kFirstSingle = 5;
constexpr int kSingleCount = 20;
constexpr int kLastRace = kFirstSingle + kSingleCount - 1;

class WatchTest : public BatchTest {
protected:
    void SetUp() override
    {
        BatchTest::SetUp();
        for (int raceNo = kFirstSingle; raceNo <= kLastRace; ++raceNo)
            meet.builder().writeRace(raceNo, race(1, 1, 3, u"2"_qs, {{1 + raceNo % 5, 6000}}));
        meet.builder().writeRaceStatus(QByteArray(kRaceCount, '0'));
    }

    void setReady(const QList<int>& races)
    {
        QFile file(meet.dataPath(u"Race.dat"_qs));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        for (int raceNo : races) {
            file.seek(raceNo - 1);
            file.write("8", 1);
        }
    }

    bool allMarked(const QList<int>& races, int milliseconds = 30000)
    {
        auto marked = [&] {
            const QByteArray table = raceDat();
            return std::all_of(races.begin(), races.end(),
                               [&](int raceNo) { return table.at(raceNo - 1) == '9'; });
        };
        return eventually(marked, std::chrono::milliseconds(milliseconds),
                          std::chrono::milliseconds(10));
    }

    /// The PDF files of each event, by its last heat.
    QMap<int, int> documentsByEvent() const
    {
        static const QRegularExpression label(u"-R([0-9]{3,4})_"_qs);
        QMap<int, int> documents;
        for (const QString& file : pdfFiles())
            ++documents[label.match(file).captured(1).toInt()];
        return documents;
    }

    /// Every event printed exactly once: the two-heat event (2), the relay (3), the singles;
    /// race 4, a heat round, is left out by the round filter.
    QMap<int, int> eachEventOnce() const
    {
        QMap<int, int> once{{2, 1}, {3, 1}};
        for (int raceNo = kFirstSingle; raceNo <= kLastRace; ++raceNo)
            once.insert(raceNo, 1);
        return once;
    }

    static QList<int> allRaces()
    {
        QList<int> races;
        for (int raceNo = 1; raceNo <= kLastRace; ++raceNo)
            races << raceNo;
        return races;
    }
};

struct OrderCase {
    const char* name;
    bool reversed;
    /// Between two races turning ready; 0: all within one write.
    int gapMilliseconds;
};

class WatchOrderTest : public WatchTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(WatchOrderTest, EveryEventIsPrintedExactlyOnce)
{
    WatchProcess watcher(arguments());
    ASSERT_TRUE(watcher.says(u"watching"_qs)) << watcher.err().toStdString();
    QList<int> races = allRaces();
    if (GetParam().reversed)
        std::reverse(races.begin(), races.end());
    if (GetParam().gapMilliseconds == 0) {
        setReady(races);
    } else {
        for (int raceNo : races) {
            setReady({raceNo});
            // The gap is the input (races turning ready apart in time); nothing is awaited.
            QThread::msleep(GetParam().gapMilliseconds);
        }
    }
    ASSERT_TRUE(allMarked(races)) << raceDat().left(kLastRace).constData();
    EXPECT_EQ(watcher.stop(SIGTERM), 0) << watcher.err().toStdString();
    EXPECT_EQ(documentsByEvent(), eachEventOnce());
    EXPECT_TRUE(watcher.err().contains(u"watching ended"_qs));
    // Each run's account carries its time.
    static const QRegularExpression stamped(u"\\[[0-9-]{10} [0-9:]{8}\\] [0-9]+ race"_qs);
    EXPECT_TRUE(stamped.match(watcher.err()).hasMatch()) << watcher.err().toStdString();
    // The log grew across the runs: one line per certificate of every event.
    EXPECT_EQ(logLines().size(), 3 + 4 + kSingleCount);
}

INSTANTIATE_TEST_SUITE_P(Orders, WatchOrderTest,
                         ::testing::Values(OrderCase{"InOrder", false, 15},
                                           OrderCase{"OutOfOrder", true, 15},
                                           OrderCase{"BurstWithin100ms", false, 4},
                                           OrderCase{"AllInOneWrite", true, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

enum class Replacement { Renamed, DeletedThenRecreated };

class WatchReplacedTableTest : public WatchTest,
                               public ::testing::WithParamInterface<Replacement> {};

// Some programs save a file by writing a new one and renaming it over the old; a share may
// drop the file for a moment. Either way the watching goes on and prints what is ready.
TEST_P(WatchReplacedTableTest, GoesOnWithTheNewRaceTable)
{
    WatchProcess watcher(arguments());
    ASSERT_TRUE(watcher.says(u"watching"_qs));
    setReady({5});
    ASSERT_TRUE(allMarked({5}));

    const QString path = meet.dataPath(u"Race.dat"_qs);
    for (int round = 0; round < 3; ++round) {
        QByteArray table = raceDat();
        table[5 + round] = '8';
        if (GetParam() == Replacement::Renamed) {
            writeFileBytes(path + u".new"_qs, table);
            ASSERT_EQ(::rename(qPrintable(path + u".new"_qs), qPrintable(path)), 0);
        } else {
            ASSERT_TRUE(QFile::remove(path));
            // The file stays away for a moment, as on a share; the watcher tells nothing of it.
            QThread::msleep(300);
            writeFileBytes(path, table);
        }
        ASSERT_TRUE(allMarked({6 + round})) << "round " << round;
    }
    EXPECT_EQ(watcher.stop(SIGINT), 0);
    EXPECT_EQ(documentsByEvent(), (QMap<int, int>{{5, 1}, {6, 1}, {7, 1}, {8, 1}}));
}

INSTANTIATE_TEST_SUITE_P(Ways, WatchReplacedTableTest,
                         ::testing::Values(Replacement::Renamed, Replacement::DeletedThenRecreated),
                         [](const auto& info) {
                             return info.param == Replacement::Renamed ? "Renamed"
                                                                       : "DeletedThenRecreated";
                         });

// A stop signal in the middle of a run: the event in hand is delivered and marked, nothing
// after it begins, and the tool ends well. Another desk holds the ledger, so the first event
// delivered waits for its record until the signal has been taken: the run is caught in the
// middle on any machine.
TEST_F(WatchTest, AStopSignalEndsAfterTheEventInHand)
{
    const QString ledger = meet.dataPath(u"tarvel-ledger.db"_qs);
    {
        Ledger created(ledger);
    }
    auto otherDesk = std::make_unique<sql::Database>(ledger, sql::Database::Mode::ReadWrite, 0);
    otherDesk->execute("BEGIN EXCLUSIVE");
    QList<int> races;
    for (int raceNo = kFirstSingle; raceNo <= kLastRace; ++raceNo)
        races << raceNo;
    setReady(races);
    WatchProcess watcher(arguments());
    eventually([&] { return !pdfFiles().isEmpty(); }, std::chrono::seconds(30));
    ASSERT_EQ(pdfFiles().size(), 1) << watcher.err().toStdString();
    watcher.send(SIGTERM);
    ASSERT_TRUE(watcher.says(u"after the event in hand"_qs)) << watcher.err().toStdString();
    ASSERT_FALSE(watcher.err().contains(u"could not be written"_qs))
        << "the record stopped waiting for the ledger before the signal was taken";
    otherDesk.reset();
    EXPECT_EQ(watcher.waitForExit(), 0) << watcher.err().toStdString();

    const QByteArray table = raceDat();
    const QMap<int, int> documents = documentsByEvent();
    int marked = 0;
    for (int raceNo : races) {
        const bool printed = documents.value(raceNo) == 1;
        EXPECT_EQ(table.at(raceNo - 1), printed ? '9' : '8') << "race " << raceNo;
        marked += printed;
    }
    // The event held for its record, and the next one if the run had begun it before the
    // signal came; in order from the start.
    EXPECT_GE(marked, 1);
    EXPECT_LE(marked, 2);
    EXPECT_EQ(table.mid(kFirstSingle - 1, marked), QByteArray(marked, '9'));
    // Every document whole, and recorded once the ledger was free.
    for (const QString& file : pdfFiles())
        EXPECT_FALSE(pdfText(pdfDir + u'/' + file).trimmed().isEmpty()) << file.toStdString();
    EXPECT_EQ(Ledger(ledger).entries().size(), marked);
}

} // namespace
} // namespace tarvel::testing
