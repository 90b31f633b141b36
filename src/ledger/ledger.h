#pragma once
/// The certificate ledger: every certificate delivered, the document it went in, and what
/// became of that document's print job. An SQLite database in the meet's data folder, so
/// that every desk sharing the meet sees it.

#include "layout/certificateitems.h"
#include "ledger/sqlite.h"
#include "meetdb/datalocations.h"
#include "platform/printdevice.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace tarvel {

inline constexpr char16_t kLedgerFileName[] = u"tarvel-ledger.db";

/// The state's word as stored ("pending", "canceled", ...), and back (Pending for an
/// unknown word).
QString jobStateWord(JobState state);
JobState jobStateFromWord(const QString& word);
/// Whether the state can still change.
bool isFinal(JobState state);
/// Whether the job ended without its pages coming out.
inline bool isFailed(JobState state)
{
    return state == JobState::Canceled || state == JobState::Aborted;
}

/// One document delivered.
struct LedgerDocument {
    QDateTime printedAt;
    QString title;       ///< "R012 男子 100m自由形 決勝", the job's or file's name
    QString destination; ///< the printer, or the PDF file
    int jobId = 0;       ///< the scheduler's job id; 0 for a file
    JobState state = JobState::Pending;
};

/// One certificate of a document.
struct LedgerCertificate {
    int raceNo = 0;                  ///< the race it was printed for: the event's last heat
    int heat = 0;                    ///< the heat the finisher swam in
    int lane = 0;                    ///< the lane index there, 0 to 11
    std::optional<int> leg;          ///< the relay leg 0 to 3
    ItemTexts items{};               ///< the nineteen texts as drawn
    std::optional<qint64> reprintOf; ///< the certificate this one prints again
};

/// A certificate as the history lists it, newest first.
struct LedgerEntry {
    qint64 id = 0;
    qint64 documentId = 0;
    LedgerDocument document;
    LedgerCertificate certificate;
};

/// An unfinished print job of this program run, to be asked after.
struct OpenJob {
    qint64 documentId = 0;
    QString destination;
    int jobId = 0;
    QString title;
    JobState state = JobState::Pending;
};

/// Opened on the meet (created with its schema on first use), or on a file of its own.
/// The database keeps a rollback journal (the folder may be a network share) and another
/// desk's lock is waited for a few seconds. Every failure throws tarvel::Failure.
class Ledger {
public:
    explicit Ledger(const DataLocations& where);
    explicit Ledger(const QString& path);

    /// The file, as a path of this machine.
    const QString& path() const { return db_.path(); }

    /// The document and its certificates, in one transaction. `session` names this
    /// program run (host, process, start), so that it can find its own jobs again.
    /// Returns the document's id.
    qint64 record(const LedgerDocument& document, const QList<LedgerCertificate>& certificates,
                  const QString& session);
    void setJobState(qint64 documentId, JobState state);

    /// The printer jobs of `session` whose state can still change.
    QList<OpenJob> openJobs(const QString& session);
    /// Every certificate, newest first.
    QList<LedgerEntry> entries();
    /// The certificates of one document, in print order.
    QList<LedgerEntry> entriesOfDocument(qint64 documentId);
    /// The certificates printed for race `raceNo` (the event's last heat, or the heat swum
    /// in), optionally one lane index of that heat and one leg, in print order; reprints
    /// left out.
    QList<LedgerEntry> entriesOfRace(int raceNo, std::optional<int> lane, std::optional<int> leg);
    /// Certificates by id, in the order given.
    QList<LedgerEntry> entriesById(const QList<qint64>& ids);

private:
    qint64 schemaVersion();
    void createSchema();
    QList<LedgerEntry> query(sql::Statement& statement);

    sql::Database db_;
};

/// "host/pid/start": a name for this program run.
QString thisSession();

} // namespace tarvel
