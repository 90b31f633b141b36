#include "meetdb/meetplaces.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace tarvel {

namespace {

const QString kSettingsKey = u"meets/recent"_qs;

/// The entry of `folder` named `name` whatever its case, or nothing.
std::optional<QString> entryIgnoringCase(const QDir& folder, const QString& name)
{
    const QStringList entries = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder.absoluteFilePath(entry);
    }
    return std::nullopt;
}

bool holdsLocationFile(const QString& folder)
{
    const std::optional<QString> file =
        entryIgnoringCase(QDir(folder), QString::fromUtf16(kLocationFileName));
    return file && QFileInfo(*file).isFile();
}

/// The user's settings of this program (~/.config/Tarvel/tarvel.conf on Linux).
const QString kOrganisation = u"Tarvel"_qs;
const QString kProgram = u"tarvel"_qs;

} // namespace

std::optional<QString> locationFolderOf(const QString& chosen)
{
    const QFileInfo info(chosen);
    if (info.isFile()) {
        if (info.fileName().compare(QString::fromUtf16(kLocationFileName), Qt::CaseInsensitive))
            return std::nullopt;
        return info.absolutePath();
    }
    if (!info.isDir())
        return std::nullopt;
    if (holdsLocationFile(info.absoluteFilePath()))
        return info.absoluteFilePath();
    if (const std::optional<QString> ctl = entryIgnoringCase(QDir(chosen), u"ctl"_qs);
        ctl && holdsLocationFile(*ctl))
        return *ctl;
    return std::nullopt;
}

QStringList RememberedMeets::list()
{
    QStringList meets;
    const QSettings settings(QSettings::UserScope, kOrganisation, kProgram);
    for (const QString& folder : settings.value(kSettingsKey).toStringList()) {
        if (holdsLocationFile(folder))
            meets << folder;
    }
    return meets;
}

void RememberedMeets::remember(const QString& locationFolder)
{
    QSettings settings(QSettings::UserScope, kOrganisation, kProgram);
    QStringList meets = settings.value(kSettingsKey).toStringList();
    const QString folder = QDir(locationFolder).absolutePath();
    meets.removeAll(folder);
    meets.prepend(folder);
    settings.setValue(kSettingsKey, meets.mid(0, kKept));
}

} // namespace tarvel
