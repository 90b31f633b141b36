#include "web/gate.h"

#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <cctype>

namespace tarvel::web {

namespace {

std::string randomToken()
{
    std::array<quint32, 8> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char*>(words.data()), sizeof words)
        .toHex()
        .toStdString();
}

std::string lowered(std::string_view text)
{
    std::string out;
    for (const char c : text)
        out += char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

/// "http://host:port/path" → "host:port"; empty when it is no such URL.
std::string authorityOf(std::string_view url)
{
    const std::size_t scheme = url.find("://");
    if (scheme == std::string_view::npos)
        return {};
    const std::string_view rest = url.substr(scheme + 3);
    return lowered(rest.substr(0, rest.find_first_of("/?#")));
}

} // namespace

Gate::Gate(GateClock clock, GateLimits limits) : clock_(std::move(clock)), limits_(limits) {}

void Gate::setCode(GateKind kind, std::optional<SaltedHash> code)
{
    const std::lock_guard lock(mutex_);
    (kind == GateKind::Team ? teamCode_ : deskCode_) = std::move(code);
}

Gate::Tries& Gate::triesOf(const std::string& address, TimePoint now)
{
    auto found = tries_.find(address);
    if (found == tries_.end()) {
        if (tries_.size() >= limits_.addresses) {
            // The address heard from longest ago goes; one with a code being checked stays.
            auto oldest = tries_.end();
            for (auto it = tries_.begin(); it != tries_.end(); ++it)
                if (it->second.checking == 0
                    && (oldest == tries_.end() || it->second.lastSeen < oldest->second.lastSeen))
                    oldest = it;
            if (oldest != tries_.end())
                tries_.erase(oldest);
        }
        found = tries_.emplace(address, Tries{}).first;
    }
    Tries& tries = found->second;
    tries.lastSeen = now;
    while (!tries.wrong.empty() && now - tries.wrong.front() >= limits_.tryWindow)
        tries.wrong.pop_front();
    return tries;
}

void Gate::forgetExpired(TimePoint now)
{
    std::erase_if(sessions_, [&](const auto& kept) {
        return now - kept.second.opened >= limits_.sessionLife;
    });
}

GateSession Gate::openSession(GateKind kind, TimePoint now)
{
    forgetExpired(now);
    if (sessions_.size() >= limits_.sessions) {
        const auto oldest =
            std::min_element(sessions_.begin(), sessions_.end(), [](const auto& a, const auto& b) {
                return a.second.opened < b.second.opened;
            });
        sessions_.erase(oldest);
    }
    GateSession session{randomToken(), randomToken(), kind};
    sessions_[session.token] = Kept{session, now};
    return session;
}

Login Gate::login(GateKind kind, const std::string& remoteAddress, const QString& code)
{
    std::optional<SaltedHash> kept;
    {
        const std::lock_guard lock(mutex_);
        const TimePoint now = clock_();
        Tries& tries = triesOf(remoteAddress, now);
        // Codes being checked count as wrong, so that tries sent all at once are held to
        // the limit too.
        if (now < tries.refusedUntil
            || int(tries.wrong.size()) + tries.checking >= limits_.wrongTries)
            return {LoginOutcome::Refused, std::nullopt};
        ++tries.checking;
        kept = kind == GateKind::Team ? teamCode_ : deskCode_;
    }
    // The slow part, outside the lock.
    const bool right = kept && matches(*kept, code);

    const std::lock_guard lock(mutex_);
    const TimePoint now = clock_();
    Tries& tries = triesOf(remoteAddress, now);
    tries.checking = std::max(0, tries.checking - 1);
    if (!right) {
        tries.wrong.push_back(now);
        if (int(tries.wrong.size()) >= limits_.wrongTries) {
            tries.refusedUntil = now + limits_.refusal;
            tries.wrong.clear();
        }
        return {LoginOutcome::Wrong, std::nullopt};
    }
    return {LoginOutcome::Admitted, openSession(kind, now)};
}

void Gate::logout(const GateSession& session)
{
    const std::lock_guard lock(mutex_);
    sessions_.erase(session.token);
}

std::optional<GateSession> Gate::sessionOf(GateKind kind, const HttpRequest& request)
{
    const std::optional<std::string> token = cookieValue(request, cookieName(kind));
    if (!token)
        return std::nullopt;
    const std::lock_guard lock(mutex_);
    const auto found = sessions_.find(*token);
    if (found == sessions_.end())
        return std::nullopt;
    if (clock_() - found->second.opened >= limits_.sessionLife) {
        sessions_.erase(found);
        return std::nullopt;
    }
    if (found->second.session.kind != kind)
        return std::nullopt;
    return found->second.session;
}

bool Gate::carriesCsrf(const GateSession& session, const HttpRequest& request,
                       const FormFields& form)
{
    std::optional<std::string> sent;
    if (const auto header = request.header("x-csrf-token"))
        sent = std::string(*header);
    else
        sent = fieldValue(form, "csrf");
    return sent && !session.csrf.empty()
           && sameBytes(QByteArray::fromStdString(*sent), QByteArray::fromStdString(session.csrf));
}

bool Gate::sameOrigin(const HttpRequest& request)
{
    // The server's answers carry "Referrer-Policy: no-referrer", under which a browser sends
    // "Origin: null" even for this server's own forms: such an origin says nothing, and the
    // session's token and its SameSite=Strict cookie guard the change.
    std::optional<std::string_view> from = request.header("origin");
    if (from == "null")
        from.reset();
    if (!from)
        from = request.header("referer");
    if (!from)
        return true;
    const std::optional<std::string_view> host = request.header("host");
    const std::string authority = authorityOf(*from);
    return host && !authority.empty() && authority == lowered(*host);
}

std::string Gate::cookieName(GateKind kind)
{
    return kind == GateKind::Team ? "tarvel_team" : "tarvel_desk";
}

std::string Gate::setCookie(const GateSession& session) const
{
    return cookieName(session.kind) + '=' + session.token + "; Max-Age="
           + std::to_string(limits_.sessionLife.count()) + "; Path=/; HttpOnly; SameSite=Strict";
}

std::string Gate::clearCookie(GateKind kind)
{
    return cookieName(kind) + "=; Max-Age=0; Path=/; HttpOnly; SameSite=Strict";
}

std::size_t Gate::sessionCount() const
{
    const std::lock_guard lock(mutex_);
    return sessions_.size();
}

std::size_t Gate::addressCount() const
{
    const std::lock_guard lock(mutex_);
    return tries_.size();
}

} // namespace tarvel::web
