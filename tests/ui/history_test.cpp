// 印刷履歴 and 再印刷: the ledger as the window shows it, searched and printed again, and a
// print job that failed told on the strip with a way to print it again.

#include "ledger/historyexport.h"
#include "ledger/ledger.h"
#include "ledger/sqlite.h"
#include "platform/words.h"
#include "ui/historydialog.h"
#include "ui/ledgerdesk.h"
#include "ui/ledgermodel.h"
#include "windowdriver.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

#include <atomic>

using namespace tarvel;
using namespace tarvel::testing;

class HistoryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aLargeLedgerIsSearchedAsTypedAndChosenRowsPrintAgain();
    void aFailedJobIsToldOnTheStripAndPrintsAgain();
    void aFailedTestPageIsToldAndPointsToItsOwnButton();
    void theTextsShownAreSearchedAndSupersededCopiesMarked();
    void reprintsOfSeveralEventsOrManyCertificatesAsk();
    void reloadingKeepsTheRowsChosen();
    void theOpenHistoryFollowsJobStates();
    void aLedgerHeldByAnotherDeskIsToldAndWrittenOnceFree();
};

namespace {

LedgerEntry entry(qint64 id, int event, int heat, int heatInEvent, int lane, const QString& title)
{
    LedgerEntry e;
    e.id = id;
    e.documentId = id;
    e.certificate.raceNo = event;
    e.certificate.heat = heat;
    e.certificate.heatInEvent = heatInEvent;
    e.certificate.lane = lane;
    e.certificate.eventTitle = title;
    e.certificate.items[4] = u"選手%1"_s.arg(id);
    e.document.title = title;
    return e;
}

/// Waits until the dialog has shown the rows it read.
bool waitForRows(ui::HistoryDialog& dialog)
{
    QSignalSpy shown(&dialog, &ui::HistoryDialog::entriesShown);
    return shown.wait(10000);
}

} // namespace

void HistoryTest::aLargeLedgerIsSearchedAsTypedAndChosenRowsPrintAgain()
{
    auto meet = oneEventMeet();
    {
        // 20,000 certificates: 200 documents of 100.
        Ledger ledger(meet->locations());
        for (int document = 0; document < 200; ++document) {
            QList<LedgerCertificate> certificates;
            for (int i = 0; i < 100; ++i) {
                // Each certificate its own race, lane and leg: none supersedes another.
                const int n = document * 100 + i;
                LedgerCertificate certificate;
                certificate.raceNo = document + 1;
                certificate.heat = n / 20 + 1;
                certificate.lane = n % 10;
                if (n % 20 >= 10)
                    certificate.leg = 0;
                certificate.items[0] = u"100m自由形"_s;
                certificate.items[4] = u"選手%1"_s.arg(document * 100 + i);
                certificate.items[6] = i == 7 ? u"みなとＳＣ"_s : u"青空"_s;
                certificates << certificate;
            }
            ledger.record({QDateTime::currentDateTime(), u"R%1"_s.arg(document + 1), u"x"_s, 0,
                           JobState::Written},
                          certificates, u"earlier"_s);
        }
    }
    auto opened = openWindow();
    int shown = 0, found = 0;
    QString question;
    ModalScript script(
        {{u"historyDialog"_s,
          [&](QWidget& dialog) {
              auto& table = child<QTableView>(dialog, u"tblRireki"_s);
              // The rows arrive from the reading thread.
              QTRY_VERIFY_WITH_TIMEOUT(table.model()->rowCount() > 0, 10000);
              shown = table.model()->rowCount();
              // Full-width letters are found by half-width ones.
              type(child<QLineEdit>(dialog, u"txtKensaku"_s), u"みなとsc"_s);
              found = table.model()->rowCount();
              table.selectRow(0);
              table.selectionModel()->select(table.model()->index(1, 0),
                                             QItemSelectionModel::Select
                                                 | QItemSelectionModel::Rows);
              QTest::mouseClick(&child<QPushButton>(dialog, u"cmdSaiInsatu"_s), Qt::LeftButton);
          }},
         // Two events: asked first, with the count.
         {u"reprintQuestion"_s,
          [&](QWidget& asked) {
              question = static_cast<QMessageBox&>(asked).text();
              static_cast<QMessageBox&>(asked).button(QMessageBox::Yes)->click();
          }},
         {u"runMessage"_s, [](QWidget& told) { static_cast<QDialog&>(told).accept(); }},
         {u"historyDialog"_s, [](QWidget& dialog) { static_cast<QDialog&>(dialog).reject(); }}});
    opened->click(u"cmdRireki"_s);
    QVERIFY(script.done());
    QCOMPARE(shown, 20000);
    QCOMPARE(found, 200);
    QVERIFY2(question.contains(u"2"_s), qPrintable(question));
    // The two rows chosen, of two events: a document each, titled with its event, recorded
    // as reprints.
    QCOMPARE(opened->printer->documentEnds, 2);
    QCOMPARE(opened->printer->pages.size(), 2);
    const QList<LedgerEntry> entries = Ledger(meet->locations()).entries();
    QCOMPARE(entries.size(), 20002);
    QVERIFY(entries[0].certificate.reprintOf && entries[1].certificate.reprintOf);
    QCOMPARE(entries[0].document.kind, DocumentKind::Reprint);
    QVERIFY2(entries[0].document.title.endsWith(u" R200"_s), qPrintable(entries[0].document.title));
    QVERIFY2(entries[1].document.title.endsWith(u" R199"_s), qPrintable(entries[1].document.title));
    QCOMPARE(entries[0].certificate.items[6], u"みなとＳＣ"_s);
}

