#include "ledger/historyexport.h"
#include "ledger/ledger.h"
#include "ledger/reprint.h"
#include "platform/failure.h"

#include "tempmeet.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

LedgerCertificate certificate(int race, int heat, int lane, std::optional<int> leg,
                              const QString& name)
{
    LedgerCertificate c;
    c.raceNo = race;
    c.heat = heat;
    c.lane = lane;
    c.leg = leg;
    c.items[0] = u"100mリレー"_qs;
    c.items[2] = u"  1位"_qs;
    c.items[4] = name;
    c.items[6] = u"みなとSC"_qs;
    c.heatInEvent = 2;
    return c;
}

LedgerDocument document(const QString& title, int jobId)
{
    return {QDateTime(QDate(2026, 12, 8), QTime(10, 42, 3)), title, u"desk"_qs, jobId,
            jobId > 0 ? JobState::Pending : JobState::Written};
}

class LedgerTest : public ::testing::Test {
protected:
    QString path() const { return dir_.path() + u"/tarvel-ledger.db"_qs; }
    QTemporaryDir dir_;
};

TEST_F(LedgerTest, ADocumentAndItsCertificatesComeBackAsRecorded)
{
    Ledger ledger(path());
    const qint64 relay = ledger.record(
        document(u"R012 男子 100mリレー 決勝"_qs, 7),
        {certificate(12, 11, 2, 0, u"一泳"_qs), certificate(12, 11, 2, 3, u"四泳"_qs)},
        u"desk-1"_qs);
    const qint64 file = ledger.record(
        document(u"R013"_qs, 0), {certificate(13, 13, 0, std::nullopt, u"個人"_qs)}, u"desk-1"_qs);

    const QList<LedgerEntry> all = Ledger(path()).entries(); // read by another connection
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0].documentId, file); // newest first
    EXPECT_FALSE(all[0].certificate.leg.has_value());
    EXPECT_EQ(all[0].document.state, JobState::Written);
    EXPECT_EQ(all[2].document.title, u"R012 男子 100mリレー 決勝"_qs);
    EXPECT_EQ(all[2].document.jobId, 7);
    EXPECT_EQ(all[2].certificate.items[4], u"一泳"_qs);
    EXPECT_EQ(all[2].certificate.items[18], QString());
    EXPECT_EQ(all[2].certificate.leg, 0);
    EXPECT_EQ(all[2].certificate.heatInEvent, 2);
    EXPECT_EQ(all[2].document.kind, DocumentKind::Certificates);

    // By event, by the heat and lane swum in, by leg; reprints are not found again.
    EXPECT_EQ(ledger.entriesOfRace(12, std::nullopt, std::nullopt).size(), 2);
    EXPECT_EQ(ledger.entriesOfRace(11, 2, std::nullopt).size(), 2);
    EXPECT_EQ(ledger.entriesOfRace(11, 2, 3).size(), 1);
    EXPECT_TRUE(ledger.entriesOfRace(11, std::nullopt, std::nullopt).isEmpty());
    LedgerCertificate again = all[2].certificate;
    again.reprintOf = all[2].id;
    const qint64 reprint = ledger.record(document(u"再印刷"_qs, 8), {again}, u"desk-1"_qs);
    EXPECT_EQ(ledger.entriesOfRace(12, std::nullopt, std::nullopt).size(), 2);
    EXPECT_EQ(ledger.entries().first().certificate.reprintOf, all[2].id);
    EXPECT_EQ(ledger.entriesOfDocument(relay).size(), 2);
    // The events of the documents from one on, the relay's once.
    using Carried = QHash<qint64, QList<int>>;
    EXPECT_EQ(ledger.racesOfDocuments(relay),
              (Carried{{relay, {12}}, {file, {13}}, {reprint, {12}}}));
    EXPECT_EQ(ledger.racesOfDocuments(reprint + 1), Carried{});
}

