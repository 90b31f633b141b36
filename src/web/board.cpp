#include "web/board.h"

#include "desk/ceremonysender.h"
#include "meetdb/meetfiles.h"
#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/serialworker.h"
#include "web/boardjson.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tarvel::web {

namespace {

/// Refreshes come at most this often: a run's progress asks many times a second, and each
/// refresh reads the ledger and builds the board again. Well within the second a change has
/// to reach the browsers.
constexpr std::chrono::milliseconds kRefreshGap{250};

/// Enough of a file's state to tell that it changed since the last look, and whether it is
/// still the same file (another put in its place has another device and inode).
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileStamp&) const = default;
    bool isSameFileAs(const FileStamp& other) const
    {
        return exists && other.exists && device == other.device && inode == other.inode;
    }
};

FileStamp stampOf(const QString& meetPath)
{
    const QString path = hostPath(meetPath);
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return {true, qint64(status.st_size), QFileInfo(path).lastModified(), status.st_dev,
            status.st_ino};
}

} // namespace

struct Board::Impl {
    Impl(Session s, Publish p) : session(std::move(s)), publish(std::move(p)) {}

    void ask(const std::function<void(RunFacts&)>& change, bool ledger = false);
    void refresh();
    void readEvents(QStringList& troubles);
    void readLedger(bool asked, QStringList& troubles);
    /// The lines of the printed events whose latest document changed, built into `fresh`;
    /// returns the events whose lines are served now, with the documents they come from.
    QHash<int, qint64> updateLists(const QList<BoardEvent>& lines, QList<int>& changed,
                                   QHash<int, EventLines>& fresh);
    qint64 version() const;

    const Session session;
    const Publish publish;

    std::mutex factsMutex;
    RunFacts run;               ///< guarded by factsMutex
    bool ledgerAsked = true;    ///< guarded by factsMutex
    bool refreshPosted = false; ///< guarded by factsMutex
    bool closing = false;       ///< guarded by factsMutex: no more waiting between refreshes
    std::condition_variable closed;

    // The board's thread only.
    QList<MeetEvent> events;
    std::optional<FileStamp> taikaiStamp;
    QString eventsTrouble;
    RaceStatus status;
    std::unique_ptr<Ledger> ledger;
    LedgerFacts facts;
    std::optional<FileStamp> ledgerStamp;
    QString ledgerTrouble;
    QList<BoardEvent> lines;
    QString trouble;
    QHash<int, qint64> listOf; ///< event → the document its served lines come from
    std::chrono::steady_clock::time_point lastRefresh;

    mutable std::mutex jsonMutex;
    /// The board as served, built at the first request after each change (most changes
    /// reach the browsers as notices alone). All guarded by jsonMutex.
    mutable QByteArray json;
    QList<BoardEvent> servedLines;
    QString servedTrouble;
    QHash<int, qint64> servedLists;
    QHash<int, QByteArray> listJson; ///< guarded by jsonMutex
    qint64 counter = 0;              ///< guarded by jsonMutex

    SerialWorker<void> worker; ///< last: it goes first, finishing the refresh under way
};

void Board::Impl::ask(const std::function<void(RunFacts&)>& change, bool ledgerToo)
{
    std::lock_guard lock(factsMutex);
    if (change)
        change(run);
    ledgerAsked = ledgerAsked || ledgerToo;
    if (refreshPosted)
        return;
    refreshPosted = true;
    worker.post([this] { refresh(); });
}

void Board::Impl::readEvents(QStringList& troubles)
{
    const FileStamp stamp = stampOf(meetFilePath(session.where, MeetFile::Races));
    if (stamp != taikaiStamp || !eventsTrouble.isEmpty()) { // in trouble: until it reads
        taikaiStamp = stamp;
        try {
            QStringList titles;
            events = readMeetEvents(session, titles);
            eventsTrouble = titles.join(u'\n');
        } catch (const Failure& failure) {
            // The events read before stay on the board until the file reads again.
            eventsTrouble = failure.message();
        }
    }
    if (!eventsTrouble.isEmpty())
        troubles << eventsTrouble;
    try {
        status = readRaceStatus(session.where);
    } catch (const Failure& failure) {
        troubles << failure.message(); // the statuses read last stay
    }
}

void Board::Impl::readLedger(bool asked, QStringList& troubles)
{
    const FileStamp stamp = stampOf(session.where.dataFile(QString::fromUtf16(kLedgerFileName)));
    if (!stamp.exists)
        return; // nothing printed yet: the board never creates the ledger
    if (asked || stamp != ledgerStamp || !ledgerTrouble.isEmpty()) {
        if (ledgerStamp && !stamp.isSameFileAs(*ledgerStamp)) {
            // Another ledger in the old one's place (deleted and made again, or copied over):
            // what the board knew came from the old file, whose document ids mean nothing now.
            ledger.reset();
            facts = LedgerFacts();
            listOf.clear();
        }
        ledgerStamp = stamp;
        try {
            if (!ledger)
                ledger = std::make_unique<Ledger>(session.where);
            facts.update(*ledger);
            ledgerTrouble.clear();
        } catch (const Failure& failure) {
            ledger.reset();
            ledgerTrouble = failure.message();
        }
    }
    if (!ledgerTrouble.isEmpty())
        troubles << ledgerTrouble;
}

