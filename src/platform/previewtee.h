#pragma once
/// A preview surface that passes every drawing call on to several others (the window's
/// small and large previews draw one certificate together).

#include "platform/previewsurface.h"

#include <vector>

namespace tarvel {

/// Sends each call to every surface given, in order; none is owned.
class PreviewTee final : public PreviewSurface {
public:
    explicit PreviewTee(std::vector<PreviewSurface*> surfaces) : surfaces_(std::move(surfaces)) {}

    void beginDrawing() override
    {
        forEach([](PreviewSurface& s) { s.beginDrawing(); });
    }
    void endDrawing() override
    {
        forEach([](PreviewSurface& s) { s.endDrawing(); });
    }
    void setPosition(double x, double y) override
    {
        forEach([=](PreviewSurface& s) { s.setPosition(x, y); });
    }
    void setFontFace(const QString& face) override
    {
        forEach([&](PreviewSurface& s) { s.setFontFace(face); });
    }
    void setFontSize(double points) override
    {
        forEach([=](PreviewSurface& s) { s.setFontSize(points); });
    }
    void setMaxWidth(double width) override
    {
        forEach([=](PreviewSurface& s) { s.setMaxWidth(width); });
    }
    void drawText(const QString& text) override
    {
        forEach([&](PreviewSurface& s) { s.drawText(text); });
    }

private:
    template <class Call>
    void forEach(const Call& call)
    {
        for (PreviewSurface* surface : surfaces_)
            call(*surface);
    }

    std::vector<PreviewSurface*> surfaces_;
};

} // namespace tarvel