TEST_F(LedgerTest, PendingJobsAreEveryDesksJobsOnThisSchedulerNotYetDone)
{
    Ledger ledger(path());
    const auto job = [&](int jobId, const QString& scheduler, const QString& session) {
        LedgerDocument d = document(u"R%1"_qs.arg(jobId), jobId);
        d.scheduler = scheduler;
        return ledger.record(d, {}, session);
    };
    const qint64 mine = job(5, u"desk-a:/run/cups.sock"_qs, u"desk-a/10/t"_qs);
    job(6, u"desk-a:/run/cups.sock"_qs, u"desk-a/99/t"_qs); // another run of the same desk
    job(7, u"print-server:631"_qs, u"desk-a/10/t"_qs);      // another scheduler
    job(8, QString(), u"desk-a/11/t"_qs);                   // an earlier version, this machine
    job(9, QString(), u"desk-ab/12/t"_qs);                  // an earlier version, elsewhere
    job(0, QString(), u"desk-a/10/t"_qs);                   // a file: nothing to ask
    const auto pendingIds = [&] {
        QList<int> ids;
        for (const OpenJob& open : ledger.pendingJobs(u"desk-a:/run/cups.sock"_qs, u"desk-a"_qs))
            ids << open.jobId;
        return ids;
    };
    EXPECT_EQ(pendingIds(), (QList<int>{5, 6, 8}));
    ledger.setJobState(mine, JobState::Held);
    EXPECT_EQ(ledger.pendingJobs(u"desk-a:/run/cups.sock"_qs, u"desk-a"_qs)[0].state,
              JobState::Held);
    ledger.setJobState(mine, JobState::Aborted);
    EXPECT_EQ(pendingIds(), (QList<int>{6, 8}));
    EXPECT_EQ(ledger.jobStateOf(mine), JobState::Aborted);
}

TEST_F(LedgerTest, OnlyTheLatestCopyOfEachCertificateIsReprintedAndEarlierOnesAreMarked)
{
    Ledger ledger(path());
    // Race 12 printed, its result corrected and printed again: lane 0 changed, lane 1 not
    // printed the second time (its rank fell out of the limit), so its first copy is void.
    ledger.record(document(u"R012"_qs, 0),
                  {certificate(12, 12, 0, std::nullopt, u"旧"_qs),
                   certificate(12, 12, 1, std::nullopt, u"一度だけ"_qs)},
                  u"s"_qs);
    ledger.record(document(u"R012"_qs, 0), {certificate(12, 12, 0, std::nullopt, u"新"_qs)},
                  u"s"_qs);
    QList<LedgerEntry> all = ledger.entries();
    ASSERT_EQ(all.size(), 3);
    const LedgerEntry latest = all[0];
    const LedgerEntry earlier = all[2];
    LedgerCertificate again = earlier.certificate; // a reprint of the earlier copy
    again.reprintOf = earlier.id;
    ledger.record(document(u"再印刷"_qs, 0), {again}, u"s"_qs);
    all = ledger.entries();

    QMap<QString, bool> superseded;
    for (const LedgerEntry& entry : all)
        superseded[entry.certificate.items[4] + (entry.certificate.reprintOf ? u"+"_qs : u""_qs)] =
            entry.superseded;
    EXPECT_EQ(superseded,
              (QMap<QString, bool>{
                  {u"旧"_qs, true}, {u"旧+"_qs, true}, {u"新"_qs, false}, {u"一度だけ"_qs, true}}));

    QStringList reprinted;
    for (const LedgerEntry& entry : ledger.entriesOfRace(12, std::nullopt, std::nullopt))
        reprinted << entry.certificate.items[4];
    EXPECT_EQ(reprinted, (QStringList{u"新"_qs}));
    ASSERT_EQ(ledger.entriesOfRace(12, 0, std::nullopt).size(), 1);
    EXPECT_EQ(ledger.entriesOfRace(12, 0, std::nullopt)[0].id, latest.id);
    EXPECT_TRUE(ledger.entriesOfRace(12, 1, std::nullopt).isEmpty());

    // Chosen in the history: the earlier copy, its reprint and the latest stand for the
    // latest, once; the void copy is not printed again.
    ASSERT_EQ(all[2].certificate.items[4], u"一度だけ"_qs); // newest first: 旧+, 新, 一度だけ, 旧
    const QList<LedgerEntry> copies = latestCopies({all[0], earlier, latest, all[2]}, all);
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(copies[0].id, latest.id);

    // A reprint made after the second delivery, and another event, stay current.
    LedgerCertificate current = latest.certificate;
    current.reprintOf = latest.id;
    ledger.record(document(u"再印刷"_qs, 0), {current}, u"s"_qs);
    ledger.record(document(u"R013"_qs, 0), {certificate(13, 13, 1, std::nullopt, u"別"_qs)},
                  u"s"_qs);
    all = ledger.entries();
    ASSERT_EQ(all.size(), 6);
    EXPECT_FALSE(all[0].superseded);
    EXPECT_FALSE(all[1].superseded);
    EXPECT_EQ(all[1].certificate.reprintOf, latest.id);

    // Several events in one read: each as entriesOfRace gives it, race by race.
    const auto ids = [](const QList<LedgerEntry>& entries) {
        QList<qint64> found;
        for (const LedgerEntry& entry : entries)
            found << entry.id;
        return found;
    };
    const QList<LedgerEntry> oneByOne = ledger.entriesOfRace(12, std::nullopt, std::nullopt)
                                        + ledger.entriesOfRace(13, std::nullopt, std::nullopt);
    ASSERT_EQ(oneByOne.size(), 2);
    EXPECT_EQ(ids(ledger.entriesOfRaces({13, 12, 13, 99})), ids(oneByOne));
}

