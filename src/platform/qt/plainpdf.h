#pragma once
/// A PDF of plain text and hairlines written by Tarvel itself, with TrueType faces embedded
/// as subsets that name each glyph by the character drawn.
///
/// For documents of text alone (the award lists): Qt's PDF writer spends milliseconds on
/// every font of every document building the map that lets a reader take the text back (it
/// looks up each of the 65,536 characters of the basic plane), which costs more than the
/// whole list. Here the map is written from the characters drawn.

#include "platform/qt/textpainter.h"
#include "platform/qt/truetypefaces.h"

#include <QByteArray>
#include <QHash>
#include <QLineF>
#include <QList>
#include <QPageLayout>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <memory>
#include <optional>
#include <variant>

namespace tarvel {

/// One line of text in `face` at `points`, the top-left of its first character cell at
/// `topLeft` (twips from the printable area's top-left corner), fitted into `maxWidth`
/// twips as fitToWidth() says (0 or less: no limit).
struct PlainText {
    QString face;
    double points = 0.0;
    QPointF topLeft;
    double maxWidth = 0.0;
    QString text;
};

/// A hairline, in twips from the printable area's top-left corner.
struct PlainLine {
    QLineF line;
};

using PlainMark = std::variant<PlainText, PlainLine>;
using PlainPage = QList<PlainMark>;

/// Writes documents of plain pages. Keeps what it learnt of each face for the documents
/// after, so it is meant to live as long as the device that uses it. One thread; the faces
/// it reads go into `faces`, which writers of other threads may share.
class PlainPdfWriter {
public:
    explicit PlainPdfWriter(std::shared_ptr<TrueTypeFaces> faces);

    /// The document as PDF bytes; nothing when a text needs what this writer cannot give:
    /// a face that is not TrueType, or a character that no face draws (the caller then
    /// draws the document the general way). Each character is drawn in the face that
    /// TextPainter would draw it with.
    std::optional<QByteArray> write(const QList<PlainPage>& pages, const QPageLayout& layout,
                                    const QString& title);

    /// The width of `text` at `points` as write() draws it, in twips; nothing when it
    /// cannot draw it.
    std::optional<double> width(const QString& face, double points, const QString& text);

private:
    struct Face {
        QRawFont raw;
        std::shared_ptr<const TrueTypeFont> font;
        QHash<char32_t, quint32> glyphs;
    };
    /// The face named `name`; nothing when it cannot be embedded.
    Face* faceOf(const QString& name);
    quint32 glyphOf(Face& face, char32_t character);

    class Document;

    std::shared_ptr<TrueTypeFaces> read_;
    QHash<QString, std::shared_ptr<Face>> faces_;
    /// Splits texts into the faces that have ink for their characters. Only the ink counts:
    /// the text map is written from the characters themselves.
    TextPainter runs_{TextLayer::InkOnly};
};

} // namespace tarvel
