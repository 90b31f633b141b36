#pragma once
/// Driving the window in tests: recording devices, started windows on small meets, message
/// boxes closed and kept, typing, controls found by their names.

#include "platform/failure.h"
#include "platform/previewsurface.h"
#include "platform/printdevice.h"
#include "tempmeet.h"
#include "ui/frmbrev.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>

namespace tarvel::testing {

using namespace Qt::StringLiterals;

/// One text of a preview drawing, in preview units and points.
struct DrawnText {
    double x = 0;
    double y = 0;
    double points = 0;
    QString text;
};

/// Keeps the last complete preview drawing.
class RecordingPreview final : public PreviewSurface {
public:
    void beginDrawing() override { drawing_.clear(); }
    void endDrawing() override
    {
        last = drawing_;
        ++drawings;
    }
    void setPosition(double x, double y) override
    {
        x_ = x;
        y_ = y;
    }
    void setFontFace(const QString&) override {}
    void setFontSize(double points) override { points_ = points; }
    void setMaxWidth(double) override {}
    void drawText(const QString& text) override { drawing_.append({x_, y_, points_, text}); }

    QStringList lastTexts() const
    {
        QStringList texts;
        for (const DrawnText& drawn : last)
            texts << drawn.text;
        return texts;
    }

    QList<DrawnText> last;
    int drawings = 0;

private:
    QList<DrawnText> drawing_;
    double x_ = 0;
    double y_ = 0;
    double points_ = 0;
};

/// Keeps the texts of every page, ended or not, and the face it was given last.
class RecordingPrinter final : public PrintDevice {
public:
    void setPosition(double, double) override {}
    void setFontFace(const QString& face) override { this->face = face; }
    void setFontSize(double) override {}
    void setMaxWidth(double) override {}
    void drawLine(double, double, double, double) override {}
    void drawText(const QString& text) override
    {
        if (refuse && schedulerSilent)
            throw Failure::ofPrinter(u"sending the certificates"_s, u"scheduler"_s,
                                     u"did not answer"_s, Failure::Kind::Unreachable);
        if (refuse)
            throw Failure(u"printing the certificates"_s, u"recorder"_s, u"out of paper"_s);
        if (!pageOpen_)
            pages.append(QStringList());
        pageOpen_ = true;
        pages.last().append(text);
    }
    void endPage() override { pageOpen_ = false; }
    Delivery endDocument() override
    {
        pageOpen_ = false;
        ++documentsEnded;
        return {true, u"recorder"_s, documentsEnded, 0};
    }
    void abortDocument() noexcept override
    {
        pageOpen_ = false;
        ++documentsAborted;
    }

    QList<QStringList> pages;
    QString face;
    int documentsEnded = 0;
    int documentsAborted = 0;
    /// Every text drawn fails, as a printer out of paper would; may change during a run.
    std::atomic<bool> refuse = false;
    /// What refuses is the print scheduler, which does not answer (set before the run).
    bool schedulerSilent = false;

private:
    bool pageOpen_ = false;
};

/// Closes every message box that comes up (they are modal and would wait for a click),
/// and keeps what each said.
class MessageBoxCloser : public QObject {
public:
    MessageBoxCloser()
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            icons << box->icon();
            texts << box->text();
            box->done(QMessageBox::Ok);
        });
        timer_.start(20);
    }

    QList<QMessageBox::Icon> icons;
    QStringList texts;

private:
    QTimer timer_;
};

/// Types `text` into `box` one key at a time; unlike QTest::keyClicks, any character.
void type(QWidget& box, const QString& text);

template <class T>
T& child(QWidget& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    if (!found)
        throw std::runtime_error("no control " + name.toStdString());
    return *found;
}

/// A started window whose certificates go to a recording printer.
struct Opened {
    std::unique_ptr<ui::FrmBrev> window;
    RecordingPrinter* printer = nullptr;
    RecordingPreview preview;

    QLineEdit& edit(const QString& name) { return child<QLineEdit>(*window, name); }
    QCheckBox& check(const QString& name) { return child<QCheckBox>(*window, name); }
    QPushButton& button(const QString& name) { return child<QPushButton>(*window, name); }
    QRadioButton& option(const QString& name) { return child<QRadioButton>(*window, name); }
    void click(const QString& name) { QTest::mouseClick(&button(name), Qt::LeftButton); }
    /// The desk's runs that have ended so far.
    int runsFinished = 0;
    /// Waits until `count` runs have ended in all (a deadline of ten seconds).
    bool waitForRuns(int count)
    {
        return QTest::qWaitFor([&] { return runsFinished >= count; }, 10'000);
    }
    /// Clicks a print button and waits for the run it starts to end.
    bool clickAndWait(const QString& name)
    {
        const int before = runsFinished;
        click(name);
        return waitForRuns(before + 1);
    }
    /// Replaces the whole text of a box by typing.
    void retype(const QString& name, const QString& text)
    {
        QLineEdit& box = edit(name);
        box.selectAll();
        QTest::keyClick(&box, Qt::Key_Delete);
        type(box, text);
    }
};

/// `adjust` may change the desk's services first (a job state query, the watcher's timing).
std::unique_ptr<Opened> openWindow(const std::function<void(DeskServices&)>& adjust = {});
/// The desk of the window tests: a recording printer, jobs that stay pending, `timing`.
DeskServices recordingDesk(RecordingPrinter** printer, AutoPrinter::Timing timing = {});

/// The meet's ledger, one line per document, oldest first: "kind|title|state|certificates"
/// ("test-page|Test page|pending|0"); none when there is no ledger yet. Waits for no desk:
/// call it once the desk has finished recording.
QStringList ledgerDocuments(const TempMeet& meet);

/// A meet with a header and nothing else; the program is started in its work folder.
std::unique_ptr<TempMeet> emptyMeet();

/// One men's 100m free final, one heat (race 1, ready), three swimmers in lanes 0 to 2.
std::unique_ptr<TempMeet> oneEventMeet();

/// Acts on the modal dialogs as they come up, one step per dialog, matched by object name.
class ModalScript : public QObject {
public:
    using Step = std::pair<QString, std::function<void(QWidget&)>>;
    explicit ModalScript(std::deque<Step> steps);
    /// Whether every step has been taken.
    bool done() const { return steps_.empty(); }

private:
    std::deque<Step> steps_;
    QTimer timer_;
};

} // namespace tarvel::testing
