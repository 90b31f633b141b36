#pragma once
/// tarvel-batch's print run: the window's run without the window, and what the watching
/// runs share with it.

#include "batch/batchtools.h"
#include "batch/commandline.h"
#include "ledger/ledgerrecorder.h"
#include "platform/qt/printtarget.h"
#include "printrun/printrun.h"
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

/// The printer or PDF folder, taking the certificate face as the window's printer does.
/// Throws tarvel::Failure as openTarget.
PrintTarget openCertificateTarget(const Request& request, const Session& session,
                                  Lookup lookup = Lookup::Now);

/// A run's account on stderr, each line after `prefix` (e.g. a time stamp).
void sayAccount(const RunSummary& summary, const PrintOptions& options, const PrintTarget& target,
                const QString& prefix = QString());

/// After a run that sent jobs: a warning on stderr when the printer is stopped or needs
/// attention (its reasons, the jobs waiting on it), or cannot be asked.
void sayPrinterTrouble(const PrintTarget& target, const QString& prefix = QString());

/// A ledger that could not be written never stops printing; it is told once, at the end.
void sayLedgerTrouble(const LedgerRecorder& recorder);

} // namespace tarvel::batch