void HistoryTest::aFailedJobIsToldOnTheStripAndPrintsAgain()
{
    auto meet = oneEventMeet();
    auto opened = openWindow([](DeskServices& services) {
        services.jobState = [](int jobId) {
            return jobId == 1 ? std::optional(JobState::Canceled) : std::nullopt;
        };
    });
    MessageBoxCloser closer;
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s)); // job 1: the event's three certificates
    QSignalSpy polled(opened->window->ledgerDesk(), &ui::LedgerDesk::jobsPolled);
    opened->window->desk()->pollJobsNow(); // answered from the worker thread
    QVERIFY(polled.wait(10000));
    const auto& failed = child<QLabel>(*opened->window, u"lblShippai"_s);
    QTRY_VERIFY(failed.isVisible());
    QVERIFY2(failed.text().contains(u"R001 男子 100m自由形 決勝"_s), qPrintable(failed.text()));

    QVERIFY(opened->clickAndWait(u"cmdSaiInsatu"_s));
    QCOMPARE(opened->printer->documentEnds, 2);
    QCOMPARE(opened->printer->pages.size(), 6);
    QCOMPARE(opened->printer->pages[5], opened->printer->pages[2]);
    QVERIFY(!failed.isVisible());
    // The race was marked once, by the run; the reprint leaves Race.dat alone.
    QCOMPARE(readFileBytes(meet->dataPath(u"Race.dat"_s)).at(0), '9');
}

// A failed test page is told like any job, but 再印刷 has no certificates to send: it says
// which button makes the page again, and sends nothing.
void HistoryTest::aFailedTestPageIsToldAndPointsToItsOwnButton()
{
    auto meet = oneEventMeet();
    auto opened = openWindow([](DeskServices& services) {
        services.jobState = [](int jobId) {
            return jobId == 1 ? std::optional(JobState::Aborted) : std::nullopt;
        };
    });
    MessageBoxCloser closer;
    opened->click(u"cmdGamen"_s);
    QVERIFY(opened->clickAndWait(u"cmdTest"_s)); // job 1
    opened->window->desk()->finishRecording();
    QSignalSpy polled(opened->window->ledgerDesk(), &ui::LedgerDesk::jobsPolled);
    opened->window->desk()->pollJobsNow();
    QVERIFY(polled.wait(10000));
    const auto& failed = child<QLabel>(*opened->window, u"lblShippai"_s);
    QTRY_VERIFY(failed.isVisible());
    QVERIFY2(failed.text().contains(Words::tr("Test page")), qPrintable(failed.text()));

    opened->click(u"cmdSaiInsatu"_s);
    QTRY_COMPARE(closer.texts.size(), 1);
    QVERIFY2(closer.texts.first().contains(u"テスト印刷"_s), qPrintable(closer.texts.first()));
    QCOMPARE(opened->printer->documentEnds, 1);
    QVERIFY(!failed.isVisible());
}

