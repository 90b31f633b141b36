// tarvel: the certificate printer's window.

#include "platform/qt/translations.h"
#include "platform/words.h"
#include "ui/program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"tarvel"_qs);
    QApplication::setApplicationVersion(QString::fromLatin1(TARVEL_VERSION));
    // The window speaks Japanese, whatever the system's language.
    tarvel::installTranslations(app, QLocale(QLocale::Japanese, QLocale::Japan));

    QCommandLineParser parser;
    parser.setApplicationDescription(tarvel::Words::tr(
        "The certificate printer's window, on the meet whose location file is "
        "..\\ctl\\dr_kyo.ctl from the working folder; when it is not there, the window lets "
        "you choose the meet."));
    // Our own help option: Qt's own one is not translated, and its Qt-specific options are of
    // no use at a meet.
    const QCommandLineOption help({u"h"_qs, u"help"_qs}, tarvel::Words::tr("Shows this help."));
    parser.addOption(help);
    parser.addVersionOption();
    const QCommandLineOption directory(
        {u"C"_qs, u"directory"_qs}, tarvel::Words::tr("Starts as if started in DIR."), u"DIR"_qs);
    parser.addOption(directory);
    parser.process(app); // --version answers and ends here; bad usage ends with 1
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(directory) && !QDir::setCurrent(parser.value(directory))) {
        std::fputs(
            qPrintable(
                tarvel::Words::tr("tarvel: no such folder: %1\n").arg(parser.value(directory))),
            stderr);
        return 2;
    }

    std::unique_ptr<tarvel::ui::FrmBrev> window = tarvel::ui::openMainWindow();
    if (!window)
        return 1;
    window->show();
    return app.exec();
}
