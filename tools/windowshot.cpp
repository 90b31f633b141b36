// tarvel-window-shot: pictures of the window for the documentation.
//
// Usage: tarvel-window-shot WORKDIR OUTDIR
// Starts the window as the program would in WORKDIR (beside the meet's ctl folder), saves
// the narrow window as OUTDIR/window-narrow.png, then watching with 自動印刷 on as
// window-autoprint.png, serving the venue page as window-venue.png and its dialog as
// venue-dialog.png, widens it and saves OUTDIR/window-wide.png,
// then opens the large preview over a drawn stand-in for a scanned blank certificate and
// saves it as OUTDIR/designer.png, the print history as history.png, and last the meet
// chooser as it comes up where no location file is found (meet-chooser.png).
// Certificates are never printed; any print device opened goes to a temporary folder.

#include "ledger/ledger.h"
#include "platform/paths.h"
#include "platform/qt/pdfdevice.h"
#include "platform/qt/translations.h"
#include "ui/historydialog.h"
#include "ui/largepreview.h"
#include "ui/meetchooser.h"
#include "ui/program.h"
#include "ui/venuedesk.h"
#include "ui/venuedialog.h"
#include "web/venue.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>

#include <cstdio>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

/// Lets the window settle: events processed for `milliseconds`.
void settle(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

bool saveGrab(QWidget& window, const QString& file)
{
    settle(300);
    if (window.grab().save(file))
        return true;
    std::fprintf(stderr, "tarvel-window-shot: cannot write %s\n", qPrintable(file));
    return false;
}

/// A stand-in for a scan of the pre-printed stock: a cream page with a double gold frame
/// and a red seal, at 100 dpi.
QString writeBlankCertificate(const QString& folder)
{
    QImage scan(800, 1129, QImage::Format_RGB32);
    scan.fill(QColor(250, 244, 228));
    QPainter painter(&scan);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(190, 150, 60), 10));
    painter.drawRect(QRectF(30, 30, 740, 1069));
    painter.setPen(QPen(QColor(190, 150, 60), 3));
    painter.drawRect(QRectF(52, 52, 696, 1025));
    painter.setPen(QPen(QColor(200, 40, 40), 4));
    painter.drawEllipse(QRectF(600, 930, 110, 110));
    painter.end();
    const QString file = QDir(folder).filePath(u"blank-certificate.png"_s);
    scan.save(file);
    return file;
}

/// The venue page's own port when it is free here, else any free one: a picture must never
/// wait on a message about a taken port.
std::uint16_t venuePort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(tarvel::web::kDefaultVenuePort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool free = ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(probe);
    return free ? tarvel::web::kDefaultVenuePort : 0;
}

} // namespace

int main(int argc, char** argv)
{
    tarvel::makeJapaneseTheSystemLocale();
    QApplication app(argc, argv);
    tarvel::installTranslations(app, QLocale(QLocale::Japanese, QLocale::Japan));
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: tarvel-window-shot WORKDIR OUTDIR\n", stderr);
        return 2;
    }
    const QString outDir = QDir(arguments[2]).absolutePath();
    if (!QDir::setCurrent(arguments[1])) {
        std::fprintf(stderr, "tarvel-window-shot: no folder %s\n", qPrintable(arguments[1]));
        return 1;
    }
    QTemporaryDir unused;
    tarvel::DeskServices services;
    services.openTarget = [&](const tarvel::DataLocations&) {
        tarvel::PrintTarget target;
        target.device = std::make_unique<tarvel::PdfDevice>(unused.path());
        target.where = unused.path();
        return target;
    };
    auto window = tarvel::ui::openMainWindow(services);
    if (!window)
        return 1;
    window->show();
    const QDeadlineTimer exposed(5000);
    while (!window->windowHandle()->isExposed() && !exposed.hasExpired())
        settle(20);
    if (!saveGrab(*window, outDir + u"/window-narrow.png"_s))
        return 1;
    QCheckBox* autoPrint = window->findChild<QCheckBox*>(u"chkJidou"_s);
    autoPrint->click();
    if (!saveGrab(*window, outDir + u"/window-autoprint.png"_s))
        return 1;
    autoPrint->click();

    // The venue page served: its address in the window, its QR code and codes in the dialog.
    window->venueDesk()->setListenAt(u"127.0.0.1"_s, venuePort());
    window->findChild<QCheckBox*>(u"chkKaijou"_s)->click();
    if (!saveGrab(*window, outDir + u"/window-venue.png"_s)
        || !saveGrab(*window->venueDesk()->dialog(), outDir + u"/venue-dialog.png"_s))
        return 1;
    window->venueDesk()->dialog()->hide();
    window->findChild<QCheckBox*>(u"chkKaijou"_s)->click();
    window->findChild<QPushButton*>(u"cmdGamen"_s)->click();
    if (!saveGrab(*window, outDir + u"/window-wide.png"_s))
        return 1;

    tarvel::ui::LargePreview& designer = *window->largePreview();
    designer.chooseBackdrop(
        writeBlankCertificate(tarvel::hostPath(window->session().where.dataDir)));
    const QDeadlineTimer read(10000);
    while (designer.isLoadingBackdrop() && !read.hasExpired())
        settle(20);
    window->findChild<QPushButton*>(u"cmdKakudai"_s)->click();
    designer.resize(760, 860);
    designer.dragger().select(4); // the swimmer's name, with a widest width to show
    tarvel::Placement name = tarvel::placementOf(window->layout(), 4);
    name.maxWidth = 2400;
    designer.dragger().apply(name);
    if (!saveGrab(designer, outDir + u"/designer.png"_s))
        return 1;

    // The print history of the meet, as far as it was printed before the pictures.
    const tarvel::DataLocations where = window->session().where;
    tarvel::ui::HistoryDialog history([where] { return tarvel::Ledger(where).entries(); },
                                      [](const auto&) {});
    history.resize(980, 420);
    history.show();
    // The rows arrive from the dialog's reading thread.
    bool shown = false;
    QObject::connect(&history, &tarvel::ui::HistoryDialog::entriesShown, [&] { shown = true; });
    const QDeadlineTimer rows(10000);
    while (!shown && !rows.hasExpired())
        settle(20);
    if (!saveGrab(history, outDir + u"/history.png"_s))
        return 1;
    history.close();
    window.reset();

    // The meet just opened is remembered: the chooser offers it first.
    tarvel::ui::MeetChooser chooser(u"..\\ctl\\dr_kyo.ctl"_s, QDir::homePath());
    chooser.show();
    return saveGrab(chooser, outDir + u"/meet-chooser.png"_s) ? 0 : 1;
}
