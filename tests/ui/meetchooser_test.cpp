// Finding the meet from anywhere: the chooser that comes up when the location file is not
// where the program looked, driven through its controls.

#include "meetdb/meetplaces.h"
#include "ui/program.h"
#include "windowdriver.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>

#include <deque>
#include <functional>

using namespace tarvel;
using namespace tarvel::testing;

namespace {

void click(QWidget& dialog, const QString& button)
{
    QTest::mouseClick(&child<QPushButton>(dialog, button), Qt::LeftButton);
}

/// Types a path into Qt's file dialog and presses its Open button, as the operator would.
void typeFileName(QWidget& dialog, const QString& path)
{
    child<QLineEdit>(dialog, u"fileNameEdit"_s).setText(path);
    static_cast<QDialog&>(dialog).accept();
}

DeskServices recorder()
{
    DeskServices services;
    services.openTarget = [](const DataLocations&) {
        PrintTarget target;
        target.device = std::make_unique<RecordingPrinter>();
        return target;
    };
    return services;
}

} // namespace

class MeetChooserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cancellingEndsTheProgramAndWritesNothing();
    void aChosenLocationFileStartsTheWindowOnItsMeetAndIsRemembered();
    void aChoiceWithoutLocationFileIsToldAndTheChooserStays();

private:
    QTemporaryDir settings_;
};

void MeetChooserTest::initTestCase()
{
    // The remembered meets go to a settings folder of the test's own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings_.path()));
}

void MeetChooserTest::cancellingEndsTheProgramAndWritesNothing()
{
    TempMeet meet; // a work folder without ../ctl/dr_kyo.ctl
    QDir::setCurrent(meet.builder().workDir());
    QString told;
    ModalScript script({{u"meetChooser"_s, [&](QWidget& chooser) {
                             told = child<QLabel>(chooser, u"lblLookedFor"_s).text();
                             click(chooser, u"cmdCancel"_s);
                         }}});
    QVERIFY(!ui::openMainWindow(recorder()));
    QVERIFY(script.done());
    QVERIFY2(told.contains(u"dr_kyo.ctl"_s), qPrintable(told));
    QVERIFY2(told.contains(meet.builder().workDir()), qPrintable(told));
    QVERIFY(!QFile::exists(meet.dataPath(u"tarvel.dat"_s)));
}

void MeetChooserTest::aChosenLocationFileStartsTheWindowOnItsMeetAndIsRemembered()
{
    auto meet = emptyMeet();
    const QString ctl = meet->builder().root() + u"/ctl"_s;
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());
    ModalScript browse(
        {{u"meetChooser"_s, [](QWidget& chooser) { click(chooser, u"cmdChoose"_s); }},
         {u"meetFileDialog"_s,
          [&](QWidget& dialog) { typeFileName(dialog, ctl + u"/dr_kyo.ctl"_s); }}});
    std::unique_ptr<ui::FrmBrev> window = ui::openMainWindow(recorder());
    QVERIFY(window);
    QVERIFY(browse.done());
    QCOMPARE(window->session().where.dataDir, meet->locations().dataDir);
    QCOMPARE(window->session().meet.meetName, u"テスト大会"_s);
    QVERIFY(QFile::exists(meet->dataPath(u"tarvel.dat"_s)));
    QCOMPARE(RememberedMeets::list(), QStringList{ctl});
    window.reset();

    // The next time, from anywhere, the meet is offered first.
    QDir::setCurrent(elsewhere.path());
    QString offered;
    ModalScript again({{u"meetChooser"_s, [&](QWidget& chooser) {
                            offered = child<QListWidget>(chooser, u"lstMeets"_s).item(0)->text();
                            click(chooser, u"cmdOpen"_s);
                        }}});
    window = ui::openMainWindow(recorder());
    QVERIFY(window);
    QCOMPARE(QDir::fromNativeSeparators(offered), ctl);
    QCOMPARE(window->session().where.dataDir, meet->locations().dataDir);
}

void MeetChooserTest::aChoiceWithoutLocationFileIsToldAndTheChooserStays()
{
    QTemporaryDir nothing;
    QDir::setCurrent(nothing.path());
    QString warning;
    ModalScript script(
        {{u"meetChooser"_s, [](QWidget& chooser) { click(chooser, u"cmdChoose"_s); }},
         {u"meetFileDialog"_s,
          [&](QWidget& dialog) { typeFileName(dialog, nothing.path() + u"/dr_kyo.ctl"_s); }},
         {QString(),
          [&](QWidget& box) {
              warning = static_cast<QMessageBox&>(box).text();
              static_cast<QMessageBox&>(box).accept();
          }},
         {u"meetChooser"_s, [](QWidget& chooser) { click(chooser, u"cmdCancel"_s); }}});
    QVERIFY(!ui::openMainWindow(recorder()));
    QVERIFY(script.done());
    QVERIFY2(warning.contains(nothing.path()), qPrintable(warning));
}

QTEST_MAIN(MeetChooserTest)
#include "meetchooser_test.moc"