void HistoryTest::theTextsShownAreSearchedAndSupersededCopiesMarked()
{
    QTemporaryDir dir;
    Ledger ledger(dir.path() + u"/tarvel-ledger.db"_s);
    const auto record = [&](const QString& title, int event, int heat, int heatInEvent) {
        LedgerCertificate c;
        c.raceNo = event;
        c.heat = heat;
        c.heatInEvent = heatInEvent;
        c.eventTitle = title;
        c.items[0] = u"100m自由形"_s;
        ledger.record({QDateTime::currentDateTime(), title, u"desk"_s, 0, JobState::Written}, {c},
                      u"s"_s);
    };
    record(u"R035 女子 100m自由形 決勝"_s, 35, 34, 2); // the second of two heats
    record(u"R040 男子 100m背泳ぎ 決勝"_s, 40, 40, 1);
    record(u"R035 女子 100m自由形 決勝"_s, 35, 34, 2); // printed again: the first superseded

    ui::LedgerModel model;
    model.setEntries(ledger.entries());
    QCOMPARE(model.data(model.index(0, ui::LedgerModel::Heat)).toString(), u"2"_s);
    QCOMPARE(model.data(model.index(0, ui::LedgerModel::Race)).toString(), u"R034"_s);
    QCOMPARE(model.data(model.index(0, ui::LedgerModel::Event)).toString(),
             u"R035 女子 100m自由形 決勝"_s);
    QVERIFY(model.data(model.index(0, ui::LedgerModel::Superseded)).toString().isEmpty());
    QVERIFY(!model.data(model.index(2, ui::LedgerModel::Superseded)).toString().isEmpty());
    QVERIFY(model.data(model.index(2, 0), Qt::ForegroundRole).isValid());

    const struct {
        const char16_t* typed;
        int rows;
    } searches[] = {
        {u"女子", 2},     {u"R035", 2},        {u"r034", 2},
        {u"ｒ０４０", 1}, {u"背泳ぎ 決勝", 1}, {u"男子 100m自由形", 0},
    };
    for (const auto& search : searches) {
        model.setFilter(QString::fromUtf16(search.typed));
        QVERIFY2(model.rowCount() == search.rows, qPrintable(QString::fromUtf16(search.typed)));
    }
}

void HistoryTest::reprintsOfSeveralEventsOrManyCertificatesAsk()
{
    const auto many = [](int count, int events) {
        QList<LedgerEntry> entries;
        for (int i = 0; i < count; ++i)
            entries << entry(i + 1, 10 + i % events, 10, 1, i % 8, u"R010"_s);
        return entries;
    };
    const struct {
        const char* name;
        QList<LedgerEntry> entries;
        bool asks;
    } cases[] = {
        {"one certificate", many(1, 1), false},
        {"twenty of one event", many(20, 1), false},
        {"twenty-one of one event", many(21, 1), true},
        {"two of two events", many(2, 2), true},
        {"nothing", {}, false},
    };
    for (const auto& c : cases)
        QVERIFY2(ui::reprintNeedsAsking(c.entries) == c.asks, c.name);
}

