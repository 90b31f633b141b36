// The award board: each event's state from the meet's files, the ledger and the desk's runs,
// and files that cannot be read said on the board instead of stopping it.
#include "meetfixture.h"
#include "web/board.h"
#include "web/boardjson.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>
#include <mutex>

namespace tarvel::web {
namespace {

using testing::heat;
using testing::meetWith;
using testing::sessionFor;
using testing::TempMeet;

/// Two events: the men's 100m freestyle in two heats (races 1 and 2) and a relay in one
/// (race 3). The event under test is the first; the relay stays incomplete throughout.
class BoardStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        meet_.builder().writeRace(1, heat(1, 2, 3, {}));
        meet_.builder().writeRace(2, heat(2, 2, 3, {}));
        meet_.builder().writeRace(3, heat(1, 1, 26, {}));
        session_ = sessionFor(meet_, meetWith(8));
    }

public:
    /// A document of race 2's certificates, printed at `at` tomorrow (later than any run the
    /// test makes), or `days` from today.
    void record(JobState state, QTime at, int days = 1)
    {
        Ledger ledger(session_.where);
        LedgerCertificate certificate;
        certificate.raceNo = 2;
        certificate.heat = 2;
        certificate.items[4] = u"川波　櫂"_qs;
        const QDateTime when(QDate::currentDate().addDays(days), at);
        ledger.record({when, u"R002"_qs, u"PDF"_qs, 0, state}, {certificate}, u"test"_qs);
    }

    TempMeet meet_;
    Session session_;
};

struct StateCase {
    const char* name;
    QByteArray statuses; ///< races 1, 2 and 3
    std::function<void(BoardStateTest&, Board&)> act;
    const char* state;
    const char* why;   ///< a part of the reason shown, or the time shown ("" for none)
    const char* relay; ///< the other event's state
};

class BoardStates : public BoardStateTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(BoardStates, EachEventShowsWhereItIs)
{
    const StateCase& row = GetParam();
    meet_.builder().writeRaceStatus(row.statuses);
    Board board(session_, {});
    if (row.act)
        row.act(*this, board);
    board.poll();
    board.settle();
    const QJsonObject json = QJsonDocument::fromJson(board.json()).object();
    const QJsonArray events = json[u"events"_qs].toArray();
    ASSERT_EQ(events.size(), 2) << board.json().toStdString();
    const QJsonObject first = events[0].toObject();
    EXPECT_EQ(first[u"race"_qs].toInt(), 2);
    EXPECT_EQ(first[u"title"_qs].toString(), u"R002 男子 100m自由形 決勝"_qs);
    EXPECT_EQ(first[u"state"_qs].toString().toStdString(), row.state);
    const QString detail = first[u"why"_qs].toString() + first[u"time"_qs].toString();
    if (*row.why == '\0')
        EXPECT_TRUE(detail.isEmpty()) << detail.toStdString();
    else
        EXPECT_TRUE(detail.contains(QString::fromUtf8(row.why))) << detail.toStdString();
    EXPECT_EQ(events[1].toObject()[u"state"_qs].toString().toStdString(), row.relay);
    EXPECT_TRUE(json[u"trouble"_qs].toString().isEmpty());
}

RunOutcome leftUnprinted(int race, const QString& why)
{
    RunOutcome outcome;
    outcome.summary.unprinted.append({{race, u"R002"_qs}, why});
    return outcome;
}

