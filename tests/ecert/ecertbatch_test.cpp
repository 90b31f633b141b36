// tarvel-batch --make-e-certificates over the small meet the batch tests print.
#include "batchfixture.h"

#include "ledger/ledger.h"

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
    /// The e-certificate files the ledger records, as paths relative to the folder.
    QStringList recorded() const
    {
        QStringList files;
        for (const LedgerDocumentEntry& d :
             Ledger(meet.dataPath(QString::fromUtf16(kLedgerFileName))).documents()) {
            if (d.document.kind == DocumentKind::ECertificates) {
                EXPECT_EQ(d.certificates, 0);
                EXPECT_EQ(d.document.state, JobState::Written);
                files.append(QDir(root()).relativeFilePath(d.document.destination));
            }
        }
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
    EXPECT_EQ(recorded(), files.filter(u".pdf"_qs));
    const Outcome history = runBatch({u"-C"_qs, meet.builder().workDir(), u"--history"_qs});
    EXPECT_TRUE(history.out.contains(QFileInfo(first).completeBaseName()))
        << qPrintable(history.out);

    // One race, one affiliation: the same files again, no other.
    const Outcome relay = make({u"--race"_qs, u"3"_qs, u"--affiliation"_qs, u" 青空ＳＣ "_qs});
    EXPECT_EQ(relay.exitCode, 0) << qPrintable(relay.err);
    EXPECT_TRUE(relay.err.contains(u"4 e-certificate(s) written"_qs)) << qPrintable(relay.err);
    EXPECT_EQ(filesUnder(root()), files);
    EXPECT_EQ(make({u"--affiliation"_qs, u"他のクラブ"_qs}).exitCode, 1);
}

TEST_F(ECertBatchTest, FilesThatCannotBeWrittenAreToldAndTheRestRecorded)
{
    ASSERT_EQ(runBatch(arguments()).exitCode, 0);
    ASSERT_EQ(make().exitCode, 0);
    const QStringList before = recorded();
    // The affiliation's folder taken by a plain file: no file of it can be written now
    // (as root too); the files made before stay recorded, and no new record is made.
    const QString folder = root() + u"/青空ＳＣ"_qs;
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(QFile(folder).open(QIODevice::WriteOnly));
    const Outcome outcome = make({u"--zip"_qs});
    EXPECT_EQ(outcome.exitCode, 1) << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(u"7 e-certificate(s) could not be written"_qs))
        << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(u"writing an e-certificate: "_qs + folder))
        << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(u"no ZIP was made"_qs)) << qPrintable(outcome.err);
    EXPECT_EQ(recorded(), before);
    EXPECT_EQ(filesUnder(root()), QStringList{u"青空ＳＣ"_qs});
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

TEST_F(ECertBatchTest, APrintRunMakesThemAlongside)
{
    const Outcome outcome = runBatch(arguments({u"--e-certificates"_qs}));
    ASSERT_EQ(outcome.exitCode, 0) << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(u"7 e-certificate(s) written in "_qs))
        << qPrintable(outcome.err);
    EXPECT_EQ(filesUnder(root()).size(), 7);
    EXPECT_EQ(recorded(), filesUnder(root()));
    EXPECT_EQ(readFileBytes(meet.dataPath(u"Race.dat"_qs)).left(4), QByteArray("9999"));
}

TEST_F(ECertBatchTest, AFullDiskForThemNeitherStopsThePrintingNorLeavesAPartialFile)
{
    // The e-certificates folder a tiny file system of its own, in a mount namespace that
    // goes with the command; what it holds at the end is copied out to be read.
    QDir().mkpath(root());
    const QString copy = output.path() + u"/copy"_qs;
    QProcess shell;
    shell.start(u"unshare"_qs,
                QStringList{u"-rm"_qs, u"sh"_qs, u"-c"_qs,
                            u"mount -t tmpfs -o size=20k tmpfs \"$1\" || exit 99; "
                            "\"$3\" -C \"$4\" --pdf \"$5\" --e-certificates; status=$?; "
                            "cp -a \"$1\" \"$2\"; exit $status"_qs,
                            u"sh"_qs, root(), copy, batchProgram(), meet.builder().workDir(),
                            pdfDir});
    ASSERT_TRUE(shell.waitForFinished(120000));
    if (shell.exitCode() == 99 || shell.error() == QProcess::FailedToStart)
        GTEST_SKIP() << "no private mount namespace here";
    const QString err = QString::fromUtf8(shell.readAllStandardError());
    EXPECT_EQ(shell.exitCode(), 0) << qPrintable(err);
    EXPECT_TRUE(err.contains(u"warning: the e-certificates of 2 event(s) could not be made"_qs))
        << qPrintable(err);
    EXPECT_TRUE(err.contains(u"No space left on device"_qs)) << qPrintable(err);
    EXPECT_EQ(err.count(u"No space left on device"_qs), 1) << "told once";
    EXPECT_EQ(readFileBytes(meet.dataPath(u"Race.dat"_qs)).left(4), QByteArray("9999"))
        << "the races are marked as before";
    EXPECT_EQ(QDir(pdfDir).entryList({u"*.pdf"_qs}, QDir::Files).size(), 2);
    for (const QString& file : filesUnder(copy)) {
        EXPECT_TRUE(file.endsWith(u".pdf"_qs)) << "left behind: " << qPrintable(file);
        EXPECT_EQ(pdfPageCount(copy + u'/' + file), 1) << qPrintable(file);
    }
}

} // namespace
} // namespace tarvel::testing
