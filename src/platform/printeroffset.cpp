#include "platform/printeroffset.h"

#include "platform/failure.h"
#include "platform/usersettings.h"
#include "platform/words.h"

#include <QSettings>

namespace tarvel {

namespace {

using namespace Qt::StringLiterals;

/// The window and tarvel-batch share the settings, whatever each calls itself.
const QString kOrganization = QString::fromUtf16(kSettingsOrganization);
const QString kApplication = QString::fromUtf16(kSettingsApplication);

/// Destination names hold no "/" (the scheduler refuses it), so each is one settings group.
QString groupOf(const QString& printer)
{
    return u"calibration/"_s + printer;
}

} // namespace

PageOffset loadPrinterOffset(const QString& printer)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication);
    settings.beginGroup(groupOf(printer));
    return {settings.value(u"x"_s, 0).toInt(), settings.value(u"y"_s, 0).toInt()};
}

void savePrinterOffset(const QString& printer, PageOffset offset)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication);
    if (offset == PageOffset{}) {
        settings.remove(groupOf(printer));
    } else {
        settings.beginGroup(groupOf(printer));
        settings.setValue(u"x"_s, offset.x);
        settings.setValue(u"y"_s, offset.y);
        settings.endGroup();
    }
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw Failure(Words::tr("keeping the printer's calibration"), settings.fileName(),
                      Words::tr("the settings could not be written"));
}

} // namespace tarvel
