#pragma once
/// チーム (/team): after the meet's access code, a team manager picks their affiliation and
/// downloads its e-certificates one by one or as one ZIP.
///
/// A file is named only by its ledger id (GET /team/file/<id>): the ledger's e-certificate
/// document of that id, whose path, with every link resolved, must be a file of an
/// affiliation folder directly inside the data folder's e-certificates/; anything else is
/// 404, so no request path reaches the file system. The ZIP (POST /team/zip, with the CSRF
/// token, from a page of this server) is made by the e-certificates' own ZIP writer beside the
/// affiliation's folder. Files are answered by path (HttpResponse::filePath): the server streams
/// them.
///
/// Called on the server's workers, several at once; each request reads the ledger through
/// a connection of its own and never creates it. Failures are answered with a status and a
/// short text, no internals.

#include "web/gate.h"
#include "web/gatepages.h"
#include "web/httpexchange.h"

#include <QList>
#include <QString>

#include <mutex>
#include <optional>

namespace tarvel::web {

class TeamPages {
public:
    /// `ledgerPath`: the meet's ledger; `eCertificateFolder`: the data folder's
    /// e-certificates/ (eCertificateFolder()); both paths of this machine. The gate must
    /// outlive the pages.
    TeamPages(Gate& gate, QString ledgerPath, QString eCertificateFolder);

    /// The answer to a request under /team; nothing for any other path.
    std::optional<HttpResponse> handle(const HttpRequest& request);

    /// One e-certificate that may be handed out.
    struct TeamFile {
        qint64 id = 0;       ///< the ledger's document
        QString affiliation; ///< its folder's name
        QString name;        ///< the file's name
        QString path;        ///< canonical, inside the e-certificates folder
    };

private:
    /// The ledger's e-certificate documents whose files lie where they may, newest first.
    QList<TeamFile> files() const;
    HttpResponse homePage(const HttpRequest& request, const GateSession& session);
    HttpResponse fileAnswer(std::string_view id);
    HttpResponse zipAnswer(const HttpRequest& request, const GateSession& session);

    Gate& gate_;
    GatedArea area_;
    QString ledgerPath_;
    QString folder_;
    std::mutex zipMutex_; ///< one ZIP written at a time
};

/// `attachment; filename="…"; filename*=UTF-8''…` for a file named `name`.
std::string attachmentDisposition(const QString& name);

} // namespace tarvel::web
