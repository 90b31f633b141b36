#include "platform/cp932.h"

#include <QtGlobal>

#include <array>
#include <cerrno>
#include <cstdint>
#include <memory>

#include <iconv.h>

namespace tarvel::cp932 {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';
constexpr char kUnencodable = '?';

bool isLeadByte(unsigned b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(unsigned b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

/// One iconv conversion descriptor, closed when it goes.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (isOpen())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool isOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    /// Converts `in` whole; returns the number of output bytes, or -1 when iconv refuses
    /// any part of it.
    int convert(const char* in, size_t inLength, char* out, size_t outCapacity)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in);
        char* outPtr = out;
        size_t inLeft = inLength;
        size_t outLeft = outCapacity;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
            return -1;
        if (inLeft != 0)
            return -1;
        // Flush any shift state (none for cp932, but iconv wants it asked).
        if (iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1))
            return -1;
        return static_cast<int>(outCapacity - outLeft);
    }

private:
    iconv_t cd_;
};

/// The whole code page as lookup tables, built once from glibc's CP932 converter so that
/// converting a field is a table lookup per character.
class Tables {
public:
    /// Encode table entry for a character cp932 cannot hold.
    static constexpr quint16 kNoCode = 0xFFFF;

    Tables()
    {
        single_.fill(kReplacement);
        pair_.fill(kReplacement);
        encode_.fill(kNoCode);
        buildDecode();
        buildEncode();
    }

    bool isLead(unsigned char b) const { return isLeadByte(b); }
    char16_t single(unsigned char b) const { return single_[b]; }
    char16_t pair(unsigned char lead, unsigned char trail) const
    {
        return pair_[(unsigned(lead) << 8) | trail];
    }
    quint16 code(char16_t unit) const { return encode_[unit]; }

private:
    void buildDecode()
    {
        // ASCII exactly, including 0x1A, 0x1C and 0x7F (which some converters swap).
        for (unsigned b = 0; b < 0x80; ++b)
            single_[b] = char16_t(b);
        // Half-width katakana.
        for (unsigned b = 0xA1; b <= 0xDF; ++b)
            single_[b] = char16_t(0xFF61 + (b - 0xA1));
        // The single bytes Windows maps although cp932 leaves them undefined.
        single_[0x80] = u'\u0080';
        single_[0xA0] = u'\uF8F0';
        single_[0xFD] = u'\uF8F1';
        single_[0xFE] = u'\uF8F2';
        single_[0xFF] = u'\uF8F3';

        Converter toUtf16("UTF-16LE", "CP932");
        if (!toUtf16.isOpen()) {
            qCritical("cp932: iconv has no CP932 converter; only single bytes will decode");
            return;
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(lead))
                continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (!isTrailByte(trail))
                    continue;
                const char in[2] = {char(lead), char(trail)};
                char out[8];
                if (toUtf16.convert(in, 2, out, sizeof out) != 2)
                    continue;
                const char16_t unit = char16_t(quint8(out[0]) | (quint8(out[1]) << 8));
                pair_[(lead << 8) | trail] = unit;
            }
        }
    }

    void buildEncode()
    {
        Converter fromUtf16("CP932", "UTF-16LE");
        if (fromUtf16.isOpen()) {
            for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
                if (unit >= 0xD800 && unit <= 0xDFFF)
                    continue;
                const char in[2] = {char(unit & 0xFF), char(unit >> 8)};
                char out[8];
                const int n = fromUtf16.convert(in, 2, out, sizeof out);
                if (n == 1)
                    encode_[unit] = quint8(out[0]);
                else if (n == 2 && isLeadByte(quint8(out[0])) && isTrailByte(quint8(out[1])))
                    encode_[unit] = quint16((quint8(out[0]) << 8) | quint8(out[1]));
            }
        } else {
            qCritical("cp932: iconv has no CP932 converter; only single bytes will encode");
        }
        // The single bytes are fixed whatever the converter says, so that they round-trip.
        for (unsigned b = 0; b < 0x100; ++b) {
            if (!isLeadByte(b) && single_[b] != kReplacement)
                encode_[single_[b]] = quint16(b);
        }
        encode_[kReplacement] = kNoCode;
    }

    std::array<char16_t, 0x100> single_{};
    std::array<char16_t, 0x10000> pair_{};
    std::array<quint16, 0x10000> encode_{};
};

const Tables& tables()
{
    static const Tables instance;
    return instance;
}

/// Appends the cp932 bytes of one character given as UTF-16 code unit(s); a character
/// that needs two units (outside the BMP) is never in cp932.
void appendCode(QByteArray& out, quint16 code)
{
    if (code > 0xFF)
        out.append(char(code >> 8));
    out.append(char(code & 0xFF));
}

/// The cp932 code of the character at `i`, and how many UTF-16 units it takes.
struct CharCode {
    quint16 code = Tables::kNoCode;
    qsizetype units = 1;
};

CharCode codeAt(const Tables& t, QStringView text, qsizetype i)
{
    const char16_t unit = text[i].unicode();
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size()
        && QChar::isLowSurrogate(text[i + 1].unicode()))
        return {Tables::kNoCode, 2};
    if (QChar::isSurrogate(unit))
        return {Tables::kNoCode, 1};
    return {t.code(unit), 1};
}

} // namespace

QString decode(QByteArrayView bytes)
{
    const Tables& t = tables();
    const qsizetype n = bytes.size();
    // Never more characters than bytes: fill in place, then cut to what was written.
    QString text(n, Qt::Uninitialized);
    QChar* out = text.data();
    qsizetype written = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (!t.isLead(b)) {
            out[written++] = QChar(t.single(b));
            continue;
        }
        // A lead byte with no valid trail after it stands alone; the next byte is read
        // on its own, so an ASCII separator after a broken character is never swallowed.
        if (i + 1 >= n || !isTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
            out[written++] = QChar(kReplacement);
            continue;
        }
        out[written++] = QChar(t.pair(b, static_cast<unsigned char>(bytes[i + 1])));
        ++i;
    }
    text.truncate(written);
    return text;
}

QByteArray encode(QStringView text)
{
    const Tables& t = tables();
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size();) {
        const CharCode c = codeAt(t, text, i);
        i += c.units;
        if (c.code == Tables::kNoCode)
            out.append(kUnencodable);
        else
            appendCode(out, c.code);
    }
    return out;
}

QByteArray encodeField(QStringView text, int width)
{
    if (width <= 0)
        return {};
    const Tables& t = tables();
    QByteArray out;
    out.reserve(width);
    for (qsizetype i = 0; i < text.size() && out.size() < width;) {
        const CharCode c = codeAt(t, text, i);
        i += c.units;
        if (c.code == Tables::kNoCode) {
            out.append(kUnencodable);
        } else if (c.code > 0xFF && out.size() + 2 > width) {
            out.append(' '); // a double-byte character would straddle the field's end
        } else {
            appendCode(out, c.code);
        }
    }
    if (out.size() < width)
        out.append(width - out.size(), ' ');
    return out;
}

} // namespace tarvel::cp932
