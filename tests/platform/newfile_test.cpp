#include "platform/newfile.h"

#include "platform/failure.h"
#include "tempmeet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

TEST(NewFileTest, ATakenNameIsPassedByAndOnlyTheFinishedFileIsLeft)
{
    QTemporaryDir root;
    const QString folder = root.path() + u"/out/pdf"_qs; // made with its parent
    const FileNameChoice names = [](int attempt) { return u"doc-%1.pdf"_qs.arg(attempt); };
    EXPECT_EQ(writeNewFileInFolder(folder, names, "first", u"writing"_qs),
              folder + u"/doc-0.pdf"_qs);
    EXPECT_EQ(writeNewFileInFolder(folder, names, "second", u"writing"_qs),
              folder + u"/doc-1.pdf"_qs);
    EXPECT_EQ(readFileBytes(folder + u"/doc-0.pdf"_qs), QByteArray("first"));
    EXPECT_EQ(readFileBytes(folder + u"/doc-1.pdf"_qs), QByteArray("second"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u"doc-0.pdf"_qs, u"doc-1.pdf"_qs}));
}

TEST(NewFileTest, ALinkedFolderOrNameIsNeverWrittenThrough)
{
    QTemporaryDir root;
    const QString elsewhere = root.path() + u"/elsewhere"_qs;
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const QString linked = root.path() + u"/linked"_qs;
    ASSERT_TRUE(QFile::link(elsewhere, linked));
    try {
        writeNewFileInFolder(
            linked, [](int) { return u"a.pdf"_qs; }, "x", u"writing"_qs);
        FAIL() << "a linked folder was written into";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.path(), linked);
        EXPECT_TRUE(failure.reason().contains(u"symbolic link"_qs)) << qPrintable(failure.reason());
    }
    EXPECT_TRUE(QDir(elsewhere).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // A link planted under the chosen name is a taken name: passed by, its target untouched.
    const QString folder = root.path() + u"/pdf"_qs;
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::link(root.path() + u"/victim"_qs, folder + u"/doc-0.pdf"_qs));
    EXPECT_EQ(writeNewFileInFolder(
                  folder, [](int n) { return u"doc-%1.pdf"_qs.arg(n); }, "x", u"writing"_qs),
              folder + u"/doc-1.pdf"_qs);
    EXPECT_FALSE(QFileInfo::exists(root.path() + u"/victim"_qs));
}

} // namespace
} // namespace tarvel::testing
