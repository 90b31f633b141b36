// The HTTP server over raw sockets: limits, refusals, answers, timeouts and the workers.

#include "rawclient.h"
#include "serverfixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvel::testing {
namespace {

void expectSecured(const RawAnswer& answer)
{
    EXPECT_EQ(answer.field("content-security-policy"), "default-src 'self'");
    EXPECT_EQ(answer.field("x-content-type-options"), "nosniff");
    EXPECT_EQ(answer.field("x-frame-options"), "DENY");
    EXPECT_EQ(answer.field("referrer-policy"), "same-origin");
}

std::string chunked(std::size_t chunkBytes, int chunks)
{
    std::string request = "POST /echo HTTP/1.1\r\nHost: test\r\nTransfer-Encoding: chunked\r\n\r\n";
    char size[32];
    std::snprintf(size, sizeof size, "%zx\r\n", chunkBytes);
    for (int i = 0; i < chunks; ++i)
        request += size + std::string(chunkBytes, 'c') + "\r\n";
    return request + "0\r\n\r\n";
}

std::string manyFields(int count)
{
    std::string request = "GET / HTTP/1.1\r\nHost: test\r\n";
    for (int i = 0; i < count; ++i)
        request += "X-Field-" + std::to_string(i) + ": some value\r\n";
    return request + "\r\n";
}

struct Refusal {
    const char* name;
    std::string request;
    int status;
    bool closes; ///< the request could not be read whole: the connection must go
};

class Refusals : public ::testing::TestWithParam<Refusal> {};

// Each refused before the site sees it, answered plainly with the fields every answer carries.
TEST_P(Refusals, AnsweredPlainlyWithoutTheSite)
{
    const Refusal& row = GetParam();
    ServerFixture fixture;
    RawClient client(fixture.port());
    client.send(row.request);
    const auto answer = client.readAnswer();
    ASSERT_TRUE(answer) << "no answer; got: " << client.received().substr(0, 200);
    EXPECT_EQ(answer->status, row.status);
    EXPECT_EQ(answer->field("content-type"), "text/plain; charset=utf-8");
    EXPECT_LT(answer->body.size(), 64u);
    expectSecured(*answer);
    EXPECT_EQ(fixture.handled(), 0);
    if (row.closes) {
        EXPECT_EQ(client.readUntilClosed(), Ending::Closed);
        return;
    }
    client.send(getRequest("/"));
    const auto next = client.readAnswer();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->status, 200);
}

