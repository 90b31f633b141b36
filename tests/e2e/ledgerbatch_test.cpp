// The certificate ledger through tarvel-batch: what a run records, the history, reprints.

#include "batchfixture.h"
#include "ledger/ledger.h"

#include <QJsonArray>
#include <QSet>

namespace tarvel::testing {
namespace {

using LedgerBatchTest = BatchTest;

/// (race, lane, leg, items) of a certificate, as the log and the ledger both tell it: lanes
/// and legs from 1, -1 for no leg.
using Certificate = std::tuple<int, int, int, QStringList>;

QList<Certificate> ledgerCertificates(const TempMeet& meet)
{
    QList<Certificate> found;
    for (const LedgerEntry& entry : Ledger(meet.dataPath(u"tarvel-ledger.db"_qs)).entries()) {
        const LedgerCertificate& c = entry.certificate;
        found.prepend({c.heat, c.lane + 1, c.leg ? *c.leg + 1 : -1,
                       QStringList(c.items.begin(), c.items.end())});
    }
    return found;
}

TEST_F(LedgerBatchTest, ARunRecordsExactlyTheCertificatesDeliveredAndPreviewNothing)
{
    ASSERT_EQ(runBatch(arguments({u"--preview-only"_qs})).exitCode, 0);
    EXPECT_FALSE(QFile::exists(meet.dataPath(u"tarvel-ledger.db"_qs)));

    const Outcome outcome = runBatch(arguments());
    ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    QList<Certificate> logged;
    for (const QJsonObject& line : logLines()) {
        QStringList items;
        for (const QJsonValue& item : line[u"items"_qs].toArray())
            items << item.toString();
        logged.append({line[u"race"_qs].toInt(), line[u"lane"_qs].toInt(),
                       line[u"leg"_qs].isNull() ? -1 : line[u"leg"_qs].toInt(), items});
    }
    EXPECT_EQ(ledgerCertificates(meet), logged);
    // Each certificate with the document it went in: one PDF file per event.
    const QList<LedgerEntry> entries = Ledger(meet.dataPath(u"tarvel-ledger.db"_qs)).entries();
    QSet<QString> files;
    for (const LedgerEntry& entry : entries) {
        files.insert(entry.document.destination);
        EXPECT_EQ(entry.document.state, JobState::Written);
    }
    EXPECT_EQ(files.size(), 2);
}

TEST_F(LedgerBatchTest, ReprintsOfAnEventALaneAndALegGiveThosePagesAndTouchNoStatus)
{
    ASSERT_EQ(runBatch(arguments()).exitCode, 0);
    const QByteArray statuses = raceDat();
    const struct {
        const char* reprint;
        int pages;
        const char16_t* name; // on the last page (the given name: words come apart)
    } cases[] = {
        {"3", 4, u"四郎"},     // the relay: four legs
        {"3:1:2", 1, u"二郎"}, // its second leg only
        {"1:2", 1, u"二郎"},   // the swimmer of heat 1, lane 2
        {"2", 3, u"一郎"},     // the two-heat event, by its last heat
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reprint);
        QDir(pdfDir).removeRecursively();
        const Outcome outcome = runBatch({u"-C"_qs, meet.builder().workDir(), u"--pdf"_qs, pdfDir,
                                          u"--reprint"_qs, QString::fromLatin1(c.reprint)});
        ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
        const QStringList files = pdfFiles();
        ASSERT_EQ(files.size(), 1);
        EXPECT_EQ(pdfPageCount(pdfDir + u'/' + files[0]), c.pages);
        const QStringList pages = pdfText(pdfDir + u'/' + files[0]).split(u'\f');
        EXPECT_TRUE(pages[c.pages - 1].contains(QString::fromUtf16(c.name)))
            << qPrintable(pages[c.pages - 1]);
    }
    EXPECT_EQ(raceDat(), statuses);
    // Recorded as reprints, each naming the certificate it repeats.
    int reprints = 0;
    for (const LedgerEntry& entry : Ledger(meet.dataPath(u"tarvel-ledger.db"_qs)).entries())
        reprints += entry.certificate.reprintOf.has_value();
    EXPECT_EQ(reprints, 4 + 1 + 1 + 3);

    const Outcome nothing =
        runBatch({u"-C"_qs, meet.builder().workDir(), u"--reprint"_qs, u"9"_qs});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.err.contains(u"race 9"_qs)) << qPrintable(nothing.err);
}

TEST_F(LedgerBatchTest, TheHistoryIsListedNewestFirstAndWrittenAsCsv)
{
    const Outcome empty = runBatch({u"-C"_qs, meet.builder().workDir(), u"--history"_qs});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_TRUE(empty.out.isEmpty());
    ASSERT_EQ(runBatch(arguments()).exitCode, 0);

    const Outcome history = runBatch({u"-C"_qs, meet.builder().workDir(), u"--history"_qs});
    ASSERT_EQ(history.exitCode, 0) << qPrintable(history.err);
    const QStringList lines = history.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines.first().contains(u"青空　四郎"_qs)) << qPrintable(lines.first());
    EXPECT_TRUE(lines.last().contains(u"青空　三郎"_qs)) << qPrintable(lines.last());

    const QString csv = output.path() + u"/history.csv"_qs;
    ASSERT_EQ(
        runBatch({u"-C"_qs, meet.builder().workDir(), u"--history"_qs, u"--csv"_qs, csv}).exitCode,
        0);
    const QByteArray bytes = readFileBytes(csv);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(bytes.count("\r\n"), 8);
}

TEST_F(LedgerBatchTest, ALedgerThatCannotBeWrittenWarnsAndThePrintingGoesOn)
{
    ASSERT_TRUE(QDir().mkpath(meet.dataPath(u"tarvel-ledger.db"_qs))); // a folder in its place
    const Outcome outcome = runBatch(arguments());
    EXPECT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(u"certificate ledger could not be written"_qs))
        << qPrintable(outcome.err);
    EXPECT_EQ(pdfFiles().size(), 2);
    EXPECT_EQ(raceDat().left(4), QByteArray("9999"));
}

} // namespace
} // namespace tarvel::testing
