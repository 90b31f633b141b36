#include "recordingdevices.h"

#include <algorithm>
#include <utility>

namespace tarvel::testing {

void CallLog::record(SurfaceCall::Kind kind, double x, double y, QString text)
{
    if (kind == SurfaceCall::Kind::Position) {
        x_ = x;
        y_ = y;
    } else if (kind == SurfaceCall::Kind::Size) {
        points_ = x;
    }
    calls_.push_back(SurfaceCall{kind, x, y, std::move(text)});
}

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

void RecordingPreview::beginDrawing()
{
    record(SurfaceCall::Kind::BeginDrawing);
    drawing_.clear();
}

void RecordingPreview::endDrawing()
{
    record(SurfaceCall::Kind::EndDrawing);
    last = drawing_;
    ++drawings;
}

void RecordingPreview::drawText(const QString& text)
{
    record(SurfaceCall::Kind::Text, 0, 0, text);
    drawing_.append(placed(text));
}

QStringList RecordingPreview::lastTexts() const
{
    QStringList texts;
    for (const DrawnText& drawn : last)
        texts << drawn.text;
    return texts;
}

void RecordingPrinter::setFontFace(const QString& face)
{
    record(SurfaceCall::Kind::Face, 0, 0, face);
    this->face = face;
}

void RecordingPrinter::drawText(const QString& text)
{
    if (failing && schedulerSilent)
        throw Failure::ofPrinter(u"sending the certificates"_qs, u"scheduler"_qs,
                                 u"did not answer"_qs, Failure::Kind::Unreachable);
    if (failing)
        throw Failure(u"printing the certificates"_qs, u"recorder"_qs, u"out of paper"_qs);
    record(SurfaceCall::Kind::Text, 0, 0, text);
    if (!pageOpen_) {
        open_.pages.append(QStringList());
        pages.append(QStringList());
        pageOpen_ = true;
    }
    open_.pages.last().append(text);
    pages.last().append(text);
}

void RecordingPrinter::endPage()
{
    record(SurfaceCall::Kind::EndPage);
    pageOpen_ = false;
}

Delivery RecordingPrinter::endDocument()
{
    record(SurfaceCall::Kind::EndDocument);
    ++documentEnds;
    pageOpen_ = false;
    if (open_.pages.isEmpty())
        return {};
    open_.name = name_;
    return deliver(std::exchange(open_, RecordedDocument()));
}

void RecordingPrinter::abortDocument() noexcept
{
    ++documentAborts;
    pageOpen_ = false;
    open_ = RecordedDocument();
}

void RecordingPrinter::beginDelivery()
{
    if (!inBackground)
        return PrintDevice::beginDelivery();
    record(SurfaceCall::Kind::EndDocument);
    ++documentEnds;
    pageOpen_ = false;
    open_.name = name_;
    underWay_.push_back(std::exchange(open_, RecordedDocument()));
}

std::optional<Delivery> RecordingPrinter::takeDelivery(DeliveryWait wait)
{
    if (!inBackground)
        return PrintDevice::takeDelivery(wait);
    if (underWay_.empty() || wait == DeliveryWait::No)
        return std::nullopt;
    const RecordedDocument document = underWay_.front();
    underWay_.pop_front();
    return deliver(document);
}

void RecordingPrinter::setDocumentName(const QString& name)
{
    record(SurfaceCall::Kind::DocumentName, 0, 0, name);
    name_ = name;
}

int RecordingPrinter::pageCount() const
{
    int count = 0;
    for (const RecordedDocument& document : documents)
        count += int(document.pages.size());
    return count;
}

Delivery RecordingPrinter::deliver(const RecordedDocument& document)
{
    if (refuse && refuse(document))
        throw Failure(u"printing the certificates"_qs, u"recorder"_qs, u"refused"_qs);
    documents.append(document);
    return {true, u"recorder"_qs, int(documents.size()), int(document.pages.size())};
}

} // namespace tarvel::testing
