#include "platform/qt/textpainter.h"

#include "platform/qt/fonts.h"
#include "platform/textfit.h"

#include <QChar>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tarvel {

namespace {

/// Characters that are meant to leave no ink of their own, or that belong to the character
/// before them (variation selectors, combining marks).
bool followsPreviousRun(char32_t c)
{
    if (QChar::isSpace(c))
        return true;
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_Enclosing: return true;
    default: return false;
    }
}

/// The size the faces are inspected at; whether a glyph has an outline does not depend on it.
constexpr int kInspectPixels = 48;

bool sameManner(const TextPainter::Run& a, const TextPainter::Run& b)
{
    return a.face == b.face && a.outlined == b.outlined && a.textFace == b.textFace;
}

} // namespace

std::optional<double> drawablePoints(double points)
{
    if (!(points > 0.0)) // also NaN
        return std::nullopt;
    return std::min(points, kMaxFontPoints);
}

double boundedCoordinate(double value, double limit)
{
    if (std::isnan(value))
        return 0.0;
    return std::clamp(value, -limit, limit);
}

TextPainter::FaceGlyphs& TextPainter::glyphsOf(const QString& face)
{
    auto found = faces_.find(face);
    if (found == faces_.end()) {
        QFont font(face);
        font.setPixelSize(kInspectPixels);
        found = faces_.insert(face, FaceGlyphs{QRawFont::fromFont(font), {}, {}, {}});
    }
    return found.value();
}

quint32 TextPainter::glyphIndex(FaceGlyphs& glyphs, char32_t character)
{
    if (!glyphs.raw.isValid() || !glyphs.raw.supportsCharacter(character))
        return 0;
    const QList<quint32> indexes =
        glyphs.raw.glyphIndexesForString(QString::fromUcs4(&character, 1));
    return indexes.size() == 1 ? indexes.front() : 0;
}

bool TextPainter::hasInk(const QString& face, char32_t character)
{
    return hasInk(glyphsOf(face), character);
}

bool TextPainter::hasInk(FaceGlyphs& glyphs, char32_t character)
{
    const auto known = glyphs.inked.constFind(character);
    if (known != glyphs.inked.constEnd())
        return known.value();
    const quint32 index = glyphIndex(glyphs, character);
    const bool inked = index != 0 && !glyphs.raw.pathForGlyph(index).isEmpty();
    glyphs.inked.insert(character, inked);
    return inked;
}

bool TextPainter::readsBack(const QString& face, char32_t character)
{
    return readsBack(glyphsOf(face), character);
}

bool TextPainter::readsBack(FaceGlyphs& glyphs, char32_t character)
{
    const auto known = glyphs.readable.constFind(character);
    if (known != glyphs.readable.constEnd())
        return known.value();
    if (character > 0xFFFF || !glyphs.raw.isValid()) {
        // Qt's PDF text only names glyphs by characters of the first plane.
        glyphs.readable.insert(character, false);
        return false;
    }
    if (glyphs.firstCharacter.empty()) {
        // As the PDF writer does: each glyph is named by the lowest code point mapping to it.
        QString plane;
        plane.reserve(0x10000);
        for (char32_t c = 1; c < 0x10000; ++c) {
            if (!QChar::isSurrogate(c))
                plane.append(QChar(char16_t(c)));
        }
        const QList<quint32> indexes = glyphs.raw.glyphIndexesForString(plane);
        glyphs.firstCharacter.assign(0x10000, 0);
        for (qsizetype i = indexes.size() - 1; i >= 0; --i) {
            if (indexes[i] != 0 && indexes[i] < 0x10000 && i < plane.size())
                glyphs.firstCharacter[indexes[i]] = plane[i].unicode();
        }
    }
    const quint32 index = glyphIndex(glyphs, character);
    const bool readable =
        index != 0 && index < 0x10000 && glyphs.firstCharacter[index] == character;
    glyphs.readable.insert(character, readable);
    return readable;
}