const StateCase kStates[] = {
    {"OneHeatStillSwimming", QByteArray("8\0\0", 3), {}, "incomplete", "", "incomplete"},
    {"LastHeatInFirstNot",
     QByteArray("\0"
                "8\0",
                3),
     {},
     "incomplete",
     "",
     "incomplete"},
    {"EveryHeatReady", QByteArray("88\0", 3), {}, "ready", "", "incomplete"},
    {"AnytimeReprintCounts", QByteArray("98\0", 3), {}, "ready", "", "incomplete"},
    {"RunHasItInHand", QByteArray("88\0", 3),
     [](BoardStateTest&, Board& board) { board.setInHand(u"R002 男子 100m自由形 決勝"_qs); },
     "printing", "", "incomplete"},
    {"DeliveredWhileTheRunGoesOn", QByteArray("88\0", 3),
     [](BoardStateTest& test, Board& board) {
         board.setInHand(u"R002 男子 100m自由形 決勝"_qs);
         test.record(JobState::Written, {10, 42});
     },
     "printed", "10:42", "incomplete"},
    {"PrintedBeforeInHandAgain", QByteArray("99\0", 3),
     [](BoardStateTest& test, Board& board) {
         test.record(JobState::Written, {10, 42}, -1);
         board.setInHand(u"R002 男子 100m自由形 決勝"_qs);
     },
     "printing", "", "incomplete"},
    {"OtherEventInHand", QByteArray("88\0", 3),
     [](BoardStateTest&, Board& board) { board.setInHand(u"R003 男子 100mリレー 決勝"_qs); },
     "ready", "", "printing"},
    {"WatcherHasItInHand", QByteArray("88\0", 3),
     [](BoardStateTest&, Board& board) { board.setWatchInHand(2); }, "printing", "", "incomplete"},
    {"DeliveredWithTime", QByteArray("99\0", 3),
     [](BoardStateTest& test, Board&) {
         test.record(JobState::Written, {10, 42});
     },
     "printed", "10:42", "incomplete"},
    {"MarkedElsewhereNoTime", QByteArray("99\0", 3), {}, "printed", "", "incomplete"},
    {"JobCanceled", QByteArray("99\0", 3),
     [](BoardStateTest& test, Board&) {
         test.record(JobState::Canceled, {10, 41});
     },
     "failed", "canceled", "incomplete"},
    {"CanceledThenReprinted", QByteArray("99\0", 3),
     [](BoardStateTest& test, Board&) {
         test.record(JobState::Canceled, {10, 41});
         test.record(JobState::Completed, {10, 42});
     },
     "printed", "10:42", "incomplete"},
    {"RunLeftItUnprinted", QByteArray("88\0", 3),
     [](BoardStateTest&, Board& board) {
         board.runFinished(leftUnprinted(2, u"taikai.dat: 壊れています"_qs));
     },
     "failed", "壊れています", "incomplete"},
    {"UnprintedThenDelivered", QByteArray("99\0", 3),
     [](BoardStateTest& test, Board& board) {
         board.runFinished(leftUnprinted(2, u"taikai.dat: 壊れています"_qs));
         test.record(JobState::Written, {10, 42});
     },
     "printed", "10:42", "incomplete"},
    {"InHandBeatsFailure", QByteArray("88\0", 3),
     [](BoardStateTest&, Board& board) {
         board.runFinished(leftUnprinted(2, u"x"_qs));
         board.setInHand(u"R002 男子 100m自由形 決勝"_qs);
     },
     "printing", "", "incomplete"},
};

INSTANTIATE_TEST_SUITE_P(Table, BoardStates, ::testing::ValuesIn(kStates),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BoardStateTest, EachChangeIsPublishedOnceWithTheEventsItConcerns)
{
    meet_.builder().writeRaceStatus(QByteArray("8\0\0", 3));
    std::mutex mutex;
    QList<QJsonObject> notices;
    Board board(session_, [&](std::string notice) {
        std::lock_guard lock(mutex);
        notices << QJsonDocument::fromJson(QByteArray::fromStdString(notice)).object();
    });
    board.poll();
    board.settle();
    board.poll(); // nothing changed: nothing told
    board.settle();
    meet_.builder().writeRaceStatus(QByteArray("88\0", 3));
    board.poll();
    board.settle();
    std::lock_guard lock(mutex);
    ASSERT_EQ(notices.size(), 2);
    EXPECT_EQ(notices[0][u"version"_qs].toInt(), 1);
    EXPECT_EQ(notices[1][u"version"_qs].toInt(), 2);
    // The second carries the line that changed, as the board now shows it.
    const QJsonArray lines = notices[1][u"events"_qs].toArray();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0][u"race"_qs].toInt(), 2);
    EXPECT_EQ(lines[0][u"state"_qs].toString(), u"ready"_qs);
    const QJsonArray shown = QJsonDocument::fromJson(board.json()).object()[u"events"_qs].toArray();
    EXPECT_EQ(lines[0].toObject(), shown[0].toObject());
    EXPECT_TRUE(notices[1][u"gone"_qs].toArray().isEmpty());
    EXPECT_EQ(board.version(), 2);
}

