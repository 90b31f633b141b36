#pragma once
/// Driving the window in tests: started windows on small meets, message boxes closed and
/// kept, typing, controls found by their names.

#include "recordingdevices.h"
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

#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>

namespace tarvel::testing {

using namespace Qt::StringLiterals;

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
