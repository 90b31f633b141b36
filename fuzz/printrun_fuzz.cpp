// A whole print run over a meet built from the fuzz input, onto a recording printer that
// refuses the documents the input names. Whatever the meet's files hold, the run does not
// crash, Race.dat changes only where a ready race became "9", and a refused document's
// race is not marked.
//
// Input: five parts separated by kPartSeparator:
//   1. choices, comma-separated: condition (0 同時, else 随時), distance, stroke, round, sex,
//      number prefix, rank limits individual and relay, preview-only (1), lanes, meet kind,
//      group mode, meet date, refusals (bit k refuses the k-th document), meet name, venue
//   2. Race.dat as it stands
//   3. taikai.dat from race 1 on, 4. relay.dat from relay 1 on (the ten reserved records
//      before them are written as zeros)
//   5. the master file: header and custom table, then entries from 1 on (the reserved
//      records 3 to 10 are written as zeros)

#include "fuzzsupport.h"
#include "layout/certificateitems.h"
#include "meetdb/masterfile.h"
#include "meetdb/meetfiles.h"
#include "meetdb/racestatus.h"
#include "naming/racerecord.h"
#include "naming/relayrecord.h"
#include "platform/failure.h"
#include "platform/listinput.h"
#include "platform/numbers.h"
#include "printrun/printchoices.h"
#include "printrun/printrun.h"

#include <QSet>

#include <algorithm>
#include <cmath>

using namespace tarvel;

namespace {

/// Keeps the name of every document it ends; refuses (throws, as a printer that refuses a
/// job does) each document whose ordinal k, counting documents with output from 0, has bit k
/// set in `refusals`.
class RefusingPrinter : public PrintDevice {
public:
    explicit RefusingPrinter(quint32 refusals) : refusals_(refusals) {}

    void setPosition(double, double) override {}
    void setFontFace(const QString&) override {}
    void setFontSize(double) override {}
    void setMaxWidth(double) override {}
    void drawLine(double, double, double, double) override { hasOutput_ = true; }
    void drawText(const QString&) override { hasOutput_ = true; }
    void endPage() override {}
    Delivery endDocument() override
    {
        if (!hasOutput_)
            return {};
        hasOutput_ = false;
        const int ordinal = documents_++;
        if (ordinal < 32 && (refusals_ >> ordinal) & 1U) {
            refused.append(name_);
            throw Failure(u"printing"_qs, name_, u"the printer refused the document"_qs);
        }
        delivered.append(name_);
        return {true, u"fuzz"_qs, 0, 1};
    }
    void abortDocument() noexcept override { hasOutput_ = false; }
    void setDocumentName(const QString& name) override { name_ = name; }

