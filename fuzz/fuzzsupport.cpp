#include "fuzzsupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace tarvel::fuzz {

void check(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

const QString& scratchFolder()
{
    static const QTemporaryDir dir;
    static const QString path = dir.path();
    check(dir.isValid(), "a scratch folder can be made");
    return path;
}

DataLocations scratchLocations()
{
    DataLocations where;
    where.dataDir = scratchFolder() + u'/';
    where.masterDir = where.dataDir;
    where.masterFileName = u"master.dat"_qs;
    return where;
}

QString writeScratchFile(const QString& name, QByteArrayView bytes)
{
    const QString path = scratchFolder() + u'/' + name;
    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                         && file.write(bytes.data(), bytes.size()) == bytes.size();
    check(written, "a scratch file can be written");
    return path;
}

QByteArray readScratchFile(const QString& name)
{
    QFile file(scratchFolder() + u'/' + name);
    check(file.open(QIODevice::ReadOnly), "a scratch file can be read");
    return file.readAll();
}

QList<QByteArrayView> splitParts(QByteArrayView input, int count)
{
    const QByteArrayView separator(kPartSeparator);
    QList<QByteArrayView> parts;
    while (parts.size() + 1 < count) {
        const qsizetype at = input.indexOf(separator);
        if (at < 0)
            break;
        parts.append(input.first(at));
        input = input.sliced(at + separator.size());
    }
    parts.append(input);
    while (parts.size() < count)
        parts.append(QByteArrayView());
    return parts;
}

QByteArray withoutLeadBytes(QByteArrayView bytes)
{
    QByteArray out = bytes.toByteArray();
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))
            c = char(b ^ 0x40);
    }
    return out;
}

QString asStored(QString text)
{
    return text.replace(QChar(u'\uFFFD'), QChar(u'?'));
}

} // namespace tarvel::fuzz
