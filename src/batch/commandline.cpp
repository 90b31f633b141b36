#include "batch/commandline.h"

#include "platform/words.h"
#include "printrun/printchoices.h"

#include <QCommandLineParser>
#include <QDir>
#include <QRegularExpression>

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
                     "Exit status: 0 done, 1 a failure ended the run or an event was left "
                     "unprinted, 2 bad usage.");
}

/// An option choosing one of a group of print conditions.
struct ChoiceOption {
    const PrintChoiceGroup& group;
    QCommandLineOption option;
};

ChoiceOption choiceOption(const PrintChoiceGroup& group, const QString& help,
                          const QString& valueName)
{
    const QString choices = Words::tr("%1; default %2.")
                                .arg(group.describe(),
                                     QString::fromLatin1(group.choices[group.initial].word));
    return {group, QCommandLineOption(QString::fromLatin1(group.option),
                                      help + u' ' + choices, valueName)};
}

bool isWholeNumber(const QString& text)
{
    static const QRegularExpression digits(u"^[0-9]+$"_qs);
    return digits.match(text).hasMatch();
}

} // namespace

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
    const ChoiceOption round = choiceOption(kRoundGroup, Words::tr("Only this round."), u"ROUND"_qs);
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
    parser.addOptions({help, version, directory, condition.option, distance.option,
                       stroke.option, round.option, sex.option, prefix, rankIndividual,
                       rankRelay, previewOnly, pdf, log});

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
            error = UsageError{Words::tr("--%1: \"%2\" is not one of %3")
                                   .arg(choice.option.names().first(), value,
                                        choice.group.describe())};
        }
        return index;
    };
    Request request;
    request.options.condition =
        choice(condition) == 1 ? PrintCondition::Anytime : PrintCondition::Simultaneous;
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
    for (const QCommandLineOption* folder : {&directory, &pdf, &log}) {
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
    return request;
}

} // namespace tarvel::batch
