#include "ledger/ledger.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/words.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace tarvel {

namespace {

constexpr int kSchemaVersion = 1;

/// A certificate is superseded when a later original print of its race, lane and leg exists,
/// or when its event was delivered again later (a corrected result prints the whole event
/// anew: a certificate it no longer carries, its rank now out of the limit, is void); a
/// reprint when the certificate it repeats is.
constexpr const char kSuperseded[] =
    "(EXISTS (SELECT 1 FROM certificates o WHERE o.heat = c.heat AND o.lane = c.lane "
    "AND o.leg IS c.leg AND o.reprint_of IS NULL AND o.id > COALESCE(c.reprint_of, c.id)) "
    "OR EXISTS (SELECT 1 FROM certificates o WHERE o.race = c.race AND o.reprint_of IS NULL "
    "AND o.document_id > COALESCE((SELECT b.document_id FROM certificates b "
    "WHERE b.id = c.reprint_of), c.document_id)))";

/// Every column of a ledger entry, of certificates `c` and their documents `d`; whether the
/// certificate is superseded as `superseded` says (a query that leaves superseded ones out
/// knows without asking again).
QByteArray selectEntries(const char* superseded = kSuperseded)
{
    return QByteArray("SELECT c.id, c.document_id, d.printed_at, d.title, d.destination, d.job_id, "
                      "d.job_state, c.race, c.heat, c.lane, c.leg, c.items, c.reprint_of, d.kind, "
                      "d.requested_by, d.scheduler, c.heat_in_event, c.event_title, ")
           + superseded + " FROM certificates c JOIN documents d ON d.id = c.document_id ";
}

/// "12,14": an award list's races as stored.
QString racesText(const QList<int>& races)
{
    QStringList numbers;
    for (const int race : races)
        numbers << QString::number(race);
    return numbers.join(u',');
}

QList<int> racesFromText(const QString& text)
{
    QList<int> races;
    for (const QStringView number : QStringView(text).split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int race = number.toInt(&ok);
        if (ok)
            races << race;
    }
    return races;
}

QString itemsJson(const ItemTexts& items)
{
    QJsonArray array;
    for (const QString& text : items)
        array.append(text);
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

ItemTexts itemsFromJson(const QString& json)
{
    ItemTexts items{};
    const QJsonArray array = QJsonDocument::fromJson(json.toUtf8()).array();
    for (int i = 0; i < kItemCount && i < array.size(); ++i)
        items[i] = array[i].toString();
    return items;
}

} // namespace

Ledger::Ledger(const DataLocations& where)
    : Ledger(hostPath(where.dataFile(QString::fromUtf16(kLedgerFileName))))
{
}

Ledger::Ledger(const QString& path, int busyTimeoutMs)
    : db_(path, sql::Database::Mode::ReadWrite, busyTimeoutMs, sql::Database::Links::Refused)
{
    // A rollback journal, never WAL: the data folder may be a network share, where WAL's
    // shared memory does not work. TRUNCATE with NORMAL syncing keeps a commit to about one
    // flush of the disk.
    db_.execute("PRAGMA journal_mode=TRUNCATE");
    db_.execute("PRAGMA synchronous=NORMAL");
    db_.execute("PRAGMA foreign_keys=ON");
    createSchema();
    addLaterIndexes();
}

qint64 Ledger::schemaVersion()
{
    sql::Statement version = db_.prepare("PRAGMA user_version");
    return version.step() ? version.integer(0) : 0;
}

bool Ledger::hasColumn(const char* table, const QString& column)
{
    sql::Statement columns =
        db_.prepare((QByteArray("PRAGMA table_info(") + table + ")").constData());
    while (columns.step()) {
        if (columns.text(1) == column)
            return true;
    }
    return false;
}

/// Columns added after the first version: each with a default (or NULL), so that the first
/// version's statements, which name their columns, go on working on the same file. The
/// version number stays 1 for that reason: nothing the first version reads changed.
void Ledger::addLaterColumns()
{
    // Read first: a ledger that has them needs no write lock (it may be read-only).
    if (hasColumn("documents", u"races"_qs))
        return;
    sql::Transaction transaction(db_);
    if (hasColumn("documents", u"races"_qs))
        return; // another desk added them meanwhile
    if (!hasColumn("certificates", u"event_title"_qs)) {
        db_.execute("ALTER TABLE documents ADD COLUMN kind TEXT NOT NULL DEFAULT 'certificates'");
        db_.execute("ALTER TABLE documents ADD COLUMN requested_by TEXT NOT NULL DEFAULT ''");
        db_.execute("ALTER TABLE documents ADD COLUMN scheduler TEXT NOT NULL DEFAULT ''");
        db_.execute("ALTER TABLE certificates ADD COLUMN heat_in_event INTEGER");
        db_.execute("ALTER TABLE certificates ADD COLUMN event_title TEXT");
        // The first version told reprints only by their certificates.
        db_.execute("UPDATE documents SET kind = 'reprint' WHERE id IN (SELECT document_id FROM "
                    "certificates WHERE reprint_of IS NOT NULL)");
        db_.execute("CREATE INDEX IF NOT EXISTS certificates_place "
                    "ON certificates(heat, lane, leg, id)");
        db_.execute("CREATE INDEX IF NOT EXISTS documents_pending ON documents(job_state, job_id)");
    }
    db_.execute("ALTER TABLE documents ADD COLUMN races TEXT NOT NULL DEFAULT ''");
    transaction.commit();
}

/// Indexes added later make reading faster, nothing more: a ledger that cannot take one (it is
/// read-only here, another desk holds it too long) is read without it.
void Ledger::addLaterIndexes()
{
    sql::Statement found = db_.prepare(
        "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = 'certificates_race_document'");
    if (found.step())
        return;
    try {
        sql::Transaction transaction(db_);
        // Whether an event was delivered again after a certificate (kSuperseded).
        db_.execute("CREATE INDEX IF NOT EXISTS certificates_race_document "
                    "ON certificates(race, document_id)");
        transaction.commit();
    } catch (const Failure&) {
        // Read without it; the next opening tries again.
    }
}

void Ledger::createSchema()
{
    // Read first: a ledger that is there already needs no write lock (it may be read-only).
    if (schemaVersion() == kSchemaVersion) {
        addLaterColumns();
        return;
    }
    sql::Transaction transaction(db_);
    const qint64 found = schemaVersion();
    if (found == kSchemaVersion) {
        transaction.commit();
        addLaterColumns(); // another desk made it meanwhile
        return;
    }
    if (found > kSchemaVersion)
        throw Failure(
            Words::tr("opening the certificate ledger"), db_.path(),
            Words::tr("it was made by a newer Tarvel (version %1 of the ledger)").arg(found));
    db_.execute("CREATE TABLE documents ("
                " id INTEGER PRIMARY KEY,"
                " printed_at TEXT NOT NULL,"
                " title TEXT NOT NULL,"
                " destination TEXT NOT NULL,"
                " job_id INTEGER NOT NULL,"
                " job_state TEXT NOT NULL,"
                " session TEXT NOT NULL)");
    db_.execute("CREATE TABLE certificates ("
                " id INTEGER PRIMARY KEY,"
                " document_id INTEGER NOT NULL REFERENCES documents(id),"
                " race INTEGER NOT NULL,"
                " heat INTEGER NOT NULL,"
                " lane INTEGER NOT NULL,"
                " leg INTEGER,"
                " items TEXT NOT NULL,"
                " reprint_of INTEGER REFERENCES certificates(id))");
    db_.execute("CREATE INDEX certificates_race ON certificates(race, heat)");
    db_.execute("CREATE INDEX certificates_document ON certificates(document_id)");
    db_.execute("CREATE INDEX documents_session ON documents(session, job_state)");
    db_.execute("PRAGMA user_version=1");
    transaction.commit();
    addLaterColumns();
}

qint64 Ledger::record(const LedgerDocument& document, const QList<LedgerCertificate>& certificates,
                      const QString& session)
{
    return recordTogether(document, certificates, {}, session).front();
}

QList<qint64> Ledger::recordTogether(const LedgerDocument& document,
                                     const QList<LedgerCertificate>& certificates,
                                     const QList<LedgerDocument>& alongside, const QString& session)
{
    sql::Transaction transaction(db_);
    const qint64 documentId = insertDocument(document, session);
    QList<qint64> ids{documentId};
    sql::Statement insert = db_.prepare(
        "INSERT INTO certificates (document_id, race, heat, lane, leg, items, reprint_of, "
        "heat_in_event, event_title) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const LedgerCertificate& certificate : certificates) {
        insert.bind(1, documentId)
            .bind(2, qint64(certificate.raceNo))
            .bind(3, qint64(certificate.heat))
            .bind(4, qint64(certificate.lane))
            .bind(5, certificate.leg ? std::optional<qint64>(*certificate.leg) : std::nullopt)
            .bind(6, itemsJson(certificate.items))
            .bind(7, certificate.reprintOf)
            .bind(8, certificate.heatInEvent > 0 ? std::optional<qint64>(certificate.heatInEvent)
                                                 : std::nullopt)
            .bind(9, certificate.eventTitle)
            .run();
        insert.reset();
    }
    for (const LedgerDocument& other : alongside)
        ids.append(insertDocument(other, session));
    transaction.commit();
    return ids;
}

QList<qint64> Ledger::recordDocuments(const QList<LedgerDocument>& documents,
                                      const QString& session)
{
    if (documents.isEmpty())
        return {};
    return recordTogether(documents.front(), {}, documents.mid(1), session);
}

qint64 Ledger::insertDocument(const LedgerDocument& document, const QString& session)
{
    db_.prepare("INSERT INTO documents (printed_at, title, destination, job_id, job_state, "
                "session, kind, requested_by, scheduler, races) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
        .bind(1, document.printedAt.toString(Qt::ISODate))
        .bind(2, document.title)
        .bind(3, document.destination)
        .bind(4, qint64(document.jobId))
        .bind(5, jobStateWord(document.state))
        .bind(6, session)
        .bind(7, documentKindWord(document.kind))
        .bind(8, document.requestedBy)
        .bind(9, document.scheduler)
        .bind(10, racesText(document.races))
        .run();
    return db_.lastInsertId();
}

void Ledger::setJobState(qint64 documentId, JobState state)
{
    db_.prepare("UPDATE documents SET job_state = ? WHERE id = ?")
        .bind(1, jobStateWord(state))
        .bind(2, documentId)
        .run();
}

std::optional<JobState> Ledger::jobStateOf(qint64 documentId)
{
    sql::Statement select = db_.prepare("SELECT job_state FROM documents WHERE id = ?");
    select.bind(1, documentId);
    if (!select.step())
        return std::nullopt;
    return jobStateFromWord(select.text(0));
}

QList<OpenJob> Ledger::pendingJobs(const QString& scheduler, const QString& host)
{
    sql::Statement select = db_.prepare(
        "SELECT id, destination, job_id, title, job_state, kind, races FROM documents "
        "WHERE job_state NOT IN ('completed', 'canceled', 'aborted', 'written') AND job_id > 0 "
        "AND (scheduler = ?1 OR (scheduler = '' AND substr(session, 1, length(?2) + 1) = ?2 || "
        "'/')) ORDER BY id");
    select.bind(1, scheduler).bind(2, host);
    QList<OpenJob> jobs;
    while (select.step()) {
        jobs.append({select.integer(0), select.text(1), int(select.integer(2)), select.text(3),
                     jobStateFromWord(select.text(4)), documentKindFromWord(select.text(5)),
                     racesFromText(select.text(6))});
    }
    return jobs;
}

QList<LedgerEntry> Ledger::query(sql::Statement& statement)
{
    QList<LedgerEntry> entries;
    // A document's certificates come one after another: its time is read once for them all.
    QString printedAt;
    QDateTime printedAtRead;
    while (statement.step()) {
        LedgerEntry entry;
        entry.id = statement.integer(0);
        entry.documentId = statement.integer(1);
        if (const QString at = statement.text(2); at != printedAt || entries.isEmpty()) {
            printedAt = at;
            printedAtRead = QDateTime::fromString(at, Qt::ISODate);
        }
        entry.document.printedAt = printedAtRead;
        entry.document.title = statement.text(3);
        entry.document.destination = statement.text(4);
        entry.document.jobId = int(statement.integer(5));
        entry.document.state = jobStateFromWord(statement.text(6));
        entry.certificate.raceNo = int(statement.integer(7));
        entry.certificate.heat = int(statement.integer(8));
        entry.certificate.lane = int(statement.integer(9));
        if (!statement.isNull(10))
            entry.certificate.leg = int(statement.integer(10));
        entry.certificate.items = itemsFromJson(statement.text(11));
        if (!statement.isNull(12))
            entry.certificate.reprintOf = statement.integer(12);
        entry.document.kind = documentKindFromWord(statement.text(13));
        entry.document.requestedBy = statement.text(14);
        entry.document.scheduler = statement.text(15);
        entry.certificate.heatInEvent = int(statement.integer(16));
        entry.certificate.eventTitle = statement.text(17);
        entry.superseded = statement.integer(18) != 0;
        entries.append(entry);
    }
    return entries;
}

QList<LedgerEntry> Ledger::entries()
{
    sql::Statement select = db_.prepare((selectEntries() + "ORDER BY c.id DESC").constData());
    return query(select);
}

QList<LedgerDocumentEntry> Ledger::documents()
{
    sql::Statement select = db_.prepare(
        "SELECT d.id, d.printed_at, d.title, d.destination, d.job_id, d.job_state, d.kind, "
        "d.requested_by, d.scheduler, (SELECT COUNT(*) FROM certificates c WHERE "
        "c.document_id = d.id), d.races FROM documents d ORDER BY d.id DESC");
    QList<LedgerDocumentEntry> documents;
    while (select.step()) {
        LedgerDocumentEntry entry;
        entry.id = select.integer(0);
        entry.document = {QDateTime::fromString(select.text(1), Qt::ISODate),
                          select.text(2),
                          select.text(3),
                          int(select.integer(4)),
                          jobStateFromWord(select.text(5)),
                          documentKindFromWord(select.text(6)),
                          select.text(7),
                          select.text(8),
                          racesFromText(select.text(10))};
        entry.certificates = int(select.integer(9));
        documents.append(entry);
    }
    return documents;
}

QList<LedgerEntry> Ledger::entriesOfDocument(qint64 documentId)
{
    sql::Statement select =
        db_.prepare((selectEntries() + "WHERE c.document_id = ? ORDER BY c.id").constData());
    select.bind(1, documentId);
    return query(select);
}

QList<LedgerEntry> Ledger::entriesOfRace(int raceNo, std::optional<int> lane,
                                         std::optional<int> leg)
{
    // A whole event by its last heat; a lane by the heat it was swum in.
    QByteArray where = lane ? "WHERE c.heat = ?1 AND c.lane = ?2 " : "WHERE c.race = ?1 ";
    if (leg)
        where += "AND c.leg = ?3 ";
    // The latest copies only: a result printed again later replaced the earlier ones.
    sql::Statement select =
        db_.prepare((selectEntries("0") + where + "AND c.reprint_of IS NULL AND NOT " + kSuperseded
                     + " ORDER BY c.id")
                        .constData());
    select.bind(1, qint64(raceNo));
    if (lane)
        select.bind(2, qint64(*lane));
    if (leg)
        select.bind(3, qint64(*leg));
    return query(select);
}

QList<LedgerEntry> Ledger::entriesOfRaces(const QList<int>& races)
{
    // Bound parameters stay well below SQLite's limit on their number.
    constexpr qsizetype kChunk = 500;
    QList<int> sorted = races;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QList<LedgerEntry> entries;
    for (qsizetype from = 0; from < sorted.size(); from += kChunk) {
        const QList<int> chunk = sorted.mid(from, kChunk);
        QByteArray places(chunk.size() * 2 - 1, ',');
        for (qsizetype i = 0; i < chunk.size(); ++i)
            places[i * 2] = '?';
        sql::Statement select = db_.prepare((selectEntries("0") + "WHERE c.race IN (" + places
                                             + ") AND c.reprint_of IS NULL AND NOT " + kSuperseded
                                             + " ORDER BY c.race, c.id")
                                                .constData());
        for (qsizetype i = 0; i < chunk.size(); ++i)
            select.bind(int(i + 1), qint64(chunk[i]));
        entries += query(select);
    }
    return entries;
}

QHash<qint64, QList<int>> Ledger::racesOfDocuments(qint64 firstId)
{
    sql::Statement select = db_.prepare("SELECT document_id, race FROM certificates "
                                        "WHERE document_id >= ? ORDER BY document_id, id");
    select.bind(1, firstId);
    QHash<qint64, QList<int>> races;
    while (select.step()) {
        QList<int>& carried = races[select.integer(0)];
        const int race = int(select.integer(1));
        if (!carried.contains(race))
            carried.append(race);
    }
    return races;
}

} // namespace tarvel
