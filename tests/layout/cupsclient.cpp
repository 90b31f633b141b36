// Prints two documents on the default printer, for the spooler test: a certificate run of
// three pages and a test page. Run with CUPS_SERVER naming the scheduler to use.
// Usage: cupsclient <data folder>
#include "layout/drawing.h"
#include "platform/failure.h"
#include "platform/qt/fonts.h"
#include "platform/qt/printtarget.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    using namespace tarvel;
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: cupsclient <data folder>\n");
        return 2;
    }
    registerFontSubstitutions();
    try {
        DataLocations where;
        where.dataDir = QString::fromLocal8Bit(argv[1]) + u'/';
        PrintTarget target = openDefaultPrintTarget(where);
        std::printf("%s %s\n", target.kind == PrintTargetKind::Printer ? "printer" : "pdf",
                    target.where.toUtf8().constData());
        if (target.kind != PrintTargetKind::Printer)
            return 3;

        const Layout layout = defaultLayout();
        const ItemTexts texts = startupItemTexts(layout);
        target.device->setDocumentName(u"race-001"_qs);
        for (int page = 0; page < 3; ++page)
            printPage(*target.device, layout, texts, PreviewOnly::No);
        target.device->endDocument();
        target.device->setDocumentName(u"test"_qs);
        printPage(*target.device, layout, texts, PreviewOnly::No);
        target.device->endDocument();
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
