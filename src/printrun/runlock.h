#pragma once
/// One print run per meet at a time: the run lock in the meet's data folder.

#include "meetdb/datalocations.h"
#include "platform/filelock.h"

#include <QDateTime>
#include <QString>

namespace tarvel {

inline constexpr char16_t kRunLockFileName[] = u"tarvel.lock";

/// Held for the whole of a print run that prints or marks. The lock is the operating
/// system's on dataDir + "tarvel.lock" (see FileLock), so a second run, in this program or
/// another on any machine sharing the folder, cannot print the same races twice; a run that
/// was killed leaves nothing that blocks. The file says who holds the meet: host, program,
/// process and since when.
class RunLock {
public:
    /// Takes the meet. Throws tarvel::Failure (Kind::Busy) saying who holds it when another
    /// run does, and tarvel::Failure when the lock file cannot be opened or written.
    static RunLock acquire(const DataLocations& where);

private:
    explicit RunLock(FileLock lock) : lock_(std::move(lock)) {}

    FileLock lock_;
};

/// The note a holder writes into the lock file, and the words that describe it back:
/// "tarvel-batch (process 4242 on desk-2) since 2026-12-08 10:42:03". Parsing tolerates a
/// note that is empty, cut short or from elsewhere.
QByteArray holderNote(const QString& program, qint64 pid, const QString& host,
                      const QDateTime& since);
QString describeHolder(const QByteArray& note);

} // namespace tarvel
