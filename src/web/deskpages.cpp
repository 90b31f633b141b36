#include "web/deskpages.h"

#include "ledger/historyexport.h"
#include "ledger/reprint.h"
#include "web/formdata.h"
#include "web/pagewords.h"

#include <QFileInfo>
#include <QSet>

namespace tarvel::web {

namespace {

constexpr int kStateCell = 13;
constexpr int kTitleCell = 5;
constexpr int kTimeCell = 0;
constexpr int kRankCell = 6;
constexpr int kNameCell = 7;
constexpr int kAffiliationCell = 8;

QString folded(const QString& text)
{
    // Full-width letters and digits found by half-width ones, case aside.
    return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

bool found(const QStringList& cells, const QString& wanted)
{
    if (wanted.isEmpty())
        return true;
    for (const int cell : {1, 5, 7, 8})
        if (folded(cells[cell]).contains(wanted))
            return true;
    return false;
}

std::string cell(const QString& text)
{
    return "<td>" + escapeHtml(text) + "</td>";
}

/// "12/9<br>21:22": a narrow column on a phone.
std::string shortTime(const QDateTime& at)
{
    return escapeHtml(at.toString(QStringLiteral("M/d"))) + "<br>"
           + escapeHtml(at.toString(QStringLiteral("HH:mm")));
}

// What a phone has room for: the time without the year, the event (with its race), rank
// and name with the affiliation beneath, the job's state.
std::string historyRow(const LedgerEntry& entry, const QStringList& cells)
{
    return "<td class=\"nowrap\">" + shortTime(entry.document.printedAt) + "</td>"
           + cell(cells[kTitleCell]) + "<td>"
           + escapeHtml(cells[kRankCell] + u' ' + cells[kNameCell]) + "<br><span class=\"beneath\">"
           + escapeHtml(cells[kAffiliationCell]) + "</span></td><td class=\"nowrap\">"
           + escapeHtml(inJapanese(cells[kStateCell])) + "</td>";
}

std::string pickBox(const char* name, qint64 id)
{
    const std::string value = std::to_string(id);
    return "<td class=\"pick\"><input type=\"checkbox\" name=\"" + std::string(name) + "\" value=\""
           + value + "\" aria-label=\"" + value + "\"></td>";
}

QSet<qint64> numbers(const FormFields& form, std::string_view name)
{
    QSet<qint64> ids;
    for (const std::string& value : fieldValues(form, name))
        if (const std::optional<long long> id = wholeNumber(value))
            ids.insert(*id);
    return ids;
}

} // namespace

DeskPages::DeskPages(Gate& gate, QString ledgerPath, Reprinter reprint)
    : gate_(gate)
    , area_{"/desk", GateKind::Desk, pageWord(QT_TRANSLATE_NOOP("tarvel", "Desk: print history")),
            pageWord(QT_TRANSLATE_NOOP("tarvel", "Desk PIN")),
            pageWord(QT_TRANSLATE_NOOP("tarvel", "Enter the desk PIN first."))}
    , ledgerPath_(std::move(ledgerPath))
    , reprint_(std::move(reprint))
{
}

QList<LedgerEntry> DeskPages::entries() const
{
    // Reading never creates the ledger.
    return QFileInfo(ledgerPath_).isFile() ? Ledger(ledgerPath_).entries() : QList<LedgerEntry>();
}

QList<LedgerDocumentEntry> DeskPages::documents() const
{
    return QFileInfo(ledgerPath_).isFile() ? Ledger(ledgerPath_).documents()
                                           : QList<LedgerDocumentEntry>();
}

std::optional<HttpResponse> DeskPages::handle(const HttpRequest& request)
{
    return answerArea(
        gate_, area_, request, QT_TRANSLATE_NOOP("tarvel", "The print history cannot be read now."),
        [&](std::string_view path, const GateSession& session) -> std::optional<HttpResponse> {
            if (path == area_.prefix && isGet(request))
                return historyPage(request, session);
            if (path == "/desk/reprint" && request.method == "POST")
                return reprintAnswer(request, session);
            if (path == "/desk/logout" && request.method == "POST")
                return logoutAnswer(gate_, area_, request, session);
            return std::nullopt;
        });
}

HttpResponse DeskPages::historyPage(const HttpRequest& request, const GateSession& session)
{
    const QString query = QString::fromStdString(fieldValue(queryOf(request), "q").value_or(""));
    const QString wanted = folded(query.trimmed());
    QStringList header = historyHeader();
    for (QString& title : header)
        title = inJapanese(title);
    std::string body = "<form class=\"search\" method=\"get\" action=\"/desk\"><input "
                       "type=\"search\" name=\"q\" value=\""
                       + escapeHtml(query) + "\" aria-label=\""
                       + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Search")))
                       + "\"><button type=\"submit\">"
                       + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Search")))
                       + "</button></form>";

    std::string failed;
    int failedCount = 0;
    for (const LedgerDocumentEntry& document : documents()) {
        if (!isFailed(document.document.state) || failedCount == kFailedShown)
            continue;
        ++failedCount;
        const QStringList cells = historyCells(document);
        failed += "<tr class=\"failed\">"
                  + (document.certificates > 0 ? pickBox("doc", document.id)
                                               : std::string("<td class=\"pick\"></td>"))
                  + "<td class=\"nowrap\">" + shortTime(document.document.printedAt) + "</td>"
                  + cell(cells[kTitleCell]) + "<td class=\"nowrap\">"
                  + escapeHtml(inJapanese(cells[kStateCell])) + "</td></tr>";
    }
    if (failedCount > 0)
        body += "<h2>" + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Failed jobs")))
                + "</h2><form method=\"post\" action=\"/desk/reprint\">" + csrfField(session)
                + "<div class=\"table\"><table><tr><th></th><th>" + escapeHtml(header[kTimeCell])
                + "</th><th>" + escapeHtml(header[kTitleCell]) + "</th><th>"
                + escapeHtml(header[kStateCell]) + "</th></tr>" + failed
                + "</table></div><div class=\"actions\"><button type=\"submit\">"
                + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Reprint")))
                + "</button></div></form>";

    const QList<LedgerEntry> all = entries();
    std::string rows;
    int matching = 0;
    for (const LedgerEntry& entry : all) {
        const QStringList cells = historyCells(entry);
        if (!found(cells, wanted))
            continue;
        if (++matching > kRowsShown)
            continue;
        const bool failedJob = isFailed(entry.document.state);
        rows += std::string("<tr")
                + (failedJob          ? " class=\"failed\""
                   : entry.superseded ? " class=\"superseded\""
                                      : "")
                + ">" + pickBox("id", entry.id);
        rows += historyRow(entry, cells);
        rows += "</tr>";
    }
    body +=
        "<h2>" + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Print history")))
        + "</h2><p class=\"count\">"
        + escapeHtml(matching > kRowsShown
                         ? pageWord(QT_TRANSLATE_NOOP("tarvel", "The newest %1 of %2 certificates"))
                               .arg(kRowsShown)
                               .arg(matching)
                         : pageWord(QT_TRANSLATE_N_NOOP("tarvel", "%n certificate(s)"), matching))
        + "</p>";
    if (matching > 0) {
        body += "<form method=\"post\" action=\"/desk/reprint\">" + csrfField(session)
                + "<div class=\"table\"><table><tr><th></th>";
        body += "<th>" + escapeHtml(header[kTimeCell]) + "</th><th>"
                + escapeHtml(header[kTitleCell]) + "</th><th>"
                + escapeHtml(header[kRankCell] + u' ' + header[kNameCell] + QStringLiteral(" / ")
                             + header[kAffiliationCell])
                + "</th><th>" + escapeHtml(header[kStateCell]) + "</th>";
        body += "</tr>" + rows + "</table></div><div class=\"actions\"><button type=\"submit\">"
                + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Reprint the rows chosen")))
                + "</button></div></form>";
    }
    return htmlPage(area_, 200, body + logoutForm(area_, session));
}

HttpResponse DeskPages::reprintAnswer(const HttpRequest& request, const GateSession& session)
{
    const FormFields form = formOf(request);
    if (!Gate::carriesCsrf(session, request, form))
        return messagePage(
            area_, 403,
            pageWord(QT_TRANSLATE_NOOP("tarvel", "This form has expired. Open the page again.")));
    const QSet<qint64> ids = numbers(form, "id");
    const QSet<qint64> documents = numbers(form, "doc");
    const QList<LedgerEntry> all = entries();
    // Oldest first, as they were printed.
    QList<LedgerEntry> chosen;
    for (auto it = all.crbegin(); it != all.crend(); ++it)
        if (ids.contains(it->id) || documents.contains(it->documentId))
            chosen << *it;
    // A copy superseded by a later print, or a reprint, stands for the latest copy.
    chosen = latestCopies(chosen, all);
    if (chosen.isEmpty())
        return messagePage(
            area_, 400, pageWord(QT_TRANSLATE_NOOP("tarvel", "Choose the rows to print again.")));

    if (reprintNeedsAsking(chosen) && fieldValue(form, "confirm") != "1") {
        QSet<int> events;
        for (const LedgerEntry& entry : chosen)
            events.insert(entry.certificate.raceNo);
        std::string again =
            "<p class=\"message\">"
            + escapeHtml(pageWord(QT_TRANSLATE_NOOP(
                                      "tarvel", "Print %1 certificate(s) of %2 event(s) again?"))
                             .arg(chosen.size())
                             .arg(events.size()))
            + "</p><form method=\"post\" action=\"/desk/reprint\">" + csrfField(session)
            + "<input type=\"hidden\" name=\"confirm\" value=\"1\">";
        for (const qint64 id : ids)
            again += "<input type=\"hidden\" name=\"id\" value=\"" + std::to_string(id) + "\">";
        for (const qint64 id : documents)
            again += "<input type=\"hidden\" name=\"doc\" value=\"" + std::to_string(id) + "\">";
        again += "<button type=\"submit\">"
                 + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Print again")))
                 + "</button></form><p><a href=\"/desk\">"
                 + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Cancel"))) + "</a></p>";
        return htmlPage(area_, 200, again);
    }

    switch (reprint_(chosen, request.remoteAddress)) {
    case ReprintAnswer::Accepted:
        return messagePage(
            area_, 202,
            pageWord(QT_TRANSLATE_N_NOOP("tarvel", "%n certificate(s) will be printed again."),
                     int(chosen.size())));
    case ReprintAnswer::Busy: break;
    }
    return messagePage(
        area_, 409,
        pageWord(QT_TRANSLATE_NOOP("tarvel", "The printer is in use. Try again once it is done.")));
}

} // namespace tarvel::web
