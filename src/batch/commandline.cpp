#include "batch/commandline.h"

#include "batch/batchoptions.h"
#include "meetdb/racestatus.h"
#include "platform/words.h"
#include "printrun/printchoices.h"

#include <QDir>

namespace tarvel::batch {

namespace {

/// Reading Race.dat more often than this would only keep the disk busy.
constexpr int kShortestInterval = 10;

/// The options choosing one of a group of print conditions.
struct ChoiceOption {
    Option option;
    const PrintChoiceGroup& group;
    int PrintOptions::*index;
};

/// The condition is not an index in PrintOptions, so it is read apart from these.
const ChoiceOption kFilterChoices[] = {
    {Option::Distance, kDistanceGroup, &PrintOptions::distance},
    {Option::Stroke, kStrokeGroup, &PrintOptions::stroke},
    {Option::Round, kRoundGroup, &PrintOptions::round},
    {Option::Sex, kSexGroup, &PrintOptions::sex},
};

/// Options whose value is a path, read against the directory the tool was started in.
struct PathOption {
    Option option;
    std::optional<QString> Request::*path;
};

const PathOption kPaths[] = {
    {Option::Pdf, &Request::pdfFolder},
    {Option::Log, &Request::logFile},
    {Option::Csv, &Request::csvFile},
    {Option::AccessCodeFile, &Request::accessCodeFile},
    {Option::DeskPinFile, &Request::deskPinFile},
};

/// The index of the choice given for `option` (the group's initial one when not given);
/// -1, with the usage error, for a word outside the group.
int chosenIndex(const BatchOptions& options, Option option, const PrintChoiceGroup& group,
                std::optional<UsageError>& error)
{
    if (!options.isSet(option))
        return group.initial;
    const QString value = options.value(option);
    const int index = group.indexOf(value);
    if (index < 0 && !error) {
        error = UsageError{Words::tr("--%1: \"%2\" is not one of %3")
                               .arg(options.name(option), value, group.describe())};
    }
    return index;
}

/// The first of `dependents` given without `base`, as "--X goes with --BASE"; none when
/// all are well placed.
std::optional<UsageError> givenWithout(const BatchOptions& options,
                                       std::initializer_list<Option> dependents, Option base,
                                       const QString& message)
{
    if (options.isSet(base))
        return std::nullopt;
    for (const Option dependent : dependents) {
        if (options.isSet(dependent))
            return UsageError{message.arg(options.name(dependent))};
    }
    return std::nullopt;
}

/// Reads the print conditions and the checks that need no command chosen yet.
std::optional<UsageError> readConditions(const BatchOptions& options, Request& request)
{
    std::optional<UsageError> error;
    request.options.condition =
        conditionOfChoice(chosenIndex(options, Option::Condition, kConditionGroup, error));
    for (const ChoiceOption& choice : kFilterChoices)
        request.options.*choice.index = chosenIndex(options, choice.option, choice.group, error);
    if (error)
        return error;
    for (const Option number : {Option::RankIndividual, Option::RankRelay}) {
        if (options.isSet(number) && !isWholeNumber(options.value(number)))
            return UsageError{Words::tr("--%1: \"%2\" is not a whole number of 0 or more")
                                  .arg(options.name(number), options.value(number))};
    }
    return std::nullopt;
}

/// Which command: the ledger's, --watch, --make-e-certificates, or a print run.
std::optional<UsageError> readCommand(const BatchOptions& options, Request& request)
{
    if (options.isSet(Option::History) && options.isSet(Option::Reprint))
        return UsageError{Words::tr("--history and --reprint cannot be given together")};
    if (options.isSet(Option::Csv) && !options.isSet(Option::History))
        return UsageError{Words::tr("--csv goes with --history")};
    const bool fromLedger = options.anySet({Option::History, Option::Reprint});
    if (options.isSet(Option::Watch) && fromLedger)
        return UsageError{Words::tr("--watch cannot be given with --history or --reprint")};
    if (options.isSet(Option::Watch) && request.options.condition == PrintCondition::Anytime)
        return UsageError{Words::tr("--watch prints only under 同時: under 随時 it would print "
                                    "every finished race again and again")};
    if (options.isSet(Option::Interval)) {
        if (!options.isSet(Option::Watch))
            return UsageError{Words::tr("--interval goes with --watch")};
        const QString value = options.value(Option::Interval);
        if (!isWholeNumber(value) || value.size() > 7 || value.toInt() < kShortestInterval)
            return UsageError{Words::tr("--interval: \"%1\" is not a whole number of "
                                        "milliseconds from %2 to 9999999")
                                  .arg(value)
                                  .arg(kShortestInterval)};
        request.watchInterval = value.toInt();
    }
    if (options.isSet(Option::MakeECertificates) && (fromLedger || options.isSet(Option::Watch)))
        return UsageError{Words::tr("--make-e-certificates cannot be given with --history, "
                                    "--reprint or --watch")};
    if (auto error = givenWithout(options, {Option::Race, Option::Affiliation, Option::Zip},
                                  Option::MakeECertificates,
                                  Words::tr("--%1 goes with --make-e-certificates")))
        return error;
    for (const QString& value : options.values(Option::Race)) {
        if (!isWholeNumber(value) || value.size() > 4 || value.toInt() < 1
            || value.toInt() > kRaceCount)
            return UsageError{
                Words::tr("--race: \"%1\" is not a race from 1 to %2").arg(value).arg(kRaceCount)};
        request.races.append(value.toInt());
    }
    if (options.isSet(Option::ECertificates)
        && (fromLedger || options.isSet(Option::MakeECertificates)))
        return UsageError{Words::tr("--e-certificates goes with a print run or --watch")};
    request.eCertificates = options.isSet(Option::ECertificates);
    if (options.isSet(Option::Affiliation))
        request.affiliation = options.value(Option::Affiliation);
    request.zip = options.isSet(Option::Zip);
    if (options.isSet(Option::MakeECertificates))
        request.command = Request::Command::ECertificates;
    if (options.isSet(Option::Watch))
        request.command = Request::Command::Watch;
    if (options.isSet(Option::History))
        request.command = Request::Command::History;
    if (options.isSet(Option::Reprint)) {
        const std::optional<ReprintChoice> choice = parseReprint(options.value(Option::Reprint));
        if (!choice)
            return UsageError{Words::tr("--reprint: \"%1\" is not RACE, RACE:LANE or "
                                        "RACE:LANE:LEG (race 1 to 1024, lane 1 to 12, leg 1 to 4)")
                                  .arg(options.value(Option::Reprint))};
        request.command = Request::Command::Reprint;
        request.reprint = *choice;
    }
    return std::nullopt;
}

/// --ceremony-list-of as a command of its own.
std::optional<UsageError> readCeremonyListOf(const BatchOptions& options, Request& request)
{
    if (options.isSet(Option::CeremonyPrinter) && options.isSet(Option::CeremonyPdf))
        return UsageError{Words::tr("--ceremony-printer and --ceremony-pdf cannot be given "
                                    "together")};
    if (!options.isSet(Option::CeremonyListOf))
        return std::nullopt;
    if (request.command != Request::Command::Print)
        return UsageError{Words::tr("--ceremony-list-of cannot be given with --history, "
                                    "--reprint or --watch")};
    const std::optional<QList<int>> races = parseRaceList(options.value(Option::CeremonyListOf));
    if (!races)
        return UsageError{Words::tr("--ceremony-list-of: \"%1\" is not RACE[,RACE...] "
                                    "(race 1 to 1024) or all")
                              .arg(options.value(Option::CeremonyListOf))};
    request.command = Request::Command::CeremonyList;
    request.ceremonyRaces = *races;
    return std::nullopt;
}

/// --serve, alone or beside --watch, and where it listens.
std::optional<UsageError> readServe(const BatchOptions& options, Request& request)
{
    if (auto error =
            givenWithout(options, {Option::Listen, Option::AccessCodeFile, Option::DeskPinFile},
                         Option::Serve, Words::tr("--%1 goes with --serve")))
        return error;
    if (!options.isSet(Option::Serve))
        return std::nullopt;
    if (request.command != Request::Command::Print && request.command != Request::Command::Watch)
        return UsageError{Words::tr("--serve goes alone or with --watch, not with "
                                    "--history, --reprint, --make-e-certificates or "
                                    "--ceremony-list-of")};
    if (request.command == Request::Command::Print && options.isSet(Option::ECertificates))
        return UsageError{Words::tr("--e-certificates goes with a print run or --watch")};
    if (request.command == Request::Command::Print)
        request.command = Request::Command::Serve;
    request.serve = true;
    if (options.isSet(Option::Listen)) {
        const std::optional<ListenAt> at = parseListen(options.value(Option::Listen));
        if (!at)
            return UsageError{Words::tr("--listen: \"%1\" is not ADDR:PORT or [ADDR]:PORT "
                                        "(a numeric IPv4 or IPv6 address, port 0 to 65535)")
                                  .arg(options.value(Option::Listen))};
        request.listen = *at;
    }
    return std::nullopt;
}

/// Whether award lists are sent, and where when the command line says.
std::optional<UsageError> readCeremonyList(const BatchOptions& options, Request& request)
{
    request.ceremonyList = options.anySet({Option::CeremonyList, Option::CeremonyPrinter,
                                           Option::CeremonyPdf, Option::CeremonyListOf});
    if (request.ceremonyList
        && (request.command == Request::Command::History
            || request.command == Request::Command::Reprint))
        return UsageError{Words::tr("the award list options cannot be given with --history or "
                                    "--reprint")};
    if (options.isSet(Option::CeremonyPrinter)) {
        if (options.value(Option::CeremonyPrinter).isEmpty())
            return UsageError{Words::tr("--ceremony-printer needs a printer's name")};
        request.ceremonyDestination = CeremonyDestination{CeremonyDestinationKind::Printer,
                                                          options.value(Option::CeremonyPrinter)};
    }
    return std::nullopt;
}

/// The values taken as given: the directory, the prefix, the rank limits and the paths.
std::optional<UsageError> readValues(const BatchOptions& options, const QString& startDirectory,
                                     Request& request)
{
    for (const Option path : {Option::Directory, Option::Pdf, Option::Log, Option::Csv,
                              Option::CeremonyPdf, Option::AccessCodeFile, Option::DeskPinFile}) {
        if (options.isSet(path) && options.value(path).isEmpty())
            return UsageError{Words::tr("--%1 needs a path").arg(options.name(path))};
    }
    const QDir start(startDirectory);
    request.directory = options.value(Option::Directory);
    request.options.numberPrefix = options.value(Option::Prefix);
    if (options.isSet(Option::RankIndividual))
        request.rankLimitIndividual = options.value(Option::RankIndividual);
    if (options.isSet(Option::RankRelay))
        request.rankLimitRelay = options.value(Option::RankRelay);
    request.options.previewOnly =
        options.isSet(Option::PreviewOnly) ? PreviewOnly::Yes : PreviewOnly::No;
    for (const PathOption& path : kPaths) {
        if (options.isSet(path.option))
            request.*path.path = start.absoluteFilePath(options.value(path.option));
    }
    if (options.isSet(Option::CeremonyPdf))
        request.ceremonyDestination = CeremonyDestination{
            CeremonyDestinationKind::PdfFolder,
            QDir::cleanPath(start.absoluteFilePath(options.value(Option::CeremonyPdf)))};
    return std::nullopt;
}

} // namespace

ParseResult parseCommandLine(const QStringList& arguments, const QString& startDirectory)
{
    BatchOptions options;
    if (!options.parse(arguments))
        return UsageError{options.errorText()};
    if (options.isSet(Option::Help))
        return ShowHelp{options.helpText()};
    if (options.isSet(Option::Version))
        return ShowVersion{};
    if (!options.positionalArguments().isEmpty())
        return UsageError{
            Words::tr("unexpected argument: %1").arg(options.positionalArguments().first())};

    Request request;
    for (auto read :
         {readConditions, readCommand, readCeremonyListOf, readServe, readCeremonyList}) {
        if (std::optional<UsageError> error = read(options, request))
            return *error;
    }
    if (std::optional<UsageError> error = readValues(options, startDirectory, request))
        return *error;
    return request;
}

} // namespace tarvel::batch