TEST_F(LedgerTest, ALedgerOfTheFirstVersionGetsTheNewColumnsAndStaysUsableByIt)
{
    {
        // The first version's schema and rows, as it wrote them.
        sql::Database first(path(), sql::Database::Mode::ReadWrite, 0);
        first.execute("CREATE TABLE documents (id INTEGER PRIMARY KEY, printed_at TEXT NOT NULL,"
                      " title TEXT NOT NULL, destination TEXT NOT NULL, job_id INTEGER NOT NULL,"
                      " job_state TEXT NOT NULL, session TEXT NOT NULL)");
        first.execute("CREATE TABLE certificates (id INTEGER PRIMARY KEY, document_id INTEGER NOT "
                      "NULL REFERENCES documents(id), race INTEGER NOT NULL, heat INTEGER NOT "
                      "NULL, lane INTEGER NOT NULL, leg INTEGER, items TEXT NOT NULL, reprint_of "
                      "INTEGER REFERENCES certificates(id))");
        first.execute("INSERT INTO documents VALUES (1, '2026-12-08T10:00:00', 'R003 女子 "
                      "50m自由形 決勝', 'desk', 4, 'pending', 'here/1/t')");
        first.execute("INSERT INTO certificates VALUES (1, 1, 3, 2, 5, NULL, "
                      "'[\"50m自由形\",\"\",\"1位\"]', NULL)");
        first.execute("INSERT INTO documents VALUES (2, '2026-12-08T10:05:00', '再印刷 R003', "
                      "'desk', 5, 'pending', 'here/1/t')");
        first.execute("INSERT INTO certificates VALUES (2, 2, 3, 2, 5, NULL, '[]', 1)");
        first.execute("PRAGMA user_version=1");
    }
    const QList<LedgerEntry> entries = Ledger(path()).entries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].document.kind, DocumentKind::Reprint);
    EXPECT_EQ(entries[1].document.kind, DocumentKind::Certificates);
    EXPECT_EQ(entries[1].certificate.heatInEvent, 0); // not known
    EXPECT_EQ(eventTitleOf(entries[1]), u"R003 女子 50m自由形 決勝"_qs);
    EXPECT_EQ(entries[1].certificate.items[2], u"1位"_qs);
    EXPECT_EQ(Ledger(path()).pendingJobs(u"s"_qs, u"here"_qs).size(), 2);

    // The first version's own statements still work on it, and it still opens it.
    sql::Database first(path(), sql::Database::Mode::ReadWrite, 0);
    sql::Statement version = first.prepare("PRAGMA user_version");
    ASSERT_TRUE(version.step());
    EXPECT_EQ(version.integer(0), 1);
    first.execute("INSERT INTO documents (printed_at, title, destination, job_id, job_state, "
                  "session) VALUES ('2026-12-08T11:00:00', 'R004', 'desk', 0, 'written', 'x')");
    sql::Statement open = first.prepare(
        "SELECT id, destination, job_id, title, job_state FROM documents WHERE session = ? AND "
        "job_id > 0 AND job_state NOT IN ('completed', 'canceled', 'aborted', 'written')");
    open.bind(1, u"here/1/t"_qs);
    int rows = 0;
    while (open.step())
        ++rows;
    EXPECT_EQ(rows, 2);
}

