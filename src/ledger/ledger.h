#pragma once
/// The certificate ledger: every certificate delivered, the document it went in, and what
/// became of that document's print job. An SQLite database in the meet's data folder, so
/// that every desk sharing the meet sees it.

#include "layout/certificateitems.h"
#include "ledger/sqlite.h"
#include "meetdb/datalocations.h"
#include "platform/printdevice.h"

#include <QDateTime>
#include <QHash>
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

/// What a document carried. The ledger stores the word (documentKindWord()).
enum class DocumentKind {
    Certificates,  ///< an event's certificates from a print run
    Reprint,       ///< certificates printed again
    TestPage,      ///< the test page
    Calibration,   ///< the calibration page
    CeremonyList,  ///< a list for the award ceremony
    ECertificates, ///< certificates written as PDF files for handing over
};
QString documentKindWord(DocumentKind kind);
/// Certificates for an unknown word.
DocumentKind documentKindFromWord(const QString& word);

/// One document delivered.
struct LedgerDocument {
    QDateTime printedAt;
    QString title;       ///< "R012 男子 100m自由形 決勝", the job's or file's name
    QString destination; ///< the printer, or the PDF file
    int jobId = 0;       ///< the scheduler's job id; 0 for a file
    JobState state = JobState::Pending;
    DocumentKind kind = DocumentKind::Certificates;
    /// Who asked for it: "user@host" of the desk, or the venue page's desk name.
    QString requestedBy{};
    /// The scheduler the job went to (its host and port, or this machine's socket), so that
    /// any desk knows whom to ask after the job; empty for a file.
    QString scheduler{};
    /// The events an award list covers, by their last heats, so that it can be sent again;
    /// empty for other documents (and lists of earlier versions).
    QList<int> races{};
};

/// The document `delivery` made, of `kind` and titled `title`, printed now: a job pending at
/// the scheduler, or a file written.
LedgerDocument deliveredDocument(const Delivery& delivery, const QString& title, DocumentKind kind);

/// One certificate of a document.
struct LedgerCertificate {
    int raceNo = 0;                  ///< the race it was printed for: the event's last heat
    int heat = 0;                    ///< the race the finisher swam in
    int lane = 0;                    ///< the lane index there, 0 to 11
    std::optional<int> leg;          ///< the relay leg 0 to 3
    ItemTexts items{};               ///< the nineteen texts as drawn
    std::optional<qint64> reprintOf; ///< the certificate this one prints again
    /// The heat within its event (1 for the event's first race); 0 when not known (ledgers
    /// of earlier versions).
    int heatInEvent = 0;
    /// The event's title as the window shows it ("R012 女子 100m自由形 決勝"); empty when not
    /// known (then the document's title tells it).
    QString eventTitle{};
};

/// A certificate as the history lists it, newest first.
struct LedgerEntry {
    qint64 id = 0;
    qint64 documentId = 0;
    LedgerDocument document;
    LedgerCertificate certificate;
    /// A later print of the same race, lane and leg exists: this copy is not the latest (for
    /// a reprint: the certificate it repeated is not).
    bool superseded = false;
};

/// A document as the history lists it: every kind, also those without certificates (lists,
/// test pages, failed lists).
struct LedgerDocumentEntry {
    qint64 id = 0;
    LedgerDocument document;
    int certificates = 0; ///< how many it carried
};

/// The event title of an entry: the certificate's own, or its document's for ledgers of
/// earlier versions.
QString eventTitleOf(const LedgerEntry& entry);

/// An unfinished print job, to be asked after.
struct OpenJob {
    qint64 documentId = 0;
    QString destination;
    int jobId = 0;
    QString title;
    JobState state = JobState::Pending;
    DocumentKind kind = DocumentKind::Certificates;
    QList<int> races{}; ///< an award list's events (LedgerDocument::races)
};

/// Opened on the meet (created with its schema on first use), or on a file of its own.
/// The database keeps a rollback journal (the folder may be a network share) and another
/// desk's lock is waited for a few seconds. The file is never reached through a symbolic
/// link (refused). A ledger of the first version is given the later columns on opening,
/// all with defaults, so that a desk still running the first version reads and writes it as
/// before. Every failure throws tarvel::Failure. One object is used by one thread at a time.
class Ledger {
public:
    /// Another desk writing at this moment is waited for this long, by default.
    static constexpr int kBusyTimeoutMs = 5000;

    explicit Ledger(const DataLocations& where);
    explicit Ledger(const QString& path, int busyTimeoutMs = kBusyTimeoutMs);

    /// The file, as a path of this machine.
    const QString& path() const { return db_.path(); }

    /// The document and its certificates, in one transaction. `session` names this
    /// program run (host, process, start), so that it can find its own jobs again.
    /// Returns the document's id.
    qint64 record(const LedgerDocument& document, const QList<LedgerCertificate>& certificates,
                  const QString& session);
    /// Documents without certificates (e-certificate files), all in one transaction.
    /// Returns their ids in order.
    QList<qint64> recordDocuments(const QList<LedgerDocument>& documents, const QString& session);
    /// The document and its certificates, then `alongside` (documents without
    /// certificates), in one transaction. Returns their ids in that order.
    QList<qint64> recordTogether(const LedgerDocument& document,
                                 const QList<LedgerCertificate>& certificates,
                                 const QList<LedgerDocument>& alongside, const QString& session);
    void setJobState(qint64 documentId, JobState state);
    /// The job state recorded for a document; nothing for an unknown document.
    std::optional<JobState> jobStateOf(qint64 documentId);

    /// The printer jobs sent to `scheduler` by any desk whose state can still change, oldest
    /// first. Jobs recorded without a scheduler name (earlier versions) count as this
    /// machine's when their session began on `host`.
    QList<OpenJob> pendingJobs(const QString& scheduler, const QString& host);
    /// Every certificate, newest first.
    QList<LedgerEntry> entries();
    /// Every document, newest first.
    QList<LedgerDocumentEntry> documents();
    /// The certificates of one document, in print order.
    QList<LedgerEntry> entriesOfDocument(qint64 documentId);
    /// The latest copy of each certificate printed for race `raceNo` (the event's last heat,
    /// or with `lane` the race swum in), optionally one lane index of that race and one leg,
    /// in print order; reprints and superseded copies left out.
    QList<LedgerEntry> entriesOfRace(int raceNo, std::optional<int> lane, std::optional<int> leg);
    /// entriesOfRace(race) of each of the events `races`, race by race, in one read.
    QList<LedgerEntry> entriesOfRaces(const QList<int>& races);
    /// The events (by last heat) that each document from `firstId` on carried certificates
    /// of, in print order; documents without certificates left out.
    QHash<qint64, QList<int>> racesOfDocuments(qint64 firstId);

private:
    qint64 insertDocument(const LedgerDocument& document, const QString& session);
    qint64 schemaVersion();
    void createSchema();
    void addLaterColumns();
    void addLaterIndexes();
    bool hasColumn(const char* table, const QString& column);
    QList<LedgerEntry> query(sql::Statement& statement);

    sql::Database db_;
};

/// "host/pid/start": a name for this program run.
QString thisSession();
/// "user@host": who asks, at this desk.
QString thisDesk();

} // namespace tarvel
