#pragma once
/// The e-certificates folder on disk: files written whole, replacing their older selves,
/// never through a symbolic link and never outside the folder.

#include "platform/failure.h"

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarvel {

/// `root` is the e-certificates folder, a path of this machine (created with its parents
/// when first written to; it must not be a symbolic link). Relative paths are
/// "<folder>/<file>" as planFileNames() makes them; any other shape (more or fewer parts,
/// "." or "..") is refused, so nothing is ever written or removed outside the root.
/// Blocking file I/O: call off the GUI thread. Every failure throws tarvel::Failure naming
/// the file and the system's reason.
class ECertificateFolder {
public:
    explicit ECertificateFolder(QString root);
    ~ECertificateFolder();
    ECertificateFolder(const ECertificateFolder&) = delete;
    ECertificateFolder& operator=(const ECertificateFolder&) = delete;

    const QString& root() const { return root_; }

    /// Writes `bytes` as the file `relativePath` (its folder created when missing): under a
    /// hidden temporary name in the same folder, flushed and closed, then renamed over an
    /// older file of that name. Neither the folder nor the file is followed through a link.
    /// The first write to a folder removes the temporary files a killed process left there
    /// (regular files ".tarvel-….part" untouched for ten minutes).
    /// On a failure (a full disk) the temporary file is removed and an older file of that
    /// name stays as it was. Returns the file's path on this machine.
    QString write(const QString& relativePath, QByteArrayView bytes);

    /// What a commit came to: the path of each file staged, in the order staged, empty for
    /// a file that could not take its name; and the first failure.
    struct Commit {
        QStringList paths;
        std::optional<Failure> failure;
    };

    /// write() for many files at once, faster: stage() writes each under its temporary name
    /// (not yet flushed); commitStaged() flushes them all with one call and then renames
    /// each into place. A file that cannot be staged throws, leaving no temporary file of
    /// its own and the files staged before it staged. A file that cannot take its name
    /// loses its temporary file and the others go on; a flush that fails loses them all.
    /// The files renamed stay, each whole. discardStaged() (and the destructor) drop the
    /// files staged.
    void stage(const QString& relativePath, QByteArrayView bytes);
    Commit commitStaged();
    void discardStaged() noexcept;

    /// Removes the PDF files whose names begin with `prefix` (up to its first "_", as
    /// eventFilePrefix() makes it) from every affiliation folder, but for those in `kept`
    /// (relative paths): the files an event no longer has. Returns the relative paths
    /// removed. The folders are listed once, at the first call, and the list is kept up to
    /// date by this object's own writes and removals, so that a whole meet costs one listing;
    /// files another desk writes meanwhile are seen by the next object.
    QStringList removeStale(const QString& prefix, const QStringList& kept);

private:
    /// A file written under its temporary name, to be renamed to `name` in `folder`.
    struct Staged {
        QString relativePath;
        QString folder;
        QString name;
        QByteArray temporary;
    };
    void listFiles();
    /// The affiliation folder opened (created when missing), kept until the commit.
    int folderFd(const QString& name);
    void closeFolders() noexcept;

    QString root_;
    /// The PDF files by the prefix of their names ("R012_"), once listed.
    std::optional<QHash<QString, QStringList>> files_;
    QList<Staged> staged_;
    int rootFd_ = -1;
    QHash<QString, int> folders_;
    /// The folders whose leftovers were removed already.
    QSet<QString> swept_;
};

} // namespace tarvel
