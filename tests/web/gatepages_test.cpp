#include "web/gatepages.h"

#include "gatefixture.h"
#include "web/teampages.h"

#include <gtest/gtest.h>

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

TEST(GatePagesTest, LoggingOutNeedsTheTokenAndEndsTheSession)
{
    TurnedClock time;
    Gate gate(time.clock());
    setCodes(gate);
    const GatedArea area{"/desk", GateKind::Desk, QStringLiteral("受付"), QStringLiteral("PIN")};
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

} // namespace
} // namespace tarvel::web::testing
