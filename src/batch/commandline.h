#pragma once
/// tarvel-batch's command line: what one invocation asks for.

#include "batch/optionvalues.h"
#include "ceremony/ceremonydestination.h"
#include "printrun/printoptions.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace tarvel::batch {

/// A well-formed request. The print options other than the rank limits are complete; the
/// rank limits default to the layout file's, known only after start-up.
struct Request {
    /// What to do: a print run (the default), print runs whenever a race turns ready until
    /// stopped, serve the venue page until stopped, list the ledger, reprint from it, write
    /// e-certificates from it, or send the award lists of printed events.
    enum class Command {
        Print,
        Watch,
        Serve,
        History,
        Reprint,
        ECertificates,
        CeremonyList
    } command = Command::Print;
    /// Where to run as if started there; empty: stay.
    QString directory;
    PrintOptions options;
    std::optional<QString> rankLimitIndividual;
    std::optional<QString> rankLimitRelay;
    /// Absolute paths, taken from where the tool was started (before --directory).
    std::optional<QString> pdfFolder;
    std::optional<QString> logFile;
    /// With --history: the CSV file to write instead of lines on stdout.
    std::optional<QString> csvFile;
    ReprintChoice reprint;
    /// With --watch: milliseconds between two reads of Race.dat.
    int watchInterval = 500;
    /// With --make-e-certificates: the races (an event's last heat, or a heat) and the
    /// affiliation chosen (none: all), and whether each affiliation's ZIP is written.
    QList<int> races;
    std::optional<QString> affiliation;
    bool zip = false;
    /// A print run (or each run of --watch) makes each event's e-certificates as well.
    bool eCertificates = false;
    /// Award lists are sent (--ceremony-list, --ceremony-printer, --ceremony-pdf,
    /// --ceremony-list-of).
    bool ceremonyList = false;
    /// Where they go when given on the command line; otherwise the user's settings say.
    std::optional<CeremonyDestination> ceremonyDestination;
    /// With --ceremony-list-of: the events by their last heats; empty for all.
    QList<int> ceremonyRaces;
    /// The venue page is served (--serve): alone (Command::Serve) or beside --watch.
    bool serve = false;
    ListenAt listen;
    /// Files whose first line is the meet's access code and the desk PIN (absolute paths,
    /// like --pdf); none: that page refuses every code.
    std::optional<QString> accessCodeFile;
    std::optional<QString> deskPinFile;
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
