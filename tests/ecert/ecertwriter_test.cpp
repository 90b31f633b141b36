#include "ecert/ecertwriter.h"

#include "ecert/filenames.h"
#include "ecertfixture.h"
#include "platform/failure.h"
#include "poppler.h"
#include "qstringprinter.h"
#include "tempmeet.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace tarvel::testing {
namespace {

QString pdfInfo(const QString& pdf, const QString& field)
{
    for (const QString& line : runTool(u"pdfinfo"_qs, {pdf}).split(u'\n')) {
        if (line.startsWith(field + u':'))
            return line.mid(field.size() + 1).trimmed();
    }
    return {};
}

QString rawText(const QString& pdf)
{
    QString text = runTool(u"pdftotext"_qs, {u"-raw"_qs, u"-enc"_qs, u"UTF-8"_qs, pdf, u"-"_qs});
    static const QRegularExpression blanks(u"\\s"_qs);
    return text.remove(blanks).remove(QChar(0x3000));
}

/// The image lines of pdfimages -list (after its two header lines).
QStringList imagesOf(const QString& pdf)
{
    QStringList lines =
        runTool(u"pdfimages"_qs, {u"-list"_qs, pdf}).split(u'\n', Qt::SkipEmptyParts);
    return lines.mid(2);
}

/// Dots inked where the blank certificates draw their mark, on the page rendered at 36 dpi.
int inkAtMark(const QString& pdf)
{
    const QImage page = renderPdfPage(pdf, 1, 36);
    return inkedPixels(
        page,
        QRectF(kMarkPoints.topLeft() / 2, kMarkPoints.size() / 2).toRect().adjusted(2, 2, -2, -2));
}

QStringList filesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

class ECertWriterTest : public ::testing::Test {
protected:
    QString root() const { return dir.path() + u"/data/e-certificates"_qs; }
    ECertificateSetup setup(const QString& backdrop = QString()) const
    {
        return {root(), lineLayout(), QString(), backdrop, u"テスト大会"_qs, QDateTime()};
    }

