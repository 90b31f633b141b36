#include "ecert/affiliationzip.h"

#include "ecert/ecertwriter.h"
#include "ecertfixture.h"
#include "platform/failure.h"
#include "poppler.h"
#include "tempmeet.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace tarvel::testing {
namespace {

/// Python's zipfile, independent of libzip: each entry as "<flag bits in hex> <name>", and
/// everything extracted into `into`.
QStringList extractWithPython(const QString& zip, const QString& into)
{
    const QString script =
        u"import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "for i in z.infolist():\n"
        "    sys.stdout.buffer.write(('%x %s\\n' % (i.flag_bits, i.filename)).encode('utf-8'))\n"
        "z.extractall(sys.argv[2])\n"_qs;
    return runTool(u"python3"_qs, {u"-c"_qs, script, zip, into}).split(u'\n', Qt::SkipEmptyParts);
}

TEST(AffiliationZipTest, ExtractsToTheSameBytesUnderUtf8Names)
{
    QTemporaryDir dir;
    const QString root = dir.path() + u"/e-certificates"_qs;
    ECertificateWriter writer(
        {root, lineLayout(), QString(), QString(), u"テスト大会"_qs, QDateTime()});
    const QString club = u"テストＳＣ・𠮷野"_qs;
    writer.writeEvent({ecertificate(12, 1, u"山田太郎"_qs, u"  1位"_qs, club),
                       ecertificate(12, 2, u"髙橋①"_qs, u"  2位"_qs, club),
                       ecertificate(12, 3, u"佐藤花子"_qs, u"  3位"_qs, u"別のクラブ"_qs)});

    const QString zip = writeAffiliationZip(root, club);
    EXPECT_EQ(zip, root + u'/' + club + u".zip"_qs);
    const QString out = dir.path() + u"/out"_qs;
    const QStringList entries = extractWithPython(zip, out);
    const QStringList files =
        QDir(root + u'/' + club).entryList({u"*.pdf"_qs}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 2);
    ASSERT_EQ(entries.size(), files.size());
    for (qsizetype i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].toStdString());
        const QString flags = entries[i].section(u' ', 0, 0);
        EXPECT_NE(flags.toInt(nullptr, 16) & 0x800, 0) << "the UTF-8 flag (bit 11) is not set";
        EXPECT_EQ(entries[i].section(u' ', 1), club + u'/' + files[i]);
        EXPECT_EQ(readFileBytes(out + u'/' + club + u'/' + files[i]),
                  readFileBytes(root + u'/' + club + u'/' + files[i]));
    }
    // Made again, it replaces the first and holds the same.
    EXPECT_EQ(writeAffiliationZip(root, club), zip);
    EXPECT_EQ(extractWithPython(zip, dir.path() + u"/again"_qs), entries);
    EXPECT_EQ(QDir(root).entryList({u"*.zip"_qs}, QDir::Files), QStringList{club + u".zip"_qs});
}

TEST(AffiliationZipTest, NoFolderOutsideOrMissingIsTaken)
{
    QTemporaryDir dir;
    for (const QString& folder : {u".."_qs, u"../x"_qs, u"missing"_qs, QString()}) {
        try {
            writeAffiliationZip(dir.path(), folder);
            ADD_FAILURE() << "zipped " << folder.toStdString();
        } catch (const Failure& failure) {
            EXPECT_TRUE(failure.message().contains(dir.path())) << failure.message().toStdString();
        }
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

} // namespace
} // namespace tarvel::testing
