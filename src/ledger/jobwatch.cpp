#include "ledger/jobwatch.h"

#include "platform/failure.h"

namespace tarvel {

JobWatch::JobWatch(LedgerFactory openLedger, StateQuery query, QString session)
    : openLedger_(std::move(openLedger))
    , query_(std::move(query))
    , session_(std::move(session))
{
}

QList<OpenJob> JobWatch::poll()
{
    QList<OpenJob> failed;
    try {
        if (!ledger_)
            ledger_ = openLedger_();
        for (OpenJob job : ledger_->openJobs(session_)) {
            const std::optional<JobState> state = query_(job.jobId);
            if (!state || *state == job.state)
                continue;
            ledger_->setJobState(job.documentId, *state);
            job.state = *state;
            if (isFailed(*state))
                failed.append(job);
        }
    } catch (const Failure&) {
        // The ledger's trouble is told where it is written; here it is only asked again.
        ledger_.reset();
    }
    return failed;
}

} // namespace tarvel
