#include "platform/qt/textpainter.h"

#include "platform/qt/fonts.h"

#include <QChar>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

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
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

/// The size the faces are inspected at; whether a glyph has an outline does not depend on it.
constexpr int kInspectPixels = 48;

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

bool TextPainter::hasInk(const QString& face, char32_t character)
{
    auto found = faces_.find(face);
    if (found == faces_.end()) {
        QFont font(face);
        font.setPixelSize(kInspectPixels);
        found = faces_.insert(face, FaceGlyphs{QRawFont::fromFont(font), {}});
    }
    FaceGlyphs& glyphs = found.value();
    const auto known = glyphs.inked.constFind(character);
    if (known != glyphs.inked.constEnd())
        return known.value();

    bool inked = false;
    if (glyphs.raw.isValid() && glyphs.raw.supportsCharacter(character)) {
        const QList<quint32> indexes = glyphs.raw.glyphIndexesForString(QString::fromUcs4(&character, 1));
        inked = indexes.size() == 1 && indexes.front() != 0
                && !glyphs.raw.pathForGlyph(indexes.front()).isEmpty();
    }
    glyphs.inked.insert(character, inked);
    return inked;
}

const QStringList& TextPainter::fallbacksFor(const QString& face)
{
    auto found = fallbacks_.find(face);
    if (found == fallbacks_.end())
        found = fallbacks_.insert(face, fallbackFaces(face));
    return found.value();
}

QList<TextPainter::Run> TextPainter::runs(const QString& face, const QString& text)
{
    QList<Run> result;
    const QList<uint> characters = text.toUcs4();
    for (const uint code : characters) {
        const char32_t c = code;
        QString drawnIn = face;
        if (followsPreviousRun(c)) {
            if (!result.isEmpty())
                drawnIn = result.back().face;
        } else if (!hasInk(face, c)) {
            for (const QString& other : fallbacksFor(face)) {
                if (hasInk(other, c)) {
                    drawnIn = other;
                    break;
                }
            }
        }
        if (result.isEmpty() || result.back().face != drawnIn)
            result.append(Run{QString(), drawnIn});
        result.back().text.append(QString::fromUcs4(&c, 1));
    }
    return result;
}

void TextPainter::draw(QPainter& painter, const QFont& font, QPointF topLeft,
                       const QString& text)
{
    if (text.isEmpty())
        return;
    painter.setFont(font);
    QPaintDevice* device = painter.device();
    const qreal baseline = topLeft.y() + QFontMetricsF(painter.font(), device).ascent();
    const QList<Run> pieces = runs(font.family(), text);

    qreal x = topLeft.x();
    for (const Run& run : pieces) {
        QFont runFont = font;
        if (run.face != font.family())
            runFont.setFamilies({run.face});
        painter.setFont(runFont);
        painter.drawText(QPointF(x, baseline), run.text);
        if (pieces.size() > 1)
            x += QFontMetricsF(painter.font(), device).horizontalAdvance(run.text);
    }
}

} // namespace tarvel
