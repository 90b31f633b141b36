#include "platform/qt/printsystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tarvel {

namespace {

/// Whether the client.conf at `path` names a server ("ServerName host", any case).
bool namesServer(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    while (!file.atEnd()) {
        const QList<QByteArray> words = file.readLine(4096).simplified().split(' ');
        if (words.size() >= 2 && words[0].compare("ServerName", Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

PrintSystemFacts PrintSystemFacts::ofThisMachine()
{
    PrintSystemFacts facts;
    facts.serverInEnvironment = !qEnvironmentVariableIsEmpty("CUPS_SERVER");
    const QString serverRoot = qEnvironmentVariableIsEmpty("CUPS_SERVERROOT")
                                   ? u"/etc/cups"_qs
                                   : qEnvironmentVariable("CUPS_SERVERROOT");
    facts.serverConfigured = namesServer(serverRoot + u"/client.conf"_qs)
                             || namesServer(QDir::homePath() + u"/.cups/client.conf"_qs);
    for (const QString& socket : {u"/run/cups/cups.sock"_qs, u"/var/run/cups/cups.sock"_qs})
        facts.localSocket = facts.localSocket || QFileInfo::exists(socket);
    const QStringList systemFolders = {u"/usr/sbin"_qs, u"/sbin"_qs, u"/usr/local/sbin"_qs};
    facts.installed = !QStandardPaths::findExecutable(u"lpstat"_qs).isEmpty()
                      || !QStandardPaths::findExecutable(u"cupsd"_qs).isEmpty()
                      || !QStandardPaths::findExecutable(u"cupsd"_qs, systemFolders).isEmpty();
    return facts;
}

bool hasPrintSystem(const PrintSystemFacts& facts)
{
    return facts.serverInEnvironment || facts.serverConfigured || facts.localSocket
           || facts.installed;
}

} // namespace tarvel
