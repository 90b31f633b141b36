#include "printrun/runlock.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/recordfile.h"
#include "platform/words.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QSysInfo>

namespace tarvel {

namespace {

QHash<QString, QString> noteFields(const QByteArray& note)
{
    QHash<QString, QString> fields;
    for (const QByteArray& line : note.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            fields.insert(QString::fromUtf8(line.left(equals)),
                          QString::fromUtf8(line.mid(equals + 1)).trimmed());
    }
    return fields;
}

} // namespace

QByteArray holderNote(const QString& program, qint64 pid, const QString& host,
                      const QDateTime& since)
{
    return "program=" + program.toUtf8() + "\npid=" + QByteArray::number(pid)
           + "\nhost=" + host.toUtf8() + "\nsince=" + since.toString(Qt::ISODate).toUtf8() + '\n';
}

QString describeHolder(const QByteArray& note)
{
    const QHash<QString, QString> fields = noteFields(note);
    const QString program = fields.value(u"program"_qs);
    if (program.isEmpty())
        return Words::tr("another print run");
    QString words = program;
    const QString pid = fields.value(u"pid"_qs);
    const QString host = fields.value(u"host"_qs);
    if (!pid.isEmpty() && !host.isEmpty())
        words = Words::tr("%1 (process %2 on %3)").arg(words, pid, host);
    const QDateTime since = QDateTime::fromString(fields.value(u"since"_qs), Qt::ISODate);
    if (since.isValid())
        words = Words::tr("%1 since %2").arg(words, since.toString(u"yyyy-MM-dd HH:mm:ss"_qs));
    return words;
}

RunLock RunLock::acquire(const DataLocations& where)
{
    const QString path = hostPath(where.dataFile(QString::fromUtf16(kRunLockFileName)));
    std::optional<FileLock> lock = FileLock::tryAcquire(path, Words::tr("starting a print run"));
    if (!lock) {
        // The holder wrote its note right after taking the lock; an empty note only means
        // it is a moment old.
        QByteArray note;
        try {
            note = readWholeFile(path, Words::tr("starting a print run"));
        } catch (const Failure&) {
        }
        throw Failure(Words::tr("starting a print run"), path,
                      Words::tr("the meet is being printed by %1").arg(describeHolder(note)),
                      Failure::Kind::Busy);
    }
    const QString program = QCoreApplication::applicationName().isEmpty()
                                ? u"tarvel"_qs
                                : QCoreApplication::applicationName();
    lock->writeNote(holderNote(program, QCoreApplication::applicationPid(),
                               QSysInfo::machineHostName(), QDateTime::currentDateTime()));
    return RunLock(std::move(*lock));
}

} // namespace tarvel
