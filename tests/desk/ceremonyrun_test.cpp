// The award ceremony lists as the desk sends them: one per event after its certificates,
// saying what the ledger says was printed; a list that fails costs no certificate.
#include "desk/desk.h"
#include "eventually.h"
#include "platform/qt/pdfdevice.h"
#include "platform/qt/translations.h"
#include "poppler.h"
#include "printrun/runaccount.h"
#include "privatescheduler.h"
#include "samplemeet.h"
#include "tempmeet.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>

namespace tarvel {
namespace {

using testing::eventually;
using testing::pdfRows;
using testing::pdfWords;
using testing::readFileBytes;
using testing::TempMeet;
using testing::withoutBlanks;

/// The sample meet, every race ready, opened as a desk whose certificates go to PDF files.
class CeremonyRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installTranslations(*qApp, QLocale(QLocale::Japanese));
        sample::writeSampleMeet(meet_.builder());
        QDir::setCurrent(meet_.builder().workDir());
    }
    void TearDown() override
    {
        qDeleteAll(qApp->findChildren<QTranslator*>());
        QLocale::setDefault(QLocale::system());
    }

    std::unique_ptr<Desk> openDesk(CeremonyTargetOpener lists = ceremonyTargetOpener())
    {
        DeskServices services;
        const QString certificates = folder_.path() + u"/certificates"_qs;
        services.openTarget = [certificates](const DataLocations&) {
            return openPdfTarget(certificates);
        };
        services.openCeremonyTarget = std::move(lists);
        return std::make_unique<Desk>(startSession(), services);
    }

    RunRequest printAll(Desk& desk, const QString& listFolder)
    {
        RunRequest request = desk.newRequest(RunKind::ReadyRaces);
        request.ceremonyList = {CeremonyDestinationKind::PdfFolder, listFolder};
        return request;
    }

    TempMeet meet_;
    QTemporaryDir folder_;
};

/// The rows an event's certificates in the ledger make on its list: a swimmer's row, or a
/// relay team's row once with a row per swimmer beneath.
QStringList expectedRows(const QList<LedgerEntry>& certificates)
{
    QStringList rows;
    const LedgerEntry* team = nullptr;
    for (const LedgerEntry& entry : certificates) {
        const ItemTexts& items = entry.certificate.items;
        const bool sameTeam = team && entry.certificate.leg
                              && team->certificate.heat == entry.certificate.heat
                              && team->certificate.lane == entry.certificate.lane;
        if (!sameTeam) {
            const QString who = entry.certificate.leg ? items[6] : items[4] + items[6];
            rows << withoutBlanks(items[2] + who + items[5] + items[1] + items[3]);
            team = entry.certificate.leg ? &entry : nullptr;
        }
        if (entry.certificate.leg && !items[4].trimmed().isEmpty())
            rows << withoutBlanks(QString::number(*entry.certificate.leg + 1) + items[4]);
    }
    return rows;
}

QStringList filesIn(const QString& folder)
{
    QStringList files;
    for (const QString& name : QDir(folder).entryList({u"*.pdf"_qs}, QDir::Files, QDir::Name))
        files << folder + u'/' + name;
    return files;
}

