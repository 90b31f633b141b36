#pragma once
/// Conversion between program text and code page 932 (Shift-JIS), the encoding of every
/// text in the meet's files.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tarvel::cp932 {

/// Decodes bytes into text. A double-byte character cut off at the end of the bytes and
/// every byte sequence that cp932 does not define decode to U+FFFD; never fails.
/// A field of w bytes therefore gives at most w characters.
QString decode(QByteArrayView bytes);

/// Encodes text; a character that cp932 cannot hold becomes "?".
QByteArray encode(QStringView text);

/// Encodes text into a fixed-width field of exactly `width` bytes: cut at the width (a
/// double-byte character that would straddle the end is replaced by a blank) or padded
/// with blanks on the right.
QByteArray encodeField(QStringView text, int width);

} // namespace tarvel::cp932