TEST_F(LedgerTest, AnAwardListKeepsItsEventsAlsoInALedgerMadeBeforeItCould)
{
    // A ledger of the version before lists kept their events: the column is not there yet.
    Ledger(path()).record(document(u"R003"_qs, 0), {certificate(3, 3, 1, std::nullopt, u"a"_qs)},
                          u"here/1/t"_qs);
    sql::Database(path(), sql::Database::Mode::ReadWrite, 0)
        .execute("ALTER TABLE documents DROP COLUMN races");

    Ledger ledger(path());
    LedgerDocument list = document(u"表彰者一覧"_qs, 9);
    list.kind = DocumentKind::CeremonyList;
    list.state = JobState::Pending;
    list.races = {3, 12, 1024};
    ledger.record(list, {}, u"here/1/t"_qs);
    const QList<LedgerDocumentEntry> documents = ledger.documents();
    ASSERT_EQ(documents.size(), 2);
    EXPECT_EQ(documents[0].document.races, (QList<int>{3, 12, 1024}));
    EXPECT_EQ(documents[1].document.races, QList<int>());
    const QList<OpenJob> open = ledger.pendingJobs(u"s"_qs, u"here"_qs);
    const auto found =
        std::find_if(open.begin(), open.end(), [](const OpenJob& job) { return job.jobId == 9; });
    ASSERT_NE(found, open.end());
    EXPECT_EQ(found->kind, DocumentKind::CeremonyList);
    EXPECT_EQ(found->races, (QList<int>{3, 12, 1024}));
}

TEST_F(LedgerTest, ASymbolicLinkInPlaceOfTheLedgerIsRefusedAndItsTargetNotCreated)
{
    const QString target = dir_.path() + u"/elsewhere.db"_qs;
    ASSERT_TRUE(QFile::link(target, path())); // dangling
    try {
        Ledger ledger(path());
        FAIL() << "opened through a link";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.path(), path());
        EXPECT_TRUE(failure.message().contains(u"symbolic link"_qs))
            << qPrintable(failure.message());
    }
    EXPECT_FALSE(QFile::exists(target));
    {
        Ledger real(target); // a link to a ledger that is there is refused as well
    }
    EXPECT_THROW(Ledger{path()}, Failure);
}

TEST_F(LedgerTest, ALedgerOfANewerProgramIsRefusedNotChanged)
{
    {
        Ledger created(path());
    }
    {
        sql::Database later(path(), sql::Database::Mode::ReadWrite, 0);
        later.execute("PRAGMA user_version=2");
    }
    const QByteArray before = readFileBytes(path());
    EXPECT_THROW(Ledger{path()}, Failure);
    EXPECT_EQ(readFileBytes(path()), before);
}

TEST_F(LedgerTest, TwoProcessesWritingAtOnceLoseNothing)
{
    // The other desk: a second process recording as fast as it can meanwhile.
    QProcess other;
    other.start(QString::fromUtf8(LEDGER_WRITER), {path(), u"200"_qs});
    ASSERT_TRUE(other.waitForStarted());
    Ledger ledger(path());
    for (int i = 0; i < 200; ++i)
        ledger.record(document(u"R%1"_qs.arg(i), 0),
                      {certificate(i + 1, i + 1, 0, {}, u"こちら"_qs)}, u"here"_qs);
    ASSERT_TRUE(other.waitForFinished(60000));
    ASSERT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
    EXPECT_EQ(ledger.entries().size(), 400);
}

TEST(HistoryExportTest, CsvIsUtf8WithAByteOrderMarkAndFormulasAreMadePlainText)
{
    const struct {
        const char16_t* cell;
        const char16_t* written;
    } cases[] = {
        {u"青空　一郎", u"青空　一郎"},
        {u"=HYPERLINK(\"x\")", u"\"'=HYPERLINK(\"\"x\"\")\""},
        {u"+81", u"'+81"},
        {u"-1", u"'-1"},
        {u"@SUM(A1)", u"'@SUM(A1)"},
        {u"a,b", u"\"a,b\""},
        {u"二行\n目", u"\"二行\n目\""},
        {u"  59.99", u"  59.99"},
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(csvCell(QString::fromUtf16(c.cell)), QString::fromUtf16(c.written))
            << qPrintable(QString::fromUtf16(c.cell));

    LedgerEntry entry;
    entry.certificate = certificate(12, 11, 2, 1, u"=1+1"_qs);
    entry.document = document(u"R012"_qs, 7);
    const QByteArray csv = historyCsv({entry});
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(csv.mid(3)).split(u"\r\n"_qs);
    ASSERT_EQ(lines.size(), 3); // header, one row, the empty rest after the last CR LF
    EXPECT_EQ(lines[0].count(u','), 18);
    // Race swum in, heat within the event, lane and leg from 1.
    EXPECT_TRUE(lines[1].contains(u",11,2,3,2,"_qs)) << qPrintable(lines[1]);
    EXPECT_TRUE(lines[1].contains(u",'=1+1,"_qs)) << qPrintable(lines[1]);
}

} // namespace
} // namespace tarvel::testing
