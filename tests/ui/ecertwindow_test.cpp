// The window's e-certificates: 電子賞状も作る in the wide part's free space, the files made
// alongside each run while it is ticked, and 電子賞状を作る in the history.
#include "ui/ledgerdesk.h"
#include "windowdriver.h"

#include <QTableView>

#include <QDirIterator>

using namespace tarvel;
using namespace tarvel::testing;
using tarvel::ui::FrmBrev;

class ECertWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theSwitchLiesInFreeSpaceAndMakesTheFilesOfEachRun();
    void theHistoryMakesTheChosenRowsFilesAndTheZips();
};

namespace {

/// The PDF files under the meet's e-certificates folder, relative to it.
QStringList eCertificates(const TempMeet& meet)
{
    const QString root = meet.dataPath(u"e-certificates"_s);
    QStringList files;
    QDirIterator it(root, {u"*.pdf"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

} // namespace

void ECertWindowTest::theSwitchLiesInFreeSpaceAndMakesTheFilesOfEachRun()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    FrmBrev& window = *opened->window;
    QCheckBox& box = opened->check(u"chkDenshi"_s);
    QVERIFY(!box.isVisible());
    opened->click(u"cmdGamen"_s);
    QVERIFY(box.isVisible());
    for (const QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control == &box || !control->isVisible() || control->isWindow())
            continue;
        QVERIFY2(!control->geometry().intersects(box.geometry()),
                 qPrintable(control->objectName()));
    }
    QVERIFY(window.rect().contains(box.geometry()));
    QVERIFY(!box.isChecked());
    QVERIFY(!window.desk()->newRequest(RunKind::ReadyRaces).eCertificates);

    box.click();
    QVERIFY(window.desk()->newRequest(RunKind::ReadyRaces).eCertificates);
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    // The three finishers, each a file, each recorded; the run's account tells them.
    QCOMPARE(eCertificates(*meet).size(), 3);
    window.desk()->finishRecording();
    const QStringList documents = ledgerDocuments(*meet);
    QVERIFY2(documents.filter(u"e-certificates|"_s).size() == 3, qPrintable(documents.join(u'\n')));
    QMessageBox* told = window.findChild<QMessageBox*>(u"runAccount"_s);
    QVERIFY(told);
    QVERIFY2(told->text().contains(u"e-certificates"_s), qPrintable(told->text()));
}

void ECertWindowTest::theHistoryMakesTheChosenRowsFilesAndTheZips()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QVERIFY(eCertificates(*meet).isEmpty()); // the switch is off
    opened->window->desk()->finishRecording();

    // One row chosen: its file only; then none chosen, with the ZIPs: every file.
    int told = 0;
    connect(opened->window->ledgerDesk(), &ui::LedgerDesk::eCertificatesTold, this,
            [&] { ++told; });
    const auto inHistory = [](bool oneRow, const QString& button) {
        return ModalScript::Step{
            u"historyDialog"_s, [=](QWidget& dialog) {
                auto& table = child<QTableView>(dialog, u"tblRireki"_s);
                QVERIFY(QTest::qWaitFor([&] { return table.model()->rowCount() == 3; }, 10'000));
                if (oneRow)
                    table.selectRow(0);
                QTest::mouseClick(&child<QPushButton>(dialog, button), Qt::LeftButton);
                static_cast<QDialog&>(dialog).reject();
            }};
    };
    {
        ModalScript script({inHistory(true, u"cmdDenshi"_s)});
        opened->click(u"cmdRireki"_s);
        QVERIFY(script.done());
    }
    QTRY_COMPARE_WITH_TIMEOUT(told, 1, 20'000);
    QCOMPARE(eCertificates(*meet).size(), 1);
    {
        ModalScript script({inHistory(false, u"cmdDenshiZip"_s)});
        opened->click(u"cmdRireki"_s);
        QVERIFY(script.done());
    }
    QTRY_COMPARE_WITH_TIMEOUT(told, 2, 20'000);
    QCOMPARE(eCertificates(*meet).size(), 3);
    const QStringList zips =
        QDir(meet->dataPath(u"e-certificates"_s)).entryList({u"*.zip"_s}, QDir::Files);
    QVERIFY2(!zips.isEmpty(), qPrintable(zips.join(u' ')));
    const auto messages = opened->window->findChildren<QMessageBox*>(u"eCertificateMessage"_s);
    QVERIFY(!messages.isEmpty());
    const QMessageBox* message = messages.last();
    QVERIFY2(message->text().contains(zips.first()), qPrintable(message->text()));
    QCOMPARE(ledgerDocuments(*meet).filter(u"e-certificates|"_s).size(), 4);
}

QTEST_MAIN(ECertWindowTest)
#include "ecertwindow_test.moc"