QHash<int, qint64> Board::Impl::updateLists(const QList<BoardEvent>& now, QList<int>& changed,
                                            QHash<int, EventLines>& fresh)
{
    QHash<int, qint64> freshOf;
    QList<int> wanted; // printed with a document other than the one their lines come from
    for (const BoardEvent& line : now) {
        if (line.state != BoardState::Printed || line.documentId == 0)
            continue;
        if (listOf.value(line.raceNo) == line.documentId)
            freshOf.insert(line.raceNo, line.documentId);
        else
            wanted << line.raceNo;
    }
    if (!wanted.isEmpty() && ledger) {
        try {
            // All in one read: a run prints many events between two refreshes.
            const CeremonyList lists = ceremonyListFromLedger(*ledger, wanted);
            QHash<int, qint64> documentOf;
            for (const BoardEvent& line : now)
                documentOf.insert(line.raceNo, line.documentId);
            for (const CeremonyEvent& event : lists.events) {
                fresh.insert(event.raceNo, ceremonyEventLines(event));
                freshOf.insert(event.raceNo, documentOf.value(event.raceNo));
                if (!changed.contains(event.raceNo))
                    changed << event.raceNo;
            }
        } catch (const Failure&) {
            // Tried again with the next refresh; the summary still shows the events printed.
        }
    }
    std::lock_guard lock(jsonMutex);
    for (auto it = listJson.begin(); it != listJson.end();)
        it = freshOf.contains(it.key()) ? std::next(it) : listJson.erase(it);
    for (auto it = fresh.cbegin(); it != fresh.cend(); ++it)
        listJson.insert(it.key(), it->json);
    listOf = freshOf;
    return freshOf;
}

void Board::Impl::refresh()
{
    RunFacts runNow;
    bool ledgerNow = false;
    {
        // What is asked while waiting joins this refresh.
        std::unique_lock lock(factsMutex);
        closed.wait_until(lock, lastRefresh + kRefreshGap, [this] { return closing; });
        lastRefresh = std::chrono::steady_clock::now();
        refreshPosted = false;
        runNow = run;
        ledgerNow = std::exchange(ledgerAsked, false);
    }
    QStringList troubles;
    readEvents(troubles);
    readLedger(ledgerNow, troubles);

    QList<BoardEvent> now;
    now.reserve(events.size());
    for (const MeetEvent& event : events)
        now.append(boardEventOf(event, status, facts.latest(), runNow));

    // Events whose line is new, different or gone.
    QList<int> changed;
    QHash<int, const BoardEvent*> before;
    for (const BoardEvent& line : lines)
        before.insert(line.raceNo, &line);
    for (const BoardEvent& line : now) {
        const BoardEvent* was = before.take(line.raceNo);
        if (!was || *was != line)
            changed << line.raceNo;
    }
    const QList<int> gone = before.keys();
    QHash<int, EventLines> fresh;
    const QHash<int, qint64> withList = updateLists(now, changed, fresh);
    const QString troubleNow = troubles.join(u'\n');
    if (version() > 0 && changed.isEmpty() && gone.isEmpty() && troubleNow == trouble)
        return;
    lines = std::move(now);
    trouble = troubleNow;
    QList<BoardEvent> changedLines;
    for (const BoardEvent& line : std::as_const(lines))
        if (changed.contains(line.raceNo))
            changedLines << line;
    qint64 made = 0;
    {
        std::lock_guard lock(jsonMutex);
        json.clear();
        servedLines = lines;
        servedTrouble = trouble;
        servedLists = withList;
        made = ++counter;
    }
    if (publish)
        publish(changeNotice(made, trouble, changedLines, withList, gone, fresh));
}

qint64 Board::Impl::version() const
{
    std::lock_guard lock(jsonMutex);
    return counter;
}

Board::Board(Session session, Publish publish)
    : impl_(std::make_unique<Impl>(std::move(session), std::move(publish)))
{
}

Board::~Board()
{
    {
        std::lock_guard lock(impl_->factsMutex);
        impl_->closing = true;
    }
    impl_->closed.notify_all();
}

void Board::poll()
{
    impl_->ask({});
}

void Board::setInHand(const QString& title)
{
    impl_->ask([&](RunFacts& run) {
        if (run.inHand != title)
            run.inHandSince = QDateTime::currentDateTime();
        run.inHand = title;
    });
}

void Board::setWatchInHand(int lastHeat)
{
    impl_->ask([&](RunFacts& run) {
        if (run.watchInHand != lastHeat)
            run.watchInHandSince = QDateTime::currentDateTime();
        run.watchInHand = lastHeat;
    });
}

void Board::runFinished(const RunOutcome& outcome)
{
    const QDateTime now = QDateTime::currentDateTime();
    impl_->ask(
        [&](RunFacts& run) {
            run.inHand.clear();
            for (const UnprintedEvent& event : outcome.summary.unprinted)
                run.unprinted.insert(event.event.raceNo, {event.why, now});
        },
        true);
}

void Board::ledgerChanged()
{
    impl_->ask({}, true);
}

QByteArray Board::json() const
{
    const Impl& impl = *impl_;
    std::lock_guard lock(impl.jsonMutex);
    if (impl.json.isEmpty()) // until the first refresh, an empty board rather than no answer
        impl.json = boardJson(impl.counter, impl.session.meet.meetName, impl.servedTrouble,
                              impl.servedLines, impl.servedLists);
    return impl.json;
}

std::optional<QByteArray> Board::eventJson(int raceNo) const
{
    std::lock_guard lock(impl_->jsonMutex);
    const auto found = impl_->listJson.constFind(raceNo);
    if (found == impl_->listJson.constEnd())
        return std::nullopt;
    return *found;
}

qint64 Board::version() const
{
    return impl_->version();
}

void Board::settle()
{
    impl_->worker.post([] {}).wait();
}

} // namespace tarvel::web
