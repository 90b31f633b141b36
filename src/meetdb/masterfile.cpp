#include "meetdb/masterfile.h"

#include "meetdb/meetfiles.h"
#include "platform/binaryrecord.h"
#include "platform/cp932.h"
#include "platform/numbers.h"
#include "platform/words.h"

#include <QLocale>

namespace tarvel {

namespace {

// The fields of the header (record 1): numbers by offset, texts by offset and width.
namespace header {
constexpr int kNo1 = 0, kNo2 = 4, kClassScheme = 63, kNo3 = 65, kCounters = 67;
constexpr TextField kDate1{6, 10}, kBaseName{16, 8}, kText1{24, 12}, kDate2{36, 10}, kDate3{46, 10},
    kText2{56, 7};
} // namespace header

// The fields of the custom event table (record 2): entry k's texts are the nth(k) of these.
namespace custom {
constexpr TextField kDivision{0, 8}, kEventName{120, 16}, kFlag{360, 1}, kRest{375, 9};
} // namespace custom

// The fields of an entry (record n + 10).
namespace entry {
constexpr int kField0 = 0, kAge = 91, kField95 = 95, kField277 = 277;
constexpr TextField kField281{281, 1}, kField325{325, 1}; // the first of 44 each

/// Every whole text field of the record, with the member it is kept in.
struct Text {
    QString SwimmerRecord::*member;
    TextField field;
};
constexpr Text kTexts[] = {
    {&SwimmerRecord::field4, {4, 7}},        {&SwimmerRecord::regNo, {11, 14}},
    {&SwimmerRecord::swimmerName, {25, 16}}, {&SwimmerRecord::field41, {41, 16}},
    {&SwimmerRecord::prefecture, {57, 8}},   {&SwimmerRecord::field65, {65, 6}},
    {&SwimmerRecord::affiliation, {71, 12}}, {&SwimmerRecord::field83, {83, 6}},
    {&SwimmerRecord::gradeCode, {89, 2}},    {&SwimmerRecord::sexCode, {93, 1}},
    {&SwimmerRecord::field94, {94, 1}},      {&SwimmerRecord::sixDigit, {271, 6}},
    {&SwimmerRecord::field369, {369, 15}},
};
} // namespace entry

constexpr qint64 kHeaderRecord = 1;
constexpr qint64 kCustomEventRecord = 2;

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
    for (const entry::Text& text : entry::kTexts)
        swimmer.*text.member = blanks(text.field.width);
    swimmer.sixDigit = u"000000"_qs;
    swimmer.field281.fill(blanks(entry::kField281.width));
    swimmer.field325.fill(blanks(entry::kField325.width));
    return swimmer;
}

SwimmerRecord decodeSwimmer(QByteArrayView bytes)
{
    using namespace entry;
    const RecordReader in(bytes);
    SwimmerRecord swimmer;
    swimmer.field0 = in.int32At(kField0);
    for (const Text& text : kTexts)
        swimmer.*text.member = in.text(text.field);
    swimmer.age = in.int16At(kAge);
    for (int i = 0; i < 44; ++i)
        swimmer.field95[i] = in.int32At(kField95 + 4 * i);
    swimmer.field277 = in.int32At(kField277);
    for (int i = 0; i < 44; ++i) {
        swimmer.field281[i] = in.text(kField281.nth(i));
        swimmer.field325[i] = in.text(kField325.nth(i));
    }
    return swimmer;
}

QByteArray encodeSwimmer(const SwimmerRecord& swimmer)
{
    using namespace entry;
    RecordWriter out(kMasterRecordLength);
    out.putInt32(kField0, swimmer.field0);
    for (const Text& text : kTexts)
        out.putText(text.field, swimmer.*text.member);
    out.putInt16(kAge, swimmer.age);
    for (int i = 0; i < 44; ++i)
        out.putInt32(kField95 + 4 * i, swimmer.field95[i]);
    out.putInt32(kField277, swimmer.field277);
    for (int i = 0; i < 44; ++i) {
        out.putText(kField281.nth(i), swimmer.field281[i]);
        out.putText(kField325.nth(i), swimmer.field325[i]);
    }
    return out.bytes();
}

MasterHeader decodeMasterHeader(QByteArrayView bytes)
{
    using namespace header;
    const RecordReader in(bytes);
    MasterHeader h;
    h.headerNo1 = in.int32At(kNo1);
    h.headerNo2 = in.int16At(kNo2);
    h.date1 = in.text(kDate1);
    h.baseName = in.text(kBaseName);
    h.text1 = in.text(kText1);
    h.date2 = in.text(kDate2);
    h.date3 = in.text(kDate3);
    h.text2 = in.text(kText2);
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
    out.putText(kDate1, h.date1);
    out.putText(kBaseName, h.baseName);
    out.putText(kText1, h.text1);
    out.putText(kDate2, h.date2);
    out.putText(kDate3, h.date3);
    out.putText(kText2, h.text2);
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
        table.customDivision[k] = in.text(kDivision.nth(k));
        table.customEventName[k] = in.text(kEventName.nth(k));
        table.flags[k] = in.text(kFlag.nth(k));
    }
    table.rest = in.text(kRest);
    return table;
}

QByteArray encodeCustomEventTable(const CustomEventTable& table)
{
    using namespace custom;
    RecordWriter out(kMasterRecordLength);
    for (int k = 0; k < 15; ++k) {
        out.putText(kDivision.nth(k), table.customDivision[k]);
        out.putText(kEventName.nth(k), table.customEventName[k]);
        out.putText(kFlag.nth(k), table.flags[k]);
    }
    out.putText(kRest, table.rest);
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
    const QString date = asField(shortDateText(today, locale), kDate1.width);
    const qsizetype dot = masterFileName.indexOf(u'.');
    const QString base = dot < 0 ? masterFileName : masterFileName.left(dot);

    MasterHeader h;
    h.headerNo1 = 0;
    h.headerNo2 = 1;
    h.date1 = date;
    h.baseName = asField(base, kBaseName.width);
    h.text1 = blanks(kText1.width);
    h.date2 = date;
    h.date3 = date;
    h.text2 = blanks(kText2.width);
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
    const qint64 recordNo = numberedRecord(entryNo);
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
