#pragma once
/// Files this program creates in a shared folder: never through a symbolic link, never seen
/// half written under their final name, never replacing another file.

#include <QByteArrayView>
#include <QString>

#include <functional>

namespace tarvel {

/// The name to try at each attempt (0, 1, ...): a file name without a folder.
using FileNameChoice = std::function<QString(int attempt)>;

/// Writes `bytes` as a new file in `folder` (a path of this machine; created with its
/// parents when missing) and returns its path. The folder itself must not be a symbolic
/// link. The file is written under a hidden temporary name in the same folder, flushed and
/// closed, then renamed to the first name of `chooseName` that is not taken, so that a
/// killed writer never leaves part of a file under its final name and an existing file is
/// never replaced; nothing is opened through a symbolic link. Throws tarvel::Failure naming
/// the folder or file and the system's reason; then no file of it is left behind.
QString writeNewFileInFolder(const QString& folder, const FileNameChoice& chooseName,
                             QByteArrayView bytes, const QString& action);

/// Writes all of `bytes` to the descriptor `fd`, going on after an interrupted or short
/// write. False with errno set when the system refused (EIO for a write of nothing).
bool writeFully(int fd, QByteArrayView bytes);

} // namespace tarvel
