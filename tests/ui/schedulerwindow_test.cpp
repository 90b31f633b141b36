// The window printing the sample meet onto a private CUPS scheduler that stalls, goes away,
// stops its printer or loses a job: what is marked, what the ledger holds, what the operator
// is told, and a window that answers all the while (a timer keeps firing, 中止 is quick).

#include "ledger/ledger.h"
#include "meetdb/racestatus.h"
#include "platform/qt/fonts.h"
#include "privatescheduler.h"
#include "samplemeet.h"
#include "ui/printprogress.h"
#include "windowdriver.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>

using namespace tarvel;
using namespace tarvel::testing;

namespace {

enum class Fault { FrozenBefore, FrozenDuring, Gone, QueueDisabledThenJobCancelled };

/// A scheduler call waits this long at most: far longer than 中止 may take.
constexpr char kDeadlineMs[] = "30000";

QSet<int> markedRaces(const TempMeet& meet)
{
    const QByteArray statuses = readFileBytes(meet.dataPath(u"Race.dat"_s));
    QSet<int> marked;
    for (int raceNo = 1; raceNo <= statuses.size(); ++raceNo) {
        if (statuses[raceNo - 1] == kRacePrinted)
            marked << raceNo;
    }
    return marked;
}

/// The races of the certificates the ledger holds (the heats their finishers swam in).
QSet<int> recordedHeats(const TempMeet& meet)
{
    QSet<int> heats;
    if (!QFileInfo::exists(meet.dataPath(QString::fromUtf16(kLedgerFileName))))
        return heats;
    for (const LedgerEntry& entry : Ledger(meet.locations()).entries())
        heats << entry.certificate.heat;
    return heats;
}

QString textOf(ui::FrmBrev& window, const QString& name)
{
    return child<QLabel>(window, name).text();
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class SchedulerWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        registerFontSubstitutions();
        qputenv("TARVEL_SCHEDULER_DEADLINE_MS", kDeadlineMs);
    }
    void troubleAtTheScheduler_data();
    void troubleAtTheScheduler();
};

void SchedulerWindowTest::troubleAtTheScheduler_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("told"); ///< a pattern of what the operator reads
    // The window speaks the language of the machine: the tests' is English.
    QTest::newRow("frozenBefore")
        << Fault::FrozenBefore << u"stopped while waiting for the print scheduler .*cups\\.sock"_s;
    QTest::newRow("frozenDuring")
        << Fault::FrozenDuring << u"stopped while waiting for the print scheduler .*cups\\.sock"_s;
    QTest::newRow("gone") << Fault::Gone << u"gone\\.sock.*not running"_s;
    QTest::newRow("queueDisabledThenJobCancelled")
        << Fault::QueueDisabledThenJobCancelled << u"printer desk is stopped.*36 job"_s;
}

