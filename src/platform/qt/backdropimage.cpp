#include "platform/qt/backdropimage.h"

#include "platform/failure.h"

#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

namespace tarvel {

namespace {

using namespace Qt::StringLiterals;

const QString kAction = u"showing the blank certificate"_s;
constexpr int kPdfDpi = 100;
constexpr int kPdftoppmMilliseconds = 30000;

bool isPdf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

QImage firstPdfPage(const QString& path) {
    QTemporaryDir dir;
    if (!dir.isValid())
        throw Failure(kAction, path, u"no temporary folder for the rendered page"_s);
    const QString prefix = dir.filePath(u"page"_s);
    QProcess pdftoppm;
    pdftoppm.start(u"pdftoppm"_s, {u"-png"_s, u"-singlefile"_s, u"-f"_s, u"1"_s, u"-l"_s, u"1"_s,
                                   u"-r"_s, QString::number(kPdfDpi), path, prefix});
    if (!pdftoppm.waitForStarted())
        throw Failure(kAction, path, u"pdftoppm (poppler-utils) could not be started"_s);
    if (!pdftoppm.waitForFinished(kPdftoppmMilliseconds)) {
        pdftoppm.kill();
        pdftoppm.waitForFinished();
        throw Failure(kAction, path, u"pdftoppm took too long"_s);
    }
    if (pdftoppm.exitStatus() != QProcess::NormalExit || pdftoppm.exitCode() != 0)
        throw Failure(kAction, path,
                      QString::fromLocal8Bit(pdftoppm.readAllStandardError()).trimmed());
    QImage page(prefix + u".png"_s);
    if (page.isNull())
        throw Failure(kAction, path, u"pdftoppm wrote no page"_s);
    return page;
}

} // namespace

QImage loadBackdropImage(const QString& path) {
    if (!QFile::exists(path))
        throw Failure(kAction, path, u"the file does not exist"_s);
    if (isPdf(path))
        return firstPdfPage(path);
    QImageReader reader(path);
    reader.setAutoTransform(true); // photos taken upright by a turned camera
    QImage image = reader.read();
    if (image.isNull())
        throw Failure(kAction, path, reader.errorString());
    return image;
}

} // namespace tarvel
