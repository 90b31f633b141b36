#pragma once
/// The award board as the browser reads it: compact JSON (UTF-8), built once per change and
/// served as it is to every client.

#include "ceremony/ceremonylist.h"
#include "web/boardfacts.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace tarvel::web {

/// The state's word in the JSON: "incomplete", "ready", "printing", "printed", "failed".
const char* boardStateWord(BoardState state);

/// {"version":N,"meet":"…","trouble":"…","events":[{"race":12,"title":"…","state":"printed",
/// "time":"10:42","why":"","list":345}, …]}; "list" names the ledger document whose ceremony
/// lines /board/event/12.json serves (0: none), so a browser fetches them again only when
/// they changed. `lists` maps events to those documents.
QByteArray boardJson(qint64 version, const QString& meetName, const QString& trouble,
                     const QList<BoardEvent>& events, const QHash<int, qint64>& lists);

/// {"race":12,"title":"…","groups":[{"heading":"…","entries":[{"rank":"1位","name":"…",
/// "affiliation":"…","prefecture":"…","result":"…","mark":"…","legs":["1 …", …]}]}]}
QByteArray ceremonyEventJson(const CeremonyEvent& event);

/// An event's ceremony lines built once: as an object for a notice, as text for
/// /board/event/N.json (ceremonyEventJson()).
struct EventLines {
    QJsonObject object;
    QByteArray json;
};
EventLines ceremonyEventLines(const CeremonyEvent& event);

/// At most this many lines ride in a notice; more (the first refresh, a new taikai.dat) and
/// the notice only says to fetch the board.
inline constexpr int kNoticeLines = 32;

/// The ceremony lines riding in one notice come to at most this many bytes; the lines of the
/// events past it are left for the browsers to fetch.
inline constexpr qsizetype kNoticeListBytes = 48 * 1024;

/// What a change is worth telling every browser, small enough for 200 of them and enough for
/// each to follow without asking: {"version":N,"trouble":"…","events":[lines as in
/// boardJson of the events changed],"gone":[races no longer on the board]}; an event whose
/// ceremony lines are in `fresh` carries them as "lines" (as /board/event/N.json serves
/// them) while the notice's lines stay within kNoticeListBytes. A browser that shows
/// version N - 1 applies it, any other fetches /board.json. With more than kNoticeLines
/// lines: {"version":N,"full":true}.
std::string changeNotice(qint64 version, const QString& trouble, const QList<BoardEvent>& changed,
                         const QHash<int, qint64>& lists, const QList<int>& gone,
                         const QHash<int, EventLines>& fresh = {});

} // namespace tarvel::web
