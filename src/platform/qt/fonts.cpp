#include "platform/qt/fonts.h"

#include <QFont>
#include <QFontDatabase>

#include <algorithm>

namespace tarvel {

namespace {

/// Japanese faces present, the familiar ones first so the fallback stays predictable.
QStringList japaneseFaces()
{
    static const QStringList kPreferred = {u"IPAPGothic"_qs, u"IPAPMincho"_qs, u"IPAGothic"_qs,
                                           u"IPAMincho"_qs};
    const QStringList present = QFontDatabase::families(QFontDatabase::Japanese);
    QStringList faces;
    for (const QString& face : kPreferred) {
        if (present.contains(face))
            faces.append(face);
    }
    for (const QString& face : present) {
        if (!faces.contains(face) && !QFontDatabase::isPrivateFamily(face))
            faces.append(face);
    }
    return faces;
}

/// `wanted` faces that are installed, then the other Japanese faces.
QStringList standIns(const QStringList& wanted)
{
    QStringList faces;
    for (const QString& face : wanted) {
        if (QFontDatabase::hasFamily(face))
            faces.append(face);
    }
    for (const QString& face : japaneseFaces()) {
        if (!faces.contains(face))
            faces.append(face);
    }
    return faces;
}

} // namespace

void registerFontSubstitutions()
{
    QFont::insertSubstitutions(QString::fromUtf16(kWindowFace), standIns({u"IPAPGothic"_qs}));
    QFont::insertSubstitutions(QString::fromUtf16(kCertificateFace),
                               standIns({u"AoyagiKouzanFontT"_qs, u"IPAPMincho"_qs}));
}

QStringList fallbackFaces(const QString& face)
{
    // Qt keeps substitutions in lower case; give them back as the font database spells them.
    const QStringList installed = QFontDatabase::families();
    QStringList faces;
    for (const QString& substitute : QFont::substitutes(face)) {
        const auto spelled =
            std::find_if(installed.begin(), installed.end(), [&](const QString& f) {
                return f.compare(substitute, Qt::CaseInsensitive) == 0;
            });
        faces.append(spelled != installed.end() ? *spelled : substitute);
    }
    for (const QString& other : japaneseFaces()) {
        if (!faces.contains(other))
            faces.append(other);
    }
    faces.removeIf([&face](const QString& f) { return f.compare(face, Qt::CaseInsensitive) == 0; });
    return faces;
}

QString usableFace(const QString& face)
{
    if (face.trimmed().isEmpty())
        return QString::fromUtf16(kCertificateFace);
    if (QFontDatabase::hasFamily(face) || !QFont::substitutes(face).isEmpty())
        return face;
    return QString::fromUtf16(kCertificateFace);
}

} // namespace tarvel
