// Drawing a certificate: the preview is redrawn at every keystroke in the layout table, so
// one drawPreview must stay well under a millisecond; printPage to PDF files is what a
// print run does per certificate when there is no printer. Dragging an item in the large
// preview redraws both previews (each over the blank certificate) at every mouse move,
// checks the texts for characters no face can draw and measures the item boxes for the
// selection's outline: the median move must fit in a frame, under 4 ms.
#include "layout/drawing.h"
#include "platform/previewtee.h"
#include "platform/qt/fonts.h"
#include "platform/qt/pdfdevice.h"
#include "platform/qt/qtpreviewsurface.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

namespace {

using namespace tarvel;

/// The texts of a composed certificate, with characters the brush face leaves empty.
ItemTexts certificateTexts()
{
    ItemTexts texts = startupItemTexts(defaultLayout());
    texts[kItemEvent] = u"男子 １００ｍ 自由形"_qs;
    texts[kItemResult] = u" 1:02.35"_qs;
    texts[kItemRank] = u"第 1 位"_qs;
    texts[kItemRemark] = u"大会新"_qs;
    texts[kItemName] = u"髙橋 一郎"_qs;
    texts[kItemPrefecture] = u"山﨑県"_qs;
    texts[kItemAffiliation] = u"スイミングクラブ～東"_qs;
    return texts;
}

void BM_DrawPreviewDefaultLayout(benchmark::State& state)
{
    QtPreviewSurface preview;
    const Layout layout = defaultLayout();
    const ItemTexts texts = state.range(0) == 0 ? startupItemTexts(layout) : certificateTexts();
    drawPreview(preview, layout, texts); // the first drawing fills the glyph caches
    for (auto _ : state)
        drawPreview(preview, layout, texts);
    state.SetLabel(state.range(0) == 0 ? "captions" : "certificate");
}
BENCHMARK(BM_DrawPreviewDefaultLayout)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

void BM_PrintPageToPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    const Layout layout = defaultLayout();
    const ItemTexts texts = certificateTexts();
    const int pagesPerDocument = int(state.range(0));
    int pages = 0;
    {
        PdfDevice device(dir.path());
        for (auto _ : state) {
            printPage(device, layout, texts, PreviewOnly::No);
            if (++pages % pagesPerDocument == 0)
                device.endDocument(); // one file per event
        }
        device.endDocument();
    }
    state.SetItemsProcessed(pages);
    state.SetLabel("pages per file: " + std::to_string(pagesPerDocument));
}
BENCHMARK(BM_PrintPageToPdf)
    ->Arg(1)
    ->Arg(24)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

/// A stand-in for a scanned blank certificate at 100 dpi: a frame and a seal.
QImage blankCertificate()
{
    QImage scan(800, 1129, QImage::Format_RGB32);
    scan.fill(QColor(250, 244, 228));
    QPainter painter(&scan);
    painter.setPen(QPen(QColor(190, 150, 60), 10));
    painter.drawRect(30, 30, 740, 1069);
    painter.setPen(QPen(QColor(200, 40, 40), 4));
    painter.drawEllipse(600, 930, 110, 110);
    return scan;
}

void BM_DragMoveRedrawsBothPreviews(benchmark::State& state)
{
    const int pageHeight = int(state.range(0));
    const QImage scan = blankCertificate();
    QtPreviewSurface small;
    QtPreviewSurface large(QSize(pageHeight * kPageWidthTwips / kPageHeightTwips, pageHeight),
                           QtPreviewSurface::TextScale::Page);
    small.setBackdrop(scan, 0.5);
    large.setBackdrop(scan, 0.5);
    PreviewTee both({&small, &large});

    Layout layout = defaultLayout();
    const ItemTexts texts = startupItemTexts(layout);
    drawPreview(both, layout, texts); // the first drawing fills the glyph caches
    int step = 0;
    for (auto _ : state) {
        layout.items[kItemName].x = QString::number(3200 + 10 * (step++ % 50));
        drawPreview(both, layout, texts);
        benchmark::DoNotOptimize(undrawableCharacters(small, layout, texts));
        benchmark::DoNotOptimize(large.textBoxes());
    }
    state.SetLabel("large page " + std::to_string(pageHeight) + " px high");
}
BENCHMARK(BM_DragMoveRedrawsBothPreviews)
    ->Arg(720)
    ->Arg(1060)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    registerFontSubstitutions();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
