#include "ecert/sheetbackdrop.h"

#include "platform/failure.h"
#include "platform/words.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <exception>
#include <optional>

namespace tarvel {

namespace {

constexpr qint64 kMaxFileBytes = 64LL * 1024 * 1024;
constexpr qint64 kMaxPixels = 50'000'000;

QString readAction()
{
    return Words::tr("reading the blank certificate for the e-certificates");
}

/// The colour components of a baseline or progressive JPEG (its frame header), or nothing
/// when the bytes are no JPEG that can be read.
std::optional<int> jpegComponents(const QByteArray& bytes)
{
    const auto at = [&](qsizetype i) { return i < bytes.size() ? quint8(bytes[i]) : 0; };
    if (at(0) != 0xFF || at(1) != 0xD8)
        return std::nullopt;
    for (qsizetype i = 2; i + 9 < bytes.size();) {
        if (at(i) != 0xFF)
            return std::nullopt;
        const int marker = at(i + 1);
        if (marker == 0xFF) {
            ++i;
            continue;
        }
        const int length = at(i + 2) << 8 | at(i + 3);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame)
            return at(i + 9);
        i += 2 + length;
    }
    return std::nullopt;
}

/// `image` laid on white paper: what its transparent parts show.
QImage overWhite(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QImage flat(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* from = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        QRgb* to = reinterpret_cast<QRgb*>(flat.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const int a = qAlpha(from[x]);
            const auto mix = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            to[x] = qRgb(mix(qRed(from[x])), mix(qGreen(from[x])), mix(qBlue(from[x])));
        }
    }
    return flat;
}

/// PDF's zlib stream of `data` (qCompress adds four bytes of length before it).
std::string flate(const QByteArray& data)
{
    const QByteArray compressed = qCompress(data, 6);
    return compressed.mid(4).toStdString();
}

QPDFObjectHandle imageObject(QPDF& pdf, const QByteArray& bytes, const QString& path)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxPixels)
        throw Failure(
            readAction(), path,
            Words::tr("it is no image that can be read, or larger than %1 pixels").arg(kMaxPixels));
    QPDFObjectHandle image = pdf.newStream();
    QPDFObjectHandle dict = image.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));

    const std::optional<int> components = jpegComponents(bytes);
    if (reader.format() == "jpeg" && (components == 1 || components == 3)) {
        // The scan as it is: PDF readers decode JPEG themselves.
        dict.replaceKey("/Width", QPDFObjectHandle::newInteger(size.width()));
        dict.replaceKey("/Height", QPDFObjectHandle::newInteger(size.height()));
        dict.replaceKey("/ColorSpace",
                        QPDFObjectHandle::newName(components == 1 ? "/DeviceGray" : "/DeviceRGB"));
        image.replaceStreamData(bytes.toStdString(), QPDFObjectHandle::newName("/DCTDecode"),
                                QPDFObjectHandle::newNull());
        return image;
    }
    QImage decoded = reader.read();
    if (decoded.isNull())
        throw Failure(readAction(), path, reader.errorString());
    // Transparent parts show the white paper.
    if (decoded.hasAlphaChannel())
        decoded = overWhite(decoded);
    const bool gray = decoded.isGrayscale();
    decoded = decoded.convertToFormat(gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    QByteArray pixels;
    const qsizetype rowBytes = qsizetype(decoded.width()) * (gray ? 1 : 3);
    pixels.reserve(rowBytes * decoded.height());
    for (int y = 0; y < decoded.height(); ++y)
        pixels.append(reinterpret_cast<const char*>(decoded.constScanLine(y)), rowBytes);
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(decoded.width()));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(decoded.height()));
    dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName(gray ? "/DeviceGray" : "/DeviceRGB"));
    // Compressed once here, not again for every file it goes into.
    image.replaceStreamData(flate(pixels), QPDFObjectHandle::newName("/FlateDecode"),
                            QPDFObjectHandle::newNull());
    return image;
}

/// A form the size of the sheet, the image stretched over it.
QPDFObjectHandle imageForm(QPDF& pdf, QPDFObjectHandle image, double width, double height)
{
    const std::string content =
        "q " + std::to_string(width) + " 0 0 " + std::to_string(height) + " 0 0 cm /Im0 Do Q\n";
    QPDFObjectHandle form = pdf.newStream(content);
    QPDFObjectHandle dict = form.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    dict.replaceKey("/BBox", QPDFObjectHandle::newFromRectangle({0, 0, width, height}));
    QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
    xobjects.replaceKey("/Im0", image);
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/XObject", xobjects);
    dict.replaceKey("/Resources", resources);
    return form;
}

QByteArray readWhole(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Failure(readAction(), path, Words::tr("the file does not exist"));
    if (!info.isFile())
        throw Failure(readAction(), path, Words::tr("it is not a regular file"));
    if (info.size() > kMaxFileBytes)
        throw Failure(readAction(), path,
                      Words::tr("it is larger than %1 MB").arg(kMaxFileBytes / (1024 * 1024)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(readAction(), path, file.errorString());
    QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw Failure(readAction(), path, file.errorString());
    return bytes;
}

} // namespace

struct SheetBackdrop::Held {
    QByteArray bytes; // a PDF backdrop is read from here until the pages are written
    QPDF pdf;
    QPDFObjectHandle form;
};

SheetBackdrop::SheetBackdrop() : held_(std::make_unique<Held>()) {}
SheetBackdrop::~SheetBackdrop() = default;

QPDF& SheetBackdrop::document()
{
    return held_->pdf;
}

QPDFObjectHandle SheetBackdrop::form() const
{
    return held_->form;
}

std::unique_ptr<SheetBackdrop> SheetBackdrop::read(const QString& path, double sheetWidth,
                                                   double sheetHeight)
{
    std::unique_ptr<SheetBackdrop> backdrop(new SheetBackdrop);
    backdrop->path_ = path;
    Held& held = *backdrop->held_;
    held.bytes = readWhole(path);
    try {
        held.pdf.setSuppressWarnings(true);
        if (held.bytes.startsWith("%PDF-")) {
            const std::string name = path.toStdString();
            held.pdf.processMemoryFile(name.c_str(), held.bytes.constData(),
                                       size_t(held.bytes.size()));
            const std::vector<QPDFPageObjectHelper> pages =
                QPDFPageDocumentHelper(held.pdf).getAllPages();
            if (pages.empty())
                throw Failure(readAction(), path, Words::tr("the PDF has no page"));
            held.form = QPDFPageObjectHelper(pages.front()).getFormXObjectForPage();
            // The form's content is made from the page's streams whenever it is written;
            // made and compressed once here, every file takes the same bytes.
            const std::shared_ptr<Buffer> content = held.form.getStreamData(qpdf_dl_generalized);
            held.form.replaceStreamData(
                flate(QByteArray(reinterpret_cast<const char*>(content->getBuffer()),
                                 qsizetype(content->getSize()))),
                QPDFObjectHandle::newName("/FlateDecode"), QPDFObjectHandle::newNull());
        } else {
            held.pdf.emptyPDF();
            held.form = imageForm(held.pdf, imageObject(held.pdf, held.bytes, path), sheetWidth,
                                  sheetHeight);
            held.bytes.clear(); // the image object holds what it needs
        }
    } catch (const Failure&) {
        throw;
    } catch (const std::exception& e) {
        throw Failure(readAction(), path, QString::fromStdString(e.what()));
    }
    return backdrop;
}

} // namespace tarvel
