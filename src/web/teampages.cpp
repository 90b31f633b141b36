#include "web/teampages.h"

#include "ecert/affiliationzip.h"
#include "ledger/ledger.h"
#include "platform/failure.h"
#include "web/formdata.h"
#include "web/pagewords.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QSet>

#include <algorithm>

namespace tarvel::web {

namespace {

constexpr std::string_view kFilePrefix = "/team/file/";

/// The file a ledger document names, when it is an affiliation's file inside `root` (a
/// canonical path) after every link is resolved.
std::optional<TeamPages::TeamFile> placedFile(const QString& root, const LedgerDocumentEntry& d)
{
    if (d.document.kind != DocumentKind::ECertificates || root.isEmpty())
        return std::nullopt;
    const QFileInfo named(d.document.destination);
    if (!named.isAbsolute())
        return std::nullopt;
    const QString canonical = named.canonicalFilePath();
    if (!canonical.startsWith(root + u'/') || !QFileInfo(canonical).isFile())
        return std::nullopt;
    const QStringList parts = canonical.mid(root.size() + 1).split(u'/');
    if (parts.size() != 2)
        return std::nullopt;
    return TeamPages::TeamFile{d.id, parts[0], parts[1], canonical};
}

std::string fileLink(const TeamPages::TeamFile& file)
{
    return std::string(kFilePrefix) + std::to_string(file.id);
}

} // namespace

std::string attachmentDisposition(const QString& name)
{
    // Old browsers take the plain name; every browser of today takes the UTF-8 one.
    std::string plain;
    for (const QChar c : name)
        plain += (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'"' && c != u'\\')
                     ? char(c.unicode())
                     : '_';
    return "attachment; filename=\"" + plain + "\"; filename*=UTF-8''"
           + percentEncode(name.toStdString());
}

TeamPages::TeamPages(Gate& gate, QString ledgerPath, QString eCertificateFolder)
    : gate_(gate)
    , area_{"/team", GateKind::Team, pageWord(QT_TRANSLATE_NOOP("tarvel", "Team: e-certificates")),
            pageWord(QT_TRANSLATE_NOOP("tarvel", "Access code")),
            pageWord(QT_TRANSLATE_NOOP("tarvel", "Enter the access code first."))}
    , ledgerPath_(std::move(ledgerPath))
    , folder_(std::move(eCertificateFolder))
{
}

QList<TeamPages::TeamFile> TeamPages::files() const
{
    // Reading never creates the ledger.
    if (!QFileInfo(ledgerPath_).isFile())
        return {};
    const QString root = QFileInfo(folder_).canonicalFilePath();
    QList<TeamFile> files;
    for (const LedgerDocumentEntry& document : Ledger(ledgerPath_).documents())
        if (const std::optional<TeamFile> file = placedFile(root, document))
            files << *file;
    return files;
}

std::optional<HttpResponse> TeamPages::handle(const HttpRequest& request)
{
    return answerArea(
        gate_, area_, request,
        QT_TRANSLATE_NOOP("tarvel", "The e-certificates cannot be read now."),
        [&](std::string_view path, const GateSession& session) -> std::optional<HttpResponse> {
            if (path == area_.prefix && isGet(request))
                return homePage(request, session);
            if (path.starts_with(kFilePrefix) && isGet(request))
                return fileAnswer(path.substr(kFilePrefix.size()));
            if (path == "/team/zip" && request.method == "POST")
                return zipAnswer(request, session);
            if (path == "/team/logout" && request.method == "POST")
                return logoutAnswer(gate_, area_, request, session);
            return std::nullopt;
        });
}

HttpResponse TeamPages::homePage(const HttpRequest& request, const GateSession& session)
{
    // The newest document of each file; the affiliations and files in name order.
    QMap<QString, QList<TeamFile>> byAffiliation;
    QSet<QString> seen;
    for (const TeamFile& file : files()) {
        if (seen.contains(file.path))
            continue;
        seen.insert(file.path);
        byAffiliation[file.affiliation] << file;
    }
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setNumericMode(true);

    const std::optional<std::string> chosen = fieldValue(queryOf(request), "a");
    std::string body;
    if (!chosen) {
        QStringList names = byAffiliation.keys();
        std::sort(names.begin(), names.end(), collator);
        if (names.isEmpty()) {
            body += "<p>"
                    + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "No e-certificates yet.")))
                    + "</p>";
        } else {
            body += "<h2>"
                    + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Choose your affiliation")))
                    + "</h2>"
                      "<ul class=\"choices\">";
            for (const QString& name : names)
                body += "<li><a href=\"/team?a=" + percentEncode(name.toStdString()) + "\">"
                        + escapeHtml(name) + " <span class=\"count\">"
                        + escapeHtml(pageWord(QT_TRANSLATE_N_NOOP("tarvel", "%n file(s)"),
                                              int(byAffiliation[name].size())))
                        + "</span></a></li>";
            body += "</ul>";
        }
        return htmlPage(area_, 200, body + logoutForm(area_, session));
    }
    const QString affiliation = QString::fromStdString(*chosen);
    if (!byAffiliation.contains(affiliation))
        return messagePage(
            area_, 404,
            pageWord(QT_TRANSLATE_NOOP("tarvel", "No e-certificates of this affiliation.")));
    QList<TeamFile> list = byAffiliation[affiliation];
    std::sort(list.begin(), list.end(),
              [&](const TeamFile& a, const TeamFile& b) { return collator(a.name, b.name); });
    body += "<p><a href=\"/team\">"
            + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "All affiliations"))) + "</a></p><h2>"
            + escapeHtml(affiliation) + "</h2><form method=\"post\" action=\"/team/zip\">"
            + csrfField(session) + "<input type=\"hidden\" name=\"a\" value=\""
            + escapeHtml(affiliation) + "\"><button type=\"submit\">"
            + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Download all as one ZIP")))
            + "</button></form><ul class=\"choices\">";
    for (const TeamFile& file : list)
        body += "<li><a href=\"" + fileLink(file) + "\" download>" + escapeHtml(file.name)
                + "</a></li>";
    body += "</ul>";
    return htmlPage(area_, 200, body + logoutForm(area_, session));
}

