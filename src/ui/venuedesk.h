#pragma once
/// The window's side of the venue page: the switch 会場ページ serves the award board, the
/// team downloads and the desk's page from the window's desk; the address, its QR code and
/// the two codes are shown to the operator.

#include "web/venue.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>

namespace tarvel {
class Desk;
}

namespace tarvel::ui {

class DeskStrip;
class VenueDialog;

/// Off when the window opens. The access code and the desk PIN are made at random (six
/// digits each) when the window opens, kept here as text to be shown, and handed to the
/// service only as salted hashes. A page that cannot be served (the port taken, an address
/// not this machine's) is told in a message box and the switch goes back off. Lives on the
/// GUI thread; the desk must outlive it.
class VenueDesk final : public QObject {
    Q_OBJECT
public:
    VenueDesk(QWidget& window, Desk& desk, DeskStrip& strip);
    ~VenueDesk() override;

    /// Where the page listens from the next start on; serving now, it starts again there
    /// (a failure told, the switch off). 127.0.0.1 and kDefaultVenuePort until chosen.
    void setListenAt(const QString& address, std::uint16_t port);
    const QString& listenAddress() const { return address_; }
    std::uint16_t listenPort() const { return port_; }

    bool serving() const { return service_ != nullptr; }
    /// What a browser opens; empty while the page is not served.
    QString url() const;

    const QString& accessCode() const { return accessCode_; }
    const QString& deskPin() const { return deskPin_; }
    /// The operator's own codes, from the next request on; an empty one is refused (told,
    /// false) and neither changes.
    bool setCodes(const QString& accessCode, const QString& deskPin);
    /// New random codes, from the next request on.
    void makeNewCodes();

    /// Shows the address, its QR code and the codes (made on first use).
    void showDialog();
    /// The dialog; null before it was first shown.
    VenueDialog* dialog() const;

Q_SIGNALS:
    /// Serving began or ended, the address or the codes changed.
    void changed();

private:
    void switchToggled(bool on);
    /// Serves, or tells why it cannot and turns the switch off.
    void start();
    void stop();

    QWidget& window_;
    Desk& desk_;
    DeskStrip& strip_;
    QString address_;
    std::uint16_t port_;
    QString accessCode_;
    QString deskPin_;
    std::unique_ptr<web::VenueService> service_;
    QPointer<VenueDialog> dialog_;
};

} // namespace tarvel::ui
