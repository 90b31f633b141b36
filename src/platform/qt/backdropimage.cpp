#include "platform/qt/backdropimage.h"

#include "platform/failure.h"
#include "platform/words.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QFile>
#include <QImageReader>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvel {

namespace {

using namespace Qt::StringLiterals;

[[noreturn]] void fail(const QString& path, const QString& why,
                       Failure::Kind kind = Failure::Kind::System)
{
    throw Failure(Words::tr("showing the blank certificate"), path, why, kind);
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

constexpr int kPdftoppmPollMilliseconds = 50;
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;
constexpr qsizetype kChunkBytes = 64 * 1024;

/// Closes a file descriptor when it goes.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

/// The whole of a regular file, at most `maxBytes`. Opened without waiting, so that a pipe
/// is seen for what it is before anything is read from it.
QByteArray readRegularFile(const QString& path, qint64 maxBytes)
{
    const Descriptor file{
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) {
        const int error = errno;
        fail(path, error == ENOENT ? Words::tr("the file does not exist") : systemReason(error),
             error == ENOENT ? Failure::Kind::Missing : Failure::Kind::System);
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0)
        fail(path, systemReason(errno));
    if (S_ISDIR(status.st_mode))
        fail(path, Words::tr("it is a folder, not an image or PDF file"), Failure::Kind::Damaged);
    if (!S_ISREG(status.st_mode))
        fail(path,
             Words::tr("it is not a regular file (a pipe or a device); only image and PDF files "
                       "are read"),
             Failure::Kind::Damaged);
    const auto tooLarge = [&] {
        fail(path,
             Words::tr("the file is larger than %1 MB, the most a blank certificate may be")
                 .arg(maxBytes / kBytesPerMegabyte, 0, 'f', 0),
             Failure::Kind::Damaged);
    };
    if (status.st_size > maxBytes)
        tooLarge();
    QByteArray bytes;
    bytes.reserve(qsizetype(status.st_size));
    QByteArray chunk(kChunkBytes, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(file.fd, chunk.data(), size_t(chunk.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(path, systemReason(errno));
        if (got == 0)
            break;
        bytes.append(chunk.constData(), got);
        if (bytes.size() > maxBytes) // grown past the bound while read
            tooLarge();
    }
    return bytes;
}

/// Decodes `bytes` within the limits; `path` names them in a failure.
QImage decodeImage(const QString& path, QByteArray bytes, const BackdropLimits& limits)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true); // photos taken upright by a turned camera
    const QSize declared = reader.size();
    if (declared.isValid() && qint64(declared.width()) * declared.height() > limits.pixels)
        fail(path,
             Words::tr("the image is %1 x %2 pixels, more than the %3 pixels read at most")
                 .arg(declared.width())
                 .arg(declared.height())
                 .arg(QLocale().toString(limits.pixels)),
             Failure::Kind::Damaged);
    const QSize bound(limits.longestSide, limits.longestSide);
    if (declared.isValid()
        && (declared.width() > bound.width() || declared.height() > bound.height()))
        reader.setScaledSize(declared.scaled(bound, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        fail(path, reader.errorString(), Failure::Kind::Damaged);
    return image;
}

/// The first page of the PDF `bytes`, rendered from a copy so that the file itself is read
/// once, as checked.
QImage firstPdfPage(const QString& path, const QByteArray& bytes, const BackdropLimits& limits,
                    const std::function<bool()>& abandoned)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        fail(path, Words::tr("no temporary folder for the rendered page"));
    QFile copy(dir.filePath(u"blank.pdf"_s));
    if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size() || !copy.flush())
        fail(path, copy.errorString());
    copy.close();
    const QString prefix = dir.filePath(u"page"_s);
    QProcess pdftoppm;
    pdftoppm.start(u"pdftoppm"_s,
                   {u"-png"_s, u"-singlefile"_s, u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, u"-scale-to"_s,
                    QString::number(limits.longestSide), copy.fileName(), prefix});
    if (!pdftoppm.waitForStarted())
        fail(path, Words::tr("pdftoppm (poppler-utils) could not be started"));
    const QDeadlineTimer deadline(limits.pdfDeadline);
    while (!pdftoppm.waitForFinished(kPdftoppmPollMilliseconds)) {
        if (pdftoppm.state() == QProcess::NotRunning)
            break;
        const bool dropped = abandoned && abandoned();
        if (!dropped && !deadline.hasExpired())
            continue;
        pdftoppm.kill();
        pdftoppm.waitForFinished();
        fail(path, dropped ? Words::tr("no longer wanted")
                           : Words::tr("pdftoppm did not render the page within %1 seconds")
                                 .arg(limits.pdfDeadline.count() / 1000.0));
    }
    if (pdftoppm.exitStatus() != QProcess::NormalExit || pdftoppm.exitCode() != 0)
        fail(path, QString::fromLocal8Bit(pdftoppm.readAllStandardError()).trimmed(),
             Failure::Kind::Damaged);
    QFile page(prefix + u".png"_s);
    if (!page.open(QIODevice::ReadOnly))
        fail(path, Words::tr("pdftoppm wrote no page"), Failure::Kind::Damaged);
    return decodeImage(path, page.readAll(), limits);
}

} // namespace

QImage loadBackdropImage(const QString& path, const BackdropLimits& limits,
                         const std::function<bool()>& abandoned)
{
    const QByteArray bytes = readRegularFile(path, limits.fileBytes);
    if (bytes.startsWith("%PDF-"))
        return firstPdfPage(path, bytes, limits, abandoned);
    return decodeImage(path, bytes, limits);
}

} // namespace tarvel
