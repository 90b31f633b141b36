// tarvel-batch: the window's start-up and one print run, from the command line.

#include "batch/batchobserver.h"
#include "batch/commandline.h"
#include "layout/layoutfile.h"
#include "platform/failure.h"
#include "platform/qt/fonts.h"
#include "platform/qt/pdfdevice.h"
#include "platform/qt/translations.h"
#include "platform/words.h"
#include "platform/qt/printtarget.h"
#include "printrun/printrun.h"
#include "printrun/runaccount.h"
#include "printrun/session.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace tarvel::batch {

namespace {

enum ExitCode { kDone = 0, kFailed = 1, kBadUsage = 2 };

void say(const QString& text)
{
    std::fputs(qPrintable(u"tarvel-batch: "_qs + text + u"\n"_qs), stderr);
}

bool stderrIsTerminal()
{
#ifdef Q_OS_UNIX
    return isatty(STDERR_FILENO) == 1;
#else
    return false;
#endif
}

QString destination(const PrintTarget& target)
{
    if (target.kind == PrintTargetKind::Printer)
        return Words::tr("jobs sent to the printer %1").arg(target.where);
    const auto* pdf = dynamic_cast<const PdfDevice*>(target.device.get());
    const qsizetype files = pdf ? pdf->writtenFiles().size() : 0;
    return Words::tr("%1 PDF file(s) in %2").arg(files).arg(QDir::toNativeSeparators(target.where));
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

/// Tells a repaired layout file once: the run goes on with what could be read.
void reportLayoutRepair(const Session& session)
{
    if (session.layoutLoad.outcome != LayoutLoad::Repaired)
        return;
    say(Words::tr("the layout file %1 could not be read whole (%2); the defaults were written "
                  "from field %3 on")
            .arg(session.where.dataFile(QString::fromUtf16(kLayoutFileName)),
                 session.layoutLoad.why)
            .arg(session.layoutLoad.field));
}

void sayAccount(const RunSummary& summary, const PrintOptions& options,
                const PrintTarget& target)
{
    for (const QString& line : describeRun(summary, options.previewOnly))
        say(line);
    if (summary.eventsPrinted > 0 && options.previewOnly == PreviewOnly::No)
        say(destination(target));
}

int run(const Request& request)
{
    if (!request.directory.isEmpty() && !QDir::setCurrent(request.directory)) {
        say(Words::tr("changing to the folder to run in: %1: no such folder")
                .arg(request.directory));
        return kFailed;
    }
    registerFontSubstitutions();

    Session session;
    try {
        session = startSession();
    } catch (const Failure& failure) {
        // The location file is found from the working folder: name it too.
        const QString folder = QDir::toNativeSeparators(QDir::currentPath());
        say(Words::tr("%1 (working folder %2)").arg(failure.message(), folder));
        return kFailed;
    }
    reportLayoutRepair(session);
    PrintOptions options = request.options;
    options.rankLimitIndividual =
        request.rankLimitIndividual.value_or(session.layout.rankLimitIndividual);
    options.rankLimitRelay = request.rankLimitRelay.value_or(session.layout.rankLimitRelay);

    QFile log;
    if (request.logFile) {
        log.setFileName(*request.logFile);
        if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            say(Words::tr("opening the log: %1: %2").arg(*request.logFile, log.errorString()));
            return kFailed;
        }
    }

    PrintTarget target = openTarget(request, session);
    // The printer takes the certificate face, as the window gives it the preview's.
    target.device->setFontFace(QString::fromUtf16(kCertificateFace));
    BatchObserver observer(log.isOpen() ? &log : nullptr,
                           stderrIsTerminal() ? BatchObserver::Progress::Shown
                                              : BatchObserver::Progress::Hidden);
    RunSummary summary;
    try {
        summary = PrintRun(session, options, *target.device, nullptr, &observer);
    } catch (const RunStopped& stopped) {
        observer.finishProgress();
        say(stopped.message());
        say(Words::tr("the run stopped there:"));
        sayAccount(stopped.summary(), options, target);
        return kFailed;
    } catch (const Failure& failure) {
        observer.finishProgress();
        say(failure.message());
        return kFailed;
    }
    observer.finishProgress();

    if (log.isOpen() && (!log.flush() || log.error() != QFileDevice::NoError)) {
        say(Words::tr("writing the log: %1: %2").arg(*request.logFile, log.errorString()));
        return kFailed;
    }
    sayAccount(summary, options, target);
    return hasUnprintedEvents(summary) ? kFailed : kDone;
}

/// Qt's own notes go to stderr as usual, except the one about a missing XDG_RUNTIME_DIR,
/// which a tool that draws no window does not need and would only bury the summary.
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(u"QStandardPaths: XDG_RUNTIME_DIR"_qs))
        return;
    std::fputs(qPrintable(qFormatLogMessage(type, context, message) + u"\n"_qs), stderr);
}

} // namespace

} // namespace tarvel::batch

int main(int argc, char** argv)
{
    qInstallMessageHandler(tarvel::batch::messageHandler);
    // The tool draws no window: it needs Qt's fonts, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(u"tarvel-batch"_qs);
    QGuiApplication::setApplicationVersion(QString::fromLatin1(TARVEL_VERSION));
    // The operator's language: Japanese under a Japanese locale, English otherwise.
    tarvel::installTranslations(app, QLocale::system());

    using namespace tarvel::batch;
    const ParseResult parsed = parseCommandLine(QGuiApplication::arguments(), QDir::currentPath());
    if (const auto* help = std::get_if<ShowHelp>(&parsed)) {
        std::fputs(qPrintable(help->text), stdout);
        return kDone;
    }
    if (std::holds_alternative<ShowVersion>(parsed)) {
        std::fputs(qPrintable(u"tarvel-batch "_qs + QGuiApplication::applicationVersion() + u'\n'),
                   stdout);
        return kDone;
    }
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        say(error->message);
        say(tarvel::Words::tr("try tarvel-batch --help"));
        return kBadUsage;
    }
    return run(std::get<Request>(parsed));
}
