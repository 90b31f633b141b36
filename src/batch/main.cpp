// tarvel-batch: the window's start-up, then one print run, the ledger's history or a reprint.

#include "batch/batchtools.h"
#include "batch/ceremonycommand.h"
#include "batch/commandline.h"
#include "batch/ecertcommand.h"
#include "batch/ledgercommands.h"
#include "batch/printcommand.h"
#include "batch/servecommand.h"
#include "batch/watchcommand.h"
#include "layout/layoutfile.h"
#include "platform/failure.h"
#include "platform/memoryreuse.h"
#include "platform/qt/fonts.h"
#include "platform/qt/translations.h"
#include "platform/stopsignals.h"
#include "platform/words.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace tarvel::batch {

namespace {

/// The window's start-up, then the command asked for.
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
    if (session.layoutLoad.outcome == LayoutLoad::Repaired)
        say(Words::tr("the layout file %1 could not be read whole (%2); the defaults were "
                      "written from field %3 on")
                .arg(session.where.dataFile(QString::fromUtf16(kLayoutFileName)),
                     session.layoutLoad.why)
                .arg(session.layoutLoad.field));
    switch (request.command) {
    case Request::Command::History: return showHistory(request, session);
    case Request::Command::Reprint: return reprintFromLedger(request, session);
    case Request::Command::ECertificates: return makeECertificates(request, session);
    case Request::Command::Watch: return runWatch(request, session);
    case Request::Command::Serve: return runServe(request, session);
    case Request::Command::CeremonyList: return printCeremonyLists(request, session);
    case Request::Command::Print: break;
    }
    return runPrint(request, session);
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
    tarvel::keepFreedMemoryForReuse();
    // Before any thread starts, so that every thread inherits it: --watch ends on a stop
    // signal only after the event in hand, --serve after closing its connections. Every other
    // command gives the signals back below.
    tarvel::holdStopSignals();
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
    const auto* request = std::get_if<Request>(&parsed);
    if (!request
        || (request->command != Request::Command::Watch
            && request->command != Request::Command::Serve))
        tarvel::releaseStopSignals();
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
    return run(*request);
}
