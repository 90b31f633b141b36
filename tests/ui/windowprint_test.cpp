// The window's print run and test page: what reaches the printer, the marks, the progress
// dialog, and a run that fails.

#include "layout/layoutfile.h"
#include "meetdb/racestatus.h"
#include "platform/qt/fonts.h"
#include "platform/qt/pdfdevice.h"
#include "platform/words.h"
#include "samplemeet.h"
#include "tempmeet.h"
#include "ui/frmbrev.h"
#include "ui/previewbox.h"
#include "ui/printprogress.h"
#include "ui/program.h"
#include "windowdriver.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace tarvel;
using namespace tarvel::testing;
using tarvel::ui::FrmBrev;

namespace {

QStringList pdfText(const QString& file)
{
    QProcess pdftotext;
    pdftotext.start(u"pdftotext"_s, {u"-layout"_s, file, u"-"_s});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        throw std::runtime_error("pdftotext failed on " + file.toStdString());
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\f');
}

/// The PDF files of a folder in the order they were written, each as its document name
/// (the time stamp cut off) and the text of its pages.
QList<QPair<QString, QStringList>> pdfDocuments(const QString& folder)
{
    QList<QPair<QString, QStringList>> documents;
    const QStringList files = QDir(folder).entryList({u"*.pdf"_s}, QDir::Files, QDir::Name);
    for (const QString& file : files)
        documents.append({file.section(u'-', 3), pdfText(folder + u'/' + file)});
    return documents;
}

} // namespace

class WindowPrintTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerFontSubstitutions(); }

    void printRunLeavesTheLastCertificate();
    void windowAndBatchPrintTheSame();
    void failureInAPrintRun();
    void pdfFilesChosenInTheWindowTakeTheCertificatesUntilThePrinterIsChosenAgain();
    void progressDialog();
};

void WindowPrintTest::printRunLeavesTheLastCertificate()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    MessageBoxCloser closer;
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));

    // Three certificates, the third swimmer's last; the race is marked, and the operator
    // is told so in one message.
    QCOMPARE(opened->printer->pages.size(), 3);
    QCOMPARE(opened->printer->documentEnds, 1);
    QTRY_COMPARE(closer.texts.size(), 1);
    QCOMPARE(closer.icons.first(), QMessageBox::Information);
    QVERIFY2(closer.texts.first().contains(u"3"_s), qPrintable(closer.texts.first()));
    QCOMPARE(readFileBytes(meet->dataPath(u"Race.dat"_s)).at(0), kRacePrinted);
    const QStringList lastPage = opened->printer->pages.last();
    QVERIFY(lastPage.join(u'|').contains(u"三番　三郎"_s));
    QCOMPARE(opened->preview.lastTexts(), lastPage);
    // The run's drawings reach the window latest first: at least the last, at most each.
    const int drawings = opened->window->preview().surface().drawingCount();
    QVERIFY2(drawings >= 1 + 1 && drawings <= 1 + 3, qPrintable(QString::number(drawings)));

    // A test page afterwards carries the same certificate, not the captions.
    opened->click(u"cmdGamen"_s);
    QVERIFY(opened->clickAndWait(u"cmdTest"_s));
    QCOMPARE(opened->printer->pages.size(), 4);
    QCOMPARE(opened->printer->pages.last(), lastPage);
    QVERIFY(!opened->printer->pages.last().contains(u"名前"_s));
    // The test page is a document of its own, sent at once, and kept in the ledger as such.
    QCOMPARE(opened->printer->documentEnds, 2);
    opened->window->desk()->finishRecording();
    const QStringList ledger = ledgerDocuments(*meet);
    QCOMPARE(ledger.size(), 2);
    QVERIFY2(ledger[0].startsWith(u"certificates|R001"_s) && ledger[0].endsWith(u"|3"_s),
             qPrintable(ledger[0]));
    QCOMPARE(ledger[1], u"test-page|"_s + Words::tr("Test page") + u"|pending|0"_s);
    // A layout edit now redraws the last certificate.
    opened->retype(u"txtX4"_s, u"100"_s);
    QCOMPARE(opened->preview.lastTexts(), lastPage);

    // Under 同時 the marked race is not printed again, and the operator hears that nothing
    // was ready.
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QCOMPARE(opened->printer->pages.size(), 4);
    QTRY_COMPARE(closer.texts.size(), 2);
    QVERIFY(closer.texts.last() != closer.texts.first());
}

