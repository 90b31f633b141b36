#include "batch/commandline.h"

#include <QCommandLineParser>
#include <QDir>

namespace tarvel::batch {

namespace {

/// The option words in the order of the window's option buttons.
const QStringList kConditions = {u"simultaneous"_qs, u"anytime"_qs};
const QStringList kDistances = {u"all"_qs, u"25"_qs, u"50"_qs, u"100"_qs,
                                u"200"_qs, u"400"_qs, u"800"_qs, u"1500"_qs};
const QStringList kStrokes = {u"all"_qs, u"free"_qs, u"back"_qs, u"breast"_qs,
                              u"fly"_qs, u"im"_qs, u"medley-relay"_qs, u"free-relay"_qs};
const QStringList kRounds = {u"all"_qs, u"heats"_qs, u"final"_qs, u"consolation"_qs,
                             u"semifinal"_qs};
const QStringList kSexes = {u"all"_qs, u"men"_qs, u"women"_qs};

const QString kDescription = u"Prints the certificates of the ready races without the window: "
                             u"the start-up of the window (the location file ..\\ctl\\dr_kyo.ctl, "
                             u"the layout file, the meet header), then one print run. The layout "
                             u"file is never saved; options do not change it. Relative --pdf and "
                             u"--log paths are taken from where the tool is started.\n\n"
                             u"Exit status: 0 done, 1 a failure ended the run, 2 bad usage."_qs;

struct ChoiceOption {
    QCommandLineOption option;
    const QStringList* words;
    int fallback;
};

QCommandLineOption valueOption(const QString& name, const QString& help, const QString& value)
{
    return QCommandLineOption(name, help, value);
}

} // namespace

ParseResult parseCommandLine(const QStringList& arguments, const QString& startDirectory)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({u"h"_qs, u"help"_qs}, u"Shows this help."_qs);
    const QCommandLineOption directory({u"C"_qs, u"directory"_qs},
                                       u"Runs as if started in DIR."_qs, u"DIR"_qs);
    const ChoiceOption condition{
        valueOption(u"condition"_qs, u"simultaneous (同時, default) or anytime (随時)."_qs,
                    u"WHEN"_qs),
        &kConditions, 0};
    const ChoiceOption distance{
        valueOption(u"distance"_qs, u"all (default), 25, 50, 100, 200, 400, 800 or 1500."_qs,
                    u"METRES"_qs),
        &kDistances, 0};
    const ChoiceOption stroke{
        valueOption(u"stroke"_qs,
                    u"all (default), free, back, breast, fly, im, medley-relay or free-relay."_qs,
                    u"STROKE"_qs),
        &kStrokes, 0};
    const ChoiceOption round{
        valueOption(u"round"_qs,
                    u"all, heats, final (default), consolation or semifinal."_qs, u"ROUND"_qs),
        &kRounds, 2};
    const ChoiceOption sex{
        valueOption(u"sex"_qs, u"all (default), men or women."_qs, u"SEX"_qs), &kSexes, 0};
    const QCommandLineOption prefix(u"prefix"_qs,
                                    u"Only registration numbers beginning with TEXT (旧番号)."_qs,
                                    u"TEXT"_qs);
    const QCommandLineOption rankIndividual(
        u"rank-individual"_qs,
        u"Highest rank printed in individual events (default: the layout file's)."_qs,
        u"TEXT"_qs);
    const QCommandLineOption rankRelay(
        u"rank-relay"_qs, u"Highest rank printed in relays (default: the layout file's)."_qs,
        u"TEXT"_qs);
    const QCommandLineOption previewOnly(u"preview-only"_qs,
                                         u"Composes and logs; prints nothing, marks nothing."_qs);
    const QCommandLineOption pdf(
        u"pdf"_qs, u"Each print document as a PDF file in DIR instead of the default printer."_qs,
        u"DIR"_qs);
    const QCommandLineOption log(u"log"_qs,
                                 u"One JSON line per certificate accepted, in print order."_qs,
                                 u"FILE"_qs);
    parser.addOptions({help, directory, condition.option, distance.option, stroke.option,
                       round.option, sex.option, prefix, rankIndividual, rankRelay, previewOnly,
                       pdf, log});

    if (!parser.parse(arguments))
        return UsageError{parser.errorText()};
    if (parser.isSet(help))
        return ShowHelp{parser.helpText()};
    if (!parser.positionalArguments().isEmpty())
        return UsageError{u"unexpected argument: "_qs + parser.positionalArguments().first()};

    std::optional<UsageError> error;
    auto choice = [&](const ChoiceOption& choice) {
        if (!parser.isSet(choice.option))
            return choice.fallback;
        const QString value = parser.value(choice.option);
        const int index = int(choice.words->indexOf(value));
        if (index < 0 && !error) {
            error = UsageError{u"--%1: \"%2\" is not one of %3"_qs.arg(
                choice.option.names().first(), value, choice.words->join(u", "_qs))};
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

    for (const QCommandLineOption* folder : {&directory, &pdf, &log}) {
        if (parser.isSet(*folder) && parser.value(*folder).isEmpty())
            return UsageError{u"--%1 needs a path"_qs.arg(folder->names().last())};
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
