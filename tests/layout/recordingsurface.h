#pragma once
/// Surfaces for tests that keep every call made on them, in order.

#include "platform/previewsurface.h"
#include "platform/printdevice.h"

#include <QString>

#include <vector>

namespace tarvel::testing {

struct SurfaceCall {
    enum class Kind {
        BeginDrawing,
        EndDrawing,
        Position,
        Face,
        Size,
        MaxWidth,
        Text,
        Line,
        EndPage,
        EndDocument,
        DocumentName
    };
    Kind kind;
    double x = 0.0; // position x, or the size
    double y = 0.0;
    QString text; // text, face or document name
};

/// One text as it was drawn: the position and size in force, and the text.
struct DrawnText {
    double x = 0.0;
    double y = 0.0;
    double points = 0.0;
    QString text;
};

/// Keeps every call of the Surface interface.
class CallLog {
public:
    const std::vector<SurfaceCall>& calls() const { return calls_; }
    /// The texts drawn, with the position and size set last before each.
    std::vector<DrawnText> drawnTexts() const;
    /// How many calls of one kind were made.
    int count(SurfaceCall::Kind kind) const;

protected:
    void record(SurfaceCall::Kind kind, double x = 0.0, double y = 0.0, QString text = {})
    {
        calls_.push_back(SurfaceCall{kind, x, y, std::move(text)});
    }

private:
    std::vector<SurfaceCall> calls_;
};

class RecordingPreview final : public PreviewSurface, public CallLog {
public:
    void beginDrawing() override { record(SurfaceCall::Kind::BeginDrawing); }
    void endDrawing() override { record(SurfaceCall::Kind::EndDrawing); }
    void setPosition(double x, double y) override { record(SurfaceCall::Kind::Position, x, y); }
    void setFontFace(const QString& face) override
    {
        record(SurfaceCall::Kind::Face, 0.0, 0.0, face);
    }
    void setFontSize(double points) override { record(SurfaceCall::Kind::Size, points); }
    void setMaxWidth(double width) override { record(SurfaceCall::Kind::MaxWidth, width); }
    void drawText(const QString& text) override { record(SurfaceCall::Kind::Text, 0, 0, text); }
};

class RecordingPrintDevice final : public PrintDevice, public CallLog {
public:
    void setPosition(double x, double y) override { record(SurfaceCall::Kind::Position, x, y); }
    void setFontFace(const QString& face) override
    {
        record(SurfaceCall::Kind::Face, 0.0, 0.0, face);
    }
    void setFontSize(double points) override { record(SurfaceCall::Kind::Size, points); }
    void setMaxWidth(double width) override { record(SurfaceCall::Kind::MaxWidth, width); }
    void drawText(const QString& text) override { record(SurfaceCall::Kind::Text, 0, 0, text); }
    void drawLine(double x1, double y1, double, double) override
    {
        record(SurfaceCall::Kind::Line, x1, y1);
    }
    void endPage() override { record(SurfaceCall::Kind::EndPage); }
    Delivery endDocument() override
    {
        record(SurfaceCall::Kind::EndDocument);
        return {};
    }
    void abortDocument() noexcept override {}
    void setDocumentName(const QString& name) override
    {
        record(SurfaceCall::Kind::DocumentName, 0, 0, name);
    }
};

} // namespace tarvel::testing
