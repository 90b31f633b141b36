// The window's venue page: 会場ページ in the strip's free row serves the page from the window's
// desk at the address it shows, a taken port is told and the switch goes back off, and the
// QR code of the address is one a phone can read.
#include "platform/qt/translations.h"
#include "ui/deskstrip.h"
#include "ui/qrimage.h"
#include "ui/venuedesk.h"
#include "ui/venuedialog.h"
#include "windowdriver.h"

#include <QLabel>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>

using namespace tarvel;
using namespace tarvel::testing;
using tarvel::ui::FrmBrev;

class VenueWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(installTranslations(*qApp, QLocale(QLocale::Japanese, QLocale::Japan)));
    }
    void theSwitchServesThePageAtTheAddressShown();
    void aTakenPortIsToldAndTheSwitchGoesBackOff();
    void codesAreSixDigitsAndNeverEmpty();
    void theCodesShownOpenTheirPagesOnly();
    void qrCodeHasTheStandardsPatterns_data();
    void qrCodeHasTheStandardsPatterns();
};

namespace {

/// A socket on 127.0.0.1; listening() binds it to any free port and listens.
class LoopbackSocket {
public:
    LoopbackSocket() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {}
    ~LoopbackSocket() { ::close(fd_); }
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    /// The port listened on; 0 when it could not.
    int listening()
    {
        sockaddr_in address = loopback(0);
        socklen_t size = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd_, 4) != 0
            || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return 0;
        return ntohs(address.sin_port);
    }

    /// The whole answer to `request` on `port`; empty when nobody answers within ten
    /// seconds.
    QByteArray ask(int port, const QByteArray& request)
    {
        timeval limit{10, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        sockaddr_in address = loopback(port);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            return {};
        if (::send(fd_, request.constData(), size_t(request.size()), MSG_NOSIGNAL)
            != request.size())
            return {};
        QByteArray answer;
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::recv(fd_, buffer, sizeof buffer, 0)) > 0)
            answer.append(buffer, got);
        return answer;
    }

