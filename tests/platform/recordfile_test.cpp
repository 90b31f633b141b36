#include "platform/recordfile.h"

#include "platform/binaryrecord.h"
#include "platform/failure.h"

#include "tempmeet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "qstringprinter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace tarvel;
using tarvel::testing::readFileBytes;
using tarvel::testing::writeFileBytes;

namespace {

class RecordFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QStringList entries() const
    {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir_;
};

TEST_F(RecordFileTest, OpeningCreatesAMissingFileEmpty)
{
    const QString file = path(u"Race.dat"_qs);
    RecordFile records = RecordFile::openOrCreate(file, 1024);
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(records.size(), 0);
    EXPECT_EQ(records.recordLength(), 1024);
    EXPECT_EQ(records.path(), file);
}

TEST_F(RecordFileTest, RecordsAreNumberedFromOne)
{
    const QString file = path(u"taikai.dat"_qs);
    {
        RecordFile records = RecordFile::openOrCreate(file, 4);
        records.writeRecord(3, "CCCC");
        records.writeRecord(1, "AAAA");
        EXPECT_EQ(records.size(), 12);
        EXPECT_EQ(records.readRecord(1), QByteArray("AAAA"));
        EXPECT_EQ(records.readRecord(2), QByteArray(4, '\0'));
        EXPECT_EQ(records.readRecord(3), QByteArray("CCCC"));
    }
    EXPECT_EQ(readFileBytes(file), QByteArray("AAAA\0\0\0\0CCCC", 12));
}

TEST_F(RecordFileTest, ReadsPastTheEndAreZeroPadded)
{
    const QString file = path(u"short.dat"_qs);
    writeFileBytes(file, "ABCDEF");
    const RecordFile records = RecordFile::openOrCreate(file, 4);
    EXPECT_EQ(records.readRecord(1), QByteArray("ABCD"));
    EXPECT_EQ(records.readRecord(2), QByteArray("EF\0\0", 4)); // a partial record at the end
    EXPECT_EQ(records.readRecord(3), QByteArray(4, '\0'));
    EXPECT_EQ(records.readRecord(1'000'000), QByteArray(4, '\0'));
    EXPECT_EQ(readFileBytes(file), QByteArray("ABCDEF")); // reading never grows the file
}

TEST_F(RecordFileTest, WriteAtChangesOnlyThoseBytes)
{
    const QString file = path(u"Race.dat"_qs);
    writeFileBytes(file, "0123456789");
    RecordFile records = RecordFile::openOrCreate(file, 1024);
    records.writeAt(3, "x");
    EXPECT_EQ(readFileBytes(file), QByteArray("012x456789"));
    records.writeAt(12, "YZ");
    EXPECT_EQ(readFileBytes(file), QByteArray("012x456789\0\0YZ", 14));
    records.writeAt(0, QByteArrayView());
    EXPECT_EQ(records.size(), 14);
}

TEST_F(RecordFileTest, SeesChangesMadeByOthersAtOnce)
{
    // The meet-management system writes the same file while we hold it open.
    const QString file = path(u"Race.dat"_qs);
    RecordFile ours = RecordFile::openOrCreate(file, 2);
    RecordFile theirs = RecordFile::openOrCreate(file, 2);
    theirs.writeRecord(2, "89");
    EXPECT_EQ(ours.readRecord(2), QByteArray("89"));
    writeFileBytes(file, "ab");
    EXPECT_EQ(ours.readRecord(1), QByteArray("ab"));
    EXPECT_EQ(ours.size(), 2);
}

TEST_F(RecordFileTest, MovedFileStaysUsable)
{
    const QString file = path(u"relay.dat"_qs);
    RecordFile first = RecordFile::openOrCreate(file, 2);
    RecordFile second = std::move(first);
    second.writeRecord(1, "ok");
    RecordFile third = RecordFile::openOrCreate(path(u"other.dat"_qs), 3);
    third = std::move(second);
    EXPECT_EQ(third.readRecord(1), QByteArray("ok"));
    EXPECT_EQ(third.recordLength(), 2);
    EXPECT_EQ(third.path(), file);
}

TEST_F(RecordFileTest, FolderThatDoesNotExistFailsNamingThePath)
{
    const QString file = path(u"missing/Race.dat"_qs);
    try {
        RecordFile::openOrCreate(file, 1024);
        FAIL() << "opened a file in a missing folder";
    } catch (const Failure& f) {
        EXPECT_EQ(f.path(), file);
        EXPECT_FALSE(f.reason().isEmpty());
        EXPECT_TRUE(QString::fromUtf8(f.what()).contains(file)) << f.what();
        EXPECT_TRUE(f.message().startsWith(u"opening"_qs)) << f.what();
    }
}

TEST_F(RecordFileTest, BadRequestsFailWithoutTouchingTheFile)
{
    const QString file = path(u"taikai.dat"_qs);
    writeFileBytes(file, "abcdef");
    RecordFile records = RecordFile::openOrCreate(file, 3);
    EXPECT_THROW(records.readRecord(0), Failure);
    EXPECT_THROW(records.readRecord(-5), Failure);
    EXPECT_THROW(records.readRecord(std::numeric_limits<qint64>::max()), Failure);
    EXPECT_THROW(records.writeRecord(1, "toolong"), Failure);
    EXPECT_THROW(records.writeRecord(1, "ab"), Failure);
    EXPECT_THROW(records.writeRecord(0, "abc"), Failure);
    EXPECT_THROW(records.writeAt(-1, "x"), Failure);
    EXPECT_EQ(readFileBytes(file), QByteArray("abcdef"));
    try {
        records.writeRecord(2, "x");
        ADD_FAILURE() << "wrote a record of the wrong length";
    } catch (const Failure& f) {
        EXPECT_EQ(f.record(), 2) << f.what();
        EXPECT_EQ(f.offset(), 3) << f.what();
    }
    try {
        records.readRecord(0);
    } catch (const Failure& f) {
        EXPECT_EQ(f.record(), 0) << f.what();
        EXPECT_EQ(f.offset(), std::nullopt) << "record 0 has no offset";
    }
}

TEST_F(RecordFileTest, ReadWholeFile)
{
    const QString file = path(u"kijun.dat"_qs);
    QByteArray big(200'000, 'k');
    big[199'999] = 'z';
    writeFileBytes(file, big);
    EXPECT_EQ(readWholeFile(file, u"reading the meet header"_qs), big);
    writeFileBytes(file, QByteArray());
    EXPECT_EQ(readWholeFile(file, u"reading the meet header"_qs), QByteArray());
}

TEST_F(RecordFileTest, ReadWholeFileOfAMissingFileFails)
{
    const QString file = path(u"dr_kyo.ctl"_qs);
    try {
        readWholeFile(file, u"reading the location file"_qs);
        FAIL() << "read a missing file";
    } catch (const Failure& f) {
        EXPECT_EQ(f.action(), u"reading the location file"_qs);
        EXPECT_EQ(f.path(), file);
        EXPECT_EQ(f.reason(), u"file not found"_qs);
    }
    EXPECT_FALSE(QFile::exists(file)); // reading never creates
}

TEST_F(RecordFileTest, ReplaceWholeFileLeavesOnlyTheNewContent)
{
    const QString file = path(u"tarvel.dat"_qs);
    writeFileBytes(file, QByteArray(5000, 'o'));
    ::chmod(QFile::encodeName(file).constData(), 0640);
    replaceWholeFile(file, "new", u"saving the layout"_qs);
    EXPECT_EQ(readFileBytes(file), QByteArray("new"));
    EXPECT_EQ(entries(), QStringList{u"tarvel.dat"_qs}); // no temporary file left behind
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    const QString fresh = path(u"fresh.dat"_qs);
    replaceWholeFile(fresh, QByteArrayView(), u"saving the layout"_qs);
    EXPECT_TRUE(QFile::exists(fresh));
    EXPECT_EQ(readFileBytes(fresh), QByteArray());
}

TEST_F(RecordFileTest, ReplaceWholeFileFailureLeavesNoTrace)
{
    // The target is a folder: the final rename fails after the content was written.
    const QString target = path(u"tarvel.dat"_qs);
    ASSERT_TRUE(QDir().mkpath(target + u"/inside"_qs));
    EXPECT_THROW(replaceWholeFile(target, "data", u"saving the layout"_qs), Failure);
    EXPECT_EQ(entries(), QStringList{u"tarvel.dat"_qs});

    const QString nowhere = path(u"missing/tarvel.dat"_qs);
    try {
        replaceWholeFile(nowhere, "data", u"saving the layout"_qs);
        FAIL() << "wrote into a missing folder";
    } catch (const Failure& f) {
        EXPECT_EQ(f.action(), u"saving the layout"_qs);
        EXPECT_EQ(f.path(), nowhere);
    }
}

/// Root is not bound by folder permissions: as root the folder is made read-only by a bind
/// mount in a private mount namespace, and this test binary runs the test again inside it.
TEST_F(RecordFileTest, ReplaceWholeFileInAReadOnlyFolderKeepsTheOldContent)
{
    const QString insideFolder = qEnvironmentVariable("TARVEL_READ_ONLY_FOLDER");
    const QString folder = insideFolder.isEmpty() ? path(u"ro"_qs) : insideFolder;
    const QString file = folder + u"/tarvel.dat"_qs;
    const auto replaceFails = [&] {
        EXPECT_THROW(replaceWholeFile(file, "new", u"saving the layout"_qs), Failure);
        EXPECT_EQ(readFileBytes(file), QByteArray("old"));
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                  QStringList{u"tarvel.dat"_qs});
    };
    if (!insideFolder.isEmpty())
        return replaceFails();

    writeFileBytes(file, "old");
    if (::geteuid() != 0) {
        const QByteArray name = QFile::encodeName(folder);
        ::chmod(name.constData(), 0555);
        replaceFails();
        ::chmod(name.constData(), 0755);
        return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TARVEL_READ_ONLY_FOLDER"_qs, folder);
    QProcess inside;
    inside.setProcessEnvironment(environment);
    inside.setProcessChannelMode(QProcess::MergedChannels);
    inside.start(u"unshare"_qs,
                 {u"-m"_qs, u"sh"_qs, u"-c"_qs,
                  u"mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\" || exit 99; "
                  "exec \"$2\" --gtest_filter=RecordFileTest."
                  "ReplaceWholeFileInAReadOnlyFolderKeepsTheOldContent"_qs,
                  u"sh"_qs, folder, QFileInfo(u"/proc/self/exe"_qs).canonicalFilePath()});
    ASSERT_TRUE(inside.waitForFinished(60000));
    if (inside.error() == QProcess::FailedToStart || inside.exitCode() == 99)
        GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(inside.exitCode(), 0) << inside.readAll().toStdString();
    EXPECT_EQ(readFileBytes(file), QByteArray("old"));
}

// ---- Fields of a record ----------------------------------------------------------------

TEST(RecordReader, LittleEndianIntegers)
{
    const QByteArray bytes("\x34\x12\xFE\xFF\x78\x56\x34\x12\x00\x00\x00\x80", 12);
    const RecordReader reader(bytes);
    EXPECT_EQ(reader.int16At(0), 0x1234);
    EXPECT_EQ(reader.int16At(2), -2);
    EXPECT_EQ(reader.int32At(4), 0x12345678);
    EXPECT_EQ(reader.int32At(8), std::numeric_limits<qint32>::min());
    EXPECT_EQ(reader.int32At(0), qint32(0xFFFE1234));
}

TEST(RecordReader, PastTheEndReadsZero)
{
    const QByteArray bytes("\x01\x02\x03", 3);
    const RecordReader reader(bytes);
    EXPECT_EQ(reader.int16At(2), 0x03); // the high byte is missing
    EXPECT_EQ(reader.int32At(1), 0x0302);
    EXPECT_EQ(reader.int16At(3), 0);
    EXPECT_EQ(reader.int32At(1'000'000), 0);
    EXPECT_EQ(reader.int16At(-1), 0x0100); // before the start reads zero too
    EXPECT_EQ(reader.int32At(std::numeric_limits<int>::max()), 0);
    EXPECT_EQ(reader.bytesAt(1, 4), QByteArray("\x02\x03\x00\x00", 4));
    EXPECT_EQ(reader.bytesAt(0, 0), QByteArray());
}

TEST(RecordReader, TextFieldsDecodeWhole)
{
    // "水泳  " then NULs: trailing blanks and NULs are kept for the caller to trim.
    const QByteArray bytes("\x90\x85\x89\x6a  \0\0X", 9);
    const RecordReader reader(bytes);
    EXPECT_EQ(reader.textAt(0, 8), QString::fromUtf16(u"水泳  \0\0", 6));
    EXPECT_EQ(reader.textAt(0, 3), u"水\uFFFD"_qs); // a character cut by the field's end
    EXPECT_EQ(reader.textAt(8, 3), QString::fromUtf16(u"X\0\0", 3));
    EXPECT_EQ(reader.textAt(7, 2), QString::fromUtf16(u"\0X", 2));       // up to the last byte
    EXPECT_EQ(reader.textAt(-1, 2), QString::fromUtf16(u"\0\uFFFD", 2)); // before the record
    EXPECT_EQ(reader.textAt(9, 1), QString::fromUtf16(u"\0", 1));
    EXPECT_EQ(reader.textAt(2, 0), QString());
}

TEST(RecordWriter, BuildsARecordFieldByField)
{
    RecordWriter writer(16);
    writer.putInt16(0, -2);
    writer.putInt32(2, 0x12345678);
    writer.putText(6, 5, u"水泳大会"_qs);
    writer.putBytes(11, "ab");
    EXPECT_EQ(writer.bytes(),
              QByteArray("\xFE\xFF\x78\x56\x34\x12\x90\x85\x89\x6a \x61\x62\0\0\0", 16));

    const RecordReader reader(writer.bytes());
    EXPECT_EQ(reader.int16At(0), -2);
    EXPECT_EQ(reader.int32At(2), 0x12345678);
    EXPECT_EQ(reader.textAt(6, 5), u"水泳 "_qs);
}

TEST(RecordWriter, NeverGrowsTheRecord)
{
    RecordWriter writer(4);
    writer.putInt32(2, -1);
    writer.putText(3, 4, u"abcd"_qs);
    writer.putInt16(-1, 0x0102);
    EXPECT_EQ(writer.bytes(), QByteArray("\x01\x00\xFF\x61", 4));
}

} // namespace
