#include "ui/venuedesk.h"

#include "platform/failure.h"
#include "ui/deskstrip.h"
#include "ui/venuedialog.h"
#include "web/secret.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

namespace {

/// Six digits from the system's random source: easy to read out at the desk, and at five
/// tries a minute an address needs months to guess one.
QString randomCode()
{
    return u"%1"_s.arg(QRandomGenerator::system()->bounded(1000000), 6, 10, QChar(u'0'));
}

/// "127.0.0.1:8932", "[::1]:8932".
QString hostAndPort(const QString& address, std::uint16_t port)
{
    const QString host = address.contains(u':') ? u"["_s + address + u"]"_s : address;
    return host + u':' + QString::number(port);
}

} // namespace

VenueDesk::VenueDesk(QWidget& window, Desk& desk, DeskStrip& strip)
    : QObject(&window)
    , window_(window)
    , desk_(desk)
    , strip_(strip)
    , address_(web::VenueOptions().address)
    , port_(web::kDefaultVenuePort)
    , accessCode_(randomCode())
    , deskPin_(randomCode())
{
    connect(&strip_.venueSwitch(), &QCheckBox::toggled, this, &VenueDesk::switchToggled);
    connect(&strip_.venueButton(), &QPushButton::clicked, this, &VenueDesk::showDialog);
}

VenueDesk::~VenueDesk()
{
    // Every connection closed before the desk it serves from goes; the window's controls
    // may be gone already.
    if (service_)
        service_->stop();
}

void VenueDesk::setListenAt(const QString& address, std::uint16_t port)
{
    address_ = address;
    port_ = port;
    if (serving()) {
        stop();
        start();
    }
    Q_EMIT changed();
}

QString VenueDesk::url() const
{
    return service_ ? service_->url() : QString();
}

bool VenueDesk::setCodes(const QString& accessCode, const QString& deskPin)
{
    if (accessCode.trimmed().isEmpty() || deskPin.trimmed().isEmpty()) {
        QMessageBox::warning(&window_, u"Tarvel"_s,
                             tr("The access code and the desk PIN cannot be empty; the codes "
                                "in use stay as they were."));
        return false;
    }
    accessCode_ = accessCode.trimmed();
    deskPin_ = deskPin.trimmed();
    if (service_) {
        service_->setAccessCode(web::saltedHashOf(accessCode_));
        service_->setDeskPin(web::saltedHashOf(deskPin_));
    }
    Q_EMIT changed();
    return true;
}

void VenueDesk::makeNewCodes()
{
    setCodes(randomCode(), randomCode());
}

void VenueDesk::showDialog()
{
    if (!dialog_)
        dialog_ = new VenueDialog(*this, &window_);
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

VenueDialog* VenueDesk::dialog() const
{
    return dialog_;
}

void VenueDesk::switchToggled(bool on)
{
    if (on == serving())
        return;
    if (on) {
        start();
        if (serving())
            showDialog();
        return;
    }
    stop();
}

void VenueDesk::start()
{
    web::VenueOptions options;
    options.address = address_;
    options.port = port_;
    options.accessCode = web::saltedHashOf(accessCode_);
    options.deskPin = web::saltedHashOf(deskPin_);
    auto service = std::make_unique<web::VenueService>(desk_, std::move(options));
    try {
        service->start();
    } catch (const Failure& failure) {
        {
            const QSignalBlocker quiet(strip_.venueSwitch());
            strip_.venueSwitch().setChecked(false);
        }
        strip_.showVenueAddress(QString());
        Q_EMIT changed();
        QMessageBox box(QMessageBox::Critical, u"Tarvel"_s,
                        tr("The venue page could not be started.\n\nAddress: %1\nReason: %2")
                            .arg(hostAndPort(address_, port_), failure.reason()),
                        QMessageBox::Ok, &window_);
        box.setObjectName(u"venueFailure"_s);
        box.exec();
        return;
    }
    service_ = std::move(service);
    {
        const QSignalBlocker quiet(strip_.venueSwitch());
        strip_.venueSwitch().setChecked(true);
    }
    strip_.showVenueAddress(service_->url());
    Q_EMIT changed();
}

void VenueDesk::stop()
{
    if (!service_)
        return;
    service_->stop();
    service_.reset();
    strip_.showVenueAddress(QString());
    Q_EMIT changed();
}

} // namespace tarvel::ui
