#include "meetdb/masterfile.h"

#include "meetdb/meetfiles.h"
#include "platform/binaryrecord.h"
#include "platform/cp932.h"
#include "platform/numbers.h"
#include "platform/words.h"

#include <QLocale>

namespace tarvel {

namespace {

// Field offsets of the header (record 1).
namespace header {
constexpr int kNo1 = 0, kNo2 = 4, kDate1 = 6, kBaseName = 16, kText1 = 24, kDate2 = 36, kDate3 = 46,
              kText2 = 56, kClassScheme = 63, kNo3 = 65, kCounters = 67;
constexpr int kDateWidth = 10, kBaseNameWidth = 8, kText1Width = 12, kText2Width = 7;
} // namespace header

// Field offsets of the custom event table (record 2).
namespace custom {
constexpr int kDivision = 0, kDivisionWidth = 8;
constexpr int kEventName = 120, kEventNameWidth = 16;
constexpr int kFlags = 360, kRest = 375, kRestWidth = 9;
} // namespace custom

// Field offsets of an entry (record n + 10).
namespace entry {
constexpr int kField0 = 0, kField4 = 4, kRegNo = 11, kSwimmerName = 25, kField41 = 41,
              kPrefecture = 57, kField65 = 65, kAffiliation = 71, kField83 = 83, kGradeCode = 89,
              kAge = 91, kSexCode = 93, kField94 = 94, kField95 = 95, kSixDigit = 271,
              kField277 = 277, kField281 = 281, kField325 = 325, kField369 = 369;
} // namespace entry

constexpr qint64 kHeaderRecord = 1;
constexpr qint64 kCustomEventRecord = 2;
constexpr qint64 kFirstEntryRecord = 10; // entry n is record n + 10

QString blanks(int width)
{
    return QString(width, u' ');
}

/// The text as a field of `width` bytes gives it back: cut (never inside a double-byte
/// character) or blank-padded.
QString asField(const QString& text, int width)
{
    return cp932::decode(cp932::encodeField(text, width));
}

/// The six-digit field of an entry that reads as 0 (blanks, NULs) is kept as "000000".
void normaliseSixDigit(SwimmerRecord& swimmer)
{
    if (numericValue(swimmer.sixDigit) == 0)
        swimmer.sixDigit = u"000000"_qs;
}

} // namespace

SwimmerRecord clearSwimmer()
{
    SwimmerRecord swimmer;
    swimmer.field4 = blanks(7);
    swimmer.regNo = blanks(14);
    swimmer.swimmerName = blanks(16);
    swimmer.field41 = blanks(16);
    swimmer.prefecture = blanks(8);
    swimmer.field65 = blanks(6);
    swimmer.affiliation = blanks(12);
    swimmer.field83 = blanks(6);
    swimmer.gradeCode = blanks(2);
    swimmer.sexCode = blanks(1);
    swimmer.field94 = blanks(1);
    swimmer.sixDigit = u"000000"_qs;
    swimmer.field281.fill(blanks(1));
    swimmer.field325.fill(blanks(1));
    swimmer.field369 = blanks(15);
    return swimmer;
}

SwimmerRecord decodeSwimmer(QByteArrayView bytes)
{
    using namespace entry;
    const RecordReader in(bytes);
    SwimmerRecord swimmer;
    swimmer.field0 = in.int32At(kField0);
    swimmer.field4 = in.textAt(kField4, 7);
    swimmer.regNo = in.textAt(kRegNo, 14);
    swimmer.swimmerName = in.textAt(kSwimmerName, 16);
    swimmer.field41 = in.textAt(kField41, 16);
    swimmer.prefecture = in.textAt(kPrefecture, 8);
    swimmer.field65 = in.textAt(kField65, 6);
    swimmer.affiliation = in.textAt(kAffiliation, 12);
    swimmer.field83 = in.textAt(kField83, 6);
    swimmer.gradeCode = in.textAt(kGradeCode, 2);
    swimmer.age = in.int16At(kAge);
    swimmer.sexCode = in.textAt(kSexCode, 1);
    swimmer.field94 = in.textAt(kField94, 1);
    for (int i = 0; i < 44; ++i)
        swimmer.field95[i] = in.int32At(kField95 + 4 * i);
    swimmer.sixDigit = in.textAt(kSixDigit, 6);
    swimmer.field277 = in.int32At(kField277);
    for (int i = 0; i < 44; ++i) {
        swimmer.field281[i] = in.textAt(kField281 + i, 1);
        swimmer.field325[i] = in.textAt(kField325 + i, 1);
    }
    swimmer.field369 = in.textAt(kField369, 15);
    return swimmer;
}

QByteArray encodeSwimmer(const SwimmerRecord& swimmer)
{
    using namespace entry;
    RecordWriter out(kMasterRecordLength);
    out.putInt32(kField0, swimmer.field0);
    out.putText(kField4, 7, swimmer.field4);
    out.putText(kRegNo, 14, swimmer.regNo);
    out.putText(kSwimmerName, 16, swimmer.swimmerName);
    out.putText(kField41, 16, swimmer.field41);
    out.putText(kPrefecture, 8, swimmer.prefecture);
    out.putText(kField65, 6, swimmer.field65);
    out.putText(kAffiliation, 12, swimmer.affiliation);
    out.putText(kField83, 6, swimmer.field83);
    out.putText(kGradeCode, 2, swimmer.gradeCode);
    out.putInt16(kAge, swimmer.age);
    out.putText(kSexCode, 1, swimmer.sexCode);
    out.putText(kField94, 1, swimmer.field94);
    for (int i = 0; i < 44; ++i)
        out.putInt32(kField95 + 4 * i, swimmer.field95[i]);
    out.putText(kSixDigit, 6, swimmer.sixDigit);
    out.putInt32(kField277, swimmer.field277);
    for (int i = 0; i < 44; ++i) {
        out.putText(kField281 + i, 1, swimmer.field281[i]);
        out.putText(kField325 + i, 1, swimmer.field325[i]);
    }
    out.putText(kField369, 15, swimmer.field369);
    return out.bytes();
}

MasterHeader decodeMasterHeader(QByteArrayView bytes)
{
    using namespace header;
    const RecordReader in(bytes);
    MasterHeader h;
    h.headerNo1 = in.int32At(kNo1);
    h.headerNo2 = in.int16At(kNo2);
    h.date1 = in.textAt(kDate1, kDateWidth);
    h.baseName = in.textAt(kBaseName, kBaseNameWidth);
    h.text1 = in.textAt(kText1, kText1Width);
    h.date2 = in.textAt(kDate2, kDateWidth);
    h.date3 = in.textAt(kDate3, kDateWidth);
    h.text2 = in.textAt(kText2, kText2Width);
    h.classScheme = in.int16At(kClassScheme);
    h.headerNo3 = in.int16At(kNo3);
    for (int i = 0; i < 10; ++i)
        h.counters[i] = in.int32At(kCounters + 4 * i);
    return h;
}

QByteArray encodeMasterHeader(const MasterHeader& h)
{
    using namespace header;
    RecordWriter out(kMasterRecordLength);
    out.putInt32(kNo1, h.headerNo1);
    out.putInt16(kNo2, h.headerNo2);
    out.putText(kDate1, kDateWidth, h.date1);
    out.putText(kBaseName, kBaseNameWidth, h.baseName);
    out.putText(kText1, kText1Width, h.text1);
    out.putText(kDate2, kDateWidth, h.date2);
    out.putText(kDate3, kDateWidth, h.date3);
    out.putText(kText2, kText2Width, h.text2);
    out.putInt16(kClassScheme, h.classScheme);
    out.putInt16(kNo3, h.headerNo3);
    for (int i = 0; i < 10; ++i)
        out.putInt32(kCounters + 4 * i, h.counters[i]);
    return out.bytes(); // the rest stays zero bytes
}

CustomEventTable decodeCustomEventTable(QByteArrayView bytes)
{
    using namespace custom;
    const RecordReader in(bytes);
    CustomEventTable table;
    for (int k = 0; k < 15; ++k) {
        table.customDivision[k] = in.textAt(kDivision + kDivisionWidth * k, kDivisionWidth);
        table.customEventName[k] = in.textAt(kEventName + kEventNameWidth * k, kEventNameWidth);
        table.flags[k] = in.textAt(kFlags + k, 1);
    }
    table.rest = in.textAt(kRest, kRestWidth);
    return table;
}

QByteArray encodeCustomEventTable(const CustomEventTable& table)
{
    using namespace custom;
    RecordWriter out(kMasterRecordLength);
    for (int k = 0; k < 15; ++k) {
        out.putText(kDivision + kDivisionWidth * k, kDivisionWidth, table.customDivision[k]);
        out.putText(kEventName + kEventNameWidth * k, kEventNameWidth, table.customEventName[k]);
        out.putText(kFlags + k, 1, table.flags[k]);
    }
    out.putText(kRest, kRestWidth, table.rest);
    return out.bytes();
}

QString shortDateText(const QDate& day, const QLocale& locale)
{
    return locale.toString(day, QLocale::ShortFormat);
}

MasterHeader newMasterHeader(const QString& masterFileName, const QDate& today,
                             const QLocale& locale)
{
    using namespace header;
    const QString date = asField(shortDateText(today, locale), kDateWidth);
    const qsizetype dot = masterFileName.indexOf(u'.');
    const QString base = dot < 0 ? masterFileName : masterFileName.left(dot);

    MasterHeader h;
    h.headerNo1 = 0;
    h.headerNo2 = 1;
    h.date1 = date;
    h.baseName = asField(base, kBaseNameWidth);
    h.text1 = blanks(kText1Width);
    h.date2 = date;
    h.date3 = date;
    h.text2 = blanks(kText2Width);
    h.classScheme = 0;
    h.headerNo3 = 0;
    return h;
}

MasterFile MasterFile::open(const DataLocations& where, const QDate& today)
{
    // A failure below leaves `master` to close the file as the exception passes.
    MasterFile master(openMeetFile(where, MeetFile::Master, kMasterRecordLength));
    // A new or emptied file (10 bytes or less) has no header yet; the one the other system
    // would give it stands in, without writing to its file.
    if (master.file_.size() <= 10)
        master.header_ = newMasterHeader(where.masterFileName, today);
    else
        master.header_ = decodeMasterHeader(master.file_.readRecord(kHeaderRecord));
    return master;
}

SwimmerRecord MasterFile::loadSwimmer(qint32 entryNo) const
{
    if (entryNo <= 0)
        return clearSwimmer();
    const qint64 recordNo = kFirstEntryRecord + static_cast<qint64>(entryNo);
    // A certificate with a blank name is a certificate lost: an entry that is not in the
    // file stops its event instead.
    if (!file_.holdsRecord(recordNo))
        failRecordPastEnd(file_, recordNo, Words::tr("reading swimmer entry %1").arg(entryNo));
    SwimmerRecord swimmer = decodeSwimmer(file_.readRecord(recordNo));
    normaliseSixDigit(swimmer);
    return swimmer;
}

CustomEventTable readCustomEventTable(const DataLocations& where)
{
    const RecordFile file = openMeetFile(where, MeetFile::Master, kMasterRecordLength);
    return decodeCustomEventTable(file.readRecord(kCustomEventRecord));
}

QString cleanText(const QString& text, qint16 mode)
{
    QString cleaned = text;
    for (QChar& c : cleaned) {
        if (c.unicode() < 0x20)
            c = u' ';
    }

    qsizetype first = 0;
    qsizetype last = cleaned.size();
    while (first < last && cleaned.at(first) == u' ')
        ++first;
    while (last > first && cleaned.at(last - 1) == u' ')
        --last;
    cleaned = cleaned.mid(first, last - first);

    constexpr qsizetype kFixedWidth = 5;
    switch (mode) {
    case 1:
        if (cleaned.size() < kFixedWidth)
            cleaned += QString(kFixedWidth - cleaned.size(), u' ');
        // A long text gives up its inner blanks from the left, but keeps its characters.
        while (cleaned.size() > kFixedWidth) {
            const qsizetype blank = cleaned.indexOf(u' ');
            if (blank < 0)
                break;
            cleaned.remove(blank, 1);
        }
        break;
    case 2:
        cleaned.remove(u' ');
        cleaned.remove(QChar(0x3000));
        break;
    default: break;
    }
    return cleaned;
}

} // namespace tarvel
