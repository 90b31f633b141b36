#include "watchprocess.h"

#include "batchprocess.h"

#include <QDeadlineTimer>

#include <csignal>

namespace tarvel::testing {

WatchProcess::WatchProcess(const QStringList& arguments, const QStringList& more,
                           QProcessEnvironment environment, Watching watching)
{
    environment.insert(u"LC_ALL"_qs, u"C.UTF-8"_qs); // the account in English
    process_.setProcessEnvironment(environment);
    const QStringList watch =
        watching == Watching::Yes ? QStringList{u"--watch"_qs} : QStringList();
    process_.start(batchProgram(), arguments + watch + more);
}

WatchProcess::~WatchProcess()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished();
    }
}

bool WatchProcess::says(const QString& text, int times, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (err_.count(text) < times && !deadline.hasExpired()) {
        process_.waitForReadyRead(20);
        err_ += QString::fromUtf8(process_.readAllStandardError());
    }
    return err_.count(text) >= times;
}

void WatchProcess::send(int signal)
{
    ::kill(pid_t(process_.processId()), signal);
}

int WatchProcess::waitForExit()
{
    if (!process_.waitForFinished(60000) || process_.exitStatus() != QProcess::NormalExit)
        return -1;
    err_ += QString::fromUtf8(process_.readAllStandardError());
    return process_.exitCode();
}

int WatchProcess::stop(int signal)
{
    send(signal);
    return waitForExit();
}

} // namespace tarvel::testing
