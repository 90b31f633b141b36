// Reading the blank certificate off the GUI thread: what is read, what is refused and why,
// and a request that a later one drops.

#include "platform/qt/backdroploader.h"

#include "eventually.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <functional>
#include <optional>

#include <sys/stat.h>

namespace tarvel {
namespace {

/// The one answer of a loader, waited for with a deadline while the event loop runs.
struct Answer {
    std::optional<QImage> image;
    std::optional<Failure> failure;
    int answers = 0;
};

Answer loadAndWait(const QString& path, const BackdropLimits& limits)
{
    BackdropLoader loader(limits);
    Answer answer;
    QObject::connect(&loader, &BackdropLoader::loaded, [&](const QString&, const QImage& image) {
        answer.image = image;
        ++answer.answers;
    });
    QObject::connect(&loader, &BackdropLoader::failed, [&](const Failure& failure) {
        answer.failure = failure;
        ++answer.answers;
    });
    loader.load(path);
    testing::eventually([&] { return answer.answers > 0; }, std::chrono::seconds(20));
    return answer;
}

QString writeImage(const QString& folder, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString file = folder + u"/scan.png"_qs;
    image.save(file);
    return file;
}

QString writeA4Pdf(const QString& folder)
{
    const QString file = folder + u"/blank.pdf"_qs;
    QPdfWriter writer(file);
    QPainter painter(&writer);
    painter.fillRect(QRect(0, 0, writer.width(), writer.height()), Qt::red);
    return file;
}

/// A pdftoppm that never finishes, first on the PATH while it lives.
class SlowPdftoppm {
public:
    explicit SlowPdftoppm(const QString& folder) : path_(qgetenv("PATH"))
    {
        const QString script = folder + u"/pdftoppm"_qs;
        QFile file(script);
        file.open(QIODevice::WriteOnly);
        file.write("#!/bin/sh\nexec sleep 600\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(folder) + ':' + path_);
    }
    ~SlowPdftoppm() { qputenv("PATH", path_); }

private:
    QByteArray path_;
};

struct Row {
    const char* name;
    /// Makes the file in the folder and returns its path.
    std::function<QString(const QString& folder)> make;
    BackdropLimits limits;
    /// The size read, or what the refusal says.
    QSize size;
    QString refusal;
};

class BackdropImageTest : public ::testing::TestWithParam<Row> {};

TEST_P(BackdropImageTest, ReadsWithinItsBoundsAndRefusesTheRest)
{
    const Row& row = GetParam();
    QTemporaryDir folder;
    std::optional<SlowPdftoppm> slow;
    if (QString::fromUtf8(row.name).contains(u"pdftoppm"_qs))
        slow.emplace(folder.path());
    const QString path = row.make(folder.path());
    const Answer answer = loadAndWait(path, row.limits);
    ASSERT_EQ(answer.answers, 1);
    if (row.refusal.isEmpty()) {
        ASSERT_TRUE(answer.image) << answer.failure->message().toStdString();
        EXPECT_EQ(answer.image->size(), row.size);
        return;
    }
    ASSERT_TRUE(answer.failure);
    EXPECT_EQ(answer.failure->path(), path);
    EXPECT_TRUE(answer.failure->reason().contains(row.refusal))
        << answer.failure->reason().toStdString();
}

BackdropLimits limits(const std::function<void(BackdropLimits&)>& change)
{
    BackdropLimits bounded;
    change(bounded);
    return bounded;
}

INSTANTIATE_TEST_SUITE_P(
    EachKindOfFile, BackdropImageTest,
    ::testing::Values(
        Row{"scan",
            [](const QString& f) {
                return writeImage(f, {160, 226});
            },
            {},
            {160, 226},
            {}},
        Row{"scan larger than kept, scaled down",
            [](const QString& f) {
                return writeImage(f, {3000, 100});
            },
            limits([](BackdropLimits& l) { l.longestSide = 1000; }),
            {1000, 33},
            {}},
        Row{"pdf page rendered to the longest side",
            writeA4Pdf,
            limits([](BackdropLimits& l) { l.longestSide = 700; }),
            {495, 700},
            {}},
        Row{"pipe, never opened for reading",
            [](const QString& f) {
                const QString fifo = f + u"/blank.png"_qs;
                ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
                return fifo;
            },
            {},
            {},
            u"regular"_qs},
        Row{"device", [](const QString&) { return u"/dev/zero"_qs; }, {}, {}, u"regular"_qs},
        Row{"folder", [](const QString& f) { return f; }, {}, {}, u"folder"_qs},
        Row{"missing",
            [](const QString& f) { return f + u"/gone.png"_qs; },
            {},
            {},
            u"does not exist"_qs},
        Row{"file over the bound",
            [](const QString& f) {
                return writeImage(f, {300, 300});
            },
            limits([](BackdropLimits& l) { l.fileBytes = 200; }),
            {},
            u"larger than"_qs},
        Row{"image declaring more pixels than read",
            [](const QString& f) {
                const QString file = f + u"/huge.pgm"_qs;
                QFile pgm(file);
                pgm.open(QIODevice::WriteOnly);
                pgm.write("P5\n20000 20000\n255\n" + QByteArray(64, '\0'));
                return file;
            },
            {},
            {},
            u"20000 x 20000"_qs},
        Row{"pdftoppm that does not finish",
            writeA4Pdf,
            limits([](BackdropLimits& l) { l.pdfDeadline = std::chrono::milliseconds(300); }),
            {},
            u"within 0.3 seconds"_qs}),
    [](const ::testing::TestParamInfo<Row>& info) {
        std::string name = info.param.name;
        std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
        return name;
    });

TEST(BackdropLoaderTest, ALaterRequestDropsTheOneUnderWay)
{
    QTemporaryDir folder;
    const SlowPdftoppm slow(folder.path());
    BackdropLoader loader;
    QStringList answered;
    QObject::connect(&loader, &BackdropLoader::loaded,
                     [&](const QString& path, const QImage&) { answered << path; });
    QObject::connect(&loader, &BackdropLoader::failed,
                     [&](const Failure& failure) { answered << failure.path(); });
    loader.load(writeA4Pdf(folder.path())); // would render for ten minutes
    const QString scan = writeImage(folder.path(), {40, 60});
    loader.load(scan);
    EXPECT_TRUE(loader.isLoading());
    testing::eventually([&] { return !loader.isLoading(); }, std::chrono::seconds(20));
    EXPECT_EQ(answered, QStringList{scan});
}

} // namespace
} // namespace tarvel
