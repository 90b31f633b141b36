#pragma once
/// tarvel-batch's print run: the window's run without the window, and what the watching
/// runs share with it.

#include "batch/batchtools.h"
#include "batch/commandline.h"
#include "desk/desk.h"
#include "printrun/session.h"

#include <QFile>

#include <optional>

namespace tarvel::batch {

/// One print run on the started session, with the progress line, the JSON Lines log and the
/// ledger; the account on stderr. The exit code.
int runPrint(const Request& request, Session& session);

/// The request's print options, the rank limits defaulting to the layout file's.
PrintOptions requestedOptions(const Request& request, const Session& session);

/// What a print run and the watching begin with.
struct RunStart {
    PrintOptions options;
    CeremonyDestination lists;
};

/// The request's print options and award lists' destination, and --log, if given, opened
/// with `mode`; none (said on stderr) when the destination or the log cannot be had.
std::optional<RunStart> startRun(const Request& request, const Session& session, QFile& log,
                                 QIODevice::OpenMode mode);

/// Flushes --log, if open, at the end; false (said on stderr) when it could not be written.
bool finishLog(const Request& request, QFile& log);

/// The desk of tarvel-batch: the printer or PDF folder the request names, taking the
/// certificate face as the window's printer does.
/// Throws tarvel::Failure, when the desk is made, as openTarget.
DeskServices batchServices(const Request& request, Lookup lookup = Lookup::Now);

/// A run's account on stderr, each line after `prefix` (e.g. a time stamp), the award lists'
/// lines last.
void sayAccount(const RunOutcome& outcome, const PrintOptions& options, const Desk& desk,
                const QString& prefix = QString());

/// After a run that sent jobs to the desk's printer, which answered during the run: a
/// warning on stderr when it is stopped or needs attention (its reasons, the jobs waiting on
/// it), or cannot be asked. Nothing after a preview or a run to PDF files.
void sayPrinterTrouble(const RunOutcome& outcome, const PrintOptions& options, const Desk& desk,
                       const QString& prefix = QString());

/// The e-certificates a run made alongside, and their failure once, for stderr.
void sayECertificates(const RunOutcome& outcome, const Session& session,
                      const QString& prefix = QString());

/// A ledger that could not be written never stops printing; what it still misses at the
/// end is told.
void sayLedgerTrouble(const Desk& desk);

} // namespace tarvel::batch
