// 印刷履歴 and 再印刷: the ledger as the window shows it, searched and printed again, and a
// print job that failed told on the strip with a way to print it again.

#include "ledger/ledger.h"
#include "ui/ledgerdesk.h"
#include "ui/ledgermodel.h"
#include "windowdriver.h"

#include <QLabel>
#include <QTableView>

using namespace tarvel;
using namespace tarvel::testing;

class HistoryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aLargeLedgerIsSearchedAsTypedAndChosenRowsPrintAgain();
    void aFailedJobIsToldOnTheStripAndPrintsAgain();
};

void HistoryTest::aLargeLedgerIsSearchedAsTypedAndChosenRowsPrintAgain()
{
    auto meet = oneEventMeet();
    {
        // 20,000 certificates: 200 documents of 100.
        Ledger ledger(meet->locations());
        for (int document = 0; document < 200; ++document) {
            QList<LedgerCertificate> certificates;
            for (int i = 0; i < 100; ++i) {
                LedgerCertificate certificate;
                certificate.raceNo = certificate.heat = document + 1;
                certificate.lane = i % 8;
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
    ModalScript script(
        {{u"historyDialog"_s,
          [&](QWidget& dialog) {
              auto& table = child<QTableView>(dialog, u"tblRireki"_s);
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
         {u"runMessage"_s, [](QWidget& told) { static_cast<QDialog&>(told).accept(); }},
         {u"historyDialog"_s, [](QWidget& dialog) { static_cast<QDialog&>(dialog).reject(); }}});
    opened->click(u"cmdRireki"_s);
    QVERIFY(script.done());
    QCOMPARE(shown, 20000);
    QCOMPARE(found, 200);
    // The two rows chosen, printed again as one document of two pages, recorded as reprints.
    QCOMPARE(opened->printer->documentsEnded, 1);
    QCOMPARE(opened->printer->pages.size(), 2);
    const QList<LedgerEntry> entries = Ledger(meet->locations()).entries();
    QCOMPARE(entries.size(), 20002);
    QVERIFY(entries[0].certificate.reprintOf && entries[1].certificate.reprintOf);
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
    opened->window->desk()->pollJobsNow();
    const auto& failed = child<QLabel>(*opened->window, u"lblShippai"_s);
    QTRY_VERIFY(failed.isVisible());
    QVERIFY2(failed.text().contains(u"R001 男子 100m自由形 決勝"_s), qPrintable(failed.text()));

    QVERIFY(opened->clickAndWait(u"cmdSaiInsatu"_s));
    QCOMPARE(opened->printer->documentsEnded, 2);
    QCOMPARE(opened->printer->pages.size(), 6);
    QCOMPARE(opened->printer->pages[5], opened->printer->pages[2]);
    QVERIFY(!failed.isVisible());
    // The race was marked once, by the run; the reprint leaves Race.dat alone.
    QCOMPARE(readFileBytes(meet->dataPath(u"Race.dat"_s)).at(0), '9');
}

QTEST_MAIN(HistoryTest)
#include "history_test.moc"
