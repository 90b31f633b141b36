#include "ui/deskstrip.h"

#include "ui/controlplacing.h"
#include "ui/elidedlabel.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

DeskStrip::DeskStrip(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"deskStrip"_s);
    resize(twipsRect(*this, 0, 0, kWidthTwips, kHeightTwips).size());
    chkJidou_ = place(new QCheckBox(u"自動印刷"_s, this), u"chkJidou"_s, 120, 45, 1155, 255);
    cmdRireki_ = place(new QPushButton(u"印刷履歴"_s, this), u"cmdRireki"_s, 1320, 0, 1035, 330);
    lblJidou_ = place(new QLabel(this), u"lblJidou"_s, 2445, 45, 1770, 255);
    lblShippai_ = place(new ElidedLabel(this), u"lblShippai"_s, 120, 390, 3000, 255);
    cmdSaiInsatu_ =
        place(new QPushButton(u"再印刷"_s, this), u"cmdSaiInsatu"_s, 3180, 360, 1035, 330);
    QPalette red = lblShippai_->palette();
    red.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x20));
    lblShippai_->setPalette(red);
    lblInsatsusaki_ = place(new ElidedLabel(this), u"lblInsatsusaki"_s, 120, 750, 3000, 255);
    cmdInsatsusaki_ =
        place(new QPushButton(u"PDFへ…"_s, this), u"cmdInsatsusaki"_s, 3180, 720, 1035, 330);
    chkKaijou_ = place(new QCheckBox(u"会場ページ"_s, this), u"chkKaijou"_s, 120, 1125, 1155, 255);
    lblKaijou_ = place(new ElidedLabel(this), u"lblKaijou"_s, 1320, 1125, 1800, 255);
    cmdKaijou_ =
        place(new QPushButton(u"QR・コード"_s, this), u"cmdKaijou"_s, 3180, 1080, 1035, 330);
    showAutoPrintState(QString());
    showFailedJob(QString());
    showVenueAddress(QString());
}

void DeskStrip::showVenueAddress(const QString& url)
{
    // "192.168.1.20:8932" fits the row where the whole address would not; the dialog and
    // the tooltip give it whole.
    QString shown = url;
    shown.remove(QRegularExpression(u"^http://|/$"_s));
    lblKaijou_->setFullText(shown);
    lblKaijou_->setToolTip(url);
}

void DeskStrip::showAutoPrintState(const QString& text, const QString& detail)
{
    lblJidou_->setText(text);
    lblJidou_->setToolTip(detail);
    lblJidou_->setVisible(!text.isEmpty());
}

void DeskStrip::showDestination(const QString& text, PdfChosen chosen)
{
    destination_ = u"印刷先 "_s + text;
    const bool printer = chosen == PdfChosen::No;
    cmdInsatsusaki_->setText(printer ? u"PDFへ…"_s : u"プリンタへ"_s);
    cmdInsatsusaki_->setToolTip(printer ? tr("Write PDF files in a folder instead of printing")
                                        : tr("Print on paper again"));
    showPrinterTrouble(QString());
}

void DeskStrip::showPrinterTrouble(const QString& text)
{
    lblInsatsusaki_->setFullText(text.isEmpty() ? destination_ : destination_ + u"　"_s + text);
    QPalette palette = lblInsatsusaki_->palette();
    palette.setColor(QPalette::WindowText,
                     text.isEmpty() ? QColor(Qt::black) : QColor(0xb0, 0x00, 0x20));
    lblInsatsusaki_->setPalette(palette);
}

void DeskStrip::showFailedJob(const QString& text)
{
    lblShippai_->setFullText(text);
    lblShippai_->setVisible(!text.isEmpty());
    cmdSaiInsatu_->setVisible(!text.isEmpty());
}

} // namespace tarvel::ui
