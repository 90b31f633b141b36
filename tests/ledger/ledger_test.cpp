#include "ledger/historyexport.h"
#include "ledger/ledger.h"
#include "ledger/ledgerrecorder.h"
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

    // By event, by the heat and lane swum in, by leg; reprints are not found again.
    EXPECT_EQ(ledger.entriesOfRace(12, std::nullopt, std::nullopt).size(), 2);
    EXPECT_EQ(ledger.entriesOfRace(11, 2, std::nullopt).size(), 2);
    EXPECT_EQ(ledger.entriesOfRace(11, 2, 3).size(), 1);
    EXPECT_TRUE(ledger.entriesOfRace(11, std::nullopt, std::nullopt).isEmpty());
    LedgerCertificate again = all[2].certificate;
    again.reprintOf = all[2].id;
    ledger.record(document(u"再印刷"_qs, 8), {again}, u"desk-1"_qs);
    EXPECT_EQ(ledger.entriesOfRace(12, std::nullopt, std::nullopt).size(), 2);
    EXPECT_EQ(ledger.entries().first().certificate.reprintOf, all[2].id);
    EXPECT_EQ(ledger.entriesOfDocument(relay).size(), 2);
}

TEST_F(LedgerTest, OpenJobsAreThisSessionsPrinterJobsNotYetDone)
{
    Ledger ledger(path());
    const qint64 mine = ledger.record(document(u"R001"_qs, 5), {}, u"desk-1"_qs);
    ledger.record(document(u"R002"_qs, 6), {}, u"desk-2"_qs);
    ledger.record(document(u"R003"_qs, 0), {}, u"desk-1"_qs); // a file: nothing to ask
    ASSERT_EQ(ledger.openJobs(u"desk-1"_qs).size(), 1);
    EXPECT_EQ(ledger.openJobs(u"desk-1"_qs)[0].jobId, 5);
    ledger.setJobState(mine, JobState::Stopped);
    EXPECT_EQ(ledger.openJobs(u"desk-1"_qs)[0].state, JobState::Stopped);
    ledger.setJobState(mine, JobState::Completed);
    EXPECT_TRUE(ledger.openJobs(u"desk-1"_qs).isEmpty());
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

TEST_F(LedgerTest, ALedgerThatCannotBeWrittenStopsNothingAndIsToldOnce)
{
    LedgerRecorder recorder([this] { return std::make_unique<Ledger>(path() + u"/no/such"_qs); });
    const ItemTexts items{};
    for (int event = 1; event <= 3; ++event) {
        recorder.certificateAccepted({event, 0, std::nullopt, items, event, {}});
        std::shared_future<void> done =
            recorder.documentDelivered({event, u"R%1"_qs.arg(event), {true, u"desk"_qs, event, 1}});
        ASSERT_TRUE(done.valid());
        done.wait(); // never throws: the run goes on
    }
    ASSERT_TRUE(recorder.firstFailure().has_value());
    EXPECT_TRUE(recorder.firstFailure()->path().contains(u"/no/such"_qs));
    EXPECT_TRUE(recorder.recordedDocuments().isEmpty());
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
    EXPECT_EQ(lines[0].count(u','), 15);
    EXPECT_TRUE(lines[1].contains(u",3,2,"_qs)) << qPrintable(lines[1]); // lane and leg from 1
    EXPECT_TRUE(lines[1].contains(u",'=1+1,"_qs)) << qPrintable(lines[1]);
}

} // namespace
} // namespace tarvel::testing
