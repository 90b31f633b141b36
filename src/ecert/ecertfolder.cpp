#include "ecert/ecertfolder.h"

#include "platform/failure.h"
#include "platform/words.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvel {

namespace {

QString writeAction()
{
    return Words::tr("writing an e-certificate");
}

QString reason(int error)
{
    if (error == ELOOP || error == ENOTDIR)
        return Words::tr("it is a symbolic link or not a folder; files are never written "
                         "through a link here");
    return QString::fromLocal8Bit(std::strerror(error));
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 || errno == EINTR ? 0 : errno;
    }

private:
    int fd_;
};

/// Opens the folder `name` under `parent` (AT_FDCWD: a path), creating it when missing,
/// never following a link.
int openFolderAt(int parent, const QByteArray& name)
{
    if (::mkdirat(parent, name.constData(), 0777) != 0 && errno != EEXIST)
        return -1;
    int fd;
    do {
        fd = ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

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

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != u"."_qs && name != u".."_qs && !name.contains(u'/')
           && !name.contains(QChar(0));
}

QStringList entriesOf(int folder, bool folders)
{
    QStringList names;
    const int copy = ::dup(folder);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        return names;
    }
    ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name.startsWith(u'.'))
            continue;
        struct stat info {};
        if (::fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (folders ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode))
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

} // namespace

ECertificateFolder::ECertificateFolder(QString root) : root_(std::move(root)) {}

QString ECertificateFolder::write(const QString& relativePath, QByteArrayView bytes)
{
    const QString path = root_ + u'/' + relativePath;
    const QStringList parts = relativePath.split(u'/');
    if (parts.size() != 2 || !isPlainName(parts[0]) || !isPlainName(parts[1]))
        throw Failure(writeAction(), path, Words::tr("the name is not one of a file in a folder"));

    std::error_code ignored;
    std::filesystem::create_directories(
        std::filesystem::path(QFile::encodeName(root_).toStdString()).parent_path(), ignored);
    const Fd root(openFolderAt(AT_FDCWD, QFile::encodeName(root_)));
    if (root.get() < 0)
        throw Failure(writeAction(), root_, reason(errno));
    const Fd folder(openFolderAt(root.get(), QFile::encodeName(parts[0])));
    if (folder.get() < 0)
        throw Failure(writeAction(), root_ + u'/' + parts[0], reason(errno));

    const QByteArray temporary = ".tarvel-" + QByteArray::number(qint64(::getpid())) + '-'
                                 + QByteArray::number(QRandomGenerator::global()->generate())
                                 + ".part";
    int fd;
    do {
        fd = ::openat(folder.get(), temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw Failure(writeAction(), path, reason(errno));
    Fd file(fd);
    int error = 0;
    if (!writeFully(file.get(), bytes) || ::fsync(file.get()) != 0)
        error = errno;
    // close() reports what a network share could only say at the end.
    if (const int closed = file.close(); error == 0)
        error = closed;
    if (error == 0
        && ::renameat(folder.get(), temporary.constData(), folder.get(),
                      QFile::encodeName(parts[1]).constData())
               != 0)
        error = errno;
    if (error != 0) {
        ::unlinkat(folder.get(), temporary.constData(), 0);
        throw Failure(writeAction(), path, reason(error));
    }
    return path;
}

QStringList ECertificateFolder::removeStale(const QString& prefix, const QStringList& kept)
{
    QStringList removed;
    const Fd root(::open(QFile::encodeName(root_).constData(),
                         O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (root.get() < 0)
        return removed; // no folder yet: nothing to remove
    const QSet<QString> keep(kept.begin(), kept.end());
    for (const QString& name : entriesOf(root.get(), true)) {
        const Fd folder(::openat(root.get(), QFile::encodeName(name).constData(),
                                 O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (folder.get() < 0)
            continue;
        for (const QString& file : entriesOf(folder.get(), false)) {
            const QString relative = name + u'/' + file;
            if (!file.startsWith(prefix) || !file.endsWith(u".pdf"_qs) || keep.contains(relative))
                continue;
            if (::unlinkat(folder.get(), QFile::encodeName(file).constData(), 0) != 0)
                throw Failure(Words::tr("removing a superseded e-certificate"),
                              root_ + u'/' + relative, reason(errno));
            removed.append(relative);
        }
    }
    return removed;
}

} // namespace tarvel
