#include "web/gatepages.h"

#include "gatefixture.h"
#include "web/pagewords.h"
#include "web/teampages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>

namespace tarvel::web::testing {
namespace {

TEST(GatePagesTest, TextsMadeSafe)
{
    struct Case {
        std::string_view in;
        std::string html;
    };
    const Case cases[] = {
        {"<script>alert('x')</script>", "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"},
        {"a\"b&c", "a&quot;b&amp;c"},
        {"山田&amp;", "山田&amp;amp;"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(escapeHtml(c.in), c.html) << c.in;

    EXPECT_EQ(attachmentDisposition(QStringLiteral("山田 \"A\".pdf")),
              "attachment; filename=\"__ _A_.pdf\"; "
              "filename*=UTF-8''%E5%B1%B1%E7%94%B0%20%22A%22.pdf");
}

TEST(GatePagesTest, PagesSpeakJapaneseWhateverTheProcessSpeaks)
{
    // No translator is installed in the tests: the words come from the program's Japanese
    // translation all the same (expected values as translations/tarvel_ja.ts gives them).
    ASSERT_EQ(QCoreApplication::translate("tarvel", "Log in"), QStringLiteral("Log in"));
    EXPECT_EQ(pageWord(QT_TRANSLATE_NOOP("tarvel", "Log in")), QStringLiteral("ログイン"));
    EXPECT_EQ(pageWord(QT_TRANSLATE_N_NOOP("tarvel", "%n file(s)"), 3), QStringLiteral("3件"));
    EXPECT_EQ(inJapanese(QStringLiteral("canceled")), QStringLiteral("取消"));
    EXPECT_EQ(inJapanese(QStringLiteral("取消")), QStringLiteral("取消"));
    EXPECT_EQ(inJapanese(QStringLiteral("山田")), QStringLiteral("山田"));
    const GatedArea area{"/team", GateKind::Team, QStringLiteral("チーム"),
                         QStringLiteral("コード"), QStringLiteral("コードを入力")};
    EXPECT_NE(loginPage(area, 200).body.find("ログイン"), std::string::npos);
}

TEST(GatePagesTest, LoggingOutNeedsTheTokenAndEndsTheSession)
{
    TurnedClock time;
    Gate gate(time.clock());
    setCodes(gate);
    const GatedArea area{"/desk", GateKind::Desk, QStringLiteral("受付"), QStringLiteral("PIN"),
                         QStringLiteral("PINを入力")};
    const GateSession session = *gate.login(GateKind::Desk, "10.0.0.1", kDeskPin).session;
    const HttpRequest page = withSession(get("/desk"), session);

    EXPECT_EQ(logoutAnswer(gate, area, withSession(formPost("/desk/logout", ""), session), session)
                  .status,
              403);
    EXPECT_TRUE(gate.sessionOf(GateKind::Desk, page));
    const HttpResponse out = logoutAnswer(
        gate, area, withSession(formPost("/desk/logout", "csrf=" + session.csrf), session),
        session);
    EXPECT_EQ(out.status, 303);
    EXPECT_FALSE(gate.sessionOf(GateKind::Desk, page));
}

TEST(GatePagesTest, LoginAnswers)
{
    TurnedClock time;
    Gate gate(time.clock());
    setCodes(gate);
    const GatedArea area{"/team", GateKind::Team, QStringLiteral("チーム"),
                         QStringLiteral("コード"), QStringLiteral("コードを入力")};
    const auto cookieOf = [](const HttpResponse& response) {
        for (const auto& [name, value] : response.headers)
            if (name == "Set-Cookie")
                return value;
        return std::string();
    };
    const std::string right = "code=" + percentEncode(kTeamCode.toStdString());
    for (int i = 0; i < 5; ++i) {
        const HttpResponse wrong = loginAnswer(gate, area, formPost("/team/login", "code=x"));
        EXPECT_EQ(wrong.status, 401);
        EXPECT_EQ(cookieOf(wrong), "");
    }
    const HttpResponse refused = loginAnswer(gate, area, formPost("/team/login", right));
    EXPECT_EQ(refused.status, 429);
    EXPECT_EQ(cookieOf(refused), "");
    EXPECT_TRUE(std::count(refused.headers.begin(), refused.headers.end(),
                           std::pair<std::string, std::string>("Retry-After", "60")));

    time.now += std::chrono::seconds(60);
    const HttpResponse in = loginAnswer(gate, area, formPost("/team/login", right));
    EXPECT_EQ(in.status, 303);
    EXPECT_TRUE(cookieOf(in).starts_with("tarvel_team="));
}

} // namespace
} // namespace tarvel::web::testing