void SchedulerWindowTest::troubleAtTheScheduler()
{
    QFETCH(Fault, fault);
    QFETCH(QString, told);
    PrivateScheduler cups;
    if (const QString why = cups.start(); !why.isEmpty())
        QSKIP(qPrintable(u"no private CUPS scheduler here: "_s + why));
    cups.addFileQueue(u"desk"_s, true);
    cups.useInThisProcess();
    if (fault == Fault::Gone)
        qputenv("CUPS_SERVER", QFile::encodeName(cups.root() + u"/gone.sock"_s));
    if (fault == Fault::QueueDisabledThenJobCancelled)
        cups.tool(u"cupsdisable"_s, {u"desk"_s});
    auto meet = emptyMeet();
    sample::writeSampleMeet(meet->builder());
    const QByteArray before = readFileBytes(meet->dataPath(u"Race.dat"_s));
    auto opened = openWindow([](DeskServices& services) {
        services = DeskServices();
        services.jobPollInterval = std::chrono::milliseconds(200);
    });
    ui::FrmBrev& window = *opened->window;
    // One certificate per event: a run of 36 one-page jobs.
    opened->retype(u"txtJun0"_s, u"1"_s);
    opened->retype(u"txtJun1"_s, u"1"_s);
    MessageBoxCloser closer;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    if (fault == Fault::FrozenBefore)
        cups.freeze();

    opened->click(u"cmdInsatu"_s);
    if (fault == Fault::FrozenBefore || fault == Fault::FrozenDuring) {
        if (fault == Fault::FrozenDuring) {
            QVERIFY(QTest::qWaitFor([&] { return cups.spooledDocuments().size() >= 3; }, 60'000));
            cups.freeze();
        }
        // The run waits on the scheduler; the window goes on meanwhile.
        const int waitingFrom = ticks;
        QVERIFY(QTest::qWaitFor([&] { return ticks >= waitingFrom + 25; }, 5000));
        QVERIFY(window.desk()->running());
        auto* progress = qobject_cast<ui::PrintProgress*>(QApplication::activeModalWidget());
        QVERIFY(progress);
        QElapsedTimer stopping;
        stopping.start();
        QTest::mouseClick(&child<QPushButton>(*progress, u"cmdChuushi"_s), Qt::LeftButton);
        QVERIFY(opened->waitForRuns(1));
        QVERIFY2(stopping.elapsed() < 1000, qPrintable(QString::number(stopping.elapsed())));
    } else {
        QVERIFY(opened->waitForRuns(1));
    }
    QTRY_COMPARE(closer.texts.size(), 1);
    const QString message = closer.texts.first();
    window.desk()->finishRecording();

    switch (fault) {
    case Fault::FrozenBefore:
    case Fault::Gone:
        QCOMPARE(closer.icons.first(), QMessageBox::Warning);
        QCOMPARE(readFileBytes(meet->dataPath(u"Race.dat"_s)), before);
        QCOMPARE(ledgerDocuments(*meet), QStringList());
        break;
    case Fault::FrozenDuring: {
        // What the scheduler took is recorded and marked; the event in hand is not. A job
        // the scheduler spooled just as it froze, before it could answer, never reached the
        // desk as accepted: it may be the one spooled document without a record.
        const int spooled = int(cups.spooledDocuments().size());
        const int recorded = int(ledgerDocuments(*meet).size());
        QVERIFY2(recorded == spooled || recorded == spooled - 1,
                 qPrintable(u"%1 recorded, %2 spooled"_s.arg(recorded).arg(spooled)));
        const QSet<int> marked = markedRaces(*meet);
        QVERIFY(marked.contains(recordedHeats(*meet)));
        QVERIFY(!marked.isEmpty() && marked.size() < 61);
        break;
    }
    case Fault::QueueDisabledThenJobCancelled: {
        // Accepted jobs are delivered, waiting or not: all marked, all recorded, the printer
        // told stopped with its queue.
        QCOMPARE(markedRaces(*meet).size(), 61);
        QStringList ledger = ledgerDocuments(*meet);
        QCOMPARE(ledger.size(), 36);
        QCOMPARE(closer.icons.first(), QMessageBox::Warning);
        const QString strip = textOf(window, u"lblInsatsusaki"_s);
        QVERIFY2(strip.contains(u"desk"_s) && strip.contains(u"36"_s), qPrintable(strip));

        // One job cancelled at the scheduler: told on the strip with 再印刷, and the ledger
        // learns it.
        static const QRegularExpression firstJob(u"desk-(\\d+)"_s);
        const QString job =
            firstJob.match(cups.tool(u"lpstat"_s, {u"-o"_s, u"desk"_s})).captured(1);
        QVERIFY(!job.isEmpty());
        cups.tool(u"cancel"_s, {job});
        QTRY_VERIFY_WITH_TIMEOUT(opened->button(u"cmdSaiInsatu"_s).isVisible(), 10'000);
        QVERIFY(!textOf(window, u"lblShippai"_s).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(
            ledgerDocuments(*meet).filter(QRegularExpression(u"\\|canceled\\|"_s)).size() == 1,
            10'000);
        break;
    }
    }
    QVERIFY2(message.contains(QRegularExpression(told)), qPrintable(message));
    QVERIFY2(!message.contains(u"成功"_s) && !message.contains(u"Success"_s), qPrintable(message));
    QVERIFY(ticks > 0);
    ticker.stop();
    // Let a frozen scheduler go before it is stopped with the test.
    if (fault == Fault::FrozenBefore || fault == Fault::FrozenDuring)
        cups.kill();
}

QTEST_MAIN(SchedulerWindowTest)
#include "schedulerwindow_test.moc"
