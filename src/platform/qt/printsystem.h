#pragma once
/// Whether this machine has a print system at all, told without asking it anything.

#include <QString>

namespace tarvel {

/// What the machine shows of a print scheduler (CUPS) without a word sent to one.
struct PrintSystemFacts {
    /// CUPS_SERVER is set.
    bool serverInEnvironment = false;
    /// A client.conf (the system's or the user's) names a ServerName.
    bool serverConfigured = false;
    /// The local scheduler's socket is there.
    bool localSocket = false;
    /// The scheduler or its client tools (cupsd, lpstat) are installed.
    bool installed = false;

    /// Reads the environment and the files of this machine; never the network.
    static PrintSystemFacts ofThisMachine();
};

/// A print system is there when any of the facts holds: then certificates go to its default
/// printer, and a scheduler that is not running is a failure, never a reason for PDF files.
bool hasPrintSystem(const PrintSystemFacts& facts);

} // namespace tarvel
