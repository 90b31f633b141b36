#pragma once
/// The preview of a run that prints on another thread: each certificate's drawing is
/// recorded there and replayed on the GUI thread, latest only.

#include "platform/previewsurface.h"

#include <QString>

#include <functional>
#include <mutex>
#include <variant>
#include <vector>

namespace tarvel {

/// One certificate's preview drawing, as calls to replay.
class PreviewPicture {
public:
    struct Position {
        double x, y;
    };
    struct Face {
        QString face;
    };
    struct Size {
        double points;
    };
    struct MaxWidth {
        double width;
    };
    struct Text {
        QString text;
    };
    using Call = std::variant<Position, Face, Size, MaxWidth, Text>;

    void add(Call call) { calls_.push_back(std::move(call)); }
    bool isEmpty() const { return calls_.empty(); }
    /// Draws the picture on `surface`, from beginDrawing() to endDrawing().
    void replay(PreviewSurface& surface) const;

private:
    std::vector<Call> calls_;
};

/// Records on the run's thread; take() on any thread. `ready` is called on the recording
/// thread when a picture is complete and none was waiting to be taken, so a GUI that
/// falls behind is told once and then takes only the latest.
class PreviewRelay final : public PreviewSurface {
public:
    explicit PreviewRelay(std::function<void()> ready) : ready_(std::move(ready)) {}

    void beginDrawing() override { drawing_ = PreviewPicture(); }
    void endDrawing() override;
    void setPosition(double x, double y) override { drawing_.add(PreviewPicture::Position{x, y}); }
    void setFontFace(const QString& face) override { drawing_.add(PreviewPicture::Face{face}); }
    void setFontSize(double points) override { drawing_.add(PreviewPicture::Size{points}); }
    void setMaxWidth(double width) override { drawing_.add(PreviewPicture::MaxWidth{width}); }
    void drawText(const QString& text) override { drawing_.add(PreviewPicture::Text{text}); }

    /// The latest complete picture not yet taken; empty when there is none.
    PreviewPicture take();

private:
    std::function<void()> ready_;
    PreviewPicture drawing_;
    std::mutex mutex_;
    PreviewPicture latest_;
    bool waiting_ = false;
};

} // namespace tarvel
