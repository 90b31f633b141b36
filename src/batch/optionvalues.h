#pragma once
/// The values tarvel-batch's options take beyond plain words: where to listen, what to
/// reprint, lists of races and whole numbers. Each parser returns none for text it refuses.

#include "web/venue.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace tarvel::batch {

/// Where the venue page listens: an IPv4 address or an IPv6 address (written in brackets
/// on the command line), and a port (0: any free one, told when serving begins).
struct ListenAt {
    QString address = QStringLiteral("127.0.0.1");
    std::uint16_t port = web::kDefaultVenuePort;
};

/// Certificates chosen for a reprint: an event by its last heat (or a heat), or one lane of
/// a heat (index 0 to 11), or one leg of a relay lane (0 to 3).
struct ReprintChoice {
    int raceNo = 0;
    std::optional<int> lane;
    std::optional<int> leg;
};

/// "ADDR:PORT", "[ADDR]:PORT" for IPv6, or the address alone (the default port); none when
/// the address is not a numeric IPv4 or IPv6 address or the port not 0 to 65535.
std::optional<ListenAt> parseListen(const QString& text);

/// "RACE", "RACE:LANE" or "RACE:LANE:LEG", lanes and legs counted from 1.
std::optional<ReprintChoice> parseReprint(const QString& text);

/// "all" (every event: an empty list) or races 1 to 1024 separated by commas.
std::optional<QList<int>> parseRaceList(const QString& text);

/// Digits only: no sign, no spaces.
bool isWholeNumber(const QString& text);

} // namespace tarvel::batch
