#pragma once
/// A QR code as a picture the window shows, made with libqrencode.

#include <QImage>
#include <QString>

namespace tarvel::ui {

/// The QR code of `text` (its UTF-8 bytes, error correction level M, the smallest version
/// that holds them): black modules of `moduleSize` pixels on white, with the quiet zone of
/// four modules that readers need around it. A null image when libqrencode cannot encode
/// it (the text is too long for any version, or memory ran out).
QImage qrImageOf(const QString& text, int moduleSize = 4);

} // namespace tarvel::ui
