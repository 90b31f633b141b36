#pragma once
/// A preview surface that passes every drawing call on to two others.

#include "platform/previewsurface.h"

namespace tarvel::ui {

/// Sends each call first to `first`, then to `second`; neither is owned.
class PreviewTee final : public PreviewSurface {
public:
    PreviewTee(PreviewSurface& first, PreviewSurface& second)
        : first_(first)
        , second_(second)
    {
    }

    void beginDrawing() override
    {
        first_.beginDrawing();
        second_.beginDrawing();
    }
    void endDrawing() override
    {
        first_.endDrawing();
        second_.endDrawing();
    }
    void setPosition(double x, double y) override
    {
        first_.setPosition(x, y);
        second_.setPosition(x, y);
    }
    void setFontFace(const QString& face) override
    {
        first_.setFontFace(face);
        second_.setFontFace(face);
    }
    void setFontSize(double points) override
    {
        first_.setFontSize(points);
        second_.setFontSize(points);
    }
    void setMaxWidth(double width) override
    {
        first_.setMaxWidth(width);
        second_.setMaxWidth(width);
    }
    void drawText(const QString& text) override
    {
        first_.drawText(text);
        second_.drawText(text);
    }

private:
    PreviewSurface& first_;
    PreviewSurface& second_;
};

} // namespace tarvel::ui
