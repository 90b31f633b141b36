#include "ceremony/ceremonydestination.h"

#include "platform/failure.h"
#include "platform/usersettings.h"
#include "platform/words.h"

#include <QDir>
#include <QSettings>

namespace tarvel {

namespace {

const QString kKindKey = u"ceremonyList/destination"_qs;
const QString kWhereKey = u"ceremonyList/where"_qs;
const QString kOnKey = u"ceremonyList/on"_qs;
const QString kPrinterWord = u"printer"_qs;
const QString kPdfWord = u"pdf"_qs;

QSettings userSettings()
{
    return {QSettings::NativeFormat, QSettings::UserScope,
            QString::fromUtf16(kSettingsOrganization), QString::fromUtf16(kSettingsApplication)};
}

void synced(QSettings& settings)
{
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw Failure(Words::tr("keeping the award list's destination"), settings.fileName(),
                      Words::tr("the settings could not be written"));
}

} // namespace

CeremonyDestination loadCeremonyDestination()
{
    const QSettings settings = userSettings();
    const QString kind = settings.value(kKindKey).toString();
    const QString where = settings.value(kWhereKey).toString();
    if (where.isEmpty())
        return {};
    if (kind == kPrinterWord)
        return {CeremonyDestinationKind::Printer, where};
    if (kind == kPdfWord)
        return {CeremonyDestinationKind::PdfFolder, where};
    return {};
}

bool loadCeremonyListOn()
{
    return userSettings().value(kOnKey, false).toBool();
}

void saveCeremonyListOn(bool on)
{
    QSettings settings = userSettings();
    settings.setValue(kOnKey, on);
    synced(settings);
}

void saveCeremonyDestination(const CeremonyDestination& destination)
{
    QSettings settings = userSettings();
    if (!destination.isOn()) {
        settings.remove(kKindKey);
        settings.remove(kWhereKey);
    } else {
        settings.setValue(kKindKey, destination.kind == CeremonyDestinationKind::Printer
                                        ? kPrinterWord
                                        : kPdfWord);
        settings.setValue(kWhereKey, destination.where);
    }
    synced(settings);
}

QString describeCeremonyDestination(const CeremonyDestination& destination)
{
    if (!destination.isOn())
        return Words::tr("none");
    if (destination.kind == CeremonyDestinationKind::Printer)
        return Words::tr("printer: %1").arg(destination.where);
    return Words::tr("PDF: %1").arg(QDir::toNativeSeparators(destination.where));
}

} // namespace tarvel
