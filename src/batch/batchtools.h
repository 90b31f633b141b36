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

/// "[2026-12-08 10:15:03] ", put before every line a command that keeps going tells.
QString timeStamp();

/// When the default printer is looked up: before anything is printed (a print run, a
/// reprint: a scheduler that does not answer fails the command at once), or before each
/// run's first document (watching: each run fails and is tried again; a preview: never).
enum class Lookup { Now, BeforeFirstDocument };

/// PDF files in the folder --pdf names; else the default printer, or PDF files in the data
/// folder's "certificates" when the machine has no print system at all (said on stderr).
/// Throws tarvel::Failure when the default printer is looked up now and cannot be.
PrintTarget openTarget(const std::optional<QString>& pdfFolder, const DataLocations& where,
                       Lookup lookup = Lookup::Now);

/// Where a run's `documents` went: "jobs sent to the printer q", "3 PDF file(s) in DIR".
QString destination(PrintTargetKind kind, const QString& where, int documents);

} // namespace tarvel::batch