private:
    static sockaddr_in loopback(int port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(quint16(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }

    int fd_;
};

/// `request` on `port` from another thread (the page may ask the GUI thread for the
/// desk), the events processed meanwhile.
QByteArray askFromAnotherThread(int port, const QByteArray& request)
{
    std::future<QByteArray> answer = std::async(std::launch::async, [port, request] {
        LoopbackSocket socket;
        return socket.ask(port, request);
    });
    const bool answered = QTest::qWaitFor(
        [&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        20'000);
    // Not answered: the socket's own ten seconds end the thread, which the future waits for.
    return answered ? answer.get() : QByteArray();
}

QByteArray getFromAnotherThread(int port)
{
    return askFromAnotherThread(port,
                                "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
}

/// The status of a login to `page` ("team", "desk") with `code`.
int logIn(int port, const char* page, const QString& code)
{
    const QByteArray body = "code=" + code.toUtf8();
    const QByteArray answer = askFromAnotherThread(
        port, "POST /" + QByteArray(page)
                  + "/login HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                    "Connection: close\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                    "Content-Length: "
                  + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    return answer.mid(9, 3).toInt();
}

int portOf(const QString& url)
{
    static const QRegularExpression form(u"^http://127\\.0\\.0\\.1:([0-9]+)/$"_s);
    return form.match(url).captured(1).toInt();
}

} // namespace

void VenueWindowTest::theSwitchServesThePageAtTheAddressShown()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    FrmBrev& window = *opened->window;
    ui::VenueDesk& venue = *window.venueDesk();
    venue.setListenAt(u"127.0.0.1"_s, 0); // any free port: tests run side by side
    QCheckBox& box = opened->check(u"chkKaijou"_s);
    QLabel& shown = child<QLabel>(window, u"lblKaijou"_s);

    // In the narrow window, on a row of its own: it covers no other control.
    QVERIFY(box.isVisible());
    QVERIFY(!box.isChecked());
    const QRect place(box.mapTo(&window, QPoint(0, 0)), box.size());
    QVERIFY(window.rect().contains(place));
    QWidget& strip = *box.parentWidget();
    const QList<QWidget*> neighbours = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)
                                       + strip.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (const QWidget* control : neighbours) {
        if (control == &box || control == &strip || !control->isVisible() || control->isWindow())
            continue;
        const QRect other(control->mapTo(&window, QPoint(0, 0)), control->size());
        QVERIFY2(!other.intersects(place), qPrintable(control->objectName()));
    }

    box.click();
    QVERIFY(venue.serving());
    const int port = portOf(venue.url());
    QVERIFY2(port > 0, qPrintable(venue.url()));
    QCOMPARE(shown.text(), u"127.0.0.1:"_s + QString::number(port));
    QCOMPARE(shown.toolTip(), venue.url());
    const QByteArray answer = getFromAnotherThread(port);
    QVERIFY2(answer.startsWith("HTTP/1.1 200"), answer.left(200).constData());

    // Switching on shows the address, its QR code and the codes.
    ui::VenueDialog* dialog = venue.dialog();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(child<QLabel>(*dialog, u"lblKaijouUrl"_s).text(), venue.url());
    QVERIFY(!child<QLabel>(*dialog, u"lblKaijouQr"_s).pixmap().isNull());

    box.click();
    QVERIFY(!venue.serving());
    QVERIFY(shown.text().isEmpty());
    QVERIFY(getFromAnotherThread(port).isEmpty());
}

void VenueWindowTest::aTakenPortIsToldAndTheSwitchGoesBackOff()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    FrmBrev& window = *opened->window;
    LoopbackSocket other;
    const int taken = other.listening();
    QVERIFY(taken > 0);
    window.venueDesk()->setListenAt(u"127.0.0.1"_s, quint16(taken));

    MessageBoxCloser closer;
    QCheckBox& box = opened->check(u"chkKaijou"_s);
    box.click();
    QTRY_COMPARE_WITH_TIMEOUT(closer.texts.size(), 1, 10000);
    const QString told = closer.texts.front();
    QVERIFY2(told.contains(u"会場ページ"_s), qPrintable(told));
    QVERIFY2(told.contains(u"127.0.0.1:"_s + QString::number(taken)), qPrintable(told));
    QCOMPARE(closer.icons.front(), QMessageBox::Critical);
    QVERIFY(!box.isChecked());
    QVERIFY(!window.venueDesk()->serving());
    QVERIFY(child<QLabel>(window, u"lblKaijou"_s).text().isEmpty());
}

void VenueWindowTest::codesAreSixDigitsAndNeverEmpty()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    ui::VenueDesk& venue = *opened->window->venueDesk();
    static const QRegularExpression sixDigits(u"^[0-9]{6}$"_s);
    QVERIFY(sixDigits.match(venue.accessCode()).hasMatch());
    QVERIFY(sixDigits.match(venue.deskPin()).hasMatch());

    opened->click(u"cmdKaijou"_s);
    ui::VenueDialog& dialog = *venue.dialog();
    QCOMPARE(child<QLineEdit>(dialog, u"txtKaijouCode"_s).text(), venue.accessCode());
    QCOMPARE(child<QLineEdit>(dialog, u"txtKaijouPin"_s).text(), venue.deskPin());

    // An empty code is refused and changes nothing; typed ones are taken.
    const QString code = venue.accessCode();
    MessageBoxCloser closer;
    child<QLineEdit>(dialog, u"txtKaijouCode"_s).setText(u"  "_s);
    child<QLineEdit>(dialog, u"txtKaijouPin"_s).setText(u"pool-2026"_s);
    QTest::mouseClick(&child<QPushButton>(dialog, u"cmdKaijouSettei"_s), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(closer.texts.size(), 1, 10000);
    QCOMPARE(venue.accessCode(), code);
    child<QLineEdit>(dialog, u"txtKaijouCode"_s).setText(u" 777 "_s);
    QTest::mouseClick(&child<QPushButton>(dialog, u"cmdKaijouSettei"_s), Qt::LeftButton);
    QCOMPARE(venue.accessCode(), u"777"_s);
    QCOMPARE(venue.deskPin(), u"pool-2026"_s);

    QTest::mouseClick(&child<QPushButton>(dialog, u"cmdKaijouShin"_s), Qt::LeftButton);
    QVERIFY(sixDigits.match(venue.accessCode()).hasMatch());
    QCOMPARE(child<QLineEdit>(dialog, u"txtKaijouCode"_s).text(), venue.accessCode());
}

void VenueWindowTest::theCodesShownOpenTheirPagesOnly()
{
    auto meet = oneEventMeet();
    auto opened = openWindow();
    ui::VenueDesk& venue = *opened->window->venueDesk();
    venue.setListenAt(u"127.0.0.1"_s, 0);
    opened->check(u"chkKaijou"_s).click();
    const int port = portOf(venue.url());
    QVERIFY2(port > 0, qPrintable(venue.url()));
    const QString code = venue.accessCode();
    const QString pin = venue.deskPin();
    QCOMPARE(logIn(port, "team", code), 303);
    QCOMPARE(logIn(port, "desk", pin), 303);
    if (code != pin)
        QCOMPARE(logIn(port, "team", pin), 401);

    // New codes count from the next request on, the old ones no more.
    QTest::mouseClick(&child<QPushButton>(*venue.dialog(), u"cmdKaijouShin"_s), Qt::LeftButton);
    if (venue.accessCode() != code)
        QCOMPARE(logIn(port, "team", code), 401);
    QCOMPARE(logIn(port, "team", venue.accessCode()), 303);
}

void VenueWindowTest::qrCodeHasTheStandardsPatterns_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("moduleSize");
    QTest::addColumn<bool>("encodable");
    QTest::newRow("lan address") << u"http://192.168.10.20:8932/"_s << 1 << true;
    QTest::newRow("ipv6, modules of 3") << u"http://[fd00:1234::20]:8932/"_s << 3 << true;
    QTest::newRow("long, a higher version")
        << u"http://venue.example/"_s + QString(300, u'x') << 2 << true;
    QTest::newRow("empty") << QString() << 4 << false;
    // Beyond what version 40 holds at level M (2331 bytes).
    QTest::newRow("too long") << QString(2400, u'x') << 4 << false;
}