TEST_F(BoardStateTest, ABurstOfChangesMakesOneRefreshWithinTheSecond)
{
    meet_.builder().writeRaceStatus(QByteArray("8\0\0", 3));
    Board board(session_, {});
    board.poll();
    board.settle();
    ASSERT_EQ(board.version(), 1);
    // A run's progress: many asks in a row, right after a refresh.
    QElapsedTimer asked;
    asked.start();
    for (int i = 0; i < 20; ++i)
        board.setInHand(i % 2 ? u"R002 男子 100m自由形 決勝"_qs : u"R003 男子 100mリレー 決勝"_qs);
    board.settle();
    EXPECT_LT(asked.elapsed(), 1000);
    EXPECT_EQ(board.version(), 2);
    const QJsonArray shown = QJsonDocument::fromJson(board.json()).object()[u"events"_qs].toArray();
    EXPECT_EQ(shown[0][u"state"_qs].toString(), u"printing"_qs);
    EXPECT_EQ(shown[1][u"state"_qs].toString(), u"incomplete"_qs);
}

TEST(BoardNoticeTest, TooManyLinesOnlySayFetchTheBoard)
{
    QList<BoardEvent> lines(kNoticeLines);
    for (int i = 0; i < lines.size(); ++i)
        lines[i].raceNo = i + 1;
    const auto notice = [](const std::string& text) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
    };
    const QJsonObject atLimit = notice(changeNotice(7, {}, lines, {}, {}));
    EXPECT_EQ(atLimit[u"events"_qs].toArray().size(), kNoticeLines);
    EXPECT_FALSE(atLimit.contains(u"full"_qs));
    const QJsonObject past = notice(changeNotice(7, {}, lines, {}, {99}));
    EXPECT_TRUE(past[u"full"_qs].toBool());
    EXPECT_FALSE(past.contains(u"events"_qs));
    EXPECT_EQ(past[u"version"_qs].toInt(), 7);
}

TEST_F(BoardStateTest, APrintedEventsNoticeCarriesItsLinesAsServed)
{
    meet_.builder().writeRaceStatus(QByteArray("88\0", 3));
    std::mutex mutex;
    QJsonObject last;
    Board board(session_, [&](std::string notice) {
        std::lock_guard lock(mutex);
        last = QJsonDocument::fromJson(QByteArray::fromStdString(notice)).object();
    });
    board.poll();
    board.settle();
    record(JobState::Written, {10, 42});
    board.ledgerChanged();
    board.settle();
    const std::optional<QByteArray> served = board.eventJson(2);
    ASSERT_TRUE(served);
    std::lock_guard lock(mutex);
    const QJsonArray lines = last[u"events"_qs].toArray();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0][u"state"_qs].toString(), u"printed"_qs);
    EXPECT_EQ(lines[0][u"lines"_qs].toObject(), QJsonDocument::fromJson(*served).object());
}

TEST_F(BoardStateTest, ALedgerPutInTheOldOnesPlaceIsReadAnew)
{
    meet_.builder().writeRaceStatus(QByteArray("88\0", 3));
    Board board(session_, {});
    record(JobState::Written, {10, 42});
    board.poll();
    board.settle();
    ASSERT_TRUE(board.eventJson(2));
    EXPECT_TRUE(board.eventJson(2)->contains(u"川波"_qs.toUtf8()));

    // Deleted and made again while the board holds the old file open: the same document
    // id now names another delivery.
    ASSERT_TRUE(QFile::remove(meet_.dataPath(u"tarvel-ledger.db"_qs)));
    {
        Ledger ledger(session_.where);
        LedgerCertificate certificate;
        certificate.raceNo = 2;
        certificate.heat = 2;
        certificate.items[4] = u"山瀬　凪"_qs;
        const QDateTime when(QDate::currentDate().addDays(1), QTime(11, 5));
        ledger.record({when, u"R002"_qs, u"PDF"_qs, 0, JobState::Written}, {certificate},
                      u"test"_qs);
    }
    board.ledgerChanged();
    board.settle();
    const std::optional<QByteArray> lines = board.eventJson(2);
    ASSERT_TRUE(lines);
    EXPECT_TRUE(lines->contains(u"山瀬"_qs.toUtf8())) << lines->toStdString();
    EXPECT_FALSE(lines->contains(u"川波"_qs.toUtf8()));
    const QJsonArray shown = QJsonDocument::fromJson(board.json()).object()[u"events"_qs].toArray();
    EXPECT_EQ(shown[0][u"time"_qs].toString(), u"11:05"_qs);
}

