#include "web/boardjson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tarvel::web {

const char* boardStateWord(BoardState state)
{
    switch (state) {
    case BoardState::Incomplete: return "incomplete";
    case BoardState::Ready: return "ready";
    case BoardState::Printing: return "printing";
    case BoardState::Printed: return "printed";
    case BoardState::Failed: return "failed";
    }
    return "incomplete";
}

namespace {

QJsonArray linesJson(const QList<BoardEvent>& events, const QHash<int, qint64>& lists)
{
    QJsonArray lines;
    for (const BoardEvent& event : events) {
        lines.append(QJsonObject{
            {u"race"_qs, event.raceNo},
            {u"title"_qs, event.title},
            {u"state"_qs, QString::fromLatin1(boardStateWord(event.state))},
            {u"time"_qs, event.printedAt},
            {u"why"_qs, event.why},
            {u"list"_qs, lists.value(event.raceNo)},
        });
    }
    return lines;
}

} // namespace

QByteArray boardJson(qint64 version, const QString& meetName, const QString& trouble,
                     const QList<BoardEvent>& events, const QHash<int, qint64>& lists)
{
    const QJsonArray lines = linesJson(events, lists);
    const QJsonObject board{
        {u"version"_qs, version},
        {u"meet"_qs, meetName},
        {u"trouble"_qs, trouble},
        {u"events"_qs, lines},
    };
    return QJsonDocument(board).toJson(QJsonDocument::Compact);
}

EventLines ceremonyEventLines(const CeremonyEvent& event)
{
    QJsonArray groups;
    for (const CeremonyGroup& group : event.groups) {
        QJsonArray entries;
        for (const CeremonyEntry& entry : group.entries) {
            entries.append(QJsonObject{
                {u"rank"_qs, entry.rank},
                {u"name"_qs, entry.name},
                {u"affiliation"_qs, entry.affiliation},
                {u"prefecture"_qs, entry.prefecture},
                {u"result"_qs, entry.result},
                {u"mark"_qs, entry.mark},
                {u"legs"_qs, QJsonArray::fromStringList(entry.legs)},
            });
        }
        groups.append(QJsonObject{{u"heading"_qs, group.heading}, {u"entries"_qs, entries}});
    }
    EventLines lines;
    lines.object = QJsonObject{
        {u"race"_qs, event.raceNo},
        {u"title"_qs, event.title},
        {u"groups"_qs, groups},
    };
    lines.json = QJsonDocument(lines.object).toJson(QJsonDocument::Compact);
    return lines;
}

QByteArray ceremonyEventJson(const CeremonyEvent& event)
{
    return ceremonyEventLines(event).json;
}

std::string changeNotice(qint64 version, const QString& trouble, const QList<BoardEvent>& changed,
                         const QHash<int, qint64>& lists, const QList<int>& gone,
                         const QHash<int, EventLines>& fresh)
{
    QJsonObject notice{{u"version"_qs, version}};
    if (changed.size() + gone.size() > kNoticeLines) {
        notice.insert(u"full"_qs, true);
    } else {
        QJsonArray races;
        for (int race : gone)
            races.append(race);
        notice.insert(u"trouble"_qs, trouble);
        QJsonArray lines = linesJson(changed, lists);
        qsizetype listBytes = 0;
        for (qsizetype i = 0; i < changed.size(); ++i) {
            const auto built = fresh.constFind(changed[i].raceNo);
            if (built == fresh.constEnd() || listBytes + built->json.size() > kNoticeListBytes)
                continue;
            listBytes += built->json.size();
            QJsonObject line = lines[i].toObject();
            line.insert(u"lines"_qs, built->object);
            lines[i] = line;
        }
        notice.insert(u"events"_qs, lines);
        notice.insert(u"gone"_qs, races);
    }
    return QJsonDocument(notice).toJson(QJsonDocument::Compact).toStdString();
}

} // namespace tarvel::web
