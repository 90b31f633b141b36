// Editing the certificate's items in the widened window: every edit redraws the preview,
// free texts show at once, the switches and the font.

#include "layout/drawing.h"
#include "layout/layoutfile.h"
#include "platform/qt/fonts.h"
#include "tempmeet.h"
#include "ui/frmbrev.h"
#include "ui/previewbox.h"
#include "windowdriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace tarvel;
using namespace tarvel::testing;
using tarvel::ui::FrmBrev;

class ItemEditTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFontSubstitutions(); }

    void typingIntoASizeBoxRedrawsEachTime();
    void freeTextShowsAtOnce();
    void freeTextThatCannotBeStoredIsRefused();
    void grayedSwitchFromTheFile();
    void fontButtonSetsTheFaceWithoutRedrawing();
};

void ItemEditTest::typingIntoASizeBoxRedrawsEachTime()
{
    auto meet = emptyMeet();
    auto opened = openWindow();
    opened->click(u"cmdGamen"_s);
    const int drawings = opened->window->preview().surface().drawingCount();
    QCOMPARE(opened->preview.drawings, 0);

    QTest::keyClicks(&opened->edit(u"txtSizu1"_s), u"9"_s);
    QCOMPARE(opened->preview.drawings, 1);
    QTest::keyClicks(&opened->edit(u"txtSizu1"_s), u"0"_s);
    QCOMPARE(opened->preview.drawings, 2);
    QTest::keyClick(&opened->edit(u"txtSizu1"_s), Qt::Key_Backspace);
    QCOMPARE(opened->preview.drawings, 3);
    QCOMPARE(opened->window->preview().surface().drawingCount(), drawings + 3);
    // Item 1 ("記録") now at "369" points on paper, a third of it in the preview.
    const QList<DrawnText>& last = opened->preview.last;
    const auto record = std::find_if(last.begin(), last.end(),
                                     [](const DrawnText& t) { return t.text == u"記録"_s; });
    QVERIFY(record != last.end());
    QCOMPARE(record->points, 369.0 / 3);

    // The other boxes of the table redraw too; a switch redraws on its click.
    QTest::keyClicks(&opened->edit(u"txtY5"_s), u"1"_s);
    QTest::keyClicks(&opened->edit(u"txtJun1"_s), u"1"_s);
    QCOMPARE(opened->preview.drawings, 5);
    QTest::mouseClick(&opened->check(u"chkKoumoku1"_s), Qt::LeftButton, {},
                      QPoint(8, opened->check(u"chkKoumoku1"_s).height() / 2));
    QCOMPARE(opened->preview.drawings, 6);
    QVERIFY(!opened->preview.lastTexts().contains(u"記録"_s));
    // Options and the number prefix have no handler.
    QTest::keyClicks(&opened->edit(u"txtQbango"_s), u"12"_s);
    QTest::mouseClick(&opened->option(u"optSei1"_s), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(opened->option(u"optSei1"_s).isChecked());
    QCOMPARE(opened->preview.drawings, 6);
}

void ItemEditTest::freeTextShowsAtOnce()
{
    auto meet = emptyMeet();
    auto opened = openWindow();
    opened->click(u"cmdGamen"_s);
    opened->retype(u"txtText2"_s, u"祝 優勝"_s);

    QCOMPARE(opened->window->session().itemText[15], u"祝 優勝"_s);
    // Item 15 stands at (0, 8000) with size 60 on paper: a third of each in the preview.
    const QList<DrawnText>& last = opened->preview.last;
    const auto drawn = std::find_if(last.begin(), last.end(),
                                    [](const DrawnText& t) { return t.text == u"祝 優勝"_s; });
    QVERIFY(drawn != last.end());
    QCOMPARE(drawn->x, 0.0);
    QCOMPARE(drawn->y, double(float(8000.0 / 3))); // positions are single precision
    QCOMPARE(drawn->points, 20.0);
    QVERIFY(!opened->preview.lastTexts().contains(u"テキスト3"_s));
    QCOMPARE(opened->window->layout().freeTexts[2], u"祝 優勝"_s);
}

void ItemEditTest::freeTextThatCannotBeStoredIsRefused()
{
    auto meet = emptyMeet();
    auto opened = openWindow();
    opened->click(u"cmdGamen"_s);
    // A comma needs quotes in the file; a double quote inside quotes cannot be written.
    opened->retype(u"txtText0"_s, u"1,2\"3"_s);
    QCOMPARE(opened->edit(u"txtText0"_s).text(), u"1,23"_s);
    // Without the comma a double quote is plain text.
    opened->retype(u"txtText1"_s, u"a\"b"_s);
    QCOMPARE(opened->edit(u"txtText1"_s).text(), u"a\"b"_s);

    opened->click(u"cmdGamen"_s); // saves
    Layout loaded = defaultLayout();
    QCOMPARE(loadLayout(meet->locations(), loaded).outcome, LayoutLoad::Complete);
    QCOMPARE(loaded.freeTexts[0], u"1,23"_s);
    QCOMPARE(loaded.freeTexts[1], u"a\"b"_s);
}

void ItemEditTest::grayedSwitchFromTheFile()
{
    auto meet = emptyMeet();
    Layout layout = defaultLayout();
    layout.items[0].switchState = kSwitchGrayed;
    layout.items[4].switchState = kSwitchOff;
    saveLayout(meet->locations(), layout);
    auto opened = openWindow();

    QCOMPARE(opened->check(u"chkKoumoku0"_s).checkState(), Qt::PartiallyChecked);
    QCOMPARE(opened->check(u"chkKoumoku4"_s).checkState(), Qt::Unchecked);
    opened->click(u"cmdGamen"_s);
    opened->click(u"cmdGamen"_s); // narrowing saves: the grayed state goes back as 2
    QCOMPARE(readFileBytes(meet->dataPath(u"tarvel.dat"_s)), encodeLayout(layout));

    opened->click(u"cmdGamen"_s);
    QCheckBox& box = opened->check(u"chkKoumoku0"_s);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, box.height() / 2));
    QCOMPARE(box.checkState(), Qt::Checked);
    QVERIFY(opened->preview.lastTexts().contains(u"種目"_s));
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, box.height() / 2));
    QCOMPARE(box.checkState(), Qt::Unchecked);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, box.height() / 2));
    QCOMPARE(box.checkState(), Qt::Checked);
}

void ItemEditTest::fontButtonSetsTheFaceWithoutRedrawing()
{
    auto meet = emptyMeet();
    auto opened = openWindow();
    opened->click(u"cmdGamen"_s);
    const int drawings = opened->window->preview().surface().drawingCount();

    QTimer::singleShot(50, this, [] {
        auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        QFont chosen(u"IPAPMincho"_s);
        chosen.setPointSize(30);
        chosen.setBold(true);
        dialog->setCurrentFont(chosen);
        dialog->accept();
    });
    opened->click(u"cmdFont"_s);

    QCOMPARE(opened->window->preview().surface().fontFace(), u"IPAPMincho"_s);
    QCOMPARE(opened->window->preview().surface().drawingCount(), drawings);
    // The printer takes it from the next page on.
    QVERIFY(opened->clickAndWait(u"cmdTest"_s));
    QCOMPARE(opened->printer->face, u"IPAPMincho"_s);
}

QTEST_MAIN(ItemEditTest)
#include "itemedit_test.moc"
