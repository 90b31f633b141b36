// Drawing a certificate: the preview is redrawn at every keystroke in the layout table, so
// one drawPreview must stay well under a millisecond; printPage to PDF files is what a
// print run does per certificate when there is no printer.
#include "layout/drawing.h"
#include "platform/qt/fonts.h"
#include "platform/qt/pdfdevice.h"
#include "platform/qt/qtpreviewsurface.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

namespace {

using namespace tarvel;

/// The texts of a composed certificate, with characters the brush face leaves empty.
ItemTexts certificateTexts()
{
    ItemTexts texts = startupItemTexts(defaultLayout());
    texts[0] = u"男子 １００ｍ 自由形"_qs;
    texts[1] = u" 1:02.35"_qs;
    texts[2] = u"第 1 位"_qs;
    texts[3] = u"大会新"_qs;
    texts[4] = u"髙橋 一郎"_qs;
    texts[5] = u"山﨑県"_qs;
    texts[6] = u"スイミングクラブ～東"_qs;
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