struct CarriedCase {
    const char* name;
    QList<qsizetype> titles; ///< each changed event's lines: its title's length, -1 none built
    QList<bool> carried;     ///< whether each event's lines ride in the notice
};

class NoticeLines : public ::testing::TestWithParam<CarriedCase> {};

TEST_P(NoticeLines, RideWhileTheNoticeStaysWithinItsSize)
{
    const CarriedCase& row = GetParam();
    QList<BoardEvent> changed;
    QHash<int, EventLines> fresh;
    for (int i = 0; i < row.titles.size(); ++i) {
        BoardEvent line;
        line.raceNo = i + 1;
        line.state = BoardState::Printed;
        line.documentId = i + 10;
        changed << line;
        CeremonyEvent event;
        event.raceNo = i + 1;
        event.title = QString(row.titles[i], u'x');
        if (row.titles[i] >= 0)
            fresh.insert(i + 1, ceremonyEventLines(event));
    }
    const QJsonObject notice =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(changeNotice(7, {}, changed, {}, {}, fresh)))
            .object();
    const QJsonArray lines = notice[u"events"_qs].toArray();
    ASSERT_EQ(lines.size(), row.carried.size());
    for (int i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lines[i].toObject().contains(u"lines"_qs), row.carried[i]);
        if (row.carried[i]) {
            EXPECT_EQ(lines[i][u"lines"_qs].toObject(), fresh[i + 1].object);
        }
    }
}

const CarriedCase kCarried[] = {
    {"OneEvent", {2000}, {true}},
    {"OnlyThoseBuilt", {-1, 2000}, {false, true}},
    {"PastTheSizeLeftToFetch", {kNoticeListBytes - 1000, 2000, 500}, {true, false, true}},
    {"OneAloneTooLarge", {kNoticeListBytes + 1}, {false}},
};

INSTANTIATE_TEST_SUITE_P(Table, NoticeLines, ::testing::ValuesIn(kCarried),
                         [](const auto& info) { return std::string(info.param.name); });

struct TroubleCase {
    const char* name;
    std::function<void(TempMeet&)> damage;
    const char* named; ///< the file the board names
    int events;        ///< events still shown
};

class BoardTrouble : public BoardStateTest, public ::testing::WithParamInterface<TroubleCase> {};

TEST_P(BoardTrouble, AFileThatCannotBeReadIsSaidAndTheRestShown)
{
    const TroubleCase& row = GetParam();
    meet_.builder().writeRaceStatus(QByteArray("88\0", 3));
    Board board(session_, {});
    row.damage(meet_);
    board.poll();
    board.settle();
    const QJsonObject json = QJsonDocument::fromJson(board.json()).object();
    EXPECT_TRUE(json[u"trouble"_qs].toString().contains(QString::fromUtf8(row.named)))
        << board.json().toStdString();
    EXPECT_EQ(json[u"events"_qs].toArray().size(), row.events);
}

const TroubleCase kTroubles[] = {
    {"RaceStatusMissing", [](TempMeet& meet) { QFile::remove(meet.dataPath(u"Race.dat"_qs)); },
     "Race.dat", 2},
    {"RacesMissing", [](TempMeet& meet) { QFile::remove(meet.dataPath(u"taikai.dat"_qs)); },
     "taikai.dat", 0},
    {"CustomEventWithoutMasterFile",
     [](TempMeet& meet) { meet.builder().writeRace(3, testing::heat(1, 1, 30, {})); }, "master.dat",
     2},
    {"LedgerNotADatabase",
     [](TempMeet& meet) {
         testing::writeFileBytes(meet.dataPath(u"tarvel-ledger.db"_qs), QByteArray(4096, 'x'));
     },
     "tarvel-ledger.db", 2},
};

INSTANTIATE_TEST_SUITE_P(Table, BoardTrouble, ::testing::ValuesIn(kTroubles),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tarvel::web
