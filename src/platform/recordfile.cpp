#include "platform/recordfile.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/words.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvel {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void fail(const QString& action, const QString& path, int error)
{
    throw Failure(action, path, systemReason(error));
}

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(hostPath(path));
}

/// Reads up to `length` bytes at `offset`; fewer only at the end of the file.
/// Returns the count read, or -1 with errno set.
qint64 preadFully(int fd, char* buffer, qint64 length, qint64 offset)
{
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, buffer + done, size_t(length - done), off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

/// Writes all of `length` bytes at `offset`, or returns false with errno set.
bool pwriteFully(int fd, const char* buffer, qint64 length, qint64 offset)
{
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pwrite(fd, buffer + done, size_t(length - done), off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

int openRetrying(const char* path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

void closeQuietly(int fd)
{
    if (fd >= 0)
        ::close(fd); // not retried on EINTR: on Linux the descriptor is gone either way
}

/// Byte offset of a record, or -1 when the number is below 1 or the offset would not fit.
qint64 recordOffset(qint64 recordNo, int recordLength)
{
    if (recordNo < 1 || recordLength <= 0)
        return -1;
    if (recordNo - 1 > std::numeric_limits<qint64>::max() / recordLength)
        return -1;
    return (recordNo - 1) * recordLength;
}

/// Record `recordNo` at `offset`, the offset left out when it is below 0 (no such record).
Failure::Place placeOf(qint64 recordNo, qint64 offset)
{
    if (offset < 0)
        return {recordNo, std::nullopt};
    return {recordNo, offset};
}

QString readingWord()
{
    return Words::tr("reading");
}

QString writingWord()
{
    return Words::tr("writing");
}

} // namespace

RecordFile RecordFile::openExisting(const QString& path, int recordLength, Access access)
{
    if (recordLength <= 0)
        throw Failure(Words::tr("opening"), path,
                      Words::tr("invalid record length %1").arg(recordLength));
    const int flags = access == Access::ReadOnly ? O_RDONLY : O_RDWR;
    const int fd = openRetrying(nativePath(path).constData(), flags);
    if (fd < 0 && errno == ENOENT)
        throw Failure(Words::tr("opening"), path, Words::tr("file not found"),
                      Failure::Kind::Missing);
    if (fd < 0)
        fail(Words::tr("opening"), path, errno);
    return RecordFile(fd, path, recordLength);
}

RecordFile RecordFile::openOrCreate(const QString& path, int recordLength)
{
    if (recordLength <= 0)
        throw Failure(Words::tr("opening"), path,
                      Words::tr("invalid record length %1").arg(recordLength));
    const int fd = openRetrying(nativePath(path).constData(), O_RDWR | O_CREAT, 0666);
    if (fd < 0)
        fail(Words::tr("opening"), path, errno);
    return RecordFile(fd, path, recordLength);
}

RecordFile::RecordFile(int fd, QString path, int recordLength)
    : fd_(fd)
    , path_(std::move(path))
    , recordLength_(recordLength)
{
}

RecordFile::RecordFile(RecordFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1))
    , path_(std::move(other.path_))
    , recordLength_(other.recordLength_)
{
}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        recordLength_ = other.recordLength_;
    }
    return *this;
}

RecordFile::~RecordFile()
{
    close();
}

void RecordFile::close() noexcept
{
    closeQuietly(fd_);
    fd_ = -1;
}

QByteArray RecordFile::readRecord(qint64 recordNo) const
{
    const qint64 offset = recordOffset(recordNo, recordLength_);
    if (offset < 0)
        throw Failure(readingWord(), path_, placeOf(recordNo, offset), Words::tr("no such record"));
    QByteArray bytes(recordLength_, '\0');
    const qint64 n = preadFully(fd_, bytes.data(), recordLength_, offset);
    if (n < 0)
        throw Failure(readingWord(), path_, placeOf(recordNo, offset), systemReason(errno));
    // Past the end of the file the record reads as zero bytes (already there).
    return bytes;
}

