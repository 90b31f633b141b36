// tarvel-batch --serve: its options, the code files it refuses, a taken port, and serving
// until a stop signal, alone and beside --watch.

#include "batchfixture.h"
#include "meetdb/racestatus.h"
#include "watchprocess.h"

#include <QFile>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace tarvel::testing {
namespace {

/// The whole answer to a GET of `path` on 127.0.0.1:`port` (Connection: close), or empty
/// when nothing answers within ten seconds.
QByteArray httpGet(int port, const QByteArray& path)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return {};
    timeval limit{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QByteArray answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const QByteArray request =
            "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
        if (::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL)
            == request.size()) {
            char buffer[4096];
            ssize_t got = 0;
            while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
                answer.append(buffer, got);
        }
    }
    ::close(fd);
    return answer;
}

class ServeTest : public BatchTest {
protected:
    /// A file holding `content`, with the permission bits `mode`.
    QString codeFile(const QString& name, const QByteArray& content, QFile::Permissions mode)
    {
        const QString path = output.path() + u'/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        EXPECT_TRUE(file.setPermissions(mode));
        return path;
    }

    QString ownerOnlyFile(const QString& name, const QByteArray& content)
    {
        return codeFile(name, content, QFile::ReadOwner | QFile::WriteOwner);
    }

    /// The port of "the venue page is served at http://127.0.0.1:PORT/" once said; 0 if not.
    static int servedPort(WatchProcess& desk)
    {
        if (!desk.says(u"the venue page is served at"_qs))
            return 0;
        static const QRegularExpression url(u"served at http://127\\.0\\.0\\.1:([0-9]+)/"_qs);
        return url.match(desk.err()).captured(1).toInt();
    }
};

TEST_F(ServeTest, BadUsageIsRefused)
{
    struct Case {
        QStringList arguments;
        const char16_t* told;
    };
    const QList<Case> cases = {
        {{u"--listen"_qs, u"127.0.0.1:8000"_qs}, u"--listen goes with --serve"},
        {{u"--access-code-file"_qs, u"code"_qs}, u"--access-code-file goes with --serve"},
        {{u"--serve"_qs, u"--history"_qs}, u"--serve goes alone or with --watch"},
        {{u"--serve"_qs, u"--reprint"_qs, u"2"_qs}, u"--serve goes alone or with --watch"},
        {{u"--serve"_qs, u"--e-certificates"_qs}, u"--e-certificates goes with"},
        {{u"--serve"_qs, u"--access-code-file"_qs, QString()}, u"needs a path"},
        // Not an address of this form: a name, an IPv6 address without brackets, a port
        // out of range, a port missing after the colon, four numbers out of range.
        {{u"--serve"_qs, u"--listen"_qs, u"localhost:8000"_qs}, u"--listen: \"localhost:8000\""},
        {{u"--serve"_qs, u"--listen"_qs, u"::1:8000"_qs}, u"--listen: \"::1:8000\""},
        {{u"--serve"_qs, u"--listen"_qs, u"127.0.0.1:65536"_qs}, u"--listen: \"127.0.0.1:65536\""},
        {{u"--serve"_qs, u"--listen"_qs, u"127.0.0.1:"_qs}, u"--listen: \"127.0.0.1:\""},
        {{u"--serve"_qs, u"--listen"_qs, u"256.0.0.1:80"_qs}, u"--listen: \"256.0.0.1:80\""},
        {{u"--serve"_qs, u"--listen"_qs, u"[127.0.0.1]:80"_qs}, u"--listen: \"[127.0.0.1]:80\""},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(qPrintable(row.arguments.join(u' ')));
        const Outcome outcome = runBatch(arguments(row.arguments));
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_TRUE(outcome.err.contains(QString::fromUtf16(row.told))) << qPrintable(outcome.err);
    }
}

