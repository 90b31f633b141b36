#pragma once
/// Following the print jobs of every desk on this scheduler until they are done.

#include "ledger/ledger.h"

#include <QSet>

#include <functional>
#include <memory>

namespace tarvel {

/// What one poll learnt.
struct JobPoll {
    /// Jobs that ended without their pages coming out (canceled, aborted), each told once
    /// in the watch's life: learnt from the scheduler now, or written by another desk since
    /// the last poll saw them pending.
    QList<OpenJob> failed;
    /// Jobs that went to held in this poll.
    QList<OpenJob> held;
    /// Some job's state changed in the ledger (by this poll or another desk's).
    bool changed = false;
};

/// Asks the scheduler after every job of the ledger that went to it and is not done yet,
/// whichever desk or program run sent it, and writes what changed into the ledger. It keeps
/// no thread: poll() waits for the ledger and the scheduler, so it is called on a worker
/// thread every few seconds (one thread at a time). A ledger that cannot be opened or read
/// is tried again at the next poll.
class JobWatch {
public:
    /// The scheduler's answer for a job; nothing when it cannot be asked. Called on the
    /// polling thread.
    using StateQuery = std::function<std::optional<JobState>(int jobId)>;
    using LedgerFactory = std::function<std::unique_ptr<Ledger>()>;

    /// `scheduler` names the scheduler `query` asks (as the recorder names it); jobs of
    /// earlier versions without that name are taken as this machine's (`host`).
    JobWatch(LedgerFactory openLedger, StateQuery query, QString scheduler, QString host);

    JobPoll poll();

private:
    LedgerFactory openLedger_;
    StateQuery query_;
    QString scheduler_;
    QString host_;
    std::unique_ptr<Ledger> ledger_;
    QHash<qint64, OpenJob> watched_; ///< pending at the last poll, by document
    QSet<qint64> told_;
};

} // namespace tarvel
