#pragma once
/// The award ceremony list: who is called to the podium, event by event, in the order the
/// printer put their certificates out, in the texts the certificates carry.

#include "layout/certificateitems.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarvel {

/// One certificate as it was delivered.
struct CeremonyCertificate {
    int heat = 0;           ///< the race swum in
    int lane = 0;           ///< the lane index there, 0 to 11
    std::optional<int> leg; ///< the relay leg 0 to 3; none for an individual event
    ItemTexts items{};      ///< the nineteen texts as printed
};

/// One line the presenter reads: a swimmer, or a relay team with its legs beneath. Texts are
/// the certificate's, blanks around them trimmed.
struct CeremonyEntry {
    QString rank;        ///< "1位"; empty for a result without a rank (参加)
    QString name;        ///< the swimmer; empty for a relay team
    QString affiliation; ///< the swimmer's club, or the relay team
    QString prefecture;
    QString result; ///< "1:04.20"
    QString mark;   ///< "大会新"; usually empty
    /// A relay team's swimmers in the order of their legs ("1 川波　櫂"); empty otherwise.
    QStringList legs;

    bool operator==(const CeremonyEntry&) const = default;
};

/// The certificates of one group: an age group or class code where an event is ranked
/// within groups, or the whole event.
struct CeremonyGroup {
    /// The sub-heading: the class label as printed, with the group's grade or ages where one
    /// label covers several groups; empty when the event has one group and no label.
    QString heading;
    QList<CeremonyEntry> entries;
};

/// One event's list.
struct CeremonyEvent {
    int raceNo = 0; ///< the event's last heat
    QString title;  ///< "R012 男子 100m自由形 決勝"
    QList<CeremonyGroup> groups;
};

/// What one document carries: one event after its certificates, or many (meet-wide).
struct CeremonyList {
    QString meetName; ///< as the certificates printed it
    QList<CeremonyEvent> events;
};

/// The list of one event from its certificates in the order they were delivered. A relay
/// team's legs (consecutive certificates of one heat and lane) make one entry. Groups follow
/// the stack: a new group begins where the class label changes or the ranks begin again
/// (ranks only rise within a group; a rank kept with another result is a group's first).
CeremonyEvent ceremonyEventOf(int raceNo, const QString& title,
                              const QList<CeremonyCertificate>& stack);

/// The meet's name as the certificates of `stack` printed it (the first that has one).
QString meetNameOf(const QList<CeremonyCertificate>& stack);

} // namespace tarvel