void WindowPrintTest::windowAndBatchPrintTheSame()
{
    const QString batch = qEnvironmentVariable("TARVEL_BIN") + u"/tarvel-batch"_s;
    if (!QFile::exists(batch))
        QSKIP("tarvel-batch is not built");
    TempMeet forWindow;
    TempMeet forBatch;
    sample::writeSampleMeet(forWindow.builder());
    sample::writeSampleMeet(forBatch.builder());
    QTemporaryDir pdfs;
    const QString windowPdfs = pdfs.path() + u"/window"_s;
    const QString batchPdfs = pdfs.path() + u"/batch"_s;

    // The window, with every round and a number prefix chosen in its controls.
    QDir::setCurrent(forWindow.builder().workDir());
    MessageBoxCloser closer;
    DeskServices services;
    services.openTarget = [&](const DataLocations&) {
        PrintTarget target;
        target.kind = PrintTargetKind::PdfFiles;
        target.where = windowPdfs;
        target.device = std::make_unique<PdfDevice>(windowPdfs);
        return target;
    };
    auto window = ui::openMainWindow(services);
    QVERIFY(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    child<QPushButton>(*window, u"cmdGamen"_s).click();
    child<QRadioButton>(*window, u"optYoketu0"_s).click();
    QTest::keyClicks(&child<QLineEdit>(*window, u"txtJun0"_s), u"0"_s); // "30"
    QSignalSpy finished(window->desk(), &Desk::runFinished);
    child<QPushButton>(*window, u"cmdInsatu"_s).click();
    QVERIFY(finished.wait(60'000));
    // The operator is told where the PDF files went.
    QTRY_COMPARE(closer.texts.size(), 1);
    QCOMPARE(closer.icons.first(), QMessageBox::Information);
    QVERIFY(closer.texts.first().contains(windowPdfs));
    window.reset();

    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(batch, {u"-C"_s, forBatch.builder().workDir(), u"--pdf"_s, batchPdfs,
                          u"--round"_s, u"all"_s, u"--rank-individual"_s, u"30"_s});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);

    const auto fromWindow = pdfDocuments(windowPdfs);
    const auto fromBatch = pdfDocuments(batchPdfs);
    QVERIFY(fromWindow.size() > 10);
    QCOMPARE(fromWindow.size(), fromBatch.size());
    for (qsizetype i = 0; i < fromWindow.size(); ++i) {
        QCOMPARE(fromWindow[i].first, fromBatch[i].first);
        QCOMPARE(fromWindow[i].second, fromBatch[i].second);
    }
    QCOMPARE(readFileBytes(forWindow.dataPath(u"Race.dat"_s)),
             readFileBytes(forBatch.dataPath(u"Race.dat"_s)));
    QVERIFY(readFileBytes(forWindow.dataPath(u"Race.dat"_s)).contains(kRacePrinted));
}

void WindowPrintTest::failureInAPrintRun()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    opened->printer->failing = true;
    MessageBoxCloser closer;

    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QTRY_COMPARE(closer.texts.size(), 1);
    QCOMPARE(closer.icons.first(), QMessageBox::Warning);
    QVERIFY2(closer.texts.first().contains(u"out of paper"_s), qPrintable(closer.texts.first()));
    QVERIFY2(closer.texts.first().contains(u"R001"_s), qPrintable(closer.texts.first()));
    // The run stopped before marking; the document was dropped unsent; the dialog is gone.
    QCOMPARE(readFileBytes(meet->dataPath(u"Race.dat"_s)).at(0), kRaceReady);
    QCOMPARE(opened->printer->documentEnds, 0);
    QCOMPARE(opened->printer->documentAborts, 1);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);

    // Once the printer works again, the same race prints.
    opened->printer->failing = false;
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QCOMPARE(opened->printer->pages.size(), 3);
    QCOMPARE(readFileBytes(meet->dataPath(u"Race.dat"_s)).at(0), kRacePrinted);
}

