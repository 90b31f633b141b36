#pragma once
/// The venue page as a front end starts it: the award board, the team downloads and the
/// desk's page, served by this desk process from one open Desk. The window's 会場ページ switch
/// and tarvel-batch --serve both make one of these.

#include "platform/failure.h"
#include "web/secret.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace tarvel {
class Desk;
}

namespace tarvel::web {

/// The port the venue page listens on unless told otherwise.
inline constexpr std::uint16_t kDefaultVenuePort = 8932;

struct VenueOptions {
    /// Where to listen: 127.0.0.1 unless another address is chosen explicitly.
    QString address = QStringLiteral("127.0.0.1");
    std::uint16_t port = kDefaultVenuePort;
    /// The meet's access code (/team) and the desk PIN (/desk), kept only as salted hashes;
    /// none: that page refuses every code.
    std::optional<SaltedHash> accessCode;
    std::optional<SaltedHash> deskPin;
};

/// Lives on the desk's thread; serves on a thread of its own. The desk must outlive it.
class VenueService final : public QObject {
    Q_OBJECT
public:
    VenueService(Desk& desk, VenueOptions options, QObject* parent = nullptr);
    ~VenueService() override;

    /// Starts serving; a Failure ("starting the venue page", "ADDR:PORT", why) when it
    /// cannot (the port is taken, the address is not this machine's).
    void start();
    /// Stops serving and closes every connection.
    void stop();
    bool serving() const;
    /// What a browser opens: "http://ADDR:PORT/" (for 0.0.0.0 the machine's first
    /// non-loopback address).
    QString url() const;
    /// From the next request on.
    void setAccessCode(std::optional<SaltedHash> code);
    void setDeskPin(std::optional<SaltedHash> pin);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tarvel::web
