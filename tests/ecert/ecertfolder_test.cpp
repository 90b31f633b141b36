// The e-certificates folder cleans up after a killed process: its hidden temporary files go
// at the next write of their folder, and nothing else does.

#include "ecert/ecertfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace tarvel::testing {
namespace {

enum class Made { File, Link, Folder };

/// Sets a name's modification time `secondsAgo` in the past, not following a link.
void age(const QString& path, int secondsAgo)
{
    timespec times[2] = {{::time(nullptr) - secondsAgo, 0}, {::time(nullptr) - secondsAgo, 0}};
    ASSERT_EQ(
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0)
        << path.toStdString();
}

TEST(ECertFolderTest, LeftOverTemporaryFilesGoAtTheNextWriteOfTheirFolderOnly)
{
    QTemporaryDir dir;
    const QString root = dir.path() + u"/e-certificates"_qs;
    const QString team = root + u"/みなとSC"_qs;
    const QString other = root + u"/さくらSC"_qs;
    ASSERT_TRUE(QDir().mkpath(team) && QDir().mkpath(other));
    const QString target = dir.path() + u"/target.pdf"_qs;
    QFile(target).open(QIODevice::WriteOnly);

    struct Case {
        const char16_t* folder;
        const char16_t* name;
        Made made;
        int secondsAgo;
        bool removed;
    };
    const Case cases[] = {
        {u"みなとSC", u".tarvel-4242-17.part", Made::File, 3600, true}, // a killed process's
        {u"みなとSC", u".tarvel-4243-18.part", Made::File, 5, false},   // another desk writing
        {u"みなとSC", u".tarvel-4244-19.part", Made::Link, 3600, false},
        {u"みなとSC", u".tarvel-4245-20.part", Made::Folder, 3600, false},
        {u"みなとSC", u"tarvel-1-1.part", Made::File, 3600, false},
        {u"みなとSC", u".tarvel-1-1.pdf", Made::File, 3600, false},
        {u"みなとSC", u"R001_x.pdf", Made::File, 3600, false},
        {u"さくらSC", u".tarvel-4246-21.part", Made::File, 3600, false}, // not written this time
    };
    for (const Case& c : cases) {
        const QString path =
            root + u'/' + QString::fromUtf16(c.folder) + u'/' + QString::fromUtf16(c.name);
        switch (c.made) {
        case Made::File: ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly)); break;
        case Made::Link: ASSERT_TRUE(QFile::link(target, path)); break;
        case Made::Folder: ASSERT_TRUE(QDir().mkdir(path)); break;
        }
        age(path, c.secondsAgo);
    }
    age(target, 3600);

    ECertificateFolder folder(root);
    folder.write(u"みなとSC/R002_新.pdf"_qs, "%PDF-1.7");

    for (const Case& c : cases) {
        const QString path =
            root + u'/' + QString::fromUtf16(c.folder) + u'/' + QString::fromUtf16(c.name);
        struct stat info {};
        const bool exists = ::lstat(QFile::encodeName(path).constData(), &info) == 0;
        EXPECT_EQ(exists, !c.removed) << path.toStdString();
    }
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_TRUE(QFile::exists(team + u"/R002_新.pdf"_qs));
    const QStringList hidden =
        QDir(team).entryList({u".tarvel-*.part"_qs}, QDir::Hidden | QDir::Files | QDir::System);
    EXPECT_EQ(hidden.size(), 2) << hidden.join(u' ').toStdString(); // the fresh one, the link
}

} // namespace
} // namespace tarvel::testing
