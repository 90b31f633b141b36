// Dragging an item in the large preview: each mouse move redraws both previews (the small
// one and the large one, each over the blank certificate), checks the texts for characters
// no face can draw, and measures the item boxes for the selection's outline. It must fit in
// a frame: the median of one move should stay under 4 ms.
#include "layout/drawing.h"
#include "platform/qt/fonts.h"
#include "platform/qt/qtpreviewsurface.h"
#include "ui/previewtee.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>

namespace {

using namespace tarvel;

/// A stand-in for a scanned blank certificate at 100 dpi: a frame and a seal.
QImage blankCertificate() {
    QImage scan(800, 1129, QImage::Format_RGB32);
    scan.fill(QColor(250, 244, 228));
    QPainter painter(&scan);
    painter.setPen(QPen(QColor(190, 150, 60), 10));
    painter.drawRect(30, 30, 740, 1069);
    painter.setPen(QPen(QColor(200, 40, 40), 4));
    painter.drawEllipse(600, 930, 110, 110);
    return scan;
}

void BM_DragMoveRedrawsBothPreviews(benchmark::State& state) {
    const int pageHeight = int(state.range(0));
    const QImage scan = blankCertificate();
    QtPreviewSurface small;
    QtPreviewSurface large(QSize(pageHeight * 11516 / 16260, pageHeight),
                           QtPreviewSurface::TextScale::Page);
    small.setBackdrop(scan, 0.5);
    large.setBackdrop(scan, 0.5);
    ui::PreviewTee both({&small, &large});

    Layout layout = defaultLayout();
    const ItemTexts texts = startupItemTexts(layout);
    drawPreview(both, layout, texts); // the first drawing fills the glyph caches
    int step = 0;
    for (auto _ : state) {
        layout.items[4].x = QString::number(3200 + 10 * (step++ % 50));
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

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    registerFontSubstitutions();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
