#include "platform/qt/plainpdf.h"

#include "platform/pageunits.h"
#include "platform/textfit.h"

#include <QDateTime>
#include <QFont>

#include <charconv>
#include <map>
#include <string_view>

namespace tarvel {

namespace {

/// Appends a number as PDF writes it: fixed point, without trailing zeros (without
/// allocating: a page holds thousands).
void appendNumber(QByteArray& out, double value)
{
    char text[32];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    if (error != std::errc()) {
        out += '0';
        return;
    }
    std::string_view digits(text, end);
    while (digits.ends_with('0'))
        digits.remove_suffix(1);
    if (digits.ends_with('.'))
        digits.remove_suffix(1);
    if (digits == "-0")
        digits = "0";
    out.append(digits.data(), qsizetype(digits.size()));
}

QByteArray number(double value)
{
    QByteArray text;
    appendNumber(text, value);
    return text;
}

/// Appends four hex digits: a glyph number or a UTF-16 unit.
void appendHex16(QByteArray& out, quint32 value)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4)
        out.append(kDigits[(value >> shift) & 0xF]);
}

/// Appends a text as UTF-16 in hex (a character beyond the basic plane is two units).
void appendUtf16Hex(QByteArray& out, QStringView text)
{
    for (const QChar unit : text)
        appendHex16(out, unit.unicode());
}

/// A text string of the document's information: UTF-16 with its byte order mark.
QByteArray textString(const QString& text)
{
    QByteArray hex = "<FEFF";
    appendUtf16Hex(hex, text);
    return hex + '>';
}

