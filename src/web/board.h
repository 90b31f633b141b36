#pragma once
/// The award board (表彰ボード): every event of the meet in race order with its state, and
/// the ceremony lines of each printed event, as JSON built once per change. Refreshed on a
/// thread of its own, never the caller's: the desk's signals and a poll of the meet's files
/// (Race.dat, taikai.dat, the ledger) only post work there. A file that is missing or damaged
/// never stops the board; it says what it could not read (trouble) and shows the rest.

#include "printrun/runoutcome.h"
#include "printrun/session.h"
#include "web/boardfacts.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tarvel::web {

class Board {
public:
    /// Called on the board's thread with a notice of each change (changeNotice()): the lines
    /// that changed, and the ceremony lines of the events newly printed.
    using Publish = std::function<void(std::string)>;

    /// Reads `session`'s meet (its data folder and header); nothing is read before the
    /// first refresh.
    Board(Session session, Publish publish);
    /// Waits for the refresh under way.
    ~Board();
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    /// Each posts a refresh and returns at once; any thread. Several asked while one is under
    /// way make one more.
    /// Race.dat, and taikai.dat and the ledger when their files changed (the 1 s poll).
    void poll();
    /// The run going has `title` in hand (empty: none, the run ended).
    void setInHand(const QString& title);
    /// Automatic printing has the event of `lastHeat` in hand (0: none).
    void setWatchInHand(int lastHeat);
    /// A run ended: the events it left unprinted turn failed, the ledger is read again.
    void runFinished(const RunOutcome& outcome);
    /// The ledger changed (job states polled).
    void ledgerChanged();

    /// The board as served now (boardJson()); any thread.
    QByteArray json() const;
    /// The ceremony lines of a printed event (ceremonyEventJson()); none for another event.
    std::optional<QByteArray> eventJson(int raceNo) const;
    /// Counts changes; the first refresh makes 1.
    qint64 version() const;
    /// Waits until every refresh asked before has been made (tests, shutting down).
    void settle();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tarvel::web
