#pragma once
/// The e-certificates folder on disk: files written whole, replacing their older selves,
/// never through a symbolic link and never outside the folder.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

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

    const QString& root() const { return root_; }

    /// Writes `bytes` as the file `relativePath` (its folder created when missing): under a
    /// hidden temporary name in the same folder, flushed and closed, then renamed over an
    /// older file of that name. Neither the folder nor the file is followed through a link.
    /// On a failure (a full disk) the temporary file is removed and an older file of that
    /// name stays as it was. Returns the file's path on this machine.
    QString write(const QString& relativePath, QByteArrayView bytes);

    /// Removes the PDF files whose names begin with `prefix` from every affiliation folder,
    /// but for those in `kept` (relative paths): the files an event no longer has. Returns
    /// the relative paths removed.
    QStringList removeStale(const QString& prefix, const QStringList& kept);

private:
    QString root_;
};

} // namespace tarvel
