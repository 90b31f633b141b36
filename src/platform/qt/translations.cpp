#include "platform/qt/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tarvel {

bool installTranslations(QCoreApplication& app, const QLocale& locale)
{
    if (locale.language() != QLocale::Japanese)
        return false;
    QLocale::setDefault(locale);
    // Qt's own first: Tarvel's, installed last, is asked first.
    auto* qt = new QTranslator(&app);
    if (qt->load(locale, u"qtbase"_qs, u"_"_qs, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    auto* own = new QTranslator(&app);
    if (!own->load(locale, u"tarvel"_qs, u"_"_qs, u":/i18n"_qs))
        return false;
    return QCoreApplication::installTranslator(own);
}

void makeJapaneseTheSystemLocale()
{
    // LC_ALL outranks every LC_* and LANG; LANGUAGE, when it names another language, would
    // still win over both in Qt's reading of the system's locale.
    qputenv("LC_ALL", "ja_JP.UTF-8");
    qputenv("LANGUAGE", "ja");
}

} // namespace tarvel
