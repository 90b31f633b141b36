#include "recordingsurface.h"

#include <algorithm>

namespace tarvel::testing {

std::vector<DrawnText> CallLog::drawnTexts() const
{
    std::vector<DrawnText> texts;
    DrawnText current;
    for (const SurfaceCall& call : calls_) {
        switch (call.kind) {
        case SurfaceCall::Kind::Position:
            current.x = call.x;
            current.y = call.y;
            break;
        case SurfaceCall::Kind::Size: current.points = call.x; break;
        case SurfaceCall::Kind::Text:
            current.text = call.text;
            texts.push_back(current);
            break;
        default: break;
        }
    }
    return texts;
}

int CallLog::count(SurfaceCall::Kind kind) const
{
    return int(std::count_if(calls_.begin(), calls_.end(),
                             [kind](const SurfaceCall& call) { return call.kind == kind; }));
}

} // namespace tarvel::testing
