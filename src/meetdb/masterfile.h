#pragma once
/// The swimmer master file: the header, swimmers and relay teams, the custom events.

#include "meetdb/datalocations.h"
#include "platform/recordfile.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <array>

namespace tarvel {

inline constexpr int kMasterRecordLength = 384;

/// Record 1. Only classScheme is used; the rest matters when the header is created.
struct MasterHeader {
    qint32 headerNo1 = 0;
    qint16 headerNo2 = 0;
    QString date1;    // 10 bytes
    QString baseName; // 8 bytes
    QString text1;    // 12 bytes
    QString date2;    // 10 bytes
    QString date3;    // 10 bytes
    QString text2;    // 7 bytes
    /// Class-code scheme of classLabel: 0 or 1, or 2 for the lettered classes.
    qint16 classScheme = 0;
    qint16 headerNo3 = 0;
    std::array<qint32, 10> counters{};

    bool operator==(const MasterHeader&) const = default;
};

/// Record 2: entry k describes custom event 30 + k.
struct CustomEventTable {
    std::array<QString, 15> customDivision;  // 8 bytes each
    std::array<QString, 15> customEventName; // 16 bytes each
    std::array<QString, 15> flags;           // 1 byte each, unused
    QString rest;                            // 9 bytes, unused

    bool operator==(const CustomEventTable&) const = default;
};

/// Record n + 10 for entry n: a swimmer or a relay team. Every field is kept so that a
/// record can be handled whole; texts are decoded whole (trailing blanks and NULs kept).
struct SwimmerRecord {
    qint32 field0 = 0;
    QString field4;      // 7
    QString regNo;       // 14: the first 5 characters are the affiliation number
    QString swimmerName; // 16
    QString field41;     // 16
    QString prefecture;  // 8
    QString field65;     // 6
    QString affiliation; // 12
    QString field83;     // 6
    QString gradeCode;   // 2
    qint16 age = 0;
    QString sexCode; // 1: "1" male, "2" female
    QString field94; // 1
    std::array<qint32, 44> field95{};
    QString sixDigit; // 6: "000000" when it reads as 0
    qint32 field277 = 0;
    std::array<QString, 44> field281; // 1 each
    std::array<QString, 44> field325; // 1 each
    QString field369;                 // 15

    bool operator==(const SwimmerRecord&) const = default;
};

/// The record of no entry: texts blank, numbers 0, the six-digit field "000000".
SwimmerRecord clearSwimmer();

/// Decodes a swimmer record from its 384 bytes (short input reads as zero bytes).
SwimmerRecord decodeSwimmer(QByteArrayView bytes);
/// Encodes a swimmer record into 384 bytes.
QByteArray encodeSwimmer(const SwimmerRecord& swimmer);

MasterHeader decodeMasterHeader(QByteArrayView bytes);
QByteArray encodeMasterHeader(const MasterHeader& header);
CustomEventTable decodeCustomEventTable(QByteArrayView bytes);
QByteArray encodeCustomEventTable(const CustomEventTable& table);

/// A date in the short date format of `locale` (QLocale() is the system's unless a default
/// was set; a Japanese system gives "2003/03/01").
QString shortDateText(const QDate& day, const QLocale& locale = QLocale());

/// The header this program writes into an empty master file: dates as `today` in the
/// short date format (shortDateText), the base name from `masterFileName` up to its first
/// "." (the whole name when it has none), cut to 8 bytes without splitting a character.
/// Text fields hold what reading them back from the file gives (blank-padded).
MasterHeader newMasterHeader(const QString& masterFileName, const QDate& today,
                             const QLocale& locale = QLocale());

/// The master file held open while one event's certificates are composed, read-only: the
/// other system owns it. The file is closed when the object goes, on every path.
class MasterFile {
public:
    /// Opens masterDir + masterFileName. A missing file throws tarvel::Failure
    /// (Kind::Missing) naming the file that named it; it is never created. A file of 10
    /// bytes or less has no header yet: the header a new file would get
    /// (newMasterHeader) is used, and nothing is written.
    static MasterFile open(const DataLocations& where, const QDate& today = QDate::currentDate());

    const MasterHeader& header() const { return header_; }
    /// The record of entry n; n of 0 or less gives clearSwimmer(). The six-digit field
    /// reading as 0 becomes "000000". An entry whose record is not wholly in the file is
    /// not a swimmer of this meet: tarvel::Failure (Kind::Damaged), naming the entry.
    SwimmerRecord loadSwimmer(qint32 entryNo) const;

private:
    explicit MasterFile(RecordFile file) : file_(std::move(file)) {}

    RecordFile file_;
    MasterHeader header_;
};

/// Reads record 2 on a handle of its own (also while a MasterFile is open); a file too
/// short to hold it reads as an empty table. A missing file fails as MasterFile::open.
CustomEventTable readCustomEventTable(const DataLocations& where);

/// Cleans a fixed-width text for printing: control characters become blanks, leading and
/// trailing half-width blanks go. Mode 1 then fits it to five characters: shorter texts are
/// blank-padded, longer ones lose their first half-width blank again and again until five
/// characters are left or no blank is. Mode 2 removes every half-width and full-width blank.
/// Other modes (3) do nothing more.
QString cleanText(const QString& text, qint16 mode);

} // namespace tarvel
