#pragma once
/// Installing the operator's language: Tarvel's own translations and Qt's.

#include <QLocale>

class QCoreApplication;

namespace tarvel {

/// Installs, for a Japanese `locale`, Tarvel's Japanese texts (compiled into the program)
/// and Qt's own (its dialogs, the command-line parser) from the system's Qt translations,
/// and makes `locale` the default for numbers and dates; for any other locale nothing, so
/// that the English texts stand. The translators belong to `app`. Returns whether Tarvel's
/// translation was installed.
bool installTranslations(QCoreApplication& app, const QLocale& locale);

/// Makes Japanese this process's system locale, whatever LANG, LC_ALL or LANGUAGE say (or
/// when none is set), so that what Qt formats by the system's locale and not by the default
/// one (the file dialog's sizes and dates) is Japanese as the rest of the window. Sets the
/// environment, which Qt reads once: call it before the application object is made, on the
/// main thread. Child processes inherit it.
void makeJapaneseTheSystemLocale();

} // namespace tarvel
