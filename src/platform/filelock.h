#pragma once
/// An exclusive lock on a file, held by the operating system for the lock's lifetime.

#include <QByteArray>
#include <QString>

#include <optional>

namespace tarvel {

/// The lock is the system's (an open-file-description lock where the kernel has them, a
/// POSIX record lock otherwise), so it works between processes on this machine and, where
/// the file system passes locks on (NFS, SMB), between machines; and it goes with the
/// process, so a killed holder never leaves the file locked. The file itself stays; its
/// content only says who holds the lock.
class FileLock {
public:
    /// Opens or creates `path` (a path of this machine; never through a symbolic link, and
    /// only a plain file) and takes the lock without waiting.
    /// Nothing when another holds it. Throws tarvel::Failure when the file cannot be opened
    /// or the file system refuses locks altogether.
    static std::optional<FileLock> tryAcquire(const QString& path, const QString& action);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    /// Releases the lock.
    ~FileLock();

    /// Replaces the file's content with `note` (who holds the lock). Throws tarvel::Failure.
    void writeNote(const QByteArray& note);

private:
    FileLock(int fd, QString path, QString action);
    void release() noexcept;

    int fd_ = -1;
    QString path_;
    QString action_;
};

} // namespace tarvel
