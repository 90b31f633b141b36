#include "poppler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace tarvel::testing {

QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(u' ').toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

namespace {

QString pdfInfoField(const QString& pdf, const QString& field)
{
    const QStringList lines = runTool(u"pdfinfo"_qs, {pdf}).split(u'\n');
    for (const QString& line : lines) {
        if (line.startsWith(field + u':'))
            return line.mid(field.size() + 1).trimmed();
    }
    return {};
}

QString unescapeHtml(QString text)
{
    text.replace(u"&lt;"_qs, u"<"_qs).replace(u"&gt;"_qs, u">"_qs);
    text.replace(u"&quot;"_qs, u"\""_qs).replace(u"&apos;"_qs, u"'"_qs);
    return text.replace(u"&amp;"_qs, u"&"_qs);
}

} // namespace

int pdfPageCount(const QString& pdf)
{
    bool ok = false;
    const int pages = pdfInfoField(pdf, u"Pages"_qs).toInt(&ok);
    return ok ? pages : -1;
}

QString pdfPageSize(const QString& pdf)
{
    return pdfInfoField(pdf, u"Page size"_qs);
}

QString pdfText(const QString& pdf)
{
    return runTool(u"pdftotext"_qs, {u"-enc"_qs, u"UTF-8"_qs, pdf, u"-"_qs});
}

QStringList pdfFontNames(const QString& pdf)
{
    QStringList names;
    const QStringList lines = runTool(u"pdffonts"_qs, {pdf}).split(u'\n', Qt::SkipEmptyParts);
    // Two header lines, then one font per line, its name first.
    for (qsizetype i = 2; i < lines.size(); ++i) {
        QString name = lines[i].section(u' ', 0, 0, QString::SectionSkipEmpty);
        if (name.size() > 7 && name[6] == u'+')
            name = name.mid(7);
        names.append(name);
    }
    return names;
}

std::vector<PdfWord> pdfWords(const QString& pdf)
{
    const QString html =
        runTool(u"pdftotext"_qs, {u"-bbox"_qs, u"-enc"_qs, u"UTF-8"_qs, pdf, u"-"_qs});
    static const QRegularExpression pageTag(u"<page "_qs);
    static const QRegularExpression word(
        u"<word xMin=\"([-0-9.]+)\" yMin=\"([-0-9.]+)\" xMax=\"([-0-9.]+)\" yMax=\"([-0-9.]+)\">([^<]*)</word>"_qs);
    std::vector<PdfWord> words;
    const QStringList pages = html.split(pageTag);
    for (qsizetype p = 1; p < pages.size(); ++p) {
        auto matches = word.globalMatch(pages[p]);
        while (matches.hasNext()) {
            const auto m = matches.next();
            const double x0 = m.captured(1).toDouble();
            const double y0 = m.captured(2).toDouble();
            words.push_back(PdfWord{unescapeHtml(m.captured(5)),
                                    QRectF(QPointF(x0, y0), QPointF(m.captured(3).toDouble(),
                                                                    m.captured(4).toDouble())),
                                    int(p)});
        }
    }
    return words;
}

QString withoutBlanks(QString text)
{
    static const QRegularExpression blanks(u"\\s"_qs,
                                           QRegularExpression::UseUnicodePropertiesOption);
    text.remove(blanks);
    return text;
}

QStringList pdfRows(const std::vector<PdfWord>& words)
{
    std::vector<PdfWord> sorted = words;
    std::stable_sort(sorted.begin(), sorted.end(), [](const PdfWord& a, const PdfWord& b) {
        return std::pair(a.page, a.box.top()) < std::pair(b.page, b.box.top());
    });
    // A row: the words of a page whose tops lie within 2 points of the row's first.
    QStringList rows;
    for (auto begin = sorted.begin(); begin != sorted.end();) {
        auto end = std::find_if(begin, sorted.end(), [&](const PdfWord& word) {
            return word.page != begin->page || word.box.top() > begin->box.top() + 2.0;
        });
        std::stable_sort(begin, end, [](const PdfWord& a, const PdfWord& b) {
            return a.box.left() < b.box.left();
        });
        QString row;
        for (auto word = begin; word != end; ++word)
            row += withoutBlanks(word->text);
        rows << row;
        begin = end;
    }
    return rows;
}

QImage renderPdfPage(const QString& pdf, int page, int dpi)
{
    const QString prefix = QFileInfo(pdf).absolutePath() + u'/' + QFileInfo(pdf).completeBaseName()
                           + u"-page"_qs + QString::number(page);
    runTool(u"pdftoppm"_qs,
            {u"-r"_qs, QString::number(dpi), u"-f"_qs, QString::number(page), u"-l"_qs,
             QString::number(page), u"-png"_qs, u"-singlefile"_qs, pdf, prefix});
    return QImage(prefix + u".png"_qs);
}

int inkedPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                ++count;
        }
    }
    return count;
}

} // namespace tarvel::testing
