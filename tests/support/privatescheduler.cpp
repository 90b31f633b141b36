#include "privatescheduler.h"

#include "eventually.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <signal.h>

namespace tarvel::testing {

namespace {

void writeText(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    file.write(text.toUtf8());
}

} // namespace

PrivateScheduler::PrivateScheduler()
{
    dir_.setAutoRemove(true);
}

PrivateScheduler::~PrivateScheduler()
{
    stop();
}

QString PrivateScheduler::start()
{
    root_ = dir_.path();
    const QString cupsd =
        QStandardPaths::findExecutable(u"cupsd"_qs, {u"/usr/sbin"_qs, u"/sbin"_qs});
    if (cupsd.isEmpty())
        return u"cupsd is not installed"_qs;
    // The scheduler's filters run as lp, which must reach the folders.
    QFile::setPermissions(root_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                     | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                     | QFile::ExeOther);
    for (const char* sub : {"spool", "cache", "state", "temp", "log", "out"})
        QDir(root_).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root_ + u"/out"_qs, QFileDevice::Permissions(0x7777));

    writeText(root_ + u"/cupsd.conf"_qs,
              u"Listen "_qs + socket()
                  + u"\nBrowsing No\nWebInterface No\nLogLevel debug\n"
                    "PreserveJobFiles Yes\nPreserveJobHistory Yes\nMaxJobs 0\n"
                    "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                    "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                    "</Policy>\n"_qs);
    writeText(root_ + u"/cups-files.conf"_qs,
              u"ServerRoot "_qs + root_ + u"\nRequestRoot "_qs + spool() + u"\nCacheDir "_qs + root_
                  + u"/cache\nStateDir "_qs + root_ + u"/state\nTempDir "_qs + root_
                  + u"/temp\nErrorLog "_qs + root_ + u"/log/error_log\nAccessLog "_qs + root_
                  + u"/log/access_log\nPageLog "_qs + root_ + u"/log/page_log\nPrintcap "_qs + root_
                  + u"/printcap\nFileDevice Yes\nUser lp\nGroup lp\nSystemGroup root\n"_qs);

    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(cupsd, {u"-f"_qs, u"-c"_qs, root_ + u"/cupsd.conf"_qs, u"-s"_qs,
                           root_ + u"/cups-files.conf"_qs});
    if (!process_.waitForStarted(5000))
        return u"cupsd could not be run: "_qs + process_.errorString();

    // Each look starts lpstat: a tenth of a second apart. The scheduler announces nothing.
    const bool settled = eventually(
        [&] {
            if (process_.state() != QProcess::Running)
                return true;
            QProcess lpstat;
            lpstat.setProcessEnvironment(clientEnvironment());
            lpstat.start(u"lpstat"_qs, {u"-r"_qs});
            lpstat.waitForFinished(5000);
            return QFile::exists(socket()) && lpstat.readAllStandardOutput().contains("is running");
        },
        std::chrono::seconds(15), std::chrono::milliseconds(100));
    if (process_.state() != QProcess::Running)
        return u"cupsd ended at once: "_qs + QString::fromLocal8Bit(process_.readAll())
               + errorLogTail();
    if (settled)
        return {};
    return u"cupsd did not answer within 15 seconds"_qs + errorLogTail();
}

void PrivateScheduler::freeze()
{
    if (process_.state() != QProcess::NotRunning)
        ::kill(pid_t(process_.processId()), SIGSTOP);
}

void PrivateScheduler::kill()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(process_.processId()), SIGKILL);
    process_.waitForFinished(5000);
}

void PrivateScheduler::stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(process_.processId()), SIGCONT); // a frozen one takes no SIGTERM
    ::kill(pid_t(process_.processId()), SIGTERM);
    if (!process_.waitForFinished(10000)) {
        ::kill(pid_t(process_.processId()), SIGKILL);
        process_.waitForFinished(5000);
    }
}

QProcessEnvironment PrivateScheduler::clientEnvironment() const
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

void PrivateScheduler::useInThisProcess() const
{
    qputenv("CUPS_SERVER", QFile::encodeName(socket()));
    qputenv("CUPS_SERVERROOT", QFile::encodeName(root_));
    qputenv("HOME", QFile::encodeName(root_));
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
}

QString PrivateScheduler::tool(const QString& program, const QStringList& arguments) const
{
    QProcess process;
    process.setProcessEnvironment(clientEnvironment());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(30000);
    const QString output = QString::fromLocal8Bit(process.readAll());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(u' ').toStdString() << ": "
                      << output.toStdString() << errorLogTail().toStdString();
    return output;
}

void PrivateScheduler::addFileQueue(const QString& name, bool makeDefault)
{
    tool(u"lpadmin"_qs,
         {u"-p"_qs, name, u"-v"_qs, u"file:"_qs + root_ + u"/out/"_qs + name, u"-E"_qs});
    if (makeDefault)
        tool(u"lpadmin"_qs, {u"-d"_qs, name});
}

QStringList PrivateScheduler::spooledDocuments() const
{
    const QStringList names = QDir(spool()).entryList({u"d*-001"_qs}, QDir::Files, QDir::Name);
    QStringList paths;
    for (const QString& name : names)
        paths << spool() + u'/' + name;
    return paths;
}

QStringList PrivateScheduler::pageLog() const
{
    QFile log(root_ + u"/log/page_log"_qs);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

bool PrivateScheduler::waitUntilIdle() const
{
    return eventually(
        [this] {
            QProcess lpstat;
            lpstat.setProcessEnvironment(clientEnvironment());
            lpstat.start(u"lpstat"_qs, {u"-o"_qs});
            lpstat.waitForFinished(10000);
            return lpstat.readAllStandardOutput().trimmed().isEmpty();
        },
        std::chrono::seconds(30), std::chrono::milliseconds(100));
}

QMap<int, QString> PrivateScheduler::jobPrinters() const
{
    QFile log(root_ + u"/log/error_log"_qs);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    // The scheduler logs the environment it runs each job's filters in, PRINTER included.
    static const QRegularExpression line(uR"re(\[Job (\d+)\] envp\[\d+\]="PRINTER=([^"]+)")re"_qs);
    QMap<int, QString> printers;
    QRegularExpressionMatchIterator it = line.globalMatch(QString::fromUtf8(log.readAll()));
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        printers.insert(match.captured(1).toInt(), match.captured(2));
    }
    return printers;
}

QString PrivateScheduler::errorLogTail() const
{
    QFile log(root_ + u"/log/error_log"_qs);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return u"\n"_qs + QString::fromLocal8Bit(log.readAll().right(2000));
}

} // namespace tarvel::testing