QByteArray toUnicodeMap(const QList<char32_t>& characters)
{
    QByteArray map = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                     "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    constexpr qsizetype kPerBlock = 100; // the most a block may hold
    for (qsizetype first = 1; first < characters.size(); first += kPerBlock) {
        const qsizetype last = std::min(characters.size(), first + kPerBlock);
        map += QByteArray::number(last - first) + " beginbfchar\n";
        for (qsizetype cid = first; cid < last; ++cid) {
            map += '<';
            appendHex16(map, quint32(cid));
            map += "> <";
            appendUtf16Hex(map, QString::fromUcs4(&characters[cid], 1));
            map += ">\n";
        }
        map += "endbfchar\n";
    }
    return map + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

/// Objects numbered from 1, written in order, with the cross-reference table at the end.
class ObjectWriter {
public:
    ObjectWriter() { out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"; }

    // Appended piece by piece: a font program is tens of kilobytes, copied once.
    void object(int id, const QByteArray& body)
    {
        begin(id);
        out_ += body;
        out_ += "\nendobj\n";
    }
    void stream(int id, const QByteArray& dictionary, const QByteArray& data)
    {
        begin(id);
        out_ += "<< ";
        out_ += dictionary;
        out_ += dictionary.isEmpty() ? "/Length " : " /Length ";
        out_ += QByteArray::number(data.size());
        out_ += " >>\nstream\n";
        out_ += data;
        out_ += "\nendstream\nendobj\n";
    }
    QByteArray finish(int infoId)
    {
        const qsizetype xref = out_.size();
        const int size = offsets_.empty() ? 1 : offsets_.rbegin()->first + 1;
        out_ += "xref\n0 " + QByteArray::number(size) + "\n0000000000 65535 f \n";
        for (int id = 1; id < size; ++id) {
            const auto found = offsets_.find(id);
            out_ += found == offsets_.end()
                        ? QByteArray("0000000000 65535 f \n")
                        : QByteArray::number(found->second).rightJustified(10, '0') + " 00000 n \n";
        }
        out_ += "trailer\n<< /Size " + QByteArray::number(size) + " /Root 1 0 R /Info "
                + QByteArray::number(infoId) + " 0 R >>\nstartxref\n" + QByteArray::number(xref)
                + "\n%%EOF\n";
        return std::move(out_);
    }

private:
    void begin(int id)
    {
        offsets_[id] = out_.size();
        out_ += QByteArray::number(id);
        out_ += " 0 obj\n";
    }

    QByteArray out_;
    std::map<int, qsizetype> offsets_;
};

} // namespace

// Streams are stored as they are, not deflated: deflating was a third of what a list
// costs, to save a few tens of kilobytes of a file read once by a printer or a viewer.

/// One document's fonts and pages as they are composed.
class PlainPdfWriter::Document {
public:
    explicit Document(PlainPdfWriter& writer) : writer_(writer) {}

    /// A run of text in one face: the face's number in the document, each character's
    /// glyph number in hex, and the width in ems.
    struct Run {
        int font = 0;
        QByteArray codes;
        double width = 0.0; ///< in ems
    };

    /// The runs `text` is drawn in; nothing when a character cannot be drawn.
    std::optional<QList<Run>> runsOf(const QString& face, const QString& text)
    {
        QList<Run> runs;
        for (const TextPainter::Run& piece : writer_.runs_.runs(face, text)) {
            Face* used = writer_.faceOf(piece.face);
            if (!used)
                return std::nullopt;
            Run run{fontNumber(piece.face, used), {}, 0.0};
            UsedFont& font = fonts_[run.font];
            for (const char32_t character : piece.text.toUcs4()) {
                const quint32 glyph = writer_.glyphOf(*used, character);
                // Glyph numbers are two bytes: a document of more characters is painted.
                if (glyph == 0 || font.glyphs.size() >= 0xFFFF)
                    return std::nullopt;
                const quint64 key = quint64(glyph) << 32 | character;
                auto cid = font.cids.constFind(key);
                if (cid == font.cids.constEnd()) {
                    cid = font.cids.insert(key, quint32(font.glyphs.size()));
                    font.glyphs.append(glyph);
                    font.characters.append(character);
                }
                appendHex16(run.codes, cid.value());
                run.width += double(used->font->advance(glyph)) / used->font->unitsPerEm();
            }
            runs.append(run);
        }
        return runs;
    }

    /// The content stream of one text; false when it cannot be drawn.
    bool addText(QByteArray& content, const PlainText& text, const QPointF& origin,
                 double pageHeight)
    {
        const std::optional<QList<Run>> runs = runsOf(text.face, text.text);
        Face* face = writer_.faceOf(text.face);
        if (!runs || !face)
            return false;
        double ems = 0.0;
        for (const Run& run : *runs)
            ems += run.width;
        const double natural = ems * text.points * kTwipsPerPoint;
        const TextFit fit = fitToWidth(natural, text.maxWidth);
        const double points = text.points * fit.sizeScale;
        const double fitted = natural * fit.sizeScale;
        const double stretch =
            text.maxWidth > 0.0 && fitted > text.maxWidth ? text.maxWidth / fitted : 1.0;
        const double ascent = double(face->font->ascent()) / face->font->unitsPerEm() * points;
        double x = origin.x() + text.topLeft.x() / kTwipsPerPoint;
        const double baseline =
            pageHeight - (origin.y() + text.topLeft.y() / kTwipsPerPoint + ascent);
        content += "BT\n";
        for (const Run& run : *runs) {
            content += "/F";
            content += QByteArray::number(run.font);
            content += ' ';
            appendNumber(content, points);
            content += " Tf ";
            appendNumber(content, stretch);
            content += " 0 0 1 ";
            appendNumber(content, x);
            content += ' ';
            appendNumber(content, baseline);
            content += " Tm <";
            content += run.codes;
            content += "> Tj\n";
            x += run.width * points * stretch;
        }
        content += "ET\n";
        return true;
    }

    /// Writes the fonts from object `firstId` on, five objects each, named /F0, /F1 …
    void writeFonts(ObjectWriter& out, int firstId) const
    {
        for (qsizetype f = 0; f < fonts_.size(); ++f) {
            const UsedFont& used = fonts_[f];
            const TrueTypeFont& font = *used.face->font;
            const int id = firstId + int(f) * 5;
            const auto ref = [](int object) { return QByteArray::number(object) + " 0 R"; };
            const auto units = [&font](int value) {
                return QByteArray::number(qRound(value * 1000.0 / font.unitsPerEm()));
            };
            // A subset's name begins with six capitals of its own (PDF 9.6.4).
            QByteArray name = QByteArray(6, 'A') + '+' + postscriptName(*used.face);
            for (int i = 0, n = int(f); i < 6; ++i, n /= 26)
                name[5 - i] = char('A' + n % 26);
            out.object(id, "<< /Type /Font /Subtype /Type0 /BaseFont /" + name
                               + " /Encoding /Identity-H /DescendantFonts [" + ref(id + 1)
                               + "] /ToUnicode " + ref(id + 4) + " >>");
            QByteArray widths;
            for (const quint32 glyph : used.glyphs) {
                widths += units(font.advance(glyph));
                widths += ' ';
            }
            out.object(id + 1, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name
                                   + " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) "
                                     "/Supplement 0 >> /FontDescriptor "
                                   + ref(id + 2) + " /CIDToGIDMap /Identity /W [0 [" + widths
                                   + "]] >>");
            const QList<int>& box = font.boundingBox();
            out.object(id + 2,
                       "<< /Type /FontDescriptor /FontName /" + name + " /Flags 4 /FontBBox ["
                           + units(box[0]) + ' ' + units(box[1]) + ' ' + units(box[2]) + ' '
                           + units(box[3]) + "] /ItalicAngle 0 /Ascent " + units(font.ascent())
                           + " /Descent " + units(font.descent()) + " /CapHeight "
                           + units(font.ascent()) + " /StemV 80 /FontFile2 " + ref(id + 3) + " >>");
            const QByteArray program = font.subset(used.glyphs);
            out.stream(id + 3, "/Length1 " + QByteArray::number(program.size()), program);
            out.stream(id + 4, {}, toUnicodeMap(used.characters));
        }
    }

    qsizetype fontCount() const { return fonts_.size(); }

private:
    struct UsedFont {
        Face* face = nullptr;
        /// Per glyph number (CID) of the document: the face's glyph and the character it
        /// stands for; 0 is the missing glyph. A glyph two characters share gets a number
        /// for each, so that each reads back as itself.
        QList<quint32> glyphs{0};
        QList<char32_t> characters{0};
        QHash<quint64, quint32> cids;
    };

    static QByteArray postscriptName(const Face& face)
    {
        const QByteArray& name = face.font->postscriptName();
        return name.isEmpty() ? QByteArray("Face") : name;
    }

    int fontNumber(const QString& name, Face* face)
    {
        const auto found = numbers_.constFind(name);
        if (found != numbers_.constEnd())
            return found.value();
        for (qsizetype f = 0; f < fonts_.size(); ++f) {
            if (fonts_[f].face == face)
                return numbers_[name] = int(f);
        }
        fonts_.append(UsedFont{face, {0}, {0}, {}});
        return numbers_[name] = int(fonts_.size() - 1);
    }

    PlainPdfWriter& writer_;
    QList<UsedFont> fonts_;
    QHash<QString, int> numbers_;
};

PlainPdfWriter::PlainPdfWriter(std::shared_ptr<TrueTypeFaces> faces) : read_(std::move(faces)) {}

PlainPdfWriter::Face* PlainPdfWriter::faceOf(const QString& name)
{
    auto found = faces_.find(name);
    if (found == faces_.end()) {
        const QRawFont raw = QRawFont::fromFont(QFont(name));
        std::shared_ptr<Face> face;
        // Two names of one installed face share it.
        for (const auto& other : std::as_const(faces_)) {
            if (other && other->raw.familyName() == raw.familyName()
                && other->raw.styleName() == raw.styleName())
                face = other;
        }
        if (!face) {
            if (std::shared_ptr<const TrueTypeFont> font = read_->of(raw))
                face = std::make_shared<Face>(Face{raw, std::move(font), {}});
        }
        found = faces_.insert(name, face);
    }
    return found.value().get();
}

quint32 PlainPdfWriter::glyphOf(Face& face, char32_t character)
{
    const auto found = face.glyphs.constFind(character);
    if (found != face.glyphs.constEnd())
        return found.value();
    quint32 glyph = 0;
    if (face.raw.supportsCharacter(character)) {
        // A character beyond the basic plane is two units and may come back as two entries.
        glyph = face.raw.glyphIndexesForString(QString::fromUcs4(&character, 1)).value(0);
    }
    if (glyph >= quint32(face.font->glyphCount()))
        glyph = 0;
    face.glyphs.insert(character, glyph);
    return glyph;
}

std::optional<double> PlainPdfWriter::width(const QString& face, double points, const QString& text)
{
    // Only the advances: measuring registers no glyph with any document.
    double ems = 0.0;
    for (const TextPainter::Run& piece : runs_.runs(face, text)) {
        Face* used = faceOf(piece.face);
        if (!used)
            return std::nullopt;
        for (const char32_t character : piece.text.toUcs4()) {
            const quint32 glyph = glyphOf(*used, character);
            if (glyph == 0)
                return std::nullopt;
            ems += double(used->font->advance(glyph)) / used->font->unitsPerEm();
        }
    }
    return ems * points * kTwipsPerPoint;
}

std::optional<QByteArray> PlainPdfWriter::write(const QList<PlainPage>& pages,
                                                const QPageLayout& layout, const QString& title)
{
    Document document(*this);
    const QRectF paper = layout.fullRect(QPageLayout::Point);
    const QPointF origin = layout.paintRect(QPageLayout::Point).topLeft();
    QList<QByteArray> contents;
    for (const PlainPage& page : pages) {
        QByteArray content;
        for (const PlainMark& mark : page) {
            if (const auto* text = std::get_if<PlainText>(&mark)) {
                if (!document.addText(content, *text, origin, paper.height()))
                    return std::nullopt;
                continue;
            }
            const QLineF line = std::get<PlainLine>(mark).line;
            const auto point = [&](QPointF twips) {
                return number(origin.x() + twips.x() / kTwipsPerPoint) + ' '
                       + number(paper.height() - origin.y() - twips.y() / kTwipsPerPoint);
            };
            content += "0 w " + point(line.p1()) + " m " + point(line.p2()) + " l S\n";
        }
        contents.append(content);
    }

    // 1 catalog, 2 page tree, 3 information, then a page and its content per page, then
    // five objects per font.
    const int firstPage = 4;
    const int firstFont = firstPage + int(pages.size()) * 2;
    ObjectWriter out;
    QByteArray kids;
    for (qsizetype p = 0; p < pages.size(); ++p)
        kids += QByteArray::number(firstPage + p * 2) + " 0 R ";
    out.object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    out.object(2, "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages.size())
                      + " >>");
    out.object(3, "<< /Title " + textString(title) + " /Creator (Tarvel) /Producer (Tarvel)"
                      + " /CreationDate (D:"
                      + QDateTime::currentDateTimeUtc().toString(u"yyyyMMddHHmmss").toLatin1()
                      + "Z) >>");
    const QByteArray resources = [&] {
        QByteArray fonts = "<< ";
        for (qsizetype f = 0; f < document.fontCount(); ++f)
            fonts += "/F" + QByteArray::number(f) + ' ' + QByteArray::number(firstFont + f * 5)
                     + " 0 R ";
        return fonts + ">>";
    }();
    const QByteArray mediaBox =
        "[0 0 " + number(paper.width()) + ' ' + number(paper.height()) + ']';
    for (qsizetype p = 0; p < pages.size(); ++p) {
        const int id = firstPage + int(p) * 2;
        out.object(id, "<< /Type /Page /Parent 2 0 R /MediaBox " + mediaBox
                           + " /Resources << /Font " + resources + " >> /Contents "
                           + QByteArray::number(id + 1) + " 0 R >>");
        out.stream(id + 1, {}, contents[p]);
    }
    document.writeFonts(out, firstFont);
    return out.finish(3);
}

} // namespace tarvel
