// The window frmBrev driven through its controls, found by their names, on meets written
// into temporary folders.

#include "layout/drawing.h"
#include "layout/layoutfile.h"
#include "platform/qt/fonts.h"
#include "tempmeet.h"
#include "ui/deskstrip.h"
#include "ui/frmbrev.h"
#include "ui/itemdragger.h"
#include "ui/largepreview.h"
#include "ui/previewbox.h"
#include "ui/twips.h"
#include "windowdriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;
using namespace tarvel;
using namespace tarvel::testing;
using tarvel::ui::FrmBrev;

namespace {

/// Whether anything but white is in the image.
bool hasInk(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return true;
    return false;
}

/// Design twips as this screen's pixels.
QRect twips(const QWidget& widget, int left, int top, int width, int height)
{
    return ui::twipsRect(widget, left, top, width, height);
}

} // namespace

class FrmBrevTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFontSubstitutions(); }

    void firstStartWithoutLayoutFile();
    void captions_data();
    void captions();
    void places_data();
    void places();
    void widenAndNarrow();
    void closingAsksAboutLayoutEditsNotSaved_data();
    void closingAsksAboutLayoutEditsNotSaved();
    void narrowingSavesTheLayout();
    void previewOnlyIsClearedByNarrowing();
    void failureInAHandlerKeepsTheWindow();
};

void FrmBrevTest::firstStartWithoutLayoutFile()
{
    auto meet = emptyMeet();
    QVERIFY(!QFile::exists(meet->dataPath(u"tarvel.dat"_s)));
    auto opened = openWindow();
    FrmBrev& window = *opened->window;

    QCOMPARE(window.windowTitle(), u"Tarvel"_s);
    QCOMPARE(window.width(), FrmBrev::Width::Narrow);
    QCOMPARE(opened->button(u"cmdGamen"_s).text(), u">>"_s);
    // The design's client size, with the strip of history and automatic printing below it.
    QCOMPARE(window.size(), twips(window, 0, 0, 4290, 1770 + ui::DeskStrip::kHeightTwips).size());
    QVERIFY(!child<QWidget>(window, u"picBrev"_s).isVisible());
    QVERIFY(opened->button(u"cmdInsatu"_s).isVisible());

    // The defaults in the table and the boxes.
    const Layout defaults = defaultLayout();
    for (int i = 0; i < kItemCount; ++i) {
        const QString n = QString::number(i);
        QCOMPARE(opened->check(u"chkKoumoku"_s + n).checkState(), Qt::Checked);
        QCOMPARE(opened->edit(u"txtX"_s + n).text(), defaults.items[i].x);
        QCOMPARE(opened->edit(u"txtY"_s + n).text(), defaults.items[i].y);
        QCOMPARE(opened->edit(u"txtSizu"_s + n).text(), defaults.items[i].size);
    }
    QCOMPARE(opened->edit(u"txtX3"_s).text(), u"5758"_s);
    QCOMPARE(opened->edit(u"txtSizu17"_s).text(), u"80"_s);
    for (int k = 0; k < kFreeTextCount; ++k)
        QCOMPARE(opened->edit(u"txtText"_s + QString::number(k)).text(),
                 u"テキスト"_s + QString::number(k + 1));
    QCOMPARE(opened->edit(u"txtJun0"_s).text(), u"3"_s);
    QCOMPARE(opened->edit(u"txtJun1"_s).text(), u"3"_s);
    QCOMPARE(opened->edit(u"txtQbango"_s).text(), QString());
    QVERIFY(opened->check(u"chkInsatu"_s).isEnabled());
    QVERIFY(!opened->check(u"chkInsatu"_s).isChecked());
    for (const QString& selected :
         {u"optJohken0"_s, u"optKyori0"_s, u"optShu0"_s, u"optYoketu2"_s, u"optSei0"_s})
        QVERIFY2(opened->option(selected).isChecked(), qPrintable(selected));
    const PrintOptions options = window.printOptions();
    QCOMPARE(options.condition, PrintCondition::Simultaneous);
    QCOMPARE(options.round, 2);
    QCOMPARE(options.previewOnly, PreviewOnly::No);

    // What the start-up sets.
    QCOMPARE(child<QLabel>(window, u"lblTaikai"_s).text(), u"テスト大会"_s);
    QCOMPARE(child<QLabel>(window, u"lblBasho"_s).text(), u"テストプール"_s);
    QCOMPARE(child<QLabel>(window, u"lblVersion"_s).text(), u"Ver 2.00\n2003/02/24"_s);
    QCOMPARE(opened->window->desk()->fontFace(), QString::fromUtf16(kCertificateFace));
    // The preview shows the captions and free texts.
    QCOMPARE(opened->window->preview().surface().drawingCount(), 1);
    QCOMPARE(window.session().itemText, startupItemTexts(defaults));

    // The layout file is created with the 83 default fields.
    const QByteArray file = readFileBytes(meet->dataPath(u"tarvel.dat"_s));
    QCOMPARE(file, encodeLayout(defaults));
    QCOMPARE(file.count(','), 83);
    QVERIFY(file.startsWith("3,3,1,0,3200,35,1,0,4000,36,"));
}

