#include "batch/commandline.h"

#include "meetdb/racestatus.h"
#include "platform/words.h"
#include "printrun/printchoices.h"

#include <QCommandLineParser>
#include <QDir>
#include <QRegularExpression>

#ifdef Q_OS_WIN
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#endif

namespace tarvel::batch {

namespace {

QString description()
{
    return Words::tr("Prints the certificates of the ready races without the window: the "
                     "start-up of the window (the location file ..\\ctl\\dr_kyo.ctl, the layout "
                     "file, the meet header), then one print run. The layout file is never "
                     "saved; options do not change it. Relative --pdf and --log paths are taken "
                     "from where the tool is started. Choices may be given by their word or by "
                     "the window's caption (--condition 随時, --round 決勝).\n\n"
                     "Exit status: 0 done, 1 a failure ended the run, an event was left "
                     "unprinted or an award list was not delivered, 2 bad usage.");
}

/// An option choosing one of a group of print conditions.
struct ChoiceOption {
    const PrintChoiceGroup& group;
    QCommandLineOption option;
};

ChoiceOption choiceOption(const PrintChoiceGroup& group, const QString& help,
                          const QString& valueName)
{
    const QString choices =
        Words::tr("%1; default %2.")
            .arg(group.describe(), QString::fromLatin1(group.choices[group.initial].word));
    return {group, QCommandLineOption(QString::fromLatin1(group.option), help + u' ' + choices,
                                      valueName)};
}

/// Reading Race.dat more often than this would only keep the disk busy.
constexpr int kShortestInterval = 10;

bool isWholeNumber(const QString& text)
{
    static const QRegularExpression digits(u"^[0-9]+$"_qs);
    return digits.match(text).hasMatch();
}

/// "RACE", "RACE:LANE" or "RACE:LANE:LEG", lanes and legs counted from 1.
std::optional<ReprintChoice> parseReprint(const QString& text)
{
    static const QRegularExpression form(u"^([0-9]{1,4})(?::([0-9]{1,2})(?::([0-9]))?)?$"_qs);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    ReprintChoice choice;
    choice.raceNo = match.captured(1).toInt();
    if (choice.raceNo < 1 || choice.raceNo > 1024)
        return std::nullopt;
    if (match.hasCaptured(2)) {
        const int lane = match.captured(2).toInt();
        if (lane < 1 || lane > 12)
            return std::nullopt;
        choice.lane = lane - 1;
    }
    if (match.hasCaptured(3)) {
        const int leg = match.captured(3).toInt();
        if (leg < 1 || leg > 4)
            return std::nullopt;
        choice.leg = leg - 1;
    }
    return choice;
}

/// "all" (every event: an empty list) or races 1 to 1024 separated by commas.
std::optional<QList<int>> parseRaceList(const QString& text)
{
    if (text == u"all")
        return QList<int>();
    QList<int> races;
    for (const QString& part : text.split(u',')) {
        const int race = isWholeNumber(part) && part.size() <= 4 ? part.toInt() : 0;
        if (race < 1 || race > 1024)
            return std::nullopt;
        races << race;
    }
    return races;
}

/// Whether `text` is a numeric address of `family` (AF_INET, AF_INET6), as the system reads
/// one: no names, which would need a lookup and could mean another machine tomorrow.
bool isNumericAddress(int family, const QString& text)
{
    unsigned char bytes[16];
    return inet_pton(family, text.toLatin1().constData(), bytes) == 1 && text.size() < 64;
}

} // namespace

std::optional<ListenAt> parseListen(const QString& text)
{
    static const QRegularExpression form(
        u"^(?:\\[([^\\]]*)\\]|([^:\\[\\]]*))(?::([0-9]{1,5}))?$"_qs);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    ListenAt at;
    const bool bracketed = match.hasCaptured(1);
    at.address = bracketed ? match.captured(1) : match.captured(2);
    if (!isNumericAddress(bracketed ? AF_INET6 : AF_INET, at.address))
        return std::nullopt;
    if (match.hasCaptured(3)) {
        const int port = match.captured(3).toInt();
        if (port > 65535)
            return std::nullopt;
        at.port = std::uint16_t(port);
    }
    return at;
}

ParseResult parseCommandLine(const QStringList& arguments, const QString& startDirectory)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({u"h"_qs, u"help"_qs}, Words::tr("Shows this help."));
    const QCommandLineOption version(u"version"_qs, Words::tr("Shows the program's version."));
    const QCommandLineOption directory({u"C"_qs, u"directory"_qs},
                                       Words::tr("Runs as if started in DIR."), u"DIR"_qs);
    const ChoiceOption condition = choiceOption(
        kConditionGroup, Words::tr("Which races are ready: status 8 only, or 8 and later."),
        u"WHEN"_qs);
    const ChoiceOption distance =
        choiceOption(kDistanceGroup, Words::tr("Only this distance."), u"METRES"_qs);
    const ChoiceOption stroke =
        choiceOption(kStrokeGroup, Words::tr("Only this stroke."), u"STROKE"_qs);
    const ChoiceOption round =
        choiceOption(kRoundGroup, Words::tr("Only this round."), u"ROUND"_qs);
    const ChoiceOption sex = choiceOption(kSexGroup, Words::tr("Only this sex."), u"SEX"_qs);
    const QCommandLineOption prefix(
        u"prefix"_qs, Words::tr("Only registration numbers beginning with TEXT (旧番号)."),
        u"TEXT"_qs);
    const QCommandLineOption rankIndividual(
        u"rank-individual"_qs,
        Words::tr("Highest rank printed in individual events, a whole number (default: the "
                  "layout file's)."),
        u"N"_qs);
    const QCommandLineOption rankRelay(
        u"rank-relay"_qs,
        Words::tr("Highest rank printed in relays, a whole number (default: the layout "
                  "file's)."),
        u"N"_qs);
    const QCommandLineOption previewOnly(
        u"preview-only"_qs, Words::tr("Composes and logs; prints nothing, marks nothing."));
    const QCommandLineOption pdf(
        u"pdf"_qs,
        Words::tr("Each print document as a PDF file in DIR instead of the default printer."),
        u"DIR"_qs);
    const QCommandLineOption log(
        u"log"_qs, Words::tr("One JSON line per certificate accepted, in print order."),
        u"FILE"_qs);
    const QCommandLineOption history(
        u"history"_qs,
        Words::tr("Lists the certificate ledger, one line per certificate, newest first; "
                  "prints nothing."));
    const QCommandLineOption csv(
        u"csv"_qs,
        Words::tr("With --history: writes the ledger to FILE as CSV (UTF-8 with a byte-order "
                  "mark) instead."),
        u"FILE"_qs);
    const QCommandLineOption reprint(
        u"reprint"_qs,
        Words::tr("Prints again, from the ledger, the certificates printed for RACE (the "
                  "event's last heat), or one lane of the heat RACE, or one leg of a relay "
                  "lane (lanes and legs from 1), as one document; Race.dat is not touched."),
        u"RACE[:LANE[:LEG]]"_qs);
    const QCommandLineOption watch(
        u"watch"_qs,
        Words::tr("Keeps watching Race.dat and prints each event as soon as its last heat is "
                  "ready, until SIGINT or SIGTERM; then ends after the event in hand. Each "
                  "run's account goes to stderr with the time; --log grows across runs."));
    const QCommandLineOption interval(
        u"interval"_qs,
        Words::tr("With --watch: reads Race.dat every MS milliseconds besides the change "
                  "notifications (default 500)."),
        u"MS"_qs);
    const QCommandLineOption eCertificates(
        u"make-e-certificates"_qs,
        Words::tr("Writes every certificate of the ledger (its latest copy, with the texts as "
                  "printed) as a PDF file of its own on the blank certificate, in the data "
                  "folder's e-certificates, a folder per affiliation; prints nothing."));
    const QCommandLineOption alongside(
        u"e-certificates"_qs,
        Words::tr("Also writes each event's certificates as e-certificates (a PDF file each, "
                  "as --make-e-certificates does) right after its document was delivered; a "
                  "failure there is told once and stops nothing."));
    const QCommandLineOption race(
        u"race"_qs,
        Words::tr("With --make-e-certificates: only the event of RACE (its last heat or a "
                  "heat); may be given again."),
        u"RACE"_qs);
    const QCommandLineOption affiliation(
        u"affiliation"_qs,
        Words::tr("With --make-e-certificates: only the certificates of the affiliation TEXT."),
        u"TEXT"_qs);
    const QCommandLineOption zip(
        u"zip"_qs, Words::tr("With --make-e-certificates: also one ZIP per affiliation written, "
                             "beside its folder."));
    const QCommandLineOption ceremonyList(
        u"ceremony-list"_qs,
        Words::tr("After each event's certificates, sends its award list (表彰者一覧) to the "
                  "destination chosen in the window (the user's settings)."));
    const QCommandLineOption ceremonyPrinter(
        u"ceremony-printer"_qs,
        Words::tr("Sends the award lists to the printer NAME (never the certificates' own)."),
        u"NAME"_qs);
    const QCommandLineOption ceremonyPdf(
        u"ceremony-pdf"_qs, Words::tr("Writes the award lists as PDF files in DIR."), u"DIR"_qs);
    const QCommandLineOption ceremonyListOf(
        u"ceremony-list-of"_qs,
        Words::tr("Prints nothing else: the award lists of the events whose last heats are "
                  "RACE,... (or of every event printed so far: all) as one document, from the "
                  "ledger, in race order."),
        u"RACE[,RACE...]|all"_qs);
    const QCommandLineOption serve(
        u"serve"_qs,
        Words::tr("Serves the venue page (the award board, the team downloads, the desk's "
                  "page) to browsers until SIGINT or SIGTERM; with --watch, while watching."));
    const QCommandLineOption listen(
        u"listen"_qs,
        Words::tr("With --serve: listens on ADDR:PORT ([ADDR]:PORT for IPv6; port 0: any "
                  "free one) instead of 127.0.0.1:%1. Any other address lets other machines "
                  "in.")
            .arg(web::kDefaultVenuePort),
        u"ADDR:PORT"_qs);
    const QCommandLineOption accessCodeFile(
        u"access-code-file"_qs,
        Words::tr("With --serve: the meet's access code for the team page is the first line "
                  "of FILE (readable by its owner only). Without it the team page takes no "
                  "code."),
        u"FILE"_qs);
    const QCommandLineOption deskPinFile(
        u"desk-pin-file"_qs,
        Words::tr("With --serve: the desk PIN for the desk's page is the first line of FILE "
                  "(readable by its owner only). Without it the desk's page takes no PIN."),
        u"FILE"_qs);
    parser.addOptions({help,
                       version,
                       directory,
                       condition.option,
                       distance.option,
                       stroke.option,
                       round.option,
                       sex.option,
                       prefix,
                       rankIndividual,
                       rankRelay,
                       previewOnly,
                       pdf,
                       log,
                       history,
                       csv,
                       reprint,
                       watch,
                       interval,
                       eCertificates,
                       race,
                       affiliation,
                       zip,
                       alongside,
                       ceremonyList,
                       ceremonyPrinter,
                       ceremonyPdf,
                       ceremonyListOf,
                       serve,
                       listen,
                       accessCodeFile,
                       deskPinFile});

