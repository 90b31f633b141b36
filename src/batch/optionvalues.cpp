#include "batch/optionvalues.h"

#include <QRegularExpression>

#ifdef Q_OS_WIN
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#endif

namespace tarvel::batch {

namespace {

/// Whether `text` is a numeric address of `family` (AF_INET, AF_INET6), as the system reads
/// one: no names, which would need a lookup and could mean another machine tomorrow.
bool isNumericAddress(int family, const QString& text)
{
    unsigned char bytes[16];
    return inet_pton(family, text.toLatin1().constData(), bytes) == 1 && text.size() < 64;
}

} // namespace

bool isWholeNumber(const QString& text)
{
    static const QRegularExpression digits(u"^[0-9]+$"_qs);
    return digits.match(text).hasMatch();
}

std::optional<ReprintChoice> parseReprint(const QString& text)
{
    static const QRegularExpression form(u"^([0-9]{1,4})(?::([0-9]{1,2})(?::([0-9]))?)?$"_qs);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    ReprintChoice choice;
    choice.raceNo = match.captured(1).toInt();
    if (choice.raceNo < 1 || choice.raceNo > 1024)
        return std::nullopt;
    if (match.hasCaptured(2)) {
        const int lane = match.captured(2).toInt();
        if (lane < 1 || lane > 12)
            return std::nullopt;
        choice.lane = lane - 1;
    }
    if (match.hasCaptured(3)) {
        const int leg = match.captured(3).toInt();
        if (leg < 1 || leg > 4)
            return std::nullopt;
        choice.leg = leg - 1;
    }
    return choice;
}

std::optional<QList<int>> parseRaceList(const QString& text)
{
    if (text == u"all")
        return QList<int>();
    QList<int> races;
    for (const QString& part : text.split(u',')) {
        const int race = isWholeNumber(part) && part.size() <= 4 ? part.toInt() : 0;
        if (race < 1 || race > 1024)
            return std::nullopt;
        races << race;
    }
    return races;
}

std::optional<ListenAt> parseListen(const QString& text)
{
    static const QRegularExpression form(
        u"^(?:\\[([^\\]]*)\\]|([^:\\[\\]]*))(?::([0-9]{1,5}))?$"_qs);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    ListenAt at;
    const bool bracketed = match.hasCaptured(1);
    at.address = bracketed ? match.captured(1) : match.captured(2);
    if (!isNumericAddress(bracketed ? AF_INET6 : AF_INET, at.address))
        return std::nullopt;
    if (match.hasCaptured(3)) {
        const int port = match.captured(3).toInt();
        if (port > 65535)
            return std::nullopt;
        at.port = std::uint16_t(port);
    }
    return at;
}

} // namespace tarvel::batch
