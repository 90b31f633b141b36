#include "ledger/jobwatch.h"

#include "platform/failure.h"

namespace tarvel {

JobWatch::JobWatch(LedgerFactory openLedger, StateQuery query, QString scheduler, QString host)
    : openLedger_(std::move(openLedger))
    , query_(std::move(query))
    , scheduler_(std::move(scheduler))
    , host_(std::move(host))
{
}

JobPoll JobWatch::poll()
{
    JobPoll outcome;
    const auto learnt = [&](OpenJob job, JobState state) {
        job.state = state;
        if (isFailed(state) && !told_.contains(job.documentId)) {
            told_.insert(job.documentId);
            outcome.failed.append(job);
        }
        if (state == JobState::Held)
            outcome.held.append(job);
    };
    try {
        if (!ledger_)
            ledger_ = openLedger_();
        QHash<qint64, OpenJob> stillPending;
        QSet<qint64> asked;
        for (const OpenJob& job : ledger_->pendingJobs(scheduler_, host_)) {
            asked.insert(job.documentId);
            const std::optional<JobState> state = query_(job.jobId);
            const JobState now = state.value_or(job.state);
            if (now != job.state) {
                ledger_->setJobState(job.documentId, now);
                outcome.changed = true;
                learnt(job, now);
            } else if (const auto seen = watched_.constFind(job.documentId);
                       seen != watched_.cend() && seen->state != job.state) {
                outcome.changed = true; // another desk wrote it since
            }
            if (!isFinal(now)) {
                OpenJob pending = job;
                pending.state = now;
                stillPending.insert(job.documentId, pending);
            }
        }
        // Jobs another desk saw end since the last poll.
        for (const OpenJob& job : std::as_const(watched_)) {
            if (asked.contains(job.documentId))
                continue;
            const std::optional<JobState> state = ledger_->jobStateOf(job.documentId);
            if (!state || *state == job.state)
                continue;
            outcome.changed = true;
            learnt(job, *state);
        }
        watched_ = std::move(stillPending);
    } catch (const Failure&) {
        // The ledger's trouble is told where it is written; here it is only asked again.
        ledger_.reset();
    }
    return outcome;
}

} // namespace tarvel
