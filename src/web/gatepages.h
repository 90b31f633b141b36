#pragma once
/// What the team and desk pages share: the page frame, the login form and its answer,
/// logging out, their style sheet, and texts made safe for HTML. Any thread.

#include "web/gate.h"
#include "web/httpexchange.h"

#include <QString>

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
};

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

/// The ログアウト button.
std::string logoutForm(const GatedArea& area, const GateSession& session);
/// A hidden form field with the session's CSRF token.
std::string csrfField(const GateSession& session);

} // namespace tarvel::web
