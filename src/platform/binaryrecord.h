#pragma once
/// Typed little-endian fields at byte offsets of one record's bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tarvel {

/// A fixed-width text field of a record: its byte offset and its width in bytes. Declared
/// once per record type and used by both its reader and its writer.
struct TextField {
    int offset;
    int width;

    /// Field k of a run of fields of this width that begins with this one (k = 0).
    constexpr TextField nth(int k) const { return {offset + width * k, width}; }
};

/// Reads fields out of a record. Offsets past the end read as zero bytes, so a damaged or
/// short record never reads out of bounds.
class RecordReader {
public:
    explicit RecordReader(QByteArrayView bytes) : bytes_(bytes) {}

    qint16 int16At(int offset) const;
    qint32 int32At(int offset) const;
    /// A fixed-width cp932 text field, decoded whole (trailing blanks and NULs kept).
    QString textAt(int offset, int width) const;
    QString text(TextField field) const { return textAt(field.offset, field.width); }
    /// The raw bytes of a field, zero-padded when the record is short.
    QByteArray bytesAt(int offset, int width) const;

private:
    QByteArrayView bytes_;
};

/// Builds a record of fixed length, zero-filled, field by field.
class RecordWriter {
public:
    explicit RecordWriter(int length) : bytes_(length, '\0') {}

    void putInt16(int offset, qint16 value);
    void putInt32(int offset, qint32 value);
    /// A cp932 text field, cut or blank-padded to `width` bytes.
    void putText(int offset, int width, QStringView text);
    void putText(TextField field, QStringView text) { putText(field.offset, field.width, text); }
    void putBytes(int offset, QByteArrayView bytes);

    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

} // namespace tarvel
