#include "web/gate.h"

#include "gatefixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace tarvel::web::testing {
namespace {

using std::chrono::seconds;

TEST(GateTest, WrongTriesPerAddress)
{
    struct Step {
        int after; ///< seconds since the step before
        const char* address;
        GateKind kind;
        bool rightCode;
        LoginOutcome expected;
    };
    constexpr auto T = GateKind::Team;
    constexpr auto D = GateKind::Desk;
    constexpr auto Admitted = LoginOutcome::Admitted;
    constexpr auto Wrong = LoginOutcome::Wrong;
    constexpr auto Refused = LoginOutcome::Refused;
    const char* a = "10.0.0.1";
    const char* b = "10.0.0.2";
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const std::vector<Step> fiveWrong(5, Step{1, a, T, false, Wrong});
    auto after = [&](std::vector<Step> more) {
        std::vector<Step> steps = fiveWrong;
        steps.insert(steps.end(), more.begin(), more.end());
        return steps;
    };
    const Case cases[] = {
        {"right codes", {{0, a, T, true, Admitted}, {0, a, D, true, Admitted}}},
        {"the other page's code is wrong", {{0, a, T, false, Wrong}, {0, a, D, false, Wrong}}},
        {"the sixth try within a minute is refused though right",
         after({{1, a, T, true, Refused}, {1, a, D, true, Refused}})},
        {"refused for a minute, then let in",
         after({{59, a, T, true, Refused}, {1, a, T, true, Admitted}})},
        {"a refused try does not lengthen the refusal",
         after(
             {{30, a, T, false, Refused}, {29, a, T, false, Refused}, {1, a, T, true, Admitted}})},
        {"after the refusal, five wrong again are needed", after({{60, a, T, false, Wrong},
                                                                  {0, a, T, false, Wrong},
                                                                  {0, a, T, false, Wrong},
                                                                  {0, a, T, false, Wrong},
                                                                  {0, a, T, true, Admitted}})},
        {"wrong tries older than a minute are forgotten",
         {{0, a, T, false, Wrong},
          {60, a, T, false, Wrong},
          {0, a, T, false, Wrong},
          {0, a, D, false, Wrong},
          {0, a, T, false, Wrong},
          {0, a, T, true, Admitted}}},
        {"another address is not held back", after({{0, b, T, true, Admitted}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TurnedClock time;
        Gate gate(time.clock());
        setCodes(gate);
        int number = 0;
        for (const Step& step : c.steps) {
            ++number;
            time.now += seconds(step.after);
            const QString code = step.kind == T ? kTeamCode : kDeskPin;
            const Login login =
                gate.login(step.kind, step.address, step.rightCode ? code : code + u'x');
            EXPECT_EQ(login.outcome, step.expected) << "step " << number;
            EXPECT_EQ(login.session.has_value(), step.expected == Admitted) << "step " << number;
        }
    }
}

TEST(GateTest, TriesSentAllAtOnceAreHeldToTheLimit)
{
    TurnedClock time;
    Gate gate(time.clock());
    setCodes(gate);
    std::atomic<int> wrong = 0;
    std::atomic<int> refused = 0;
    std::vector<std::thread> tries;
    for (int i = 0; i < 16; ++i)
        tries.emplace_back([&] {
            const Login login = gate.login(GateKind::Desk, "10.0.0.9", QStringLiteral("0000"));
            (login.outcome == LoginOutcome::Wrong ? wrong : refused) += 1;
        });
    for (std::thread& t : tries)
        t.join();
    EXPECT_LE(wrong.load(), 5);
    EXPECT_EQ(wrong + refused, 16);
    EXPECT_EQ(gate.login(GateKind::Desk, "10.0.0.9", kDeskPin).outcome, LoginOutcome::Refused);
}

TEST(GateTest, SessionsAndTheirTokens)
{
    TurnedClock time;
    Gate gate(time.clock());
    setCodes(gate);
    const GateSession team = *gate.login(GateKind::Team, "10.0.0.1", kTeamCode).session;
    const GateSession desk = *gate.login(GateKind::Desk, "10.0.0.1", kDeskPin).session;
    EXPECT_EQ(team.token.size(), 64u);
    EXPECT_NE(team.token, desk.token);
    EXPECT_NE(team.csrf, team.token);

    const HttpRequest page = get("/desk");
    HttpRequest teamUnderDeskName = page;
    teamUnderDeskName.headers.emplace_back("cookie", "tarvel_desk=" + team.token);
    HttpRequest unknown = page;
    unknown.headers.emplace_back("cookie", "tarvel_desk=" + std::string(64, '0'));
    struct Case {
        const char* name;
        GateKind kind;
        HttpRequest request;
        bool admitted;
    };
    const Case cases[] = {
        {"team session on the team pages", GateKind::Team, withSession(page, team), true},
        {"desk session on the desk pages", GateKind::Desk, withSession(page, desk), true},
        {"team session on the desk pages", GateKind::Desk, withSession(page, team), false},
        {"team token under the desk's cookie", GateKind::Desk, teamUnderDeskName, false},
        {"desk session on the team pages", GateKind::Team, withSession(page, desk), false},
        {"unknown token", GateKind::Desk, unknown, false},
        {"no cookie", GateKind::Desk, page, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gate.sessionOf(c.kind, c.request).has_value(), c.admitted) << c.name;

    // Eight hours from the login, whatever was done meanwhile.
    time.now += kSessionLife - seconds(1);
    EXPECT_TRUE(gate.sessionOf(GateKind::Team, withSession(page, team)));
    time.now += seconds(1);
    EXPECT_FALSE(gate.sessionOf(GateKind::Team, withSession(page, team)));
    EXPECT_FALSE(gate.sessionOf(GateKind::Desk, withSession(page, desk)));

    const std::string cookie = gate.setCookie(desk);
    for (const char* part :
         {"tarvel_desk=", "HttpOnly", "SameSite=Strict", "Path=/", "Max-Age=28800"})
        EXPECT_NE(cookie.find(part), std::string::npos) << part;
}

TEST(GateTest, CsrfToken)
{
    const GateSession session{"t", "c0ffee", GateKind::Desk};
    HttpRequest request = formPost("/desk/reprint", "id=1");
    struct Case {
        const char* name;
        std::optional<std::string> header;
        FormFields form;
        bool carries;
    };
    const Case cases[] = {
        {"none", std::nullopt, {{"id", "1"}}, false},
        {"empty", std::nullopt, {{"csrf", ""}}, false},
        {"wrong field", std::nullopt, {{"csrf", "c0ffef"}}, false},
        {"longer field", std::nullopt, {{"csrf", "c0ffee0"}}, false},
        {"another session's cookie token", std::nullopt, {{"csrf", "t"}}, false},
        {"right field", std::nullopt, {{"csrf", "c0ffee"}}, true},
        {"right header", "c0ffee", {}, true},
        {"wrong header beats a right field", "bad", {{"csrf", "c0ffee"}}, false},
    };
    for (const Case& c : cases) {
        HttpRequest sent = request;
        if (c.header)
            sent.headers.emplace_back("x-csrf-token", *c.header);
        EXPECT_EQ(Gate::carriesCsrf(session, sent, c.form), c.carries) << c.name;
    }
}

TEST(GateTest, SameOrigin)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> headers;
        bool same;
    };
    const Case cases[] = {
        {"neither origin nor referer", {{"host", "desk.local:8932"}}, true},
        {"origin of the host",
         {{"host", "desk.local:8932"}, {"origin", "http://Desk.Local:8932"}},
         true},
        {"origin of another port",
         {{"host", "desk.local:8932"}, {"origin", "http://desk.local:80"}},
         false},
        {"origin of another site",
         {{"host", "desk.local:8932"}, {"origin", "http://evil.example"}},
         false},
        {"no origin told (no-referrer)", {{"host", "desk.local:8932"}, {"origin", "null"}}, true},
        {"no origin told, referer elsewhere",
         {{"host", "desk.local:8932"}, {"origin", "null"}, {"referer", "http://evil.example/"}},
         false},
        {"referer of the host",
         {{"host", "desk.local:8932"}, {"referer", "http://desk.local:8932/team"}},
         true},
        {"referer elsewhere",
         {{"host", "desk.local:8932"}, {"referer", "http://evil.example/desk.local:8932"}},
         false},
        {"origin without a host", {{"origin", "http://desk.local:8932"}}, false},
    };
    for (const Case& c : cases) {
        HttpRequest request;
        request.headers = c.headers;
        EXPECT_EQ(Gate::sameOrigin(request), c.same) << c.name;
    }
}

TEST(GateTest, MemoryIsBounded)
{
    TurnedClock time;
    GateLimits limits;
    limits.sessions = 3;
    limits.addresses = 2;
    Gate gate(time.clock(), limits);
    setCodes(gate);
    std::vector<GateSession> sessions;
    for (int i = 0; i < 4; ++i) {
        time.now += seconds(1);
        sessions.push_back(
            *gate.login(GateKind::Team, "10.0.0." + std::to_string(i), kTeamCode).session);
    }
    EXPECT_EQ(gate.sessionCount(), 3u);
    EXPECT_EQ(gate.addressCount(), 2u);
    // The oldest went; the newest stay.
    EXPECT_FALSE(gate.sessionOf(GateKind::Team, withSession(get("/team"), sessions[0])));
    EXPECT_TRUE(gate.sessionOf(GateKind::Team, withSession(get("/team"), sessions[3])));
}

} // namespace
} // namespace tarvel::web::testing
