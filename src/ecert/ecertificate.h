#pragma once
/// One certificate as delivered, the source of its e-certificate: the texts as printed and
/// its place in the meet.

#include "layout/certificateitems.h"

#include <QString>

#include <optional>

namespace tarvel {

struct ECertificate {
    int raceNo = 0;         ///< the event's last heat: names the event ("R012")
    int heat = 0;           ///< the race swum in
    int lane = 0;           ///< the lane index there, 0 to 11
    std::optional<int> leg; ///< the relay leg 0 to 3
    QString eventTitle;     ///< "R012 男子 100m自由形 決勝"; empty when not known
    ItemTexts items{};      ///< the nineteen texts as printed
};

} // namespace tarvel
