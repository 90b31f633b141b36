#pragma once
/// Who may use the venue page's team and desk pages: the codes kept as salted hashes, the
/// wrong tries counted per address, the sessions a right code opens, and the token every
/// changing request must carry (CSRF).
///
/// A session lives 8 hours from its login (kSessionLife), its cookie as long; a team
/// session never opens the desk's pages nor the other way round. An address that sent 5
/// wrong codes within a minute is refused every try for the next minute, a right code
/// included. At most `sessions` sessions and `addresses` addresses are kept; the oldest go
/// first. Thread-safe: the pages run on the server's workers; a code is hashed outside the
/// lock.

#include "web/formdata.h"
#include "web/httpexchange.h"
#include "web/secret.h"

#include <QString>

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace tarvel::web {

enum class GateKind { Team, Desk };

using GateClock = std::function<std::chrono::steady_clock::time_point()>;

inline constexpr std::chrono::hours kSessionLife{8};

struct GateLimits {
    int wrongTries = 5;                 ///< per address within `tryWindow`; more: refused
    std::chrono::seconds tryWindow{60}; ///< wrong tries older than this are forgotten
    std::chrono::seconds refusal{60};   ///< how long every try is refused after too many
    std::chrono::seconds sessionLife = kSessionLife;
    std::size_t sessions = 1024;
    std::size_t addresses = 4096;
};

/// A session as a page needs it.
struct GateSession {
    std::string token; ///< the cookie's value: 256 random bits as hex
    std::string csrf;  ///< the token its changing requests carry: 256 random bits as hex
    GateKind kind = GateKind::Team;
};

enum class LoginOutcome {
    Admitted, ///< the session is in Login::session
    Wrong,    ///< not the code (or no code is set for that page)
    Refused,  ///< too many wrong tries from the address: refused for a while, unchecked
};

struct Login {
    LoginOutcome outcome = LoginOutcome::Wrong;
    std::optional<GateSession> session;
};

class Gate {
public:
    explicit Gate(GateClock clock = std::chrono::steady_clock::now, GateLimits limits = {});

    /// The code of one kind of page, from the next login on; none: every code is wrong.
    /// Sessions already open stay.
    void setCode(GateKind kind, std::optional<SaltedHash> code);

    /// Checks `code` for the page `kind` from `remoteAddress`.
    Login login(GateKind kind, const std::string& remoteAddress, const QString& code);
    /// Ends the session (logging out).
    void logout(const GateSession& session);

    /// The live session of `kind` named by the request's cookie.
    std::optional<GateSession> sessionOf(GateKind kind, const HttpRequest& request);
    /// Whether the request carries the session's CSRF token, in the header X-CSRF-Token or
    /// as the form field "csrf".
    static bool carriesCsrf(const GateSession& session, const HttpRequest& request,
                            const FormFields& form);
    /// Whether a browser's request came from a page of this server: its Origin, or else its
    /// Referer, names the Host it was sent to. Without either (not a browser's form, or a
    /// browser told to send no referrer, whose Origin is "null"), yes.
    static bool sameOrigin(const HttpRequest& request);

    /// The cookie that names a session of `kind`, and its Set-Cookie values.
    static std::string cookieName(GateKind kind);
    std::string setCookie(const GateSession& session) const;
    static std::string clearCookie(GateKind kind);

    /// Sessions and addresses kept now (tests of the bounds).
    std::size_t sessionCount() const;
    std::size_t addressCount() const;

private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Tries {
        std::deque<TimePoint> wrong; ///< within the window, oldest first
        int checking = 0;            ///< codes being checked now: they count as wrong until known
        TimePoint refusedUntil{};
        TimePoint lastSeen{};
    };
    struct Kept {
        GateSession session;
        TimePoint opened{};
    };

    Tries& triesOf(const std::string& address, TimePoint now);
    void forgetExpired(TimePoint now);
    GateSession openSession(GateKind kind, TimePoint now);

    GateClock clock_;
    GateLimits limits_;
    mutable std::mutex mutex_;
    std::optional<SaltedHash> teamCode_;
    std::optional<SaltedHash> deskCode_;
    std::map<std::string, Tries> tries_;
    std::map<std::string, Kept> sessions_;
};

} // namespace tarvel::web
