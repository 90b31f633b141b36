#pragma once
/// The award board as the browser reads it: compact JSON (UTF-8), built once per change and
/// served as it is to every client.

#include "ceremony/ceremonylist.h"
#include "web/boardfacts.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tarvel::web {

/// The state's word in the JSON: "incomplete", "ready", "printing", "printed", "failed".
const char* boardStateWord(BoardState state);

/// {"version":N,"meet":"…","trouble":"…","events":[{"race":12,"title":"…","state":"printed",
/// "time":"10:42","why":"","list":true}, …]}; "list" says whether /board/event/12.json has
/// the event's ceremony lines.
QByteArray boardJson(qint64 version, const QString& meetName, const QString& trouble,
                     const QList<BoardEvent>& events, const QList<int>& withList);

/// {"race":12,"title":"…","groups":[{"heading":"…","entries":[{"rank":"1位","name":"…",
/// "affiliation":"…","prefecture":"…","result":"…","mark":"…","legs":["1 …", …]}]}]}
QByteArray ceremonyEventJson(const CeremonyEvent& event);

/// What a change is worth telling every browser, small enough for 200 of them:
/// {"version":N,"events":[12,15]}: fetch /board.json again, and the lines of the events
/// named when shown.
std::string changeNotice(qint64 version, const QList<int>& changed);

} // namespace tarvel::web
