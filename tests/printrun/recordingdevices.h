#pragma once
/// A print device and a preview that keep what was drawn, for checking pages and documents.

#include "platform/failure.h"
#include "platform/previewsurface.h"
#include "platform/printdevice.h"
#include "printrun/runobserver.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <utility>

namespace tarvel::testing {

struct RecordedDocument {
    QString name;
    /// The texts drawn on each page, in drawing order.
    QList<QStringList> pages;
};

class RecordingPrinter : public PrintDevice {
public:
    void setPosition(double, double) override {}
    void setFontFace(const QString& face) override { face_ = face; }
    void setFontSize(double) override {}
    void setMaxWidth(double) override {}
    void drawText(const QString& text) override
    {
        if (!pageOpen_) {
            open_.pages.append(QStringList());
            pageOpen_ = true;
        }
        open_.pages.last().append(text);
    }
    void drawLine(double, double, double, double) override {}
    void endPage() override { pageOpen_ = false; }
    Delivery endDocument() override
    {
        ++documentEnds;
        pageOpen_ = false;
        if (open_.pages.isEmpty())
            return {};
        open_.name = name_;
        RecordedDocument document = std::exchange(open_, RecordedDocument());
        if (refuse && refuse(document))
            throw Failure(u"printing the certificates"_qs, u"recorder"_qs, u"refused"_qs);
        documents.append(document);
        return {true, u"recorder"_qs, int(documents.size()), int(document.pages.size())};
    }
    void abortDocument() noexcept override
    {
        ++documentAborts;
        pageOpen_ = false;
        open_ = RecordedDocument();
    }

    /// In the background mode a delivery begun finishes only when it is waited for, as a
    /// busy scheduler's would; otherwise at once.
    void beginDelivery() override
    {
        if (!inBackground)
            return PrintDevice::beginDelivery();
        ++documentEnds;
        pageOpen_ = false;
        open_.name = name_;
        underWay_.push_back(std::exchange(open_, RecordedDocument()));
    }
    std::optional<Delivery> takeDelivery(DeliveryWait wait) override
    {
        if (!inBackground)
            return PrintDevice::takeDelivery(wait);
        if (underWay_.empty() || wait == DeliveryWait::No)
            return std::nullopt;
        const RecordedDocument document = underWay_.front();
        underWay_.pop_front();
        if (refuse && refuse(document))
            throw Failure(u"printing the certificates"_qs, u"recorder"_qs, u"refused"_qs);
        documents.append(document);
        return Delivery{true, u"recorder"_qs, int(documents.size()), int(document.pages.size())};
    }
    void setDocumentName(const QString& name) override { name_ = name; }

    /// Pages drawn and not yet ended as a document.
    int openPages() const { return int(open_.pages.size()); }
    int pageCount() const
    {
        int pages = 0;
        for (const RecordedDocument& document : documents)
            pages += int(document.pages.size());
        return pages;
    }

    QList<RecordedDocument> documents;
    int documentEnds = 0;
    int documentAborts = 0;
    /// Documents for which this says yes are refused, as a printer refusing the job would.
    std::function<bool(const RecordedDocument&)> refuse;
    bool inBackground = false;

private:
    RecordedDocument open_;
    std::deque<RecordedDocument> underWay_;
    QString name_;
    QString face_;
    bool pageOpen_ = false;
};

class RecordingPreview : public PreviewSurface {
public:
    void beginDrawing() override
    {
        ++drawings;
        texts.clear();
    }
    void endDrawing() override {}
    void setPosition(double, double) override {}
    void setFontFace(const QString&) override {}
    void setFontSize(double) override {}
    void setMaxWidth(double) override {}
    void drawText(const QString& text) override { texts.append(text); }

    int drawings = 0;
    QStringList texts;
};

/// One accepted certificate, copied.
struct Accepted {
    int raceNo = 0;
    int lane = 0;
    std::optional<int> leg;
    ItemTexts items;
};

/// Keeps every certificate and mark, and lets a test act when a race is reached.
class RecordingObserver : public RunObserver {
public:
    void raceReached(int raceNo) override
    {
        if (onRace)
            onRace(raceNo);
    }
    void certificateAccepted(const AcceptedCertificate& certificate) override
    {
        accepted.append({certificate.raceNo, certificate.lane, certificate.leg, certificate.items});
        events.append(u"print %1/%2"_qs.arg(certificate.raceNo).arg(certificate.lane));
        if (onCertificate)
            onCertificate(certificate);
    }
    void raceMarked(int raceNo) override
    {
        marked.append(raceNo);
        events.append(u"mark %1"_qs.arg(raceNo));
    }

    QList<Accepted> accepted;
    QList<int> marked;
    /// "print R/K" and "mark R" in the order they happened.
    QStringList events;
    std::function<void(int)> onRace;
    std::function<void(const AcceptedCertificate&)> onCertificate;
};

} // namespace tarvel::testing