void FrmBrevTest::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const QList<QPair<QString, QString>> rows = {
        {u"Label6"_s, u"大会名"_s},
        {u"Label7"_s, u"場   所"_s},
        {u"cmdInsatu"_s, u"印刷"_s},
        {u"chkInsatu"_s, u"プレビューのみ"_s},
        {u"Label1"_s, u"打出順位"_s},
        {u"Label2"_s, u"個人"_s},
        {u"Label3"_s, u"リレー"_s},
        {u"cmdTest"_s, u"テスト印刷"_s},
        {u"cmdFont"_s, u"フォント変更"_s},
        {u"Label40"_s, u"打出項目"_s},
        {u"Label41"_s, u"打出項目"_s},
        {u"Label50"_s, u"X軸　　　　　Y軸　　　　サイズ"_s},
        {u"Label51"_s, u"X軸　　　　　Y軸　　　　サイズ"_s},
        {u"Label9"_s, u"旧番号"_s},
        {u"chkKoumoku0"_s, u"種目"_s},
        {u"chkKoumoku9"_s, u"所属番号"_s},
        {u"chkKoumoku10"_s, u"年月日"_s},
        {u"chkKoumoku17"_s, u"テキスト5"_s},
        {u"chkKoumoku18"_s, u"区分"_s},
        {u"optJohken0"_s, u"同時"_s},
        {u"optJohken1"_s, u"随時"_s},
        {u"optKyori0"_s, u"全部"_s},
        {u"optKyori7"_s, u"1500"_s},
        {u"optShu5"_s, u"個メ"_s},
        {u"optShu6"_s, u"ＭＲ"_s},
        {u"optShu7"_s, u"ＦＲ"_s},
        {u"optYoketu3"_s, u"コン"_s},
        {u"optYoketu4"_s, u"準決"_s},
        {u"optSei2"_s, u"女子"_s},
    };
    for (const auto& [name, caption] : rows)
        QTest::newRow(qPrintable(name)) << name << caption;
}

void FrmBrevTest::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    auto meet = emptyMeet();
    auto opened = openWindow();
    QWidget& control = child<QWidget>(*opened->window, name);
    if (auto* label = qobject_cast<QLabel*>(&control))
        QCOMPARE(label->text(), caption);
    else
        QCOMPARE(qobject_cast<QAbstractButton*>(&control)->text(), caption);
    // Frames carry the groups' captions.
    if (name.startsWith(u"optKyori"_s))
        QCOMPARE(qobject_cast<QWidget*>(control.parent())->property("title").toString(), u"距離"_s);
}

