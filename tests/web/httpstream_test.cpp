// The server's event streams: what a browser's EventSource sees, a stream that cannot keep
// up, and stopping with streams open.

#include "rawclient.h"
#include "serverfixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

namespace tarvel::testing {
namespace {

/// A stream opened and its head read: from here on the server publishes to it.
std::unique_ptr<RawClient> openStream(std::uint16_t port)
{
    auto client = std::make_unique<RawClient>(port);
    client->send(getRequest("/events"));
    const auto head = client->readHead();
    if (!head) {
        ADD_FAILURE() << "no stream head: " << client->received();
        return client;
    }
    EXPECT_EQ(head->status, 200);
    EXPECT_EQ(head->field("content-type"), "text/event-stream");
    EXPECT_EQ(head->field("cache-control"), "no-store");
    EXPECT_EQ(head->field("content-security-policy"), "default-src 'self'");
    EXPECT_EQ(head->field("x-frame-options"), "DENY");
    return client;
}

/// The numbers of the events "data: N" in `received`, in the order they came.
std::vector<int> eventNumbers(const std::string& received)
{
    std::vector<int> numbers;
    for (std::size_t at = received.find("data: "); at != std::string::npos;
         at = received.find("data: ", at + 1))
        numbers.push_back(std::atoi(received.c_str() + at + 6));
    return numbers;
}

// Published faster than written: what a stream gets is in order and ends with the last.
TEST(HttpStream, InOrderEndingWithTheLast)
{
    ServerFixture fixture;
    auto stream = openStream(fixture.port());
    for (int i = 1; i <= 200; ++i)
        fixture.server().publish(std::to_string(i));
    ASSERT_TRUE(stream->readUntil("data: 200\n\n")) << stream->received();
    const std::vector<int> numbers = eventNumbers(stream->received());
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_EQ(std::adjacent_find(numbers.begin(), numbers.end()), numbers.end());
    EXPECT_EQ(numbers.back(), 200);
}

TEST(HttpStream, LinesFramedAndTheLastGivenToANewStream)
{
    ServerFixture fixture;
    auto early = openStream(fixture.port());
    fixture.server().publish("two\nlines\r\nand\rmore");
    ASSERT_TRUE(early->readUntil("more\n\n")) << early->received();
    EXPECT_EQ(early->received(), "data: two\ndata: lines\ndata: and\ndata: more\n\n");
    fixture.server().publish("three");
    ASSERT_TRUE(early->readUntil("data: three\n\n"));

    auto late = openStream(fixture.port());
    fixture.server().publish("four");
    ASSERT_TRUE(late->readUntil("data: four\n\n")) << late->received();
    EXPECT_EQ(late->received(), "data: three\n\ndata: four\n\n");
}

TEST(HttpStream, QueryAfterThePathStillAStreamButNotAPost)
{
    ServerFixture fixture;
    fixture.server().publish("board");
    RawClient query(fixture.port());
    query.send(getRequest("/events?since=3"));
    ASSERT_TRUE(query.readHead());
    EXPECT_TRUE(query.readUntil("data: board\n\n"));

    RawClient post(fixture.port());
    post.send("POST /events HTTP/1.1\r\nHost: test\r\nContent-Length: 0\r\n\r\n");
    const auto answer = post.readAnswer();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 404); // the site's answer, not a stream
}

// A comment line every keep-alive period, and the idle time does not end a stream.
TEST(HttpStream, KeptAliveLongerThanTheIdleTime)
{
    web::HttpLimits limits = testLimits();
    limits.idleTime = 100ms;
    limits.keepAliveTime = 400ms;
    ServerFixture fixture(limits);
    auto stream = openStream(fixture.port());
    const auto started = TestClock::now();
    ASSERT_TRUE(stream->readUntil(":\n\n", 5s)) << stream->received();
    EXPECT_GE(TestClock::now() - started, limits.idleTime);
    EXPECT_EQ(fixture.server().connections(), 1);
}

// A stream that takes nothing holds only the newest event: once it reads again it gets the
// last one, and far less than everything published meanwhile.
TEST(HttpStream, StreamThatCannotKeepUpGetsOnlyTheNewest)
{
    ServerFixture fixture;
    auto stream = openStream(fixture.port());
    constexpr int kEvents = 600;
    const std::string filler(64 * 1024, 'x');
    for (int i = 0; i < kEvents; ++i)
        fixture.server().publish(std::to_string(i) + filler);
    fixture.server().publish("last");
    ASSERT_TRUE(stream->readUntil("data: last\n\n", 20s))
        << stream->received().size() << " bytes: " << stream->received().substr(0, 40) << " … "
        << stream->received().substr(stream->received().size() - 40);
    EXPECT_LT(stream->received().size(), kEvents * filler.size() / 4);
}

TEST(HttpStream, ClosedPeerLeavesTheCount)
{
    ServerFixture fixture;
    auto stream = openStream(fixture.port());
    ASSERT_TRUE(eventually([&] { return fixture.server().connections() == 1; }));
    stream->close();
    EXPECT_TRUE(eventually([&] { return fixture.server().connections() == 0; }));
}

// Stop closes streams, idle connections and the listening socket, and can be said twice.
TEST(HttpStream, StopClosesEverything)
{
    ServerFixture fixture;
    std::vector<std::unique_ptr<RawClient>> streams;
    for (int i = 0; i < 3; ++i)
        streams.push_back(openStream(fixture.port()));
    RawClient idle(fixture.port());
    const std::uint16_t port = fixture.port();
    ASSERT_TRUE(eventually([&] { return fixture.server().connections() == 4; }));

    fixture.server().stop();
    for (const auto& stream : streams)
        EXPECT_EQ(stream->readUntilClosed(), Ending::Closed);
    EXPECT_EQ(idle.readUntilClosed(), Ending::Closed);
    EXPECT_EQ(fixture.server().connections(), 0);
    fixture.server().stop();
    fixture.server().publish("after");
    EXPECT_TRUE(fixture.server().listen("127.0.0.1", 0));
    RawClient refused(port);
    EXPECT_FALSE(refused.connected());
}

// A site still working when the server stops: stop waits for it, and its answer goes nowhere.
TEST(HttpStream, StopWaitsForTheSite)
{
    ServerFixture fixture;
    RawClient slow(fixture.port());
    slow.send(getRequest("/block"));
    ASSERT_TRUE(fixture.gate().waitInside(1));
    // The connection closes while the site still works; only then may the site finish.
    Ending ending = Ending::TimedOut;
    std::thread opener([&] {
        ending = slow.readUntilClosed();
        fixture.gate().open();
    });
    fixture.server().stop();
    opener.join();
    EXPECT_EQ(ending, Ending::Closed);
    EXPECT_EQ(slow.received(), "");
}

} // namespace
} // namespace tarvel::testing
