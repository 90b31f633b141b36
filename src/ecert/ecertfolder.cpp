#include "ecert/ecertfolder.h"

#include "platform/descriptor.h"
#include "platform/failure.h"
#include "platform/newfile.h"
#include "platform/words.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string_view>

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

/// "R012_" of "R012_男子….pdf": the event a file belongs to.
QString prefixOf(const QString& file)
{
    return file.left(file.indexOf(u'_') + 1);
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
        if (name.startsWith(u'.') || (!folders && !name.endsWith(u".pdf"_qs)))
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

/// Removes the temporary files that a killed process left in `folder`: regular files named
/// ".tarvel-….part" only, and only those untouched for a while, since another desk sharing
/// the folder may be writing its own at this moment. Nothing is followed through a link
/// (unlinkat removes a name, never what a link points to). Best effort: a file that cannot
/// go stays for the next time.
void removeLeftovers(int folder)
{
    constexpr qint64 kLeftOverSeconds = 10 * 60;
    const int copy = ::dup(folder);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        return;
    }
    const qint64 before = qint64(::time(nullptr)) - kLeftOverSeconds;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (!name.starts_with(".tarvel-") || !name.ends_with(".part"))
            continue;
        struct stat info {};
        if (::fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(info.st_mode) && qint64(info.st_mtime) < before)
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(dir);
}

} // namespace

ECertificateFolder::ECertificateFolder(QString root) : root_(std::move(root)) {}

ECertificateFolder::~ECertificateFolder()
{
    discardStaged();
}

int ECertificateFolder::folderFd(const QString& name)
{
    if (const auto at = folders_.constFind(name); at != folders_.cend())
        return *at;
    if (rootFd_ < 0) {
        std::error_code ignored;
        std::filesystem::create_directories(
            std::filesystem::path(QFile::encodeName(root_).toStdString()).parent_path(), ignored);
        rootFd_ = openFolderAt(AT_FDCWD, QFile::encodeName(root_));
        if (rootFd_ < 0)
            throw Failure(writeAction(), root_, reason(errno));
    }
    const int fd = openFolderAt(rootFd_, QFile::encodeName(name));
    if (fd < 0)
        throw Failure(writeAction(), root_ + u'/' + name, reason(errno));
    folders_.insert(name, fd);
    if (!swept_.contains(name)) {
        swept_.insert(name);
        removeLeftovers(fd);
    }
    return fd;
}

void ECertificateFolder::closeFolders() noexcept
{
    for (const int fd : std::as_const(folders_))
        ::close(fd);
    folders_.clear();
    if (rootFd_ >= 0)
        ::close(rootFd_);
    rootFd_ = -1;
}

void ECertificateFolder::stage(const QString& relativePath, QByteArrayView bytes)
{
    const QString path = root_ + u'/' + relativePath;
    const QStringList parts = relativePath.split(u'/');
    if (parts.size() != 2 || !isPlainName(parts[0]) || !isPlainName(parts[1]))
        throw Failure(writeAction(), path, Words::tr("the name is not one of a file in a folder"));
    const int folder = folderFd(parts[0]);
    const QByteArray temporary = ".tarvel-" + QByteArray::number(qint64(::getpid())) + '-'
                                 + QByteArray::number(QRandomGenerator::global()->generate())
                                 + ".part";
    int fd;
    do {
        fd = ::openat(folder, temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw Failure(writeAction(), path, reason(errno));
    Descriptor file(fd);
    int error = writeFully(file.get(), bytes) ? 0 : errno;
    // close() reports what a network share could only say at the end.
    if (const int closed = file.close(); error == 0)
        error = closed;
    if (error != 0) {
        ::unlinkat(folder, temporary.constData(), 0);
        throw Failure(writeAction(), path, reason(error));
    }
    staged_.append({relativePath, parts[0], parts[1], temporary});
}

ECertificateFolder::Commit ECertificateFolder::commitStaged()
{
    Commit commit;
    if (staged_.isEmpty())
        return commit;
    // One flush for all the files, before any takes its name: a crash never leaves an
    // empty file under a final name, and a file costs no flush of its own.
    if (::syncfs(rootFd_) != 0) {
        const int error = errno;
        for (qsizetype i = 0; i < staged_.size(); ++i)
            commit.paths.append(QString());
        commit.failure = Failure(writeAction(), root_, reason(error));
        discardStaged();
        return commit;
    }
    for (const Staged& file : std::as_const(staged_)) {
        const int folder = folders_.value(file.folder, -1);
        if (::renameat(folder, file.temporary.constData(), folder,
                       QFile::encodeName(file.name).constData())
            != 0) {
            const int error = errno;
            ::unlinkat(folder, file.temporary.constData(), 0);
            commit.paths.append(QString());
            if (!commit.failure)
                commit.failure =
                    Failure(writeAction(), root_ + u'/' + file.relativePath, reason(error));
            continue;
        }
        commit.paths.append(root_ + u'/' + file.relativePath);
        if (files_ && file.name.contains(u'_')) {
            QStringList& known = (*files_)[prefixOf(file.name)];
            if (!known.contains(file.relativePath))
                known.append(file.relativePath);
        }
    }
    staged_.clear();
    closeFolders();
    return commit;
}

void ECertificateFolder::discardStaged() noexcept
{
    for (const Staged& file : std::as_const(staged_))
        ::unlinkat(folders_.value(file.folder, -1), file.temporary.constData(), 0);
    staged_.clear();
    closeFolders();
}

QString ECertificateFolder::write(const QString& relativePath, QByteArrayView bytes)
{
    stage(relativePath, bytes);
    Commit commit = commitStaged();
    if (commit.paths.back().isEmpty())
        throw *commit.failure;
    return commit.paths.back();
}

void ECertificateFolder::listFiles()
{
    files_.emplace();
    const Descriptor root(::open(QFile::encodeName(root_).constData(),
                                 O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (root.get() < 0)
        return; // no folder yet: no file
    for (const QString& name : entriesOf(root.get(), true)) {
        const Descriptor folder(::openat(root.get(), QFile::encodeName(name).constData(),
                                         O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (folder.get() < 0)
            continue;
        for (const QString& file : entriesOf(folder.get(), false)) {
            if (file.endsWith(u".pdf"_qs) && file.contains(u'_'))
                (*files_)[prefixOf(file)].append(name + u'/' + file);
        }
    }
}

QStringList ECertificateFolder::removeStale(const QString& prefix, const QStringList& kept)
{
    if (!files_)
        listFiles();
    QStringList removed;
    const QSet<QString> keep(kept.begin(), kept.end());
    QStringList& files = (*files_)[prefix];
    for (qsizetype i = files.size() - 1; i >= 0; --i) {
        const QString relative = files[i];
        if (keep.contains(relative))
            continue;
        // Through the folder opened without following a link, like every write.
        const QString folderName = relative.section(u'/', 0, 0);
        const Descriptor folder(::open(QFile::encodeName(root_ + u'/' + folderName).constData(),
                                       O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        const QByteArray name = QFile::encodeName(relative.section(u'/', 1));
        if ((folder.get() < 0 || ::unlinkat(folder.get(), name.constData(), 0) != 0)
            && errno != ENOENT)
            throw Failure(Words::tr("removing a superseded e-certificate"), root_ + u'/' + relative,
                          reason(errno));
        files.removeAt(i);
        removed.prepend(relative);
    }
    return removed;
}

} // namespace tarvel