qreal TextPainter::ascentOf(const QFont& font, const QPaintDevice* device)
{
    const FontAtDpi key{font, device->logicalDpiY()};
    auto found = ascents_.constFind(key);
    if (found == ascents_.constEnd())
        found = ascents_.insert(key, QFontMetricsF(font, device).ascent());
    return found.value();
}

const QStringList& TextPainter::fallbacksFor(const QString& face)
{
    auto found = fallbacks_.find(face);
    if (found == fallbacks_.end())
        found = fallbacks_.insert(face, fallbackFaces(face));
    return found.value();
}

bool TextPainter::isPlainThroughout(const QString& face, const QString& text)
{
    FaceGlyphs& glyphs = glyphsOf(face);
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isSurrogate(c)) {
            const bool paired =
                QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            if (!paired)
                return false; // left to runs(), which reads it as U+FFFD
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (followsPreviousRun(c))
            continue;
        if (!hasInk(glyphs, c))
            return false;
        if (layer_ == TextLayer::Searchable && !readsBack(glyphs, c))
            return false;
    }
    return true;
}

QList<TextPainter::Run> TextPainter::runs(const QString& face, const QString& text)
{
    // Nearly every text is drawn in its own face alone: one run, without splitting it.
    if (!text.isEmpty() && isPlainThroughout(face, text))
        return {Run{text, face, false, QString()}};

    QList<Run> result;
    const QList<uint> characters = text.toUcs4();
    for (const uint code : characters) {
        const char32_t c = code;
        Run manner{QString(), face, false, QString()};
        if (followsPreviousRun(c)) {
            if (!result.isEmpty())
                manner = result.back();
        } else {
            if (!hasInk(face, c)) {
                for (const QString& other : fallbacksFor(face)) {
                    if (hasInk(other, c)) {
                        manner.face = other;
                        break;
                    }
                }
            }
            if (layer_ == TextLayer::Searchable && !readsBack(manner.face, c)) {
                manner.outlined = true;
                QStringList candidates = fallbacksFor(face);
                candidates.prepend(face);
                for (const QString& other : candidates) {
                    if (readsBack(other, c)) {
                        manner.textFace = other;
                        break;
                    }
                }
            }
        }
        if (result.isEmpty() || !sameManner(result.back(), manner)) {
            manner.text.clear();
            result.append(manner);
        }
        result.back().text.append(QString::fromUcs4(&c, 1));
    }
    return result;
}

QList<qreal> TextPainter::drawOutlines(QPainter& painter, const QFont& font, const Run& run,
                                       QPointF origin)
{
    QFont inkFont = font;
    inkFont.setFamilies({run.face});
    const QRawFont raw = QRawFont::fromFont(QFont(inkFont, painter.device()));
    if (!raw.isValid())
        return {};
    const QList<quint32> glyphs = raw.glyphIndexesForString(run.text);
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
    QPainterPath outlines;
    QList<qreal> widths;
    qreal x = 0.0;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        outlines.addPath(raw.pathForGlyph(glyphs[i]).translated(origin.x() + x, origin.y()));
        widths.append(advances.value(i).x());
        x += widths.back();
    }
    painter.fillPath(outlines, painter.pen().brush());
    return widths;
}

void TextPainter::drawInvisibleText(QPainter& painter, const QFont& font, const Run& run,
                                    QPointF origin, const QList<qreal>& widths)
{
    QFont textFont = font;
    textFont.setFamilies({run.textFace});
    const QFontMetricsF metrics(textFont, painter.device());
    const QList<uint> characters = run.text.toUcs4();
    qreal x = origin.x();
    painter.save();
    painter.setFont(textFont);
    painter.setPen(Qt::transparent);
    for (qsizetype i = 0; i < characters.size() && i < widths.size(); ++i) {
        const char32_t c = characters[i];
        const QString one = QString::fromUcs4(&c, 1);
        const qreal own = metrics.horizontalAdvance(one);
        // Each character spans its outline exactly, so text extraction keeps the order.
        painter.save();
        painter.translate(x, origin.y());
        if (own > 0.0 && widths[i] > 0.0)
            painter.scale(widths[i] / own, 1.0);
        painter.drawText(QPointF(0.0, 0.0), one);
        painter.restore();
        x += widths[i];
    }
    painter.restore();
}

