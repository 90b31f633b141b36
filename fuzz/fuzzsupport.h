#pragma once
/// What the libFuzzer targets share: a scratch folder for readers that take a path, input
/// split into files, and invariant checks that stop the fuzzer with a message.

#include "meetdb/datalocations.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace tarvel::fuzz {

/// The fuzz input as bytes, without a copy.
inline QByteArrayView inputBytes(const uint8_t* data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

/// Stops the process with `what` on stderr when `holds` is false; libFuzzer then keeps the
/// input that broke the invariant.
void check(bool holds, const char* what);

/// One folder per process (under $TMPDIR), made on first use and removed at exit; targets
/// rewrite their files in it for every input.
const QString& scratchFolder();

/// Where the meet's files are when they lie in the scratch folder (master file
/// "master.dat"), as POSIX paths with a trailing "/".
DataLocations scratchLocations();

/// Replaces scratch file `name` with `bytes`; returns its path.
QString writeScratchFile(const QString& name, QByteArrayView bytes);
QByteArray readScratchFile(const QString& name);

/// Parts of a fuzz input that carries several files, separated by kPartSeparator. Always
/// `count` parts: missing ones are empty, anything after the last is part of it.
inline constexpr char kPartSeparator[] = "\n@part@\n";
QList<QByteArrayView> splitParts(QByteArrayView input, int count);

/// The text as cp932 stores it: U+FFFD (an undecodable byte sequence) becomes "?".
QString asStored(QString text);

/// The bytes with every cp932 lead byte moved into the single-byte range (XOR 0x40), so
/// that each text field decodes without U+FFFD.
QByteArray withoutLeadBytes(QByteArrayView bytes);

/// Checks a record type's decoder against its encoder: whatever the bytes, the decoded
/// record encodes into `length` bytes and is stable after one pass; a record whose texts
/// are all valid single-byte codes comes back field for field.
template <typename Record>
void checkRecordRoundTrip(QByteArrayView bytes, int length, Record (*decode)(QByteArrayView),
                          QByteArray (*encode)(const Record&))
{
    const QByteArray once = encode(decode(bytes));
    check(once.size() == length, "a record encodes into its length");
    const Record stored = decode(once);
    check(decode(encode(stored)) == stored, "an encoded record decodes to itself");

    const Record plain = decode(withoutLeadBytes(bytes));
    check(decode(encode(plain)) == plain, "a record of single-byte texts comes back whole");
}

} // namespace tarvel::fuzz
