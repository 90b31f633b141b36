// 自動印刷 in the window: the switch, the state line, runs that leave the window to the
// operator, 随時 refused while watching, trouble told without waiting for an answer.

#include "layout/layoutfile.h"
#include "meetdb/racestatus.h"
#include "ui/autoprintdesk.h"
#include "windowdriver.h"

#include <QLabel>
#include <QPointer>
#include <QRegularExpression>

using namespace tarvel;
using namespace tarvel::testing;
using tarvel::ui::AutoPrintDesk;

class AutoPrintTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void switchedOnItPrintsWhatTurnsReadyAndLeavesTheWindowUsable();
    void anytimeIsRefusedWhileWatching();
    void aRefusingPrinterIsToldOnceAndWatchingGoesOn();
    void aSilentSchedulerIsWaitedForAndTheRetryThatGetsThroughClearsTheMessage();
    void closingDuringARunWaitsForTheEventInHand();
};

namespace {

char statusOf(const TempMeet& meet, int raceNo)
{
    return readFileBytes(meet.dataPath(u"Race.dat"_s)).at(raceNo - 1);
}

QLabel& stateLine(Opened& opened)
{
    return child<QLabel>(*opened.window, u"lblJidou"_s);
}

} // namespace

void AutoPrintTest::switchedOnItPrintsWhatTurnsReadyAndLeavesTheWindowUsable()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    QVERIFY(!opened->check(u"chkJidou"_s).isChecked());
    QVERIFY(!stateLine(*opened).isVisible());
    // An edit not yet saved: the run saves the layout first, as a manual one does.
    opened->retype(u"txtX0"_s, u"2222"_s);

    QStringList states;
    bool windowFreeDuringRun = false;
    QObject::connect(opened->window->desk(), &Desk::watchChanged, opened->window.get(),
                     [&](const WatchSnapshot& watch) {
                         states << stateLine(*opened).text();
                         if (watch.eventInHand > 0)
                             windowFreeDuringRun = !QApplication::activeModalWidget()
                                                   && !opened->button(u"cmdInsatu"_s).isEnabled();
                     });
    opened->check(u"chkJidou"_s).click();
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(*meet, 1), kRacePrinted, 10000);
    QCOMPARE(opened->printer->documentEnds, 1);
    QVERIFY(states.contains(u"印刷中 R001"_s));
    QVERIFY(windowFreeDuringRun);
    QTRY_VERIFY(opened->button(u"cmdInsatu"_s).isEnabled());
    Layout saved;
    loadLayout(meet->locations(), saved);
    QCOMPARE(saved.items[0].x, u"2222"_s);
    static const QRegularExpression watching(u"^監視中 [0-9]{2}:[0-9]{2}:[0-9]{2}$"_s);
    QTRY_VERIFY(watching.match(stateLine(*opened).text()).hasMatch());
    QVERIFY(!stateLine(*opened).toolTip().isEmpty()); // the last run's account

    // A race the meet system turns ready later is printed by itself.
    RaceRecord second = loadRace(meet->locations(), 1);
    meet->builder().writeRace(2, second);
    meet->builder().writeRaceStatus(QByteArray("98"));
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(*meet, 2), kRacePrinted, 10000);
    QCOMPARE(opened->printer->documentEnds, 2);

    opened->check(u"chkJidou"_s).click();
    QTRY_COMPARE(opened->window->autoPrintDesk()->watch().state, AutoPrinter::State::Off);
    QVERIFY(!stateLine(*opened).isVisible());
}

void AutoPrintTest::anytimeIsRefusedWhileWatching()
{
    auto meet = emptyMeet();
    auto opened = openWindow();
    opened->click(u"cmdGamen"_s);
    AutoPrintDesk& desk = *opened->window->autoPrintDesk();

    // Under 随時 the switch does not go on.
    QTest::mouseClick(&opened->option(u"optJohken1"_s), Qt::LeftButton);
    opened->check(u"chkJidou"_s).click();
    QVERIFY(!opened->check(u"chkJidou"_s).isChecked());
    QVERIFY(desk.lastMessage() && desk.lastMessage()->text().contains(u"同時"_s));
    QVERIFY(!opened->window->desk()->watching());

    // Watching, 随時 is not taken.
    QTest::mouseClick(&opened->option(u"optJohken0"_s), Qt::LeftButton);
    opened->check(u"chkJidou"_s).click();
    QVERIFY(opened->check(u"chkJidou"_s).isChecked());
    QTest::mouseClick(&opened->option(u"optJohken1"_s), Qt::LeftButton);
    QVERIFY(opened->option(u"optJohken0"_s).isChecked());
    QCOMPARE(opened->window->printOptions().condition, PrintCondition::Simultaneous);
    QVERIFY(desk.lastMessage()->text().contains(u"随時"_s));
    QVERIFY(!desk.lastMessage()->isModal());
}

