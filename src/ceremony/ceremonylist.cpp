#include "ceremony/ceremonylist.h"

#include "platform/words.h"

#include <algorithm>
#include <limits>

namespace tarvel {

namespace {

/// The number of a rank text ("  1位" is 1); none for a result without a rank.
std::optional<int> rankNumber(const QString& rank)
{
    QString digits;
    for (const QChar c : rank.trimmed()) {
        if (!c.isDigit())
            break;
        digits += c;
    }
    bool ok = false;
    const int number = digits.toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

CeremonyEntry entryOf(const ItemTexts& items)
{
    CeremonyEntry entry;
    entry.rank = items[kItemRank].trimmed();
    entry.name = items[kItemName].trimmed();
    entry.affiliation = items[kItemAffiliation].trimmed();
    entry.prefecture = items[kItemPrefecture].trimmed();
    entry.result = items[kItemResult].trimmed();
    entry.mark = items[kItemRemark].trimmed();
    return entry;
}

/// Whether `next` is a further leg of the team whose first leg is `first`.
bool sameTeam(const CeremonyCertificate& first, const CeremonyCertificate& next)
{
    return first.leg && next.leg && next.heat == first.heat && next.lane == first.lane
           && *next.leg > *first.leg;
}

/// One group's certificates, before they become entries.
struct GroupStack {
    QString label;
    QList<const CeremonyCertificate*> certificates;
};

/// Splits the stack where the class label changes or the ranks begin again.
QList<GroupStack> splitGroups(const QList<CeremonyCertificate>& stack)
{
    QList<GroupStack> groups;
    // The rank of the certificate before in the group; none at a group's start. A plain
    // int keeps g++'s optimizer from a false "may be used uninitialized".
    constexpr int kNoRank = std::numeric_limits<int>::min();
    int lastRank = kNoRank;
    QString lastResult;
    for (const CeremonyCertificate& certificate : stack) {
        const QString label = certificate.items[kItemClass].trimmed();
        const std::optional<int> rank = rankNumber(certificate.items[kItemRank]);
        const QString result = certificate.items[kItemResult].trimmed();
        // Within a group ranks only rise; a rank kept is a tie, which has the same result.
        const bool ranksAgain =
            rank && lastRank != kNoRank
            && (*rank < lastRank || (*rank == lastRank && result != lastResult));
        if (groups.isEmpty() || groups.last().label != label || ranksAgain) {
            groups.append({label, {}});
            lastRank = kNoRank;
        }
        groups.last().certificates.append(&certificate);
        if (rank) {
            lastRank = *rank;
            lastResult = result;
        }
    }
    return groups;
}

/// What tells apart groups that share one label: their grade when they have one, otherwise
/// the ages printed.
QString groupDistinction(const GroupStack& group)
{
    QStringList grades;
    int youngest = 0;
    int oldest = 0;
    for (const CeremonyCertificate* certificate : group.certificates) {
        const QString grade = certificate->items[kItemGrade].trimmed();
        if (!grades.contains(grade))
            grades << grade;
        bool ok = false;
        const int age = certificate->items[kItemAge].trimmed().toInt(&ok);
        if (!ok)
            continue;
        youngest = youngest == 0 ? age : std::min(youngest, age);
        oldest = std::max(oldest, age);
    }
    if (grades.size() == 1 && !grades.first().isEmpty())
        return grades.first();
    if (youngest == 0)
        return {};
    if (youngest == oldest)
        return Words::tr("age %1").arg(youngest);
    return Words::tr("ages %1 to %2").arg(youngest).arg(oldest);
}

QList<CeremonyEntry> entriesOf(const GroupStack& group)
{
    QList<CeremonyEntry> entries;
    const auto& certificates = group.certificates;
    for (qsizetype i = 0; i < certificates.size(); ++i) {
        const CeremonyCertificate& first = *certificates[i];
        CeremonyEntry entry = entryOf(first.items);
        if (!first.leg) {
            entries.append(entry);
            continue;
        }
        // A relay team once, its swimmers beneath in the order of their legs.
        entry.name.clear();
        for (qsizetype j = i; j < certificates.size(); ++j) {
            const CeremonyCertificate& leg = *certificates[j];
            if (j > i && !sameTeam(*certificates[j - 1], leg))
                break;
            i = j;
            const QString name = leg.items[kItemName].trimmed();
            if (!name.isEmpty())
                entry.legs << u"%1 %2"_qs.arg(*leg.leg + 1).arg(name);
        }
        entries.append(entry);
    }
    return entries;
}

} // namespace

CeremonyEvent ceremonyEventOf(int raceNo, const QString& title,
                              const QList<CeremonyCertificate>& stack)
{
    CeremonyEvent event{raceNo, title, {}};
    const QList<GroupStack> groups = splitGroups(stack);
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const GroupStack& group = groups[i];
        const bool labelShared = (i > 0 && groups[i - 1].label == group.label)
                                 || (i + 1 < groups.size() && groups[i + 1].label == group.label);
        QString heading = group.label;
        if (labelShared) {
            const QString distinction = groupDistinction(group);
            if (!distinction.isEmpty())
                heading = heading.isEmpty() ? distinction
                                            : Words::tr("%1 (%2)").arg(heading, distinction);
        }
        event.groups.append({heading, entriesOf(group)});
    }
    return event;
}

QString meetNameOf(const QList<CeremonyCertificate>& stack)
{
    for (const CeremonyCertificate& certificate : stack) {
        const QString name = certificate.items[kItemMeetName].trimmed();
        if (!name.isEmpty())
            return name;
    }
    return {};
}

} // namespace tarvel
