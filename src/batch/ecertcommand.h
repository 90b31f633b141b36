#pragma once
/// tarvel-batch --make-e-certificates: every certificate of the ledger as a PDF file of its
/// own, and the affiliations' ZIPs.

#include "batch/commandline.h"
#include "printrun/session.h"

namespace tarvel::batch {

/// Writes the e-certificates of the latest copy of each certificate in the ledger (of the
/// races chosen, of one affiliation when chosen) into the data folder's "e-certificates",
/// with the texts as printed, today's layout and blank certificate; files of corrected
/// certificates that changed their names are removed. With --zip, one ZIP per affiliation
/// written. Tells on stderr how many files and where. No certificate to write: 1.
int makeECertificates(const Request& request, const Session& session);

} // namespace tarvel::batch
