#pragma once
/// What a certificate is drawn onto: the preview image or a printed page.

#include "platform/textfit.h"

#include <QList>
#include <QString>

namespace tarvel {

/// A drawing surface in its own units (twips on paper, preview units in the preview).
/// Implementations must not fail on odd values: a size of 0 or less draws nothing, absurd
/// sizes are capped, an unknown face falls back to one that has the glyphs.
class Surface {
public:
    virtual ~Surface() = default;

    /// The top-left corner of the next text's first character cell.
    virtual void setPosition(double x, double y) = 0;
    /// The face of every text that follows.
    virtual void setFontFace(const QString& face) = 0;
    /// The size in points of every text that follows.
    virtual void setFontSize(double points) = 0;
    /// The widest every text that follows may be, in the surface's units; 0 or less for no
    /// limit. A wider text is condensed across, from the same left position; one that would
    /// need less than kNarrowestStretch is also drawn smaller (see fitToWidth).
    virtual void setMaxWidth(double width) = 0;
    /// Draws one line of text at the current position.
    virtual void drawText(const QString& text) = 0;
    /// The characters of `text` that no installed face can draw, in the surface's face and
    /// after its fallbacks, in order of appearance, each once. A surface that draws no
    /// glyphs of its own knows of none.
    virtual QList<char32_t> undrawableCharacters(const QString& text)
    {
        (void)text;
        return {};
    }
    /// The width `text` takes at its natural width in the face and size set, in the
    /// surface's units; 0 for a surface that cannot measure (every text then counts as
    /// fitting).
    virtual double textWidth(const QString& text)
    {
        (void)text;
        return 0.0;
    }
};

} // namespace tarvel
