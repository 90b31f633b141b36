// tarvel-batch --make-e-certificates over the small meet the batch tests print.
#include "batchfixture.h"

#include <QDirIterator>
#include <QRegularExpression>

namespace tarvel::testing {
namespace {

class ECertBatchTest : public BatchTest {
protected:
    QString root() const { return meet.dataPath(u"e-certificates"_qs); }
    QStringList filesUnder(const QString& folder) const
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(QDir(folder).relativeFilePath(it.next()));
        files.sort();
        return files;
    }
    Outcome make(const QStringList& more = {})
    {
        return runBatch(QStringList{u"-C"_qs, meet.builder().workDir(), u"--make-e-certificates"_qs}
                        + more);
    }
};

TEST_F(ECertBatchTest, EveryCertificatePrintedBecomesAFileAndEachAffiliationAZip)
{
    const Outcome nothing = make();
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.err.contains(u"no certificate has been recorded"_qs))
        << qPrintable(nothing.err);

    ASSERT_EQ(runBatch(arguments()).exitCode, 0);
    const QByteArray raceDat = readFileBytes(meet.dataPath(u"Race.dat"_qs));
    const Outcome made = make({u"--zip"_qs});
    ASSERT_EQ(made.exitCode, 0) << qPrintable(made.err);
    // One file per certificate the run logged (the final's three within the rank limit,
    // the relay's four legs), all of 青空ＳＣ, and its ZIP.
    const qsizetype logged = readFileBytes(logFile).count('\n');
    ASSERT_EQ(logged, 7);
    const QStringList files = filesUnder(root());
    ASSERT_EQ(files.size(), logged + 1) << qPrintable(files.join(u'\n'));
    EXPECT_TRUE(files.contains(u"青空ＳＣ.zip"_qs));
    EXPECT_EQ(files.filter(QRegularExpression(u"^青空ＳＣ/R002_.*\\.pdf$"_qs)).size(), 3);
    EXPECT_EQ(files.filter(QRegularExpression(u"^青空ＳＣ/R003_.*\\.pdf$"_qs)).size(), 4);
    EXPECT_TRUE(made.err.contains(u"7 e-certificate(s) written in 1 folder(s)"_qs))
        << qPrintable(made.err);
    const QString first = root() + u'/' + files.filter(u"R002_"_qs).first();
    EXPECT_TRUE(pdfText(first).contains(u"終点テスト大会"_qs));
    EXPECT_EQ(readFileBytes(meet.dataPath(u"Race.dat"_qs)), raceDat) << "nothing is marked";

    // One race, one affiliation: the same files again, no other.
    const Outcome relay = make({u"--race"_qs, u"3"_qs, u"--affiliation"_qs, u" 青空ＳＣ "_qs});
    EXPECT_EQ(relay.exitCode, 0) << qPrintable(relay.err);
    EXPECT_TRUE(relay.err.contains(u"4 e-certificate(s) written"_qs)) << qPrintable(relay.err);
    EXPECT_EQ(filesUnder(root()), files);
    EXPECT_EQ(make({u"--affiliation"_qs, u"他のクラブ"_qs}).exitCode, 1);
}

TEST_F(ECertBatchTest, OptionsThatDoNotGoTogetherAreBadUsage)
{
    for (const QStringList& more :
         {QStringList{u"--zip"_qs}, QStringList{u"--race"_qs, u"3"_qs},
          QStringList{u"--make-e-certificates"_qs, u"--race"_qs, u"0"_qs},
          QStringList{u"--make-e-certificates"_qs, u"--race"_qs, u"1025"_qs},
          QStringList{u"--make-e-certificates"_qs, u"--history"_qs}}) {
        const Outcome outcome = runBatch(QStringList{u"-C"_qs, meet.builder().workDir()} + more);
        EXPECT_EQ(outcome.exitCode, 2) << qPrintable(more.join(u' '));
    }
    EXPECT_FALSE(QFileInfo::exists(root()));
}

} // namespace
} // namespace tarvel::testing
