#pragma once
/// Drawing a certificate: one routine for the preview and the printed page.

#include "layout/certificateitems.h"
#include "platform/pageunits.h"
#include "platform/previewsurface.h"
#include "platform/printdevice.h"

#include <vector>

namespace tarvel {

/// Draws every item whose switch is exactly on, in index order: at (X * scale, Y * scale)
/// with size * scale points and at most maxWidth * scale wide, X, Y and size being the
/// numeric values of the layout's texts.
void drawCertificate(Surface& surface, const Layout& layout, const ItemTexts& texts, double scale);

/// Redraws the preview completely at kPreviewScale.
void drawPreview(PreviewSurface& preview, const Layout& layout, const ItemTexts& texts);

/// A character of an item's text that no installed face can draw: it comes out blank or
/// as a box.
struct UndrawableCharacter {
    int item = 0;
    char32_t character = 0;
    bool operator==(const UndrawableCharacter&) const = default;
};

/// The characters no installed face can draw in the items drawCertificate draws, as
/// `surface` (its face and fallbacks) would draw them; in item order. Empty for nearly
/// every certificate.
std::vector<UndrawableCharacter> undrawableCharacters(Surface& surface, const Layout& layout,
                                                      const ItemTexts& texts);

enum class PreviewOnly { No, Yes };

/// Prints the certificate as one page (and ends the page), unless preview-only is set, when
/// nothing at all happens. The document is not ended here.
void printPage(PrintDevice& printer, const Layout& layout, const ItemTexts& texts,
               PreviewOnly previewOnly);

} // namespace tarvel
