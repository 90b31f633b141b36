#pragma once
/// The blank certificate (the designer's backdrop) ready to go under e-certificate pages as
/// one form: a PDF's first page kept as vector content, an image as it is.

#include <QByteArray>
#include <QString>

#include <memory>

class QPDF;
class QPDFObjectHandle;

namespace tarvel {

/// Holds the backdrop's file in memory and a PDF document (qpdf) with one form XObject
/// that draws it: a PDF's first page as it is (vector content, its fonts and images); a
/// JPEG's bytes as they are (no decoding, no loss); any other image Qt reads as its pixels,
/// losslessly compressed once. An image's form is the size of the sheet it is stretched
/// over, as the designer's preview stretches it; a PDF page keeps its proportions.
/// Use from one thread at a time; the pages it is put under read from it until written.
class SheetBackdrop {
public:
    /// Reads `path`, a path of this machine (a regular file of at most 64 MB; an image of at
    /// most 50 million pixels). `sheetWidth` and `sheetHeight` are the sheet's size in
    /// points. Throws tarvel::Failure naming the file and why it cannot be used.
    static std::unique_ptr<SheetBackdrop> read(const QString& path, double sheetWidth,
                                               double sheetHeight);
    ~SheetBackdrop();
    SheetBackdrop(const SheetBackdrop&) = delete;
    SheetBackdrop& operator=(const SheetBackdrop&) = delete;

    /// The document the form belongs to, and the form.
    QPDF& document();
    QPDFObjectHandle form() const;
    const QString& path() const { return path_; }

private:
    SheetBackdrop();
    struct Held;
    std::unique_ptr<Held> held_;
    QString path_;
};

} // namespace tarvel
