#pragma once
/// What the award board is made of: the meet's events as taikai.dat lays them out, the race
/// status, what the ledger says was delivered, and what the desk's runs are doing. Plain
/// values and pure functions, so that each state is tested without a desk.

#include "ledger/ledger.h"
#include "meetdb/racestatus.h"
#include "printrun/session.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace tarvel::web {

/// One event of the meet: its heats are the races firstHeat to lastHeat.
struct MeetEvent {
    int firstHeat = 0;
    int lastHeat = 0; ///< names the event, as the ledger and the ceremony list do
    QString title; ///< as its certificates' document is named: "R012 男子 100m自由形 決勝"
    bool operator==(const MeetEvent&) const = default;
};

/// The events of taikai.dat in race order (each event's last heat with a heat count of at
/// least one). An event whose records contradict each other is left out; one whose name
/// cannot be read (the master file naming custom events) is titled by its race alone, the
/// failure added to `troubles`. Throws tarvel::Failure when taikai.dat cannot be read.
QList<MeetEvent> readMeetEvents(const Session& session, QStringList& troubles);

/// The latest delivery of an event's certificates, as the ledger records it.
struct Delivered {
    qint64 documentId = 0;
    QDateTime at;
    QString time; ///< `at` as the board shows it: hh:mm, local time
    JobState state = JobState::Pending;
    bool operator==(const Delivered&) const = default;
};

/// What the ledger says of each event, kept up to date by reading only the documents that
/// are new since the last read (their certificates say which events they carry). Used by
/// one thread at a time.
class LedgerFacts {
public:
    /// Reads the documents of `ledger`; throws tarvel::Failure when it cannot.
    void update(Ledger& ledger);
    /// The latest delivery per event (by its last heat).
    const QHash<int, Delivered>& latest() const { return latest_; }

private:
    /// What never changes of a document once recorded.
    struct Known {
        QList<int> races; ///< the events it carried
        QString time;     ///< Delivered::time
    };
    QHash<qint64, Known> known_; ///< by document id
    QHash<int, Delivered> latest_;
};

/// What the desk's runs say now.
struct RunFacts {
    /// The title of the event the run going has in hand, and since when; empty when none is.
    QString inHand;
    QDateTime inHandSince;
    /// The last heat of the event automatic printing has in hand, and since when; 0 when none.
    int watchInHand = 0;
    QDateTime watchInHandSince;
    /// Events a run left unprinted, why, and when the run ended: a later delivery clears it.
    struct Trouble {
        QString why;
        QDateTime at;
    };
    QHash<int, Trouble> unprinted;
};

enum class BoardState { Incomplete, Ready, Printing, Printed, Failed };

/// One event as the board shows it.
struct BoardEvent {
    int raceNo = 0; ///< the event's last heat
    QString title;
    BoardState state = BoardState::Incomplete;
    /// Printed: when (hh:mm); may be empty when the races were marked elsewhere.
    QString printedAt;
    /// Failed: why.
    QString why;
    /// The ledger document the event's ceremony lines come from (Printed); 0 when none.
    qint64 documentId = 0;
    bool operator==(const BoardEvent&) const = default;
};

/// Whether a heat's status byte says its results are in ("8" ready, "9" dealt with, and
/// anything above as anytime printing counts it).
bool isHeatDone(char status);

/// The board's line for `event`: in hand (until its delivery since then is in the ledger: a
/// run names the event it composed last until it takes the next) beats a failure, a failure (the
/// last delivery's job canceled or aborted, or the run that last tried it left it unprinted) beats
/// a delivery, a delivery beats the race status. Pure.
BoardEvent boardEventOf(const MeetEvent& event, const RaceStatus& status,
                        const QHash<int, Delivered>& delivered, const RunFacts& run);

} // namespace tarvel::web
