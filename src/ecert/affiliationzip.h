#pragma once
/// Handing over: one ZIP of an affiliation's e-certificates, with names Windows' Explorer
/// shows as they are.

#include <QString>

namespace tarvel {

/// Writes "<root>/<folder>.zip" (replacing an older one) holding every PDF file of the
/// affiliation folder `root`/`folder` as "<folder>/<file>", in name order: names stored as
/// UTF-8 with the general-purpose flag that says so (bit 11), the files stored as they are
/// (PDF is compressed already) with their modification times. libzip writes the ZIP under
/// a temporary name beside it and renames it at the end, so a failure leaves no half ZIP
/// and the older one as it was. `root` is a path of this machine, `folder` a name as
/// affiliationFolder() makes it. Blocking; any thread. Returns the ZIP's path; throws
/// tarvel::Failure naming the ZIP or the file and why.
QString writeAffiliationZip(const QString& root, const QString& folder);

} // namespace tarvel
