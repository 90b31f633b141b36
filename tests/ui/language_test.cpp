// The window speaks Japanese: its captions, what it tells after a run or a failure, its
// progress dialog and Qt's own dialogs, with the translations and the locale the program
// installs, on a machine where no language is set.

#include "platform/qt/translations.h"
#include "ui/printprogress.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>

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
    void fileDialogGivesSizesAndDatesInJapanese();
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
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QTRY_COMPARE(closer.texts.size(), 1);
    const QString layoutFile = meet->dataPath(u"tarvel.dat"_s);
    QVERIFY(QFile::remove(layoutFile) && QDir().mkdir(layoutFile));
    opened->click(u"cmdTest"_s); // saving the layout fails before any run
    QTRY_COMPARE(closer.texts.size(), 2);
    for (const QString& text : closer.texts)
        QVERIFY2(englishWords(text).isEmpty(), qPrintable(text));
    QVERIFY2(closer.texts[1].contains(u"失敗しました"_s), qPrintable(closer.texts[1]));

    // The progress dialog, and Qt's own font dialog.
    ui::PrintProgress progress(opened->window.get());
    progress.showProgress(RunProgress{3, 3, QString(), 0});
    const QString label = progress.findChild<QLabel*>()->text();
    QVERIFY2(englishWords(label).isEmpty(), qPrintable(label));
    QFontDialog fonts;
    QVERIFY2(englishWords(fonts.windowTitle()).isEmpty(), qPrintable(fonts.windowTitle()));
}

void LanguageTest::fileDialogGivesSizesAndDatesInJapanese()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"blank.png"_s);
    writeFileBytes(file, QByteArray(500, 'x'));
    QFileDialog dialog(nullptr, u"Tarvel"_s, folder.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    auto* model = dialog.findChild<QFileSystemModel*>();
    QVERIFY(model);
    const auto column = [&](int column) {
        return model->index(file).siblingAtColumn(column).data().toString();
    };
    QTRY_VERIFY_WITH_TIMEOUT(!column(1).isEmpty() && !column(3).isEmpty(), 10000);

    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const QDateTime modified = QFileInfo(file).lastModified();
    // The two languages differ here, so that the comparisons below can tell them apart.
    QVERIFY(japanese.formattedDataSize(500) != QLocale::c().formattedDataSize(500));
    QCOMPARE(column(1), japanese.formattedDataSize(500));
    QCOMPARE(column(3), japanese.toString(modified, QLocale::ShortFormat));
    QStringList shown;
    for (int section = 0; section < model->columnCount(); ++section)
        shown << model->headerData(section, Qt::Horizontal).toString();
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        shown << label->text();
    QCOMPARE(englishWords(shown.join(u' ')).join(u' '), QString());
}

int main(int argc, char** argv)
{
    // A machine where no language is set; the program makes it Japanese before Qt starts.
    for (const char* variable : {"LANG", "LC_ALL", "LC_MESSAGES", "LC_TIME", "LANGUAGE"})
        qunsetenv(variable);
    makeJapaneseTheSystemLocale();
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    LanguageTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "language_test.moc"
