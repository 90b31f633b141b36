#pragma once
/// tarvel-batch's command line: what one invocation asks for.

#include "printrun/printoptions.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace tarvel::batch {

/// A well-formed request. The print options other than the rank limits are complete; the
/// rank limits default to the layout file's, known only after start-up.
struct Request {
    /// Where to run as if started there; empty: stay.
    QString directory;
    PrintOptions options;
    std::optional<QString> rankLimitIndividual;
    std::optional<QString> rankLimitRelay;
    /// Absolute paths, taken from where the tool was started (before --directory).
    std::optional<QString> pdfFolder;
    std::optional<QString> logFile;
};

struct ShowHelp {
    QString text;
};

struct ShowVersion {};

/// Bad usage: the message says what was wrong.
struct UsageError {
    QString message;
};

using ParseResult = std::variant<Request, ShowHelp, ShowVersion, UsageError>;

/// Parses the arguments (the program name first). Relative --pdf and --log paths are made
/// absolute against `startDirectory`.
ParseResult parseCommandLine(const QStringList& arguments, const QString& startDirectory);

} // namespace tarvel::batch
