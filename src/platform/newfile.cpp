#include "platform/newfile.h"

#include "platform/descriptor.h"
#include "platform/failure.h"
#include "platform/words.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvel {

namespace {

constexpr int kNameAttempts = 1000;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

/// Why a path cannot be written into, in words the operator can act on.
QString refusal(int error)
{
    if (error == ELOOP)
        return Words::tr("it is a symbolic link; files are never written through a link here");
    return systemReason(error);
}

bool isLink(const QByteArray& name)
{
    struct stat info {};
    return ::lstat(name.constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

/// Opens the folder, creating it (and its parents) when missing; its last part must be a
/// real folder, not a link to one.
int openFolder(const QString& folder, const QString& action)
{
    const QByteArray name = QFile::encodeName(folder);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(name.toStdString()).parent_path(),
                                        error);
    if (::mkdir(name.constData(), 0777) != 0 && errno != EEXIST)
        throw Failure(action, folder, systemReason(errno));
    int fd;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw Failure(action, folder, refusal(errno == ENOTDIR && isLink(name) ? ELOOP : errno));
    return fd;
}

/// Renames without replacing: 0, or the errno (EEXIST when the name is taken).
int renameNoReplace(int folder, const char* from, const char* to)
{
    if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the flag (some network shares): a hard link never replaces.
    if (::linkat(folder, from, folder, to, 0) == 0) {
        ::unlinkat(folder, from, 0);
        return 0;
    }
    return errno;
}

} // namespace

bool writeFully(int fd, QByteArrayView bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

QString writeNewFileInFolder(const QString& folder, const FileNameChoice& chooseName,
                             QByteArrayView bytes, const QString& action)
{
    const Descriptor dir(openFolder(folder, action));
    const QByteArray temporary = ".tarvel-" + QByteArray::number(qint64(::getpid())) + '-'
                                 + QByteArray::number(QRandomGenerator::global()->generate())
                                 + ".part";
    int fd;
    do {
        fd = ::openat(dir.get(), temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw Failure(action, folder, refusal(errno));
    Descriptor file(fd);
    int error = 0;
    if (!writeFully(file.get(), bytes) || ::fsync(file.get()) != 0)
        error = errno;
    // close() reports what a network share could only say at the end.
    if (const int closed = file.close(); error == 0)
        error = closed;
    auto abandon = [&](const QString& path, int why) {
        ::unlinkat(dir.get(), temporary.constData(), 0);
        throw Failure(action, path, refusal(why));
    };
    if (error != 0)
        abandon(folder + u'/' + chooseName(0), error);

    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString name = chooseName(attempt);
        const int renamed =
            renameNoReplace(dir.get(), temporary.constData(), QFile::encodeName(name).constData());
        if (renamed == EEXIST)
            continue;
        if (renamed != 0)
            abandon(folder + u'/' + name, renamed);
        return folder + u'/' + name;
    }
    abandon(folder + u'/' + chooseName(0), EEXIST);
    return {};
}

} // namespace tarvel