void FrmBrevTest::places_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("design"); // twips

    QTest::newRow("lblTaikai") << u"lblTaikai"_s << QRect(840, 120, 2655, 255);
    QTest::newRow("cmdInsatu") << u"cmdInsatu"_s << QRect(120, 840, 2295, 495);
    QTest::newRow("chkInsatu") << u"chkInsatu"_s << QRect(120, 1400, 1575, 255);
    QTest::newRow("txtJun1") << u"txtJun1"_s << QRect(3120, 1080, 495, 270);
    QTest::newRow("cmdGamen") << u"cmdGamen"_s << QRect(3840, 0, 375, 1695);
    QTest::newRow("picBrev") << u"picBrev"_s << QRect(240, 1920, 3615, 4695);
    QTest::newRow("cmdFont") << u"cmdFont"_s << QRect(2760, 7320, 1095, 375);
    // Left column set: items 10, 11, 12, 18, 0, 1, 2, 13 to 17 from the top.
    QTest::newRow("chkKoumoku10") << u"chkKoumoku10"_s << QRect(4320, 360, 1215, 270);
    QTest::newRow("txtY18") << u"txtY18"_s << QRect(6240, 1440, 735, 270);
    QTest::newRow("txtSizu0") << u"txtSizu0"_s << QRect(7080, 1800, 615, 270);
    QTest::newRow("txtX2") << u"txtX2"_s << QRect(5400, 2520, 735, 270);
    QTest::newRow("chkKoumoku17") << u"chkKoumoku17"_s << QRect(4320, 4320, 1215, 270);
    // Right column set: items 3 to 9.
    QTest::newRow("chkKoumoku3") << u"chkKoumoku3"_s << QRect(8040, 360, 1215, 270);
    QTest::newRow("txtX4") << u"txtX4"_s << QRect(9120, 720, 735, 270);
    QTest::newRow("txtSizu9") << u"txtSizu9"_s << QRect(10800, 2520, 615, 270);
    // Free texts in the rows of items 13 to 17.
    QTest::newRow("txtText0") << u"txtText0"_s << QRect(7800, 2880, 3615, 270);
    QTest::newRow("txtText2") << u"txtText2"_s << QRect(7800, 3600, 3615, 270);
}

void FrmBrevTest::places()
{
    QFETCH(QString, name);
    QFETCH(QRect, design);
    auto meet = emptyMeet();
    auto opened = openWindow();
    const QWidget& control = child<QWidget>(*opened->window, name);
    QCOMPARE(control.geometry(),
             twips(control, design.x(), design.y(), design.width(), design.height()));
}

void FrmBrevTest::widenAndNarrow()
{
    auto meet = emptyMeet();
    auto opened = openWindow();
    FrmBrev& window = *opened->window;
    const QPoint place = window.pos();
    const QSize frame = window.frameGeometry().size() - window.geometry().size();

    // Each state keeps the design's width and at least its height; the strip runs along the
    // bottom, under every control of the state, and nothing is cut off.
    const auto expectSize = [&](int outerWidth, int outerHeight) {
        const QSize design = twips(window, 0, 0, outerWidth, outerHeight).size() - frame;
        QCOMPARE(window.size().width(), design.width());
        QVERIFY(window.height() >= design.height());
        const QWidget& strip = child<QWidget>(window, u"deskStrip"_s);
        QVERIFY(strip.geometry().bottom() < window.height());
        for (const QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control == &strip || !control->isVisible())
                continue;
            // The award list's switch and destination, and the e-certificates' switch, stand
            // in the wide part beside the strip.
            if (control->objectName() == u"chkHyoushou"_s
                || control->objectName() == u"cmbHyoushouSaki"_s
                || control->objectName() == u"chkDenshi"_s) {
                QVERIFY(control->x() > strip.geometry().right());
                QVERIFY(control->geometry().bottom() < window.height());
                continue;
            }
            QVERIFY2(control->geometry().bottom() <= strip.y(), qPrintable(control->objectName()));
        }
        QCOMPARE(window.minimumSize(), window.maximumSize());
    };
    opened->click(u"cmdGamen"_s);
    QCOMPARE(window.width(), FrmBrev::Width::Wide);
    QCOMPARE(opened->button(u"cmdGamen"_s).text(), u"<<"_s);
    expectSize(11625, 8295);
    QCOMPARE(window.pos(), place);
    QVERIFY(child<QWidget>(window, u"picBrev"_s).isVisible());
    QVERIFY(opened->edit(u"txtX4"_s).isVisible());

    // The drawing stays on show through narrowing and widening, without a redraw.
    const QImage before = child<QWidget>(window, u"picBrev"_s).grab().toImage();
    QVERIFY(hasInk(window.preview().surface().image()));
    const int drawings = window.preview().surface().drawingCount();
    opened->click(u"cmdGamen"_s);
    QCOMPARE(window.width(), FrmBrev::Width::Narrow);
    QCOMPARE(opened->button(u"cmdGamen"_s).text(), u">>"_s);
    expectSize(4395, 2085);
    QCOMPARE(window.pos(), place);
    QVERIFY(!opened->edit(u"txtX4"_s).isVisible());
    opened->click(u"cmdGamen"_s);
    QCOMPARE(window.preview().surface().drawingCount(), drawings);
    QCOMPARE(child<QWidget>(window, u"picBrev"_s).grab().toImage(), before);
}

