#include "web/pagewords.h"

#include <QTranslator>

namespace tarvel::web {

namespace {

const QTranslator& japanese()
{
    // Loaded once and only read afterwards; Qt itself reads a translator from every thread
    // at once (QCoreApplication::translate), so concurrent reads are safe.
    static const QTranslator* const translator = [] {
        auto* loaded = new QTranslator;
        if (!loaded->load(QStringLiteral(":/i18n/tarvel_ja.qm")))
            qWarning("The venue page's Japanese texts are missing; it speaks English.");
        return loaded;
    }();
    return *translator;
}

} // namespace

QString pageWord(const char* source, int n)
{
    QString text = japanese().translate("tarvel", source, nullptr, n);
    if (text.isEmpty())
        text = QString::fromUtf8(source);
    if (n >= 0)
        text.replace(QStringLiteral("%n"), QString::number(n));
    return text;
}

QString inJapanese(const QString& text)
{
    const QString translated = japanese().translate("tarvel", text.toUtf8().constData());
    return translated.isEmpty() ? text : translated;
}

} // namespace tarvel::web
