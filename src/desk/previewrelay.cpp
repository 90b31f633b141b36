#include "desk/previewrelay.h"

namespace tarvel {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
// Spelt out: clang 14 does not deduce an aggregate's template arguments by itself.
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

void PreviewPicture::replay(PreviewSurface& surface) const
{
    surface.beginDrawing();
    for (const Call& call : calls_)
        std::visit(Overloaded{
                       [&](const Position& p) { surface.setPosition(p.x, p.y); },
                       [&](const Face& f) { surface.setFontFace(f.face); },
                       [&](const Size& s) { surface.setFontSize(s.points); },
                       [&](const MaxWidth& w) { surface.setMaxWidth(w.width); },
                       [&](const Text& t) { surface.drawText(t.text); },
                   },
                   call);
    surface.endDrawing();
}

void PreviewRelay::endDrawing()
{
    bool tell = false;
    {
        std::lock_guard lock(mutex_);
        latest_ = std::move(drawing_);
        tell = !waiting_;
        waiting_ = true;
    }
    drawing_ = PreviewPicture();
    if (tell && ready_)
        ready_();
}

PreviewPicture PreviewRelay::take()
{
    std::lock_guard lock(mutex_);
    waiting_ = false;
    return std::exchange(latest_, PreviewPicture());
}

} // namespace tarvel