TEST_F(ServeTest, CodeFilesOthersCouldReadOrWithoutACodeAreRefused)
{
    const QFile::Permissions everybody =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    struct Case {
        QString file;
        const char16_t* why;
    };
    const QList<Case> cases = {
        {output.path() + u"/none"_qs, u"No such file"},
        {ownerOnlyFile(u"blank"_qs, " \t\n123456\n"), u"its first line is empty"},
        {ownerOnlyFile(u"empty"_qs, ""), u"its first line is empty"},
        {codeFile(u"open"_qs, "123456\n", everybody), u"anybody on this machine may read it"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(qPrintable(row.file));
        const Outcome outcome = runBatch(arguments(
            {u"--serve"_qs, u"--listen"_qs, u"127.0.0.1:0"_qs, u"--desk-pin-file"_qs, row.file}));
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_TRUE(outcome.err.contains(row.file)) << qPrintable(outcome.err);
        EXPECT_TRUE(outcome.err.contains(QString::fromUtf16(row.why))) << qPrintable(outcome.err);
        EXPECT_FALSE(outcome.err.contains(u"served at"_qs)) << qPrintable(outcome.err);
    }
}

TEST_F(ServeTest, ServesUntilStoppedAndATakenPortIsTold)
{
    const QString code = ownerOnlyFile(u"code"_qs, "  482913  \nsecond line\n");
    WatchProcess desk(arguments({u"--serve"_qs, u"--listen"_qs, u"127.0.0.1:0"_qs,
                                 u"--access-code-file"_qs, code}),
                      {}, QProcessEnvironment::systemEnvironment(), WatchProcess::Watching::No);
    const int port = servedPort(desk);
    ASSERT_GT(port, 0) << desk.err().toStdString();
    EXPECT_TRUE(desk.err().contains(u"the desk's page refuses every PIN"_qs))
        << desk.err().toStdString();
    const QByteArray board = httpGet(port, "/");
    EXPECT_TRUE(board.startsWith("HTTP/1.1 200")) << board.left(200).constData();
    // Serving alone prints nothing and marks nothing.
    EXPECT_TRUE(pdfFiles().isEmpty());

    const QString taken = u"127.0.0.1:"_qs + QString::number(port);
    const Outcome second = runBatch(arguments({u"--serve"_qs, u"--listen"_qs, taken}));
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.err.contains(taken)) << qPrintable(second.err);

    EXPECT_EQ(desk.stop(SIGINT), 0) << desk.err().toStdString();
    EXPECT_TRUE(desk.err().contains(u"serving ended"_qs)) << desk.err().toStdString();
    EXPECT_TRUE(httpGet(port, "/").isEmpty());
}

TEST_F(ServeTest, ServesBesideTheWatchingAndStopsWithIt)
{
    meet.builder().writeRaceStatus(QByteArray(kRaceCount, '0'));
    WatchProcess desk(arguments({u"--serve"_qs, u"--listen"_qs, u"127.0.0.1:0"_qs}));
    const int port = servedPort(desk);
    ASSERT_GT(port, 0) << desk.err().toStdString();
    ASSERT_TRUE(desk.says(u"watching"_qs)) << desk.err().toStdString();

    // The relay turns ready while a browser asks: it prints, and the board still answers.
    meet.builder().writeRaceStatus({3}, '8');
    ASSERT_TRUE(desk.says(u"event(s) printed"_qs)) << desk.err().toStdString();
    EXPECT_EQ(raceDat().at(2), '9');
    EXPECT_TRUE(httpGet(port, "/board.json").startsWith("HTTP/1.1 200"));

    // As the systemd unit stops it.
    EXPECT_EQ(desk.stop(SIGTERM), 0) << desk.err().toStdString();
    EXPECT_TRUE(desk.err().contains(u"watching ended"_qs)) << desk.err().toStdString();
    EXPECT_TRUE(httpGet(port, "/").isEmpty());
}

} // namespace
} // namespace tarvel::testing