void FrmBrevTest::closingAsksAboutLayoutEditsNotSaved_data()
{
    QTest::addColumn<QString>("edit");   // what is changed before closing
    QTest::addColumn<QString>("answer"); // the button pressed; empty: no question may come
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved"); // the next start shows the edit
    QTest::newRow("nothing changed: no question") << QString() << QString() << true << false;
    QTest::newRow("a box, 保存") << u"box"_s << u"save"_s << true << true;
    QTest::newRow("a box, 保存しない") << u"box"_s << u"discard"_s << true << false;
    QTest::newRow("a box, キャンセル") << u"box"_s << u"cancel"_s << false << false;
    QTest::newRow("the designer's widest width, 保存")
        << u"designer"_s << u"save"_s << true << true;
    QTest::newRow("saved by narrowing: no question") << u"narrowed"_s << QString() << true << true;
    QTest::newRow("a box, 保存 that fails: told, and the window stays")
        << u"unwritable"_s << u"save"_s << false << false;
}

void FrmBrevTest::closingAsksAboutLayoutEditsNotSaved()
{
    QFETCH(QString, edit);
    QFETCH(QString, answer);
    QFETCH(bool, closes);
    QFETCH(bool, saved);
    auto meet = emptyMeet();
    Layout edited;
    {
        auto opened = openWindow();
        FrmBrev& window = *opened->window;
        opened->click(u"cmdGamen"_s);
        if (edit == u"box"_s || edit == u"narrowed"_s || edit == u"unwritable"_s)
            opened->retype(u"txtX4"_s, u"1234"_s);
        if (edit == u"narrowed"_s)
            opened->click(u"cmdGamen"_s);
        if (edit == u"designer"_s) {
            opened->click(u"cmdKakudai"_s);
            window.largePreview()->dragger().select(4);
            child<QSpinBox>(*window.largePreview(), u"maxWidth"_s).setValue(1500);
        }
        const QString file = meet->dataPath(u"tarvel.dat"_s);
        if (edit == u"unwritable"_s) // a folder stands in the layout file's place
            QVERIFY(QFile::remove(file) && QDir().mkdir(file));
        edited = window.layout();
        std::deque<ModalScript::Step> steps{{u"unsavedLayout"_s, [answer](QWidget& box) {
                                                 QTest::mouseClick(&child<QPushButton>(box, answer),
                                                                   Qt::LeftButton);
                                             }}};
        if (edit == u"unwritable"_s) // the failure's message box, which has no name
            steps.push_back({QString(), [](QWidget& box) { box.close(); }});
        ModalScript script(std::move(steps));
        window.close();
        QCOMPARE(script.done(), !answer.isEmpty());
        QCOMPARE(window.isVisible(), !closes);
        if (!closes) {
            QCOMPARE(window.layout(), edited);
            if (edit != u"unwritable"_s)
                QCOMPARE(readFileBytes(file), encodeLayout(defaultLayout()));
            return;
        }
    }
    auto reopened = openWindow();
    QVERIFY(reopened->window->layout() == (saved ? edited : defaultLayout()));
}

