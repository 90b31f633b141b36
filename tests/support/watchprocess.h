#pragma once
/// tarvel-batch --watch as a child process of a test, its stderr read as it comes.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace tarvel::testing {

/// Started in the constructor, told in English; killed by the destructor if still running.
class WatchProcess {
public:
    /// Whether --watch is given (a command that keeps going without it: --serve).
    enum class Watching { Yes, No };

    /// `arguments` before --watch, `more` after it (an interval, say).
    explicit WatchProcess(
        const QStringList& arguments, const QStringList& more = {},
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment(),
        Watching watching = Watching::Yes);
    ~WatchProcess();
    WatchProcess(const WatchProcess&) = delete;
    WatchProcess& operator=(const WatchProcess&) = delete;

    /// Waits until stderr holds `text` `times` times, up to `milliseconds`.
    bool says(const QString& text, int times = 1, int milliseconds = 30000);
    /// Sends `signal` and returns at once.
    void send(int signal);
    /// Waits for the end: the exit code, -1 when it did not end normally within a minute.
    int waitForExit();
    /// Sends `signal` and waits for the end (see waitForExit()).
    int stop(int signal);

    /// What stderr said so far.
    const QString& err() const { return err_; }

private:
    QProcess process_;
    QString err_;
};

} // namespace tarvel::testing
