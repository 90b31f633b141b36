// The blank certificate behind the previews: placed as the sheet lies under the printed
// page, and read without ever holding the window up.

#include "platform/qt/fonts.h"
#include "platform/qt/pagesheet.h"
#include "ui/largepreview.h"
#include "ui/previewbox.h"
#include "windowdriver.h"

#include <QLabel>
#include <QPageLayout>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace tarvel;
using namespace tarvel::testing;

namespace {

constexpr int kName = 4;
constexpr double kMillimetresPerTwip = 25.4 / 1440.0;

/// A sheet as the operator knows it: paper in millimetres, printable area's corner in twips.
struct Stock {
    QSizeF millimetres;
    QPointF printableOrigin;
};

} // namespace

Q_DECLARE_METATYPE(Stock)

class BackdropTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFontSubstitutions(); }

    void anItemLiesOnTheBackdropWhereItLandsOnTheStock_data();
    void anItemLiesOnTheBackdropWhereItLandsOnTheStock();
    void aBackdropThatCannotBeReadIsToldAndTheWindowGoesOn_data();
    void aBackdropThatCannotBeReadIsToldAndTheWindowGoesOn();
};

void BackdropTest::anItemLiesOnTheBackdropWhereItLandsOnTheStock_data()
{
    QTest::addColumn<bool>("large");
    QTest::addColumn<bool>("printerSheet");
    QTest::addColumn<Stock>("stock");
    // The PDF files' page: A4, margins 195 twips across and 289 down.
    const Stock a4{{210.0, 297.0}, {195.0, 289.0}};
    // A printer's own page: Letter with a quarter inch of margin all round.
    const Stock letter{{215.9, 279.4}, {360.0, 360.0}};
    QTest::newRow("small preview, design page") << false << false << a4;
    QTest::newRow("large preview, design page") << true << false << a4;
    QTest::newRow("small preview, a printer's Letter") << false << true << letter;
    QTest::newRow("large preview, a printer's Letter") << true << true << letter;
}

void BackdropTest::anItemLiesOnTheBackdropWhereItLandsOnTheStock()
{
    QFETCH(bool, large);
    QFETCH(bool, printerSheet);
    QFETCH(Stock, stock);
    auto meet = emptyMeet();
    auto opened = openWindow();
    ui::FrmBrev& window = *opened->window;
    opened->click(u"cmdGamen"_s);
    opened->click(u"cmdKakudai"_s);
    QVERIFY(QTest::qWaitForWindowExposed(window.largePreview()));
    if (printerSheet)
        window.setPageSheet(
            PageSheet::of(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                      QMarginsF(18, 18, 18, 18), QPageLayout::Point)));
    opened->retype(u"txtX4"_s, u"1200"_s);
    opened->retype(u"txtY4"_s, u"1200"_s);

    QtPreviewSurface& surface =
        large ? window.largePreview()->dragger().surface() : window.preview().surface();
    // Where the preview put the item, as a share of the backdrop's sheet, in millimetres.
    const std::vector<QRectF> drawn = surface.textBoxes();
    const QPointF item = surface.toPixels(drawn.at(kName).topLeft());
    const QRectF sheet = surface.backdropRect();
    const QPointF onSheet((item.x() - sheet.left()) / sheet.width() * stock.millimetres.width(),
                          (item.y() - sheet.top()) / sheet.height() * stock.millimetres.height());
    const QPointF onStock = (stock.printableOrigin + QPointF(1200, 1200)) * kMillimetresPerTwip;
    QVERIFY2(std::abs(onSheet.x() - onStock.x()) <= 0.2,
             qPrintable(u"%1 mm across, %2 on the stock"_s.arg(onSheet.x()).arg(onStock.x())));
    QVERIFY2(std::abs(onSheet.y() - onStock.y()) <= 0.2,
             qPrintable(u"%1 mm down, %2 on the stock"_s.arg(onSheet.y()).arg(onStock.y())));
}

void BackdropTest::aBackdropThatCannotBeReadIsToldAndTheWindowGoesOn_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    QTest::newRow("a pipe, that no one writes") << u"fifo"_s << u"regular"_s;
    QTest::newRow("a file over the bound") << u"large"_s << u"larger than"_s;
    QTest::newRow("a folder") << u"folder"_s << u"folder"_s;
}

void BackdropTest::aBackdropThatCannotBeReadIsToldAndTheWindowGoesOn()
{
    QFETCH(QString, kind);
    QFETCH(QString, why);
    auto meet = emptyMeet();
    const QString image = meet->dataPath(u"blank.png"_s);
    if (kind == u"fifo"_s)
        QCOMPARE(::mkfifo(QFile::encodeName(image).constData(), 0600), 0);
    if (kind == u"folder"_s)
        QVERIFY(QDir().mkdir(image));
    if (kind == u"large"_s) {
        QFile sparse(image);
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(65) << 20));
    }
    writeFileBytes(meet->dataPath(u"tarvel.ini"_s), "[backdrop]\nimage=blank.png\nopacity=0.5\n");

    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    auto opened = openWindow(); // would never return if the window waited on the pipe
    const QLabel& status = child<QLabel>(*opened->window, u"lblJoutai"_s);
    QTRY_VERIFY_WITH_TIMEOUT(status.text().contains(u"blank.png"_s), 20000);
    QVERIFY2(status.toolTip().contains(why), qPrintable(status.toolTip()));
    QVERIFY(ticks > 0);
    const int before = ticks;
    opened->retype(u"txtText0"_s, u"まだ動く"_s);
    QVERIFY(opened->preview.lastTexts().contains(u"まだ動く"_s));
    QTRY_VERIFY(ticks > before);
    // The large preview says it too, beside its choice of backdrop.
    QVERIFY(
        child<QLabel>(*opened->window->largePreview(), u"backdropState"_s).text().contains(why));
}

QTEST_MAIN(BackdropTest)
#include "backdrop_test.moc"
