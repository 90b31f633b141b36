#pragma once
/// tarvel-batch --serve: the venue page served from the desk of tarvel-batch, alone or
/// beside --watch.

#include "batch/commandline.h"
#include "desk/desk.h"
#include "printrun/session.h"
#include "web/venue.h"

#include <functional>
#include <memory>

namespace tarvel::batch {

/// The first line of `path`, without the blanks around it: the access code or the desk PIN
/// kept in a file, so that `ps` never shows it. Throws tarvel::Failure (`action`, the path,
/// why) when the file cannot be read, its first line is empty, or others than its owner and
/// group may read it (a code anybody on the machine can read is no code).
QString readSecretFile(const QString& path, const QString& action);

/// Starts the venue page on `desk` as the request asks and says its address on stderr,
/// after `stamp()`. Said and null when it cannot start (the port is taken, a code file is
/// unfit); the caller ends with kFailed. The service lives on the caller's thread and must
/// go before the desk.
std::unique_ptr<web::VenueService> startVenue(const Request& request, Desk& desk,
                                              const std::function<QString()>& stamp);

/// Tells on stderr, after the time, the account of each run the desk's page asks for (a
/// reprint), as a watching run's is told.
void sayPageRuns(Desk& desk, const PrintOptions& options);

/// --serve alone: serves until SIGINT or SIGTERM (held back by main() from the start), the
/// desk's page reprinting through the request's printer or PDF folder; then stops serving,
/// lets a reprint in hand end and exits 0. 1 when serving could not begin.
int runServe(const Request& request, Session& session);

} // namespace tarvel::batch
