// The operator's language: every text of the sources has a Japanese translation, each keeps
// the source's placeholders, and the programs speak it.

#include "batchprocess.h"
#include "platform/qt/translations.h"
#include "platform/words.h"
#include "samplemeet.h"
#include "tempmeet.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

struct Message {
    QString context;
    QString source;
    QString translation;
    bool finished = false;
};

QList<Message> readTs(const QString& file)
{
    QList<Message> messages;
    QFile ts(file);
    if (!ts.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&ts);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"name")
            context = xml.readElementText();
        else if (xml.name() == u"message")
            message = Message{context, {}, {}, false};
        else if (xml.name() == u"source")
            message.source = xml.readElementText();
        else if (xml.name() == u"translation") {
            const QString type = xml.attributes().value(u"type"_qs).toString();
            message.finished = type.isEmpty();
            message.translation = xml.readElementText();
            messages << message;
        }
    }
    return messages;
}

QSet<QString> placeholders(const QString& text)
{
    static const QRegularExpression arg(u"%(\\d+)"_qs);
    QSet<QString> found;
    for (QRegularExpressionMatchIterator it = arg.globalMatch(text); it.hasNext();)
        found << it.next().captured(0);
    return found;
}

TEST(TranslationsTest, EveryTextOfTheSourcesHasAJapaneseTranslationWithItsPlaceholders)
{
    // The sources gathered afresh into a copy of the translation file, as the build's
    // update_translations does: a text written since, or one whose words changed, comes out
    // unfinished.
    QTemporaryDir scratch;
    const QString ts = scratch.path() + u"/tarvel_ja.ts"_qs;
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(TARVEL_SOURCE_DIR "/translations/tarvel_ja.ts"), ts));
    QStringList sources;
    QDirIterator files(QString::fromUtf8(TARVEL_SOURCE_DIR "/src"), {u"*.cpp"_qs, u"*.h"_qs},
                       QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        sources << files.next();
    QProcess lupdate;
    lupdate.start(QString::fromUtf8(LUPDATE_PROGRAM),
                  QStringList{u"-locations"_qs, u"none"_qs, u"-no-obsolete"_qs, u"-I"_qs,
                              QString::fromUtf8(TARVEL_SOURCE_DIR "/src")}
                      + sources + QStringList{u"-ts"_qs, ts});
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

    const QList<Message> messages = readTs(ts);
    EXPECT_GT(messages.size(), 100);
    for (const Message& message : messages) {
        SCOPED_TRACE(qPrintable(message.context + u": "_qs + message.source));
        EXPECT_TRUE(message.finished) << "no Japanese for it in translations/tarvel_ja.ts";
        EXPECT_FALSE(message.translation.isEmpty());
        EXPECT_EQ(placeholders(message.translation), placeholders(message.source));
    }
}

TEST(TranslationsTest, JapaneseIsCompiledInAndOtherLocalesKeepTheEnglish)
{
    EXPECT_FALSE(installTranslations(*QCoreApplication::instance(), QLocale(QLocale::English)));
    EXPECT_EQ(Words::tr("file not found"), u"file not found"_qs);
    ASSERT_TRUE(installTranslations(*QCoreApplication::instance(), QLocale(QLocale::Japanese)));
    EXPECT_EQ(Words::tr("file not found"), u"ファイルがありません"_qs);
    // Qt's own texts, for its dialogs and the command-line parser.
    EXPECT_NE(QCoreApplication::translate("QFontDialog", "Select Font"), u"Select Font"_qs);
}

TEST(TranslationsTest, TarvelBatchSpeaksTheLocalesLanguageAndTakesTheWindowsWords)
{
    TempMeet meet;
    sample::writeSampleMeet(meet.builder());
    const QStringList japanese{u"-C"_qs,
                               meet.builder().workDir(),
                               u"--preview-only"_qs,
                               u"--condition"_qs,
                               u"随時"_qs,
                               u"--round"_qs,
                               u"全部"_qs,
                               u"--stroke"_qs,
                               u"背泳"_qs,
                               u"--sex"_qs,
                               u"女子"_qs};
    const QStringList english{u"-C"_qs,
                              meet.builder().workDir(),
                              u"--preview-only"_qs,
                              u"--condition"_qs,
                              u"anytime"_qs,
                              u"--round"_qs,
                              u"all"_qs,
                              u"--stroke"_qs,
                              u"back"_qs,
                              u"--sex"_qs,
                              u"women"_qs};
    QProcessEnvironment inJapanese = QProcessEnvironment::systemEnvironment();
    inJapanese.insert(u"LANG"_qs, u"ja_JP.UTF-8"_qs);
    inJapanese.remove(u"LC_ALL"_qs);
    inJapanese.remove(u"LANGUAGE"_qs);
    QProcessEnvironment inEnglish = inJapanese;
    inEnglish.insert(u"LANG"_qs, u"C.UTF-8"_qs);

    const BatchOutcome ja = runBatch(japanese, inJapanese);
    const BatchOutcome en = runBatch(english, inEnglish);
    ASSERT_EQ(ja.exitCode, 0) << qPrintable(ja.err);
    ASSERT_EQ(en.exitCode, 0) << qPrintable(en.err);
    EXPECT_TRUE(ja.err.contains(u"種目をプレビュー"_qs)) << qPrintable(ja.err);
    EXPECT_TRUE(en.err.contains(u"event(s) previewed"_qs)) << qPrintable(en.err);
    // The same choices, in either language's words.
    static const QRegularExpression counts(u"\\d+"_qs);
    QStringList jaCounts, enCounts;
    for (auto it = counts.globalMatch(ja.err.section(u'\n', 0, 0)); it.hasNext();)
        jaCounts << it.next().captured();
    for (auto it = counts.globalMatch(en.err.section(u'\n', 0, 0)); it.hasNext();)
        enCounts << it.next().captured();
    EXPECT_EQ(jaCounts, enCounts);
    // No English sentence reaches a Japanese operator (the program's name aside).
    static const QRegularExpression word(u"\\b[a-z]{4,}\\b"_qs);
    EXPECT_FALSE(QString(ja.err).remove(u"tarvel-batch: "_qs).contains(word)) << qPrintable(ja.err);
}

TEST(TranslationsTest, TheWindowsHelpIsJapaneseWhateverTheLocale)
{
    QProcess window;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LANG"_qs, u"C.UTF-8"_qs);
    environment.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    window.setProcessEnvironment(environment);
    window.start(QFileInfo(batchProgram()).absolutePath() + u"/tarvel"_qs, {u"--help"_qs});
    ASSERT_TRUE(window.waitForFinished(60000));
    ASSERT_EQ(window.exitCode(), 0);
    const QString help = QString::fromUtf8(window.readAllStandardOutput());
    EXPECT_TRUE(help.startsWith(u"使い方"_qs)) << qPrintable(help);
    // Below the usage line (which names the program's path) only the options' own names are
    // in Latin letters.
    static const QRegularExpression optionName(u"--?[a-z-]+"_qs);
    static const QRegularExpression word(u"\\b[a-z]{4,}\\b"_qs);
    const QString below = help.section(u'\n', 1).remove(optionName);
    EXPECT_FALSE(below.contains(word)) << qPrintable(help);
}

} // namespace
} // namespace tarvel::testing
