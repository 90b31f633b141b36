#include "batch/batchoptions.h"

#include "platform/words.h"
#include "printrun/printchoices.h"
#include "web/venue.h"

#include <algorithm>

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

/// An option choosing one of a group of print conditions: its help ends with the choices.
QCommandLineOption choiceOption(const PrintChoiceGroup& group, const QString& help,
                                const QString& valueName)
{
    const QString choices =
        Words::tr("%1; default %2.")
            .arg(group.describe(), QString::fromLatin1(group.choices[group.initial].word));
    return QCommandLineOption(QString::fromLatin1(group.option), help + u' ' + choices, valueName);
}

/// The options in Option's order.
QList<QCommandLineOption> allOptions()
{
    return {
        {{u"h"_qs, u"help"_qs}, Words::tr("Shows this help.")},
        {u"version"_qs, Words::tr("Shows the program's version.")},
        {{u"C"_qs, u"directory"_qs}, Words::tr("Runs as if started in DIR."), u"DIR"_qs},
        choiceOption(kConditionGroup,
                     Words::tr("Which races are ready: status 8 only, or 8 and later."),
                     u"WHEN"_qs),
        choiceOption(kDistanceGroup, Words::tr("Only this distance."), u"METRES"_qs),
        choiceOption(kStrokeGroup, Words::tr("Only this stroke."), u"STROKE"_qs),
        choiceOption(kRoundGroup, Words::tr("Only this round."), u"ROUND"_qs),
        choiceOption(kSexGroup, Words::tr("Only this sex."), u"SEX"_qs),
        {u"prefix"_qs, Words::tr("Only registration numbers beginning with TEXT (旧番号)."),
         u"TEXT"_qs},
        {u"rank-individual"_qs,
         Words::tr("Highest rank printed in individual events, a whole number (default: the "
                   "layout file's)."),
         u"N"_qs},
        {u"rank-relay"_qs,
         Words::tr("Highest rank printed in relays, a whole number (default: the layout "
                   "file's)."),
         u"N"_qs},
        {u"preview-only"_qs, Words::tr("Composes and logs; prints nothing, marks nothing.")},
        {u"pdf"_qs,
         Words::tr("Each print document as a PDF file in DIR instead of the default printer."),
         u"DIR"_qs},
        {u"log"_qs, Words::tr("One JSON line per certificate accepted, in print order."),
         u"FILE"_qs},
        {u"history"_qs,
         Words::tr("Lists the certificate ledger, one line per certificate, newest first; "
                   "prints nothing.")},
        {u"csv"_qs,
         Words::tr("With --history: writes the ledger to FILE as CSV (UTF-8 with a byte-order "
                   "mark) instead."),
         u"FILE"_qs},
        {u"reprint"_qs,
         Words::tr("Prints again, from the ledger, the certificates printed for RACE (the "
                   "event's last heat), or one lane of the heat RACE, or one leg of a relay "
                   "lane (lanes and legs from 1), as one document; Race.dat is not touched."),
         u"RACE[:LANE[:LEG]]"_qs},
        {u"watch"_qs,
         Words::tr("Keeps watching Race.dat and prints each event as soon as its last heat is "
                   "ready, until SIGINT or SIGTERM; then ends after the event in hand. Each "
                   "run's account goes to stderr with the time; --log grows across runs.")},
        {u"interval"_qs,
         Words::tr("With --watch: reads Race.dat every MS milliseconds besides the change "
                   "notifications (default 500)."),
         u"MS"_qs},
        {u"make-e-certificates"_qs,
         Words::tr("Writes every certificate of the ledger (its latest copy, with the texts as "
                   "printed) as a PDF file of its own on the blank certificate, in the data "
                   "folder's e-certificates, a folder per affiliation; prints nothing.")},
        {u"race"_qs,
         Words::tr("With --make-e-certificates: only the event of RACE (its last heat or a "
                   "heat); may be given again."),
         u"RACE"_qs},
        {u"affiliation"_qs,
         Words::tr("With --make-e-certificates: only the certificates of the affiliation TEXT."),
         u"TEXT"_qs},
        {u"zip"_qs, Words::tr("With --make-e-certificates: also one ZIP per affiliation written, "
                              "beside its folder.")},
        {u"e-certificates"_qs,
         Words::tr("Also writes each event's certificates as e-certificates (a PDF file each, "
                   "as --make-e-certificates does) right after its document was delivered; a "
                   "failure there is told once and stops nothing.")},
        {u"ceremony-list"_qs,
         Words::tr("After each event's certificates, sends its award list (表彰者一覧) to the "
                   "destination chosen in the window (the user's settings).")},
        {u"ceremony-printer"_qs,
         Words::tr("Sends the award lists to the printer NAME (never the certificates' own)."),
         u"NAME"_qs},
        {u"ceremony-pdf"_qs, Words::tr("Writes the award lists as PDF files in DIR."), u"DIR"_qs},
        {u"ceremony-list-of"_qs,
         Words::tr("Prints nothing else: the award lists of the events whose last heats are "
                   "RACE,... (or of every event printed so far: all) as one document, from the "
                   "ledger, in race order."),
         u"RACE[,RACE...]|all"_qs},
        {u"serve"_qs,
         Words::tr("Serves the venue page (the award board, the team downloads, the desk's "
                   "page) to browsers until SIGINT or SIGTERM; with --watch, while watching.")},
        {u"listen"_qs,
         Words::tr("With --serve: listens on ADDR:PORT ([ADDR]:PORT for IPv6; port 0: any "
                   "free one) instead of 127.0.0.1:%1. Any other address lets other machines "
                   "in.")
             .arg(web::kDefaultVenuePort),
         u"ADDR:PORT"_qs},
        {u"access-code-file"_qs,
         Words::tr("With --serve: the meet's access code for the team page is the first line "
                   "of FILE (readable by its owner only). Without it the team page takes no "
                   "code."),
         u"FILE"_qs},
        {u"desk-pin-file"_qs,
         Words::tr("With --serve: the desk PIN for the desk's page is the first line of FILE "
                   "(readable by its owner only). Without it the desk's page takes no PIN."),
         u"FILE"_qs},
    };
}

} // namespace

BatchOptions::BatchOptions() : options_(allOptions())
{
    Q_ASSERT(options_.size() == int(Option::DeskPinFile) + 1);
    parser_.setApplicationDescription(description());
    parser_.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser_.addOptions(options_);
}

bool BatchOptions::parse(const QStringList& arguments)
{
    return parser_.parse(arguments);
}

bool BatchOptions::anySet(std::initializer_list<Option> options) const
{
    return std::any_of(options.begin(), options.end(),
                       [this](Option option) { return isSet(option); });
}

} // namespace tarvel::batch
