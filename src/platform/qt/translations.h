#pragma once
/// Installing the operator's language: Tarvel's own translations and Qt's.

#include <QLocale>

class QCoreApplication;

namespace tarvel {

/// Installs, for a Japanese `locale`, Tarvel's Japanese texts (compiled into the program)
/// and Qt's own (its dialogs, the command-line parser) from the system's Qt translations;
/// for any other locale nothing, so that the English texts stand. The translators belong to
/// `app`. Returns whether Tarvel's translation was installed.
bool installTranslations(QCoreApplication& app, const QLocale& locale);

} // namespace tarvel
