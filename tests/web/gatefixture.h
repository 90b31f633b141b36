#pragma once
// A gate on a clock the test turns, with both codes set, and requests as a browser sends
// them.

#include "web/gate.h"

#include <chrono>

namespace tarvel::web::testing {

inline const QString kTeamCode = QStringLiteral("team-2468");
inline const QString kDeskPin = QStringLiteral("1357");

struct TurnedClock {
    std::chrono::steady_clock::time_point now{std::chrono::hours(1000)};
    GateClock clock()
    {
        return [this] { return now; };
    }
};

/// Few rounds: the tests check many codes (the rounds themselves are checked by the secret's
/// tests).
inline constexpr int kTestRounds = 50;

inline void setCodes(Gate& gate)
{
    gate.setCode(GateKind::Team, saltedHashOf(kTeamCode, kTestRounds));
    gate.setCode(GateKind::Desk, saltedHashOf(kDeskPin, kTestRounds));
}

/// A request carrying the session's cookie.
inline HttpRequest withSession(HttpRequest request, const GateSession& session)
{
    request.headers.emplace_back("cookie", Gate::cookieName(session.kind) + '=' + session.token);
    if (request.remoteAddress.empty())
        request.remoteAddress = "192.168.1.20";
    return request;
}

inline HttpRequest formPost(std::string target, std::string body)
{
    HttpRequest request;
    request.method = "POST";
    request.target = std::move(target);
    request.body = std::move(body);
    request.headers = {{"host", "desk.local:8932"},
                       {"content-type", "application/x-www-form-urlencoded"}};
    request.remoteAddress = "192.168.1.20";
    return request;
}

inline HttpRequest get(std::string target)
{
    HttpRequest request;
    request.method = "GET";
    request.target = std::move(target);
    request.headers = {{"host", "desk.local:8932"}};
    request.remoteAddress = "192.168.1.20";
    return request;
}

} // namespace tarvel::web::testing
