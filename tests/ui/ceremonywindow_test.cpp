// The window's award lists: 表彰者一覧 and its destination in the wide part's free space, the
// lists sent after each event printed while it is ticked, and 表彰者一覧を印刷 in the history.
#include "ceremony/ceremonydestination.h"
#include "privatescheduler.h"
#include "ui/deskstrip.h"
#include "windowdriver.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace tarvel;
using namespace tarvel::testing;
using tarvel::ui::FrmBrev;

class CeremonyWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void theControlsLieInFreeSpaceOfTheWidePart();
    void listsFollowTheSwitchToTheirFolder();
    void theHistoryPrintsTheListsOfEveryEventPrinted();
    void aListNotDeliveredIsToldOnTheStripAndSentAgain();
    void aListTheSchedulerTookAndLostIsSentAgain();

private:
    QStringList listFiles() const
    {
        return QDir(lists_.path()).entryList({u"*.pdf"_s}, QDir::Files);
    }
    QTemporaryDir settings_;
    QTemporaryDir lists_;
};

void CeremonyWindowTest::initTestCase()
{
    // The user's settings of this test only: the lists' switch and folder are kept there.
    qputenv("XDG_CONFIG_HOME", settings_.path().toLocal8Bit());
}

void CeremonyWindowTest::cleanup()
{
    saveCeremonyListOn(false);
    saveCeremonyDestination({});
    for (const QString& file : listFiles())
        QFile::remove(lists_.path() + u'/' + file);
}

void CeremonyWindowTest::theControlsLieInFreeSpaceOfTheWidePart()
{
    auto meet = emptyMeet();
    auto opened = openWindow();
    FrmBrev& window = *opened->window;
    QWidget& box = child<QWidget>(window, u"chkHyoushou"_s);
    QWidget& destination = child<QWidget>(window, u"cmbHyoushouSaki"_s);
    QVERIFY(!box.isVisible());
    opened->click(u"cmdGamen"_s);
    QVERIFY(box.isVisible() && destination.isVisible());
    for (const QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control == &box || control == &destination || !control->isVisible()
            || control->isWindow())
            continue;
        QVERIFY2(!control->geometry().intersects(box.geometry())
                     && !control->geometry().intersects(destination.geometry()),
                 qPrintable(control->objectName()));
    }
    // Inside the window, and off by default.
    QVERIFY(window.rect().contains(destination.geometry()));
    QVERIFY(!static_cast<QCheckBox&>(box).isChecked());
    QVERIFY(!window.desk()->newRequest(RunKind::ReadyRaces).ceremonyList.isOn());
}

void CeremonyWindowTest::listsFollowTheSwitchToTheirFolder()
{
    saveCeremonyDestination({CeremonyDestinationKind::PdfFolder, lists_.path()});
    saveCeremonyListOn(true);
    auto meet = oneEventMeet();
    auto opened = openWindow();
    opened->click(u"cmdGamen"_s);
    QCheckBox& box = opened->check(u"chkHyoushou"_s);
    QVERIFY(box.isChecked());
    QVERIFY2(child<QComboBox>(*opened->window, u"cmbHyoushouSaki"_s)
                 .currentText()
                 .contains(QDir::toNativeSeparators(lists_.path())),
             qPrintable(child<QComboBox>(*opened->window, u"cmbHyoushouSaki"_s).currentText()));

    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QTRY_COMPARE(listFiles().size(), 1);
    opened->window->desk()->finishRecording();
    const QStringList documents = ledgerDocuments(*meet);
    QVERIFY2(documents.filter(u"ceremony-list|"_s).size() == 1, qPrintable(documents.join(u'\n')));
    QVERIFY2(documents.filter(u"ceremony-list|"_s).first().endsWith(u"|written|0"_s),
             qPrintable(documents.join(u'\n')));

    // Switched off: kept so, and the next runs send none.
    box.click();
    QVERIFY(!loadCeremonyListOn());
    QVERIFY(!opened->window->desk()->newRequest(RunKind::ReadyRaces).ceremonyList.isOn());
    QCOMPARE(loadCeremonyDestination().where, lists_.path());
}