void AutoPrintTest::aRefusingPrinterIsToldOnceAndWatchingGoesOn()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    opened->printer->failing = true;
    opened->check(u"chkJidou"_s).click();
    AutoPrintDesk& desk = *opened->window->autoPrintDesk();
    QTRY_VERIFY_WITH_TIMEOUT(desk.lastMessage() && desk.lastMessage()->isVisible(), 10000);
    QVERIFY(desk.lastMessage()->text().contains(u"out of paper"_s));
    QCOMPARE(desk.lastMessage()->icon(), QMessageBox::Warning);
    QCOMPARE(statusOf(*meet, 1), kRaceReady);
    QTRY_COMPARE(desk.watch().state, AutoPrinter::State::Watching);
    QCOMPARE(desk.watch().heldBack, QSet<int>{1});
    QVERIFY(opened->check(u"chkJidou"_s).isChecked());
    QCOMPARE(opened->printer->documentAborts, 1);
}

// A print scheduler that does not answer: 接続待ち for the printer, nothing marked, told once
// while it stays silent; the retry that gets through prints, and the message and the waiting
// go with it.
void AutoPrintTest::aSilentSchedulerIsWaitedForAndTheRetryThatGetsThroughClearsTheMessage()
{
    auto meet = oneEventMeet();
    auto opened = openWindow([](DeskServices& services) {
        services.watchTiming.retryAfter = std::chrono::milliseconds(200);
    });
    opened->printer->schedulerSilent = true;
    opened->printer->failing = true;
    opened->check(u"chkJidou"_s).click();
    AutoPrintDesk& desk = *opened->window->autoPrintDesk();
    QTRY_VERIFY_WITH_TIMEOUT(desk.lastMessage() && desk.lastMessage()->isVisible(), 10000);
    const QPointer<QMessageBox> told = desk.lastMessage();
    QVERIFY(told->text().contains(u"did not answer"_s));
    QCOMPARE(told->icon(), QMessageBox::Warning);
    QTRY_COMPARE(desk.watch().state, AutoPrinter::State::WaitingForPrinter);
    QCOMPARE(stateLine(*opened).text(), u"プリンタ接続待ち"_s);
    QVERIFY(stateLine(*opened).toolTip().contains(u"did not answer"_s));

    // Tried again as for a refusing queue; the same silence is not told again.
    QVERIFY(opened->waitForRuns(3));
    QCOMPARE(desk.lastMessage(), told.data());
    QCOMPARE(statusOf(*meet, 1), kRaceReady);
    QCOMPARE(opened->printer->documentEnds, 0);

    opened->printer->failing = false;
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(*meet, 1), kRacePrinted, 10000);
    QTRY_VERIFY(!told);
    QTRY_COMPARE(desk.watch().state, AutoPrinter::State::Watching);
    QVERIFY(stateLine(*opened).text().startsWith(u"監視中"_s));
    QCOMPARE(opened->printer->documentEnds, 1);
}

void AutoPrintTest::closingDuringARunWaitsForTheEventInHand()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    bool closedDuringRun = true;
    QObject::connect(opened->window->desk(), &Desk::watchChanged, opened->window.get(),
                     [&](const WatchSnapshot& watch) {
                         if (watch.eventInHand == 1) {
                             opened->window->close();
                             closedDuringRun = !opened->window->isVisible();
                         }
                     });
    opened->check(u"chkJidou"_s).click();
    QTRY_VERIFY_WITH_TIMEOUT(!opened->window->isVisible(), 10000);
    QVERIFY(!closedDuringRun);
    QCOMPARE(statusOf(*meet, 1), kRacePrinted);
    QCOMPARE(opened->printer->documentEnds, 1);
}

QTEST_MAIN(AutoPrintTest)
#include "autoprint_test.moc"
