#pragma once
/// Random-access files of fixed-length records, as the meet-management system keeps them.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tarvel {

/// An open record file. Records are numbered from 1; record r occupies bytes
/// (r - 1) * recordLength to r * recordLength - 1. The file is opened shared for reading and
/// writing so that the meet-management system keeps working on it; it is closed when the
/// object goes. Every failure throws tarvel::Failure naming the file.
class RecordFile {
public:
    enum class Access { ReadOnly, ReadWrite };

    /// Opens `path` (a path as the meet's files name it; see hostPath), which must exist:
    /// a missing file throws tarvel::Failure of Kind::Missing and is never created. The
    /// other system's files are opened this way; ReadOnly also works on a read-only share.
    static RecordFile openExisting(const QString& path, int recordLength, Access access);
    /// Opens `path` for reading and writing, creating it empty when missing. Only for files
    /// this program (or a tool that writes meets) owns.
    static RecordFile openOrCreate(const QString& path, int recordLength);

    RecordFile(RecordFile&& other) noexcept;
    RecordFile& operator=(RecordFile&& other) noexcept;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    ~RecordFile();

    /// Reads record `recordNo` (from 1). Bytes past the end of the file read as zero, so
    /// the result always has recordLength bytes.
    QByteArray readRecord(qint64 recordNo) const;
    /// Whether record `recordNo` lies wholly within the file as it now is.
    bool holdsRecord(qint64 recordNo) const;
    /// Writes record `recordNo`; `bytes` must be exactly recordLength long.
    void writeRecord(qint64 recordNo, QByteArrayView bytes);
    /// Writes `bytes` at byte `offset`, nothing else.
    void writeAt(qint64 offset, QByteArrayView bytes);
    /// The current length of the file in bytes.
    qint64 size() const;

    int recordLength() const { return recordLength_; }
    /// The path as given to open(), for messages.
    const QString& path() const { return path_; }

private:
    RecordFile(int fd, QString path, int recordLength);
    void close() noexcept;

    int fd_ = -1;
    QString path_;
    int recordLength_ = 0;
};

/// Reads a whole text file (a path as the meet's files name it). Throws tarvel::Failure
/// when it is missing or cannot be read.
QByteArray readWholeFile(const QString& path, const QString& action);

/// Replaces a whole file with `bytes`, so that a reader never sees it half written.
/// Throws tarvel::Failure when it cannot be written.
void replaceWholeFile(const QString& path, QByteArrayView bytes, const QString& action);

} // namespace tarvel
