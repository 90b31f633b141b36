#pragma once
/// Reading the image of a blank certificate: a scan or photo, or the first page of a PDF.

#include <QImage>
#include <QString>

#include <chrono>
#include <functional>

namespace tarvel {

/// Bounds on what is read as a blank certificate, so that a wrong file can neither fill
/// the memory nor keep the reader busy for long.
struct BackdropLimits {
    /// The file, whatever its kind (a scan of one sheet is a few MB).
    qint64 fileBytes = 64LL * 1024 * 1024;
    /// The image as the file declares it, before it is decoded.
    qint64 pixels = 50'000'000;
    /// The longest side kept, in pixels: larger images are scaled down, PDF pages are
    /// rendered to it (the previews never show more).
    int longestSide = 2400;
    /// How long pdftoppm may take for the page before it is killed.
    std::chrono::milliseconds pdfDeadline{20000};
};

/// Reads `path` (a path of this machine): PNG, JPEG and the other formats Qt reads, or the
/// first page of a PDF, which poppler's pdftoppm renders as a child process (already needed
/// for reading PDFs back; no PDF library is linked for one picture). Only a regular file is
/// read: a folder, a pipe or a device is refused without being opened for reading (a pipe
/// would wait for a writer). Blocks for as long as reading takes: call it off the GUI
/// thread. `abandoned`, when given, is asked while pdftoppm runs; true kills it. Any thread.
/// Throws tarvel::Failure naming the file and why it could not be read, a bound it passes
/// included.
QImage loadBackdropImage(const QString& path, const BackdropLimits& limits = {},
                         const std::function<bool()>& abandoned = {});

} // namespace tarvel