void VenueWindowTest::qrCodeHasTheStandardsPatterns()
{
    QFETCH(QString, text);
    QFETCH(int, moduleSize);
    QFETCH(bool, encodable);
    const QImage image = ui::qrImageOf(text, moduleSize);
    QCOMPARE(!image.isNull(), encodable);
    if (!encodable)
        return;
    // A square of whole modules: 17 + 4 per version, and the quiet zone of 4 on each side.
    QCOMPARE(image.width(), image.height());
    QCOMPARE(image.width() % moduleSize, 0);
    const int side = image.width() / moduleSize - 8;
    QVERIFY(side >= 21 && side <= 177 && (side - 17) % 4 == 0);
    QVERIFY(text.size() < 100 || side > 41); // more than version 6 holds at level M
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY(pixel == qRgb(0, 0, 0) || pixel == qRgb(255, 255, 255));
            // Each module one colour throughout.
            QCOMPARE(pixel, image.pixel(x / moduleSize * moduleSize, y / moduleSize * moduleSize));
        }
    }
    const auto dark = [&](int x, int y) {
        return image.pixel((x + 4) * moduleSize, (y + 4) * moduleSize) == qRgb(0, 0, 0);
    };
    // The finder patterns at three corners: a dark ring, a light ring, a dark 3×3 centre.
    for (const QPoint corner : {QPoint(0, 0), QPoint(side - 7, 0), QPoint(0, side - 7)}) {
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 7; ++x) {
                const int ring = std::min({x, y, 6 - x, 6 - y});
                QCOMPARE(dark(corner.x() + x, corner.y() + y), ring != 1);
            }
        }
    }
    // The timing patterns between them alternate, dark first.
    for (int i = 8; i < side - 8; ++i) {
        QCOMPARE(dark(i, 6), i % 2 == 0);
        QCOMPARE(dark(6, i), i % 2 == 0);
    }
    // The quiet zone is white.
    for (int i = 0; i < image.width(); i += moduleSize) {
        QCOMPARE(image.pixel(i, 0), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(0, i), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(image.width() - 1, i), qRgb(255, 255, 255));
    }
}

QTEST_MAIN(VenueWindowTest)
#include "venuewindow_test.moc"
