#pragma once
/// Reading the image of a blank certificate: a scan or photo, or the first page of a PDF.

#include <QImage>
#include <QString>

namespace tarvel {

/// Reads `path` (a path of this machine): PNG, JPEG and the other formats Qt reads, or the
/// first page of a PDF, which poppler's pdftoppm renders at 100 dpi as a child process
/// (already needed for reading PDFs back; no PDF library is linked for one picture).
/// Throws tarvel::Failure naming the file and why it could not be read.
QImage loadBackdropImage(const QString& path);

} // namespace tarvel
