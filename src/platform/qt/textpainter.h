#pragma once
/// Draws one line of certificate text so that no character silently vanishes.

#include <QFont>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QPaintDevice;
class QPainter;

namespace tarvel {

/// Sizes above this many points are drawn at it; larger ones only come from typing errors.
inline constexpr double kMaxFontPoints = 1000.0;

/// The size to draw with: nothing for 0 or less (and for a size that is not a number),
/// capped at kMaxFontPoints.
std::optional<double> drawablePoints(double points);

/// A coordinate a paint engine accepts: finite and within +-limit (NaN gives 0).
double boundedCoordinate(double value, double limit);

/// Whether the text drawn must also read back as text (from a PDF) or only has to look right.
enum class TextLayer {
    InkOnly,    ///< the preview image
    Searchable, ///< printed pages and PDF files
};

/// Draws text with the top-left corner of its first character cell at a given point.
///
/// Some faces claim characters they draw as nothing (the brush face standing in for
/// "HGP行書体" does so with 髙, 﨑 and ～), and Qt's own fallback does not step in then;
/// every character whose glyph is missing or has no outline (blanks aside) is drawn with the
/// first face of fallbackFaces() that has a real glyph for it.
///
/// With TextLayer::Searchable, a character whose glyph a PDF would read back as another
/// character (Qt names a glyph by the lowest code point that maps to it, so the IPA faces'
/// shared glyph turns ～ into 〜) is drawn as its outline, and the character itself is laid
/// over it as invisible text in a face whose glyph reads back right.
///
/// What each face holds is cached per face and character, and each font's ascent per
/// resolution, so redrawing stays fast.
class TextPainter {
public:
    /// A stretch of text drawn in one face and one manner.
    struct Run {
        QString text;
        QString face;          ///< the face that gives the ink
        bool outlined = false; ///< ink drawn as outlines; text comes from textFace
        QString textFace;      ///< the invisible text's face when outlined; empty for none
    };

    explicit TextPainter(TextLayer layer = TextLayer::InkOnly) : layer_(layer) {}

    /// Splits `text` into runs: in `face` where it has ink, in a fallback face elsewhere.
    /// Blanks, controls and combining marks stay with the run before them. A character that
    /// no face has stays in `face` (Qt may still find one).
    QList<Run> runs(const QString& face, const QString& text);

    /// Draws `text` in `font` (its family is the face) with the top-left of its first
    /// character cell at `topLeft`, in the painter's coordinates, with the painter's pen
    /// colour. All runs share the baseline of `font`. A text wider than `maxWidth` (painter
    /// coordinates; 0 or less for no limit) is fitted into it as fitToWidth() says.
    void draw(QPainter& painter, const QFont& font, QPointF topLeft, const QString& text,
              double maxWidth = 0.0);

    /// The width of `text` in `font` as draw() lays it out on `device`, fallbacks included.
    qreal advance(const QFont& font, const QPaintDevice* device, const QString& text);

    /// The characters of `text` that neither `face`, its fallbacks nor any other installed
    /// face can draw with ink (blanks and marks aside), each once, in order.
    QList<char32_t> undrawable(const QString& face, const QString& text);

private:
    struct FaceGlyphs {
        QRawFont raw;
        QHash<char32_t, bool> inked;
        QHash<char32_t, bool> readable;
        /// Glyph -> the lowest code point that maps to it; built when first needed.
        std::vector<char16_t> firstCharacter;
    };

    FaceGlyphs& glyphsOf(const QString& face);
    quint32 glyphIndex(FaceGlyphs& glyphs, char32_t character);
    bool hasInk(const QString& face, char32_t character);
    bool hasInk(FaceGlyphs& glyphs, char32_t character);
    bool readsBack(const QString& face, char32_t character);
    bool readsBack(FaceGlyphs& glyphs, char32_t character);
    /// Whether every character of `text` is drawn in `face` itself, as plain text.
    bool isPlainThroughout(const QString& face, const QString& text);
    /// The ascent of `font` on `device`, measured once per font and resolution.
    qreal ascentOf(const QFont& font, const QPaintDevice* device);
    const QStringList& fallbacksFor(const QString& face);
    /// Draws one line at its natural width.
    void drawNatural(QPainter& painter, const QFont& font, QPointF topLeft, const QString& text);
    /// Whether any installed face has ink for the character; asked once per character.
    bool inkedInAnyFace(char32_t character);
    /// Fills the outlines of an outlined run; returns each character's advance.
    QList<qreal> drawOutlines(QPainter& painter, const QFont& font, const Run& run, QPointF origin);
    /// Lays the run's characters as invisible text over their outlines.
    void drawInvisibleText(QPainter& painter, const QFont& font, const Run& run, QPointF origin,
                           const QList<qreal>& widths);

    TextLayer layer_;
    QHash<QString, FaceGlyphs> faces_;
    QHash<QString, QStringList> fallbacks_;
    QHash<char32_t, bool> inkedAnywhere_;
    /// A font as drawn on a device of some resolution.
    struct FontAtDpi {
        QFont font;
        int dpi = 0;
        bool operator==(const FontAtDpi&) const = default;
        /// QFont's own hash leaves the size out, and sizes are what differ here.
        friend size_t qHash(const FontAtDpi& key, size_t seed = 0)
        {
            return qHashMulti(seed, key.font, key.font.pointSizeF(), key.font.pixelSize(), key.dpi);
        }
    };
    QHash<FontAtDpi, qreal> ascents_;
};

} // namespace tarvel
