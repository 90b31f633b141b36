#pragma once
/// What the team and desk pages share: the page frame, the login form and its answer,
/// logging out, their style sheet, and texts made safe for HTML. Any thread.

#include "web/gate.h"
#include "web/httpexchange.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarvel::web {

/// One of the two pages behind a code: where it lives ("/team") and which code opens it.
struct GatedArea {
    std::string prefix;
    GateKind kind = GateKind::Team;
    QString title;     ///< the page's heading
    QString codeLabel; ///< what the login form asks for ("アクセスコード")
    QString enterFirst; ///< what a visitor without a session is told ("…を入力してください")
};

/// Whether `request` only reads (GET or HEAD).
bool isGet(const HttpRequest& request);

/// `text` with &, <, >, " and ' as entities.
std::string escapeHtml(std::string_view text);
std::string escapeHtml(const QString& text);

/// A whole page of the area: its heading, `bodyHtml` beneath it, the area's style sheet;
/// never cached.
HttpResponse htmlPage(const GatedArea& area, int status, const std::string& bodyHtml);
/// A page that only says `message` (a failure: no internals), with a link back.
HttpResponse messagePage(const GatedArea& area, int status, const QString& message);
/// 303 to `location`.
HttpResponse seeOther(const std::string& location);

/// The login form; `message` above it when not empty.
HttpResponse loginPage(const GatedArea& area, int status, const QString& message = {});
/// POST <prefix>/login: a right code opens a session (cookie) and goes to the area's page;
/// a wrong one shows the form again (401); too many refuse (429); a form sent from another
/// site is refused (403).
HttpResponse loginAnswer(Gate& gate, const GatedArea& area, const HttpRequest& request);
/// POST <prefix>/logout, with the session's CSRF token: ends it and goes to the login.
HttpResponse logoutAnswer(Gate& gate, const GatedArea& area, const HttpRequest& request,
                          const GateSession& session);

/// GET <prefix>/pages.css (and the area's other compiled-in files); nothing when `path`
/// names none of them.
std::optional<HttpResponse> assetAnswer(const GatedArea& area, std::string_view path);

/// What a request of the area meets before the area's own pages, as atTheGate() says it.
struct GateVerdict {
    /// The answer when the gate gives one: an asset, the login, a refusal.
    std::optional<HttpResponse> answer;
    /// The visitor's session when the request goes on to the area's pages.
    std::optional<GateSession> session;
};
/// The part every gated area answers alike: its compiled-in files, a change sent from another
/// site (403), the login (POST only; 405 otherwise), the login form for a visitor without a
/// session at the area's page and 401 for anything else without one. Call it only for paths
/// of the area.
GateVerdict atTheGate(Gate& gate, const GatedArea& area, const HttpRequest& request,
                      std::string_view path);

/// An area's own pages: the answer to `path` (a path of the area) for a visitor with
/// `session`; nothing when no page of the area is there. May throw Failure.
using AreaPages =
    std::function<std::optional<HttpResponse>(std::string_view path, const GateSession& session)>;

/// The whole answer of a gated area: nothing for a path outside it, the gate's answer
/// (atTheGate()) when it gives one, else what `pages` answers; 503 saying `unreadable` (a
/// QT_TRANSLATE_NOOP text of the context "tarvel") when they throw a Failure, the operator
/// being the one told the trouble, and 404 when they answer nothing.
std::optional<HttpResponse> answerArea(Gate& gate, const GatedArea& area,
                                       const HttpRequest& request, const char* unreadable,
                                       const AreaPages& pages);

/// The ログアウト button.
std::string logoutForm(const GatedArea& area, const GateSession& session);
/// A hidden form field with the session's CSRF token.
std::string csrfField(const GateSession& session);

} // namespace tarvel::web
