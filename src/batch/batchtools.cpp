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

PrintTarget openTarget(const Request& request, const Session& session)
{
    if (!request.pdfFolder)
        return openDefaultPrintTarget(session.where);
    PrintTarget target;
    target.kind = PrintTargetKind::PdfFiles;
    target.where = *request.pdfFolder;
    target.device = std::make_unique<PdfDevice>(*request.pdfFolder);
    return target;
}

QString destination(const PrintTarget& target, int documents)
{
    if (target.kind == PrintTargetKind::Printer)
        return Words::tr("jobs sent to the printer %1").arg(target.where);
    return Words::tr("%1 PDF file(s) in %2")
        .arg(documents)
        .arg(QDir::toNativeSeparators(target.where));
}

} // namespace tarvel::batch
