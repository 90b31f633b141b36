// The large preview driven with the mouse and keys: items dragged and nudged into place,
// undone, their widest widths, the blank certificate behind both previews, the printer's
// calibration, and the status line for characters no face can draw.

#include "layout/calibrationpage.h"
#include "layout/layoutfile.h"
#include "layout/layoutini.h"
#include "platform/numbers.h"
#include "platform/printeroffset.h"
#include "platform/qt/fonts.h"
#include "ui/largepreview.h"
#include "ui/previewbox.h"
#include "ui/twips.h"
#include "windowdriver.h"

#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QSpinBox>

using namespace Qt::StringLiterals;
using namespace tarvel;
using namespace tarvel::testing;

namespace {

constexpr int kName = 4; // 名前, 40 points

/// A started, widened window with its large preview open.
struct Designer {
    std::unique_ptr<TempMeet> meet = emptyMeet();
    std::unique_ptr<Opened> opened = openWindow();
    ui::LargePreview* large = nullptr;

    Designer()
    {
        opened->click(u"cmdGamen"_s);
        opened->click(u"cmdKakudai"_s);
        large = opened->window->largePreview();
        if (!large || !QTest::qWaitForWindowExposed(large))
            throw std::runtime_error("the large preview was not shown");
    }
    ui::ItemDragger& page() { return large->dragger(); }
    QString x(int item) { return opened->edit(u"txtX"_s + QString::number(item)).text(); }
    QString y(int item) { return opened->edit(u"txtY"_s + QString::number(item)).text(); }
    /// A point inside the item's text, in the page's pixels.
    QPoint inside(int item)
    {
        return page()
            .toPixels(QPointF(numericValue(x(item)) + 200, numericValue(y(item)) + 200))
            .toPoint();
    }
    void press(QPoint at) { QTest::mousePress(&page(), Qt::LeftButton, Qt::NoModifier, at); }
    void move(QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(QEvent::MouseMove, to, page().mapToGlobal(to), Qt::NoButton,
                          Qt::LeftButton, modifiers);
        QApplication::sendEvent(&page(), &event);
    }
    void release(QPoint at) { QTest::mouseRelease(&page(), Qt::LeftButton, Qt::NoModifier, at); }
    /// The twips the pointer travels from `from` to `to`.
    QPointF travel(QPoint from, QPoint to) { return page().toTwips(to) - page().toTwips(from); }
};

/// An image of one colour in `format` ("png", "jpg" or "pdf") in `folder`.
QString writeColouredPage(const QString& folder, const QString& format, QColor colour)
{
    const QString file = folder + u"/blank."_s + format;
    if (format != u"pdf"_s) {
        QImage image(160, 226, QImage::Format_RGB32);
        image.fill(colour);
        image.save(file);
        return file;
    }
    QPdfWriter writer(file);
    writer.setPageMargins(QMarginsF());
    QPainter painter(&writer);
    painter.fillRect(QRect(0, 0, writer.width(), writer.height()), colour);
    return file;
}

bool isReddish(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 180 && qBlue(pixel) < 180;
}

} // namespace

class DesignerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFontSubstitutions(); }

    void dragPlacesTheItemOnTheGridAndTheLayoutIsSavedWithIt();
    void arrowKeysNudgeAndUndoGoesBackStepByStep();
    void theWidestWidthIsKeptInTheIniNotInTheLayoutFile();
    void backdropIsShownBehindBothPreviewsAndRemembered_data();
    void backdropIsShownBehindBothPreviewsAndRemembered();
    void calibrationIsKeptPerPrinterAndItsPagePrints();
    void characterNoFaceCanDrawIsToldInTheStatusLine();
    void theWidestWidthIsTypedLikeAnyNumberAndEnterPressesNothing();
    void narrowingClosesTheLargePreviewAndGivesTheNarrowWindow();
};

void DesignerTest::dragPlacesTheItemOnTheGridAndTheLayoutIsSavedWithIt()
{
    Designer designer;
    const int x0 = designer.x(kName).toInt();
    const int y0 = designer.y(kName).toInt();
    const int drawings = designer.opened->preview.drawings;
    const QPoint from = designer.inside(kName);
    const QPoint to = from + QPoint(37, 23);
    designer.press(from);
    designer.move(from + QPoint(5, 5));
    designer.move(to);
    designer.release(to);

    const QPointF moved = designer.travel(from, to);
    const int x = designer.x(kName).toInt();
    const int y = designer.y(kName).toInt();
    QCOMPARE(x % kSnapTwips, 0);
    QCOMPARE(y % kSnapTwips, 0);
    QVERIFY2(std::abs(x - (x0 + moved.x())) <= kSnapTwips / 2.0, qPrintable(designer.x(kName)));
    QVERIFY2(std::abs(y - (y0 + moved.y())) <= kSnapTwips / 2.0, qPrintable(designer.y(kName)));
    // The small preview followed each move, at one third.
    QCOMPARE(designer.opened->preview.drawings, drawings + 2);
    const auto drawn = designer.opened->preview.last.at(kName);
    QVERIFY(std::abs(drawn.x - x / 3.0) < 0.01);

    // With Shift the item lands on whole twips off the grid.
    const QPoint again = designer.inside(kName);
    designer.press(again);
    designer.move(again + QPoint(3, 0), Qt::ShiftModifier);
    designer.release(again + QPoint(3, 0));
    const double free = x + designer.travel(again, again + QPoint(3, 0)).x();
    QCOMPARE(designer.x(kName).toInt(), int(std::lround(free)));

    // Narrowing saves the layout as typing would have.
    designer.opened->click(u"cmdGamen"_s);
    const QByteArray file = readFileBytes(designer.meet->dataPath(u"tarvel.dat"_s));
    QCOMPARE(file, encodeLayout(designer.opened->window->layout()));
    QVERIFY(file.contains("," + designer.x(kName).toLatin1() + "," + QByteArray::number(y) + ","));
}