INSTANTIATE_TEST_SUITE_P(
    HttpServer, Refusals,
    ::testing::Values(
        Refusal{"OneFieldOverHeaderLimit",
                "GET / HTTP/1.1\r\nHost: test\r\nX-Big: " + std::string(9000, 'a') + "\r\n\r\n",
                431, true},
        Refusal{"ManyFieldsOverHeaderLimit", manyFields(400), 431, true},
        Refusal{"DeclaredBodyOverLimit",
                "POST /echo HTTP/1.1\r\nHost: test\r\nContent-Length: 65537\r\n\r\n", 413, true},
        Refusal{"ChunkedBodyOverLimit", chunked(16 * 1024, 5), 413, true},
        Refusal{"GarbageRequestLine", "HELLO\r\n\r\n", 400, true},
        Refusal{"FieldWithoutColon", "GET / HTTP/1.1\r\nHost test\r\n\r\n", 400, true},
        Refusal{"ContentLengthNotANumber",
                "POST /echo HTTP/1.1\r\nHost: test\r\nContent-Length: 12x\r\n\r\n", 400, true},
        Refusal{"ChunkSizeNotHex",
                "POST /echo HTTP/1.1\r\nHost: test\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
                400, true},
        Refusal{"AbsoluteFormTarget",
                "GET http://example.com/ HTTP/1.1\r\nHost: example.com\r\n\r\n", 400, false},
        Refusal{"AsteriskTarget", "GET * HTTP/1.1\r\nHost: test\r\n\r\n", 400, false},
        Refusal{"DeleteMethod", getRequest("/", "DELETE"), 405, false},
        Refusal{"UnknownMethod", getRequest("/", "BREW"), 405, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct Exchange {
    const char* name;
    std::string request;
    bool head;
    int status;
    std::string body; ///< exactly, unless `contains` is set
    bool contains;
};

class Answers : public ::testing::TestWithParam<Exchange> {};

TEST_P(Answers, FromTheSite)
{
    const Exchange& row = GetParam();
    ServerFixture fixture;
    RawClient client(fixture.port());
    client.send(row.request);
    const auto answer = client.readAnswer(5s, row.head);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, row.status);
    expectSecured(*answer);
    if (row.contains)
        EXPECT_NE(answer->body.find(row.body), std::string::npos) << answer->body;
    else
        EXPECT_EQ(answer->body, row.body);
    // Kept alive after every answer the site gave.
    client.send(getRequest("/"));
    const auto next = client.readAnswer();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->body, "hello");
}

INSTANTIATE_TEST_SUITE_P(
    HttpServer, Answers,
    ::testing::Values(
        Exchange{"Get", getRequest("/"), false, 200, "hello", false},
        Exchange{"HeadHasNoBody", getRequest("/", "HEAD"), true, 200, "", false},
        Exchange{"TargetNeverDecoded", getRequest("/echo?a=%2e%2e%2F..&b"), false, 200,
                 "GET /echo?a=%2e%2e%2F..&b\n127.0.0.1\n\n", false},
        Exchange{"PostBodyAndFieldNamesLowerCase",
                 "POST /echo HTTP/1.1\r\nHost: test\r\nX-TEST: Value\r\nContent-Length: 3\r\n\r\n"
                 "abc",
                 false, 200, "POST /echo\n127.0.0.1\nValue\nabc", false},
        Exchange{"ChunkedBodyJoined", chunked(1000, 3), false, 200, "\n" + std::string(3000, 'c'),
                 true},
        Exchange{"ThrowingSiteIs500WithoutInsides", getRequest("/throw"), false, 500,
                 "Internal Server Error\n", false},
        Exchange{"MissingFileIs404", getRequest("/nofile"), false, 404, "Not Found\n", false},
        Exchange{"FolderIs404", getRequest("/folder"), false, 404, "Not Found\n", false},
        Exchange{"NoContentLosesItsBody", getRequest("/status/204"), false, 204, "", false},
        Exchange{"StatusOutOfRangeIs500", getRequest("/status/99"), false, 500,
                 "Internal Server Error\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HttpServer, FileStreamedWholeAndHeadGivesItsLength)
{
    ServerFixture fixture;
    RawClient client(fixture.port());
    client.send(getRequest("/file") + getRequest("/file", "HEAD"));
    const auto got = client.readAnswer();
    ASSERT_TRUE(got);
    EXPECT_EQ(got->status, 200);
    EXPECT_EQ(got->field("content-type"), "application/octet-stream");
    EXPECT_TRUE(got->body == fixture.fileBytes()) << "got " << got->body.size() << " bytes";
    const auto head = client.readAnswer(5s, true);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->field("content-length"), std::to_string(fixture.fileBytes().size()));
    EXPECT_EQ(head->body, "");
}

TEST(HttpServer, SiteFieldsKeptButNeverTheServersOrBrokenOnes)
{
    ServerFixture fixture;
    RawClient client(fixture.port());
    client.send(getRequest("/fields"));
    const auto answer = client.readAnswer();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->body, "fields");
    EXPECT_EQ(answer->field("set-cookie"), "s=1; HttpOnly");
    EXPECT_EQ(answer->field("content-length"), "6");
    EXPECT_FALSE(answer->fields.contains("injected"));
    EXPECT_FALSE(answer->fields.contains("x-broken"));
    expectSecured(*answer);
}

// A request dripped byte by byte meets the request time from its first byte: 408, closed.
TEST(HttpServer, SlowDripCutOff)
{
    ServerFixture fixture;
    RawClient client(fixture.port());
    const std::string drip = "GET / HTTP/1.1\r\nHost: test\r\nX-Slow: " + std::string(200, 's');
    const auto started = TestClock::now();
    Ending ending = Ending::TimedOut;
    for (std::size_t i = 0; i < drip.size() && ending != Ending::Closed; ++i) {
        client.send(drip.substr(i, 1));
        ending = client.readUntilClosed(50ms);
    }
    ASSERT_EQ(ending, Ending::Closed) << "the whole drip was read without a cut";
    EXPECT_GE(TestClock::now() - started, testLimits().requestTime);
    const auto answer = client.readAnswer(0ms);
    ASSERT_TRUE(answer) << client.received();
    EXPECT_EQ(answer->status, 408);
    expectSecured(*answer);
}

struct IdleCase {
    const char* name;
    std::string firstRequest; ///< empty: nothing is ever sent
};

class IdleConnections : public ::testing::TestWithParam<IdleCase> {};

TEST_P(IdleConnections, ClosedAfterTheIdleTime)
{
    ServerFixture fixture;
    RawClient client(fixture.port());
    const auto started = TestClock::now();
    if (!GetParam().firstRequest.empty()) {
        client.send(GetParam().firstRequest);
        ASSERT_TRUE(client.readAnswer());
    }
    EXPECT_EQ(client.readUntilClosed(), Ending::Closed);
    EXPECT_GE(TestClock::now() - started, testLimits().idleTime);
    EXPECT_EQ(client.received(), "");
    EXPECT_TRUE(eventually([&] { return fixture.server().connections() == 0; }));
}

INSTANTIATE_TEST_SUITE_P(HttpServer, IdleConnections,
                         ::testing::Values(IdleCase{"NeverAsked", ""},
                                           IdleCase{"KeptAliveAfterAnAnswer", getRequest("/")}),
                         [](const auto& info) { return std::string(info.param.name); });

// Far more idle connections than the limit: the ones idle longest make room, and a request
// is still answered.
TEST(HttpServer, ThousandIdleConnectionsDoNotShutOthersOut)
{
    constexpr int kIdle = 1000;
    ASSERT_GE(raiseOpenFileLimit(3 * kIdle), 2 * kIdle + 200) << "too few file descriptors";
    web::HttpLimits limits = testLimits();
    limits.connections = 64;
    limits.idleTime = 60s;
    ServerFixture fixture(limits);
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int i = 0; i < kIdle; ++i) {
        idle.push_back(std::make_unique<RawClient>(fixture.port()));
        ASSERT_TRUE(idle.back()->connected());
    }
    RawClient client(fixture.port());
    client.send(getRequest("/"));
    const auto answer = client.readAnswer();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->body, "hello");
    EXPECT_LE(fixture.server().connections(), limits.connections);
    EXPECT_EQ(idle.front()->readUntilClosed(), Ending::Closed);
}

