#include "ui/venuedialog.h"

#include "ui/qrimage.h"
#include "ui/venuedesk.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

namespace {

/// Pixels per module: a phone at arm's length reads it off a laptop's screen.
constexpr int kQrModulePixels = 5;

/// Where the page may listen: this machine only, or every network it is on (the phones at
/// the pool). Another address needs tarvel-batch --listen.
struct AddressChoice {
    const char16_t* caption;
    const char16_t* address;
};
constexpr AddressChoice kAddressChoices[] = {
    {u"このPCだけ (127.0.0.1)", u"127.0.0.1"},
    {u"会場のネットワーク (すべてのアドレス)", u"0.0.0.0"},
};

} // namespace

VenueDialog::VenueDialog(VenueDesk& venue, QWidget* parent) : QDialog(parent), venue_(venue)
{
    setObjectName(u"venueDialog"_s);
    setWindowTitle(u"会場ページ"_s);

    url_ = new QLabel(this);
    url_->setObjectName(u"lblKaijouUrl"_s);
    url_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont large = url_->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    large.setBold(true);
    url_->setFont(large);
    qr_ = new QLabel(this);
    qr_->setObjectName(u"lblKaijouQr"_s);
    qr_->setAlignment(Qt::AlignCenter);

    address_ = new QComboBox(this);
    address_->setObjectName(u"cmbKaijouAddress"_s);
    for (const AddressChoice& choice : kAddressChoices)
        address_->addItem(QString::fromUtf16(choice.caption), QString::fromUtf16(choice.address));
    connect(address_, &QComboBox::activated, this, &VenueDialog::addressChosen);

    accessCode_ = new QLineEdit(this);
    accessCode_->setObjectName(u"txtKaijouCode"_s);
    deskPin_ = new QLineEdit(this);
    deskPin_->setObjectName(u"txtKaijouPin"_s);
    auto* apply = new QPushButton(u"設定"_s, this);
    apply->setObjectName(u"cmdKaijouSettei"_s);
    connect(apply, &QPushButton::clicked, this,
            [this] { venue_.setCodes(accessCode_->text(), deskPin_->text()); });
    auto* renew = new QPushButton(u"作り直す"_s, this);
    renew->setObjectName(u"cmdKaijouShin"_s);
    connect(renew, &QPushButton::clicked, this, [this] { venue_.makeNewCodes(); });

    auto* form = new QFormLayout;
    form->addRow(u"待ち受け"_s, address_);
    form->addRow(u"チームのアクセスコード"_s, accessCode_);
    form->addRow(u"受付の PIN"_s, deskPin_);
    auto* codeButtons = new QHBoxLayout;
    codeButtons->addStretch();
    codeButtons->addWidget(apply);
    codeButtons->addWidget(renew);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::hide);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(url_);
    layout->addWidget(qr_);
    layout->addLayout(form);
    layout->addLayout(codeButtons);
    layout->addWidget(close);

    connect(&venue_, &VenueDesk::changed, this, &VenueDialog::refresh);
    refresh();
}

void VenueDialog::refresh()
{
    const QString url = venue_.url();
    url_->setText(url.isEmpty() ? tr("The venue page is not served; tick 会場ページ.") : url);
    const QImage code = url.isEmpty() ? QImage() : qrImageOf(url, kQrModulePixels);
    qr_->setPixmap(code.isNull() ? QPixmap() : QPixmap::fromImage(code));
    qr_->setVisible(!code.isNull());
    const int chosen = address_->findData(venue_.listenAddress());
    address_->setCurrentIndex(chosen);
    accessCode_->setText(venue_.accessCode());
    deskPin_->setText(venue_.deskPin());
    adjustSize();
}

void VenueDialog::addressChosen(int index)
{
    const QString address = address_->itemData(index).toString();
    if (address != venue_.listenAddress())
        venue_.setListenAt(address, venue_.listenPort());
}

} // namespace tarvel::ui
