#pragma once
/// tarvel-batch's print run: the window's run without the window, and what the watching
/// runs share with it.

#include "batch/batchtools.h"
#include "batch/commandline.h"
#include "desk/desk.h"
#include "printrun/session.h"

#include <QFile>

namespace tarvel::batch {

/// One print run on the started session, with the progress line, the JSON Lines log and the
/// ledger; the account on stderr. The exit code.
int runPrint(const Request& request, Session& session);

/// The request's print options, the rank limits defaulting to the layout file's.
PrintOptions requestedOptions(const Request& request, const Session& session);

/// Opens --log, if given, with `mode`; false (said on stderr) when it cannot be opened.
bool openLog(const Request& request, QFile& log, QIODevice::OpenMode mode);

/// The desk of tarvel-batch: the printer or PDF folder the request names, taking the
/// certificate face as the window's printer does.
/// Throws tarvel::Failure, when the desk is made, as openTarget.
DeskServices batchServices(const Request& request, Lookup lookup = Lookup::Now);

/// A run's account on stderr, each line after `prefix` (e.g. a time stamp), the award lists'
/// lines last.
void sayAccount(const RunOutcome& outcome, const PrintOptions& options, const Desk& desk,
                const QString& prefix = QString());

/// After a run that sent jobs to `printer`: a warning on stderr when it is stopped or needs
/// attention (its reasons, the jobs waiting on it), or cannot be asked.
void sayPrinterTrouble(const QString& printer, const QString& prefix = QString());

/// The e-certificates a run made alongside, and their failure once, for stderr.
void sayECertificates(const RunOutcome& outcome, const Session& session,
                      const QString& prefix = QString());

/// A ledger that could not be written never stops printing; what it still misses at the
/// end is told.
void sayLedgerTrouble(const Desk& desk);

} // namespace tarvel::batch