void HistoryTest::reloadingKeepsTheRowsChosen()
{
    QList<LedgerEntry> rows = {entry(3, 12, 12, 1, 2, u"R012"_s), entry(2, 12, 12, 1, 1, u"R012"_s),
                               entry(1, 12, 12, 1, 0, u"R012"_s)};
    std::atomic<int> reads = 0;
    ui::HistoryDialog dialog(
        [&] {
            ++reads;
            return rows;
        },
        [](const QList<LedgerEntry>&) {});
    QVERIFY(waitForRows(dialog));
    auto& table = child<QTableView>(dialog, u"tblRireki"_s);
    table.selectRow(1); // certificate 2
    // A state changed: the dialog reads again, a new row comes first.
    rows.prepend(entry(4, 13, 13, 1, 0, u"R013"_s));
    dialog.reload();
    QVERIFY(waitForRows(dialog));
    QCOMPARE(reads.load(), 2);
    QCOMPARE(table.model()->rowCount(), 4);
    const QModelIndexList chosen = table.selectionModel()->selectedRows();
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(dialog.model().entryAt(chosen[0].row()).id, qint64(2));
}

void HistoryTest::theOpenHistoryFollowsJobStates()
{
    auto meet = oneEventMeet();
    // Asked on the job watch's thread.
    auto canceled = std::make_shared<std::atomic<bool>>(false);
    auto opened = openWindow([canceled](DeskServices& services) {
        services.jobState = [canceled](int) {
            return std::optional(*canceled ? JobState::Canceled : JobState::Pending);
        };
    });
    MessageBoxCloser closer;
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s)); // job 1, pending
    QString before, after;
    ModalScript script(
        {{u"historyDialog"_s, [&](QWidget& dialog) {
              auto& table = child<QTableView>(dialog, u"tblRireki"_s);
              const auto state = [&] {
                  return table.model()->index(0, ui::LedgerModel::State).data().toString();
              };
              QTRY_VERIFY_WITH_TIMEOUT(table.model()->rowCount() == 3, 10000);
              before = state();
              // Another desk's scheduler says the job was cancelled.
              *canceled = true;
              opened->window->desk()->pollJobsNow();
              QTRY_VERIFY_WITH_TIMEOUT(state() != before, 10000);
              after = state();
              static_cast<QDialog&>(dialog).reject();
          }}});
    opened->click(u"cmdRireki"_s);
    QVERIFY(script.done());
    QCOMPARE(before, jobStateText(JobState::Pending));
    QCOMPARE(after, jobStateText(JobState::Canceled));
}

void HistoryTest::aLedgerHeldByAnotherDeskIsToldAndWrittenOnceFree()
{
    auto meet = oneEventMeet();
    const QString path = meet->dataPath(u"tarvel-ledger.db"_s);
    {
        Ledger created(path);
    }
    auto otherDesk = std::make_unique<sql::Database>(path, sql::Database::Mode::ReadWrite, 0);
    otherDesk->execute("BEGIN EXCLUSIVE");
    auto opened = openWindow();
    MessageBoxCloser closer;
    // The box comes without waiting for an answer; shown while a run's dialog is up, the
    // closer takes it.
    const QMap<QString, QString> words = {{u"ledgerTrouble"_s, u"cannot be written now"_s},
                                          {u"ledgerRecovered"_s, u"written again"_s}};
    const auto told = [&](const QString& name) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == name && widget->isVisible())
                return true;
        }
        return !closer.texts.filter(words[name]).isEmpty();
    };
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QTRY_VERIFY_WITH_TIMEOUT(told(u"ledgerTrouble"_s), 15000);
    QCOMPARE(readFileBytes(meet->dataPath(u"Race.dat"_s)).at(0), '9'); // printing went on
    otherDesk.reset();
    QTRY_VERIFY_WITH_TIMEOUT(told(u"ledgerRecovered"_s), 15000);
    QCOMPARE(Ledger(path).entries().size(), opened->printer->pages.size());
}

QTEST_MAIN(HistoryTest)
#include "history_test.moc"