void CeremonyWindowTest::theHistoryPrintsTheListsOfEveryEventPrinted()
{
    saveCeremonyDestination({CeremonyDestinationKind::PdfFolder, lists_.path()});
    auto meet = oneEventMeet();
    auto opened = openWindow();
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QVERIFY(listFiles().isEmpty()); // the switch is off
    opened->window->desk()->finishRecording();

    const int before = opened->runsFinished;
    ModalScript script({{u"historyDialog"_s, [](QWidget& dialog) {
                             // Nothing chosen: every event printed.
                             QTest::mouseClick(&child<QPushButton>(dialog, u"cmdHyoushouInsatsu"_s),
                                               Qt::LeftButton);
                             static_cast<QDialog&>(dialog).reject();
                         }}});
    opened->click(u"cmdRireki"_s);
    QVERIFY(script.done());
    QVERIFY(opened->waitForRuns(before + 1));
    QTRY_COMPARE(listFiles().size(), 1);
}

void CeremonyWindowTest::aListNotDeliveredIsToldOnTheStripAndSentAgain()
{
    // The folder's place is taken by a file: the list cannot be written, the certificates can.
    const QString blocked = lists_.path() + u"/blocked"_s;
    writeFileBytes(blocked, "not a folder");
    saveCeremonyDestination({CeremonyDestinationKind::PdfFolder, blocked + u"/lists"_s});
    saveCeremonyListOn(true);
    auto meet = oneEventMeet();
    auto opened = openWindow();
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QCOMPARE(opened->printer->documentEnds, 1);
    QLabel& told = child<QLabel>(*opened->window, u"lblShippai"_s);
    QTRY_VERIFY(told.isVisible());
    QVERIFY2(told.toolTip().contains(u"R001"_s) || told.text().contains(u"R001"_s),
             qPrintable(told.text()));

    // The way cleared, 再印刷 sends the list again, from the ledger.
    QVERIFY(QFile::remove(blocked));
    opened->window->desk()->finishRecording();
    QVERIFY(opened->clickAndWait(u"cmdSaiInsatu"_s));
    QTRY_COMPARE(QDir(blocked + u"/lists"_s).entryList({u"*.pdf"_s}, QDir::Files).size(), 1);
    QTRY_VERIFY(!told.isVisible());
    QDir(blocked).removeRecursively();
}

void CeremonyWindowTest::aListTheSchedulerTookAndLostIsSentAgain()
{
    PrivateScheduler cups;
    if (const QString why = cups.start(); !why.isEmpty())
        QSKIP(qPrintable(u"no private CUPS scheduler here: "_s + why));
    cups.addFileQueue(u"desk"_s, true);
    cups.addFileQueue(u"lists"_s, false);
    cups.useInThisProcess();
    // The lists' printer stopped: its job is taken and waits.
    cups.tool(u"cupsdisable"_s, {u"lists"_s});
    saveCeremonyDestination({CeremonyDestinationKind::Printer, u"lists"_s});
    saveCeremonyListOn(true);
    auto meet = oneEventMeet();
    auto opened = openWindow([](DeskServices& services) {
        services = DeskServices();
        services.jobPollInterval = std::chrono::milliseconds(200);
    });
    MessageBoxCloser closer;
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QLabel& told = child<QLabel>(*opened->window, u"lblShippai"_s);
    QVERIFY(!told.isVisible());

    // Cancelled at the scheduler after it took it: told as a list, and 再印刷 sends the list
    // (not a page without certificates) once the printer works again.
    static const QRegularExpression listJob(u"lists-(\\d+)"_s);
    QString job;
    QTRY_VERIFY_WITH_TIMEOUT(
        !(job = listJob.match(cups.tool(u"lpstat"_s, {u"-o"_s, u"lists"_s})).captured(1)).isEmpty(),
        10'000);
    cups.tool(u"cancel"_s, {job});
    QTRY_VERIFY_WITH_TIMEOUT(told.isVisible(), 10'000);
    QVERIFY2(told.text().contains(u"R001"_s) || told.toolTip().contains(u"R001"_s),
             qPrintable(told.text()));
    cups.tool(u"cupsenable"_s, {u"lists"_s});
    QVERIFY(opened->clickAndWait(u"cmdSaiInsatu"_s));
    QTRY_VERIFY(!told.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(cups.jobPrinters().values().count(u"lists"_s) == 1, 30'000);
    QVERIFY(cups.jobPrinters().key(u"lists"_s) > job.toInt());
}

QTEST_MAIN(CeremonyWindowTest)
#include "ceremonywindow_test.moc"
