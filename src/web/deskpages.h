#pragma once
/// 受付 (/desk): after the desk PIN, the print history with its job states, the failed
/// jobs, and 再印刷 of the rows chosen, through the desk's one printer claim.
///
/// A reprint is a POST with the session's CSRF token, from a page of this server (its Origin
/// or Referer, when sent, names the Host); the pages hand the latest copies of
/// the certificates chosen (as the window's 印刷履歴 does) and the asker's address to the
/// Reprinter, and answer 202 (taken), or 409 when the printer is busy. More than one event,
/// or more than kReprintWithoutAsking certificates, are printed only after a second page
/// asks again, as the window asks.
///
/// Called on the server's workers, several at once; each request reads the ledger through a
/// connection of its own and never creates it. Failures are answered with a status and a
/// short text, no internals.

#include "ledger/ledger.h"
#include "web/gate.h"
#include "web/gatepages.h"
#include "web/httpexchange.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <string>

namespace tarvel::web {

enum class ReprintAnswer {
    Accepted, ///< the run will begin
    Busy,     ///< the printer is in use: nothing will be printed
};

/// Prints `entries` again (oldest first), recorded as asked by `remoteAddress`. Called on a
/// worker; must not wait for the run.
using Reprinter = std::function<ReprintAnswer(const QList<LedgerEntry>& entries,
                                              const std::string& remoteAddress)>;

class DeskPages {
public:
    /// The newest rows shown of the history (the search finds older ones).
    static constexpr int kRowsShown = 200;
    /// The newest failed jobs shown.
    static constexpr int kFailedShown = 50;

    /// `ledgerPath`: the meet's ledger, a path of this machine. The gate must outlive the
    /// pages.
    DeskPages(Gate& gate, QString ledgerPath, Reprinter reprint);

    /// The answer to a request under /desk; nothing for any other path.
    std::optional<HttpResponse> handle(const HttpRequest& request);

private:
    HttpResponse historyPage(const HttpRequest& request, const GateSession& session);
    HttpResponse reprintAnswer(const HttpRequest& request, const GateSession& session);
    QList<LedgerEntry> entries() const;
    QList<LedgerDocumentEntry> documents() const;

    Gate& gate_;
    GatedArea area_;
    QString ledgerPath_;
    Reprinter reprint_;
};

} // namespace tarvel::web