// When every connection is busy (here: event streams), one more is turned away at once.
TEST(HttpServer, OverTheLimitTurnedAwayUntilRoomIsMade)
{
    web::HttpLimits limits = testLimits();
    limits.connections = 4;
    ServerFixture fixture(limits);
    std::vector<std::unique_ptr<RawClient>> streams;
    for (int i = 0; i < limits.connections; ++i) {
        streams.push_back(std::make_unique<RawClient>(fixture.port()));
        streams.back()->send(getRequest("/events"));
        ASSERT_TRUE(streams.back()->readHead());
    }
    RawClient turnedAway(fixture.port());
    turnedAway.send(getRequest("/"));
    const auto started = TestClock::now();
    ASSERT_EQ(turnedAway.readUntilClosed(), Ending::Closed);
    EXPECT_LT(TestClock::now() - started, limits.requestTime);
    EXPECT_TRUE(turnedAway.received().empty() || turnedAway.received().starts_with("HTTP/1.1 503 "))
        << turnedAway.received();
    EXPECT_EQ(fixture.handled(), 0);

    streams.back()->close();
    ASSERT_TRUE(eventually([&] { return fixture.server().connections() < limits.connections; }));
    RawClient client(fixture.port());
    client.send(getRequest("/"));
    const auto answer = client.readAnswer();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
}

// A site that waits (the ledger) holds a worker, not the network: others are answered.
TEST(HttpServer, SlowSiteDoesNotHoldOthers)
{
    ServerFixture fixture;
    RawClient slow(fixture.port());
    slow.send(getRequest("/block"));
    ASSERT_TRUE(fixture.gate().waitInside(1));
    RawClient quick(fixture.port());
    quick.send(getRequest("/"));
    const auto answer = quick.readAnswer();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->body, "hello");
    EXPECT_EQ(slow.received(), "");
    fixture.gate().open();
    const auto unblocked = slow.readAnswer();
    ASSERT_TRUE(unblocked);
    EXPECT_EQ(unblocked->body, "unblocked");
}

struct ListenFailure {
    const char* name;
    std::string address;
    bool portTaken;
};

class ListenFailures : public ::testing::TestWithParam<ListenFailure> {};

TEST_P(ListenFailures, SaidAsText)
{
    ServerFixture holder;
    web::HttpServer server([](const web::HttpRequest&) { return web::HttpResponse{}; }, "/e");
    const auto failure =
        server.listen(GetParam().address, GetParam().portTaken ? holder.port() : 0);
    ASSERT_TRUE(failure);
    EXPECT_FALSE(failure->empty());
    EXPECT_EQ(server.port(), 0);
}

INSTANTIATE_TEST_SUITE_P(HttpServer, ListenFailures,
                         ::testing::Values(ListenFailure{"PortTaken", "127.0.0.1", true},
                                           ListenFailure{"NotAnAddress", "venue.local", false},
                                           ListenFailure{"NotThisMachines", "192.0.2.1", false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tarvel::testing
