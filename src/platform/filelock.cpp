#include "platform/filelock.h"

#include "platform/failure.h"
#include "platform/words.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvel {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

/// Takes an exclusive lock on the whole file without waiting: 0, or the errno.
int lockWhole(int fd)
{
    struct flock request {};
    request.l_type = F_WRLCK;
    request.l_whence = SEEK_SET;
    request.l_start = 0;
    request.l_len = 0; // to the end, however long the file grows
#ifdef F_OFD_SETLK
    // Open-file-description locks belong to this descriptor, not to the whole process: two
    // locks of one process conflict too, and closing another descriptor of the same file
    // does not drop this one.
    if (::fcntl(fd, F_OFD_SETLK, &request) == 0)
        return 0;
    if (errno != EINVAL)
        return errno;
#endif
    return ::fcntl(fd, F_SETLK, &request) == 0 ? 0 : errno;
}

} // namespace

std::optional<FileLock> FileLock::tryAcquire(const QString& path, const QString& action)
{
    int fd;
    do {
        // Never through a link: one planted in a shared folder would have this program
        // create or truncate whatever it points to.
        fd = ::open(QFile::encodeName(path).constData(),
                    O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && errno == ELOOP)
        throw Failure(action, path,
                      Words::tr("it is a symbolic link; the lock file must be a plain file"));
    if (fd < 0)
        throw Failure(action, path, systemReason(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw Failure(action, path, Words::tr("it is not a plain file"));
    }
    const int error = lockWhole(fd);
    if (error == 0)
        return FileLock(fd, path, action);
    ::close(fd);
    if (error == EAGAIN || error == EACCES)
        return std::nullopt;
    throw Failure(action, path, systemReason(error));
}

FileLock::FileLock(int fd, QString path, QString action)
    : fd_(fd)
    , path_(std::move(path))
    , action_(std::move(action))
{
}

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1))
    , path_(std::move(other.path_))
    , action_(std::move(other.action_))
{
}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        action_ = std::move(other.action_);
    }
    return *this;
}

FileLock::~FileLock()
{
    release();
}

void FileLock::release() noexcept
{
    if (fd_ >= 0)
        ::close(fd_); // closing the descriptor releases the lock
    fd_ = -1;
}

void FileLock::writeNote(const QByteArray& note)
{
    if (::ftruncate(fd_, 0) != 0)
        throw Failure(action_, path_, systemReason(errno));
    qint64 done = 0;
    while (done < note.size()) {
        const ssize_t n = ::pwrite(fd_, note.constData() + done, size_t(note.size() - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw Failure(action_, path_, systemReason(n < 0 ? errno : EIO));
        done += n;
    }
}

} // namespace tarvel