    QTemporaryDir dir;
};

TEST_F(ECertWriterTest, EachFileCarriesItsCertificateOnTheVectorBackdrop)
{
    const QString backdrop = dir.path() + u"/blank.pdf"_qs;
    writeVectorBackdrop(backdrop);
    // A tie of one name and a relay-like pair of legs of one name: four files all the same.
    const QList<ECertificate> event = {
        ecertificate(11, 3, u"山田太郎"_qs, u"  1位"_qs),
        ecertificate(12, 5, u"山田太郎"_qs, u"  1位"_qs),
        ecertificate(12, 2, u"佐藤花子"_qs, u"  3位"_qs, u"テストＳＣ"_qs, 0),
        ecertificate(12, 2, u"佐藤花子"_qs, u"  3位"_qs, u"テストＳＣ"_qs, 1),
        ecertificate(12, 4, u"鈴木一郎"_qs, u"  2位"_qs, u"別のクラブ"_qs),
    };
    ECertificateWriter writer(setup(backdrop));
    const EventECertificates outcome = writer.writeEvent(event);
    ASSERT_EQ(outcome.written.size(), event.size());
    EXPECT_TRUE(outcome.removed.isEmpty());
    EXPECT_EQ(filesUnder(root()).size(), event.size()) << "one file each, nothing else";

    for (qsizetype i = 0; i < event.size(); ++i) {
        const ECertificateFile& file = outcome.written[i];
        SCOPED_TRACE(file.relativePath.toStdString());
        EXPECT_EQ(file.path, root() + u'/' + file.relativePath);
        EXPECT_EQ(file.relativePath, planFileNames(event)[i]);
        EXPECT_EQ(QFileInfo(file.path).size(), file.bytes);
        EXPECT_LT(file.bytes, 200 * 1024);
        EXPECT_EQ(pdfPageCount(file.path), 1);
        EXPECT_TRUE(pdfPageSize(file.path).contains(u"(A4)"_qs));
        EXPECT_EQ(rawText(file.path), drawnTexts(lineLayout(), event[i]));
        EXPECT_EQ(pdfInfo(file.path, u"Title"_qs),
                  u"R012 男子 100m自由形 決勝 "_qs + event[i].items[kItemName]);
        EXPECT_EQ(pdfInfo(file.path, u"Author"_qs), u"テスト大会"_qs);
        EXPECT_FALSE(pdfInfo(file.path, u"CreationDate"_qs).isEmpty());
        EXPECT_GT(inkAtMark(file.path), 100) << "the backdrop is under the page";
        EXPECT_TRUE(imagesOf(file.path).isEmpty()) << "the backdrop stays vector content";
        const QStringList fonts = runTool(u"pdffonts"_qs, {file.path}).split(u'\n').mid(2);
        ASSERT_FALSE(fonts.filter(u" yes "_qs).isEmpty());
        for (const QString& font : fonts.filter(u"Type"_qs))
            EXPECT_TRUE(font.contains(u" yes "_qs)) << "not embedded: " << font.toStdString();
    }
}

TEST_F(ECertWriterTest, AnImageBackdropGoesInAsItIs)
{
    struct Row {
        const char* format;
        const char* encoding; // as pdfimages -list names it
    };
    for (const Row row : {Row{"jpg", "jpeg"}, Row{"png", "image"}}) {
        SCOPED_TRACE(row.format);
        const QString backdrop = dir.path() + u"/blank."_qs + QString::fromLatin1(row.format);
        ASSERT_TRUE(backdropImage().save(backdrop, row.format, 90));
        ECertificateWriter writer(setup(backdrop));
        const ECertificate c = ecertificate(12, 1, u"山田太郎"_qs, u"  1位"_qs);
        const EventECertificates outcome = writer.writeEvent({c});
        ASSERT_EQ(outcome.written.size(), 1);
        const QString pdf = outcome.written.front().path;
        EXPECT_EQ(rawText(pdf), drawnTexts(lineLayout(), c));
        EXPECT_GT(inkAtMark(pdf), 100);
        const QStringList images = imagesOf(pdf);
        ASSERT_EQ(images.size(), 1);
        EXPECT_TRUE(images.front().contains(u"298   421"_qs)) << images.front().toStdString();
        EXPECT_TRUE(images.front().contains(QString::fromLatin1(row.encoding)));
        // Taken out again: the JPEG's very bytes, the PNG's very pixels.
        const QString out = dir.path() + u"/out-"_qs + QString::fromLatin1(row.format);
        runTool(u"pdfimages"_qs, {u"-all"_qs, pdf, out});
        const QString extracted = out + u"-000."_qs + QString::fromLatin1(row.format);
        if (QByteArray(row.format) == "jpg")
            EXPECT_EQ(readFileBytes(extracted), readFileBytes(backdrop));
        else
            EXPECT_EQ(QImage(extracted).convertToFormat(QImage::Format_RGB32),
                      QImage(backdrop).convertToFormat(QImage::Format_RGB32));
    }
}

TEST_F(ECertWriterTest, HostileNamesStayInsideTheFolderAndDiffer)
{
    ECertificateWriter writer(setup());
    const QStringList hostile = {u"../../x"_qs, u"..\\..\\y"_qs, u"/etc/passwd"_qs,   u"CON"_qs,
                                 u"con"_qs,     u".."_qs,        QString(100, u'泳'), u"?*<>|"_qs};
    QList<ECertificate> event;
    for (int i = 0; i < hostile.size(); ++i)
        event.append(ecertificate(12, i, hostile[i], u"  1位"_qs, hostile[i]));
    const EventECertificates outcome = writer.writeEvent(event);
    EXPECT_EQ(outcome.written.size(), hostile.size());
    EXPECT_EQ(filesUnder(dir.path()).size(), hostile.size());
    for (const QString& file : filesUnder(dir.path()))
        EXPECT_TRUE(file.startsWith(u"data/e-certificates/"_qs)) << file.toStdString();
}

TEST_F(ECertWriterTest, ACorrectedResultReplacesTheFilesItSupersedes)
{
    ECertificateWriter writer(setup());
    const ECertificate other = [] {
        ECertificate c = ecertificate(13, 0, u"別種目"_qs, u"  1位"_qs);
        c.raceNo = 13;
        c.eventTitle = u"R013 女子 50m背泳ぎ 決勝"_qs;
        return c;
    }();
    writer.writeEvent({other});
    const QList<ECertificate> before = {ecertificate(12, 3, u"山田太郎"_qs, u"  2位"_qs),
                                        ecertificate(12, 4, u"佐藤花子"_qs, u"  1位"_qs)};
    writer.writeEvent(before);
    const QStringList first = filesUnder(root());

    // The correction swaps the two: both names change; the other event is left alone.
    ECertificate yamada = ecertificate(12, 3, u"山田太郎"_qs, u"  1位"_qs);
    yamada.items[1] = u"1:00.00"_qs;
    const QList<ECertificate> after = {yamada, ecertificate(12, 4, u"佐藤花子"_qs, u"  2位"_qs)};
    const EventECertificates outcome = writer.writeEvent(after);
    const QString stem = u"テストＳＣ/R012_男子100m自由形決勝_"_qs;
    QStringList removed = outcome.removed;
    removed.sort();
    EXPECT_EQ(removed, (QStringList{stem + u"1位_佐藤花子.pdf"_qs, stem + u"2位_山田太郎.pdf"_qs}));
    QStringList expected = planFileNames(after) + planFileNames({other});
    expected.sort();
    EXPECT_EQ(filesUnder(root()), expected);
    EXPECT_NE(filesUnder(root()), first);
    EXPECT_EQ(rawText(root() + u'/' + stem + u"1位_山田太郎.pdf"_qs),
              drawnTexts(lineLayout(), yamada));

    // Only one affiliation written: the others' files stay as they are.
    ECertificate moved = ecertificate(12, 4, u"佐藤花子"_qs, u"  2位"_qs, u"別のクラブ"_qs);
    const EventECertificates some = writer.writeEvent({yamada, moved}, [](const ECertificate& c) {
        return c.items[kItemAffiliation] == u"別のクラブ"_qs;
    });
    ASSERT_EQ(some.written.size(), 1);
    EXPECT_EQ(some.written.front().relativePath,
              u"別のクラブ/R012_男子100m自由形決勝_2位_佐藤花子.pdf"_qs);
    EXPECT_EQ(some.removed, QStringList{stem + u"2位_佐藤花子.pdf"_qs});
    EXPECT_TRUE(QFileInfo::exists(root() + u'/' + stem + u"1位_山田太郎.pdf"_qs));
}

TEST_F(ECertWriterTest, AnUnreadableBackdropIsRefusedNamingTheFile)
{
    const QString broken = dir.path() + u"/blank.pdf"_qs;
    writeFileBytes(broken, "%PDF-1.4\nnot really\n");
    for (const QString& path : {broken, dir.path() + u"/missing.png"_qs, dir.path()}) {
        try {
            ECertificateWriter writer(setup(path));
            ADD_FAILURE() << "accepted " << path.toStdString();
        } catch (const Failure& failure) {
            EXPECT_TRUE(failure.message().contains(path)) << failure.message().toStdString();
        }
    }
}

TEST_F(ECertWriterTest, AFullDiskLeavesNoPartialFile)
{
    // A tiny file system of its own, in a mount namespace that goes with the command; what
    // it holds at the end is copied out to be read.
    const QString copy = dir.path() + u"/copy"_qs;
    QDir().mkpath(root());
    QProcess shell;
    shell.start(u"unshare"_qs, {u"-rm"_qs, u"sh"_qs, u"-c"_qs,
                                u"mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 99; "
                                "\"$2\" \"$1\"; status=$?; cp -a \"$1\" \"$3\"; exit $status"_qs,
                                u"sh"_qs, root(), QString::fromUtf8(ECERT_WRITER_TOOL), copy});
    ASSERT_TRUE(shell.waitForFinished(120000));
    if (shell.exitCode() == 99 || shell.error() == QProcess::FailedToStart)
        GTEST_SKIP() << "no private mount namespace here";
    const QString err = QString::fromUtf8(shell.readAllStandardError());
    EXPECT_EQ(shell.exitCode(), 1) << qPrintable(err);
    EXPECT_TRUE(err.contains(u"writing an e-certificate: "_qs)) << qPrintable(err);
    EXPECT_TRUE(err.contains(u"No space left on device"_qs)) << qPrintable(err);
    // The first event's file, then those of the second that fit, each whole; no temporary
    // file is left of those that did not.
    const QString first = u"テストＳＣ/R012_男子100m自由形決勝_1位_山田太郎.pdf"_qs;
    const QStringList files = filesUnder(copy);
    ASSERT_TRUE(files.contains(first)) << qPrintable(files.join(u'\n'));
    EXPECT_LT(files.size(), 9) << "the disk was not full";
    const QRegularExpression secondEvent(
        u"^テストＳＣ/R014_女子200m平泳ぎ決勝_(\\d)位_選手(\\d)\\.pdf$"_qs);
    for (const QString& file : files) {
        if (file == first) {
            EXPECT_EQ(rawText(copy + u'/' + file),
                      drawnTexts(lineLayout(), ecertificate(12, 0, u"山田太郎"_qs, u"  1位"_qs)));
            continue;
        }
        const QRegularExpressionMatch match = secondEvent.match(file);
        ASSERT_TRUE(match.hasMatch()) << "left behind: " << qPrintable(file);
        const int lane = match.captured(2).toInt();
        EXPECT_EQ(
            rawText(copy + u'/' + file),
            drawnTexts(lineLayout(), ecertificate(14, lane, u"選手"_qs + QString::number(lane),
                                                  u"  %1位"_qs.arg(lane + 1))));
    }
}

} // namespace
} // namespace tarvel::testing
