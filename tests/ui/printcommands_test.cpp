// What the window tells about runs that cannot begin, a layout file read in part, and
// numbers typed that the layout file could not give back.

#include "layout/layoutfile.h"
#include "meetdb/racestatus.h"
#include "platform/filelock.h"
#include "windowdriver.h"

#include <QApplication>

using namespace tarvel;
using namespace tarvel::testing;

class PrintCommandsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void runsThatCannotBeginAreToldAndTouchNothing();
    void repairedLayoutIsToldOnceAfterOpening();
    void numberBoxesRefuseWhatWouldNotReadBack();
};

void PrintCommandsTest::runsThatCannotBeginAreToldAndTouchNothing()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    const QByteArray before = readFileBytes(meet->dataPath(u"Race.dat"_s));
    MessageBoxCloser closer;

    // Another desk is printing the meet.
    std::optional<FileLock> held =
        FileLock::tryAcquire(meet->dataPath(u"tarvel.lock"_s), u"test"_s);
    QVERIFY(held);
    held->writeNote("program=tarvel-batch\npid=77\nhost=desk-2\nsince=2026-12-08T09:00:00\n");
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QTRY_COMPARE(closer.texts.size(), 1);
    QCOMPARE(closer.icons.last(), QMessageBox::Critical);
    QVERIFY2(closer.texts.last().contains(u"tarvel-batch (process 77 on desk-2)"_s),
             qPrintable(closer.texts.last()));
    held.reset();

    // A rank limit that reads as nothing.
    opened->retype(u"txtJun0"_s, u"abc"_s);
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QTRY_COMPARE(closer.texts.size(), 2);
    QVERIFY2(closer.texts.last().contains(u"\"abc\""_s), qPrintable(closer.texts.last()));

    QVERIFY(opened->printer->pages.isEmpty());
    QCOMPARE(readFileBytes(meet->dataPath(u"Race.dat"_s)), before);
}

void PrintCommandsTest::repairedLayoutIsToldOnceAfterOpening()
{
    auto meet = oneEventMeet();
    writeFileBytes(meet->dataPath(u"tarvel.dat"_s), "5,2,x,0,0,0,");
    auto opened = openWindow();
    QMessageBox* told = nullptr;
    QTRY_VERIFY((told = opened->window->findChild<QMessageBox*>(u"layoutRepair"_s)));
    QVERIFY(told->isVisible());
    QVERIFY2(told->text().contains(u"field 3"_s), qPrintable(told->text()));
    QCOMPARE(opened->edit(u"txtJun0"_s).text(), u"5"_s);
    told->done(QMessageBox::Ok);
    opened.reset();

    // The file was rewritten whole: the next start has nothing to tell.
    auto again = openWindow();
    // Whatever the window queued while it opened has run once a call queued after it has.
    bool settled = false;
    QMetaObject::invokeMethod(
        again->window.get(), [&] { settled = true; }, Qt::QueuedConnection);
    QTRY_VERIFY(settled);
    QCOMPARE(again->window->findChild<QMessageBox*>(u"layoutRepair"_s), nullptr);
}

void PrintCommandsTest::numberBoxesRefuseWhatWouldNotReadBack()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    opened->click(u"cmdGamen"_s);
    opened->retype(u"txtX4"_s, u"\"1,2\"3"_s);
    opened->retype(u"txtJun1"_s, u"\"4"_s);
    QCOMPARE(opened->edit(u"txtX4"_s).text(), u"123"_s);
    QCOMPARE(opened->edit(u"txtJun1"_s).text(), u"4"_s);

    opened->click(u"cmdGamen"_s); // narrowing saves
    Layout saved = defaultLayout();
    QCOMPARE(loadLayout(meet->locations(), saved).outcome, LayoutLoad::Complete);
    QCOMPARE(saved.items[4].x, u"123"_s);
    QCOMPARE(saved.rankLimitRelay, u"4"_s);
}

QTEST_MAIN(PrintCommandsTest)
#include "printcommands_test.moc"