void FrmBrevTest::narrowingSavesTheLayout()
{
    auto meet = emptyMeet();
    {
        auto opened = openWindow();
        opened->click(u"cmdGamen"_s);
        opened->retype(u"txtX4"_s, u"1234"_s);
        opened->click(u"cmdGamen"_s);
        Layout expected = defaultLayout();
        expected.items[4].x = u"1234"_s;
        QCOMPARE(readFileBytes(meet->dataPath(u"tarvel.dat"_s)), encodeLayout(expected));
        opened->window->close();
    }
    auto reopened = openWindow();
    QCOMPARE(reopened->edit(u"txtX4"_s).text(), u"1234"_s);
}

void FrmBrevTest::previewOnlyIsClearedByNarrowing()
{
    auto meet = emptyMeet();
    auto opened = openWindow();
    QCheckBox& previewOnly = opened->check(u"chkInsatu"_s);
    QTest::mouseClick(&previewOnly, Qt::LeftButton, {}, QPoint(8, previewOnly.height() / 2));
    QVERIFY(previewOnly.isChecked());
    QCOMPARE(opened->window->printOptions().previewOnly, PreviewOnly::Yes);

    opened->click(u"cmdGamen"_s);
    QVERIFY(previewOnly.isChecked());
    opened->click(u"cmdGamen"_s);
    QVERIFY(!previewOnly.isChecked());
    QVERIFY(!previewOnly.isEnabled());
    QCOMPARE(opened->window->printOptions().previewOnly, PreviewOnly::No);
    opened->click(u"cmdGamen"_s);
    QVERIFY(!previewOnly.isChecked());
    QVERIFY(previewOnly.isEnabled());
}

void FrmBrevTest::failureInAHandlerKeepsTheWindow()
{
    auto meet = emptyMeet();
    auto opened = openWindow();
    opened->click(u"cmdGamen"_s);
    // The layout file can no longer be written: a folder stands in its place.
    const QString layoutFile = meet->dataPath(u"tarvel.dat"_s);
    QVERIFY(QFile::remove(layoutFile));
    QVERIFY(QDir().mkdir(layoutFile));
    MessageBoxCloser closer;

    opened->click(u"cmdTest"_s); // saving the layout fails before any run
    QTRY_COMPARE(closer.texts.size(), 1);
    QCOMPARE(closer.icons.first(), QMessageBox::Critical);
    QVERIFY2(closer.texts.first().contains(u"tarvel.dat"_s), qPrintable(closer.texts.first()));
    QVERIFY(opened->printer->pages.isEmpty()); // the test page was abandoned

    // Narrowing fails the same way and the window stays wide; the rest goes on working.
    QCheckBox& previewOnly = opened->check(u"chkInsatu"_s);
    previewOnly.setChecked(true);
    opened->click(u"cmdGamen"_s);
    QTRY_COMPARE(closer.texts.size(), 2);
    QCOMPARE(opened->window->width(), FrmBrev::Width::Wide);
    QCOMPARE(opened->button(u"cmdGamen"_s).text(), u"<<"_s);
    QVERIFY(previewOnly.isChecked());
    QVERIFY(opened->window->isVisible());
    opened->retype(u"txtText0"_s, u"まだ動く"_s);
    QVERIFY(opened->preview.lastTexts().contains(u"まだ動く"_s));

    QVERIFY(QDir().rmdir(layoutFile));
    opened->click(u"cmdGamen"_s);
    QTRY_COMPARE(closer.texts.size(), 2);
    QCOMPARE(opened->window->width(), FrmBrev::Width::Narrow);
}

QTEST_MAIN(FrmBrevTest)
#include "frmbrev_test.moc"
