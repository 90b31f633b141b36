#include "tempmeet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace tarvel::testing {

TempMeet::TempMeet() : builder_(dir_.path())
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempMeet::dataPath(const QString& name) const
{
    return builder_.dataDirPath() + u'/' + name;
}

QByteArray readFileBytes(const QString& posixPath)
{
    QFile file(posixPath);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + posixPath.toStdString());
    return file.readAll();
}

void writeFileBytes(const QString& posixPath, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(posixPath).absolutePath());
    QFile file(posixPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + posixPath.toStdString());
}

} // namespace tarvel::testing
