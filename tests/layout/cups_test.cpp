// Printing through a real print spooler: a private CUPS scheduler in a temporary folder,
// a queue with a file: device as the default destination, and the default-printer device
// in a child process pointed at it with CUPS_SERVER.
#include "poppler.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>

namespace tarvel {
namespace {

constexpr char kQueue[] = "tarvel-test";

void writeText(const QString& path, const QString& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

/// A cupsd of its own, stopped by its process id when the object goes.
class PrivateScheduler {
public:
    PrivateScheduler() { dir_.setAutoRemove(true); }
    ~PrivateScheduler() { stop(); }

    const QString& root() const { return root_; }
    QString socket() const { return root_ + u"/cups.sock"_qs; }
    QString spool() const { return root_ + u"/spool"_qs; }

    /// Starts the scheduler; on failure returns why.
    QString start()
    {
        root_ = dir_.path();
        const QString cupsd =
            QStandardPaths::findExecutable(u"cupsd"_qs, {u"/usr/sbin"_qs, u"/sbin"_qs});
        if (cupsd.isEmpty())
            return u"cupsd is not installed"_qs;
        // The scheduler's filters run as lp, which must reach the folders.
        QFile::setPermissions(root_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                         | QFile::ReadGroup | QFile::ExeGroup
                                         | QFile::ReadOther | QFile::ExeOther);
        for (const char* sub : {"spool", "cache", "state", "temp", "log", "out"})
            QDir(root_).mkpath(QString::fromLatin1(sub));
        QFile::setPermissions(root_ + u"/out"_qs, QFileDevice::Permissions(0x7777));

        writeText(root_ + u"/cupsd.conf"_qs,
                  u"Listen "_qs + socket() + u"\n"
                  "Browsing No\nWebInterface No\nLogLevel info\n"
                  "PreserveJobFiles Yes\nPreserveJobHistory Yes\n"
                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                  "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n"_qs);
        writeText(root_ + u"/cups-files.conf"_qs,
                  u"ServerRoot "_qs + root_ + u"\nRequestRoot "_qs + spool()
                      + u"\nCacheDir "_qs + root_ + u"/cache\nStateDir "_qs + root_
                      + u"/state\nTempDir "_qs + root_ + u"/temp\nErrorLog "_qs + root_
                      + u"/log/error_log\nAccessLog "_qs + root_ + u"/log/access_log\nPageLog "_qs
                      + root_ + u"/log/page_log\nPrintcap "_qs + root_
                      + u"/printcap\nFileDevice Yes\nUser lp\nGroup lp\nSystemGroup root\n"_qs);

        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(cupsd, {u"-f"_qs, u"-c"_qs, root_ + u"/cupsd.conf"_qs, u"-s"_qs,
                               root_ + u"/cups-files.conf"_qs});
        if (!process_.waitForStarted(5000))
            return u"cupsd could not be run: "_qs + process_.errorString();

        const QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired()) {
            if (process_.state() != QProcess::Running)
                return u"cupsd ended at once: "_qs + QString::fromLocal8Bit(process_.readAll())
                       + errorLogTail();
            if (QFile::exists(socket()) && tool(u"lpstat"_qs, {u"-r"_qs}).contains(u"is running"_qs))
                return {};
            QThread::msleep(100);
        }
        return u"cupsd did not answer within 15 seconds"_qs + errorLogTail();
    }

    void stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(process_.processId()), SIGTERM);
        if (!process_.waitForFinished(10000)) {
            ::kill(pid_t(process_.processId()), SIGKILL);
            process_.waitForFinished(5000);
        }
    }

    /// The environment of a client of this scheduler only.
    QProcessEnvironment clientEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"CUPS_SERVER"_qs, socket());
        env.insert(u"CUPS_SERVERROOT"_qs, root_); // no client.conf, no lpoptions
        env.insert(u"HOME"_qs, root_);
        env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        env.remove(u"LPDEST"_qs);
        env.remove(u"PRINTER"_qs);
        return env;
    }

    /// Runs a CUPS command against this scheduler; its output, or "" when it fails.
    QString tool(const QString& program, const QStringList& arguments, int* exitCode = nullptr) const
    {
        QProcess process;
        process.setProcessEnvironment(clientEnvironment());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        process.waitForFinished(30000);
        if (exitCode)
            *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return QString::fromLocal8Bit(process.readAll());
    }

    QString errorLogTail() const
    {
        QFile log(root_ + u"/log/error_log"_qs);
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return u"\n"_qs + QString::fromLocal8Bit(log.readAll().right(2000));
    }

private:
    QTemporaryDir dir_;
    QString root_;
    QProcess process_;
};

QStringList nonEmptyLines(const QString& text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

TEST(CupsPrintTest, TwoDocumentsOnTheDefaultPrinterAreTwoJobsWithTheirPages)
{
    PrivateScheduler cups;
    const QString why = cups.start();
    if (!why.isEmpty())
        GTEST_SKIP() << "no private CUPS scheduler here, the spooler test is skipped: "
                     << why.toStdString();

    int exitCode = -1;
    const QString queue = QString::fromLatin1(kQueue);
    const QString added = cups.tool(u"lpadmin"_qs,
                                    {u"-p"_qs, queue, u"-v"_qs,
                                     u"file:"_qs + cups.root() + u"/out/printed"_qs, u"-E"_qs},
                                    &exitCode);
    ASSERT_EQ(exitCode, 0) << added.toStdString() << cups.errorLogTail().toStdString();
    cups.tool(u"lpadmin"_qs, {u"-d"_qs, queue}, &exitCode);
    ASSERT_EQ(exitCode, 0);
    ASSERT_TRUE(cups.tool(u"lpstat"_qs, {u"-d"_qs}).contains(queue));

    QProcess client;
    client.setProcessEnvironment(cups.clientEnvironment());
    client.start(QString::fromUtf8(CUPS_CLIENT), {cups.root()});
    ASSERT_TRUE(client.waitForFinished(60000));
    const QString said = QString::fromLocal8Bit(client.readAllStandardOutput());
    ASSERT_EQ(client.exitCode(), 0) << said.toStdString()
                                    << client.readAllStandardError().toStdString();
    EXPECT_EQ(said.trimmed(), u"printer "_qs + queue);

    // Both jobs leave the queue.
    QStringList completed;
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        completed = nonEmptyLines(cups.tool(u"lpstat"_qs, {u"-W"_qs, u"completed"_qs, u"-o"_qs}));
        if (completed.size() >= 2 && nonEmptyLines(cups.tool(u"lpstat"_qs, {u"-o"_qs})).isEmpty())
            break;
        QThread::msleep(200);
    }
    ASSERT_EQ(completed.size(), 2) << completed.join(u'\n').toStdString()
                                   << cups.errorLogTail().toStdString();
    for (const QString& job : completed)
        EXPECT_TRUE(job.startsWith(queue + u'-')) << job.toStdString();

    // The spooled documents, oldest job first: the run of three pages, then the test page.
    const QStringList spooled = QDir(cups.spool()).entryList({u"d*-001"_qs}, QDir::Files, QDir::Name);
    ASSERT_EQ(spooled.size(), 2) << spooled.join(u' ').toStdString();
    EXPECT_EQ(testing::pdfPageCount(cups.spool() + u'/' + spooled[0]), 3);
    EXPECT_EQ(testing::pdfPageCount(cups.spool() + u'/' + spooled[1]), 1);

    cups.stop();
}

} // namespace
} // namespace tarvel