qreal TextPainter::advance(const QFont& font, const QPaintDevice* device, const QString& text)
{
    qreal width = 0.0;
    for (const Run& run : runs(font.family(), text)) {
        QFont runFont = font;
        runFont.setFamilies({run.face});
        width += QFontMetricsF(runFont, device).horizontalAdvance(run.text);
    }
    return width;
}

bool TextPainter::inkedInAnyFace(char32_t character)
{
    const auto known = inkedAnywhere_.constFind(character);
    if (known != inkedAnywhere_.constEnd())
        return known.value();
    bool inked = false;
    for (const QString& family : QFontDatabase::families()) {
        if (hasInk(family, character)) {
            inked = true;
            break;
        }
    }
    inkedAnywhere_.insert(character, inked);
    return inked;
}

QList<char32_t> TextPainter::undrawable(const QString& face, const QString& text)
{
    QList<char32_t> missing;
    if (isPlainThroughout(face, text))
        return missing;
    const auto inFallback = [&](char32_t c) {
        const QStringList& others = fallbacksFor(face);
        return std::any_of(others.begin(), others.end(),
                           [&](const QString& other) { return hasInk(other, c); });
    };
    for (const uint code : text.toUcs4()) {
        const char32_t c = code;
        if (followsPreviousRun(c) || missing.contains(c) || hasInk(face, c) || inFallback(c)
            || inkedInAnyFace(c))
            continue;
        missing.append(c);
    }
    return missing;
}

void TextPainter::draw(QPainter& painter, const QFont& font, QPointF topLeft, const QString& text,
                       double maxWidth)
{
    if (text.isEmpty())
        return;
    if (!(maxWidth > 0.0)) {
        drawNatural(painter, font, topLeft, text);
        return;
    }
    const TextFit fit = fitToWidth(advance(font, painter.device(), text), maxWidth);
    if (fit.stretch == 1.0) {
        drawNatural(painter, font, topLeft, text);
        return;
    }
    QFont fitted = font;
    if (fit.sizeScale < 1.0)
        fitted.setPointSizeF(font.pointSizeF() * fit.sizeScale);
    // Measured again at the smaller size: on screen, hinted widths do not shrink in step.
    const qreal width = advance(fitted, painter.device(), text);
    const qreal stretch = width > maxWidth ? maxWidth / width : 1.0;
    painter.save();
    painter.translate(topLeft.x(), 0.0);
    painter.scale(stretch, 1.0);
    drawNatural(painter, fitted, QPointF(0.0, topLeft.y()), text);
    painter.restore();
}

void TextPainter::drawNatural(QPainter& painter, const QFont& font, QPointF topLeft,
                              const QString& text)
{
    painter.setFont(font);
    QPaintDevice* device = painter.device();
    const qreal baseline = topLeft.y() + ascentOf(painter.font(), device);
    const QList<Run> pieces = runs(font.family(), text);

    qreal x = topLeft.x();
    // Each setFont() makes Qt look the font up again when it is next used: set it only when
    // a run changes it.
    bool painterHasFont = true;
    for (const Run& run : pieces) {
        if (run.outlined) {
            const QList<qreal> widths = drawOutlines(painter, font, run, QPointF(x, baseline));
            if (!run.textFace.isEmpty())
                drawInvisibleText(painter, font, run, QPointF(x, baseline), widths);
            for (const qreal width : widths)
                x += width;
            continue;
        }
        if (run.face != font.family()) {
            QFont runFont = font;
            runFont.setFamilies({run.face});
            painter.setFont(runFont);
            painterHasFont = false;
        } else if (!painterHasFont) {
            painter.setFont(font);
            painterHasFont = true;
        }
        painter.drawText(QPointF(x, baseline), run.text);
        if (pieces.size() > 1)
            x += QFontMetricsF(painter.font(), device).horizontalAdvance(run.text);
    }
}

} // namespace tarvel
