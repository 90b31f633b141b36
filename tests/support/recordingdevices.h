#pragma once
/// A print device and a preview for tests that keep what was drawn on them: every call in
/// order, the texts with the position and size in force, the pages and the documents.
/// Used on one thread at a time (a run's, then the test's).

#include "platform/failure.h"
#include "platform/previewsurface.h"
#include "platform/printdevice.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <deque>
#include <functional>
#include <optional>
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

/// Keeps every call of the Surface interface, and the texts with the position and size
/// set last before each.
class CallLog {
public:
    const std::vector<SurfaceCall>& calls() const { return calls_; }
    /// The texts drawn, with the position and size set last before each.
    std::vector<DrawnText> drawnTexts() const;
    /// How many calls of one kind were made.
    int count(SurfaceCall::Kind kind) const;

protected:
    void record(SurfaceCall::Kind kind, double x = 0.0, double y = 0.0, QString text = {});
    /// The text as drawn now.
    DrawnText placed(const QString& text) const { return {x_, y_, points_, text}; }

private:
    std::vector<SurfaceCall> calls_;
    double x_ = 0.0;
    double y_ = 0.0;
    double points_ = 0.0;
};

/// Keeps every call, and each complete drawing.
class RecordingPreview final : public PreviewSurface, public CallLog {
public:
    void beginDrawing() override;
    void endDrawing() override;
    void setPosition(double x, double y) override { record(SurfaceCall::Kind::Position, x, y); }
    void setFontFace(const QString& face) override { record(SurfaceCall::Kind::Face, 0, 0, face); }
    void setFontSize(double points) override { record(SurfaceCall::Kind::Size, points); }
    void setMaxWidth(double width) override { record(SurfaceCall::Kind::MaxWidth, width); }
    void drawText(const QString& text) override;

    /// The texts of the last complete drawing.
    QStringList lastTexts() const;

    /// The last complete drawing.
    QList<DrawnText> last;
    /// Complete drawings so far.
    int drawings = 0;

private:
    QList<DrawnText> drawing_;
};

struct RecordedDocument {
    QString name;
    /// The texts drawn on each page, in drawing order.
    QList<QStringList> pages;
};

/// Keeps every call, the pages and the documents delivered; can refuse documents or fail
/// every text, as a printer would.
class RecordingPrinter final : public PrintDevice, public CallLog {
public:
    void setPosition(double x, double y) override { record(SurfaceCall::Kind::Position, x, y); }
    void setFontFace(const QString& face) override;
    void setFontSize(double points) override { record(SurfaceCall::Kind::Size, points); }
    void setMaxWidth(double width) override { record(SurfaceCall::Kind::MaxWidth, width); }
    void drawText(const QString& text) override;
    void drawLine(double x1, double y1, double, double) override
    {
        record(SurfaceCall::Kind::Line, x1, y1);
    }
    void endPage() override;
    Delivery endDocument() override;
    void abortDocument() noexcept override;
    /// In the background mode a delivery begun finishes only when it is waited for, as a
    /// busy scheduler's would; otherwise at once.
    void beginDelivery() override;
    std::optional<Delivery> takeDelivery(DeliveryWait wait) override;
    void setDocumentName(const QString& name) override;

    /// Pages drawn and not yet ended as a document.
    int openPages() const { return int(open_.pages.size()); }
    /// The pages of the documents delivered.
    int pageCount() const;

    /// The documents delivered, in order; a document's job id is its place from 1.
    QList<RecordedDocument> documents;
    /// Every page drawn, of every document, ended, delivered or not.
    QList<QStringList> pages;
    /// The face given last.
    QString face;
    int documentEnds = 0;
    int documentAborts = 0;
    /// Documents for which this says yes are refused, as a printer refusing the job would.
    std::function<bool(const RecordedDocument&)> refuse;
    /// Every text drawn fails, as a printer out of paper would; may change during a run.
    std::atomic<bool> failing = false;
    /// What fails is the print scheduler, which does not answer (set before the run).
    bool schedulerSilent = false;
    bool inBackground = false;

private:
    Delivery deliver(const RecordedDocument& document);

    RecordedDocument open_;
    std::deque<RecordedDocument> underWay_;
    QString name_;
    bool pageOpen_ = false;
};

} // namespace tarvel::testing
