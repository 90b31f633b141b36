// The window speaks Japanese: its captions, what it tells after a run or a failure, its
// progress dialog and Qt's own dialogs, with the translations the program installs.

#include "platform/qt/translations.h"
#include "ui/printprogress.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>

using namespace tarvel;
using namespace tarvel::testing;

namespace {

/// The English words of a text shown to the operator, leaving out paths and file names,
/// the system's own reason for a failure (its words are the system's), the program's name,
/// the unit and the key the layout is placed with, and the test printer's name.
QStringList englishWords(const QString& text)
{
    static const QRegularExpression separators(u"[\\s、。：:（）()「」]+"_s);
    static const QRegularExpression word(u"[A-Za-z]{3,}"_s);
    static const QRegularExpression systemReason(u"^理由: .*$"_s,
                                                 QRegularExpression::MultilineOption);
    QStringList words;
    for (const QString& token :
         QString(text).remove(systemReason).split(separators, Qt::SkipEmptyParts)) {
        if (token.contains(u'/') || token.contains(u'\\') || token.contains(u'.'))
            continue;
        for (auto it = word.globalMatch(token); it.hasNext();) {
            const QString found = it.next().captured();
            static const QStringList kept = {u"Tarvel"_s, u"PDF"_s,   u"Ver"_s,
                                             u"twips"_s,  u"Shift"_s, u"recorder"_s};
            if (!kept.contains(found))
                words << found;
        }
    }
    return words;
}

} // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(installTranslations(*qApp, QLocale(QLocale::Japanese, QLocale::Japan)));
    }
    void windowCaptionsMessagesAndDialogsAreJapanese();
};

void LanguageTest::windowCaptionsMessagesAndDialogsAreJapanese()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    opened->click(u"cmdGamen"_s);
    QStringList shown;
    for (const QLabel* label : opened->window->findChildren<QLabel*>())
        shown << label->text();
    for (const QAbstractButton* button : opened->window->findChildren<QAbstractButton*>())
        shown << button->text();
    for (const QGroupBox* frame : opened->window->findChildren<QGroupBox*>())
        shown << frame->title();
    QCOMPARE(englishWords(shown.join(u' ')).join(u' '), QString());

    // After a run, and after a failure.
    MessageBoxCloser closer;
    opened->click(u"cmdInsatu"_s);
    const QString layoutFile = meet->dataPath(u"tarvel.dat"_s);
    QVERIFY(QFile::remove(layoutFile) && QDir().mkdir(layoutFile));
    opened->click(u"cmdTest"_s);
    QCOMPARE(closer.texts.size(), 2);
    for (const QString& text : closer.texts)
        QVERIFY2(englishWords(text).isEmpty(), qPrintable(text));
    QVERIFY2(closer.texts[1].contains(u"失敗しました"_s), qPrintable(closer.texts[1]));

    // The progress dialog, and Qt's own font dialog.
    ui::PrintProgress progress(opened->window.get());
    progress.runStarted(3);
    progress.raceReached(3);
    QVERIFY2(englishWords(progress.labelText()).isEmpty(), qPrintable(progress.labelText()));
    QFontDialog fonts;
    QVERIFY2(englishWords(fonts.windowTitle()).isEmpty(), qPrintable(fonts.windowTitle()));
}

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