    if (!parser.parse(arguments))
        return UsageError{parser.errorText()};
    if (parser.isSet(help))
        return ShowHelp{parser.helpText()};
    if (parser.isSet(version))
        return ShowVersion{};
    if (!parser.positionalArguments().isEmpty())
        return UsageError{
            Words::tr("unexpected argument: %1").arg(parser.positionalArguments().first())};

    std::optional<UsageError> error;
    auto choice = [&](const ChoiceOption& choice) {
        if (!parser.isSet(choice.option))
            return choice.group.initial;
        const QString value = parser.value(choice.option);
        const int index = choice.group.indexOf(value);
        if (index < 0 && !error) {
            error =
                UsageError{Words::tr("--%1: \"%2\" is not one of %3")
                               .arg(choice.option.names().first(), value, choice.group.describe())};
        }
        return index;
    };
    Request request;
    request.options.condition = conditionOfChoice(choice(condition));
    request.options.distance = choice(distance);
    request.options.stroke = choice(stroke);
    request.options.round = choice(round);
    request.options.sex = choice(sex);
    if (error)
        return *error;

    for (const QCommandLineOption* number : {&rankIndividual, &rankRelay}) {
        if (parser.isSet(*number) && !isWholeNumber(parser.value(*number)))
            return UsageError{Words::tr("--%1: \"%2\" is not a whole number of 0 or more")
                                  .arg(number->names().first(), parser.value(*number))};
    }
    if (parser.isSet(history) && parser.isSet(reprint))
        return UsageError{Words::tr("--history and --reprint cannot be given together")};
    if (parser.isSet(csv) && !parser.isSet(history))
        return UsageError{Words::tr("--csv goes with --history")};
    if (parser.isSet(watch) && (parser.isSet(history) || parser.isSet(reprint)))
        return UsageError{Words::tr("--watch cannot be given with --history or --reprint")};
    if (parser.isSet(watch) && request.options.condition == PrintCondition::Anytime)
        return UsageError{Words::tr("--watch prints only under 同時: under 随時 it would print "
                                    "every finished race again and again")};
    if (parser.isSet(interval)) {
        if (!parser.isSet(watch))
            return UsageError{Words::tr("--interval goes with --watch")};
        const QString value = parser.value(interval);
        if (!isWholeNumber(value) || value.size() > 7 || value.toInt() < kShortestInterval)
            return UsageError{Words::tr("--interval: \"%1\" is not a whole number of "
                                        "milliseconds from %2 to 9999999")
                                  .arg(value)
                                  .arg(kShortestInterval)};
        request.watchInterval = value.toInt();
    }
    if (parser.isSet(eCertificates)
        && (parser.isSet(history) || parser.isSet(reprint) || parser.isSet(watch)))
        return UsageError{Words::tr("--make-e-certificates cannot be given with --history, "
                                    "--reprint or --watch")};
    for (const QCommandLineOption* with : {&race, &affiliation, &zip}) {
        if (parser.isSet(*with) && !parser.isSet(eCertificates))
            return UsageError{
                Words::tr("--%1 goes with --make-e-certificates").arg(with->names().first())};
    }
    for (const QString& value : parser.values(race)) {
        if (!isWholeNumber(value) || value.size() > 4 || value.toInt() < 1
            || value.toInt() > kRaceCount)
            return UsageError{
                Words::tr("--race: \"%1\" is not a race from 1 to %2").arg(value).arg(kRaceCount)};
        request.races.append(value.toInt());
    }
    if (parser.isSet(alongside)
        && (parser.isSet(history) || parser.isSet(reprint) || parser.isSet(eCertificates)))
        return UsageError{Words::tr("--e-certificates goes with a print run or --watch")};
    request.eCertificates = parser.isSet(alongside);
    if (parser.isSet(affiliation))
        request.affiliation = parser.value(affiliation);
    request.zip = parser.isSet(zip);
    if (parser.isSet(eCertificates))
        request.command = Request::Command::ECertificates;
    if (parser.isSet(watch))
        request.command = Request::Command::Watch;
    if (parser.isSet(history))
        request.command = Request::Command::History;
    if (parser.isSet(reprint)) {
        const std::optional<ReprintChoice> choice = parseReprint(parser.value(reprint));
        if (!choice)
            return UsageError{Words::tr("--reprint: \"%1\" is not RACE, RACE:LANE or "
                                        "RACE:LANE:LEG (race 1 to 1024, lane 1 to 12, leg 1 to 4)")
                                  .arg(parser.value(reprint))};
        request.command = Request::Command::Reprint;
        request.reprint = *choice;
    }
    if (parser.isSet(ceremonyPrinter) && parser.isSet(ceremonyPdf))
        return UsageError{Words::tr("--ceremony-printer and --ceremony-pdf cannot be given "
                                    "together")};
    if (parser.isSet(ceremonyListOf)) {
        if (request.command != Request::Command::Print)
            return UsageError{Words::tr("--ceremony-list-of cannot be given with --history, "
                                        "--reprint or --watch")};
        const std::optional<QList<int>> races = parseRaceList(parser.value(ceremonyListOf));
        if (!races)
            return UsageError{Words::tr("--ceremony-list-of: \"%1\" is not RACE[,RACE...] "
                                        "(race 1 to 1024) or all")
                                  .arg(parser.value(ceremonyListOf))};
        request.command = Request::Command::CeremonyList;
        request.ceremonyRaces = *races;
    }
    for (const QCommandLineOption* with : {&listen, &accessCodeFile, &deskPinFile}) {
        if (parser.isSet(*with) && !parser.isSet(serve))
            return UsageError{Words::tr("--%1 goes with --serve").arg(with->names().first())};
    }
    if (parser.isSet(serve)) {
        if (request.command != Request::Command::Print
            && request.command != Request::Command::Watch)
            return UsageError{Words::tr("--serve goes alone or with --watch, not with "
                                        "--history, --reprint, --make-e-certificates or "
                                        "--ceremony-list-of")};
        if (request.command == Request::Command::Print && parser.isSet(alongside))
            return UsageError{Words::tr("--e-certificates goes with a print run or --watch")};
        if (request.command == Request::Command::Print)
            request.command = Request::Command::Serve;
        request.serve = true;
        if (parser.isSet(listen)) {
            const std::optional<ListenAt> at = parseListen(parser.value(listen));
            if (!at)
                return UsageError{Words::tr("--listen: \"%1\" is not ADDR:PORT or [ADDR]:PORT "
                                            "(a numeric IPv4 or IPv6 address, port 0 to 65535)")
                                      .arg(parser.value(listen))};
            request.listen = *at;
        }
    }
    request.ceremonyList = parser.isSet(ceremonyList) || parser.isSet(ceremonyPrinter)
                           || parser.isSet(ceremonyPdf) || parser.isSet(ceremonyListOf);
    if (request.ceremonyList
        && (request.command == Request::Command::History
            || request.command == Request::Command::Reprint))
        return UsageError{Words::tr("the award list options cannot be given with --history or "
                                    "--reprint")};
    if (parser.isSet(ceremonyPrinter)) {
        if (parser.value(ceremonyPrinter).isEmpty())
            return UsageError{Words::tr("--ceremony-printer needs a printer's name")};
        request.ceremonyDestination =
            CeremonyDestination{CeremonyDestinationKind::Printer, parser.value(ceremonyPrinter)};
    }
    for (const QCommandLineOption* folder :
         {&directory, &pdf, &log, &csv, &ceremonyPdf, &accessCodeFile, &deskPinFile}) {
        if (parser.isSet(*folder) && parser.value(*folder).isEmpty())
            return UsageError{Words::tr("--%1 needs a path").arg(folder->names().last())};
    }
    const QDir start(startDirectory);
    request.directory = parser.value(directory);
    request.options.numberPrefix = parser.value(prefix);
    if (parser.isSet(rankIndividual))
        request.rankLimitIndividual = parser.value(rankIndividual);
    if (parser.isSet(rankRelay))
        request.rankLimitRelay = parser.value(rankRelay);
    request.options.previewOnly = parser.isSet(previewOnly) ? PreviewOnly::Yes : PreviewOnly::No;
    if (parser.isSet(pdf))
        request.pdfFolder = start.absoluteFilePath(parser.value(pdf));
    if (parser.isSet(log))
        request.logFile = start.absoluteFilePath(parser.value(log));
    if (parser.isSet(csv))
        request.csvFile = start.absoluteFilePath(parser.value(csv));
    if (parser.isSet(accessCodeFile))
        request.accessCodeFile = start.absoluteFilePath(parser.value(accessCodeFile));
    if (parser.isSet(deskPinFile))
        request.deskPinFile = start.absoluteFilePath(parser.value(deskPinFile));
    if (parser.isSet(ceremonyPdf))
        request.ceremonyDestination =
            CeremonyDestination{CeremonyDestinationKind::PdfFolder,
                                QDir::cleanPath(start.absoluteFilePath(parser.value(ceremonyPdf)))};
    return request;
}

} // namespace tarvel::batch
