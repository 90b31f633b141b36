#include "batch/batchtools.h"

#include "platform/qt/pdfdevice.h"
#include "platform/words.h"

#include <QDir>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace tarvel::batch {

void say(const QString& text)
{
    std::fputs((u"tarvel-batch: "_qs + text + u'\n').toUtf8().constData(), stderr);
}

bool stderrIsTerminal()
{
#ifdef Q_OS_UNIX
    return isatty(STDERR_FILENO) == 1;
#else
    return false;
#endif
}

PrintTarget openTarget(const std::optional<QString>& pdfFolder, const DataLocations& where)
{
    if (!pdfFolder)
        return openDefaultPrintTarget(where);
    PrintTarget target;
    target.kind = PrintTargetKind::PdfFiles;
    target.where = *pdfFolder;
    target.device = std::make_unique<PdfDevice>(*pdfFolder);
    return target;
}

QString destination(PrintTargetKind kind, const QString& where, int documents)
{
    if (kind == PrintTargetKind::Printer)
        return Words::tr("jobs sent to the printer %1").arg(where);
    return Words::tr("%1 PDF file(s) in %2").arg(documents).arg(QDir::toNativeSeparators(where));
}

} // namespace tarvel::batch
