#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QtGlobal>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace tarvel {

#ifdef Q_OS_WIN

QString hostPath(const QString& path)
{
    return path;
}

std::optional<QString> missingDriveLink(const QString&)
{
    return std::nullopt;
}

#else

namespace {

bool exists(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

bool isDriveLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool hasDriveLetter(const QString& path)
{
    return path.size() >= 2 && isDriveLetter(path[0]) && path[1] == u':'
           && (path.size() == 2 || path[2] == u'/');
}

/// "/a/./b/../c" as "/a/c"; ".." at the root stays at the root.
QString cleanBelowRoot(QStringView rest)
{
    QStringList kept;
    for (QStringView part : rest.split(u'/')) {
        if (part.isEmpty() || part == u".")
            continue;
        if (part == u"..") {
            if (!kept.isEmpty())
                kept.removeLast();
            continue;
        }
        kept.append(part.toString());
    }
    QString cleaned = u'/' + kept.join(u'/');
    if (rest.endsWith(u'/') && !kept.isEmpty())
        cleaned += u'/';
    return cleaned;
}

/// Wine's link for the drive of a path that begins with a drive letter.
QString driveLink(const QString& path)
{
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        prefix = QDir::homePath() + u"/.wine"_qs;
    return prefix + u"/dosdevices/"_qs + path[0].toLower() + u':';
}

/// "C:/meet/data" through Wine's link $WINEPREFIX/dosdevices/c:, when that link exists.
/// Windows takes ".." by the letters of the path, never above the drive's root.
QString resolveDrive(const QString& path)
{
    const QString drive = driveLink(path);
    if (!exists(drive))
        return path;
    return drive + cleanBelowRoot(path.mid(2));
}

/// The entry of `folder` whose name equals `name` but for case, or an empty text.
QString findIgnoringCase(const QString& folder, const QString& name)
{
    const QDir dir(folder.isEmpty() ? u"."_qs : folder);
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

/// Walks `path` from its start and replaces every name not found exactly by the one that
/// matches it but for case; from the first name found neither way, the rest stays.
QString resolveCase(const QString& path)
{
    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/');
    QString resolved = absolute ? u"/"_qs : QString();
    bool searching = true;
    for (qsizetype i = absolute ? 1 : 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString name = part;
        if (searching && !part.isEmpty() && part != u"."_qs && part != u".."_qs) {
            const QString exact = resolved + part;
            if (!exists(exact)) {
                const QString found = findIgnoringCase(resolved, part);
                if (found.isEmpty())
                    searching = false;
                else
                    name = found;
            }
        }
        resolved += name;
        if (i + 1 < parts.size())
            resolved += u'/';
    }
    return resolved;
}

} // namespace

QString hostPath(const QString& path)
{
    if (path.isEmpty())
        return path;
    QString posix = path;
    posix.replace(u'\\', u'/');
    // Windows takes "." and ".." by the letters of the path, whether the folders exist or not.
    if (hasDriveLetter(posix))
        posix = resolveDrive(posix);
    else
        posix = QDir::cleanPath(posix);
    if (exists(posix))
        return posix;
    return resolveCase(posix);
}

std::optional<QString> missingDriveLink(const QString& path)
{
    QString posix = path;
    posix.replace(u'\\', u'/');
    if (!hasDriveLetter(posix) || exists(driveLink(posix)))
        return std::nullopt;
    return driveLink(posix);
}

#endif

} // namespace tarvel
