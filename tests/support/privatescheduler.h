#pragma once
/// A CUPS scheduler of the test's own, in a temporary folder, with file queues.

#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <QProcess>

namespace tarvel::testing {

/// Started by start(), stopped when the object goes. Queues write to files under root();
/// jobs' documents are kept in spool() (d<job>-001) and every job printed is a line of the
/// page log. Clients reach it through clientEnvironment() (child processes) or
/// useInThisProcess() (this process, before its first CUPS call).
class PrivateScheduler {
public:
    PrivateScheduler();
    ~PrivateScheduler();
    PrivateScheduler(const PrivateScheduler&) = delete;
    PrivateScheduler& operator=(const PrivateScheduler&) = delete;

    /// Starts the scheduler; on failure returns why (empty when it runs).
    QString start();
    void stop();
    /// Freezes the scheduler (SIGSTOP): it keeps its socket and answers nothing.
    void freeze();
    /// Ends the scheduler at once (SIGKILL), as a crash would.
    void kill();

    const QString& root() const { return root_; }
    QString socket() const { return root_ + u"/cups.sock"_qs; }
    QString spool() const { return root_ + u"/spool"_qs; }

    /// The environment of a client of this scheduler only.
    QProcessEnvironment clientEnvironment() const;
    /// Points this process's CUPS calls at the scheduler.
    void useInThisProcess() const;

    /// Runs a CUPS command (lpadmin, lpstat, cupsreject, ...) against this scheduler; its
    /// output. Fails the test (non-fatally) when the command does.
    QString tool(const QString& program, const QStringList& arguments) const;
    /// Adds a queue that writes every job to a file; `makeDefault` makes it the default.
    void addFileQueue(const QString& name, bool makeDefault);

    /// The documents of the jobs spooled so far, oldest first.
    QStringList spooledDocuments() const;
    /// The page log's lines: one per job printed, "<queue> <user> <job id> ...".
    QStringList pageLog() const;
    /// The queue each job was printed on (a class's jobs on one of its members), by job id.
    QMap<int, QString> jobPrinters() const;
    /// Waits until no job is left pending or processing (up to 30 s).
    bool waitUntilIdle() const;

    QString errorLogTail() const;

private:
    QTemporaryDir dir_;
    QString root_;
    QProcess process_;
};

} // namespace tarvel::testing
