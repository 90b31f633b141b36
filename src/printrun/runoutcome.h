#pragma once
/// How any run ended, whoever asked for it: the one answer every front end shows.

#include "platform/failure.h"
#include "platform/printdevice.h"
#include "printrun/printoptions.h"
#include "printrun/printrun.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace tarvel {

/// What a run prints.
enum class RunKind {
    ReadyRaces,      ///< 印刷: every race ready under the print condition
    TestPage,        ///< テスト: the certificate in hand, one page
    CalibrationPage, ///< the printer's calibration page
    Reprint,         ///< certificates again, from the ledger
    CeremonyList,    ///< award ceremony lists of events printed, from the ledger
};

/// A document sent beside the certificates, to a destination of its own (an event's award
/// ceremony list). Its failure is its own: it never stops the run nor touches a mark.
struct SideDocument {
    QString title;       ///< the document's name
    QString destination; ///< the printer or the PDF file; where it was meant to go when failed
    int pages = 0;
    int jobId = 0;                  ///< the scheduler's job id; 0 for a file
    std::optional<Failure> failure; ///< why it was not delivered
    QList<int> races;               ///< the events it is about, by their last heats
};

struct RunOutcome {
    RunKind kind = RunKind::ReadyRaces;
    PreviewOnly previewOnly = PreviewOnly::No;
    /// The account of a run of the ready races; empty for the other kinds.
    RunSummary summary;
    /// The failure that stopped the run or kept it from beginning; none when it went to its
    /// end (events left unprinted for damage are in the summary).
    std::optional<Failure> failure;
    /// The failure came after the run had begun: the summary tells what was done until then.
    bool stoppedPartWay = false;
    /// One line per certificate with characters no installed face could draw.
    QStringList undrawable;
    /// The documents a test page, calibration page or reprint delivered.
    QList<Delivery> deliveries;
    /// A reprint was delivered but the ledger could not record it.
    std::optional<Failure> ledgerFailure;
    /// E-certificates made alongside, when asked: the files written, the events whose
    /// e-certificates could not be made and the first failure (the printing and the marks
    /// went on regardless).
    int eCertificatesWritten = 0;
    int eCertificateEventsFailed = 0;
    std::optional<Failure> eCertificateFailure;
    /// The award ceremony lists sent, or not, in the order of their events.
    QList<SideDocument> sideDocuments;
};

/// Whether the run could not begin because another run (another desk) held the meet or
/// the printer: no trouble to tell, it is tried again shortly.
inline bool isBusy(const RunOutcome& outcome)
{
    return outcome.failure && outcome.failure->kind() == Failure::Kind::Busy;
}

/// Whether the print scheduler refused to connect or did not answer: nothing of the event in
/// hand was delivered, and it is tried again as for a refusing queue.
inline bool isSchedulerUnreachable(const RunOutcome& outcome)
{
    return outcome.failure && outcome.failure->kind() == Failure::Kind::Unreachable;
}

} // namespace tarvel
