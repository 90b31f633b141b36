#pragma once
/// What tarvel-batch's commands share: its words on stderr, exit codes, the print target.

#include "batch/commandline.h"
#include "platform/qt/printtarget.h"
#include "printrun/session.h"

#include <QString>

namespace tarvel::batch {

enum ExitCode { kDone = 0, kFailed = 1, kBadUsage = 2 };

/// One line on stderr, after "tarvel-batch: ".
void say(const QString& text);

bool stderrIsTerminal();

/// The default printer, or PDF files in the folder --pdf names.
PrintTarget openTarget(const std::optional<QString>& pdfFolder, const DataLocations& where);

/// Where a run's `documents` went: "jobs sent to the printer q", "3 PDF file(s) in DIR".
QString destination(PrintTargetKind kind, const QString& where, int documents);

} // namespace tarvel::batch
