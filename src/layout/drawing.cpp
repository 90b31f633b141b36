#include "layout/drawing.h"

#include "platform/numbers.h"

namespace tarvel {

namespace {

constexpr double kPaperScale = 1.0;

} // namespace

void drawCertificate(Surface& surface, const Layout& layout, const ItemTexts& texts, double scale)
{
    for (int i = 0; i < kItemCount; ++i) {
        const ItemLayout& item = layout.items[i];
        if (item.switchState != kSwitchOn)
            continue;
        // Positions are taken in single precision, as the printer and the preview box
        // take them.
        const float x = static_cast<float>(numericValue(item.x) * scale);
        const float y = static_cast<float>(numericValue(item.y) * scale);
        surface.setPosition(x, y);
        surface.setFontSize(numericValue(item.size) * scale);
        surface.setMaxWidth(item.maxWidth * scale);
        surface.drawText(texts[i]);
    }
}

std::vector<UndrawableCharacter> undrawableCharacters(Surface& surface, const Layout& layout,
                                                      const ItemTexts& texts)
{
    std::vector<UndrawableCharacter> found;
    for (int i = 0; i < kItemCount; ++i) {
        if (layout.items[i].switchState != kSwitchOn || texts[i].isEmpty())
            continue;
        for (const char32_t character : surface.undrawableCharacters(texts[i]))
            found.push_back({i, character});
    }
    return found;
}

void drawPreview(PreviewSurface& preview, const Layout& layout, const ItemTexts& texts)
{
    preview.beginDrawing();
    drawCertificate(preview, layout, texts, kPreviewScale);
    preview.endDrawing();
}

void printPage(PrintDevice& printer, const Layout& layout, const ItemTexts& texts,
               PreviewOnly previewOnly)
{
    if (previewOnly == PreviewOnly::Yes)
        return;
    drawCertificate(printer, layout, texts, kPaperScale);
    printer.endPage();
}

} // namespace tarvel
