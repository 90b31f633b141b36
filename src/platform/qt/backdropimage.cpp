#include "platform/qt/backdropimage.h"

#include "platform/failure.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

namespace tarvel {

namespace {

using namespace Qt::StringLiterals;

/// What the operator reads when something fails.
QString tr(const char* text)
{
    return QCoreApplication::translate("tarvel", text);
}

[[noreturn]] void fail(const QString& path, const QString& why)
{
    throw Failure(tr("showing the blank certificate"), path, why);
}

constexpr int kPdfDpi = 100;
constexpr int kPdftoppmMilliseconds = 30000;

bool isPdf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

QImage firstPdfPage(const QString& path)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        fail(path, tr("no temporary folder for the rendered page"));
    const QString prefix = dir.filePath(u"page"_s);
    QProcess pdftoppm;
    pdftoppm.start(u"pdftoppm"_s, {u"-png"_s, u"-singlefile"_s, u"-f"_s, u"1"_s, u"-l"_s, u"1"_s,
                                   u"-r"_s, QString::number(kPdfDpi), path, prefix});
    if (!pdftoppm.waitForStarted())
        fail(path, tr("pdftoppm (poppler-utils) could not be started"));
    if (!pdftoppm.waitForFinished(kPdftoppmMilliseconds)) {
        pdftoppm.kill();
        pdftoppm.waitForFinished();
        fail(path, tr("pdftoppm took too long"));
    }
    if (pdftoppm.exitStatus() != QProcess::NormalExit || pdftoppm.exitCode() != 0)
        fail(path, QString::fromLocal8Bit(pdftoppm.readAllStandardError()).trimmed());
    QImage page(prefix + u".png"_s);
    if (page.isNull())
        fail(path, tr("pdftoppm wrote no page"));
    return page;
}

} // namespace

QImage loadBackdropImage(const QString& path)
{
    if (!QFile::exists(path))
        fail(path, tr("the file does not exist"));
    if (isPdf(path))
        return firstPdfPage(path);
    QImageReader reader(path);
    reader.setAutoTransform(true); // photos taken upright by a turned camera
    QImage image = reader.read();
    if (image.isNull())
        fail(path, reader.errorString());
    return image;
}

} // namespace tarvel