TEST_F(CeremonyRunTest, EachEventsListSaysWhatTheLedgerSaysWasPrinted)
{
    const QString lists = folder_.path() + u"/lists"_qs;
    std::unique_ptr<Desk> desk = openDesk();
    const RunOutcome outcome = desk->runAndWait(printAll(*desk, lists));
    ASSERT_FALSE(outcome.failure) << outcome.failure->message().toStdString();
    ASSERT_GT(outcome.summary.eventsPrinted, 10);
    ASSERT_EQ(outcome.sideDocuments.size(), outcome.summary.eventsPrinted);
    for (const SideDocument& list : outcome.sideDocuments)
        EXPECT_FALSE(list.failure) << list.failure->message().toStdString();
    const QStringList files = filesIn(lists);
    ASSERT_EQ(files.size(), outcome.summary.eventsPrinted);

    // Each list against the certificates its event's document carried, by the ledger.
    Ledger ledger(desk->session().where);
    QList<LedgerDocumentEntry> documents = ledger.documents();
    std::reverse(documents.begin(), documents.end());
    QList<LedgerDocumentEntry> certificateDocuments;
    int listsRecorded = 0;
    for (const LedgerDocumentEntry& document : documents) {
        if (document.document.kind == DocumentKind::Certificates)
            certificateDocuments << document;
        if (document.document.kind == DocumentKind::CeremonyList) {
            ++listsRecorded;
            EXPECT_EQ(document.document.state, JobState::Written);
            EXPECT_EQ(document.certificates, 0);
        }
    }
    ASSERT_EQ(certificateDocuments.size(), files.size());
    EXPECT_EQ(listsRecorded, files.size());
    const QRegularExpression ranked(u"^\\d+位"_qs);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QList<LedgerEntry> printed = ledger.entriesOfDocument(certificateDocuments[i].id);
        const QString title = withoutBlanks(eventTitleOf(printed.first()));
        SCOPED_TRACE(title.toStdString());
        const QStringList rows = pdfRows(pdfWords(files[i]));
        ASSERT_GT(rows.size(), 2);
        EXPECT_EQ(rows[1], title);
        const QStringList expected = expectedRows(printed);
        qsizetype at = 0;
        for (const QString& row : expected) {
            const qsizetype found = rows.indexOf(row, at);
            EXPECT_GE(found, 0) << "missing or out of order: " << row.toStdString() << "\n"
                                << rows.join(u'\n').toStdString();
            at = std::max(at, found);
        }
        // Nobody beyond the certificates: as many ranked rows as the ledger has.
        EXPECT_EQ(rows.filter(ranked).size(), expected.filter(ranked).size());
    }
}

TEST_F(CeremonyRunTest, FromTheLedgerAllEventsMakeOneListInRaceOrder)
{
    std::unique_ptr<Desk> desk = openDesk();
    const RunOutcome printed = desk->runAndWait(printAll(*desk, folder_.path() + u"/lists"_qs));
    ASSERT_FALSE(printed.failure);

    const QString meetWide = folder_.path() + u"/meet"_qs;
    RunRequest request = desk->newRequest(RunKind::CeremonyList);
    request.ceremonyList = {CeremonyDestinationKind::PdfFolder, meetWide};
    const RunOutcome outcome = desk->runAndWait(request);
    ASSERT_FALSE(outcome.failure) << outcome.failure->message().toStdString();
    ASSERT_EQ(outcome.sideDocuments.size(), 1);
    const QStringList files = filesIn(meetWide);
    ASSERT_EQ(files.size(), 1);
    const QStringList rows = pdfRows(pdfWords(files.first()));
    QList<int> races;
    const QRegularExpression title(u"^R(\\d{3})"_qs);
    for (const QString& row : rows) {
        const auto match = title.match(row);
        if (match.hasMatch() && !row.contains(u"（続き）"_qs))
            races << match.captured(1).toInt();
    }
    EXPECT_EQ(races.size(), printed.summary.eventsPrinted);
    EXPECT_TRUE(std::is_sorted(races.begin(), races.end()));

    // Two events chosen: only theirs.
    request.ceremonyRaces = {races.last(), races.first()};
    request.ceremonyList.where = folder_.path() + u"/two"_qs;
    ASSERT_FALSE(desk->runAndWait(request).failure);
    const QStringList two = pdfRows(pdfWords(filesIn(folder_.path() + u"/two"_qs).value(0)));
    EXPECT_EQ(two.filter(title).size(), 2);
}

