#pragma once
/// Following this program run's print jobs in the scheduler until they are done.

#include "ledger/ledger.h"

#include <functional>
#include <memory>

namespace tarvel {

/// Asks the state of this session's unfinished jobs and writes what changed into the ledger.
/// Called every few seconds while the program runs (the window's timer); it keeps no
/// thread. A ledger that cannot be opened or read is tried again at the next poll.
class JobWatch {
public:
    /// The scheduler's answer for a job; nothing when it cannot be asked.
    using StateQuery = std::function<std::optional<JobState>(int jobId)>;
    using LedgerFactory = std::function<std::unique_ptr<Ledger>()>;

    JobWatch(LedgerFactory openLedger, StateQuery query, QString session = thisSession());

    /// Asks after every unfinished job and records the changes. Returns the jobs that ended
    /// without their pages coming out (canceled, aborted) in this poll, for the operator.
    QList<OpenJob> poll();

private:
    LedgerFactory openLedger_;
    StateQuery query_;
    QString session_;
    std::unique_ptr<Ledger> ledger_;
};

} // namespace tarvel