void WindowPrintTest::pdfFilesChosenInTheWindowTakeTheCertificatesUntilThePrinterIsChosenAgain()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    MessageBoxCloser closer;
    QTemporaryDir pdfs;
    const QString folder = pdfs.path() + u"/chosen"_s;
    QVERIFY(QDir().mkpath(folder));
    const QLabel& destination = child<QLabel>(*opened->window, u"lblInsatsusaki"_s);
    QVERIFY2(destination.text().contains(u"recorder"_s), qPrintable(destination.text()));

    // Cancelling the folder dialog changes nothing.
    ModalScript cancelled(
        {{u"pdfFolderDialog"_s, [](QWidget& dialog) { static_cast<QDialog&>(dialog).reject(); }}});
    opened->click(u"cmdInsatsusaki"_s);
    QTRY_VERIFY(cancelled.done());
    QCOMPARE(opened->window->desk()->targetKind(), PrintTargetKind::Printer);

    ModalScript chosen({{u"pdfFolderDialog"_s, [&](QWidget& dialog) {
                             child<QLineEdit>(dialog, u"fileNameEdit"_s).setText(folder);
                             static_cast<QDialog&>(dialog).accept();
                         }}});
    opened->click(u"cmdInsatsusaki"_s);
    QTRY_VERIFY(chosen.done());
    QTRY_VERIFY2(destination.text().contains(u"PDF: "_s + QDir::toNativeSeparators(folder)),
                 qPrintable(destination.text()));
    QCOMPARE(opened->button(u"cmdInsatsusaki"_s).text(), u"プリンタへ"_s);
    QVERIFY(opened->clickAndWait(u"cmdInsatu"_s));
    QCOMPARE(QDir(folder).entryList({u"*.pdf"_s}, QDir::Files).size(), 1);
    // Told where the files went, not that there is no printer.
    QTRY_COMPARE(closer.texts.size(), 1);
    QVERIFY2(closer.texts.last().contains(QDir::toNativeSeparators(folder))
                 && closer.texts.last().contains(
                     Words::tr("The certificates were written as PDF files to %1").arg(QString())),
             qPrintable(closer.texts.last()));
    QCOMPARE(readFileBytes(meet->dataPath(u"Race.dat"_s)).at(0), kRacePrinted);

    // Back to the printer (opened anew): the test page is paper again, and only it.
    opened->click(u"cmdInsatsusaki"_s);
    QTRY_VERIFY(destination.text().contains(u"recorder"_s));
    QCOMPARE(opened->button(u"cmdInsatsusaki"_s).text(), u"PDFへ…"_s);
    opened->click(u"cmdGamen"_s);
    QVERIFY(opened->clickAndWait(u"cmdTest"_s));
    QCOMPARE(opened->printer->documentEnds, 1);
    QCOMPARE(opened->printer->pages.size(), 1);
    QCOMPARE(QDir(folder).entryList({u"*.pdf"_s}, QDir::Files).size(), 1);
}

void WindowPrintTest::progressDialog()
{
    QWidget owner;
    owner.show();
    ui::PrintProgress progress(&owner);
    QCOMPARE(progress.windowModality(), Qt::ApplicationModal);
    // It counts the meet's own races, not the 1024 places of Race.dat.
    RunProgress where{61, 61, u"R003 男子 25m自由形 決勝"_s, 5};
    progress.showProgress(where);
    const QString label = child<QLabel>(progress, QString()).text();
    QVERIFY2(label.contains(u"61 of 61"_s), qPrintable(label));
    QVERIFY2(label.contains(u"R003 男子 25m自由形 決勝"_s), qPrintable(label));
    QVERIFY2(label.contains(u"5 certificate(s)"_s), qPrintable(label));
    where.raceNo = 700; // past the meet's races: only statuses are looked at
    progress.showProgress(where);
    QCOMPARE(progress.findChild<QProgressBar*>()->value(), 61);

    // The stop button (or Escape) asks the run to stop after the event in hand, once; the
    // dialog stays until the run is over, and a close request does nothing.
    progress.show();
    QVERIFY(QTest::qWaitForWindowExposed(&progress));
    int stops = 0;
    QObject::connect(&progress, &ui::PrintProgress::stopWanted, [&] { ++stops; });
    QTest::mouseClick(&child<QPushButton>(progress, u"cmdChuushi"_s), Qt::LeftButton);
    QTest::keyClick(&progress, Qt::Key_Escape);
    QCOMPARE(stops, 1);
    QVERIFY(progress.isVisible());
    QVERIFY(!child<QPushButton>(progress, u"cmdChuushi"_s).isEnabled());
    const bool closed = progress.close();
    QVERIFY(progress.isVisible());
    QVERIFY(!closed);
}

QTEST_MAIN(WindowPrintTest)
#include "windowprint_test.moc"