void DesignerTest::arrowKeysNudgeAndUndoGoesBackStepByStep()
{
    Designer designer;
    const QString x0 = designer.x(kName);
    const QString y0 = designer.y(kName);
    QTest::mouseClick(&designer.page(), Qt::LeftButton, Qt::NoModifier, designer.inside(kName));
    QCOMPARE(designer.x(kName), x0); // a click without travel moves nothing
    QTest::keyClick(&designer.page(), Qt::Key_Right);
    QTest::keyClick(&designer.page(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&designer.page(), Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(designer.x(kName).toInt(), x0.toInt() + 10 - 100);
    QCOMPARE(designer.y(kName).toInt(), y0.toInt() + 100);

    const QPoint from = designer.inside(kName);
    designer.press(from);
    designer.move(from + QPoint(0, 40));
    designer.release(from + QPoint(0, 40));
    QVERIFY(designer.y(kName).toInt() > y0.toInt() + 100);

    QTest::keyClick(&designer.page(), Qt::Key_Z, Qt::ControlModifier); // the drag
    QCOMPARE(designer.y(kName).toInt(), y0.toInt() + 100);
    QTest::keyClick(&designer.page(), Qt::Key_Z, Qt::ControlModifier); // Shift+Left
    QCOMPARE(designer.x(kName).toInt(), x0.toInt() + 10);
    QTest::keyClick(&designer.page(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&designer.page(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(designer.x(kName), x0);
    QCOMPARE(designer.y(kName), y0);
    QVERIFY(!designer.page().undo());
}

void DesignerTest::theWidestWidthIsKeptInTheIniNotInTheLayoutFile()
{
    Designer designer;
    designer.page().select(kName);
    const ItemLayout name = designer.opened->window->layout().items[kName];
    QSpinBox& widest = child<QSpinBox>(*designer.large, u"maxWidth"_s);
    QCOMPARE(widest.value(), 0);
    widest.setValue(1500);
    QCOMPARE(designer.opened->window->layout().items[kName].maxWidth, 1500);
    const QPoint edge =
        designer.page()
            .toPixels(QPointF(numericValue(name.x) + 1500, numericValue(name.y) + 200))
            .toPoint();
    // The red mark at the widest width is dragged out to the right.
    designer.press(edge);
    designer.move(edge + QPoint(30, 0));
    designer.release(edge + QPoint(30, 0));
    const int dragged = designer.opened->window->layout().items[kName].maxWidth;
    QVERIFY2(dragged > 1800 && dragged % kSnapTwips == 0, qPrintable(QString::number(dragged)));
    QCOMPARE(widest.value(), dragged);
    QCOMPARE(designer.x(kName), name.x); // the item stays where it was

    designer.opened->click(u"cmdGamen"_s); // saves
    const QString ini = QString::fromUtf8(readFileBytes(designer.meet->dataPath(u"tarvel.ini"_s)));
    QVERIFY2(ini.contains(u"[item4]\nmaxWidth=%1"_s.arg(dragged)), qPrintable(ini));
    QCOMPARE(readFileBytes(designer.meet->dataPath(u"tarvel.dat"_s)),
             encodeLayout(defaultLayout()));
    designer.opened->window->close();
    auto reopened = openWindow();
    QCOMPARE(reopened->window->layout().items[kName].maxWidth, dragged);
}

void DesignerTest::backdropIsShownBehindBothPreviewsAndRemembered_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("png") << u"png"_s;
    QTest::newRow("jpeg") << u"jpg"_s;
    QTest::newRow("pdf first page, through pdftoppm") << u"pdf"_s;
}

void DesignerTest::backdropIsShownBehindBothPreviewsAndRemembered()
{
    QFETCH(QString, format);
    Designer designer;
    const QString image =
        writeColouredPage(designer.meet->builder().dataDirPath(), format, QColor(255, 0, 0));
    designer.large->chooseBackdrop(image);
    const QImage& small = designer.opened->window->preview().surface().image();
    QTRY_VERIFY_WITH_TIMEOUT(isReddish(small.pixel(2, small.height() - 3)), 20000);
    QVERIFY(isReddish(designer.page().surface().image().pixel(2, 2)));
    const QString ini = QString::fromUtf8(readFileBytes(designer.meet->dataPath(u"tarvel.ini"_s)));
    QVERIFY2(ini.contains(u"image=blank."_s + format), qPrintable(ini));

    designer.opened->window->close();
    auto reopened = openWindow();
    const QImage& again = reopened->window->preview().surface().image();
    QTRY_VERIFY_WITH_TIMEOUT(isReddish(again.pixel(2, again.height() - 3)), 20000);
    QCOMPARE(child<QLabel>(*reopened->window, u"lblJoutai"_s).text(), QString());
}

void DesignerTest::calibrationIsKeptPerPrinterAndItsPagePrints()
{
    Designer designer;
    child<QSpinBox>(*designer.large, u"offsetX"_s).setValue(-120);
    child<QSpinBox>(*designer.large, u"offsetY"_s).setValue(45);
    const QLabel& told = child<QLabel>(*designer.large, u"calibrationState"_s);
    QCOMPARE(told.text(), QString());
    QTest::mouseClick(&child<QPushButton>(*designer.large, u"saveOffset"_s), Qt::LeftButton);
    QCOMPARE(loadPrinterOffset(u"recorder"_s), (PageOffset{-120, 45}));
    QCOMPARE(loadPrinterOffset(u"another"_s), PageOffset{});
    // Each button says what it did, and where.
    QVERIFY2(told.text().contains(u"recorder"_s) && told.text().contains(u"X -120, Y 45"_s),
             qPrintable(told.text()));

    const int runs = designer.opened->runsFinished;
    QTest::mouseClick(&child<QPushButton>(*designer.large, u"printCalibration"_s), Qt::LeftButton);
    QVERIFY(designer.opened->waitForRuns(runs + 1));
    RecordingPrinter& printer = *designer.opened->printer; // opened again by the save
    QCOMPARE(printer.documentEnds, 1);
    QCOMPARE(printer.pages.size(), 1);
    QVERIFY(printer.pages.first().join(u'\n').contains(u"X -120, Y 45"_s));
    designer.opened->window->desk()->finishRecording();
    QCOMPARE(ledgerDocuments(*designer.meet),
             QStringList{u"calibration|"_s + calibrationPageTitle() + u"|pending|0"_s});
    QVERIFY2(told.text().contains(u"recorder"_s) && told.text().contains(u"1"_s)
                 && !told.text().contains(u"-120"_s),
             qPrintable(told.text()));
    savePrinterOffset(u"recorder"_s, {});
}

void DesignerTest::theWidestWidthIsTypedLikeAnyNumberAndEnterPressesNothing()
{
    Designer designer;
    designer.page().select(kName);
    QSpinBox& widest = child<QSpinBox>(*designer.large, u"maxWidth"_s);
    designer.large->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(designer.large));
    widest.setFocus();
    widest.selectAll();
    // Typed as the operator types: each key goes wherever the focus is at that moment.
    for (const char key : {'1', '5', '0', '0'})
        QTest::keyClick(QApplication::focusWidget(), key);
    QVERIFY(widest.hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(designer.opened->window->layout().items[kName].maxWidth, 1500);
    QCOMPARE(widest.value(), 1500);
    QVERIFY(widest.hasFocus());
    // One typed number is one step to undo.
    QTest::mouseClick(&child<QPushButton>(*designer.large, u"undo"_s), Qt::LeftButton);
    QCOMPARE(designer.opened->window->layout().items[kName].maxWidth, 0);
    QVERIFY(!designer.page().undo());
}

void DesignerTest::narrowingClosesTheLargePreviewAndGivesTheNarrowWindow()
{
    Designer designer;
    ui::FrmBrev& window = *designer.opened->window;
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    designer.opened->click(u"cmdGamen"_s);
    QVERIFY(!designer.large->isVisible());
    QCOMPARE(window.size().width(), ui::twipsRect(window, 0, 0, 4395, 0).width() - frame.width());
    QVERIFY(window.height() < ui::twipsRect(window, 0, 0, 0, 4000).height());
    // Widening brings the window back; the large preview comes when asked, as it was.
    designer.opened->click(u"cmdGamen"_s);
    QVERIFY(!designer.large->isVisible());
    designer.opened->click(u"cmdKakudai"_s);
    QVERIFY(QTest::qWaitForWindowExposed(designer.large));
}

void DesignerTest::characterNoFaceCanDrawIsToldInTheStatusLine()
{
    auto meet = emptyMeet();
    auto opened = openWindow();
    opened->click(u"cmdGamen"_s);
    QLabel& status = child<QLabel>(*opened->window, u"lblJoutai"_s);
    QCOMPARE(status.text(), QString());
    opened->retype(u"txtText0"_s, u"賞\uE000状"_s);
    QVERIFY2(status.text().contains(u"テキスト1"_s) && status.text().contains(u"U+E000"_s),
             qPrintable(status.text()));
    opened->retype(u"txtText0"_s, u"賞状"_s);
    QCOMPARE(status.text(), QString());
}

QTEST_MAIN(DesignerTest)
#include "designer_test.moc"
