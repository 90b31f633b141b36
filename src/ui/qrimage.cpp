#include "ui/qrimage.h"

#include <QPainter>

#include <qrencode.h>

#include <memory>

namespace tarvel::ui {

namespace {

/// The quiet zone, in modules, that the QR code standard asks for on every side.
constexpr int kQuietZone = 4;

struct QrCodeFree {
    void operator()(QRcode* code) const { QRcode_free(code); }
};

} // namespace

QImage qrImageOf(const QString& text, int moduleSize)
{
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty() || bytes.contains('\0') || moduleSize < 1)
        return {};
    const std::unique_ptr<QRcode, QrCodeFree> code(
        QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M));
    if (!code)
        return {};
    const int modules = code->width;
    const int side = (modules + 2 * kQuietZone) * moduleSize;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < modules; ++y) {
        for (int x = 0; x < modules; ++x) {
            // The lowest bit of each byte says whether the module is dark.
            if (code->data[y * modules + x] & 1)
                painter.fillRect((kQuietZone + x) * moduleSize, (kQuietZone + y) * moduleSize,
                                 moduleSize, moduleSize, Qt::black);
        }
    }
    return image;
}

} // namespace tarvel::ui
