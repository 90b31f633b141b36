#include "layout/layoutini.h"

#include "platform/failure.h"
#include "platform/pageunits.h"
#include "platform/paths.h"
#include "platform/words.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace tarvel {

namespace {

using namespace Qt::StringLiterals;

const QString kBackdropGroup = u"backdrop"_s;
/// A hundred inches: any larger width is a typing error, read as no limit.
constexpr int kWidthLimit = 100 * kTwipsPerInch;

QString iniPath(const DataLocations& where)
{
    return hostPath(where.dataFile(QString::fromUtf16(kLayoutIniName)));
}

QString itemGroup(int item)
{
    return u"item"_s + QString::number(item);
}

void syncOrThrow(QSettings& settings)
{
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw Failure(Words::tr("saving the layout's widths and backdrop"), settings.fileName(),
                      Words::tr("the file could not be written"));
}

QString dataFolder(const DataLocations& where)
{
    return QDir::cleanPath(QDir(hostPath(where.dataDir)).absolutePath());
}

} // namespace

Backdrop loadLayoutIni(const DataLocations& where, Layout& layout)
{
    QSettings settings(iniPath(where), QSettings::IniFormat);
    const bool readable = settings.status() == QSettings::NoError;
    for (int i = 0; i < kItemCount; ++i) {
        bool ok = false;
        const int width = settings.value(itemGroup(i) + u"/maxWidth"_s).toInt(&ok);
        layout.items[i].maxWidth = readable && ok && width > 0 && width <= kWidthLimit ? width : 0;
    }
    Backdrop backdrop;
    if (!readable)
        return backdrop;
    backdrop.image = settings.value(kBackdropGroup + u"/image"_s).toString();
    bool ok = false;
    const double opacity = settings.value(kBackdropGroup + u"/opacity"_s).toDouble(&ok);
    if (ok && opacity >= 0.0 && opacity <= 1.0)
        backdrop.opacity = opacity;
    return backdrop;
}

void saveItemWidths(const DataLocations& where, const Layout& layout)
{
    const QString path = iniPath(where);
    const bool anyWidth = std::any_of(layout.items.begin(), layout.items.end(),
                                      [](const ItemLayout& item) { return item.maxWidth > 0; });
    if (!anyWidth && !QFileInfo::exists(path))
        return;
    QSettings settings(path, QSettings::IniFormat);
    for (int i = 0; i < kItemCount; ++i) {
        if (layout.items[i].maxWidth > 0)
            settings.setValue(itemGroup(i) + u"/maxWidth"_s, layout.items[i].maxWidth);
        else
            settings.remove(itemGroup(i));
    }
    syncOrThrow(settings);
}

void saveBackdrop(const DataLocations& where, const Backdrop& backdrop)
{
    QSettings settings(iniPath(where), QSettings::IniFormat);
    if (backdrop.image.isEmpty()) {
        settings.remove(kBackdropGroup);
    } else {
        settings.setValue(kBackdropGroup + u"/image"_s, backdrop.image);
        settings.setValue(kBackdropGroup + u"/opacity"_s, backdrop.opacity);
    }
    syncOrThrow(settings);
}

Backdrop backdropFor(const DataLocations& where, const QString& hostImagePath, double opacity)
{
    const QString image = QDir::cleanPath(QFileInfo(hostImagePath).absoluteFilePath());
    const QString relative = QDir(dataFolder(where)).relativeFilePath(image);
    const bool inside = !relative.startsWith(u"../"_s) && QDir::isRelativePath(relative);
    return {inside ? relative : image, opacity};
}

QString backdropImagePath(const DataLocations& where, const Backdrop& backdrop)
{
    if (backdrop.image.isEmpty() || QDir::isAbsolutePath(backdrop.image))
        return backdrop.image;
    return QDir(dataFolder(where)).filePath(backdrop.image);
}

} // namespace tarvel