TEST_F(CeremonyRunTest, AListThatFailsCostsNoCertificate)
{
    // The same meet printed twice: with lists that cannot be written, and without lists.
    TempMeet plain;
    sample::writeSampleMeet(plain.builder());
    const QString notAFolder = folder_.path() + u"/file"_qs;
    testing::writeFileBytes(notAFolder, "not a folder");

    std::unique_ptr<Desk> desk = openDesk([notAFolder](const CeremonyDestination&) {
        return openPdfTarget(notAFolder + u"/lists"_qs);
    });
    const RunOutcome outcome = desk->runAndWait(printAll(*desk, notAFolder));
    desk.reset();
    ASSERT_FALSE(outcome.failure) << outcome.failure->message().toStdString();
    ASSERT_EQ(outcome.sideDocuments.size(), outcome.summary.eventsPrinted);
    for (const SideDocument& list : outcome.sideDocuments) {
        ASSERT_TRUE(list.failure);
        EXPECT_TRUE(list.failure->message().contains(notAFolder))
            << list.failure->message().toStdString();
    }
    const QStringList account = describeSideDocuments(outcome.sideDocuments);
    EXPECT_EQ(account.size(), outcome.sideDocuments.size());

    QDir::setCurrent(plain.builder().workDir());
    DeskServices services;
    const QString plainFolder = folder_.path() + u"/plain"_qs;
    services.openTarget = [plainFolder](const DataLocations&) {
        return openPdfTarget(plainFolder);
    };
    Desk plainDesk(startSession(), services);
    const RunOutcome without = plainDesk.runAndWait(plainDesk.newRequest(RunKind::ReadyRaces));
    ASSERT_GT(without.summary.eventsPrinted, 10);
    EXPECT_EQ(outcome.summary.eventsPrinted, without.summary.eventsPrinted);
    EXPECT_EQ(outcome.summary.racesMarked, without.summary.racesMarked);
    EXPECT_EQ(outcome.summary.certificates, without.summary.certificates);
    EXPECT_EQ(readFileBytes(meet_.dataPath(u"Race.dat"_qs)),
              readFileBytes(plain.dataPath(u"Race.dat"_qs)));

    // The ledger: every certificate as without lists, every list recorded as failed.
    Ledger ledger(meet_.locations());
    int failedLists = 0;
    int certificates = 0;
    for (const LedgerDocumentEntry& document : ledger.documents()) {
        certificates += document.certificates;
        if (document.document.kind == DocumentKind::CeremonyList) {
            EXPECT_TRUE(isFailed(document.document.state));
            ++failedLists;
        }
    }
    EXPECT_EQ(failedLists, outcome.sideDocuments.size());
    EXPECT_EQ(certificates, without.summary.certificates);
}

TEST_F(CeremonyRunTest, AStopEndsAWaitOnTheListsPrinterAndTheListsWaitToBeSentAgain)
{
    // The lists' printer is on a scheduler that answers nothing: without the stop, each list
    // would wait out the deadline.
    testing::PrivateScheduler cups;
    if (const QString why = cups.start(); !why.isEmpty())
        GTEST_SKIP() << "no private CUPS scheduler here: " << why.toStdString();
    cups.addFileQueue(u"lists"_qs, false);
    cups.useInThisProcess();
    qputenv("TARVEL_SCHEDULER_DEADLINE_MS", "30000");
    std::unique_ptr<Desk> desk = openDesk();
    qunsetenv("TARVEL_SCHEDULER_DEADLINE_MS");
    cups.freeze();

    RunRequest request = desk->newRequest(RunKind::ReadyRaces);
    request.ceremonyList = {CeremonyDestinationKind::Printer, u"lists"_qs};
    auto outcome = std::make_shared<std::optional<RunOutcome>>();
    std::atomic<bool> done = false;
    request.whenDone = [outcome, &done](const RunOutcome& finished) {
        *outcome = finished;
        done = true;
    };
    desk->start(std::move(request));
    // Once an event was delivered (its file written, not only begun), its list is on its
    // way to the silent scheduler.
    const QDir certificates(folder_.path() + u"/certificates"_qs);
    ASSERT_TRUE(eventually(
        [&] { return !certificates.entryList({u"*.pdf"_qs}, QDir::Files).isEmpty() || done; }));
    QElapsedTimer stopping;
    stopping.start();
    desk->stop();
    ASSERT_TRUE(eventually([&] { return done.load(); }, std::chrono::seconds(20)));
    EXPECT_LT(stopping.elapsed(), 3000);
    cups.kill();

    const RunOutcome& run = **outcome;
    ASSERT_GT(run.summary.eventsPrinted, 0);
    ASSERT_EQ(run.sideDocuments.size(), run.summary.eventsPrinted);
    QList<int> notSent;
    for (const SideDocument& list : run.sideDocuments) {
        ASSERT_TRUE(list.failure);
        EXPECT_EQ(list.failure->path(), u"lists"_qs) << list.failure->message().toStdString();
        notSent << list.races;
    }
    // Each recorded failed with its events, so that it can be sent again.
    desk->finishRecording();
    QList<int> recorded;
    for (const LedgerDocumentEntry& document : Ledger(meet_.locations()).documents()) {
        if (document.document.kind != DocumentKind::CeremonyList)
            continue;
        EXPECT_TRUE(isFailed(document.document.state));
        recorded = document.document.races + recorded;
    }
    EXPECT_EQ(recorded, notSent);
}

} // namespace
} // namespace tarvel