    QStringList delivered;
    QStringList refused;

private:
    quint32 refusals_;
    int documents_ = 0;
    bool hasOutput_ = false;
    QString name_;
};

class MarkRecorder : public RunObserver {
public:
    void raceMarked(int raceNo) override { marked.insert(raceNo); }
    QSet<int> marked;
};

double boundedValue(const QString& text, double low, double high)
{
    const double value = numericValue(text);
    return std::isfinite(value) ? std::clamp(value, low, high) : 0.0;
}

struct Choices {
    PrintOptions options;
    MeetSettings meet;
    quint32 refusals = 0;
};

Choices readChoices(QByteArrayView part)
{
    ListInput input(part.toByteArray());
    const auto text = [&input] { return input.next().value_or(QString()); };
    const auto number = [&text](double low, double high) {
        return boundedValue(text(), low, high);
    };
    Choices c;
    c.options.condition = conditionOfChoice(int(std::ceil(number(0, 1))));
    c.options.distance = int(number(-2, 12));
    c.options.stroke = int(number(-2, 12));
    c.options.round = int(number(-2, 8));
    c.options.sex = int(number(-2, 5));
    c.options.numberPrefix = text();
    c.options.rankLimitIndividual = text();
    c.options.rankLimitRelay = text();
    c.options.previewOnly = number(0, 1) == 1 ? PreviewOnly::Yes : PreviewOnly::No;
    c.meet.laneCount = qint16(number(-32768, 32767));
    c.meet.meetKind = text();
    c.meet.groupMode = text();
    c.meet.meetDate = qint32(number(-2147483648.0, 2147483647.0));
    c.refusals = quint32(number(0, 4294967295.0));
    c.meet.meetName = text();
    c.meet.venue = text();
    return c;
}

QByteArray afterReserved(int recordLength, QByteArrayView records)
{
    return QByteArray(kReservedRecords * recordLength, '\0') + records.toByteArray();
}

/// Header and custom table first, the entries after the reserved records 3 to 10.
QByteArray masterFile(QByteArrayView part)
{
    const qsizetype front = std::min<qsizetype>(part.size(), 2 * kMasterRecordLength);
    if (part.size() <= front)
        return part.toByteArray();
    return part.first(front).toByteArray()
           + QByteArray((kReservedRecords - 2) * kMasterRecordLength, '\0')
           + part.sliced(front).toByteArray();
}

/// Race.dat before and after: unchanged but for ready races now "9" (bytes past the end of
/// a short file read as NUL, as the run reads them, and it may add them up to 1024).
void checkStatusChanges(const QByteArray& before, const QByteArray& after, PrintCondition condition)
{
    fuzz::check(after.size() >= before.size(), "Race.dat never shrinks");
    fuzz::check(after.size() <= std::max<qsizetype>(before.size(), kRaceCount),
                "Race.dat grows at most to its 1024 races");
    for (qsizetype i = 0; i < after.size(); ++i) {
        const char was = i < before.size() ? before[i] : '\0';
        if (after[i] == was)
            continue;
        fuzz::check(i < kRaceCount && after[i] == kRacePrinted && qualifies(was, condition),
                    "a status byte changes only from ready to \"9\"");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArrayView> parts = fuzz::splitParts(fuzz::inputBytes(data, size), 5);
    const Choices choices = readChoices(parts[0]);
    const QByteArray statusBefore = parts[1].toByteArray();
    fuzz::writeScratchFile(u"Race.dat"_qs, statusBefore);
    fuzz::writeScratchFile(u"taikai.dat"_qs, afterReserved(kRaceRecordLength, parts[2]));
    fuzz::writeScratchFile(u"relay.dat"_qs, afterReserved(kRelayRecordLength, parts[3]));
    fuzz::writeScratchFile(u"master.dat"_qs, masterFile(parts[4]));

    Session session;
    session.where = fuzz::scratchLocations();
    session.meet = choices.meet;
    session.layout = defaultLayout();
    session.itemText = startupItemTexts(session.layout);
    RefusingPrinter printer(choices.refusals);
    MarkRecorder marks;
    try {
        PrintRun(session, choices.options, printer, nullptr, &marks);
    } catch (const Failure&) {
        // A refused document or a damaged file ends the run; the invariants hold all the same.
    }

    const QByteArray statusAfter = fuzz::readScratchFile(u"Race.dat"_qs);
    checkStatusChanges(statusBefore, statusAfter, choices.options.condition);
    for (int raceNo : marks.marked)
        fuzz::check(statusAfter.at(raceNo - 1) == kRacePrinted, "a marked race reads \"9\"");
    if (choices.options.previewOnly == PreviewOnly::Yes) {
        fuzz::check(marks.marked.isEmpty() && statusAfter == statusBefore,
                    "preview-only marks nothing");
        fuzz::check(printer.delivered.isEmpty() && printer.refused.isEmpty(),
                    "preview-only prints nothing");
    }
    // A document is titled "R<last heat> ...": no race whose own record puts it in a refused
    // event (its last heat, or an earlier heat of it) is marked.
    QSet<int> refusedEvents;
    for (const QString& name : printer.refused) {
        fuzz::check(name.startsWith(u'R'), "a document is titled after its race");
        refusedEvents.insert(name.sliced(1).section(u' ', 0, 0).toInt());
    }
    const QByteArray races = fuzz::readScratchFile(u"taikai.dat"_qs);
    for (int raceNo : marks.marked) {
        const qint64 offset = (numberedRecord(raceNo) - 1) * kRaceRecordLength;
        if (offset + kRaceRecordLength > races.size())
            continue;
        const RaceRecord race = decodeRace(QByteArrayView(races).sliced(offset, kRaceRecordLength));
        fuzz::check(!refusedEvents.contains(raceNo - race.heatNo + race.heatCount),
                    "no race of a refused event is marked");
    }
    return 0;
}
