#include "ecert/pagesplitter.h"

#include "ecert/sheetbackdrop.h"
#include "platform/failure.h"
#include "platform/words.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <map>

namespace tarvel {

namespace {

QString splitAction()
{
    return Words::tr("splitting the certificates into e-certificate files");
}

/// "D:20261209153000+09'00'", as PDF writes dates.
std::string pdfDate(const QDateTime& when)
{
    const int offset = when.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    const QString zone =
        QString::asprintf("%c%02d'%02d'", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return (u"D:"_qs + when.toString(u"yyyyMMddHHmmss"_qs) + zone).toStdString();
}

/// Content streams compressed once, by their text: every page of an event places the
/// backdrop the same way.
using CompressedContents = std::map<std::string, std::string>;

void putBackdropUnder(QPDF& out, QPDFPageObjectHelper& page, SheetBackdrop& backdrop,
                      CompressedContents& compressed)
{
    const QPDFObjectHandle form = out.copyForeignObject(backdrop.form());
    QPDFObjectHandle resources = page.getAttribute("/Resources", true);
    if (!resources.isDictionary()) {
        resources = QPDFObjectHandle::newDictionary();
        page.getObjectHandle().replaceKey("/Resources", resources);
    }
    QPDFObjectHandle xobjects = resources.getKey("/XObject");
    xobjects = xobjects.isDictionary() ? xobjects.shallowCopy() : QPDFObjectHandle::newDictionary();
    std::string name = "/TarvelBackdrop";
    while (xobjects.hasKey(name))
        name += "0";
    xobjects.replaceKey(name, form);
    resources.replaceKey("/XObject", xobjects);
    const QPDFObjectHandle::Rectangle sheet = page.getMediaBox().getArrayAsRectangle();
    const std::string content = page.placeFormXObject(form, name, sheet, true, true, true);
    auto [at, fresh] = compressed.try_emplace(content);
    if (fresh) {
        const QByteArray packed = qCompress(QByteArray::fromStdString(content), 6);
        at->second = packed.mid(4).toStdString(); // zlib's stream, without Qt's length
    }
    QPDFObjectHandle stream = out.newStream();
    stream.replaceStreamData(at->second, QPDFObjectHandle::newName("/FlateDecode"),
                             QPDFObjectHandle::newNull());
    page.addPageContents(stream, true);
}

void setInfo(QPDF& out, const PageDocumentInfo& info)
{
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(info.title.toStdString()));
    dict.replaceKey("/Author", QPDFObjectHandle::newUnicodeString(info.author.toStdString()));
    dict.replaceKey("/CreationDate", QPDFObjectHandle::newString(pdfDate(info.created)));
    dict.replaceKey("/Creator", QPDFObjectHandle::newString("Tarvel"));
    out.getTrailer().replaceKey("/Info", out.makeIndirectObject(dict));
    QPDFObjectHandle preferences = QPDFObjectHandle::newDictionary();
    preferences.replaceKey("/DisplayDocTitle", QPDFObjectHandle::newBool(true));
    out.getRoot().replaceKey("/ViewerPreferences", preferences);
}

QByteArray written(QPDF& out)
{
    QPDFWriter writer(out);
    writer.setOutputMemory();
    // Streams go as they are: every one was compressed once already (the page's by Qt, the
    // backdrop's when it was read). Without object streams nothing is compressed per file,
    // which costs a few hundred bytes and saves most of the time.
    writer.setDecodeLevel(qpdf_dl_none);
    writer.setObjectStreamMode(qpdf_o_disable);
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()),
                      qsizetype(buffer->getSize()));
}

} // namespace

QList<QByteArray> splitPages(const QByteArray& pdf, SheetBackdrop* backdrop,
                             const QList<PageDocumentInfo>& info, const QString& documentName)
{
    QList<QByteArray> documents;
    try {
        QPDF in;
        in.setSuppressWarnings(true);
        const std::string name = documentName.toStdString();
        in.processMemoryFile(name.c_str(), pdf.constData(), size_t(pdf.size()));
        // A page carries what it inherits from the page tree into a document of its own.
        in.pushInheritedAttributesToPage();
        const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(in).getAllPages();
        if (qsizetype(pages.size()) != info.size())
            throw Failure(splitAction(), documentName,
                          Words::tr("it has %1 pages, not %2").arg(pages.size()).arg(info.size()));
        documents.reserve(info.size());
        CompressedContents compressed;
        for (qsizetype i = 0; i < info.size(); ++i) {
            QPDF out;
            out.setSuppressWarnings(true);
            out.emptyPDF();
            QPDFPageDocumentHelper outPages(out);
            outPages.addPage(pages[size_t(i)], false);
            QPDFPageObjectHelper page = outPages.getAllPages().front();
            if (backdrop)
                putBackdropUnder(out, page, *backdrop, compressed);
            setInfo(out, info[i]);
            documents.append(written(out));
        }
    } catch (const Failure&) {
        throw;
    } catch (const std::exception& e) {
        throw Failure(splitAction(), documentName, QString::fromStdString(e.what()));
    }
    return documents;
}

} // namespace tarvel
