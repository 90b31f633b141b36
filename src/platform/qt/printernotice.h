#pragma once
/// What a printer says of itself: stopped or not, why, and how many jobs wait on it.

#include "platform/qt/cupsconnection.h"

#include <QString>
#include <QStringList>

namespace tarvel {

struct PrinterNotice {
    QString printer;
    /// The destination is stopped (printer-state "stopped"): jobs are taken and wait.
    bool stopped = false;
    /// The printer's state reasons, as keywords ("media-empty-error") and as told to the
    /// operator in the language of the program's translations, in the same order; "none"
    /// left out.
    QStringList reasonKeywords;
    QStringList reasons;
    /// Jobs accepted and not yet printed (pending, held or printing).
    int waitingJobs = 0;

    /// Stopped, or a reason that stops the paper (media-empty, media-jam, an "-error").
    bool needsAttention() const;
};

/// Asks the scheduler about `printer`, under the settings' deadline, over a connection of
/// the calling thread (`cancel`, when given, ends the wait from another thread). Waits:
/// never on the GUI thread. Throws tarvel::Failure (a printer failure) when the scheduler
/// does not answer or does not know the printer.
PrinterNotice
askPrinter(const QString& printer,
           const cups::SchedulerSettings& settings = cups::SchedulerSettings::fromEnvironment(),
           cups::CancelFlag* cancel = nullptr);

/// The operator's text for one printer-state-reasons keyword (its -error, -warning or
/// -report suffix aside); an unknown keyword as it is.
QString describeReason(const QString& keyword);

/// "the printer desk is stopped (paused); 36 job(s) wait on it", for a notice that needs
/// attention.
QString describePrinterNotice(const PrinterNotice& notice);

} // namespace tarvel
