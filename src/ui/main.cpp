// tarvel: the certificate printer's window.

#include "platform/memoryreuse.h"
#include "platform/qt/translations.h"
#include "platform/words.h"
#include "ui/program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>
#include <optional>

namespace {

/// The window speaks Japanese, whatever the system's language.
const QLocale kJapanese(QLocale::Japanese, QLocale::Japan);

/// The program's options. Our own help option: Qt's own one is not translated, and its
/// Qt-specific options are of no use at a meet.
struct Options {
    QCommandLineParser parser;
    QCommandLineOption help{{u"h"_qs, u"help"_qs}, tarvel::Words::tr("Shows this help.")};
    QCommandLineOption directory{
        {u"C"_qs, u"directory"_qs}, tarvel::Words::tr("Starts as if started in DIR."), u"DIR"_qs};

    Options()
    {
        parser.setApplicationDescription(tarvel::Words::tr(
            "The certificate printer's window, on the meet whose location file is "
            "..\\ctl\\dr_kyo.ctl from the working folder; when it is not there, the window "
            "lets you choose the meet."));
        parser.addOption(help);
        parser.addVersionOption();
        parser.addOption(directory);
    }
};

/// Answers --help and --version, which need no display: with an application object that
/// does not open one. Returns the exit code when one of them was answered. Anything it
/// cannot parse (Qt's own options such as -platform among them) is left to the window's
/// application, which takes those options out first.
std::optional<int> answerWithoutDisplay(int& argc, char** argv)
{
    QCoreApplication core(argc, argv);
    tarvel::installTranslations(core, kJapanese);
    Options options;
    if (!options.parser.parse(QCoreApplication::arguments()))
        return std::nullopt;
    if (options.parser.isSet(options.help)) {
        std::fputs(qPrintable(options.parser.helpText()), stdout);
        return 0;
    }
    if (options.parser.isSet(u"version"_qs)) {
        std::fputs(qPrintable(u"tarvel "_qs + QCoreApplication::applicationVersion() + u'\n'),
                   stdout);
        return 0;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    tarvel::keepFreedMemoryForReuse();
    // Before any application object: Qt reads the system's locale once.
    tarvel::makeJapaneseTheSystemLocale();
    QCoreApplication::setApplicationName(u"tarvel"_qs);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(TARVEL_VERSION));
    if (const std::optional<int> answered = answerWithoutDisplay(argc, argv))
        return *answered;

    QApplication app(argc, argv);
    tarvel::installTranslations(app, kJapanese);
    Options options;
    options.parser.process(app); // bad usage ends here with 1
    if (options.parser.isSet(options.help))
        options.parser.showHelp(0);
    const QString directory = options.parser.value(options.directory);
    if (options.parser.isSet(options.directory) && !QDir::setCurrent(directory)) {
        std::fputs(qPrintable(tarvel::Words::tr("tarvel: no such folder: %1\n").arg(directory)),
                   stderr);
        return 2;
    }

    std::unique_ptr<tarvel::ui::FrmBrev> window = tarvel::ui::openMainWindow();
    if (!window)
        return 1;
    window->show();
    return app.exec();
}