bool RecordFile::holdsRecord(qint64 recordNo) const
{
    const qint64 offset = recordOffset(recordNo, recordLength_);
    return offset >= 0 && offset <= size() - recordLength_;
}

void RecordFile::writeRecord(qint64 recordNo, QByteArrayView bytes)
{
    const qint64 offset = recordOffset(recordNo, recordLength_);
    if (offset < 0)
        throw Failure(writingWord(), path_, placeOf(recordNo, offset), Words::tr("no such record"));
    if (bytes.size() != recordLength_)
        throw Failure(writingWord(), path_, placeOf(recordNo, offset),
                      Words::tr("%1 bytes given, the record length is %2")
                          .arg(bytes.size())
                          .arg(recordLength_));
    if (offset > std::numeric_limits<qint64>::max() - recordLength_)
        throw Failure(writingWord(), path_, placeOf(recordNo, offset), Words::tr("no such record"));
    if (!pwriteFully(fd_, bytes.data(), bytes.size(), offset))
        throw Failure(writingWord(), path_, placeOf(recordNo, offset), systemReason(errno));
}

void RecordFile::writeAt(qint64 offset, QByteArrayView bytes)
{
    const QString action = Words::tr("writing %1 bytes at byte %2").arg(bytes.size()).arg(offset);
    if (offset < 0 || offset > std::numeric_limits<qint64>::max() - bytes.size())
        throw Failure(action, path_, Words::tr("invalid offset"));
    if (!pwriteFully(fd_, bytes.data(), bytes.size(), offset))
        fail(action, path_, errno);
}

qint64 RecordFile::size() const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        fail(Words::tr("finding the size of"), path_, errno);
    return qint64(st.st_size);
}

QByteArray readWholeFile(const QString& path, const QString& action)
{
    const int fd = openRetrying(nativePath(path).constData(), O_RDONLY);
    if (fd < 0) {
        if (errno == ENOENT)
            throw Failure(action, path, Words::tr("file not found"), Failure::Kind::Missing);
        fail(action, path, errno);
    }
    QByteArray content;
    char buffer[65536];
    qint64 offset = 0;
    for (;;) {
        const qint64 n = preadFully(fd, buffer, sizeof buffer, offset);
        if (n < 0) {
            const int error = errno;
            closeQuietly(fd);
            fail(action, path, error);
        }
        content.append(buffer, n);
        offset += n;
        if (n < qint64(sizeof buffer))
            break;
    }
    closeQuietly(fd);
    return content;
}

void replaceWholeFile(const QString& path, QByteArrayView bytes, const QString& action)
{
    const QString target = hostPath(path);
    const QFileInfo info(target);
    const QByteArray targetName = QFile::encodeName(target);

    // A unique name beside the target, so that the rename stays on one file system.
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempName = QFile::encodeName(info.absolutePath() + u"/."_qs + info.fileName()) + ".tmp-"
                   + QByteArray::number(qint64(::getpid())) + '-'
                   + QByteArray::number(QRandomGenerator::global()->generate());
        fd = openRetrying(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        fail(action, path, errno);

    auto abandon = [&](int error) {
        closeQuietly(fd);
        ::unlink(tempName.constData());
        fail(action, path, error);
    };

    // Keep the permissions of the file being replaced.
    struct stat st {};
    if (::stat(targetName.constData(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);

    if (!pwriteFully(fd, bytes.data(), bytes.size(), 0))
        abandon(errno);
    if (::fsync(fd) != 0)
        abandon(errno);
    if (::close(fd) != 0 && errno != EINTR) {
        const int error = errno;
        ::unlink(tempName.constData());
        fail(action, path, error);
    }
    fd = -1;
    if (::rename(tempName.constData(), targetName.constData()) != 0) {
        const int error = errno;
        ::unlink(tempName.constData());
        fail(action, path, error);
    }
    // Make the rename itself durable; a failure here loses nothing already written.
    const int dirFd =
        openRetrying(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        closeQuietly(dirFd);
    }
}

} // namespace tarvel
