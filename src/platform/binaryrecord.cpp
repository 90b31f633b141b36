#include "platform/binaryrecord.h"

#include "platform/cp932.h"

namespace tarvel {

namespace {

/// The byte at `index`, or zero outside the record.
quint8 byteAt(QByteArrayView bytes, qint64 index)
{
    if (index < 0 || index >= bytes.size())
        return 0;
    return static_cast<quint8>(bytes[index]);
}

} // namespace

qint16 RecordReader::int16At(int offset) const
{
    const quint16 v = quint16(byteAt(bytes_, offset) | (byteAt(bytes_, qint64(offset) + 1) << 8));
    return static_cast<qint16>(v);
}

qint32 RecordReader::int32At(int offset) const
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | byteAt(bytes_, qint64(offset) + i);
    return static_cast<qint32>(v);
}

QString RecordReader::textAt(int offset, int width) const
{
    // A field wholly inside the record is decoded where it lies, without a padded copy.
    if (width > 0 && offset >= 0 && qint64(offset) + width <= bytes_.size())
        return cp932::decode(bytes_.sliced(offset, width));
    return cp932::decode(bytesAt(offset, width));
}

QByteArray RecordReader::bytesAt(int offset, int width) const
{
    if (width <= 0)
        return {};
    QByteArray field(width, '\0');
    for (int i = 0; i < width; ++i)
        field[i] = char(byteAt(bytes_, qint64(offset) + i));
    return field;
}

// Writes outside the record are dropped: the record's length is fixed by its file.

void RecordWriter::putInt16(int offset, qint16 value)
{
    const auto v = static_cast<quint16>(value);
    const char le[2] = {char(v & 0xFF), char(v >> 8)};
    putBytes(offset, QByteArrayView(le, 2));
}

void RecordWriter::putInt32(int offset, qint32 value)
{
    const auto v = static_cast<quint32>(value);
    const char le[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                        char(v >> 24)};
    putBytes(offset, QByteArrayView(le, 4));
}

void RecordWriter::putText(int offset, int width, QStringView text)
{
    putBytes(offset, cp932::encodeField(text, width));
}

void RecordWriter::putBytes(int offset, QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const qint64 at = qint64(offset) + i;
        if (at >= 0 && at < bytes_.size())
            bytes_[at] = bytes[i];
    }
}

} // namespace tarvel
