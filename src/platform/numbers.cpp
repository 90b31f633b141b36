#include "platform/numbers.h"

#include "platform/failure.h"
#include "platform/words.h"

#include <QByteArray>
#include <QLocale>

#include <charconv>
#include <cmath>
#include <limits>

namespace tarvel {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

/// The number a text begins with, gathered without blanks into plain ASCII
/// ("[-]digits[.digits][e[-]digits]"), plus where its decimal magnitude lies.
struct Gathered {
    QByteArray ascii;
    bool hasDigits = false;
    /// Index of the first non-zero mantissa digit relative to the decimal point (digits
    /// before the point count from 1); only meaningful when the mantissa is non-zero.
    qint64 leadingPosition = 0;
    bool mantissaZero = true;
    qint64 exponent = 0;
};

Gathered gatherNumber(QStringView text)
{
    Gathered g;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };

    skipBlanks();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            g.ascii.append('-');
        ++i;
    }
    // Gathers a run of digits; `positionOf(k)` is where the k-th digit of the run stands
    // relative to the decimal point.
    auto gatherDigits = [&](auto positionOf) {
        for (qint64 count = 1;; ++i, ++count) {
            skipBlanks();
            if (i >= n || !isDigit(text[i]))
                return;
            g.ascii.append(char(text[i].unicode()));
            g.hasDigits = true;
            if (g.mantissaZero && text[i] != u'0') {
                g.mantissaZero = false;
                g.leadingPosition = positionOf(count);
            }
        }
    };
    gatherDigits([](qint64 k) { return k; });
    skipBlanks();
    if (i < n && text[i] == u'.') {
        g.ascii.append('.');
        ++i;
        gatherDigits([](qint64 k) { return 1 - k; });
    }
    if (!g.hasDigits)
        return g;

    // An exponent counts only when digits follow its letter (and sign).
    skipBlanks();
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        auto skipBlanksAtJ = [&] {
            while (j < n && isBlank(text[j]))
                ++j;
        };
        skipBlanksAtJ();
        bool negative = false;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            negative = text[j] == u'-';
            ++j;
        }
        QByteArray digits;
        for (;; ++j) {
            skipBlanksAtJ();
            if (j >= n || !isDigit(text[j]))
                break;
            digits.append(char(text[j].unicode()));
        }
        if (!digits.isEmpty()) {
            // Clamped far beyond any double's range, so huge exponents cannot overflow.
            qint64 e = 0;
            for (char d : digits) {
                e = e * 10 + (d - '0');
                if (e > 1'000'000'000)
                    break;
            }
            g.exponent = negative ? -e : e;
            g.ascii.append('e');
            g.ascii.append(QByteArray::number(g.exponent));
        }
    }
    return g;
}

[[noreturn]] void failToFit(double value, int bits)
{
    const QString shown =
        std::isnan(value) ? u"NaN"_qs : QString::number(value, 'g', QLocale::FloatingPointShortest);
    throw Failure(Words::tr("converting a number"), QString(),
                  Words::tr("%1 does not fit %2 bits").arg(shown).arg(bits),
                  Failure::Kind::Damaged);
}

/// Nearest integer, halves to the even neighbour, whatever the current rounding mode.
double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor; // exact: both have the same binary exponent range
    if (fraction > 0.5)
        return floor + 1;
    if (fraction < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

template <typename Int>
Int toIntOfWidth(double value)
{
    if (!std::isfinite(value))
        failToFit(value, std::numeric_limits<Int>::digits + 1);
    const double rounded = roundHalfEven(value);
    if (rounded < double(std::numeric_limits<Int>::min())
        || rounded > double(std::numeric_limits<Int>::max()))
        failToFit(value, std::numeric_limits<Int>::digits + 1);
    return static_cast<Int>(rounded);
}

} // namespace

QString numberText(qint64 value)
{
    if (value < 0)
        return QString::number(value);
    return u' ' + QString::number(value);
}

double numericValue(QStringView text)
{
    const Gathered g = gatherNumber(text);
    if (!g.hasDigits)
        return 0.0;
    const char* first = g.ascii.constData();
    const char* last = first + g.ascii.size();
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: the decimal magnitude says which.
        const bool negative = g.ascii.startsWith('-');
        const bool overflow = !g.mantissaZero && g.leadingPosition + g.exponent > 0;
        const double magnitude = overflow ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -magnitude : magnitude;
    }
    if (ec != std::errc())
        return 0.0;
    return value;
}

bool beginsWithNumber(QStringView text)
{
    return gatherNumber(text).hasDigits;
}

qint16 toInt16(double value)
{
    return toIntOfWidth<qint16>(value);
}

qint32 toInt32(double value)
{
    return toIntOfWidth<qint32>(value);
}

} // namespace tarvel
