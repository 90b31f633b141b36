#include "batch/batchtools.h"

#include "platform/paths.h"
#include "platform/words.h"

#include <QDateTime>
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

QString timeStamp()
{
    return u"["_qs + QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_qs) + u"] "_qs;
}

PrintTarget openTarget(const std::optional<QString>& pdfFolder, const DataLocations& where,
                       Lookup lookup)
{
    if (pdfFolder)
        return openPdfTarget(*pdfFolder);
    const QString fallback = hostPath(where.dataFile(QString::fromUtf16(kPdfFolderName)));
    PrintTarget target = lookup == Lookup::Now ? openLookedUpPrintTarget(fallback)
                                               : openDefaultPrintTarget(fallback);
    if (target.kind == PrintTargetKind::PdfFiles)
        say(Words::tr("this machine has no print system: the certificates become PDF files in %1")
                .arg(QDir::toNativeSeparators(target.where)));
    return target;
}

QString destination(PrintTargetKind kind, const QString& where, int documents)
{
    if (kind == PrintTargetKind::Printer)
        return Words::tr("jobs sent to the printer %1").arg(where);
    return Words::tr("%1 PDF file(s) in %2").arg(documents).arg(QDir::toNativeSeparators(where));
}

} // namespace tarvel::batch