HttpResponse TeamPages::fileAnswer(std::string_view id)
{
    const std::optional<long long> wanted = wholeNumber(id);
    if (!wanted || !QFileInfo(ledgerPath_).isFile())
        return messagePage(area_, 404, pageWord(QT_TRANSLATE_NOOP("tarvel", "Not found.")));
    const QString root = QFileInfo(folder_).canonicalFilePath();
    for (const LedgerDocumentEntry& document : Ledger(ledgerPath_).documents()) {
        if (document.id != *wanted)
            continue;
        const std::optional<TeamFile> file = placedFile(root, document);
        if (!file)
            break;
        HttpResponse response;
        response.contentType = file->name.endsWith(u".pdf", Qt::CaseInsensitive)
                                   ? "application/pdf"
                                   : "application/octet-stream";
        response.headers.emplace_back("Content-Disposition", attachmentDisposition(file->name));
        response.headers.emplace_back("Cache-Control", "private, no-store");
        response.filePath = file->path.toStdString();
        return response;
    }
    return messagePage(area_, 404, pageWord(QT_TRANSLATE_NOOP("tarvel", "Not found.")));
}

HttpResponse TeamPages::zipAnswer(const HttpRequest& request, const GateSession& session)
{
    const FormFields form = formOf(request);
    if (!Gate::carriesCsrf(session, request, form))
        return messagePage(
            area_, 403,
            pageWord(QT_TRANSLATE_NOOP("tarvel", "This form has expired. Open the page again.")));
    const QString affiliation = QString::fromStdString(fieldValue(form, "a").value_or(""));
    const QList<TeamFile> all = files();
    const bool known = std::any_of(all.begin(), all.end(), [&](const TeamFile& file) {
        return file.affiliation == affiliation;
    });
    if (!known)
        return messagePage(
            area_, 404,
            pageWord(QT_TRANSLATE_NOOP("tarvel", "No e-certificates of this affiliation.")));
    const QString root = QFileInfo(folder_).canonicalFilePath();
    QString zip;
    try {
        const std::lock_guard lock(zipMutex_);
        zip = writeAffiliationZip(root, affiliation);
    } catch (const Failure&) {
        return messagePage(area_, 500,
                           pageWord(QT_TRANSLATE_NOOP("tarvel", "The ZIP could not be made.")));
    }
    HttpResponse response;
    response.contentType = "application/zip";
    response.headers.emplace_back("Content-Disposition",
                                  attachmentDisposition(affiliation + QStringLiteral(".zip")));
    response.headers.emplace_back("Cache-Control", "private, no-store");
    response.filePath = zip.toStdString();
    return response;
}

} // namespace tarvel::web
