// The venue page end to end: a desk printing to PDF files, its venue page on a free port, and
// a browser's event stream that hears of each event the run printed.
#include "sampledesk.h"
#include "web/venue.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>

namespace tarvel::web {
namespace {

constexpr std::chrono::seconds kDeadline{20};

/// Keeps the desk's signals flowing while `done` is awaited, for at most kDeadline.
bool waitFor(const std::function<bool()>& done, QTcpSocket* reading = nullptr)
{
    const QDeadlineTimer deadline(kDeadline);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (reading)
            reading->waitForReadyRead(20);
    }
    return true;
}

/// The body of a GET of `path`, as one connection that the server closes after answering.
QByteArray fetch(quint16 port, const QByteArray& path)
{
    QTcpSocket socket;
    socket.connectToHost(u"127.0.0.1"_qs, port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    const QDeadlineTimer deadline(kDeadline);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(100);
        answer += socket.readAll();
    }
    answer += socket.readAll();
    if (!answer.startsWith("HTTP/1.1 200"))
        return {};
    return answer.mid(answer.indexOf("\r\n\r\n") + 4);
}

/// The events named by the notices an event stream carried so far.
QList<int> namedEvents(const QByteArray& stream)
{
    QList<int> races;
    for (const QByteArray& line : stream.split('\n')) {
        if (!line.startsWith("data: "))
            continue;
        const QJsonObject notice = QJsonDocument::fromJson(line.mid(6).trimmed()).object();
        for (const QJsonValue& line : notice[u"events"_qs].toArray())
            races << line[u"race"_qs].toInt();
    }
    return races;
}

/// The board's line of the event `race`, or of its first event when 0.
QJsonObject eventOnBoard(quint16 port, int race)
{
    const QJsonArray events =
        QJsonDocument::fromJson(fetch(port, "/board.json")).object()[u"events"_qs].toArray();
    for (const QJsonValue& event : events)
        if (race == 0 || event[u"race"_qs].toInt() == race)
            return event.toObject();
    return {};
}

class VenueTest : public ::testing::Test {
protected:
    Desk& desk() { return sample_.desk(); }

    testing::SampleMeetDesk sample_;
};

TEST_F(VenueTest, AnEventStreamHearsOfEachEventTheRunPrinted)
{
    VenueOptions options;
    options.port = 0;
    VenueService venue(desk(), options);
    venue.start();
    ASSERT_TRUE(venue.serving());
    const quint16 port = quint16(venue.url().section(u':', 2).section(u'/', 0, 0).toUInt());
    ASSERT_NE(port, 0) << venue.url().toStdString();
    ASSERT_TRUE(venue.url().startsWith(u"http://127.0.0.1:"_qs));

    QTcpSocket stream;
    stream.connectToHost(u"127.0.0.1"_qs, port);
    ASSERT_TRUE(stream.waitForConnected(5000));
    stream.write("GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/event-stream\r\n\r\n");
    QByteArray heard;
    QObject::connect(&stream, &QTcpSocket::readyRead, [&] { heard += stream.readAll(); });
    // The board's first state, and every event ready before the run.
    ASSERT_TRUE(waitFor([&] { return heard.contains("data: "); }, &stream)) << heard.data();
    const QJsonObject first = eventOnBoard(port, 0);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(first[u"state"_qs].toString(), u"ready"_qs);
    const int race = first[u"race"_qs].toInt();
    const qsizetype before = heard.size();

    bool finished = false;
    QObject::connect(&desk(), &Desk::runFinished, [&] { finished = true; });
    desk().start(desk().newRequest(RunKind::ReadyRaces));
    ASSERT_TRUE(waitFor([&] { return finished; }, &stream));
    EXPECT_TRUE(waitFor([&] { return namedEvents(heard.mid(before)).contains(race); }, &stream))
        << heard.mid(before).data();
    EXPECT_TRUE(
        waitFor([&] { return eventOnBoard(port, race)[u"state"_qs].toString() == u"printed"_qs; }));
    const QJsonObject list =
        QJsonDocument::fromJson(fetch(port, "/board/event/" + QByteArray::number(race) + ".json"))
            .object();
    EXPECT_FALSE(list[u"groups"_qs].toArray().isEmpty());

    // The pages behind the codes are served beside the board: their login forms.
    EXPECT_TRUE(fetch(port, "/team").contains("<form")) << "team";
    EXPECT_TRUE(fetch(port, "/desk").contains("<form")) << "desk";

    venue.stop();
    EXPECT_FALSE(venue.serving());
    EXPECT_TRUE(
        waitFor([&] { return stream.state() == QAbstractSocket::UnconnectedState; }, &stream));
}

TEST_F(VenueTest, APortInUseIsSaidWithTheAddress)
{
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost));
    VenueOptions options;
    options.port = taken.serverPort();
    VenueService venue(desk(), options);
    try {
        venue.start();
        FAIL() << "started on a port in use";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.path(), u"127.0.0.1:"_qs + QString::number(taken.serverPort()));
        EXPECT_FALSE(failure.reason().isEmpty());
    }
    EXPECT_FALSE(venue.serving());
}

} // namespace
} // namespace tarvel::web
