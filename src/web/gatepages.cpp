#include "web/gatepages.h"

#include "platform/failure.h"
#include "web/formdata.h"
#include "web/pagewords.h"

#include <QCoreApplication>
#include <QFile>

namespace tarvel::web {

namespace {

struct Asset {
    std::string_view name;
    const char* contentType;
};
constexpr Asset kAssets[] = {{"/pages.css", "text/css; charset=utf-8"}};

} // namespace

std::string escapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string escapeHtml(const QString& text)
{
    return escapeHtml(text.toStdString());
}

HttpResponse htmlPage(const GatedArea& area, int status, const std::string& bodyHtml)
{
    HttpResponse response;
    response.status = status;
    response.contentType = "text/html; charset=utf-8";
    response.headers.emplace_back("Cache-Control", "no-store");
    response.body = "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
                    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                    "<title>"
                    + escapeHtml(area.title) + "</title><link rel=\"stylesheet\" href=\""
                    + area.prefix + "/pages.css\"></head>\n<body><header><h1>"
                    + escapeHtml(area.title) + "</h1></header>\n<main>\n" + bodyHtml
                    + "\n</main></body></html>\n";
    return response;
}

HttpResponse messagePage(const GatedArea& area, int status, const QString& message)
{
    return htmlPage(area, status,
                    "<p class=\"message\">" + escapeHtml(message) + "</p><p><a href=\""
                        + area.prefix + "\">"
                        + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Back"))) + "</a></p>");
}

HttpResponse seeOther(const std::string& location)
{
    HttpResponse response = HttpResponse::plain(303, std::string());
    response.headers.emplace_back("Location", location);
    return response;
}

HttpResponse loginPage(const GatedArea& area, int status, const QString& message)
{
    std::string body;
    if (!message.isEmpty())
        body += "<p class=\"message\">" + escapeHtml(message) + "</p>";
    body += "<form class=\"login\" method=\"post\" action=\"" + area.prefix
            + "/login\"><label for=\"code\">" + escapeHtml(area.codeLabel)
            + "</label><input id=\"code\" name=\"code\" type=\"password\" autocomplete=\"off\" "
              "required autofocus><button type=\"submit\">"
            + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Log in"))) + "</button></form>";
    return htmlPage(area, status, body);
}

HttpResponse loginAnswer(Gate& gate, const GatedArea& area, const HttpRequest& request)
{
    if (!Gate::sameOrigin(request))
        return messagePage(
            area, 403,
            pageWord(QT_TRANSLATE_NOOP("tarvel", "This form was sent from another page.")));
    const std::optional<std::string> code = fieldValue(formOf(request), "code");
    const Login login = gate.login(area.kind, request.remoteAddress,
                                   QString::fromStdString(code.value_or(std::string())));
    switch (login.outcome) {
    case LoginOutcome::Admitted: {
        HttpResponse response = seeOther(area.prefix);
        response.headers.emplace_back("Set-Cookie", gate.setCookie(*login.session));
        return response;
    }
    case LoginOutcome::Refused: {
        HttpResponse response = messagePage(
            area, 429,
            pageWord(QT_TRANSLATE_NOOP("tarvel", "Too many wrong codes. Try again in a minute.")));
        response.headers.emplace_back("Retry-After", "60");
        return response;
    }
    case LoginOutcome::Wrong: break;
    }
    return loginPage(area, 401, pageWord(QT_TRANSLATE_NOOP("tarvel", "The code is not right.")));
}

HttpResponse logoutAnswer(Gate& gate, const GatedArea& area, const HttpRequest& request,
                          const GateSession& session)
{
    if (!Gate::carriesCsrf(session, request, formOf(request)))
        return messagePage(
            area, 403,
            pageWord(QT_TRANSLATE_NOOP("tarvel", "This form has expired. Open the page again.")));
    gate.logout(session);
    HttpResponse response = seeOther(area.prefix);
    response.headers.emplace_back("Set-Cookie", Gate::clearCookie(area.kind));
    return response;
}

std::string logoutForm(const GatedArea& area, const GateSession& session)
{
    return "<form class=\"logout\" method=\"post\" action=\"" + area.prefix + "/logout\">"
           + csrfField(session) + "<button type=\"submit\">"
           + escapeHtml(pageWord(QT_TRANSLATE_NOOP("tarvel", "Log out"))) + "</button></form>";
}

std::string csrfField(const GateSession& session)
{
    return "<input type=\"hidden\" name=\"csrf\" value=\"" + escapeHtml(session.csrf) + "\">";
}

std::optional<HttpResponse> assetAnswer(const GatedArea& area, std::string_view path)
{
    // Only the names listed: a path never reaches the resources by itself.
    for (const Asset& asset : kAssets) {
        if (path != area.prefix + std::string(asset.name))
            continue;
        QFile file(QString::fromStdString(":" + area.prefix + std::string(asset.name)));
        if (!file.open(QIODevice::ReadOnly))
            return HttpResponse::plain(
                404, pageWord(QT_TRANSLATE_NOOP("tarvel", "Not found.")).toStdString());
        HttpResponse response;
        response.contentType = asset.contentType;
        response.headers.emplace_back("Cache-Control", "no-cache");
        response.body = file.readAll().toStdString();
        return response;
    }
    return std::nullopt;
}

bool isGet(const HttpRequest& request)
{
    return request.method == "GET" || request.method == "HEAD";
}

GateVerdict atTheGate(Gate& gate, const GatedArea& area, const HttpRequest& request,
                      std::string_view path)
{
    if (isGet(request))
        if (std::optional<HttpResponse> asset = assetAnswer(area, path))
            return {std::move(asset), std::nullopt};
    // Besides its token, a change must come from a page of this server.
    if (request.method == "POST" && !Gate::sameOrigin(request))
        return {messagePage(
                    area, 403,
                    pageWord(QT_TRANSLATE_NOOP("tarvel", "This form was sent from another page."))),
                std::nullopt};
    if (path == area.prefix + "/login")
        return {request.method == "POST"
                    ? loginAnswer(gate, area, request)
                    : messagePage(
                        area, 405,
                        pageWord(QT_TRANSLATE_NOOP("tarvel", "This page cannot be opened so."))),
                std::nullopt};
    std::optional<GateSession> session = gate.sessionOf(area.kind, request);
    if (session)
        return {std::nullopt, std::move(session)};
    if (path == area.prefix && isGet(request))
        return {loginPage(area, 200), std::nullopt};
    return {messagePage(area, 401, area.enterFirst), std::nullopt};
}

std::optional<HttpResponse> answerArea(Gate& gate, const GatedArea& area,
                                       const HttpRequest& request, const char* unreadable,
                                       const AreaPages& pages)
{
    const std::string_view path = targetPath(request);
    if (path != area.prefix && !path.starts_with(area.prefix + '/'))
        return std::nullopt;
    GateVerdict verdict = atTheGate(gate, area, request, path);
    if (verdict.answer)
        return std::move(verdict.answer);
    try {
        if (std::optional<HttpResponse> answer = pages(path, *verdict.session))
            return answer;
    } catch (const Failure&) {
        // The desk's operator sees the ledger's trouble; the page says only that it failed.
        return messagePage(area, 503, pageWord(unreadable));
    }
    return messagePage(area, 404, pageWord(QT_TRANSLATE_NOOP("tarvel", "Not found.")));
}

} // namespace tarvel::web
