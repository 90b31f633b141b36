#pragma once
/// Reading PDF files back with poppler's command-line tools, for tests.

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

namespace tarvel::testing {

/// The output of a program run to its end; empty when it cannot be run. Fails the test
/// (non-fatally) when the program fails.
QString runTool(const QString& program, const QStringList& arguments);

/// "Pages:" of pdfinfo.
int pdfPageCount(const QString& pdf);
/// "Page size:" of pdfinfo, e.g. "595.276 x 841.89 pts (A4)".
QString pdfPageSize(const QString& pdf);
/// The text of every page (pdftotext, UTF-8).
QString pdfText(const QString& pdf);
/// The font names of pdffonts, subset tags ("ABCDEF+") removed.
QStringList pdfFontNames(const QString& pdf);

struct PdfWord {
    QString text;
    QRectF box; // points from the top-left corner of the page
    int page = 0;
};
/// The words with their boxes (pdftotext -bbox).
std::vector<PdfWord> pdfWords(const QString& pdf);

/// The lines of the pages as a reader sees them: words of one height on a page, left to
/// right, joined without blanks (pdftotext alone splits a row at wide gaps).
QStringList pdfRows(const std::vector<PdfWord>& words);
/// `text` with every blank (full-width ones too) removed.
QString withoutBlanks(QString text);

/// Page `page` (from 1) rendered by pdftoppm at `dpi`, saved beside the PDF as well.
QImage renderPdfPage(const QString& pdf, int page, int dpi);

/// How many pixels in `area` of `image` are darker than mid-grey.
int inkedPixels(const QImage& image, const QRect& area);

} // namespace tarvel::testing
