// The venue site's router: what each request reaches, and what never reaches anything.
#include "meetfixture.h"
#include "web/board.h"
#include "web/venuesite.h"

#include <gtest/gtest.h>

#include <mutex>

namespace tarvel::web {
namespace {

using testing::TempMeet;

/// A part that answers every request it is given, and keeps their targets.
class RecordingPart {
public:
    std::optional<HttpResponse> operator()(const HttpRequest& request)
    {
        std::lock_guard lock(mutex_);
        seen.push_back(request.target);
        if (request.target.find("/none") != std::string::npos)
            return std::nullopt;
        return HttpResponse::plain(200, "part");
    }
    std::vector<std::string> seen;

private:
    std::mutex mutex_;
};

class VenueSiteTest : public ::testing::Test {
protected:
    HttpResponse get(std::string target, std::string method = "GET")
    {
        HttpRequest request;
        request.method = std::move(method);
        request.target = std::move(target);
        request.remoteAddress = "192.0.2.7";
        return site_.handle(request);
    }

    TempMeet meet_;
    Board board_{testing::sessionFor(meet_, testing::meetWith(8)), {}};
    RecordingPart team_;
    VenueSite site_{board_, std::ref(team_), {}};
};

std::optional<std::string> headerOf(const HttpResponse& response, const std::string& name)
{
    for (const auto& [field, value] : response.headers)
        if (field == name)
            return value;
    return std::nullopt;
}

struct Refusal {
    const char* name;
    const char* method;
    std::string target;
    int status;
};

class SiteRefusals : public VenueSiteTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SiteRefusals, NeitherTheFilesNorThePartsAreReached)
{
    const Refusal& row = GetParam();
    const HttpResponse response = get(row.target, row.method);
    EXPECT_EQ(response.status, row.status);
    EXPECT_TRUE(response.filePath.empty());
    EXPECT_TRUE(team_.seen.empty());
    // A plain answer tells nothing of the program's insides.
    EXPECT_LT(response.body.size(), 64u);
    if (row.status == 405) {
        EXPECT_EQ(headerOf(response, "Allow"), "GET");
    }
}

const Refusal kRefusals[] = {
    {"DotsPlain", "GET", "/../etc/passwd", 400},
    {"DotsUnderAssets", "GET", "/assets/../board.html", 400},
    {"DotsInQueryPath", "GET", "/assets/..?x=1", 400},
    {"DotsEncoded", "GET", "/assets/%2e%2e/%2e%2e/etc/passwd", 400},
    {"DotsEncodedUpper", "GET", "/assets/%2E%2E%2Fboard.html", 400},
    {"DotsDoubleEncoded", "GET", "/assets/%252e%252e%252fpasswd", 400},
    {"SlashEncoded", "GET", "/assets%2fboard.css", 400},
    {"Backslash", "GET", "/assets\\board.css", 400},
    {"BackslashEncoded", "GET", "/assets/..%5c..%5cwin.ini", 400},
    {"NulEncoded", "GET", "/assets/board.css%00.js", 400},
    {"NulRaw", "GET", std::string("/assets/board.css\0.js", 21), 400},
    {"BrokenEscape", "GET", "/assets/board.css%2", 400},
    {"AbsolutePath", "GET", "//etc/passwd", 400},
    {"AbsoluteUrl", "GET", "http://example.org/", 400},
    {"NoPath", "GET", "", 400},
    {"TeamTraversal", "GET", "/team/../desk", 400},
    {"TeamEncodedTraversal", "GET", "/team/file/%2e%2e%2f%2e%2e%2fRace.dat", 400},
    {"UnknownAsset", "GET", "/assets/nothing.js", 404},
    {"AssetsFolder", "GET", "/assets/", 404},
    {"AssetOtherCase", "GET", "/assets/Board.css", 404},
    {"AssetResourcePath", "GET", "/assets/:/web/board.css", 404},
    {"EventNotNumber", "GET", "/board/event/abc.json", 404},
    {"EventNegative", "GET", "/board/event/-1.json", 404},
    {"EventNotPrinted", "GET", "/board/event/12.json", 404},
    {"UnknownPage", "GET", "/admin", 404},
    {"NearTeam", "GET", "/teams", 404},
    {"DeskWithoutPart", "GET", "/desk", 404},
    {"PostBoard", "POST", "/", 405},
    {"PostBoardJson", "POST", "/board.json", 405},
    {"DeleteAsset", "DELETE", "/assets/board.js", 405},
    {"PostEvents", "POST", "/events", 405},
};

INSTANTIATE_TEST_SUITE_P(Table, SiteRefusals, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VenueSiteTest, TheBoardItsDataAndItsAssetsAreServed)
{
    const HttpResponse page = get("/?from=qr");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.contentType, "text/html; charset=utf-8");
    EXPECT_NE(page.body.find("/assets/board.js"), std::string::npos);
    // No inline script or style: the policy allows only the server's own files.
    EXPECT_EQ(page.body.find("<style"), std::string::npos);
    EXPECT_EQ(page.body.find("<script>"), std::string::npos);
    EXPECT_EQ(page.body.find(" style="), std::string::npos);
    EXPECT_EQ(page.body.find("http"), std::string::npos);

    const HttpResponse script = get("/assets/board.js");
    EXPECT_EQ(script.status, 200);
    EXPECT_EQ(script.contentType, "text/javascript; charset=utf-8");
    EXPECT_NE(script.body.find("EventSource"), std::string::npos);
    EXPECT_EQ(get("/assets/board.css").contentType, "text/css; charset=utf-8");

    const HttpResponse json = get("/board.json");
    EXPECT_EQ(json.status, 200);
    EXPECT_EQ(json.contentType, "application/json");
    EXPECT_EQ(headerOf(json, "Cache-Control"), "no-store");
    EXPECT_NE(json.body.find("\"events\""), std::string::npos);
}

TEST_F(VenueSiteTest, TeamRequestsGoToTheirPartWhole)
{
    EXPECT_EQ(get("/team").body, "part");
    EXPECT_EQ(get("/team/file/12?zip=1", "POST").body, "part");
    EXPECT_EQ(get("/team/none").status, 404);
    EXPECT_EQ(team_.seen, (std::vector<std::string>{"/team", "/team/file/12?zip=1", "/team/none"}));
}

} // namespace
} // namespace tarvel::web
