#pragma once
/// A TrueType face read from its tables once, and cut down to the glyphs one document uses:
/// what the plain PDF writer embeds.

#include <QByteArray>
#include <QHash>
#include <QList>

#include <functional>

class QRawFont;

namespace tarvel {

/// A face with TrueType outlines (a 'glyf' table). Font files can be damaged: every table
/// is checked before it is used, and a face that does not hold together is not valid
/// (isValid() false), never a crash.
class TrueTypeFont {
public:
    /// The bytes of the table named by a four-letter tag; empty when the face has none.
    using TableReader = std::function<QByteArray(const char* tag)>;

    /// A face that is not valid.
    TrueTypeFont() = default;
    /// Reads the tables through `table`.
    explicit TrueTypeFont(const TableReader& table);
    /// Reads the tables of an installed face.
    explicit TrueTypeFont(const QRawFont& raw);

    bool isValid() const { return valid_; }
    int unitsPerEm() const { return unitsPerEm_; }
    /// Above and below the baseline, in font units (the descent is negative).
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    /// xMin, yMin, xMax, yMax of all glyphs, in font units.
    const QList<int>& boundingBox() const { return boundingBox_; }
    int glyphCount() const { return glyphCount_; }
    /// The face's PostScript name as a PDF name takes it; empty when it has none.
    const QByteArray& postscriptName() const { return postscriptName_; }

    /// The advance of `glyph` in font units; 0 for a glyph the face does not have.
    int advance(quint32 glyph) const;

    /// A TrueType font program holding `glyphs` as its glyphs 0, 1, 2 … in that order (the
    /// first should be 0, the missing glyph), followed by the parts of composite glyphs that
    /// are not among them. Glyphs the face does not have are empty. An empty array for a
    /// face that is not valid.
    QByteArray subset(const QList<quint32>& glyphs) const;

private:
    /// Where a glyph's outline lies in the 'glyf' table; empty when it has none.
    std::pair<quint32, quint32> glyphSpan(quint32 glyph) const;

    bool valid_ = false;
    int unitsPerEm_ = 1000;
    int ascent_ = 0;
    int descent_ = 0;
    int glyphCount_ = 0;
    int metricsCount_ = 0;
    bool longOffsets_ = false;
    QList<int> boundingBox_{0, 0, 0, 0};
    QByteArray postscriptName_;
    QByteArray head_;
    QByteArray hhea_;
    QByteArray maxp_;
    QByteArray hmtx_;
    QByteArray loca_;
    QByteArray glyf_;
    /// Tables copied as they are: hinting, naming, the face's classification.
    QHash<QByteArray, QByteArray> verbatim_;
    QByteArray post_;
};

} // namespace tarvel
